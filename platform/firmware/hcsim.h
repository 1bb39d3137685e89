// A simulated terminal at the far end of the PC link. It appears on the
// simulated USB bus (simbus.h) as a terminal of either kind and, on request,
// on a pseudo-terminal as a serial terminal.
//
// Product 4A49 speaks the packet protocol (PacketFirmware). Products 4A48,
// 0666 and 0668 open as two pipes (PIPE03 from the PC, PIPE02 to the PC);
// their framed protocol is not served yet, so they take transfers and answer
// nothing. The serial side echoes every byte back.
#pragma once

#include <atomic>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "packetfw.h"

namespace hcsim {

struct Options {
    std::string root = "flash";  // flash root folder, served as "/FLASH/"
    std::string bus;             // bus folder; empty: simbus::BusDir()
    std::string product = "4A49";
    std::string instance = "hcsim01";
    std::string serial_number = "HC2015011201";
    time_t clock_start = 0;       // terminal time at start; 0: the host clock
    std::function<time_t()> now;  // host time source; empty: time()
};

class HcSim {
  public:
    explicit HcSim(Options options);
    ~HcSim();

    // Creates the flash root if needed and appears on the bus. False with a
    // reason in *error on failure.
    bool Start(std::string* error);
    void Stop();
    // Opens a pseudo-terminal and serves it; returns the device path of its
    // terminal side, or "" on failure.
    std::string StartSerial();

    // Device-interface path on the bus.
    const std::string& interface_path() const { return interface_path_; }
    PacketFirmware* firmware() { return firmware_.get(); }

  private:
    void Serve();
    void ServeSerial();

    Options options_;
    std::string socket_path_;
    std::string interface_path_;
    std::unique_ptr<PacketFirmware> firmware_;
    int listen_fd_ = -1;
    int wake_[2] = {-1, -1};
    std::thread thread_;
    int pty_master_ = -1;
    int pty_slave_ = -1;
    std::thread serial_thread_;
    std::atomic<bool> stop_{false};
};

}  // namespace hcsim
