// Small utility routines of the field book: files and lines, text
// formatting, rounding, input checks and the grade and line-type texts.
//
// Files are the `int*` handles of qzio.h. Texts are GBK.
#pragma once

#include "codec.h"
#include "qzio.h"
#include "qzlib.h"

// Shared scratch buffer; holds any line of a record file.
enum { kSystemBufSize = 2048 };
extern char SystemBuf[kSystemBufSize];

// ---- files ----

// Opens `path` in a C-style mode: "r"/"rb" reads an existing file; "r+"
// reads and writes an existing file from its start; "w"/"w+"/"wb+" creates
// the file empty (an existing one is replaced); "a"/"a+" reads and writes at
// the end, creating the file when missing. `extra` is ignored (null or "").
// Returns null when the file cannot be opened.
int* OpenFile(const char* path, const char* mode, const char* extra);

// Non-zero when something exists at path.
int FileExists(const char* path);

// Reads the next line, up to `endChar` (consumed, not kept), into buf, which
// holds `max` bytes: at most max - 1 bytes are kept and terminated. The rest
// of a longer line is read and dropped, so the next call starts at the next
// line. With endChar '\n' a carriage return before it is dropped too.
// max 0 sets no limit (buf must then hold the longest line).
// Returns the length kept: 0 for an empty line, -1 when the file was already
// at its end (or file/buf is null).
int readline(char* buf, int* file, char endChar, int max);

// Reads lines (see readline, endChar '\n') until one begins with `key`.
// `fromStart` non-zero first goes back to the file's start; 0 searches from
// the current position. Returns 1 with that line in buf, else 0.
int SeekToLine(int* file, const char* key, int fromStart, char* buf, int max);

// ---- texts ----

// Formats into a shared 1024-byte buffer, valid until the next call; a longer
// text is cut to 1023 bytes.
char* FormatString(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Formats into buf, which must hold the text (like sprintf). Returns buf.
char* FormatStringToBuff(char* buf, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Non-zero when the GBK text contains `part`, compared character by
// character (never across a two-byte character).
int GbkContains(const char* text, const char* part);

// ---- numbers ----

// value rounded to `digits` decimals (0..15); a dropped part of exactly one
// half rounds to the even neighbour. The decision is made on the value's
// 15-significant-digit decimal form, so a typed 1.005 (held in binary as
// 1.00499999...) counts as a tie and gives 1.00, and 1.015 gives 1.02.
double JiouCut(double value, int digits);

// Test of a latitude or longitude box in the form DDD.MMSSs (degrees, then
// two digits of minutes, two of seconds, and any fraction of a second;
// missing digits count as 0: "32.3" is 32 degrees 30 minutes). Returns null
// when valid, else the message to show:
//   "请输入度.分秒格式的角度"  not a number of that form (empty, letters, ...)
//   "度数不能大于180"         more than 180 degrees
//   "分必须小于60"            minutes of 60 or more
//   "秒必须小于60"            seconds of 60 or more
const char* checkAngle(const char* text);

// ---- grades and line types ----

// Leveling grade. The field book's limits know the national second-order
// grade; LevelProjectLimits is a grade whose limits the project carries.
enum enumLevel {
    LevelNone = 0,  // no grade configured
    LevelFirst = 1,
    LevelSecond = 2,
    LevelThird = 3,
    LevelFourth = 4,
    LevelProjectLimits = 7,
};

// Grade of a grade text: texts containing "二等" (such as "国标二等") give 2;
// "一等" 1, "三等" 3, "四等" 4; texts containing "自定义" or "项目限差" give 7
// (the project's own limits); an empty text (a project never given a grade)
// gives 0; every other text gives 2.
enumLevel GetLevel(const char* text);

// Line type of an observation-mode text: 2 (two lines, left and right, as
// in "单程双转点") for texts containing "双转点", "左右路线" or "双路线";
// every other text, "往返测" included, gives 1 (one line).
uint8 GetLineType(const char* text);

// ---- checks of whole files ----

// CRC-16 (CCITT polynomial, start 0xFFFF) of the file's bytes: equal
// contents give equal values, a change of one byte always another. 0 when
// the file cannot be opened.
short CRCCheckFile(const char* path);

// Makes a protected copy of a finished text file (the i-angle result file):
// "name" with its extension replaced by ".jm" (added when there is none),
// holding each line of the file as EncyptStr(line, line number from 1, chain)
// with one chain starting at 0, one per line. Returns 1 when written, else 0.
int makejmfile(const char* name);
