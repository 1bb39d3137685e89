// Date and time texts from the device clock.
#include "timefmt.h"

#include <stdarg.h>
#include <stdio.h>

#include "qzlib.h"

struct tm TheTime;
char strTime[40];

int GetTime(struct tm** out) {
    TheTime.tm_year = (int)_GetYear();
    TheTime.tm_mon = _GetMonth();
    TheTime.tm_mday = _GetDay();
    TheTime.tm_hour = _GetHour();
    TheTime.tm_min = _GetMin();
    TheTime.tm_sec = _GetSec();
    if (out) *out = &TheTime;
    return 1;
}

int SetTime(const struct tm* t) {
    if (!t) return 0;
    char text[40];
    snprintf(text, sizeof text, "%d:%d:%d", t->tm_hour, t->tm_min, t->tm_sec);
    _SetTime(text);
    snprintf(text, sizeof text, "%d-%d-%d", t->tm_year, t->tm_mon, t->tm_mday);
    _SetDate(text);
    return 1;
}

namespace {

const int kPowers[] = {1, 10, 100, 1000, 10000};

// Writes v as exactly n digits (1..4) at out; returns the end.
char* Digits(char* out, int v, int n) {
    if (v < 0) v = 0;
    for (int k = n; k >= 1; --k) *out++ = (char)('0' + (v % kPowers[k]) / kPowers[k - 1]);
    return out;
}

}  // namespace

int strfmt(char* dst, const char* format, ...) {
    va_list args;
    va_start(args, format);
    char* out = dst;
    for (const char* f = format; *f; ++f) {
        if (*f != '%') {
            *out++ = *f;
            continue;
        }
        char d = f[1];
        if (d == '0') {
            const char* s = va_arg(args, const char*);
            while (s && *s) *out++ = *s++;
            ++f;
        } else if (d >= '1' && d <= '4') {
            out = Digits(out, va_arg(args, int), d - '0');
            ++f;
        } else {
            *out++ = '%';  // the next byte, if any, is copied on the next turn
        }
    }
    *out = '\0';
    va_end(args);
    return 0;
}

unsigned qz_strftime(char* buf, unsigned size, const char* format, const struct tm* t) {
    if (!buf || size == 0) return 0;
    static char scratch[26];  // one directive's text
    unsigned len = 0;
    for (const char* f = format ? format : ""; *f; ++f) {
        const char* piece = scratch;
        if (*f != '%') {
            scratch[0] = *f;
            scratch[1] = '\0';
        } else if (f[1] == '\0') {
            scratch[0] = '%';  // a '%' ending the format is copied alone
            scratch[1] = '\0';
        } else {
            ++f;
            switch (*f) {
                case 'Y':
                    strfmt(scratch, "%4", t->tm_year + 1900);
                    break;
                case 'y':
                    strfmt(scratch, "%2", (t->tm_year % 100 + 100) % 100);
                    break;
                case 'm':
                    strfmt(scratch, "%2", t->tm_mon + 1);
                    break;
                case 'd':
                    strfmt(scratch, "%2", t->tm_mday);
                    break;
                case 'H':
                    strfmt(scratch, "%2", t->tm_hour);
                    break;
                case 'M':
                    strfmt(scratch, "%2", t->tm_min);
                    break;
                case 'S':
                    strfmt(scratch, "%2", t->tm_sec);
                    break;
                case '%':
                    scratch[0] = '%';
                    scratch[1] = '\0';
                    break;
                default:
                    scratch[0] = '%';
                    scratch[1] = *f;
                    scratch[2] = '\0';
                    break;
            }
        }
        for (; *piece; ++piece) {
            if (len >= size - 1) {
                buf[size - 1] = '\0';
                return 0;
            }
            buf[len++] = *piece;
        }
    }
    buf[len] = '\0';
    return len;
}

char* sz_getformattime(const char* format, char* buf) {
    struct tm* t;
    GetTime(&t);
    qz_strftime(buf, 20, format, t);
    return buf;
}
