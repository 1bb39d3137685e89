// The C library's <string.h> for terminal code.
//
// On the terminal qzlib.h declares the OS's memory-fill service under the
// name memset, which collides with the C library's declaration of it. This
// header includes <string.h> with the library's memset hidden, so terminal
// sources can use strlen, memcpy, strncmp and the rest next to qzlib.h, in
// either include order. On a host qzlib names its wrapper qz_memset and
// nothing needs hiding.
#pragma once

#if defined(__arm__)
#define memset qz_libc_memset_hidden
#include <string.h>
#undef memset
#else
#include <string.h>
#endif
