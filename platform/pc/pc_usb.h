// USB device interfaces: enumeration and bulk transfers.
//
// Paths are device-interface paths in the Win32 form ("\\?\usb#vid_xxxx&
// pid_xxxx#...#{class}"), compared without regard to case, so an upper-cased
// path opens the same device. A path may end in "\PIPEnn" to open one pipe of
// the device. On this platform the devices are those of the simulated USB bus
// (simbus.h).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace pc {

// Win32 error codes that the USB calls report.
constexpr int kErrorGenFailure = 31;
constexpr int kErrorOperationAborted = 995;
constexpr int kErrorDeviceNotConnected = 1167;
constexpr int kErrorTimeout = 1460;

// Paths of the present interfaces of the USB-device class, in enumeration
// order (on this platform: by name).
std::vector<std::string> UsbEnumerateInterfaces();

class UsbHandle {
  public:
    // Opens `path`; nullptr when there is no such device or it refuses.
    static std::unique_ptr<UsbHandle> Open(const std::string& path);
    ~UsbHandle();
    UsbHandle(const UsbHandle&) = delete;
    UsbHandle& operator=(const UsbHandle&) = delete;

    struct ReadResult {
        int length;    // bytes placed in the buffer (0 when none)
        int error;     // 0, kErrorTimeout, kErrorOperationAborted or another code
        bool at_once;  // the transfer was already there when the read began
    };
    // Reads one transfer of at most `size` bytes, waiting up to `timeout_ms`
    // (real time). Another thread may end the wait with CancelRead().
    ReadResult Read(void* buffer, size_t size, int timeout_ms);
    // Ends a Read that is waiting (now or next) with kErrorOperationAborted.
    void CancelRead();
    // Forgets an earlier CancelRead so that the next Read waits again.
    void ResetCancel();

    // Sends `length` bytes as one transfer, waiting up to `timeout_ms` for
    // room. 0 on success, kErrorTimeout, or another error code.
    int Write(const void* data, size_t length, int timeout_ms);

  private:
    UsbHandle(int fd, int wake_read, int wake_write);
    int fd_;
    int wake_read_;
    int wake_write_;
};

}  // namespace pc
