#include "levelproject.h"

#include <stdio.h>

#include "armiobase.h"
#include "htform.h"
#include "htmenu.h"
#include "htxml.h"
#include "msgbox.h"
#include <string.h>

namespace {

// The first line of a block holds six texts and a protection value; it is
// read whole so that no attribute of a long but valid line is lost.
enum { kReadMax = 1024, kCompactSize = 256 };

const char kProjectFile[] = "Project.xml";
const char kLastProjectFile[] = "lastprj.xml";

int FormRun(htForm& form, const char* title) {
    return form.Run(title, 1, 1, pda.ScreenRows, pda.ScreenCols, false) != 0;
}

// Skips the first line of a file (its XML declaration).
int SkipLine(int* file) { return readline(SystemBuf, file, '\n', kSystemBufSize); }

}  // namespace

LevelProject::LevelProject() {
    name[0] = unit[0] = levelName[0] = lineMode[0] = observer[0] = recorder[0] = 0;
    level = 0;
    lineType = 0;
}

int LevelProject::LoadFromFile(int* file) {
    static htXml x;
    if (readline(SystemBuf, file, '\n', kReadMax) <= 0) return 0;
    x.ParseLine(SystemBuf);
    x.GetStringValue(name, "名称", "");
    x.GetStringValue(unit, "作业单位", "");
    x.GetStringValue(levelName, "等级", "");
    x.GetStringValue(lineMode, "观测方式", "");
    x.GetStringValue(observer, "观测员", "");
    x.GetStringValue(recorder, "记录员", "");
    if (!staff.LoadFromFile(file)) return 0;
    if (!instrument.LoadFromFile(file)) return 0;
    level = (uint8)GetLevel(levelName);
    lineType = GetLineType(lineMode);
    if (level == LevelProjectLimits) limit.LoadFromFile(file);
    limit.SetLevel((enumLevel)level, staff.division, instrument.readTypeCode);
    // The rest of the last record's line, then "</项目>".
    readline(SystemBuf, file, '\n', 100);
    readline(SystemBuf, file, '\n', 100);
    return 1;
}

int LevelProject::SaveToFile(int* file, short* key) {
    if (!file) return 0;
    char compact[kCompactSize];
    snprintf(compact, sizeof compact, "%s %s %s %s %s %s", name, unit, levelName, lineMode,
             observer, recorder);
    if (!qz_fprintf(file,
                    "<项目 名称=\"%s\" 作业单位=\"%s\" 等级=\"%s\" 观测方式=\"%s\" 观测员=\"%s\" "
                    "记录员=\"%s\" 加密数据=\"%s\" >\n",
                    name, unit, levelName, lineMode, observer, recorder,
                    base64_encode(compact, key)))
        return 0;
    if (!staff.SaveToFile(file, key)) return 0;
    if (!instrument.SaveToFile(file, key)) return 0;
    if (level == LevelProjectLimits && !limit.SaveToFile(file, key)) return 0;
    return qz_fprintf(file, "</项目>\n");
}

int LevelProject::SaveLastProject() {
    int* file = OpenFile(kLastProjectFile, "w+", 0);
    if (!file) return 0;
    int ok =
        qz_fprintf(file, "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n") && SaveToFile(file, 0);
    qz_fclose(file);
    return ok;
}

int LevelProject::LoadLastProject() {
    int* file = OpenFile(kLastProjectFile, "r+", 0);
    if (!file) return 0;
    int ok = 0;
    if (readline(SystemBuf, file, '\n', 100) > 0) ok = LoadFromFile(file);
    qz_fclose(file);
    return ok;
}

int LevelProject::LoadProject(const char* wanted) {
    char copy[sizeof name];
    CopyText(copy, wanted, sizeof copy);
    int* file = OpenFile(kProjectFile, "r+", 0);
    if (!file) return 0;
    SkipLine(file);
    // Searched to the end of the file: a line that starts no block (a blank
    // line between templates) is passed over. Only a block read whole can be
    // the one searched. Every attempt consumes at least one byte.
    while (!feof(file)) {
        if (LoadFromFile(file) && strcmp(copy, name) == 0) {
            qz_fclose(file);
            return 1;
        }
    }
    qz_fclose(file);
    return 0;
}

const char* GetProject() {
    int* file = OpenFile(kProjectFile, "r+", 0);
    if (!file) return 0;
    htMenu menu(10, true);
    menu.SetTitle("选择项目模板");
    LevelProject scratch;
    SkipLine(file);
    while (scratch.LoadFromFile(file)) menu.AddItem(scratch.name);
    qz_fclose(file);
    if (menu.count == 0) return 0;
    // The menu owns its item texts and a hot key or an arrow step of the name
    // box is answered with the item itself: keep a copy that outlives the
    // menu.
    static char chosenName[sizeof scratch.name];
    CopyText(chosenName, menu.Run(0, 0), sizeof chosenName);
    return chosenName;
}

int LevelProject::GetPrjName() {
    htForm form;
    form.AddFull(40, name, "项目名称", 0, GetProject, TextBoxText)->BindVar(name);
    form.Add("按空格键可以选择预制的项目模板，项目模板可以在内业定制完整后上传");
    return FormRun(form, "输入项目名称 ");
}

int LevelProject::GetPrjInfo() {
    CopyText(levelName, "国标二等", sizeof levelName);
    CopyText(lineMode, "往返测", sizeof lineMode);
    htForm form;
    form.AddFull(40, unit, "测量单位", 0, 0, TextBoxText)->BindVar(unit);
    return FormRun(form, "输入项目信息");
}

int LevelProject::ConfigGroup() {
    htForm form;
    form.AddFull(8, observer, "观测员", 0, 0, TextBoxText)->BindVar(observer);
    form.AddFull(8, recorder, "记录员", 0, 0, TextBoxText)->BindVar(recorder);
    return FormRun(form, "输入项目信息");
}

int SaveOrWarn(LevelProject& project) {
    if (project.SaveLastProject()) return 1;
    MsgBox("项目文件保存失败！");
    return 0;
}

int LevelProject::Config() {
    if (!GetPrjName()) return 0;
    // The search loads every template it reads: keep what was typed.
    char typed[sizeof name];
    CopyText(typed, name, sizeof typed);
    if (LoadProject(typed)) {
        // Kept as the last project too, so that it is the project after a
        // restart.
        SaveOrWarn(*this);
        MsgBox("找到预定义同名项目，自动读入项目");
        return 1;
    }
    LoadLastProject();
    CopyText(name, typed, sizeof name);
    if (!GetPrjInfo()) return 0;
    if (!ConfigGroup()) return 0;
    level = (uint8)GetLevel(levelName);
    lineType = GetLineType(lineMode);
    if (!instrument.Config()) return 0;
    if (!staff.Config(*this)) return 0;
    if (level == LevelProjectLimits) limit.Config(*this);
    limit.SetLevel((enumLevel)level, staff.division, instrument.readTypeCode);
    SaveOrWarn(*this);
    MsgBox("项目设置完成，请选择测段观测进入测段观测菜单");
    return 1;
}

void LevelProject::View() {
    char text[256];
    snprintf(text, sizeof text,
             "项目名称:%s\n测量单位:%s\n限差等级:%s\n模式:%s\n观测员:%s\n记录员:%s\n", name, unit,
             levelName, lineMode, observer, recorder);
    MsgBox(text, MsgBoxInfo, "项目信息", 0, 0, 0, 0);
}
