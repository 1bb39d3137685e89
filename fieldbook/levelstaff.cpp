#include "levelstaff.h"

#include <stdio.h>
#include <stdlib.h>

#include "armiobase.h"
#include "htform.h"
#include "htxml.h"
#include "levellimit.h"
#include "levelproject.h"
#include "msgbox.h"
#include <string.h>

htTextBox* g_cflag = 0;
htTextBox* g_jiachangsu = 0;

namespace {

enum { kReadMax = 1024, kLineSize = 640 };

char lineBuf[kLineSize];

const double kDefaultPrecision = 0.01;

int FormRun(htForm& form, const char* title) {
    return form.Run(title, 1, 1, pda.ScreenRows, pda.ScreenCols, false) != 0;
}

}  // namespace

// ---- staff ----

LevelStaff::LevelStaff() { memset(this, 0, sizeof *this); }

int LevelStaff::LoadFromFile(int* file) {
    static htXml x;
    if (readline(SystemBuf, file, '>', kReadMax) <= 0) return 0;
    x.ParseLine(SystemBuf);
    if (strcmp(x.TagName(), "标尺") != 0) return 0;
    x.GetStringValue(staff1No, "标尺1编号", "");
    x.GetStringValue(staff2No, "标尺2编号", "");
    staff1Const = atol(x.GetValue("标尺1常数", "0"));
    staff2Const = atol(x.GetValue("标尺2常数", "0"));
    division = atof(x.GetValue("最小分划", "1"));
    return 1;
}

int LevelStaff::SaveToFile(int* file, short* key) {
    if (!file) return 0;
    snprintf(lineBuf, sizeof lineBuf, "%s %s %ld %ld %lg", staff1No, staff2No, staff1Const,
             staff2Const, division);
    return qz_fprintf(file,
                      "<标尺 标尺1编号=\"%s\" 标尺2编号=\"%s\" 标尺1常数=\"%ld\" 标尺2常数=\"%ld\" "
                      "最小分划=\"%lg\" 加密数据=\"%s\" />\n",
                      staff1No, staff2No, staff1Const, staff2Const, division,
                      base64_encode(lineBuf, key));
}

void LevelStaff::View() {
    snprintf(lineBuf, sizeof lineBuf,
             "标尺分划:%lgmm\n标尺1编号:%s\n标尺1常数:%ld\n标尺2编号:%s\n标尺2常数:%ld\n", division,
             staff1No, staff1Const, staff2No, staff2Const);
    MsgBox(lineBuf, MsgBoxInfo, "标尺信息", 0, 0, 0, 0);
}

int LevelStaff::Config(LevelProject& project) {
    int manual = project.instrument.readTypeCode == GbkCharCode("输");
    division = manual ? 0.5 : 1.0;
    char const1[24], const2[24];
    snprintf(const1, sizeof const1, "%ld", staff1Const);
    snprintf(const2, sizeof const2, "%ld", staff2Const);
    htForm form;
    form.AddFull(6, staff1No, "标尺1编号", 0, 0, TextBoxNumber)->BindVar(staff1No);
    if (manual)
        form.AddFull(6, const1, "标尺1常数", 0, GetConst, TextBoxNumber)->BindVar(staff1Const);
    form.AddFull(6, staff2No, "标尺2编号", 0, 0, TextBoxNumber)->BindVar(staff2No);
    if (manual)
        form.AddFull(6, const2, "标尺2常数", 0, GetConst, TextBoxNumber)->BindVar(staff2Const);
    return FormRun(form, "输入标尺信息");
}

const char* GetConst() {
    htMenu menu("选择标尺常数", 6, "0", "60650", "50650", "30350", "4787", "4687");
    const char* chosen = menu.Run(0, 0);
    return chosen ? chosen : "";
}

// ---- instrument ----

LevelInstrument::LevelInstrument() { memset(this, 0, sizeof *this); }

int LevelInstrument::LoadFromFile(int* file) {
    static htXml x;
    if (readline(SystemBuf, file, '>', kReadMax) <= 0) return 0;
    x.ParseLine(SystemBuf);
    if (strcmp(x.TagName(), "仪器") != 0) return 0;
    x.GetStringValue(type, "类型", "");
    x.GetStringValue(number, "编号", "");
    x.GetStringValue(check2C, "检查2C", "");
    addConst = atof(x.GetValue("加常数", "0"));
    precision = atof(x.GetValue("读数精度", "0.01"));
    // 1/precision scales every reading: a zero, negative or endless value
    // would make them all infinite or wrong, so it takes the default.
    if (!(precision > 0 && precision < 1e6)) precision = kDefaultPrecision;
    x.GetStringValue(readType, "读数类型", "");
    precisionInv = 1 / precision;
    readTypeCode = GbkCharCode(readType);
    isCheck2C = BeginsWith(check2C, "检");
    return 1;
}

int LevelInstrument::SaveToFile(int* file, short* key) {
    if (!file) return 0;
    snprintf(lineBuf, sizeof lineBuf, "%s %s %s %lg %lg %s", type, number, check2C, addConst,
             precision, readType);
    return qz_fprintf(
        file,
        "<仪器 类型=\"%s\" 编号=\"%s\" 检查2C=\"%s\" 加常数=\"%lg\" 读数精度=\"%lgmm\" "
        "读数类型=\"%s\" 加密数据=\"%s\" />\n",
        type, number, check2C, addConst, precision, readType, base64_encode(lineBuf, key));
}

void LevelInstrument::View() {
    snprintf(lineBuf, sizeof lineBuf,
             "读数类型:%s\n类型:%s\n编号:%s\n读数精度:%lgmm\n检查2C:%s\n视距加常数:%lgm\n",
             readType, type, number, precision, check2C, addConst);
    MsgBox(lineBuf, MsgBoxInfo, "仪器信息", 0, 0, 0, 0);
}

int LevelInstrument::Config() {
    CopyText(readType, "输入读数", sizeof readType);
    readTypeCode = GbkCharCode(readType);
    precision = 0.1;
    precisionInv = 1 / precision;
    htForm form;
    // The bound texts hold one byte more than their boxes.
    form.AddFull((int)sizeof type - 1, type, "类型", CheckInstrumentType, 0, TextBoxText)
        ->BindVar(type)
        ->BindMenu("选择仪器类型", 3, "Ni002A", "Ni007", "Ni002");
    form.AddFull(12, number, "编号", 0, 0, TextBoxNumber)->BindVar(number);
    g_cflag = form.AddFull(8, check2C, "检查2C值", 0, 0, TextBoxSelect);
    g_cflag->BindVar(check2C)->BindMenu("是否检查2C值", 2, "检查", "不检查");
    g_jiachangsu = form.AddFull(6, "", "视距加常数", 0, 0, TextBoxNumber);
    g_jiachangsu->BindVar(addConst)->BindMenu("选择加常数", 3, "0", "0.25", "0.40");
    int accepted = FormRun(form, "输入仪器信息");
    g_cflag = 0;
    g_jiachangsu = 0;
    if (!accepted) return 0;
    isCheck2C = BeginsWith(check2C, "检");
    precisionInv = 1 / precision;
    return 1;
}

const char* CheckInstrumentType(const char* text) {
    if (!g_cflag) return 0;
    const char* constant = "0";
    const char* check = "检查";
    if (text && strcmp(text, "Ni002") == 0)
        constant = "0.40";
    else if (text && strcmp(text, "Ni002A") == 0)
        constant = "0.25";
    else
        check = "不检查";
    g_cflag->SetValue(check);
    g_cflag->Draw();
    if (g_jiachangsu) {
        g_jiachangsu->SetValue(constant);
        g_jiachangsu->Draw();
    }
    return 0;
}
