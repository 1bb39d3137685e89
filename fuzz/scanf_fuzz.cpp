// Fuzzes the scanner core with a fuzzed format and a fuzzed input: the data
// are the format, a NUL, then the input. Every destination is as large as
// the widest field a directive can store (65535 bytes and a terminator), so
// any write beyond a width shows up as a buffer overflow.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "qzio.h"

namespace {

const int kDest = 8;
const size_t kField = 65536;

struct alignas(16) Field {
    char bytes[kField];
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Field* fields = static_cast<Field*>(aligned_alloc(16, sizeof(Field) * kDest));
    const uint8_t* nul = static_cast<const uint8_t*>(memchr(data, 0, size));
    size_t formatLen = nul ? (size_t)(nul - data) : size;
    std::string format(reinterpret_cast<const char*>(data), formatLen);
    std::string input;
    if (nul) input.assign(reinterpret_cast<const char*>(nul + 1), size - formatLen - 1);
    void* dest[kDest];
    for (int i = 0; i < kDest; ++i) dest[i] = fields[i].bytes;
    // The string getter stops at the first NUL of the input, as on the terminal.
    const char* cursor = input.c_str();
    int r = _getf_vector(_sgetb, (intptr_t)&cursor, format.c_str(), dest, kDest);
    if (r < -1 || r > kDest) abort();
    // Never read past the input's terminator.
    if (cursor < input.c_str() || cursor > input.c_str() + strlen(input.c_str())) abort();
    return 0;
}
