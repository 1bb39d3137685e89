#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <stdlib.h>
#include <strings.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <dirent.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "pc_serial.h"

namespace pc {

namespace {

struct Family {
    const char* prefix;
    int first_port;
};
constexpr Family kFamilies[] = {{"/dev/ttyS", 1}, {"/dev/ttyUSB", 65}, {"/dev/ttyACM", 129}};
constexpr int kPortsPerFamily = 64;

std::string ReadLine(const std::string& file) {
    std::ifstream f(file);
    std::string s;
    std::getline(f, s);
    return s;
}

std::string RealPath(const std::string& p) {
    char buf[PATH_MAX];
    return realpath(p.c_str(), buf) ? std::string(buf) : std::string();
}

speed_t Speed(int baud) {
    switch (baud) {
        case 1200:
            return B1200;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        default:
            return B0;
    }
}

}  // namespace

std::string ComDevicePath(int port) {
    if (port <= 0) return {};
    std::string var = "QZ_COM" + std::to_string(port);
    const char* v = std::getenv(var.c_str());
    if (v != nullptr && *v != '\0') return v;
    for (const Family& f : kFamilies)
        if (port >= f.first_port && port < f.first_port + kPortsPerFamily)
            return f.prefix + std::to_string(port - f.first_port);
    return {};
}

int FindUsbSerialPort(const std::string& vid, const std::string& pid) {
    const char* root_env = std::getenv("QZ_SYSFS");
    std::string root = root_env && *root_env ? root_env : "/sys";
    std::string cls = root + "/class/tty";
    DIR* d = opendir(cls.c_str());
    if (d == nullptr) return -1;
    std::string tty;
    while (dirent* e = readdir(d)) {
        if (e->d_name[0] == '.') continue;
        // The tty's device is a USB interface; its parent holds the ids.
        std::string dev = RealPath(cls + "/" + e->d_name + "/device");
        for (int up = 0; !dev.empty() && up < 4; ++up) {
            std::string v = ReadLine(dev + "/idVendor");
            if (!v.empty()) {
                if (strcasecmp(v.c_str(), vid.c_str()) == 0 &&
                    strcasecmp(ReadLine(dev + "/idProduct").c_str(), pid.c_str()) == 0)
                    tty = e->d_name;
                break;
            }
            dev = dev.substr(0, dev.rfind('/'));
        }
        if (!tty.empty()) break;
    }
    closedir(d);
    if (tty.empty()) return -1;
    std::string want = "/dev/" + tty;
    // The first port number whose device is this tty, overrides first.
    for (int port = 1; port <= 1024; ++port) {
        std::string var = "QZ_COM" + std::to_string(port);
        const char* v = std::getenv(var.c_str());
        if (v != nullptr && want == v) return port;
    }
    for (const Family& f : kFamilies) {
        size_t n = std::strlen(f.prefix);
        if (want.compare(0, n, f.prefix) == 0) {
            const char* digits = want.c_str() + n;
            char* end = nullptr;
            long k = std::strtol(digits, &end, 10);
            if (end != digits && *end == '\0' && k >= 0 && k < kPortsPerFamily)
                return f.first_port + static_cast<int>(k);
        }
    }
    return -1;
}

SerialPort::SerialPort() {
    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) wake_[0] = wake_[1] = -1;
}

SerialPort::~SerialPort() {
    Close();
    if (wake_[0] >= 0) close(wake_[0]);
    if (wake_[1] >= 0) close(wake_[1]);
}

bool SerialPort::Open(int port) {
    Close();
    std::string path = ComDevicePath(port);
    if (path.empty()) return false;
    int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    if (!isatty(fd) || ioctl(fd, TIOCEXCL) != 0) {  // no sharing, as on Win32
        close(fd);
        return false;
    }
    termios t;
    if (tcgetattr(fd, &t) == 0) {
        cfmakeraw(&t);
        t.c_cflag |= CLOCAL | CREAD;
        tcsetattr(fd, TCSANOW, &t);
    }
    fd_ = fd;
    seen_ = 0;
    char buf[16];
    while (wake_[0] >= 0 && read(wake_[0], buf, sizeof buf) > 0) {
    }
    return true;
}

void SerialPort::Close() {
    if (fd_ < 0) return;
    ioctl(fd_, TIOCNXCL);
    close(fd_);
    fd_ = -1;
}

bool SerialPort::Configure(int baud, int data_bits, char parity, int stop_bits) {
    termios t;
    if (fd_ < 0 || tcgetattr(fd_, &t) != 0) return false;
    speed_t s = Speed(baud);
    if (s == B0) return false;
    cfsetispeed(&t, s);
    cfsetospeed(&t, s);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB);
    t.c_cflag |= data_bits == 5 ? CS5 : data_bits == 6 ? CS6 : data_bits == 7 ? CS7 : CS8;
    if (parity == 'E') t.c_cflag |= PARENB;
    if (parity == 'O') t.c_cflag |= PARENB | PARODD;
    if (stop_bits == 2) t.c_cflag |= CSTOPB;
    return tcsetattr(fd_, TCSANOW, &t) == 0;
}

bool SerialPort::ClearError() {
    // Line errors (framing, parity, overrun) reach a raw tty as dropped or
    // zeroed bytes, not as a separate state; nothing is pending here.
    return false;
}

void SerialPort::Purge(bool input, bool output) {
    if (fd_ < 0) return;
    if (input && output)
        tcflush(fd_, TCIOFLUSH);
    else if (input)
        tcflush(fd_, TCIFLUSH);
    else if (output)
        tcflush(fd_, TCOFLUSH);
}

int SerialPort::Queued() {
    int n = 0;
    if (fd_ < 0 || ioctl(fd_, FIONREAD, &n) != 0) return 0;
    return n;
}

int SerialPort::Read(void* buffer, size_t size) {
    if (fd_ < 0) return 0;
    ssize_t n = read(fd_, buffer, size);
    return n > 0 ? static_cast<int>(n) : 0;
}

int SerialPort::Write(const void* data, size_t length) {
    if (fd_ < 0) return 0;
    ssize_t n = write(fd_, data, length);
    return n > 0 ? static_cast<int>(n) : 0;
}

int SerialPort::WaitEvent() {
    for (;;) {
        if (fd_ < 0) return 0;
        int queued = Queued();
        if (queued > seen_) {
            seen_ = queued;
            return kEventRxChar;
        }
        seen_ = queued;  // the reader took bytes; the next arrival is news
        // With bytes already waiting, readability says nothing new: look
        // again shortly. With none, wait for the first to arrive.
        pollfd p[2] = {{fd_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        int n = poll(queued > 0 ? p + 1 : p, queued > 0 ? 1 : 2, queued > 0 ? 10 : -1);
        if (n < 0 && errno != EINTR) return 0;
        if (n > 0 && (p[1].revents & POLLIN)) return 0;
        if (queued == 0 && n > 0 && (p[0].revents & (POLLHUP | POLLERR | POLLNVAL))) {
            // A pseudo-terminal without its other side reports a hang-up for
            // ever; wait for the cancel instead of spinning.
            pollfd only_wake{wake_[0], POLLIN, 0};
            poll(&only_wake, 1, 50);
            if (only_wake.revents & POLLIN) return 0;
        }
    }
}

void SerialPort::CancelWait() {
    char c = 1;
    if (wake_[1] >= 0) {
        ssize_t w = write(wake_[1], &c, 1);
        (void)w;
    }
}

}  // namespace pc
