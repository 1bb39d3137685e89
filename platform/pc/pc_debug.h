// Debugger output of the PC platform layer (the Win32 debug-string call).
//
// Texts are GBK byte strings. Output is off by default. The environment
// variable QZ_DEBUG switches it on: "1" or "stderr" writes to standard error,
// any other non-empty value other than "0" names a log file that is appended
// to. On this platform the GBK text is converted to UTF-8 for a person.
#pragma once

#include <functional>
#include <string>

namespace pc {

// Writes one GBK text to the debugger output (never null-checked: pass "").
void DebugOutput(const char* gbk);

// A test can watch the debugger output: every text, still in GBK, goes to
// `sink` as well (nullptr removes it). The sink may be called from any thread.
void SetDebugSink(std::function<void(const std::string& gbk)> sink);

// GBK to UTF-8; bytes that do not convert are replaced by '?'.
std::string GbkToUtf8(const std::string& gbk);

}  // namespace pc
