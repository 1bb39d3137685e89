// Formatted file and string I/O of the terminal, built on qzlib's file
// services (_Fopen, _Fread, _Fwrite, _Lseek, _Fclose, _Feof) and never on the
// host's stdio.
//
// File handle: the `int*` that qz_fopen and OpenFile return carries the small
// number that _Fopen gave (a valid handle is >= 1). The same handle serves the
// qzlib file services (through the int* overloads below), qz_fprintf,
// qz_fscanf and the character streams fgetc, fputc and feof. Null means "no
// file": every routine here accepts it and fails cleanly.
//
// The character streams are unbuffered (one service call per byte), so they
// can be mixed freely with _Fread, _Fwrite and qz_fprintf on the same handle.
#pragma once

#include <stdarg.h>
#include <stdint.h>

#include "qzlib.h"

// ---- handles ----

// The handle number carried by a file pointer, and back.
inline int qz_fileno(int* file) { return (int)(intptr_t)file; }
inline int* qz_file(int handle) { return handle > 0 ? (int*)(intptr_t)handle : nullptr; }

// Opens `name`. Only the first character of `mode` counts, upper-cased:
//   'R'  reads an existing file;
//   'W'  reads and writes; the file is created, and an existing one is first
//        removed so that the new content does not end in stale old bytes;
//   'A'  reads and writes at the end: the file is opened with "W" keeping its
//        content, and positioned at its end.
// Any other mode character is passed to _Fopen as it is.
// Returns null when the file cannot be opened (or name/mode is null).
int* qz_fopen(const char* name, const char* mode);

// Closes the file; 0 when closed, -1 for a null or unknown handle.
int qz_fclose(int* file);

// Formats like vsprintf and writes the text with _Fwrite. A text of up to 999
// bytes is formatted in a 1000-byte buffer on the stack; a longer one is
// written whole through a buffer from _malloc. Returns 1 when every byte was
// written, 0 otherwise (null file, no memory, short write).
int qz_fprintf(int* file, const char* format, ...) __attribute__((format(printf, 2, 3)));
int qz_vfprintf(int* file, const char* format, va_list args);

// ---- scanning ----

// Byte getter: reads up to n bytes from the source named by `handle` into
// buf and returns how many it read (fewer than asked at the end of input).
// The handle is wide enough to carry an address.
typedef int (*qz_getter)(intptr_t handle, void* buf, unsigned n);

// File getter: _Fread(buf, n, handle).
int qz_fscanfgetb(intptr_t handle, void* buf, unsigned n);
// String getter: `handle` is the address of a `const char*` cursor; copies
// bytes until n are copied or the terminator is reached, advancing the cursor.
int _sgetb(intptr_t handle, void* buf, unsigned n);

// The scanner core. Walks `format`, pulling characters through `get`, and
// stores converted fields through the pointers in `args`:
//   whitespace in the format skips any run of input whitespace;
//   other characters and "%%" must match the next input character (a
//     mismatch ends the scan; the character is consumed);
//   %[*][l|h|hh][width]conv with conv one of
//     d u (and any other letter not below): decimal integer
//     i: integer, base from its prefix ("0x" 16, "0" 8, else 10)
//     o: octal   x X: hexadecimal ("0x" accepted)
//     f: decimal number, stored as double with 'l', as float without
//     s: run of non-whitespace (width 0: 65535); a terminator is added
//     [set] / [^set]: run of characters from the set, no whitespace skipped
//     c: exactly width characters (default 1), not terminated
//   '*' suppresses the store; integers are stored as long with 'l', short
//   with 'h', signed char with "hh", int otherwise. Integer and number
//   widths above 15 (and 0) mean 15.
// Returns the number of fields stored, or -1 when the input ended before the
// first conversion completed (or the format ended inside a directive).
// The character that ended the last field is never given back: with
// qz_fscanf the file position is after it.
int _getf(qz_getter get, intptr_t handle, const char* format, va_list args);

// The same core with the destinations in an array: a directive that needs a
// destination beyond `count` ends the scan with the fields stored so far.
// For callers whose formats are not fixed at compile time.
int _getf_vector(qz_getter get, intptr_t handle, const char* format, void* const* dest, int count);

int qz_fscanf(int* file, const char* format, ...);
int qz_sscanf(const char* text, const char* format, ...);
int qz_vsscanf(const char* text, const char* format, va_list args);

// ---- character streams on the terminal's files ----

// Next byte (0..255), or -1 at the end of the file or for a null file.
int fgetc(int* file);
// Writes the byte; returns it (0..255), or -1 when it could not be written.
int fputc(int c, int* file);
// Non-zero when the position is at (or past) the end of the file, or the
// file is null. Unlike the host's stdio this is known before a read fails,
// so `while (!feof(f)) fputc(fgetc(f), g);` copies a file exactly.
int feof(int* file);

// qzlib's file services taking the file pointer directly.
inline uint32 _Fread(void* ptr, uint32 size, int* file) {
    return _Fread(ptr, size, qz_fileno(file));
}
inline int32 _Fwrite(void* ptr, uint32 size, int* file) {
    return _Fwrite(ptr, size, qz_fileno(file));
}
inline uint32 _Lseek(int* file, uint32 offset, uint8 fromwhere) {
    return _Lseek(qz_fileno(file), offset, fromwhere);
}
inline int8 _Fclose(int* file) { return (int8)qz_fclose(file); }
inline uint8 _Feof(int* file) { return (uint8)feof(file); }

// ---- characters ----

// Upper-cases ASCII letters in place; other bytes, GBK bytes included, stay.
// Returns s (null stays null).
extern "C" char* strupr(char* s);
// 1 for '0'..'9', else 0.
inline int isdigit(char c) { return c >= '0' && c <= '9'; }
// 1 for space, tab, line feed, vertical tab, form feed and carriage return.
inline int isspace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
