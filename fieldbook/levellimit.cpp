#include "levellimit.h"

#include <stdio.h>
#include <stdlib.h>

#include "htmenu.h"
#include "htxml.h"
#include "msgbox.h"
#include <string.h>

namespace {

// Longest record: the names and units, 15 numbers of at most 13 characters,
// the texts at their sizes and the protection value of the compact text.
enum { kRecordSize = 1600, kCompactSize = 512, kReadMax = 1024 };

char recordBuf[kRecordSize];

const char kRecordFormat[] =
    "<限差 名称=\"%s\" 最小视线高度=\"%lgmm\" 最大视线高度=\"%lgmm\" 最小视线长度=\"%lgm\" "
    "最大视线长度=\"%lgm\" 前后视距差=\"%lgm\" 视距差累计=\"%lgm\" 三丝差=\"%lgmm\" "
    "标尺两次读数的差=\"%lgmm\" 标尺读数高差的差=\"%lgmm\" 间歇检测限差=\"%lgmm\" "
    "最大2C值=\"%lg\" 转点差=\"%lgmm\" 短跨河视线长度=\"%lgm\" 短跨河限差=\"%lgmm\" "
    "数字水准读数次数=\"%lg\" 读数顺序模式=\"%s\" 观测条件记录=\"%s\" 检查时间=\"%s\" "
    "返测读数顺序反序=\"%s\" 视距读取=\"%s\" 加密数据=\"%s\" />\n";

double Number(const htXml& x, const char* name, const char* def) {
    return atof(x.GetValue(name, def));
}

}  // namespace

short GbkCharCode(const char* text) {
    if (!text || !text[0]) return 0;
    unsigned lo = (unsigned char)text[0];
    unsigned hi = (unsigned char)text[1];
    return (short)(lo | (hi << 8));
}

char* CopyText(char* dest, const char* src, int size) {
    if (!dest || size <= 0) return dest;
    if (!src) src = "";
    int n = 0;
    while (src[n]) {
        int step = ((unsigned char)src[n] >= 0x81 && src[n + 1]) ? 2 : 1;
        if (n + step > size - 1) break;
        n += step;
    }
    memmove(dest, src, (size_t)n);
    dest[n] = 0;
    return dest;
}

int BeginsWith(const char* text, const char* ch) {
    if (!text || !ch || !ch[0]) return 0;
    if ((unsigned char)ch[0] >= 0x81 && ch[1])
        return text[0] == ch[0] && text[0] && text[1] == ch[1];
    return text[0] == ch[0];
}

LevelLimit::LevelLimit() { memset(this, 0, sizeof *this); }

int LevelLimit::SetLevel(enumLevel level, double division, short readTypeCode) {
    (void)division;
    if (level != LevelProjectLimits) {
        minSightLength = 0;
        maxSightHeight = 3000;
        turnPointDiff = 1.5;
        CopyText(distanceMode, "上下丝", sizeof distanceMode);
        CopyText(conditionRecord, "全部记录", sizeof conditionRecord);
        // The second-order values, for every grade the field book knows.
        CopyText(name, "国标二等", sizeof name);
        max2C = 40;
        readingDiff = 0.4;
        interimLimit = 1.0;
        heightDiffDiff = 0.6;
        threeWireDiff = 3.0;
        sightDiff = 1.0;
        sightDiffSum = 3.0;
        maxSightLength = 50;
        riverSightLength = 100;
        riverLimit = 1.5;
        minSightHeight = 300;
        CopyText(readOrder, "aBFFB", sizeof readOrder);
        CopyText(checkTime, "是", sizeof checkTime);
        CopyText(backReverse, "是", sizeof backReverse);
        if (readTypeCode != GbkCharCode("输")) {
            max2C = 0;
            minSightLength = 3.0;
            sightDiff = 1.5;
            sightDiffSum = 6.0;
            maxSightHeight = 2800;
            minSightHeight = 550;
            digitalReadCount = readTypeCode == GbkCharCode("拓") ? 1 : 2;
            CopyText(backReverse, "否", sizeof backReverse);
        }
    }
    InitFlag();
    return 1;
}

void LevelLimit::InitFlag() {
    isCheckTime = BeginsWith(checkTime, "是");
    isDirectDistance = BeginsWith(distanceMode, "直");
    isBackReverse = BeginsWith(backReverse, "是");
    CopyText(conditionFlags, BeginsWith(conditionRecord, "全") ? "111111111" : "110000000",
             sizeof conditionFlags);
}

int LevelLimit::LoadFromFile(int* file) {
    static htXml x;
    if (readline(SystemBuf, file, '>', kReadMax) <= 0) return 0;
    x.ParseLine(SystemBuf);
    if (strcmp(x.TagName(), "限差") != 0) return 0;
    x.GetStringValue(name, "名称", "");
    minSightHeight = Number(x, "最小视线高度", "0");
    maxSightHeight = Number(x, "最大视线高度", "3000");
    minSightLength = Number(x, "最小视线长度", "0");
    maxSightLength = Number(x, "最大视线长度", "30");
    sightDiff = Number(x, "前后视距", "0.5");
    sightDiffSum = Number(x, "视距差累", "1.5");
    threeWireDiff = Number(x, "三丝", "3");
    readingDiff = Number(x, "标尺两次", "0.3");
    heightDiffDiff = Number(x, "标尺读数", "0.4");
    interimLimit = Number(x, "间歇检测", "0.7");
    max2C = Number(x, "最大2C值", "40");
    turnPointDiff = Number(x, "转点", "0.3");
    riverSightLength = Number(x, "短跨河视", "100");
    riverLimit = Number(x, "短跨河限", "1.5");
    digitalReadCount = (double)atol(x.GetValue("数字水准", "1"));
    x.GetStringValue(readOrder, "往测奇数", "aBFFB");
    x.GetStringValue(conditionRecord, "观测条件", "");
    x.GetStringValue(checkTime, "检查", "否");
    x.GetStringValue(backReverse, "返测", "否");
    x.GetStringValue(distanceMode, "视距读取", "读");
    InitFlag();
    return 1;
}

int LevelLimit::FormatRecord(char* buf, int size, const char* protection) const {
    int n = snprintf(buf, (size_t)size, kRecordFormat, name, minSightHeight, maxSightHeight,
                     minSightLength, maxSightLength, sightDiff, sightDiffSum, threeWireDiff,
                     readingDiff, heightDiffDiff, interimLimit, max2C, turnPointDiff,
                     riverSightLength, riverLimit, digitalReadCount, readOrder, conditionRecord,
                     checkTime, backReverse, distanceMode, protection ? protection : "");
    return (n < 0 || n >= size) ? -1 : n;
}

int LevelLimit::SaveToFile(int* file, short* key) {
    if (!file) return 0;
    char compact[kCompactSize];
    snprintf(compact, sizeof compact,
             "%lg %lg %lg %lg %lg %lg %lg %lg %lg %lg %lg %lg %lg %lg %lg %s %s %s %s %s ",
             minSightHeight, maxSightHeight, minSightLength, maxSightLength, sightDiff,
             sightDiffSum, threeWireDiff, readingDiff, heightDiffDiff, interimLimit, max2C,
             turnPointDiff, riverSightLength, riverLimit, digitalReadCount, readOrder,
             conditionRecord, checkTime, backReverse, distanceMode);
    if (FormatRecord(recordBuf, kRecordSize, base64_encode(compact, key)) < 0) return 0;
    return qz_fprintf(file, "%s", recordBuf);
}

int LevelLimit::Config(LevelProject& project) {
    (void)project;
    InitFlag();
    return 1;
}

char* LevelLimit::ViewText(char* buf, int size) const {
    int n = FormatRecord(buf, size, "");
    if (n < 0) return 0;
    // One attribute per line: blanks become line breaks, quotes go.
    int out = 0;
    for (int i = 0; i < n; ++i) {
        char c = buf[i];
        if (c == '"') continue;
        buf[out++] = c == ' ' ? '\n' : c;
    }
    // Drop "<限差" with its line break and, at the end, the line break
    // before 加密数据, "加密数据=", its line break, "/>" and the last break.
    const int head = 6, tail = 14;
    if (out < head + tail) return 0;
    out -= tail;
    memmove(buf, buf + head, (size_t)(out - head));
    buf[out - head] = 0;
    return buf;
}

void LevelLimit::View() {
    if (ViewText(recordBuf, kRecordSize)) MsgBox(recordBuf, MsgBoxInfo, "限差设置信息", 0, 0, 0, 0);
}

const char* GetLvlMenu() {
    if (!FileExists("level.set")) return 0;
    int* file = qz_fopen("level.set", "r+");
    if (!file) {
        MsgBox("读取限差配置文件出错！");
        return 0;
    }
    htMenu menu(10, true);
    menu.SetTitle("选择限差");
    LevelLimit scratch;
    while (scratch.LoadFromFile(file)) menu.AddItem(scratch.name);
    qz_fclose(file);
    if (menu.count == 0) return 0;
    // The menu owns its item texts and a hot key or an arrow step of a box is
    // answered with the item itself: keep a copy that outlives the menu.
    static char chosenName[sizeof scratch.name];
    CopyText(chosenName, menu.Run(0, 0), sizeof chosenName);
    return chosenName;
}
