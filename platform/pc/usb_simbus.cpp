#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "pc_usb.h"
#include "simbus.h"

namespace simbus {

std::string BusDir() {
    const char* v = std::getenv("QZ_USB_BUS");
    if (v != nullptr && *v != '\0') return v;
    return "/tmp/qz-usb-" + std::to_string(getuid());
}

std::string InterfaceName(const std::string& vid, const std::string& pid,
                          const std::string& instance) {
    return "usb#vid_" + vid + "&pid_" + pid + "#" + instance + "#" + kInterfaceClass;
}

}  // namespace simbus

namespace pc {

namespace {

bool EndsWithNoCase(const std::string& s, const char* tail) {
    size_t n = std::strlen(tail);
    return s.size() >= n && strcasecmp(s.c_str() + s.size() - n, tail) == 0;
}

std::vector<std::string> BusEntries() {
    std::vector<std::string> names;
    std::string dir = simbus::BusDir();
    DIR* d = opendir(dir.c_str());
    if (d == nullptr) return names;
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (!EndsWithNoCase(name, simbus::kInterfaceClass)) continue;
        struct stat st;
        if (stat((dir + "/" + name).c_str(), &st) == 0 && S_ISSOCK(st.st_mode))
            names.push_back(name);
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

std::vector<std::string> UsbEnumerateInterfaces() {
    std::vector<std::string> paths;
    for (const std::string& n : BusEntries()) paths.push_back(simbus::kPathPrefix + n);
    return paths;
}

std::unique_ptr<UsbHandle> UsbHandle::Open(const std::string& path) {
    std::string rest = path;
    size_t prefix = std::strlen(simbus::kPathPrefix);
    if (rest.compare(0, prefix, simbus::kPathPrefix) == 0) rest = rest.substr(prefix);
    std::string pipe;
    size_t bs = rest.find('\\');
    if (bs != std::string::npos) {
        pipe = rest.substr(bs + 1);
        rest = rest.substr(0, bs);
        if (strncasecmp(pipe.c_str(), "PIPE", 4) != 0 || pipe.size() != 6) return nullptr;
        for (char& c : pipe) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    std::string found;
    for (const std::string& n : BusEntries())
        if (strcasecmp(n.c_str(), rest.c_str()) == 0) found = n;
    if (found.empty()) return nullptr;
    std::string file = simbus::BusDir() + "/" + found;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (file.size() >= sizeof addr.sun_path) return nullptr;
    std::memcpy(addr.sun_path, file.c_str(), file.size() + 1);
    int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0) return nullptr;
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close(fd);
        return nullptr;
    }
    std::string hello = simbus::kOpenWord;
    if (!pipe.empty()) hello += " " + pipe;
    if (send(fd, hello.data(), hello.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(hello.size())) {
        close(fd);
        return nullptr;
    }
    int wake[2];
    if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        close(fd);
        return nullptr;
    }
    return std::unique_ptr<UsbHandle>(new UsbHandle(fd, wake[0], wake[1]));
}

UsbHandle::UsbHandle(int fd, int wake_read, int wake_write)
    : fd_(fd), wake_read_(wake_read), wake_write_(wake_write) {}

UsbHandle::~UsbHandle() {
    close(fd_);
    close(wake_read_);
    close(wake_write_);
}

UsbHandle::ReadResult UsbHandle::Read(void* buffer, size_t size, int timeout_ms) {
    ReadResult r{0, 0, false};
    pollfd p[2] = {{fd_, POLLIN, 0}, {wake_read_, POLLIN, 0}};
    int n = poll(p, 2, 0);
    r.at_once = n > 0 && (p[0].revents & POLLIN) && !(p[1].revents & POLLIN);
    if (!r.at_once) {
        do {
            n = poll(p, 2, timeout_ms);
        } while (n < 0 && errno == EINTR);
        if (n == 0) {
            r.error = kErrorTimeout;
            return r;
        }
        if (n < 0) {
            r.error = kErrorGenFailure;
            return r;
        }
        if (p[1].revents & POLLIN) {
            r.error = kErrorOperationAborted;
            return r;
        }
    }
    ssize_t got = recv(fd_, buffer, size, MSG_DONTWAIT);
    if (got < 0) {
        r.error = (errno == EAGAIN || errno == EWOULDBLOCK) ? kErrorTimeout : kErrorGenFailure;
        return r;
    }
    if (got == 0 && (p[0].revents & (POLLHUP | POLLERR))) {
        r.error = kErrorDeviceNotConnected;
        return r;
    }
    r.length = static_cast<int>(got);
    return r;
}

void UsbHandle::CancelRead() {
    char c = 1;
    ssize_t w = write(wake_write_, &c, 1);
    (void)w;
}

void UsbHandle::ResetCancel() {
    char buf[16];
    while (read(wake_read_, buf, sizeof buf) > 0) {
    }
}

int UsbHandle::Write(const void* data, size_t length, int timeout_ms) {
    pollfd p{fd_, POLLOUT, 0};
    int n;
    do {
        n = poll(&p, 1, timeout_ms);
    } while (n < 0 && errno == EINTR);
    if (n == 0) return kErrorTimeout;
    if (n < 0 || (p.revents & (POLLHUP | POLLERR))) return kErrorDeviceNotConnected;
    ssize_t sent = send(fd_, data, length, MSG_DONTWAIT | MSG_NOSIGNAL);
    if (sent == static_cast<ssize_t>(length)) return 0;
    if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return kErrorTimeout;
    return kErrorGenFailure;
}

}  // namespace pc
