#include "hcsim.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <cstring>

#include "flashpath.h"
#include "simbus.h"

namespace hcsim {

namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

enum class Role { kUnknown, kWhole, kToPc, kFromPc };

struct Conn {
    int fd;
    Role role;
};

}  // namespace

HcSim::HcSim(Options options) : options_(std::move(options)) {
    if (!options_.now) options_.now = [] { return time(nullptr); };
    if (options_.bus.empty()) options_.bus = simbus::BusDir();
}

HcSim::~HcSim() { Stop(); }

bool HcSim::Start(std::string* error) {
    if (!flashpath::EnsureRoot(options_.root, error)) return false;
    time_t offset = options_.clock_start ? options_.clock_start - options_.now() : 0;
    firmware_ = std::make_unique<PacketFirmware>(options_.root, options_.serial_number,
                                                 options_.now, offset);
    mkdir(options_.bus.c_str(), 0700);
    std::string name = simbus::InterfaceName("0471", Lower(options_.product), options_.instance);
    socket_path_ = options_.bus + "/" + name;
    interface_path_ = simbus::kPathPrefix + name;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (socket_path_.size() >= sizeof addr.sun_path) {
        *error = "bus path too long: " + socket_path_;
        return false;
    }
    std::memcpy(addr.sun_path, socket_path_.c_str(), socket_path_.size() + 1);
    unlink(socket_path_.c_str());
    listen_fd_ = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (listen_fd_ < 0 || bind(listen_fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        listen(listen_fd_, 4) != 0 || pipe2(wake_, O_CLOEXEC) != 0) {
        *error = "cannot appear on the bus at " + socket_path_ + ": " + std::strerror(errno);
        if (listen_fd_ >= 0) close(listen_fd_);
        listen_fd_ = -1;
        return false;
    }
    stop_ = false;
    thread_ = std::thread(&HcSim::Serve, this);
    return true;
}

void HcSim::Stop() {
    stop_ = true;
    if (wake_[1] >= 0) {
        char c = 1;
        ssize_t w = write(wake_[1], &c, 1);
        (void)w;
    }
    if (thread_.joinable()) thread_.join();
    if (serial_thread_.joinable()) serial_thread_.join();
    if (listen_fd_ >= 0) {
        close(listen_fd_);
        unlink(socket_path_.c_str());
        listen_fd_ = -1;
    }
    for (int& fd :
         {std::ref(wake_[0]), std::ref(wake_[1]), std::ref(pty_master_), std::ref(pty_slave_)}) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
}

void HcSim::Serve() {
    std::vector<Conn> conns;
    std::vector<uint8_t> buf(65536);
    bool packet_kind = Lower(options_.product) == "4a49";
    while (!stop_) {
        std::vector<pollfd> fds{{listen_fd_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        for (const Conn& c : conns) fds.push_back({c.fd, POLLIN, 0});
        if (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[1].revents) break;
        if (fds[0].revents & POLLIN) {
            int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) conns.push_back({fd, Role::kUnknown});
        }
        for (size_t i = 2; i < fds.size(); ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            Conn& c = conns[i - 2];
            ssize_t n = recv(c.fd, buf.data(), buf.size(), 0);
            if (n <= 0) {
                if (c.role != Role::kToPc) firmware_->Disconnected();
                close(c.fd);
                c.fd = -1;
                continue;
            }
            if (c.role == Role::kUnknown) {
                std::string hello(reinterpret_cast<char*>(buf.data()), static_cast<size_t>(n));
                c.role = hello == "OPEN PIPE02"   ? Role::kToPc
                         : hello == "OPEN PIPE03" ? Role::kFromPc
                                                  : Role::kWhole;
                continue;
            }
            if (!packet_kind) continue;  // the framed protocol is not served yet
            std::vector<uint8_t> answer = firmware_->Handle(buf.data(), static_cast<size_t>(n));
            if (!answer.empty())
                send(c.fd, answer.data(), answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        }
        std::vector<Conn> open;
        for (const Conn& c : conns)
            if (c.fd >= 0) open.push_back(c);
        conns.swap(open);
    }
    for (const Conn& c : conns) close(c.fd);
}

std::string HcSim::StartSerial() {
    pty_master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (pty_master_ < 0 || grantpt(pty_master_) != 0 || unlockpt(pty_master_) != 0) return "";
    const char* name = ptsname(pty_master_);
    if (name == nullptr) return "";
    std::string path = name;
    // Keeping the terminal side open ourselves keeps the master readable
    // when the PC closes and reopens the port.
    pty_slave_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios t;
    if (pty_slave_ >= 0 && tcgetattr(pty_slave_, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(pty_slave_, TCSANOW, &t);
    }
    serial_thread_ = std::thread(&HcSim::ServeSerial, this);
    return path;
}

void HcSim::ServeSerial() {
    char buf[4096];
    while (!stop_) {
        pollfd p[2] = {{pty_master_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (poll(p, 2, -1) < 0 && errno != EINTR) break;
        if (p[1].revents) break;
        if (!(p[0].revents & POLLIN)) continue;
        ssize_t n = read(pty_master_, buf, sizeof buf);
        if (n > 0) {
            ssize_t w = write(pty_master_, buf, static_cast<size_t>(n));
            (void)w;
        }
    }
}

}  // namespace hcsim
