// Serial ports, numbered as COM ports.
//
// Port numbers map to devices as follows on this platform: the environment
// variable QZ_COM<n> (for example QZ_COM3=/dev/ttyACM0) names the device of
// port n; without it, ports 1-64 are /dev/ttyS0-63, ports 65-128
// /dev/ttyUSB0-63 and ports 129-192 /dev/ttyACM0-63. FindUsbSerialPort goes
// the other way: it finds the tty of a USB device in sysfs and returns the
// port number that maps to it.
#pragma once

#include <cstddef>
#include <string>

namespace pc {

// Device path of COM port `port`; empty when the number maps to nothing.
std::string ComDevicePath(int port);

// Port number of the serial device that belongs to the USB device with
// vendor `vid` and product `pid` (4 hex digits, any case), or -1. Searches
// <sysfs>/class/tty, where <sysfs> is $QZ_SYSFS or /sys.
int FindUsbSerialPort(const std::string& vid, const std::string& pid);

class SerialPort {
  public:
    SerialPort();
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens COM port `port` for exclusive reading and writing. False when
    // the port maps to nothing, is missing or busy.
    bool Open(int port);
    bool IsOpen() const { return fd_ >= 0; }
    void Close();

    // Baud rate, data bits (5-8), parity 'N', 'E' or 'O', stop bits (1, 2).
    bool Configure(int baud, int data_bits, char parity, int stop_bits);
    // Clears a pending line error; true when there was one.
    bool ClearError();
    // Discards the queued input and/or output.
    void Purge(bool input, bool output);
    // Bytes waiting in the input queue.
    int Queued();
    // Reads up to `size` waiting bytes without blocking; returns the count.
    int Read(void* buffer, size_t size);
    // Writes without blocking; returns the bytes taken at once (0 when the
    // output is full).
    int Write(const void* data, size_t length);

    // Comm events, as the Win32 mask bits.
    static constexpr int kEventRxChar = 0x01;
    static constexpr int kEventError = 0x80;
    // Blocks until new bytes arrive (kEventRxChar) or CancelWait is called
    // (0). Call from one thread at a time.
    int WaitEvent();
    // Ends the current or next WaitEvent. Any thread.
    void CancelWait();

  private:
    int fd_ = -1;
    int wake_[2] = {-1, -1};
    int seen_ = 0;  // queued count at the last reported event
};

}  // namespace pc
