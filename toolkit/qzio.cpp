// Formatted file and string I/O on the terminal's file services.
#include "qzio.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// ---- files ----

int* qz_fopen(const char* name, const char* mode) {
    if (!name || !mode) return nullptr;
    char m[2] = {mode[0], '\0'};
    if (m[0] >= 'a' && m[0] <= 'z') m[0] = (char)(m[0] - 'a' + 'A');
    bool append = m[0] == 'A';
    if (append) m[0] = 'W';
    // "W" keeps what the file holds; writing anew must not leave the old
    // file's tail behind a shorter new content.
    if (m[0] == 'W' && !append && _Access(name, 0) == 0) _Remove(const_cast<char*>(name));
    int handle = _Fopen(const_cast<char*>(name), m);
    if (handle <= 0) return nullptr;
    if (append) _Lseek(handle, 0, 2);
    return qz_file(handle);
}

int qz_fclose(int* file) {
    if (!file) return -1;
    return _Fclose(qz_fileno(file)) == 0 ? 0 : -1;
}

int qz_vfprintf(int* file, const char* format, va_list args) {
    if (!file || !format) return 0;
    enum { kBuffer = 1000 };
    char local[kBuffer];
    va_list again;
    va_copy(again, args);
    int len = vsnprintf(local, sizeof local, format, args);
    int ok = 0;
    if (len < 0) {
        ok = 0;
    } else if (len < kBuffer) {
        ok = _Fwrite(local, (uint32)len, qz_fileno(file)) == len;
    } else {
        // A text too long for the buffer is still written whole.
        char* big = (char*)_malloc((size_t)len + 1);
        if (big) {
            vsnprintf(big, (size_t)len + 1, format, again);
            ok = _Fwrite(big, (uint32)len, qz_fileno(file)) == len;
            _free(big);
        }
    }
    va_end(again);
    return ok;
}

int qz_fprintf(int* file, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int ok = qz_vfprintf(file, format, args);
    va_end(args);
    return ok;
}

int fgetc(int* file) {
    unsigned char c;
    if (!file || _Fread(&c, 1, qz_fileno(file)) != 1) return -1;
    return c;
}

int fputc(int c, int* file) {
    unsigned char b = (unsigned char)c;
    if (!file || _Fwrite(&b, 1, qz_fileno(file)) != 1) return -1;
    return b;
}

int feof(int* file) { return !file || _Feof(qz_fileno(file)) != 0; }

// ---- scanning ----

int qz_fscanfgetb(intptr_t handle, void* buf, unsigned n) {
    if (handle <= 0) return 0;
    return (int)_Fread(buf, n, (int)handle);
}

int _sgetb(intptr_t handle, void* buf, unsigned n) {
    const char** cursor = (const char**)handle;
    if (!cursor || !*cursor) return 0;
    const char* p = *cursor;
    char* out = (char*)buf;
    unsigned done = 0;
    while (done < n && *p) out[done++] = *p++;
    *cursor = p;
    return (int)done;
}

namespace {

inline bool IsSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Where the converted fields go: the caller's variable arguments or an array.
struct Destinations {
    va_list* args;
    void* const* vec;
    int count;
    int used;

    // Null when an array has no destination left.
    void* Next() {
        if (args) return va_arg(*args, void*);
        if (used >= count) return nullptr;
        return vec[used++];
    }
};

class Scanner {
  public:
    Scanner(qz_getter get, intptr_t handle) : get_(get), handle_(handle) {}

    int Run(const char* format, Destinations* dest);

  private:
    enum { kDigits = 16, kMaxWidth = 65535 };

    // Reads one character: the pending one, if any, else one from the source.
    bool Read(unsigned char* c) {
        if (pending_) {
            pending_ = false;
            *c = look_;
            return true;
        }
        return get_(handle_, c, 1) == 1;
    }
    void Keep(unsigned char c) {
        look_ = c;
        pending_ = true;
    }
    // Skips whitespace; true with the first other character in *c.
    bool SkipSpace(unsigned char* c) {
        do {
            if (!Read(c)) return false;
        } while (IsSpace(*c));
        return true;
    }
    int Failed() const { return completed_ == 0 ? -1 : assigned_; }
    // Ends the scan with `result`: a conversion that did not complete.
    bool Stop(int result, bool* stop) {
        *stop = true;
        result_ = result;
        return false;
    }

    bool ScanChars(unsigned width, bool suppress, Destinations* dest, bool* stop);
    bool ScanString(unsigned width, bool suppress, Destinations* dest, bool* stop);
    bool ScanSet(const unsigned char* set, unsigned setLen, bool negate, unsigned width,
                 bool suppress, Destinations* dest, bool* stop);
    bool ScanInteger(int base, bool hexPrefix, unsigned width, int size, bool suppress,
                     Destinations* dest, bool* stop);
    bool ScanNumber(unsigned width, bool isDouble, bool suppress, Destinations* dest, bool* stop);

    qz_getter get_;
    intptr_t handle_;
    unsigned char look_ = 0;
    bool pending_ = false;
    unsigned char completed_ = 0;
    int assigned_ = 0;
    int result_ = 0;  // what Run returns when a conversion stops the scan
};

// Each Scan* returns true when the conversion completed (stored or
// suppressed). When it did not, *stop is set and result_ holds the result.

bool Scanner::ScanChars(unsigned width, bool suppress, Destinations* dest, bool* stop) {
    if (width == 0) width = 1;
    char* out = nullptr;
    if (!suppress) {
        out = (char*)dest->Next();
        if (!out) {
            return Stop(assigned_, stop);
        }
    }
    unsigned have = 0;
    if (pending_) {
        pending_ = false;
        if (out) out[0] = (char)look_;
        have = 1;
    }
    if (out) {
        if (have < width) {
            unsigned want = width - have;
            if ((unsigned)get_(handle_, out + have, want) != want) {
                return Stop(Failed(), stop);
            }
        }
    } else {
        char scratch[kDigits];
        while (have < width) {
            unsigned want = width - have > (unsigned)kDigits ? (unsigned)kDigits : width - have;
            if ((unsigned)get_(handle_, scratch, want) != want) {
                return Stop(Failed(), stop);
            }
            have += want;
        }
    }
    if (!suppress) ++assigned_;
    return true;
}

bool Scanner::ScanString(unsigned width, bool suppress, Destinations* dest, bool* stop) {
    if (width == 0) width = kMaxWidth;
    unsigned char c;
    if (!SkipSpace(&c)) {
        return Stop(Failed(), stop);
    }
    char* out = nullptr;
    if (!suppress) {
        out = (char*)dest->Next();
        if (!out) {
            Keep(c);
            return Stop(assigned_, stop);
        }
    }
    unsigned n = 0;
    for (;;) {
        if (out) out[n] = (char)c;
        ++n;
        if (n >= width) break;
        if (!Read(&c)) break;
        if (IsSpace(c)) break;  // the ending whitespace is consumed
    }
    if (out) {
        out[n] = '\0';
        ++assigned_;
    }
    return true;
}

bool Scanner::ScanSet(const unsigned char* set, unsigned setLen, bool negate, unsigned width,
                      bool suppress, Destinations* dest, bool* stop) {
    if (width == 0) width = kMaxWidth;
    char* out = nullptr;
    if (!suppress) {
        out = (char*)dest->Next();
        if (!out) {
            return Stop(assigned_, stop);
        }
    }
    unsigned n = 0;
    unsigned char c;
    while (n < width) {
        if (!Read(&c)) {
            if (n == 0) {
                return Stop(Failed(), stop);
            }
            break;
        }
        bool in = memchr(set, c, setLen) != nullptr;
        if (in == negate) {
            Keep(c);
            break;
        }
        if (out) out[n] = (char)c;
        ++n;
    }
    if (n == 0) {
        return Stop(assigned_, stop);
    }
    if (out) {
        out[n] = '\0';
        ++assigned_;
    }
    return true;
}

void StoreInteger(void* to, long v, int size) {
    switch (size) {
        case 'l':
            *(long*)to = v;
            break;
        case 'h':
            *(short*)to = (short)v;
            break;
        case 'H':
            *(signed char*)to = (signed char)v;
            break;
        default:
            *(int*)to = (int)v;
    }
}

bool Scanner::ScanInteger(int base, bool hexConv, unsigned width, int size, bool suppress,
                          Destinations* dest, bool* stop) {
    if (width == 0 || width > kDigits - 1) width = kDigits - 1;
    unsigned char c;
    if (!SkipSpace(&c)) {
        return Stop(Failed(), stop);
    }
    char buf[kDigits];
    unsigned n = 0;
    unsigned digits = 0;
    // An 'x' is taken only right after a leading '0', and only where a
    // prefix may choose the base (i) or names it (x, X).
    bool prefixAllowed = false;
    const bool prefixBase = base == 0 || hexConv;
    for (;;) {
        bool fits = false;
        const bool leading = digits == 0;
        if ((c == '+' || c == '-') && n == 0) {
            fits = true;
        } else if (c == '0') {
            fits = true;
            if (leading) {
                if (base == 0) base = 8;
                prefixAllowed = prefixBase;
            } else {
                prefixAllowed = false;
            }
            ++digits;
        } else if (c >= '1' && c <= '7') {
            fits = true;
            if (base == 0) base = 10;
            prefixAllowed = false;
            ++digits;
        } else if (c == '8' || c == '9') {
            if (base == 0 || base == 10 || base == 16) {
                fits = true;
                if (base == 0) base = 10;
                prefixAllowed = false;
                ++digits;
            }
        } else if ((c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')) {
            if (base == 16) {
                fits = true;
                prefixAllowed = false;
                ++digits;
            }
        } else if ((c == 'x' || c == 'X') && prefixAllowed) {
            fits = true;
            base = 16;
            prefixAllowed = false;
        }
        if (!fits) {
            Keep(c);
            break;
        }
        buf[n++] = (char)c;
        if (n >= width) break;
        if (!Read(&c)) break;
    }
    buf[n] = '\0';
    if (digits == 0) {
        return Stop(assigned_, stop);
    }
    if (!suppress) {
        void* to = dest->Next();
        if (!to) {
            return Stop(assigned_, stop);
        }
        long v = strtol(buf, nullptr, base == 0 ? 10 : base);
        StoreInteger(to, v, size);
        ++assigned_;
    }
    return true;
}

bool Scanner::ScanNumber(unsigned width, bool isDouble, bool suppress, Destinations* dest,
                         bool* stop) {
    if (width == 0 || width > kDigits - 1) width = kDigits - 1;
    unsigned char c;
    if (!SkipSpace(&c)) {
        return Stop(Failed(), stop);
    }
    char buf[kDigits];
    unsigned n = 0;
    unsigned digits = 0;
    bool point = false;
    for (;;) {
        bool fits = false;
        if ((c == '+' || c == '-') && n == 0) {
            fits = true;
        } else if (c >= '0' && c <= '9') {
            fits = true;
            ++digits;
        } else if (c == '.' && !point) {
            fits = true;
            point = true;
        }
        if (!fits) {
            Keep(c);
            break;
        }
        buf[n++] = (char)c;
        if (n >= width) break;
        if (!Read(&c)) break;
    }
    buf[n] = '\0';
    if (digits == 0) {
        return Stop(assigned_, stop);
    }
    if (!suppress) {
        void* to = dest->Next();
        if (!to) {
            return Stop(assigned_, stop);
        }
        double v = strtod(buf, nullptr);
        if (isDouble)
            *(double*)to = v;
        else
            *(float*)to = (float)v;
        ++assigned_;
    }
    return true;
}

int Scanner::Run(const char* format, Destinations* dest) {
    const unsigned char* f = (const unsigned char*)format;
    if (!f) return -1;
    for (;;) {
        unsigned char fc = *f;
        if (fc == '\0') return assigned_;
        if (IsSpace(fc)) {
            ++f;
            unsigned char c;
            while (Read(&c)) {
                if (!IsSpace(c)) {
                    Keep(c);
                    break;
                }
            }
            continue;
        }
        if (fc != '%' || f[1] == '%') {
            f += fc == '%' ? 2 : 1;
            unsigned char c;
            if (!Read(&c)) return Failed();
            if (c != fc) return assigned_;
            continue;
        }
        // A directive.
        ++f;
        bool suppress = false;
        int longs = 0, shorts = 0;
        unsigned width = 0;
        for (;; ++f) {
            if (*f == '*') {
                suppress = true;
            } else if (*f == 'l') {
                ++longs;
            } else if (*f == 'h') {
                ++shorts;
            } else if (*f >= '0' && *f <= '9') {
                width = width * 10 + (*f - '0');
                if (width > kMaxWidth) width = kMaxWidth;
            } else {
                break;
            }
        }
        unsigned char conv = *f;
        if (conv == '\0') return -1;
        ++f;
        int size = longs ? 'l' : shorts == 1 ? 'h' : shorts > 1 ? 'H' : 0;
        bool stop = false;
        switch (conv) {
            case 'c':
                ScanChars(width, suppress, dest, &stop);
                break;
            case 's':
                ScanString(width, suppress, dest, &stop);
                break;
            case '[': {
                bool negate = false;
                if (*f == '^') {
                    negate = true;
                    ++f;
                }
                const unsigned char* set = f;
                while (*f && *f != ']') ++f;
                unsigned setLen = (unsigned)(f - set);
                if (*f == ']') ++f;
                ScanSet(set, setLen, negate, width, suppress, dest, &stop);
                break;
            }
            case 'f':
                ScanNumber(width, longs > 0, suppress, dest, &stop);
                break;
            case 'i':
                ScanInteger(0, false, width, size, suppress, dest, &stop);
                break;
            case 'o':
                ScanInteger(8, false, width, size, suppress, dest, &stop);
                break;
            case 'x':
            case 'X':
                ScanInteger(16, true, width, size, suppress, dest, &stop);
                break;
            default:
                ScanInteger(10, false, width, size, suppress, dest, &stop);
                break;
        }
        if (stop) return result_;
        ++completed_;
    }
}

}  // namespace

int _getf(qz_getter get, intptr_t handle, const char* format, va_list args) {
    va_list mine;
    va_copy(mine, args);
    Destinations dest = {&mine, nullptr, 0, 0};
    Scanner scanner(get, handle);
    int r = scanner.Run(format, &dest);
    va_end(mine);
    return r;
}

int _getf_vector(qz_getter get, intptr_t handle, const char* format, void* const* dest, int count) {
    Destinations d = {nullptr, dest, count, 0};
    Scanner scanner(get, handle);
    return scanner.Run(format, &d);
}

int qz_fscanf(int* file, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int r = _getf(qz_fscanfgetb, (intptr_t)qz_fileno(file), format, args);
    va_end(args);
    return r;
}

int qz_vsscanf(const char* text, const char* format, va_list args) {
    const char* cursor = text ? text : "";
    return _getf(_sgetb, (intptr_t)&cursor, format, args);
}

int qz_sscanf(const char* text, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int r = qz_vsscanf(text, format, args);
    va_end(args);
    return r;
}

// ---- characters ----

extern "C" char* strupr(char* s) {
    if (!s) return s;
    for (char* p = s; *p; ++p)
        if (*p >= 'a' && *p <= 'z') *p = (char)(*p - 'a' + 'A');
    return s;
}

// ---- allocation ----
// On the terminal every allocation goes to the OS heap. Host builds keep the
// host's own operators, so that host tools and sanitizers see their usual
// heap.
#if defined(__arm__)
void* operator new(size_t size) { return _malloc(size); }
void* operator new[](size_t size) { return _malloc(size); }
void operator delete(void* p) noexcept { _free(p); }
void operator delete[](void* p) noexcept { _free(p); }
void operator delete(void* p, size_t) noexcept { _free(p); }
void operator delete[](void* p, size_t) noexcept { _free(p); }
#endif
