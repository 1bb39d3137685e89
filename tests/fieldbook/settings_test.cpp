// The project's settings classes and their records: grade values, limit,
// staff and instrument records, the project block and "lastprj.xml".
#include <math.h>
#include <string.h>

#include <string>

#include "levelproject.h"
#include "sim_terminal.h"

namespace {

class Settings : public SimTerminal {
  protected:
    // Opens a terminal file for reading.
    int* Open(const char* name) {
        int* f = OpenFile(name, "r", "");
        EXPECT_NE(f, nullptr) << name;
        return f;
    }
};

const short kManual = GbkCharCode("输入读数");

// Every member of a limit set to a value of its own.
void FillLimit(LevelLimit& l) {
    strcpy(l.name, "自定义限差");
    l.minSightHeight = 201;
    l.maxSightHeight = 2901;
    l.minSightLength = 2.5;
    l.maxSightLength = 41;
    l.sightDiff = 0.75;
    l.sightDiffSum = 2.25;
    l.threeWireDiff = 2.5;
    l.readingDiff = 0.35;
    l.heightDiffDiff = 0.55;
    l.interimLimit = 0.8;
    l.max2C = 30;
    l.turnPointDiff = 0.45;
    l.riverSightLength = 90;
    l.riverLimit = 1.25;
    l.digitalReadCount = 3;
    strcpy(l.readOrder, "BFFB");
    strcpy(l.conditionRecord, "部分记录");
    strcpy(l.checkTime, "否");
    strcpy(l.backReverse, "是");
    strcpy(l.distanceMode, "直读");
    l.InitFlag();
}

void ExpectSameLimit(const LevelLimit& a, const LevelLimit& b, const char* readOrder) {
    EXPECT_STREQ(a.name, b.name);
    const double LevelLimit::*numbers[] = {
        &LevelLimit::minSightHeight,   &LevelLimit::maxSightHeight, &LevelLimit::minSightLength,
        &LevelLimit::maxSightLength,   &LevelLimit::sightDiff,      &LevelLimit::sightDiffSum,
        &LevelLimit::threeWireDiff,    &LevelLimit::readingDiff,    &LevelLimit::heightDiffDiff,
        &LevelLimit::interimLimit,     &LevelLimit::max2C,          &LevelLimit::turnPointDiff,
        &LevelLimit::riverSightLength, &LevelLimit::riverLimit,     &LevelLimit::digitalReadCount};
    for (size_t i = 0; i < sizeof numbers / sizeof numbers[0]; ++i)
        EXPECT_EQ(a.*numbers[i], b.*numbers[i]) << "number " << i;
    EXPECT_STREQ(b.readOrder, readOrder);
    EXPECT_STREQ(a.conditionRecord, b.conditionRecord);
    EXPECT_STREQ(a.checkTime, b.checkTime);
    EXPECT_STREQ(a.backReverse, b.backReverse);
    EXPECT_STREQ(a.distanceMode, b.distanceMode);
    EXPECT_STREQ(a.conditionFlags, b.conditionFlags);
    EXPECT_EQ(a.isCheckTime, b.isCheckTime);
    EXPECT_EQ(a.isBackReverse, b.isBackReverse);
    EXPECT_EQ(a.isDirectDistance, b.isDirectDistance);
}

}  // namespace

TEST(LevelLimitSetLevel, SecondOrderValuesForManualAndDigitalReading) {
    struct Case {
        int level;
        const char* readType;
        double minHeight, maxHeight, minLength, sightDiff, sightDiffSum, max2C, readCount;
        const char* backReverse;
    } cases[] = {
        {2, "输入读数", 300, 3000, 0, 1.0, 3.0, 40, 9, "是"},
        {0, "输入读数", 300, 3000, 0, 1.0, 3.0, 40, 9, "是"},
        {5, "输入读数", 300, 3000, 0, 1.0, 3.0, 40, 9, "是"},
        {2, "拓普康", 550, 2800, 3.0, 1.5, 6.0, 0, 1, "否"},
        {5, "拓普康", 550, 2800, 3.0, 1.5, 6.0, 0, 1, "否"},
        {2, "徕卡", 550, 2800, 3.0, 1.5, 6.0, 0, 2, "否"},
        {2, "", 550, 2800, 3.0, 1.5, 6.0, 0, 2, "否"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.level) + " " + c.readType);
        LevelLimit l;
        l.digitalReadCount = 9;  // manual entry leaves it alone
        EXPECT_EQ(l.SetLevel((enumLevel)c.level, 0.5, GbkCharCode(c.readType)), 1);
        EXPECT_STREQ(l.name, "国标二等");
        EXPECT_EQ(l.minSightHeight, c.minHeight);
        EXPECT_EQ(l.maxSightHeight, c.maxHeight);
        EXPECT_EQ(l.minSightLength, c.minLength);
        EXPECT_EQ(l.maxSightLength, 50);
        EXPECT_EQ(l.riverSightLength, 100);
        EXPECT_EQ(l.riverLimit, 1.5);
        EXPECT_EQ(l.sightDiff, c.sightDiff);
        EXPECT_EQ(l.sightDiffSum, c.sightDiffSum);
        EXPECT_EQ(l.threeWireDiff, 3.0);
        EXPECT_EQ(l.readingDiff, 0.4);
        EXPECT_EQ(l.heightDiffDiff, 0.6);
        EXPECT_EQ(l.interimLimit, 1.0);
        EXPECT_EQ(l.max2C, c.max2C);
        EXPECT_EQ(l.digitalReadCount, c.readCount);
        EXPECT_EQ(l.turnPointDiff, 1.5);
        EXPECT_STREQ(l.readOrder, "aBFFB");
        EXPECT_STREQ(l.conditionRecord, "全部记录");
        EXPECT_STREQ(l.conditionFlags, "111111111");
        EXPECT_STREQ(l.checkTime, "是");
        EXPECT_EQ(l.isCheckTime, 1);
        EXPECT_STREQ(l.backReverse, c.backReverse);
        EXPECT_EQ(l.isBackReverse, strcmp(c.backReverse, "是") == 0);
        EXPECT_STREQ(l.distanceMode, "上下丝");
        EXPECT_EQ(l.isDirectDistance, 0);
    }
}

TEST(LevelLimitSetLevel, ProjectGradeKeepsItsValuesAndOnlyRederivesTheFlags) {
    LevelLimit l;
    FillLimit(l);
    LevelLimit before = l;
    strcpy(l.conditionRecord, "全部记录");
    strcpy(l.checkTime, "是");
    l.SetLevel(LevelProjectLimits, 0.5, kManual);
    EXPECT_EQ(l.minSightHeight, before.minSightHeight);
    EXPECT_EQ(l.max2C, before.max2C);
    EXPECT_STREQ(l.name, before.name);
    EXPECT_STREQ(l.readOrder, before.readOrder);
    EXPECT_STREQ(l.conditionFlags, "111111111");
    EXPECT_EQ(l.isCheckTime, 1);
    EXPECT_EQ(l.isDirectDistance, 1);
}

TEST(LevelLimitInitFlag, ConditionFlagsFollowTheFirstCharacterOfTheRecordText) {
    struct Case {
        const char* record;
        const char* flags;
    } cases[] = {{"全部记录", "111111111"},
                 {"全", "111111111"},
                 {"", "110000000"},
                 {"部分记录", "110000000"},
                 {"Q", "110000000"}};
    for (const Case& c : cases) {
        LevelLimit l;
        strcpy(l.conditionRecord, c.record);
        l.InitFlag();
        EXPECT_STREQ(l.conditionFlags, c.flags) << c.record;
    }
}

TEST_F(Settings, LimitRecordRoundTripReadsTheOrderFromItsReadName) {
    LevelLimit written;
    FillLimit(written);
    int* f = OpenFile("l.set", "w+", "");
    ASSERT_EQ(written.SaveToFile(f, nullptr), 1);
    qz_fclose(f);
    std::string text = Slurp("l.set");
    EXPECT_EQ(text.rfind("<限差 名称=\"自定义限差\" 最小视线高度=\"201mm\" ", 0), 0u) << text;
    EXPECT_NE(text.find(" 读数顺序模式=\"BFFB\" "), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 4), " />\n");

    LevelLimit read;
    f = Open("l.set");
    ASSERT_EQ(read.LoadFromFile(f), 1);
    qz_fclose(f);
    ExpectSameLimit(written, read, "aBFFB");

    // A record that carries the order under its read name gives it back.
    Put("o.set", "<限差 名称=\"x\" 往测奇数站读数顺序=\"BFFB\" />\n");
    f = Open("o.set");
    ASSERT_EQ(read.LoadFromFile(f), 1);
    qz_fclose(f);
    EXPECT_STREQ(read.readOrder, "BFFB");
}

TEST_F(Settings, LimitRecordDefaultsAndUnits) {
    Put("d.set", "<限差 名称=\"只有名称\" 最大视线高度=\"2850mm\" 最大2C值=\"abc\" />\n");
    LevelLimit l;
    int* f = Open("d.set");
    ASSERT_EQ(l.LoadFromFile(f), 1);
    qz_fclose(f);
    EXPECT_STREQ(l.name, "只有名称");
    EXPECT_EQ(l.minSightHeight, 0);
    EXPECT_EQ(l.maxSightHeight, 2850);
    EXPECT_EQ(l.maxSightLength, 30);
    EXPECT_EQ(l.sightDiff, 0.5);
    EXPECT_EQ(l.sightDiffSum, 1.5);
    EXPECT_EQ(l.threeWireDiff, 3);
    EXPECT_EQ(l.readingDiff, 0.3);
    EXPECT_EQ(l.heightDiffDiff, 0.4);
    EXPECT_EQ(l.interimLimit, 0.7);
    EXPECT_EQ(l.max2C, 0);  // not a number
    EXPECT_EQ(l.turnPointDiff, 0.3);
    EXPECT_EQ(l.riverSightLength, 100);
    EXPECT_EQ(l.riverLimit, 1.5);
    EXPECT_EQ(l.digitalReadCount, 1);
    EXPECT_STREQ(l.readOrder, "aBFFB");
    EXPECT_STREQ(l.conditionRecord, "");
    EXPECT_STREQ(l.conditionFlags, "110000000");
    EXPECT_STREQ(l.checkTime, "否");
    EXPECT_STREQ(l.backReverse, "否");
    EXPECT_STREQ(l.distanceMode, "读");
}

TEST_F(Settings, WhatIsNotALimitRecordLeavesTheLimitsAlone) {
    struct Case {
        const char* name;
        const char* content;
    } cases[] = {{"empty file", ""},
                 {"nothing before >", ">"},
                 {"another record", "<标尺 标尺1编号=\"1\" />"}};
    for (const Case& c : cases) {
        Put("x.set", c.content);
        LevelLimit l;
        l.SetLevel(LevelSecond, 0.5, kManual);
        LevelLimit before = l;
        int* f = Open("x.set");
        EXPECT_EQ(l.LoadFromFile(f), 0) << c.name;
        qz_fclose(f);
        EXPECT_EQ(memcmp(&l, &before, sizeof l), 0) << c.name;
    }
}

TEST_F(Settings, StaffAndInstrumentRecords) {
    Put("s.xml",
        "<标尺 标尺1编号=\"1234\" 标尺2编号=\"5678\" 标尺1常数=\"4687mm\" 加密数据=\"x\" />\n"
        "<仪器 类型=\"Ni002\" 编号=\"77\" 检查2C=\"检查\" 加常数=\"0.40\" 读数精度=\"0.1mm\" "
        "读数类型=\"输入读数\" />\n");
    LevelStaff s;
    LevelInstrument i;
    int* f = Open("s.xml");
    ASSERT_EQ(s.LoadFromFile(f), 1);
    ASSERT_EQ(i.LoadFromFile(f), 1);
    qz_fclose(f);
    EXPECT_STREQ(s.staff1No, "1234");
    EXPECT_STREQ(s.staff2No, "5678");
    EXPECT_EQ(s.staff1Const, 4687);
    EXPECT_EQ(s.staff2Const, 0);
    EXPECT_EQ(s.division, 1);  // no 最小分划
    EXPECT_STREQ(i.type, "Ni002");
    EXPECT_STREQ(i.number, "77");
    EXPECT_EQ(i.isCheck2C, 1);
    EXPECT_EQ(i.addConst, 0.40);
    EXPECT_EQ(i.precision, 0.1);
    EXPECT_DOUBLE_EQ(i.precisionInv, 10);
    EXPECT_EQ(i.readTypeCode, kManual);
}

TEST_F(Settings, InstrumentPrecisionThatCannotScaleReadingsTakesTheDefault) {
    struct Case {
        const char* attr;
        double precision;
    } cases[] = {{"读数精度=\"0mm\"", 0.01},    {"读数精度=\"0\"", 0.01},
                 {"读数精度=\"-0.1mm\"", 0.01}, {"读数精度=\"abc\"", 0.01},
                 {"读数精度=\"inf\"", 0.01},    {"", 0.01},
                 {"读数精度=\"0.5mm\"", 0.5}};
    for (const Case& c : cases) {
        Put("i.xml", std::string("<仪器 类型=\"Ni007\" ") + c.attr + " />\n");
        LevelInstrument i;
        int* f = Open("i.xml");
        ASSERT_EQ(i.LoadFromFile(f), 1) << c.attr;
        qz_fclose(f);
        EXPECT_EQ(i.precision, c.precision) << c.attr;
        EXPECT_TRUE(isfinite(i.precisionInv)) << c.attr;
        EXPECT_DOUBLE_EQ(i.precisionInv, 1 / c.precision) << c.attr;
        EXPECT_EQ(i.readTypeCode, 0) << c.attr;  // no reading type: a digital level
    }
}

TEST_F(Settings, ProjectBlockRoundTripWithAProjectGradeLimitLine) {
    LevelProject p;
    strcpy(p.name, "二期工程");
    strcpy(p.unit, "测绘院");
    strcpy(p.levelName, "自定义");
    strcpy(p.lineMode, "往返测");
    strcpy(p.observer, "张三");
    strcpy(p.recorder, "李四");
    p.level = (uint8)GetLevel(p.levelName);
    ASSERT_EQ(p.level, LevelProjectLimits);
    strcpy(p.staff.staff1No, "1001");
    strcpy(p.staff.staff2No, "1002");
    p.staff.staff1Const = 4687;
    p.staff.staff2Const = 4787;
    p.staff.division = 0.5;
    strcpy(p.instrument.type, "Ni002A");
    strcpy(p.instrument.number, "12345");
    strcpy(p.instrument.check2C, "检查");
    strcpy(p.instrument.readType, "输入读数");
    p.instrument.addConst = 0.25;
    p.instrument.precision = 0.1;
    FillLimit(p.limit);

    // Two blocks one after the other: the second starts where the first ends.
    int* f = OpenFile("p.xml", "w+", "");
    short key = 1234;
    ASSERT_EQ(p.SaveToFile(f, &key), 1);
    strcpy(p.name, "second");
    ASSERT_EQ(p.SaveToFile(f, nullptr), 1);
    qz_fclose(f);
    std::string text = Slurp("p.xml");
    EXPECT_NE(text.find("\" >\n<标尺 "), std::string::npos) << text;
    EXPECT_NE(text.find(" />\n<限差 "), std::string::npos) << text;
    EXPECT_NE(text.find(" />\n</项目>\n<项目 "), std::string::npos) << text;

    LevelProject r;
    f = Open("p.xml");
    ASSERT_EQ(r.LoadFromFile(f), 1);
    EXPECT_STREQ(r.name, "二期工程");
    EXPECT_STREQ(r.unit, "测绘院");
    EXPECT_STREQ(r.levelName, "自定义");
    EXPECT_STREQ(r.lineMode, "往返测");
    EXPECT_STREQ(r.observer, "张三");
    EXPECT_STREQ(r.recorder, "李四");
    EXPECT_EQ(r.level, LevelProjectLimits);
    EXPECT_EQ(r.lineType, 1);
    EXPECT_STREQ(r.staff.staff1No, "1001");
    EXPECT_STREQ(r.staff.staff2No, "1002");
    EXPECT_EQ(r.staff.staff1Const, 4687);
    EXPECT_EQ(r.staff.staff2Const, 4787);
    EXPECT_EQ(r.staff.division, 0.5);
    EXPECT_STREQ(r.instrument.type, "Ni002A");
    EXPECT_STREQ(r.instrument.number, "12345");
    EXPECT_STREQ(r.instrument.check2C, "检查");
    EXPECT_STREQ(r.instrument.readType, "输入读数");
    EXPECT_EQ(r.instrument.addConst, 0.25);
    EXPECT_EQ(r.instrument.precision, 0.1);
    ExpectSameLimit(p.limit, r.limit, "aBFFB");
    ASSERT_EQ(r.LoadFromFile(f), 1);
    EXPECT_STREQ(r.name, "second");
    EXPECT_EQ(r.LoadFromFile(f), 0);  // the end
    qz_fclose(f);
}

TEST_F(Settings, ProjectBlockWithoutItsStaffRecordIsNotRead) {
    Put("p.xml", "<项目 名称=\"A\" 等级=\"国标二等\" >\n<仪器 类型=\"Ni007\" />\n</项目>\n");
    LevelProject p;
    int* f = Open("p.xml");
    EXPECT_EQ(p.LoadFromFile(f), 0);
    qz_fclose(f);
    EXPECT_STREQ(p.name, "A");  // the first line was taken
    EXPECT_EQ(p.level, 0);
}

TEST_F(Settings, HostileProjectLinesNeverOverrunAMember) {
    std::string longName(200, 'N');
    std::string gbkName;
    for (int i = 0; i < 100; ++i) gbkName += "测";
    struct Case {
        const char* what;
        std::string block;
        int result;
        std::string name;
    } cases[] = {
        {"200-character name",
         "<项目 名称=\"" + longName + "\" 观测员=\"王五\" >\n<标尺 />\n<仪器 />\n</项目>\n", 1,
         std::string(40, 'N')},
        {"Chinese name cut at a whole character",
         "<项目 名称=\"" + gbkName + "\" >\n<标尺 />\n<仪器 />\n</项目>\n", 1,
         gbkName.substr(0, 40)},
        {"value without its closing quote", "<项目 名称=\"AB 观测员=\"王五 >\n<标尺 />\n<仪器 />\n",
         1, "AB 观测员="},
        {"staff line without >", "<项目 名称=\"C\" >\n<标尺 标尺1编号=\"1\n<仪器 类型=\"x\" />\n",
         0, "C"},
        {"a first line only", "<项目 名称=\"D\"", 0, "D"},
    };
    for (const Case& c : cases) {
        Put("h.xml", c.block);
        LevelProject p;
        int* f = Open("h.xml");
        EXPECT_EQ(p.LoadFromFile(f), c.result) << c.what;
        qz_fclose(f);
        EXPECT_EQ(std::string(p.name), c.name) << c.what;
        EXPECT_LE(strlen(p.observer), sizeof p.observer - 1) << c.what;
    }
}

TEST_F(Settings, LastProjectFile) {
    LevelProject p;
    EXPECT_EQ(p.LoadLastProject(), 0);  // no file
    Put("lastprj.xml", "\n<项目 名称=\"E\" >\n<标尺 />\n<仪器 />\n</项目>\n");
    EXPECT_EQ(p.LoadLastProject(), 0);  // empty first line
    EXPECT_STREQ(p.name, "");
    Put("lastprj.xml", "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<项目 名称=\"F\" >\n");
    EXPECT_EQ(p.LoadLastProject(), 0);  // cut short: not reported as read
    EXPECT_STREQ(p.name, "F");

    strcpy(p.name, "G");
    strcpy(p.levelName, "国标二等");
    p.level = LevelSecond;
    ASSERT_EQ(p.SaveLastProject(), 1);
    EXPECT_EQ(Slurp("lastprj.xml")
                  .rfind("<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<项目 名称=\"G\" ", 0),
              0u);
    LevelProject q;
    EXPECT_EQ(q.LoadLastProject(), 1);
    EXPECT_STREQ(q.name, "G");
    EXPECT_EQ(q.level, LevelSecond);
    EXPECT_STREQ(q.limit.name, "国标二等");  // limits set for the grade read

    // A project saved before it was given a grade (the group settings of an
    // empty project) comes back without one.
    LevelProject ungraded;
    strcpy(ungraded.name, "H");
    ASSERT_EQ(ungraded.SaveLastProject(), 1);
    LevelProject r;
    EXPECT_EQ(r.LoadLastProject(), 1);
    EXPECT_STREQ(r.name, "H");
    EXPECT_EQ(r.level, LevelNone);
}

// The limit-set menu: no text without sets; a step handed over by a box is
// answered without the menu, with a name that outlives it.
TEST_F(Settings, LimitSetMenu) {
    EXPECT_EQ(GetLvlMenu(), nullptr);  // no "level.set"
    Put("level.set", "");
    EXPECT_EQ(GetLvlMenu(), nullptr);  // no record

    LevelLimit a, b;
    a.SetLevel(LevelSecond, 0.5, kManual);
    strcpy(a.name, "甲组限差");
    FillLimit(b);
    int* f = OpenFile("level.set", "w+", "");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(a.SaveToFile(f, 0), 1);
    ASSERT_EQ(b.SaveToFile(f, 0), 1);
    qz_fclose(f);

    char current[] = "甲组限差";
    SetMenuChangeValue(17, current);
    const char* chosen = GetLvlMenu();
    ASSERT_NE(chosen, nullptr);
    EXPECT_STREQ(chosen, "自定义限差");
    SetMenuChangeValue(16, current);
    chosen = GetLvlMenu();
    ASSERT_NE(chosen, nullptr);
    EXPECT_STREQ(chosen, "甲组限差");
}

// The template search reads "Project.xml" to its end: a blank line between
// templates does not hide the templates after it, and a damaged block is
// never taken for the one searched.
TEST_F(Settings, TemplateSearchGoesOnPastLinesThatAreNoBlock) {
    auto block = [](const std::string& name, const std::string& unit, bool withStaff) {
        return "<项目 名称=\"" + name + "\" 作业单位=\"" + unit + "\" 等级=\"国标二等\" >\n" +
               (withStaff ? "<标尺 标尺1编号=\"1\" />\n" : "") +
               "<仪器 类型=\"Ni002\" 读数类型=\"输入读数\" />\n</项目>\n";
    };
    Put("Project.xml", "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n" +
                           block("x", "单位X", true) + "\n" + block("y", "单位Y", true) +
                           block("z", "单位Z", false));
    LevelProject p;
    ASSERT_EQ(p.LoadProject("y"), 1);
    EXPECT_STREQ(p.name, "y");
    EXPECT_STREQ(p.unit, "单位Y");
    EXPECT_STREQ(p.staff.staff1No, "1");
    EXPECT_EQ(p.LoadProject("x"), 1);
    EXPECT_STREQ(p.unit, "单位X");
    EXPECT_EQ(p.LoadProject("z"), 0);
    strcpy(p.name, "x");
    EXPECT_EQ(p.LoadProject(p.name), 1);  // its own name
    EXPECT_STREQ(p.unit, "单位X");
}
