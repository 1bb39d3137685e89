// Date and time texts of the terminal: the device clock read into a `tm`
// record and a small strftime that knows only the directives the field book
// uses.
//
// The clock services deliver the `tm` convention: years since 1900 and months
// 0..11; SetTime hands the same convention back.
#pragma once

#include <time.h>

// The one shared time record; GetTime fills its first six fields.
extern struct tm TheTime;
// Shared 40-byte text buffer, the usual destination of sz_getformattime.
extern char strTime[40];

// Points *out at TheTime and fills year, month, day, hour, minute and second
// from the clock services, as they are returned. Returns 1.
int GetTime(struct tm** out);
// Sets the clock's time ("H:M:S") and then its date ("Y-M-D", tm
// convention) from t. Returns 1.
int SetTime(const struct tm* t);

// Formats t into buf, which holds `size` bytes:
//   %Y year + 1900 (4 digits)   %y year mod 100 (2)   %m month + 1 (2)
//   %d day (2)   %H hour (2)   %M minute (2)   %S second (2)   %% "%"
// any other "%c" is copied as its two characters, and a '%' ending the format
// alone; other bytes (GBK texts included) are copied. Negative fields count
// as 0.
// Returns the length written, or 0 when the text did not fit in size - 1
// characters: buf then holds its first size - 1 characters, terminated.
// With size 0 nothing is written and 0 is returned.
// (Named apart from the C library's strftime, which has the same parameters
// and a different directive set.)
unsigned qz_strftime(char* buf, unsigned size, const char* format, const struct tm* t);

// Fixed-width digits: "%1" to "%4" write the next int argument as exactly
// that many digits, zero-padded, higher digits dropped (12345 with "%2" gives
// "45"); "%0" copies the next argument as a string; other bytes are copied.
// dst must hold the result. Returns 0.
int strfmt(char* dst, const char* format, ...);

// Reads the clock and formats it into buf (at most 19 characters, so buf
// holds at least 20 bytes); a longer text is cut to its first 19. Returns buf.
char* sz_getformattime(const char* format, char* buf);
