// The pair of leveling staffs and the level instrument of a project: their
// one-line records inside the project block, their views and their forms.
#pragma once

#include "httextbox.h"
#include "utils.h"

class LevelProject;

class LevelStaff {
  public:
    // All members zero.
    LevelStaff();

    // Reads the "<标尺" record (up to its ">"). Missing attributes: numbers
    // "", constants 0, division 1. Returns 0, leaving the object unchanged,
    // when nothing could be read or the record read is not a staff record.
    int LoadFromFile(int* file);
    // Writes the record; `key` (may be null) chains its protection value.
    // Returns 1 when written, 0 when the file is null or the write failed.
    int SaveToFile(int* file, short* key);
    // Paged message box "标尺信息".
    void View();
    // Form "输入标尺信息": the staff numbers, and for manual entry (the
    // project's instrument reads "输...") the staff constants. Sets division
    // first: 0.5 mm for manual entry, else 1.0 mm (kept when cancelled).
    // Returns 1 when accepted, 0 when cancelled.
    int Config(LevelProject& project);

    char staff1No[20];
    char staff2No[40];
    long staff1Const;
    long staff2Const;
    double division;  // mm, smallest division of the staff
};

class LevelInstrument {
  public:
    // All members zero.
    LevelInstrument();

    // Reads the "<仪器" record (up to its ">"). Missing attributes: texts "",
    // precision 0.01 mm, addConst 0. A precision that is not a positive
    // finite number (0 in a damaged or hand-made file) is corrected to that
    // default, so that precisionInv is always finite. Sets precisionInv,
    // readTypeCode and isCheck2C. Returns 0, leaving the object unchanged,
    // when nothing could be read or the record read is not an instrument
    // record.
    int LoadFromFile(int* file);
    // Writes the record; `key` (may be null) chains its protection value.
    // Returns 1 when written, 0 when the file is null or the write failed.
    int SaveToFile(int* file, short* key);
    // Paged message box "仪器信息".
    void View();
    // Sets readType "输入读数" (and its code) and precision 0.1 mm, which stay
    // even when cancelled, then runs the form "输入仪器信息" (type, number,
    // 2C check, additive constant). Returns 1 when accepted, 0 when
    // cancelled.
    int Config();

    char readType[20];  // "输入读数" = readings keyed in by hand
    char check2C[10];   // "检查" or "不检查"
    char type[12];      // "Ni002A", "Ni007", "Ni002" or any text
    char number[14];
    int isCheck2C;     // check2C begins with "检"
    double addConst;   // m, sight-distance additive constant
    double precision;  // mm, reading precision
    double precisionInv;
    short readTypeCode;  // GbkCharCode(readType)
};

// Menu "选择标尺常数" of the staff constants; the chosen text, "" after Esc.
const char* GetConst();

// Check function of the instrument form's type box: fills the 2C box and
// the additive-constant box from the type ("Ni002": 检查, 0.40; "Ni002A":
// 检查, 0.25; any other text: 不检查, 0). Always accepts (returns null).
const char* CheckInstrumentType(const char* text);

// The instrument form's 2C box and additive-constant box while that form
// exists; null otherwise.
extern htTextBox* g_cflag;
extern htTextBox* g_jiachangsu;
