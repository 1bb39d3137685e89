// Fuzzes the record-file decoders with corrupted texts, and checks that the
// encoders' output always decodes back: the first four bytes are a station
// number and a chain value, the rest is the text.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "codec.h"
#include "recordscan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    long number = data[0] | (data[1] << 8);
    short chain = (short)(data[2] | (data[3] << 8));
    std::string text(reinterpret_cast<const char*>(data + 4), size - 4);
    const char* t = text.c_str();  // up to the first NUL

    // Corrupted or hostile input: refused or decoded, never out of bounds.
    for (size_t room : {size_t(1), size_t(7), size_t(64), size_t(kCodecMaxPlain + 1)}) {
        std::vector<char> out(room);
        short c = chain;
        int n = base64_decode(t, out.data(), room, &c);
        if (n >= (int)room || (n >= 0 && strlen(out.data()) > (size_t)n)) abort();
    }
    {
        std::vector<char> copy(t, t + strlen(t) + 1);
        short c = chain;
        if (UnEncyptStr(copy.data(), number, &c) == 0 && copy[0] != '\0') abort();
    }
    short v = 0;
    RecordLineChain(t, &v);

    // What the encoders make always decodes back to the (bounded) text.
    short enc = chain, dec = chain;
    std::string e = base64_encode(t, &enc);
    std::vector<char> back(kCodecMaxPlain + 1);
    int n = base64_decode(e.c_str(), back.data(), back.size(), &dec);
    if (n < 0 || dec != enc || memcmp(back.data(), t, (size_t)n) != 0) abort();
    enc = dec = chain;
    std::string s = EncyptStr(t, number, &enc);
    if (s.find_first_of(" \"\r\n") != std::string::npos) abort();
    if (UnEncyptStr(&s[0], number, &dec) != 1 || dec != enc) abort();
    if (strncmp(s.c_str(), t, strlen(s.c_str())) != 0) abort();
    return 0;
}
