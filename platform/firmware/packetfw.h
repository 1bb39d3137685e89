// Firmware of a simulated packet-protocol terminal: answers each 4096-byte
// packet from the PC as the terminal does, serving the flash root folder as
// "/FLASH/". It checks every packet and counts what it cannot accept.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace hcsim {

// Faults a test can inject. The faults that change answers apply to every
// packet after the first `after` packets of the run.
struct Faults {
    bool no_answer = false;     // take the packet, answer nothing
    bool wrong_answer = false;  // answer with a packet the PC does not expect
    bool short_read = false;    // answer with the first 100 bytes only
    int slow_ms = 0;            // wait this long (real time) before answering
    bool bad_lengths = false;   // chunk and list lengths claim 0xFFFF
    bool refuse_delete = false;
    bool refuse_set_clock = false;
    bool refuse_mkdir = false;
    bool refuse_rmdir = false;
    int after = 0;
};

// One packet as the firmware received it.
struct Seen {
    char kind, command, sub;
    unsigned length;  // chunk length of 'D' packets, else 0
};

class PacketFirmware {
  public:
    // `now` gives the host's time; the terminal clock runs at an offset
    // from it (`clock_offset` seconds).
    PacketFirmware(std::string root, std::string serial_number, std::function<time_t()> now,
                   time_t clock_offset);
    ~PacketFirmware();

    // Handles one transfer from the PC; returns the answer (empty: none).
    std::vector<uint8_t> Handle(const uint8_t* data, size_t length);
    // The PC closed its handle: drop a transfer in progress.
    void Disconnected();

    void SetFaults(const Faults& f);
    Faults faults();
    std::vector<Seen> seen();
    int protocol_errors();
    // Terminal local time, as "YYYY-MM-DD HH:MM:SS".
    std::string ClockText();

  private:
    std::vector<uint8_t> Answer(const uint8_t* p);
    std::vector<uint8_t> NextFetchChunk();
    std::vector<uint8_t> NextListChunk();
    std::string Host(const char* terminal_path);
    void AbortUpload();

    std::mutex mu_;
    std::string root_;
    std::string serial_;
    std::function<time_t()> now_;
    time_t offset_;
    Faults faults_;
    std::vector<Seen> seen_;
    int errors_ = 0;
    int packets_ = 0;

    std::string name_;  // host path named by the last 'C' 'N' '0'
    std::FILE* upload_ = nullptr;
    std::string upload_temp_;
    uint32_t upload_size_ = 0, upload_got_ = 0;
    std::FILE* fetch_ = nullptr;
    std::vector<uint8_t> listing_;  // 32-byte entries still to send
    size_t list_pos_ = 0;
};

// Parses "YYYY-MM-DD HH:MM:SS" as local time.
bool ParseClock(const char* text, time_t* out);

}  // namespace hcsim
