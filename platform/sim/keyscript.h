// Key scripts: a small text format that names the terminal's keys.
//
//   # a comment runs to the end of the line
//   Down Down Enter        named keys, any case: Enter Esc Up Down Left Right
//                          PgUp PgDn Back Del Fn Tab Space
//   123.5                  a bare number: those keypad keys one by one
//   "abc def"              quoted text: each character typed on a full
//                          keyboard (\" and \\ escape a quote and a backslash)
//   raw:0x45               a raw key code
//
// Tokens are separated by blanks or line ends.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace keyscript {

// Parses a script into raw key codes. On an error returns false and puts
// "line N: reason" in *error.
bool Parse(const std::string& text, std::vector<uint32_t>* keys, std::string* error);

// The raw code of a named key, or 0.
uint32_t Named(const std::string& name);

}  // namespace keyscript
