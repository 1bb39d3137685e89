// Reader of one tagged text line.
#include "htxml.h"

#include <string.h>

namespace {

inline bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

htXml::htXml() : tag(0), count(0) { buf[0] = '\0'; }

int htXml::ParseLine(const char* line) {
    count = 0;
    tag = 0;
    buf[0] = '\0';
    if (!line) return 0;
    size_t len = 0;
    while (len < kLine - 2 && line[len]) ++len;  // buf also holds a leading empty text
    // buf[0] stays the empty text that TagName and missing parts point at.
    memcpy(buf + 1, line, len);
    buf[len + 1] = '\0';
    char* p = buf + 1;
    while (Blank(*p)) ++p;
    if (*p != '<') return 0;
    ++p;
    tag = (short)(p - buf);
    while (*p && !Blank(*p) && *p != '>' && *p != '/') ++p;
    bool end = *p == '\0' || *p == '>';
    if (*p) *p++ = '\0';
    while (!end && count < kMaxAttrs) {
        while (Blank(*p)) ++p;
        if (*p == '\0' || *p == '>' || *p == '/') break;
        char* name = p;
        while (*p && !Blank(*p) && *p != '=' && *p != '>' && *p != '"') ++p;
        char* nameEnd = p;
        while (Blank(*p)) ++p;
        if (*p != '=') {
            // A name with no value: skipped. A stray quote is stepped over.
            if (*p == '"') ++p;
            continue;
        }
        ++p;
        while (Blank(*p)) ++p;
        if (*p != '"') continue;  // no quoted value: the name is skipped
        char* value = ++p;
        while (*p && *p != '"') ++p;
        bool closed = *p == '"';
        *nameEnd = '\0';
        if (closed) *p++ = '\0';
        names[count] = (short)(name - buf);
        values[count] = (short)(value - buf);
        ++count;
        if (!closed) break;
    }
    return count;
}

const char* htXml::GetValue(const char* name, const char* def) const {
    if (!name) return def;
    size_t n = strlen(name);
    for (int i = 0; i < count; ++i)
        if (strncmp(buf + names[i], name, n) == 0) return buf + values[i];
    return def;
}

char* htXml::GetStringValue(char* dest, const char* name, const char* def, size_t size) const {
    if (!dest || size == 0) return dest;
    const char* v = GetValue(name, def);
    if (!v) v = "";
    size_t n = 0;
    const unsigned char* s = (const unsigned char*)v;
    while (s[n]) {
        size_t step = (s[n] >= 0x81 && s[n + 1]) ? 2 : 1;
        if (n + step > size - 1) break;
        n += step;
    }
    memmove(dest, v, n);
    dest[n] = '\0';
    return dest;
}
