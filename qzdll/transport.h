// Serial and USB transport: finding the terminal, opening and closing the
// link, moving raw bytes, and handing received data to the operation dialog
// with the posted message WM_LINK_DATA.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "pc_serial.h"
#include "pc_usb.h"
#include "pc_window.h"

namespace qz {

enum DeviceKind {
    DEVICE_NONE = 0,  // no terminal on the USB bus
    DEVICE_USB = 1,   // 0471:4A48, 0666 or 0668: two pipes, reads of 64 bytes
    DEVICE_U2C = 2,   // 0471:4A49: one handle, reads of 4096 bytes
};

// Posted to the notify window when data arrived. From the USB reader: first
// parameter the receive buffer's address, second the length read. From the
// serial comm-event thread: the port number and 0.
constexpr unsigned WM_LINK_DATA = 0x066A;

constexpr int kUsbBufferSize = 4096;
constexpr int kUsbReadTimeoutMs = 4500;
constexpr int kUsbWriteTimeoutMs = 6000;
constexpr int kDevicePathSize = 260;

// 0 while the USB link is the open link, > 0 the serial port OpenPort chose,
// -1 before any OpenPort.
extern int g_LinkMode;

struct UsbLink {
    std::unique_ptr<pc::UsbHandle> read_handle;
    std::unique_ptr<pc::UsbHandle> write_pipe;  // DEVICE_USB only
    pc::UsbHandle* write_handle = nullptr;      // read_handle for DEVICE_U2C
    char device_path[kDevicePathSize] = {};     // last path examined, upper-cased
    int read_size = 0;
    std::thread reader;

    // The read-enable event and the reader's stop request, under `mu`.
    std::mutex mu;
    std::condition_variable cv;
    bool read_enabled = false;
    bool stop = false;
    bool busy = false;  // a read is enabled or under way and not yet delivered

    // Filled by the reader thread; read by the dialog and ReadPort. Guarded
    // by rx_mu so that a late reader never tears what a consumer copies.
    std::mutex rx_mu;
    unsigned char receive_buffer[kUsbBufferSize] = {};
    int last_read_length = 0;

    std::atomic<pc::Hwnd> notify_window{0};
};
extern UsbLink g_UsbLink;

DeviceKind DetectDevice();
// 0 on success, -1 on failure. Closes a link that is still open first.
int OpenUsbLink();
// Ends the reader thread and closes the handles; returns 0.
int CloseUsbLink();
bool UsbLinkOpen();
// 0 when all bytes went out, else an error code (1460 after 6000 ms).
int UsbWrite(const void* data, int length);
// Lets the reader thread perform one read.
void EnableRead();
// Copies the latest read, at most `capacity` bytes, into `out`; returns the
// latest read's length (which may exceed what was copied) or 0.
int CopyReceived(void* out, size_t capacity);
// True while a read is enabled or running and its result not yet posted.
bool UsbLinkBusy();

// ---- serial ----

// Win32 serial control block, reduced to what the link sets.
struct Dcb {
    uint32_t DCBlength = 28;
    uint32_t BaudRate = 0;
    uint8_t ByteSize = 0;
    uint8_t Parity = 0;    // 0 none
    uint8_t StopBits = 0;  // 0 one stop bit
};
struct CommTimeouts {
    uint32_t ReadIntervalTimeout = 0xFFFFFFFF;
    uint32_t ReadTotalTimeoutMultiplier = 0;
    uint32_t ReadTotalTimeoutConstant = 0;
    uint32_t WriteTotalTimeoutMultiplier = 0;
    uint32_t WriteTotalTimeoutConstant = 5000;
};

class _base_com {
  public:
    _base_com() = default;
    virtual bool open() = 0;
    virtual ~_base_com() = default;
    // Closes the port if open; -1 when it was not open, else 0.
    virtual int close();

    int port = 0;
    pc::SerialPort handle;
    Dcb dcb;
    int in_queue = 8102;
    int out_queue = 8102;
    CommTimeouts timeouts;
};

class _asyn_com : public _base_com {
  public:
    bool open() override;
};

class _thread_com : public _asyn_com {
  public:
    _thread_com() = default;
    ~_thread_com() override;
    bool open() override;
    // Stops the comm-event thread (waiting for it to end) and closes the port.
    int close() override;
    virtual void on_receive();

    std::atomic<pc::Hwnd> notify_window{0};
    int threshold = 0;
    std::atomic<bool> running{false};

  private:
    void CommEventThread();
    std::thread thread_;
};
extern _thread_com g_Com;

// COM port of a DEVICE_U2C terminal seen through its serial driver, or -1.
int FindComPort();
// `buffer` must hold 4097 bytes; returns the bytes read (NUL after them).
int SerialRead(char* buffer);
int SerialWrite(const void* data, int length);

}  // namespace qz
