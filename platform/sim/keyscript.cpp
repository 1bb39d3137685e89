#include "keyscript.h"

#include <stdlib.h>
#include <strings.h>

#include "qzkeys.h"

namespace keyscript {

namespace {

struct Name {
    const char* name;
    uint32_t raw;
};

const Name kNames[] = {
    {"Enter", KEY_RAW_ENTER}, {"Esc", KEY_RAW_CANCEL}, {"Up", KEY_RAW_UP},
    {"Down", KEY_RAW_DOWN},   {"Left", KEY_RAW_LEFT},  {"Right", KEY_RAW_RIGHT},
    {"PgUp", KEY_RAW_PGUP},   {"PgDn", KEY_RAW_PGDN},  {"Back", KEY_RAW_BACK},
    {"Del", KEY_RAW_DEL},     {"Fn", KEY_RAW_FUNC},    {"Tab", KEY_RAW_TAB},
    {"Space", KEY_RAW_SPACE},
};

bool IsKeypadChar(char c) { return (c >= '0' && c <= '9') || c == '.' || c == '-'; }

}  // namespace

uint32_t Named(const std::string& name) {
    for (const Name& n : kNames)
        if (strcasecmp(n.name, name.c_str()) == 0) return n.raw;
    return 0;
}

bool Parse(const std::string& text, std::vector<uint32_t>* keys, std::string* error) {
    int line = 1;
    size_t i = 0;
    auto fail = [&](const std::string& why) {
        *error = "line " + std::to_string(line) + ": " + why;
        return false;
    };
    while (i < text.size()) {
        char c = text[i];
        if (c == '\n') {
            ++line;
            ++i;
        } else if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (c == '#') {
            while (i < text.size() && text[i] != '\n') ++i;
        } else if (c == '"') {
            ++i;
            bool closed = false;
            while (i < text.size() && text[i] != '\n') {
                char t = text[i++];
                if (t == '"') {
                    closed = true;
                    break;
                }
                if (t == '\\' && i < text.size() && text[i] != '\n') t = text[i++];
                if ((unsigned char)t < 0x20 || (unsigned char)t > 0x7E)
                    return fail("only printable ASCII can be typed");
                keys->push_back(KEY_RAW_CHAR | (unsigned char)t);
            }
            if (!closed) return fail("text without its closing quote");
        } else {
            size_t start = i;
            while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\n' &&
                   text[i] != '\r' && text[i] != '#')
                ++i;
            std::string token = text.substr(start, i - start);
            if (uint32_t raw = Named(token)) {
                keys->push_back(raw);
            } else if (strncasecmp(token.c_str(), "raw:", 4) == 0) {
                char* end;
                unsigned long v = strtoul(token.c_str() + 4, &end, 0);
                if (token.size() == 4 || *end || v == 0 || v > 0xFFFF)
                    return fail("bad raw key code '" + token + "'");
                keys->push_back((uint32_t)v);
            } else {
                for (char k : token)
                    if (!IsKeypadChar(k)) return fail("unknown key '" + token + "'");
                for (char k : token) keys->push_back((unsigned char)k);
            }
        }
    }
    return true;
}

}  // namespace keyscript
