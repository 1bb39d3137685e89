#include "transport.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "pc_debug.h"
#include "texts.h"

namespace qz {

int g_LinkMode = -1;
UsbLink g_UsbLink;
_thread_com g_Com;

namespace {

// Ends a reader thread still running when the library is unloaded.
struct LinkCloser {
    ~LinkCloser() { CloseUsbLink(); }
} g_link_closer;

constexpr int kErrorInvalidHandle = 6;

// The 4 characters after the first `tag` in `path`, or "" without the tag.
std::string FieldAfter(const char* path, const char* tag) {
    const char* p = std::strstr(path, tag);
    if (p == nullptr) return {};
    p += std::strlen(tag);
    size_t n = strnlen(p, 4);
    return n == 4 ? std::string(p, 4) : std::string();
}

void ReaderThread(UsbLink* link) {
    unsigned char local[kUsbBufferSize];
    for (;;) {
        pc::DebugOutput(text::kReaderWaiting);
        {
            std::unique_lock<std::mutex> l(link->mu);
            link->cv.wait(l, [link] { return link->read_enabled || link->stop; });
            if (link->stop) break;
            link->read_enabled = false;  // manual reset, by the reader itself
        }
        pc::DebugOutput(text::kTryingToRead);
        pc::UsbHandle::ReadResult r =
            link->read_handle->Read(local, static_cast<size_t>(link->read_size), kUsbReadTimeoutMs);
        if (r.error == pc::kErrorOperationAborted) break;  // the link is closing
        if (r.error == 0) pc::DebugOutput(r.at_once ? text::kReadAtOnce : text::kFetchingLength);
        int length = r.error == 0 ? r.length : 0;
        {
            std::lock_guard<std::mutex> g(link->rx_mu);
            std::memcpy(link->receive_buffer, local, static_cast<size_t>(length));
            link->last_read_length = length;
        }
        {
            // Not busy before the post: once the dialog has the message it
            // may enable the next read at once.
            std::lock_guard<std::mutex> g(link->mu);
            link->busy = false;
        }
        pc::Hwnd w = link->notify_window.load();
        if (w != 0)
            pc::PostMessage(w, WM_LINK_DATA, reinterpret_cast<uintptr_t>(link->receive_buffer),
                            length);
    }
    std::lock_guard<std::mutex> g(link->mu);
    link->busy = false;
}

}  // namespace

DeviceKind DetectDevice() {
    for (const std::string& path : pc::UsbEnumerateInterfaces()) {
        // Copy bounded: a path longer than the field is cut, never overrun.
        size_t n = std::min(path.size(), sizeof g_UsbLink.device_path - 1);
        std::memcpy(g_UsbLink.device_path, path.data(), n);
        g_UsbLink.device_path[n] = '\0';
        for (size_t i = 0; i < n; ++i)
            g_UsbLink.device_path[i] = static_cast<char>(
                std::toupper(static_cast<unsigned char>(g_UsbLink.device_path[i])));
        std::string vid = FieldAfter(g_UsbLink.device_path, "VID_");
        std::string pid = FieldAfter(g_UsbLink.device_path, "PID_");
        if (vid.empty() || pid.empty()) continue;
        if (vid == "0471" && (pid == "4A48" || pid == "0666" || pid == "0668")) {
            pc::DebugOutput(text::kUsbFound);
            return DEVICE_USB;
        }
        if (vid == "0471" && pid == "4A49") {
            pc::DebugOutput(text::kU2cFound);
            return DEVICE_U2C;
        }
    }
    return DEVICE_NONE;
}

int OpenUsbLink() {
    CloseUsbLink();
    UsbLink& l = g_UsbLink;
    DeviceKind kind = DetectDevice();
    std::string path = l.device_path;
    if (kind == DEVICE_USB) {
        l.read_size = 64;
        l.write_pipe = pc::UsbHandle::Open(path + "\\PIPE03");
        l.read_handle = pc::UsbHandle::Open(path + "\\PIPE02");
        if (!l.write_pipe || !l.read_handle) {
            l.write_pipe.reset();
            l.read_handle.reset();
            pc::DebugOutput(text::kUsbOpenFailed);
            return -1;
        }
        l.write_handle = l.write_pipe.get();
    } else if (kind == DEVICE_U2C) {
        l.read_size = kUsbBufferSize;
        l.read_handle = pc::UsbHandle::Open(path);
        if (!l.read_handle) {
            pc::DebugOutput(text::kU2cOpenFailed);
            return -1;
        }
        l.write_handle = l.read_handle.get();
    } else {
        return -1;
    }
    {
        std::lock_guard<std::mutex> g(l.mu);
        l.read_enabled = false;
        l.stop = false;
        l.busy = false;
    }
    {
        std::lock_guard<std::mutex> g(l.rx_mu);
        l.last_read_length = 0;
    }
    try {
        l.reader = std::thread(ReaderThread, &l);
    } catch (...) {
        l.write_handle = nullptr;
        l.write_pipe.reset();
        l.read_handle.reset();
        return -1;
    }
    pc::DebugOutput(kind == DEVICE_USB ? text::kUsbOpened : text::kU2cOpened);
    return 0;
}

int CloseUsbLink() {
    UsbLink& l = g_UsbLink;
    if (l.reader.joinable()) {
        {
            std::lock_guard<std::mutex> g(l.mu);
            l.stop = true;
        }
        l.cv.notify_all();
        l.read_handle->CancelRead();
        l.reader.join();
    }
    l.write_handle = nullptr;
    l.write_pipe.reset();
    l.read_handle.reset();
    return 0;
}

bool UsbLinkOpen() { return g_UsbLink.write_handle != nullptr; }

int UsbWrite(const void* data, int length) {
    UsbLink& l = g_UsbLink;
    int result = kErrorInvalidHandle;
    if (l.write_handle != nullptr && length >= 0)
        result = l.write_handle->Write(data, static_cast<size_t>(length), kUsbWriteTimeoutMs);
    pc::DebugOutput(result == 0 ? text::kSent : text::kSendError);
    return result;
}

void EnableRead() {
    pc::DebugOutput(text::kReadEnabled);
    UsbLink& l = g_UsbLink;
    {
        std::lock_guard<std::mutex> g(l.mu);
        l.read_enabled = true;
        if (l.reader.joinable()) l.busy = true;
    }
    l.cv.notify_all();
}

int CopyReceived(void* out, size_t capacity) {
    std::lock_guard<std::mutex> g(g_UsbLink.rx_mu);
    int n = g_UsbLink.last_read_length;
    if (n > 0)
        std::memcpy(out, g_UsbLink.receive_buffer, std::min(static_cast<size_t>(n), capacity));
    return n;
}

bool UsbLinkBusy() {
    std::lock_guard<std::mutex> g(g_UsbLink.mu);
    return g_UsbLink.busy;
}

// ---- serial ----

int _base_com::close() {
    if (!handle.IsOpen()) return -1;
    handle.Close();
    return 0;
}

bool _asyn_com::open() {
    if (handle.IsOpen()) close();
    if (!handle.Open(port)) return false;
    // Queue sizes and time-outs are the Win32 driver's business; this
    // platform's reads and writes never block.
    handle.Configure(static_cast<int>(dcb.BaudRate), dcb.ByteSize ? dcb.ByteSize : 8,
                     dcb.Parity == 2   ? 'E'
                     : dcb.Parity == 1 ? 'O'
                                       : 'N',
                     dcb.StopBits == 2 ? 2 : 1);
    handle.Purge(true, true);
    return true;
}

_thread_com::~_thread_com() { close(); }

bool _thread_com::open() {
    if (!_asyn_com::open()) return false;
    running = true;
    try {
        thread_ = std::thread(&_thread_com::CommEventThread, this);
    } catch (...) {
        running = false;
        handle.Close();
        return false;
    }
    return true;
}

int _thread_com::close() {
    if (!handle.IsOpen()) return -1;
    running = false;
    handle.CancelWait();
    // The thread ends at once when its wait is cancelled; joining it (rather
    // than terminating it after 100 ms) leaves nothing running on a closed port.
    if (thread_.joinable()) thread_.join();
    handle.Close();
    return 0;
}

void _thread_com::on_receive() {
    pc::Hwnd w = notify_window.load();
    if (w != 0) pc::PostMessage(w, WM_LINK_DATA, static_cast<uintptr_t>(port), 0);
}

void _thread_com::CommEventThread() {
    while (running) {
        int ev = handle.WaitEvent();
        if (ev == 0) break;
        if (ev & pc::SerialPort::kEventError) handle.ClearError();
        if (ev & pc::SerialPort::kEventRxChar) {
            handle.ClearError();
            if (handle.Queued() > threshold) on_receive();
        }
    }
}

int FindComPort() { return pc::FindUsbSerialPort("0471", "4a49"); }

int SerialRead(char* buffer) {
    pc::SerialPort& h = g_Com.handle;
    if (!h.IsOpen()) return 0;
    buffer[0] = '\0';
    if (h.ClearError()) {
        h.Purge(true, false);
        return 0;
    }
    int queued = h.Queued();
    if (queued <= 0) return 0;
    int n = h.Read(buffer, static_cast<size_t>(std::min(queued, kUsbBufferSize)));
    buffer[n] = '\0';
    return n;
}

int SerialWrite(const void* data, int length) {
    pc::SerialPort& h = g_Com.handle;
    if (!h.IsOpen() || length <= 0) return 0;
    if (h.ClearError()) h.Purge(false, true);
    return h.Write(data, static_cast<size_t>(length));
}

}  // namespace qz

// ---- exports ----

#include "qzdll.h"

QzPortConfig g_PortConfig = {1, 115200};

extern "C" {

QZ_EXPORT int QZ_STDCALL OpenPort(int port, int baud) {
    (void)baud;  // the serial link always runs at 9600 baud
    using namespace qz;
    g_LinkMode = OpenUsbLink();
    if (g_LinkMode == 0) return 0;
    g_LinkMode = FindComPort();
    if (g_LinkMode <= 0) g_LinkMode = port;
    if (g_LinkMode >= 1 && g_LinkMode <= 1024) {
        g_Com.dcb.BaudRate = 9600;
        g_Com.dcb.ByteSize = 8;
        g_Com.dcb.Parity = 0;
        g_Com.dcb.StopBits = 0;
        g_Com.port = g_LinkMode;
    }
    return g_Com.open() ? g_LinkMode : -1;
}

QZ_EXPORT int QZ_STDCALL ClosePort(void) {
    using namespace qz;
    if (g_LinkMode == 0)
        CloseUsbLink();
    else
        g_Com.close();
    return g_LinkMode;
}

QZ_EXPORT int QZ_STDCALL ReadPort(char* buffer) {
    using namespace qz;
    if (g_LinkMode != 0) return SerialRead(buffer);
    int n = CopyReceived(buffer, kUsbBufferSize);
    return n;
}

QZ_EXPORT int QZ_STDCALL WritePort(const void* data, int length) {
    using namespace qz;
    if (g_LinkMode != 0) return SerialWrite(data, length);
    return UsbWrite(data, length);
}

QZ_EXPORT int QZ_STDCALL SearchCom(int defaultPort) {
    int port = qz::FindComPort();
    return port >= 0 ? port : defaultPort;
}

}  // extern "C"
