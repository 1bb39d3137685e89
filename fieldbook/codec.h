// Encoders of the record files and settings records, and their decoders.
//
// Every encoded text carries a 16-bit chain value: the encoder continues the
// caller's chain (a CRC-16 over the plain text) and writes the new value into
// the text as four upper-case hexadecimal digits at a fixed distance from its
// end, so that a reader finds it by position:
//
//   base64_encode:  <base64 body><HHHH><c>      HHHH 5 bytes before the end
//   EncyptStr:      <base64 body><HHHH><CCCC>   HHHH 8 bytes before the end
//
// <c> is one check character of the body and HHHH; CCCC is a CRC-16 of the
// body and HHHH (seeded with the station number). The bodies use the base64
// alphabet (A-Z a-z 0-9 + /) without padding, so encoded texts hold no blank,
// no '"' and no line end. A decoder given the chain value from before the
// encoding restores the text and moves the chain on; a text whose check
// characters, length, alphabet or chain do not agree is refused.
//
// A null chain means a private chain starting at 0 (nothing is written back).
// Plain texts longer than kCodecMaxPlain bytes are encoded up to the last
// whole GBK character within that length.
#pragma once

#include <stddef.h>

enum { kCodecMaxPlain = 3000, kCodecMaxEncoded = 4096 };

// CRC-16, CCITT polynomial 0x1021, continuing from `crc`.
unsigned short Crc16(unsigned short crc, const void* data, size_t n);

// Check text of `text`; valid until the next call. Moves *chain on.
const char* base64_encode(const char* text, short* chain);

// Restores the text of a base64_encode result into out (size bytes, plain
// text terminated). With a chain the embedded chain value must follow from
// *chain and the text, and *chain moves on. Returns the length, or -1 (out
// then holds "") when the text is corrupt or does not fit.
int base64_decode(const char* encoded, char* out, size_t size, short* chain);

// Encrypted one-word form of `text` under `number` and the chain; valid until
// the next call. Moves *chain on.
const char* EncyptStr(const char* text, long number, short* chain);

// Restores in place the text that EncyptStr made from the same number and
// chain value; moves *chain on. Returns 1, or 0 (text then "") when the text
// is corrupt or was made with another number or chain.
int UnEncyptStr(char* text, long number, short* chain);
