// The current leveling project: names, grade, observation mode, observer and
// recorder, with its limits, staffs and instrument; the project block that
// "lastprj.xml", the templates of "Project.xml" and the section record files
// hold; and the configuration dialogue.
//
// The project block:
//   <项目 名称="..." 作业单位="..." 等级="..." 观测方式="..." 观测员="..." 记录员="..."
//   加密数据="..." > <标尺 ... />            (LevelStaff) <仪器 ... />            (LevelInstrument)
//   <限差 ... />            (LevelLimit, only for grade 7)
//   </项目>
#pragma once

#include "levellimit.h"
#include "levelstaff.h"

class LevelProject {
  public:
    // Members built empty: texts "", level and lineType 0.
    LevelProject();

    // Reads one project block. Missing attributes read as "". Returns 0 when
    // nothing could be read or the staff or instrument record is missing
    // (the texts of the first line are taken by then), else 1; level,
    // lineType and the limits then agree with the texts read.
    int LoadFromFile(int* file);
    // Writes one project block; `key` (may be null) chains every protection
    // value. Returns 1 when written, 0 when a write failed.
    int SaveToFile(int* file, short* key);
    // Rewrites "lastprj.xml". Returns 1 when written, 0 when it could not be.
    int SaveLastProject();
    // Fills the project from "lastprj.xml". Returns 1 when a whole block was
    // read; 0 when the file is missing, begins with an empty line or its
    // block is cut short (the values read so far stay).
    int LoadLastProject();
    // Searches "Project.xml" for the template named `name` (may be this
    // project's own name). Returns 1 with it loaded; 0 when there is none
    // (the project then holds the last template read, if any).
    int LoadProject(const char* name);

    // Form for the project name, with the template menu on the space key.
    // Returns 1 when accepted, 0 when cancelled.
    int GetPrjName();
    // Sets the grade "国标二等" and mode "往返测", then the form for the
    // survey unit. Returns 1 when accepted, 0 when cancelled.
    int GetPrjInfo();
    // Form for observer and recorder. Returns 1 when accepted, 0 when
    // cancelled.
    int ConfigGroup();
    // The whole dialogue: name, then either a template of that name or the
    // forms for unit, group, instrument and staff; the project is written to
    // "lastprj.xml". Returns 1 when configured, 0 when cancelled.
    int Config();
    // Paged message box "项目信息".
    void View();

    char name[41];  // the first member: a pointer to the project is its name
    char unit[41];
    char levelName[20];
    char lineMode[20];
    char observer[20];
    char recorder[20];
    uint8 level;     // enumLevel of levelName, 0 while nothing is configured
    uint8 lineType;  // GetLineType of lineMode
    LevelLimit limit;
    LevelStaff staff;
    LevelInstrument instrument;
};

// SaveLastProject, telling the observer in a message box when "lastprj.xml"
// could not be written (the project would not survive a restart). Returns
// what SaveLastProject returned.
int SaveOrWarn(LevelProject& project);

// Menu "选择项目模板" of the template names in "Project.xml". Returns the
// chosen name (valid until the next call), "" after Esc, null when
// there is no template.
const char* GetProject();
