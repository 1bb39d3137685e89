// qzlib's own routines: the formatter and number conversions, table search
// and text trimming, the free I/O pins, and the NOR flash with the machine
// information block.
//
// None of these is an OS service: they run in the application and reach the
// OS through the service wrappers of qzlib.h, the microcontroller through the
// register seam of svcseam.h.
#pragma once

#include <stdarg.h>

#include "qzlib.h"

// ---- formatter and conversions ----

// Flags of one conversion.
enum {
    QZ_ZEROPAD = 1,   // pad with zeros
    QZ_SIGN = 2,      // signed conversion
    QZ_PLUS = 4,      // always show '+'
    QZ_SPACE = 8,     // space before a positive number
    QZ_LEFT = 16,     // left-justify
    QZ_SPECIAL = 32,  // "0" before octal, "0x"/"0X" before hexadecimal
    QZ_LARGE = 64,    // upper-case digits
};

// Widths and precisions are capped at this many characters: no field is
// wider than a screen line buffer, whatever the format asks.
enum { QZ_FIELD_MAX = 255 };

// Longest text _DoubleToStr writes, terminator included: a sign, 18 integer
// digits, the point and 9 decimals.
enum { QZ_DOUBLE_TEXT = 32 };

// Formats `fmt` with the arguments in `args`.
// color 255: writes the text into buf2 (which must be large enough; see
// _snprintfEx for a bounded form) and returns its length.
// Any other colour: prints on the screen at the text cursor in that colour,
// line by line ("\n" or '\r' end a line; the line step is `frontsize`), moves
// the cursor behind the text and returns the length of the last line; buf2 is
// ignored and may be null. A screen line keeps at most 255 characters; the
// rest of a longer line is dropped.
// Conversions: d i u o x X p c C s S f F z Z n %, with the flags "-+ #0", a
// width and a precision (digits or '*'), and the qualifiers h, l, q (q takes a
// 64-bit argument of which the low 32 bits are converted). %z prints field
// (argument & 0xFF) of the current table record; with a precision the field is
// read as a number and printed with that many decimals.
int _vsprintf1(char* buf2, uint8 color, const char* fmt, va_list args);

// _vsprintf1 into printbuffer1.
int _sprintfEx(char* printbuffer1, const char* fmt, ...);

// Bounded form: writes at most size - 1 characters and a terminator (nothing
// when size is 0); returns the number of characters written.
int _snprintfEx(char* buf, size_t size, const char* fmt, ...);

// Moves the text cursor to pixel (x, y + 14) and prints with _vsprintf1 in
// `color`, which must not be 255.
int _sprintfxy(int x, int y, int color, const char* fmt, ...);

// Writes num in `base` (2 to 36) into str with the field size, precision and
// flags (QZ_*) of a conversion; size and precision are capped at
// QZ_FIELD_MAX. Returns the end of the written text (not terminated), or null
// for a base outside 2 to 36.
char* number(char* str, int num, int base, int size, int precision, int type);

// The decimal number at *s; advances *s past its digits. Saturates instead of
// overflowing.
int skip_atoi(const char** s);

// Length of s, at most count. On a host the C library owns the name strnlen.
#if defined(__arm__)
#define QZ_STRNLEN strnlen
extern "C" size_t strnlen(const char* s, size_t count);
#else
#define QZ_STRNLEN qz_strnlen
size_t qz_strnlen(const char* s, size_t count);
#endif

// Writes s1 with `dot` decimals into dest (at least QZ_DOUBLE_TEXT bytes) and
// returns dest. Digits are truncated, not rounded, after a bias of 9e-08, so
// that 1.005 with 2 decimals gives "1.00". dot is capped at 9. A value whose
// integer part needs more than 18 digits, or an infinity, gives "inf" or
// "-inf"; not-a-number gives "nan".
char* _DoubleToStr(char* dest, double s1, int dot);

// Reads an optional sign, digits, an optional point and more digits; the
// first other character ends the number. No spaces are skipped and no
// exponent is read. A null text gives 0.
double _atof(char* Sour);

// Unsigned division by shifts and subtractions: the remainder when modwanted
// is non-zero, else the quotient. Division by 0 gives quotient 0 and
// remainder num.
uint32 udivmodsi4(unsigned num, uint32 den, int modwanted);
uint32 mod(uint32 a, uint32 b);
uint32 _div(uint32 a, uint32 b);

// ---- table search and trimming ----

// Searches the current table from record RecStart to EndRec (backward when
// RecStart > EndRec) for a record whose field FieldName matches Contect:
//   condition '=' with fn 0 equal, 1 contains, 2 begins with, 3 ends with;
//   condition '#' differs (any fn).
// Returns 1 with the table on the first match; 0 with the table back on the
// record that was current at the call. RecStart outside 1..record count gives
// 0 at once; EndRec is clipped to the table. A null Contect never matches.
int _Locate(uint8 FieldName, char condition, char* Contect, int32 RecStart, int32 EndRec, int fn);

// Writes spaces from the end of str up to position len - 1 (no terminator).
void rightspace(char* str, uint16 len);
// Remove leading / trailing spaces in place and return dest. _rtrim never
// removes the first character (a text of spaces keeps one); _trim does both
// (a text of spaces becomes empty).
char* _ltrim(char* dest);
char* _rtrim(char* dest);
char* _trim(char* dest);
// Right-aligns str in a field of len characters, filling the front with zf;
// a longer text loses its first characters. Nothing is written at position
// len when the text fits.
void _leftspace(char* str, uint16 len, char zf);

// ---- free I/O pins ----

// Drives a mapped output pin high (val != 0) or low; 1 for a mapped pin, 0
// (nothing written) for any other number.
int _SetIo(int pin, int val);
// The level (0 or 1) of a mapped pin; -1 for a pin without a port; 0 for any
// other number.
int _GetIo(int pin);
// Makes a mapped pin a general-purpose input (dir 0) or output (dir 1) and
// returns 1. Pins without a port give 0 (1-20 range) or -1 (101-120 and
// 201-210 ranges); any other number is returned unchanged.
int _SetIoDir(int pin, int dir);
