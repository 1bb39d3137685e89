// The simulated terminal OS: answers qzlib's service lookup on a Linux host.
//
// Files live below a flash root folder on the host, the clock follows the
// host clock from a settable start (or stands still for tests), the display
// is a monochrome framebuffer drawn with GNU Unifont plus a shadow of the
// text cells, and keys come from a queue. Devices the host does not have
// (serial port, RFID, barcode, Bluetooth, Wi-Fi, GPRS) answer with failure
// codes; lights, sounds and other side effects are written to a device log.
//
// Not thread-safe: the terminal application runs on one thread.
#pragma once

#include <stdint.h>
#include <time.h>

#include <functional>
#include <string>
#include <vector>

namespace simos {

struct Config {
    std::string root;           // flash root; empty = "flash" in the current directory
    int cols = 20;              // text geometry: the screen is cols*8 x rows*16 pixels,
    int rows = 10;              //   at most 160 x 160
    time_t clock_start = 0;     // simulated local time at start; 0 = host local time
    bool clock_frozen = false;  // time moves only by AdvanceClock and _Sleep
    std::string font = "/usr/share/unifont/unifont.hex";
    std::string machine_sn = "QZ2026000001";
    std::string machine_type = "QZ-1000";
};

// (Re)starts the OS: closes every open file, clears the screen, the key queue
// and the log. Returns false with a one-line reason when the font cannot be
// read or the root is not a usable folder.
bool Start(const Config& config, std::string* error);
const Config& CurrentConfig();

// Host path of the flash root.
const std::string& Root();

// ---- clock ----
// Local time of the simulated clock, seconds and milliseconds.
time_t Now();
uint64_t NowMs();
void SetClock(time_t local);
void AdvanceClock(uint64_t ms);
// Parses "YYYY-MM-DD HH:MM:SS" as local calendar time.
bool ParseClock(const char* text, time_t* out);

// ---- keys ----
void PushKey(uint32_t raw);
void PushKeys(const std::vector<uint32_t>& raw);
size_t PendingKeys();
void ClearKeys();
// Called by _GetKeyExt when the queue is empty; it returns the next raw key
// (it may block, as the interactive front-end does). Without a provider an
// empty queue ends the process with a message: a test never hangs.
void SetKeyProvider(std::function<uint32_t()> provider);
// Called at every key wait, before a key is taken.
void SetWaitHook(std::function<void()> hook);

// ---- screen ----
int Width();
int Height();
bool Pixel(int x, int y);
struct TextScreen {
    int cols = 0, rows = 0;
    std::vector<std::string> text;     // GBK bytes per row, ' ' for empty
    std::vector<std::string> inverse;  // '#' where the cell shows inverse
};
// What is printed where. Cells with no text but with drawn pixels show a
// frame character: '-', '|' or '+'.
TextScreen Text();
// The text screen in UTF-8, framed, with a second line under each row that
// marks inverse cells with '^' when there are any.
std::string RenderText(const TextScreen& screen);
// GBK text in UTF-8; bytes that are no GBK character become '?'.
std::string GbkToUtf8(const std::string& gbk);
// Writes the framebuffer as a PNG, each pixel a scale x scale square.
bool WritePng(const std::string& path, int scale, std::string* error);

// ---- device log ----
const std::vector<std::string>& Log();
void ClearLog();

// ---- seams for tests ----
// Replaces the answer of the service lookup (nullptr restores the OS's own).
typedef void* (*LookupHook)(unsigned group, unsigned index);
void SetLookupHook(LookupHook hook);
// The OS's own routine for (group, index); never null for a listed service.
void* Routine(unsigned group, unsigned index);

// The register file standing in for the microcontroller's registers. Models
// of devices claim an address range; other addresses behave as plain memory.
// Every write is recorded.
struct RegWrite {
    uint32_t addr;
    uint32_t value;
    int width;  // 16 or 32
};
struct RegDevice {
    uint32_t base = 0, size = 0;
    std::function<uint32_t(uint32_t addr, int width)> read;
    std::function<void(uint32_t addr, uint32_t value, int width)> write;
};
void AttachRegDevice(const RegDevice& device);
void DetachRegDevices();
const std::vector<RegWrite>& RegWrites();
void ClearRegWrites();
bool IrqMasked();

}  // namespace simos
