// Small utility routines of the field book.
#include "utils.h"

#include <math.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "codec.h"

char SystemBuf[kSystemBufSize];

// ---- files ----

int* OpenFile(const char* path, const char* mode, const char* /*extra*/) {
    if (!path || !mode) return nullptr;
    char kind = mode[0];
    if (kind >= 'A' && kind <= 'Z') kind = (char)(kind - 'A' + 'a');
    if (kind == 'r' && strchr(mode, '+')) {
        // Reading and writing an existing file: "W" keeps its content.
        if (!FileExists(path)) return nullptr;
        int* file = qz_fopen(path, "a");
        if (file) _Lseek(file, 0, 0);
        return file;
    }
    if (kind == 'r' || kind == 'w' || kind == 'a') {
        char m[2] = {kind, '\0'};
        return qz_fopen(path, m);
    }
    return nullptr;
}

int FileExists(const char* path) { return path && _Access(path, 0) == 0; }

int readline(char* buf, int* file, char endChar, int max) {
    if (!buf || !file || max < 0) return -1;
    int kept = 0;
    bool any = false;
    unsigned char c;
    while (_Fread(&c, 1, file) == 1) {
        any = true;
        if ((char)c == endChar) break;
        if (max <= 0 || kept < max - 1) buf[kept++] = (char)c;
    }
    buf[kept] = '\0';
    if (!any) return -1;
    if (endChar == '\n' && kept > 0 && buf[kept - 1] == '\r') buf[--kept] = '\0';
    return kept;
}

int SeekToLine(int* file, const char* key, int fromStart, char* buf, int max) {
    if (!file || !key || !buf) return 0;
    if (fromStart) _Lseek(file, 0, 0);
    size_t keyLen = strlen(key);
    while (readline(buf, file, '\n', max) >= 0)
        if (strncmp(buf, key, keyLen) == 0) return 1;
    return 0;
}

// ---- texts ----

char* FormatString(const char* format, ...) {
    static char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

char* FormatStringToBuff(char* buf, const char* format, ...) {
    va_list args;
    va_start(args, format);
    vsprintf(buf, format, args);
    va_end(args);
    return buf;
}

int GbkContains(const char* text, const char* part) {
    if (!text || !part) return 0;
    size_t n = strlen(part);
    for (const unsigned char* p = (const unsigned char*)text; *p;) {
        if (strncmp((const char*)p, part, n) == 0) return 1;
        p += (*p >= 0x81 && p[1]) ? 2 : 1;
    }
    return n == 0;
}

// ---- numbers ----

double JiouCut(double value, int digits) {
    if (!isfinite(value)) return value;
    if (digits < 0) digits = 0;
    if (digits > 15) digits = 15;
    // 15 significant digits: "d.dddddddddddddde+XX".
    char text[40];
    snprintf(text, sizeof text, "%.14e", fabs(value));
    char mant[16];
    int m = 0;
    for (const char* p = text; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') mant[m++] = *p;
    if (m != 15) return value;
    int exponent = atoi(strchr(text, 'e') + 1);
    // mant[k] stands for 10^(exponent - k); keep those down to 10^-digits.
    int keep = exponent + digits + 1;
    if (keep >= 15) return value;
    if (keep < 0) return 0.0;
    long long kept = 0;
    for (int k = 0; k < keep; ++k) kept = kept * 10 + (mant[k] - '0');
    char next = mant[keep];
    bool restZero = true;
    for (int k = keep + 1; k < 15; ++k)
        if (mant[k] != '0') restZero = false;
    if (next > '5' || (next == '5' && !restZero) || (next == '5' && restZero && (kept & 1))) ++kept;
    // One division by the exact power of ten gives the double nearest to the
    // rounded decimal value.
    double scale = 1.0;
    for (int k = 0; k < digits; ++k) scale *= 10.0;
    double result = (double)kept / scale;
    return value < 0 ? -result : result;
}

const char* checkAngle(const char* text) {
    static const char kForm[] = "请输入度.分秒格式的角度";
    if (!text) return kForm;
    while (*text == ' ') ++text;
    int degrees = 0, nd = 0;
    const char* p = text;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (++nd > 3) return kForm;
        degrees = degrees * 10 + (*p - '0');
    }
    if (nd == 0) return kForm;
    int frac[4] = {0, 0, 0, 0};
    if (*p == '.') {
        ++p;
        for (int k = 0; *p >= '0' && *p <= '9'; ++p, ++k)
            if (k < 4) frac[k] = *p - '0';
    }
    while (*p == ' ') ++p;
    if (*p) return kForm;
    int minutes = frac[0] * 10 + frac[1];
    int seconds = frac[2] * 10 + frac[3];
    if (degrees > 180) return "度数不能大于180";
    if (minutes >= 60) return "分必须小于60";
    if (seconds >= 60) return "秒必须小于60";
    return nullptr;
}

// ---- grades and line types ----

enumLevel GetLevel(const char* text) {
    if (!text || !*text) return LevelNone;
    if (GbkContains(text, "二等")) return LevelSecond;
    if (GbkContains(text, "一等")) return LevelFirst;
    if (GbkContains(text, "三等")) return LevelThird;
    if (GbkContains(text, "四等")) return LevelFourth;
    if (GbkContains(text, "自定义") || GbkContains(text, "项目限差")) return LevelProjectLimits;
    return LevelSecond;
}

uint8 GetLineType(const char* text) {
    if (GbkContains(text, "双转点") || GbkContains(text, "左右路线") || GbkContains(text, "双路线"))
        return 2;
    return 1;
}

// ---- checks of whole files ----

short CRCCheckFile(const char* path) {
    int* file = OpenFile(path, "rb", "");
    if (!file) return 0;
    unsigned short crc = 0xFFFF;
    unsigned char chunk[256];
    uint32 n;
    while ((n = _Fread(chunk, sizeof chunk, file)) > 0) crc = Crc16(crc, chunk, n);
    qz_fclose(file);
    return (short)crc;
}

int makejmfile(const char* name) {
    if (!name) return 0;
    char out[260];
    size_t len = strlen(name);
    if (len + 4 >= sizeof out) return 0;
    memcpy(out, name, len + 1);
    char* dot = strrchr(out, '.');
    char* slash = strrchr(out, '\\');
    char* slash2 = strrchr(out, '/');
    if (slash2 > slash) slash = slash2;
    if (!dot || (slash && dot < slash)) dot = out + len;
    strcpy(dot, ".jm");
    if (strcmp(out, name) == 0) return 0;
    int* in = OpenFile(name, "r", "");
    if (!in) return 0;
    int* jm = OpenFile(out, "w+", "");
    if (!jm) {
        qz_fclose(in);
        return 0;
    }
    short chain = 0;
    int ok = 1;
    for (int number = 1; readline(SystemBuf, in, '\n', kSystemBufSize) >= 0; ++number)
        ok &= qz_fprintf(jm, "%s\n", EncyptStr(SystemBuf, number, &chain));
    qz_fclose(in);
    qz_fclose(jm);
    return ok;
}
