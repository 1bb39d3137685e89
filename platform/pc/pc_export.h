// How the library's exports are declared on this platform: unmangled names,
// visible from the shared library, with the standard calling convention of
// the Win32 exports where there is one.
#pragma once

#if defined(_WIN32)
#define QZ_EXPORT __declspec(dllexport)
#define QZ_STDCALL __stdcall
#else
#define QZ_EXPORT __attribute__((visibility("default")))
#define QZ_STDCALL
#endif
