// Fuzzes the tagged-line reader: any line, then look-ups of attribute names
// taken from the line itself, into a small destination.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "htxml.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string line(reinterpret_cast<const char*>(data), size);
    static htXml x;
    int n = x.ParseLine(line.c_str());
    if (n < 0 || n > htXml::kMaxAttrs) abort();
    (void)strlen(x.TagName());
    char small[5];
    // Prefixes of the line's words as names.
    for (size_t at = 0; at < line.size() && at < 64; at += 7) {
        std::string name = line.substr(at, 3);
        const char* v = x.GetValue(name.c_str(), nullptr);
        if (v) (void)strlen(v);
        x.GetStringValue(small, name.c_str(), "default");
        if (strlen(small) >= sizeof small) abort();
    }
    return 0;
}
