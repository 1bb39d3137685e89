#include "pc_debug.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace pc {

namespace {

std::mutex g_mu;
std::function<void(const std::string&)> g_sink;

enum class Target { kUnknown, kOff, kStderr, kFile };
Target g_target = Target::kUnknown;
std::FILE* g_file = nullptr;

void ChooseTarget() {
    const char* v = std::getenv("QZ_DEBUG");
    if (v == nullptr || *v == '\0' || std::strcmp(v, "0") == 0) {
        g_target = Target::kOff;
    } else if (std::strcmp(v, "1") == 0 || std::strcmp(v, "stderr") == 0) {
        g_target = Target::kStderr;
    } else {
        g_file = std::fopen(v, "a");
        g_target = g_file ? Target::kFile : Target::kStderr;
    }
}

}  // namespace

std::string GbkToUtf8(const std::string& gbk) {
    iconv_t cd = iconv_open("UTF-8", "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1)) return gbk;
    std::string out;
    char buf[256];
    char* in = const_cast<char*>(gbk.data());
    size_t in_left = gbk.size();
    while (in_left > 0) {
        char* o = buf;
        size_t o_left = sizeof buf;
        size_t r = iconv(cd, &in, &in_left, &o, &o_left);
        out.append(buf, o - buf);
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            out += '?';  // an invalid or cut-off sequence: skip one byte
            ++in;
            --in_left;
        }
    }
    iconv_close(cd);
    return out;
}

void DebugOutput(const char* gbk) {
    std::string text(gbk ? gbk : "");
    std::lock_guard<std::mutex> g(g_mu);
    if (g_sink) g_sink(text);
    if (g_target == Target::kUnknown) ChooseTarget();
    if (g_target == Target::kOff) return;
    std::string utf8 = GbkToUtf8(text);
    std::FILE* f = g_target == Target::kFile ? g_file : stderr;
    std::fwrite(utf8.data(), 1, utf8.size(), f);
    std::fflush(f);
}

void SetDebugSink(std::function<void(const std::string&)> sink) {
    std::lock_guard<std::mutex> g(g_mu);
    g_sink = std::move(sink);
}

}  // namespace pc
