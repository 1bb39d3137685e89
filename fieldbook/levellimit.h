// Tolerance limits and observation rules of one leveling grade, their
// one-line record (inside the project block and in "level.set"), the view
// and the menu of the limit sets kept in "level.set".
//
// Lengths are in the unit given per member: metres (m) or millimetres (mm).
// Texts are GBK. A text "begins with" a character when its first two bytes
// are that character's code.
#pragma once

#include "utils.h"

class LevelProject;

class LevelLimit {
  public:
    // All members zero: texts empty, numbers 0.
    LevelLimit();

    // Fills the limits of `level`: every grade but LevelProjectLimits (7)
    // gets the national second-order values, for manual entry when
    // readTypeCode is the code of "输" and for a digital level otherwise (the
    // empty reading type included; "拓" reads once per sight, others twice).
    // Grade 7 keeps every value. Then InitFlag. `division` does not change
    // the values. Returns 1.
    int SetLevel(enumLevel level, double division, short readTypeCode);
    // Recomputes isCheckTime, isBackReverse, isDirectDistance and
    // conditionFlags from their texts.
    void InitFlag();
    // Reads one limit record (up to its ">") and takes each member from the
    // attribute whose name begins with its read name; a missing attribute
    // takes its default, a number that does not start the value reads 0.
    // Returns 0, leaving the object unchanged, when nothing could be read or
    // what was read is not a "<限差" record (the record is then consumed).
    int LoadFromFile(int* file);
    // Writes the record; `key` (may be null) is the chain of its protection
    // value. Returns 1 when written, 0 when the file is null or the write
    // failed.
    int SaveToFile(int* file, short* key);
    // There is no form for the limits: InitFlag. Returns 1.
    int Config(LevelProject& project);
    // Shows ViewText in a paged message box titled "限差设置信息".
    void View();
    // The record's attributes one per line, name=value, from 名称 to 视距读取
    // (the protection value left out). Returns buf, or null when it does not
    // fit in size bytes.
    char* ViewText(char* buf, int size) const;

    // Formats the record with `protection` as its protection value into buf
    // (size bytes). Returns the length, or -1 when it does not fit.
    int FormatRecord(char* buf, int size, const char* protection) const;

    char checkTime[10];        // "是"/"否": enforce the observation windows
    char backReverse[10];      // "是"/"否": reverse the reading order on the back run
    char distanceMode[10];     // "上下丝" or a text beginning with "直"
    char name[30];             // name of the grade or limit set
    double minSightHeight;     // mm
    double maxSightHeight;     // mm
    double maxSightLength;     // m
    double minSightLength;     // m, digital levels only
    double riverSightLength;   // m
    double riverLimit;         // mm
    double sightDiff;          // m, back/fore distance difference at a station
    double sightDiffSum;       // m, accumulated over a section
    double threeWireDiff;      // mm
    double readingDiff;        // mm, base against auxiliary reading
    double heightDiffDiff;     // mm, the two height differences of a station
    double interimLimit;       // mm
    double max2C;              // 0 for digital levels
    double digitalReadCount;   // whole number
    double turnPointDiff;      // mm
    char conditionFlags[10];   // nine '0'/'1', one per observation condition
    char conditionRecord[10];  // "全部记录" records every condition
    char readOrder[12];        // reading order pattern ("aBFFB", ...)
    int isCheckTime;
    int isBackReverse;
    int isDirectDistance;
};

// Menu "选择限差" of the limit sets in "level.set". Returns the chosen set's
// name (valid until the next call), "" after Esc, and null when the
// file is missing, holds no record or cannot be opened (the last case says
// "读取限差配置文件出错！").
const char* GetLvlMenu();

// The 16-bit code of a text's first GBK character: first byte in the low
// half, second byte in the high half; 0 for an empty or null text.
short GbkCharCode(const char* text);

// Copies src (null counts as "") into dest of `size` bytes, cut at a whole
// GBK character, and terminates it. Returns dest.
char* CopyText(char* dest, const char* src, int size);

// Non-zero when `text` begins with the first character of `ch` (its first
// two bytes for a GBK character, its first byte otherwise).
int BeginsWith(const char* text, const char* ch);
