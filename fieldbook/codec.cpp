// Chain-protected encoders of the record files.
#include "codec.h"

#include <stdio.h>
#include <string.h>

#include "qzlib.h"

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int AlphabetIndex(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

int HexValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Four upper-case hexadecimal digits; -1 unless all four are there.
long ReadHex4(const char* p) {
    long v = 0;
    for (int k = 0; k < 4; ++k) {
        int d = HexValue((unsigned char)p[k]);
        if (d < 0) return -1;
        v = v * 16 + d;
    }
    return v;
}

void WriteHex4(char* p, unsigned v) {
    static const char kHex[] = "0123456789ABCDEF";
    for (int k = 3; k >= 0; --k, v >>= 4) p[k] = kHex[v & 15];
}

// Length of the longest prefix of text within the limit that ends on a
// whole GBK character.
size_t PlainLength(const char* text) {
    size_t n = 0;
    const unsigned char* p = (const unsigned char*)text;
    while (p[n]) {
        size_t step = (p[n] >= 0x81 && p[n + 1]) ? 2 : 1;
        if (n + step > kCodecMaxPlain) break;
        n += step;
    }
    return n;
}

// Base64 body of n bytes, no padding; returns its length.
size_t EncodeBody(const unsigned char* in, size_t n, char* out) {
    size_t o = 0;
    for (size_t i = 0; i < n; i += 3) {
        unsigned v = (unsigned)in[i] << 16;
        if (i + 1 < n) v |= (unsigned)in[i + 1] << 8;
        if (i + 2 < n) v |= in[i + 2];
        out[o++] = kAlphabet[(v >> 18) & 63];
        out[o++] = kAlphabet[(v >> 12) & 63];
        if (i + 1 < n) out[o++] = kAlphabet[(v >> 6) & 63];
        if (i + 2 < n) out[o++] = kAlphabet[v & 63];
    }
    return o;
}

// Decodes a body of len characters into out (room for `room` bytes);
// returns the byte count or -1.
long DecodeBody(const char* body, size_t len, unsigned char* out, size_t room) {
    if (len % 4 == 1) return -1;
    size_t bytes = len / 4 * 3 + (len % 4 ? len % 4 - 1 : 0);
    if (bytes > room) return -1;
    size_t o = 0;
    for (size_t i = 0; i < len; i += 4) {
        unsigned v = 0;
        size_t group = len - i < 4 ? len - i : 4;
        for (size_t k = 0; k < 4; ++k) {
            int d = k < group ? AlphabetIndex((unsigned char)body[i + k]) : 0;
            if (d < 0) return -1;
            v = (v << 6) | (unsigned)d;
        }
        // Only the canonical form is accepted: the bits below a short last
        // group's final byte must be 0, so that every changed character
        // changes the decoded bytes.
        if ((group == 2 && (v & 0xFFFF)) || (group == 3 && (v & 0xFF))) return -1;
        out[o++] = (unsigned char)(v >> 16);
        if (group > 2) out[o++] = (unsigned char)(v >> 8);
        if (group > 3) out[o++] = (unsigned char)v;
    }
    return (long)o;
}

// Key stream of EncyptStr: a linear congruential generator seeded from the
// chain value before the encoding and the number.
struct KeyStream {
    unsigned long state;
    KeyStream(unsigned short chain, long number)
        : state((((unsigned long)chain << 16) ^ ((unsigned long)number * 2654435761UL) ^
                 0x5A17C3E9UL) &
                0xFFFFFFFFUL) {}
    unsigned char Next() {
        state = (state * 1103515245UL + 12345UL) & 0xFFFFFFFFUL;
        return (unsigned char)(state >> 16);
    }
};

unsigned short ChainAfter(unsigned short chain, const unsigned char* plain, size_t n,
                          bool withNumber, long number) {
    unsigned short c = Crc16(chain, plain, n);
    if (withNumber) {
        unsigned char nb[4] = {(unsigned char)number, (unsigned char)(number >> 8),
                               (unsigned char)(number >> 16), (unsigned char)(number >> 24)};
        c = Crc16(c, nb, 4);
    }
    return c;
}

unsigned short NumberSeed(long number) { return (unsigned short)(0xFFFF ^ (number & 0xFFFF)); }

}  // namespace

unsigned short Crc16(unsigned short crc, const void* data, size_t n) {
    const unsigned char* p = (const unsigned char*)data;
    for (size_t i = 0; i < n; ++i) {
        crc ^= (unsigned short)(p[i] << 8);
        for (int b = 0; b < 8; ++b)
            crc = (unsigned short)((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return crc;
}

const char* base64_encode(const char* text, short* chain) {
    static char out[kCodecMaxEncoded];
    if (!text) text = "";
    size_t n = PlainLength(text);
    unsigned short before = chain ? (unsigned short)*chain : 0;
    unsigned short after = ChainAfter(before, (const unsigned char*)text, n, false, 0);
    size_t o = EncodeBody((const unsigned char*)text, n, out);
    WriteHex4(out + o, after);
    o += 4;
    out[o] = kAlphabet[Crc16(0xFFFF, out, o) & 63];
    out[o + 1] = '\0';
    if (chain) *chain = (short)after;
    return out;
}

int base64_decode(const char* encoded, char* out, size_t size, short* chain) {
    if (!out || size == 0) return -1;
    out[0] = '\0';
    if (!encoded) return -1;
    size_t len = strlen(encoded);
    if (len < 5 || len > kCodecMaxEncoded) return -1;
    if (encoded[len - 1] != kAlphabet[Crc16(0xFFFF, encoded, len - 1) & 63]) return -1;
    long embedded = ReadHex4(encoded + len - 5);
    if (embedded < 0) return -1;
    long n = DecodeBody(encoded, len - 5, (unsigned char*)out, size - 1);
    if (n < 0) {
        out[0] = '\0';
        return -1;
    }
    out[n] = '\0';
    if (chain) {
        unsigned short after =
            ChainAfter((unsigned short)*chain, (const unsigned char*)out, (size_t)n, false, 0);
        if (after != (unsigned short)embedded) {
            out[0] = '\0';
            return -1;
        }
        *chain = (short)after;
    }
    return (int)n;
}

const char* EncyptStr(const char* text, long number, short* chain) {
    static char out[kCodecMaxEncoded];
    unsigned char cipher[kCodecMaxPlain];
    if (!text) text = "";
    size_t n = PlainLength(text);
    unsigned short before = chain ? (unsigned short)*chain : 0;
    KeyStream keys(before, number);
    for (size_t i = 0; i < n; ++i) cipher[i] = (unsigned char)text[i] ^ keys.Next();
    unsigned short after = ChainAfter(before, (const unsigned char*)text, n, true, number);
    size_t o = EncodeBody(cipher, n, out);
    WriteHex4(out + o, after);
    o += 4;
    WriteHex4(out + o, Crc16(NumberSeed(number), out, o));
    out[o + 4] = '\0';
    if (chain) *chain = (short)after;
    return out;
}

int UnEncyptStr(char* text, long number, short* chain) {
    if (!text) return 0;
    size_t len = 0;
    while (len <= kCodecMaxEncoded && text[len]) ++len;
    unsigned char plain[kCodecMaxPlain + 1];
    long n = -1;
    long embedded = -1;
    unsigned short before = chain ? (unsigned short)*chain : 0;
    if (len >= 8 && len <= kCodecMaxEncoded &&
        ReadHex4(text + len - 4) == Crc16(NumberSeed(number), text, len - 4)) {
        embedded = ReadHex4(text + len - 8);
        if (embedded >= 0) n = DecodeBody(text, len - 8, plain, kCodecMaxPlain);
    }
    if (n < 0) {
        text[0] = '\0';
        return 0;
    }
    KeyStream keys(before, number);
    for (long i = 0; i < n; ++i) plain[i] ^= keys.Next();
    unsigned short after = ChainAfter(before, plain, (size_t)n, true, number);
    if (after != (unsigned short)embedded) {
        text[0] = '\0';
        return 0;
    }
    memcpy(text, plain, (size_t)n);
    text[n] = '\0';
    if (chain) *chain = (short)after;
    return 1;
}
