#include "flashpath.h"

#include <cerrno>
#include <cstring>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace flashpath {

const char kDefaultRoot[] = "flash";

namespace {
constexpr size_t kMaxTerminalPath = 1024;

bool IsSep(char c) { return c == '/' || c == '\\'; }
}  // namespace

bool Resolve(const std::string& root, const char* terminal_path, std::string* host_path) {
    if (terminal_path == nullptr || strnlen(terminal_path, kMaxTerminalPath + 1) > kMaxTerminalPath)
        return false;
    const char* p = terminal_path;
    while (IsSep(*p)) ++p;
    // "/FLASH" names the root of the terminal's file system.
    if (strncasecmp(p, "FLASH", 5) == 0 && (p[5] == '\0' || IsSep(p[5]))) p += 5;
    std::string out = root;
    while (*p) {
        while (IsSep(*p)) ++p;
        const char* start = p;
        while (*p && !IsSep(*p)) ++p;
        std::string part(start, p);
        if (part.empty() || part == ".") continue;
        if (part == "..") return false;
        out += '/';
        out += part;
    }
    *host_path = out;
    return true;
}

bool EnsureRoot(const std::string& root, std::string* error) {
    std::string partial;
    for (size_t i = 0; i <= root.size(); ++i) {
        if (i == root.size() || (root[i] == '/' && i > 0)) {
            partial = root.substr(0, i);
            if (mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST) {
                *error = "cannot create flash root " + partial + ": " + strerror(errno);
                return false;
            }
        }
    }
    struct stat st;
    if (stat(root.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        *error = "flash root " + root + " is not a folder";
        return false;
    }
    if (access(root.c_str(), R_OK | W_OK | X_OK) != 0) {
        *error = "flash root " + root + " is not writable";
        return false;
    }
    return true;
}

}  // namespace flashpath
