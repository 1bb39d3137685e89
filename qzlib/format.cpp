// The formatter and the number conversions.
//
// _vsprintf1 writes either into a caller's buffer or, line by line, onto the
// screen at the text cursor. Every character goes through one bounded sink,
// so a field width, a precision or a screen line can never run past the
// buffer the sink writes into.
#include <stdint.h>

#include "qzlibex.h"

namespace {

const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
const char kDigitsUpper[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// Screen mode: one line of text; the terminator needs the last byte.
const int kLineBuffer = 256;

// Where formatted characters go: at most `cap` characters into buf. What does
// not fit is dropped.
struct Sink {
    char* buf;
    size_t cap;
    size_t len;
    void Put(char c) {
        if (len < cap) buf[len++] = c;
    }
    void Terminate() { buf[len] = '\0'; }
};

int Cap(int v) { return v > QZ_FIELD_MAX ? QZ_FIELD_MAX : v; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The conversion of `number`, into a sink.
bool EmitNumber(Sink& out, uint32 num, int base, int size, int precision, int type) {
    if (base < 2 || base > 36) return false;
    size = Cap(size);
    precision = Cap(precision);
    const char* digits = (type & QZ_LARGE) ? kDigitsUpper : kDigits;
    if (type & QZ_LEFT) type &= ~QZ_ZEROPAD;
    char pad = (type & QZ_ZEROPAD) ? '0' : ' ';
    char sign = 0;
    if (type & QZ_SIGN) {
        if ((int32)num < 0) {
            sign = '-';
            num = 0u - num;  // the magnitude, also of the most negative value
        } else if (type & QZ_PLUS) {
            sign = '+';
        } else if (type & QZ_SPACE) {
            sign = ' ';
        }
        if (sign) --size;
    }
    if (type & QZ_SPECIAL) {
        if (base == 16)
            size -= 2;
        else if (base == 8)
            --size;
    }
    char tmp[33];  // 32 binary digits at most
    int i = 0;
    if (num == 0) {
        tmp[i++] = '0';
    } else {
        while (num != 0) {
            tmp[i++] = digits[udivmodsi4(num, (uint32)base, 1)];
            num = udivmodsi4(num, (uint32)base, 0);
        }
    }
    if (i > precision) precision = i;
    size -= precision;
    if (!(type & (QZ_ZEROPAD | QZ_LEFT)))
        while (size-- > 0) out.Put(' ');
    if (sign) out.Put(sign);
    if (type & QZ_SPECIAL) {
        if (base == 8) {
            out.Put('0');
        } else if (base == 16) {
            out.Put('0');
            out.Put(digits[33]);  // 'x' or 'X'
        }
    }
    if (!(type & QZ_LEFT))
        while (size-- > 0) out.Put(pad);
    while (i < precision--) out.Put('0');
    while (i-- > 0) out.Put(tmp[i]);
    while (size-- > 0) out.Put(' ');
    return true;
}

void EmitText(Sink& out, const char* s, int width, int precision, int flags) {
    if (!s) s = "<NULL>";
    width = Cap(width);
    int len = (int)QZ_STRNLEN(s, precision < 0 ? (size_t)-1 : (size_t)precision);
    if (!(flags & QZ_LEFT))
        while (len < width--) out.Put(' ');
    for (int i = 0; i < len; ++i) out.Put(s[i]);
    while (len < width--) out.Put(' ');
}

// Where a formatting run writes: the caller's buffer, or screen lines.
struct Run {
    Sink out;
    bool screen;
    uint8 color;
    int x, y;  // pen position of the current screen line, in pixels
    char line[kLineBuffer];

    void EndLine() {
        out.Terminate();
        _Printfxy(x, y, out.buf, color);
        y += frontsize;
        x = 0;
        out.len = 0;
    }
};

int Format(Run& run, const char* fmt, va_list args) {
    Sink& out = run.out;
    for (; *fmt; ++fmt) {
        if (*fmt != '%') {
            if (run.screen && (*fmt == '\n' || *fmt == '\r'))
                run.EndLine();
            else
                out.Put(*fmt);
            continue;
        }
        int flags = 0;
        for (;;) {
            ++fmt;
            if (*fmt == '-')
                flags |= QZ_LEFT;
            else if (*fmt == '+')
                flags |= QZ_PLUS;
            else if (*fmt == ' ')
                flags |= QZ_SPACE;
            else if (*fmt == '#')
                flags |= QZ_SPECIAL;
            else if (*fmt == '0')
                flags |= QZ_ZEROPAD;
            else
                break;
        }
        int width = -1;
        if (IsDigit(*fmt)) {
            width = skip_atoi(&fmt);
        } else if (*fmt == '*') {
            ++fmt;
            width = va_arg(args, int);
            if (width < 0) {
                width = width == INT32_MIN ? INT32_MAX : -width;
                flags |= QZ_LEFT;
            }
        }
        width = Cap(width);
        int precision = -1;
        if (*fmt == '.') {
            ++fmt;
            if (IsDigit(*fmt)) {
                precision = skip_atoi(&fmt);
            } else if (*fmt == '*') {
                ++fmt;
                precision = va_arg(args, int);
            }
            if (precision < 0) precision = 0;
            precision = Cap(precision);
        }
        char qualifier = 0;
        if (*fmt == 'h' || *fmt == 'l' || *fmt == 'q') {
            qualifier = *fmt;
            ++fmt;
        }
        int base = 10;
        switch (*fmt) {
            case 'c':
            case 'C': {
                char c = (char)va_arg(args, int);
                if (!(flags & QZ_LEFT))
                    while (--width > 0) out.Put(' ');
                out.Put(c);
                while (--width > 0) out.Put(' ');
                continue;
            }
            case 's':
            case 'S':
                EmitText(out, va_arg(args, const char*), width, precision, flags);
                continue;
            case 'p':
                if (width == -1) {
                    width = 8;
                    flags |= QZ_ZEROPAD;
                }
                // The terminal's pointers are 32 bits wide.
                EmitNumber(out, (uint32)(uintptr_t)va_arg(args, void*), 16, width, precision,
                           flags);
                continue;
            case 'f':
            case 'F': {
                char text[QZ_DOUBLE_TEXT];
                _DoubleToStr(text, va_arg(args, double), precision);
                EmitText(out, text, 0, -1, 0);
                continue;
            }
            case 'z':
            case 'Z': {
                uint8 field = (uint8)va_arg(args, int);
                char text[256] = {0};
                _ReadField(field, text);
                text[sizeof text - 1] = '\0';
                if (precision >= 0) {
                    char value[QZ_DOUBLE_TEXT];
                    _DoubleToStr(value, _atof(text), precision);
                    EmitText(out, value, 0, -1, 0);
                } else {
                    EmitText(out, text, 0, -1, 0);
                }
                continue;
            }
            case 'n': {
                int* count = va_arg(args, int*);
                if (count) *count = (int)out.len;
                continue;
            }
            case '%':
                out.Put('%');
                continue;
            case 'o':
                base = 8;
                break;
            case 'X':
                flags |= QZ_LARGE;
                base = 16;
                break;
            case 'x':
                base = 16;
                break;
            case 'd':
            case 'i':
                flags |= QZ_SIGN;
                break;
            case 'u':
                break;
            default:
                out.Put('%');
                if (*fmt)
                    out.Put(*fmt);
                else
                    --fmt;  // a '%' at the end: the loop stops on the terminator
                continue;
        }
        uint32 num;
        if (qualifier == 'q') {
            num = (uint32)va_arg(args, long long);
        } else if (qualifier == 'h') {
            int v = va_arg(args, int);
            num = (flags & QZ_SIGN) ? (uint32)(int32)(int16)v : (uint32)(uint16)v;
        } else {
            num = va_arg(args, unsigned);
        }
        EmitNumber(out, num, base, width, precision, flags);
    }
    if (run.screen) {
        out.Terminate();
        if (out.len > 0) _Printfxy(run.x, run.y, out.buf, run.color);
        _toxy((uint8)(run.x + 8 * (int)out.len), (uint8)(run.y + 14));
    } else {
        out.Terminate();
    }
    return (int)out.len;
}

}  // namespace

int _vsprintf1(char* buf2, uint8 color, const char* fmt, va_list args) {
    Run run;
    run.color = color;
    run.screen = color != 255;
    if (run.screen) {
        uint8 cx = 0, cy = 0;
        _GetCursor(&cx, &cy);
        run.x = cx;
        run.y = cy - 14;
        run.out = Sink{run.line, kLineBuffer - 1, 0};
    } else {
        if (!buf2) return 0;
        run.x = run.y = 0;
        run.out = Sink{buf2, (size_t)-1, 0};
    }
    if (!fmt) fmt = "";
    return Format(run, fmt, args);
}

int _sprintfEx(char* printbuffer1, const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    int n = _vsprintf1(printbuffer1, 255, fmt, args);
    va_end(args);
    return n;
}

int _snprintfEx(char* buf, size_t size, const char* fmt, ...) {
    if (!buf || size == 0) return 0;
    Run run;
    run.screen = false;
    run.color = 255;
    run.x = run.y = 0;
    run.out = Sink{buf, size - 1, 0};
    va_list args;
    va_start(args, fmt);
    int n = Format(run, fmt ? fmt : "", args);
    va_end(args);
    return n;
}

int _sprintfxy(int x, int y, int color, const char* fmt, ...) {
    _toxy((uint8)x, (uint8)(y + 14));
    va_list args;
    va_start(args, fmt);
    int n = _vsprintf1(nullptr, (uint8)color, fmt, args);
    va_end(args);
    return n;
}

char* number(char* str, int num, int base, int size, int precision, int type) {
    Sink out{str, (size_t)-1, 0};
    if (!EmitNumber(out, (uint32)num, base, size, precision, type)) return nullptr;
    return str + out.len;
}

int skip_atoi(const char** s) {
    int i = 0;
    while (IsDigit(**s)) {
        int digit = *((*s)++) - '0';
        i = i > (INT32_MAX - digit) / 10 ? INT32_MAX : i * 10 + digit;
    }
    return i;
}

size_t QZ_STRNLEN(const char* s, size_t count) {
    const char* sc = s;
    while (count-- && *sc) ++sc;
    return (size_t)(sc - s);
}

char* _DoubleToStr(char* dest, double s1, int dot) {
    const double kBias = 9e-08;
    if (dot > 9) dot = 9;
    char* p = dest;
    if (s1 != s1) {  // not a number
        p[0] = 'n', p[1] = 'a', p[2] = 'n', p[3] = '\0';
        return dest;
    }
    if (s1 == 0) {
        *p++ = '0';
        if (dot > 0) {
            *p++ = '.';
            for (int i = 0; i < dot; ++i) *p++ = '0';
        }
        *p = '\0';
        return dest;
    }
    double mag = s1;
    if (s1 < 0) {
        *p++ = '-';
        mag = -s1;
    }
    // Integer parts up to 18 digits are written in full; beyond that the
    // value is out of range for a text of QZ_DOUBLE_TEXT bytes.
    if (mag + kBias >= 1e18) {
        p[0] = 'i', p[1] = 'n', p[2] = 'f', p[3] = '\0';
        return dest;
    }
    // The bias applies to both signs, so that -2.99999999 gives -3.00 just as
    // 2.99999999 gives 3.00.
    uint64_t whole = (uint64_t)(mag + kBias);
    char tmp[20];
    int n = 0;
    uint64_t w = whole;
    do {
        tmp[n++] = (char)('0' + (int)(w % 10));
        w /= 10;
    } while (w != 0);
    while (n > 0) *p++ = tmp[--n];
    if (dot > 0) {
        *p++ = '.';
        double f = (mag - (double)whole) + kBias;
        if (f < 0) f = 0;
        for (int i = 0; i < dot; ++i) {
            f = f * 10;
            int digit = (int)f % 10;  // f < 10^9 * 1.0000001 with dot <= 9
            if (digit < 0) digit = 0;
            *p++ = (char)('0' + digit);
        }
    }
    *p = '\0';
    return dest;
}

double _atof(char* Sour) {
    if (!Sour) return 0;
    const char* s = Sour;
    double sign = 1;
    if (*s == '+' || *s == '-') {
        if (*s == '-') sign = -1;
        ++s;
    }
    double val = 0;
    while (IsDigit(*s)) val = val * 10 + (*s++ - '0');
    double power = 1;
    if (*s == '.') {
        ++s;
        while (IsDigit(*s)) {
            val = val * 10 + (*s++ - '0');
            power *= 10;
        }
    }
    return sign * val / power;
}

uint32 udivmodsi4(unsigned num, uint32 den, int modwanted) {
    // Without this, 0 / 0 would pass the subtraction loop once and give 1.
    if (den == 0) return modwanted ? num : 0;
    uint32 bit = 1;
    uint32 res = 0;
    // Line the divisor up below the dividend, then subtract it back down.
    while (den < num && bit && !(den & 0x80000000u)) {
        den <<= 1;
        bit <<= 1;
    }
    while (bit) {
        if (num >= den) {
            num -= den;
            res |= bit;
        }
        bit >>= 1;
        den >>= 1;
    }
    return modwanted ? num : res;
}

uint32 mod(uint32 a, uint32 b) { return udivmodsi4(a, b, 1); }

uint32 _div(uint32 a, uint32 b) { return udivmodsi4(a, b, 0); }
