#include "packetfw.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "flashpath.h"

namespace hcsim {

namespace {

constexpr size_t kPacket = 4096;
constexpr size_t kChunk = 4088;
constexpr size_t kEntry = 32;
constexpr size_t kEntriesPerChunk = kChunk / kEntry;

std::vector<uint8_t> Packet(char kind, char cmd, char sub) {
    std::vector<uint8_t> p(kPacket, 0);
    p[0] = static_cast<uint8_t>(kind);
    p[2] = static_cast<uint8_t>(cmd);
    p[3] = static_cast<uint8_t>(sub);
    return p;
}

void PutLe(uint8_t* p, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// The NUL-terminated text at offset 4 of a packet, bounded by the packet.
std::string TextAt4(const uint8_t* p) {
    const char* s = reinterpret_cast<const char*>(p + 4);
    return std::string(s, strnlen(s, kPacket - 4));
}

bool IsDir(const std::string& p) {
    struct stat st;
    return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Finds each component of `host` below `root` without regard to case, as the
// terminal's file system does; components that do not exist stay as given.
std::string MatchCase(const std::string& root, const std::string& host) {
    if (access(host.c_str(), F_OK) == 0 || host.size() <= root.size()) return host;
    std::string out = root;
    size_t pos = root.size();
    while (pos < host.size()) {
        size_t next = host.find('/', pos + 1);
        if (next == std::string::npos) next = host.size();
        std::string part = host.substr(pos + 1, next - pos - 1);
        std::string pick = part;
        if (DIR* d = opendir(out.c_str())) {
            while (dirent* e = readdir(d))
                if (strcasecmp(e->d_name, part.c_str()) == 0) {
                    pick = e->d_name;
                    if (pick == part) break;
                }
            closedir(d);
        }
        out += "/" + pick;
        pos = next;
    }
    return out;
}

}  // namespace

bool ParseClock(const char* text, time_t* out) {
    int y, mo, d, h, mi, s;
    char tail;
    if (std::sscanf(text, "%4d-%2d-%2d %2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s, &tail) != 6)
        return false;
    if (y < 1970 || y > 2099 || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 ||
        s > 59 || h < 0 || mi < 0 || s < 0)
        return false;
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    tm.tm_isdst = -1;
    time_t t = mktime(&tm);
    if (t == static_cast<time_t>(-1)) return false;
    *out = t;
    return true;
}

PacketFirmware::PacketFirmware(std::string root, std::string serial_number,
                               std::function<time_t()> now, time_t clock_offset)
    : root_(std::move(root)),
      serial_(std::move(serial_number)),
      now_(std::move(now)),
      offset_(clock_offset) {
    serial_.resize(12, ' ');
}

PacketFirmware::~PacketFirmware() {
    AbortUpload();
    if (fetch_) std::fclose(fetch_);
}

void PacketFirmware::SetFaults(const Faults& f) {
    std::lock_guard<std::mutex> g(mu_);
    faults_ = f;
}

Faults PacketFirmware::faults() {
    std::lock_guard<std::mutex> g(mu_);
    return faults_;
}

std::vector<Seen> PacketFirmware::seen() {
    std::lock_guard<std::mutex> g(mu_);
    return seen_;
}

int PacketFirmware::protocol_errors() {
    std::lock_guard<std::mutex> g(mu_);
    return errors_;
}

std::string PacketFirmware::ClockText() {
    time_t t = now_() + offset_;
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    return buf;
}

std::string PacketFirmware::Host(const char* terminal_path) {
    std::string host;
    if (!flashpath::Resolve(root_, terminal_path, &host)) return {};
    return MatchCase(root_, host);
}

void PacketFirmware::AbortUpload() {
    if (upload_ == nullptr) return;
    std::fclose(upload_);
    upload_ = nullptr;
    std::remove(upload_temp_.c_str());
}

void PacketFirmware::Disconnected() {
    std::lock_guard<std::mutex> g(mu_);
    AbortUpload();
    if (fetch_) std::fclose(fetch_);
    fetch_ = nullptr;
    listing_.clear();
    list_pos_ = 0;
}

std::vector<uint8_t> PacketFirmware::Handle(const uint8_t* data, size_t length) {
    Faults f;
    std::vector<uint8_t> answer;
    bool faulty;
    {
        std::lock_guard<std::mutex> g(mu_);
        if (length != kPacket) {
            ++errors_;
            return {};
        }
        Seen s{static_cast<char>(data[0]), static_cast<char>(data[2]), static_cast<char>(data[3]),
               data[0] == 'D' ? static_cast<unsigned>(data[4] | data[5] << 8) : 0};
        seen_.push_back(s);
        f = faults_;
        faulty = ++packets_ > f.after;
        answer = Answer(data);
    }
    if (answer.empty() || !faulty) return answer;
    if (f.slow_ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(f.slow_ms));
    if (f.no_answer) return {};
    if (f.wrong_answer) return Packet('C', 'X', 'X');
    if (f.bad_lengths && answer[0] == 'D') {
        answer[4] = answer[5] = 0xFF;
        if (answer[2] == 'L') answer[6] = answer[7] = 0xFF;
    }
    if (f.short_read) answer.resize(100);
    return answer;
}

std::vector<uint8_t> PacketFirmware::NextFetchChunk() {
    std::vector<uint8_t> p = Packet('D', 'G', 'N');
    size_t n = fetch_ ? std::fread(p.data() + 8, 1, kChunk, fetch_) : 0;
    if (n == kChunk) {
        p[3] = 'Y';
    } else if (fetch_) {
        std::fclose(fetch_);
        fetch_ = nullptr;
    }
    PutLe(p.data() + 4, static_cast<uint32_t>(n), 2);
    return p;
}

std::vector<uint8_t> PacketFirmware::NextListChunk() {
    size_t left = (listing_.size() - list_pos_) / kEntry;
    size_t n = std::min(left, kEntriesPerChunk);
    std::vector<uint8_t> p = Packet('D', 'L', n == left ? 'N' : 'Y');
    if (n > 0) std::memcpy(p.data() + 8, listing_.data() + list_pos_, n * kEntry);
    list_pos_ += n * kEntry;
    PutLe(p.data() + 4, static_cast<uint32_t>(n * kEntry), 2);
    PutLe(p.data() + 6, static_cast<uint32_t>(n), 2);
    return p;
}

std::vector<uint8_t> PacketFirmware::Answer(const uint8_t* p) {
    const char kind = static_cast<char>(p[0]), cmd = static_cast<char>(p[2]),
               sub = static_cast<char>(p[3]);
    auto yes_no = [&](char c, char s, bool ok) {
        std::vector<uint8_t> a = Packet('C', c, s);
        a[4] = ok ? 'Y' : 'N';
        return a;
    };
    if (kind == 'C' && cmd == 'N') {
        name_ = Host(TextAt4(p).c_str());
        struct stat st;
        bool exists = !name_.empty() && stat(name_.c_str(), &st) == 0;
        std::vector<uint8_t> a = yes_no('N', exists ? 'Y' : 'N', exists);
        if (exists && S_ISREG(st.st_mode))
            PutLe(a.data() + 5, static_cast<uint32_t>(st.st_size), 4);
        return a;
    }
    if (kind == 'C' && cmd == 'P' && sub == 'D') {
        AbortUpload();
        upload_size_ = static_cast<uint32_t>(p[4] | p[5] << 8 | p[6] << 16 | p[7] << 24);
        upload_got_ = 0;
        if (name_.empty() || IsDir(name_)) {
            ++errors_;
            return {};
        }
        upload_temp_ = name_ + ".part";
        upload_ = std::fopen(upload_temp_.c_str(), "wb");
        if (upload_ == nullptr) {
            ++errors_;
            return {};
        }
        return Packet('C', 'P', 'D');
    }
    if (kind == 'D' && cmd == 'P' && (sub == 'Y' || sub == 'N')) {
        unsigned n = p[4] | p[5] << 8;
        if (upload_ == nullptr || n > kChunk || (sub == 'Y' && n != kChunk)) {
            ++errors_;
            AbortUpload();
            return {};
        }
        std::fwrite(p + 8, 1, n, upload_);
        upload_got_ += n;
        if (sub == 'Y') return Packet('C', 'P', 'Y');
        bool ok = std::fclose(upload_) == 0 && upload_got_ == upload_size_;
        upload_ = nullptr;
        if (!ok || std::rename(upload_temp_.c_str(), name_.c_str()) != 0) {
            ++errors_;
            std::remove(upload_temp_.c_str());
            return {};
        }
        return Packet('C', 'P', 'N');
    }
    if (kind == 'C' && cmd == 'G' && sub == 'D') {
        if (fetch_) std::fclose(fetch_);
        fetch_ = name_.empty() || IsDir(name_) ? nullptr : std::fopen(name_.c_str(), "rb");
        if (fetch_ == nullptr) {
            ++errors_;
            return {};
        }
        return NextFetchChunk();
    }
    if (kind == 'C' && cmd == 'G' && sub == 'Y') return NextFetchChunk();
    if (kind == 'C' && cmd == 'G' && sub == 'N') return {};
    if (kind == 'C' && cmd == 'L' && sub == 'D') {
        listing_.clear();
        list_pos_ = 0;
        std::vector<std::string> names;
        if (DIR* d = opendir(name_.c_str())) {
            while (dirent* e = readdir(d))
                if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                    names.push_back(e->d_name);
            closedir(d);
        }
        std::sort(names.begin(), names.end());
        for (const std::string& n : names) {
            struct stat st;
            if (stat((name_ + "/" + n).c_str(), &st) != 0) continue;
            uint8_t e[kEntry] = {};
            std::memcpy(e, n.c_str(), std::min<size_t>(n.size(), 22));
            e[23] = S_ISREG(st.st_mode) ? 'F' : 'D';
            PutLe(e + 24, static_cast<uint32_t>(st.st_size), 4);
            PutLe(e + 28, static_cast<uint32_t>(st.st_mtime), 4);
            listing_.insert(listing_.end(), e, e + kEntry);
        }
        return NextListChunk();
    }
    if (kind == 'C' && cmd == 'L' && sub == 'Y') return NextListChunk();
    if (kind == 'C' && cmd == 'L' && sub == 'N') return {};
    if (kind == 'C' && cmd == 'D' && sub == 'F') {
        std::string h = Host(TextAt4(p).c_str());
        bool ok = !faults_.refuse_delete && !h.empty() && !IsDir(h) && std::remove(h.c_str()) == 0;
        return yes_no('D', 'F', ok);
    }
    if (kind == 'C' && cmd == 'I' && sub == 'D') {
        std::vector<uint8_t> a = Packet('D', 'I', 'N');
        std::memcpy(a.data() + 8, serial_.data(), 12);
        return a;
    }
    if (kind == 'C' && cmd == 'G' && sub == 'T') {
        std::vector<uint8_t> a = Packet('D', 'T', 'N');
        std::string t = ClockText();
        std::memcpy(a.data() + 8, t.data(), std::min<size_t>(t.size(), 19));
        return a;
    }
    if (kind == 'C' && cmd == 'S' && sub == 'T') {
        time_t t;
        bool ok = !faults_.refuse_set_clock && ParseClock(TextAt4(p).c_str(), &t);
        if (ok) offset_ = t - now_();
        return yes_no('S', 'T', ok);
    }
    if (kind == 'C' && cmd == 'M' && sub == 'D') {
        std::string h = Host(TextAt4(p).c_str());
        bool ok = !faults_.refuse_mkdir && !h.empty() && mkdir(h.c_str(), 0777) == 0;
        return yes_no('M', 'D', ok);
    }
    if (kind == 'C' && cmd == 'R' && sub == 'M') {
        std::string h = Host(TextAt4(p).c_str());
        bool ok = !faults_.refuse_rmdir && !h.empty() && h != root_ && rmdir(h.c_str()) == 0;
        return yes_no('R', 'M', ok);
    }
    ++errors_;
    return {};
}

}  // namespace hcsim
