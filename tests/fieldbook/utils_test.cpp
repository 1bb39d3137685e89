// Utility routines of the field book on the simulated terminal.
#include "utils.h"

#include <string.h>

#include <string>

#include "sim_terminal.h"

namespace {

class Utils : public SimTerminal {};

TEST_F(Utils, ReadlineKeepsAtMostMaxMinusOneBytesAndSkipsTheRest) {
    Put("lines.txt", "short\r\n" + std::string(50, 'L') + "\n\nlast");
    int* f = OpenFile("lines.txt", "r", "");
    ASSERT_NE(f, nullptr);
    char buf[16];
    memset(buf, '#', sizeof buf);
    EXPECT_EQ(readline(buf, f, '\n', 10), 5);
    EXPECT_STREQ(buf, "short");  // the carriage return is dropped
    EXPECT_EQ(readline(buf, f, '\n', 10), 9);
    EXPECT_EQ(std::string(buf), std::string(9, 'L'));
    EXPECT_EQ(buf[10], '#');                   // nothing past max
    EXPECT_EQ(readline(buf, f, '\n', 10), 0);  // the empty line, not the long line's rest
    EXPECT_EQ(readline(buf, f, '\n', 10), 4);  // a last line without its end
    EXPECT_STREQ(buf, "last");
    EXPECT_EQ(readline(buf, f, '\n', 10), -1);
    qz_fclose(f);
}

TEST_F(Utils, ReadlineUpToAnotherEndCharacter) {
    Put("rec.xml", "<限差 名称=\"国标二等\" />\n<next>");
    int* f = OpenFile("rec.xml", "r", "");
    char buf[64];
    EXPECT_GT(readline(buf, f, '>', sizeof buf), 0);
    EXPECT_STREQ(buf, "<限差 名称=\"国标二等\" /");
    qz_fclose(f);
}

TEST_F(Utils, SeekToLineFindsTheLineByItsBeginning) {
    Put("point.txt", "BM1 120.3000 30.1500\nBM12 121.0000 31.0000\n");
    int* f = OpenFile("point.txt", "r", "");
    char buf[200];
    ASSERT_EQ(SeekToLine(f, "BM12", 0, buf, sizeof buf), 1);
    char name[20], lon[20], lat[20];
    EXPECT_EQ(qz_sscanf(buf, "%s %s %s", name, lon, lat), 3);
    EXPECT_STREQ(lat, "31.0000");
    EXPECT_EQ(SeekToLine(f, "BM1 ", 0, buf, sizeof buf), 0);  // already past it
    EXPECT_EQ(SeekToLine(f, "BM1 ", 1, buf, sizeof buf), 1);  // from the start
    qz_fclose(f);
}

TEST_F(Utils, OpenFileModes) {
    EXPECT_EQ(OpenFile("none.txt", "r", ""), nullptr);
    EXPECT_EQ(OpenFile("none.txt", "r+", ""), nullptr);
    EXPECT_EQ(FileExists("none.txt"), 0);
    Put("f.txt", "0123456789");
    int* f = OpenFile("f.txt", "r+", nullptr);  // keeps the content, from the start
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(fgetc(f), '0');
    qz_fclose(f);
    f = OpenFile("f.txt", "a+", "");
    qz_fprintf(f, "A");
    qz_fclose(f);
    EXPECT_EQ(Slurp("f.txt"), "0123456789A");
    f = OpenFile("f.txt", "wb+", "");
    qz_fprintf(f, "new");
    qz_fclose(f);
    EXPECT_EQ(Slurp("f.txt"), "new");
    EXPECT_NE(FileExists("f.txt"), 0);
}

TEST(Texts, FormatStringIsCutAtItsBuffer) {
    EXPECT_STREQ(FormatString("%d:%d:%d", 9, 5, 7), "9:5:7");
    std::string big(3000, 'z');
    EXPECT_EQ(strlen(FormatString("%s", big.c_str())), 1023u);
    char buf[32];
    EXPECT_STREQ(FormatStringToBuff(buf, "%.2lf", 1.5), "1.50");
}

struct RoundCase {
    double value;
    int digits;
    double expected;
};

class JiouCutTable : public ::testing::TestWithParam<RoundCase> {};

TEST_P(JiouCutTable, RoundsTiesToEven) {
    const RoundCase& k = GetParam();
    EXPECT_EQ(JiouCut(k.value, k.digits), k.expected) << k.value << " to " << k.digits;
}

INSTANTIATE_TEST_SUITE_P(
    Table, JiouCutTable,
    ::testing::Values(RoundCase{2.5, 0, 2.0}, RoundCase{3.5, 0, 4.0}, RoundCase{-2.5, 0, -2.0},
                      RoundCase{0.125, 2, 0.12}, RoundCase{0.135, 2, 0.14},
                      RoundCase{1.005, 2, 1.0},   // binary 1.00499.. taken as the typed tie
                      RoundCase{1.015, 2, 1.02},  // binary 1.01499.. likewise
                      RoundCase{2.675, 2, 2.68}, RoundCase{1.2351, 2, 1.24},
                      RoundCase{1.2349, 2, 1.23}, RoundCase{101.5, 1, 101.5},
                      RoundCase{0.123455, 5, 0.12346}, RoundCase{0.123445, 5, 0.12344},
                      RoundCase{0.004, 2, 0.0}, RoundCase{0.005, 2, 0.0},
                      RoundCase{0.0051, 2, 0.01}, RoundCase{0.015, 2, 0.02},
                      RoundCase{123456789.5, 0, 123456790.0}, RoundCase{1e20, 2, 1e20},
                      RoundCase{0.0, 3, 0.0}));

struct AngleCase {
    const char* text;
    const char* message;  // null: accepted
};

class CheckAngleTable : public ::testing::TestWithParam<AngleCase> {};

TEST_P(CheckAngleTable, AcceptsOnlyDegreesMinutesSeconds) {
    const AngleCase& k = GetParam();
    const char* got = checkAngle(k.text);
    if (!k.message)
        EXPECT_EQ(got, nullptr) << k.text;
    else
        EXPECT_STREQ(got ? got : "(accepted)", k.message) << k.text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, CheckAngleTable,
    ::testing::Values(AngleCase{"120.3015", nullptr}, AngleCase{"30.59595", nullptr},
                      AngleCase{"32", nullptr}, AngleCase{"32.3", nullptr},
                      AngleCase{"180.0000", nullptr}, AngleCase{"120.6000", "分必须小于60"},
                      AngleCase{"32.7", "分必须小于60"}, AngleCase{"120.3060", "秒必须小于60"},
                      AngleCase{"181.0000", "度数不能大于180"},
                      AngleCase{"", "请输入度.分秒格式的角度"},
                      AngleCase{"12a.30", "请输入度.分秒格式的角度"},
                      AngleCase{"1200.30", "请输入度.分秒格式的角度"},
                      AngleCase{".30", "请输入度.分秒格式的角度"},
                      AngleCase{"-30.1", "请输入度.分秒格式的角度"}));

TEST(Grades, LevelAndLineTypeTexts) {
    EXPECT_EQ(GetLevel("国标二等"), LevelSecond);
    EXPECT_EQ(GetLevel("二等"), LevelSecond);
    EXPECT_EQ(GetLevel("国标一等"), LevelFirst);
    EXPECT_EQ(GetLevel("三等"), LevelThird);
    EXPECT_EQ(GetLevel("四等水准"), LevelFourth);
    EXPECT_EQ(GetLevel("自定义"), LevelProjectLimits);
    EXPECT_EQ(GetLevel("按项目限差"), LevelProjectLimits);
    EXPECT_EQ(GetLevel("水准"), LevelSecond);
    EXPECT_EQ(GetLevel(""), LevelNone);  // a project never given a grade
    EXPECT_EQ(GetLevel(nullptr), LevelNone);
    EXPECT_EQ(GetLineType("往返测"), 1);
    EXPECT_EQ(GetLineType("单程双转点"), 2);
    EXPECT_EQ(GetLineType("左右路线"), 2);
    EXPECT_EQ(GetLineType(""), 1);
}

TEST(Grades, ContainsComparesWholeGbkCharacters) {
    // "\xB5\xC8" (等) straddles the two characters "\xB6\xB5" and "\xC8\xAB"
    // byte-wise; it is not contained.
    EXPECT_EQ(GbkContains("\xB6\xB5\xC8\xAB", "\xB5\xC8"), 0);
    EXPECT_EQ(GbkContains("a\xB5\xC8", "\xB5\xC8"), 1);
}

TEST_F(Utils, CrcOfAFileChangesWithOneByte) {
    std::string content = "<测段 标志=\"GO0\">\n";
    for (int i = 0; i < 200; ++i) content += "line " + std::to_string(i) + "\n";
    Put("a.szd", content);
    Put("b.szd", content);
    short a = CRCCheckFile("a.szd");
    EXPECT_EQ(CRCCheckFile("b.szd"), a);
    for (size_t at : {size_t(0), content.size() / 2, content.size() - 1}) {
        std::string changed = content;
        changed[at] ^= 0x01;
        Put("b.szd", changed);
        EXPECT_NE(CRCCheckFile("b.szd"), a) << "byte " << at;
    }
    Put("b.szd", content + "x");
    EXPECT_NE(CRCCheckFile("b.szd"), a);
    EXPECT_EQ(CRCCheckFile("missing.szd"), 0);
}

TEST_F(Utils, MakejmfileWritesOneEncryptedLinePerLine) {
    Put("i20260303.txt", "i角检查\n12.5 13.25\n\nend");
    ASSERT_EQ(makejmfile("i20260303.txt"), 1);
    int* f = OpenFile("i20260303.jm", "r", "");
    ASSERT_NE(f, nullptr);
    const char* expected[] = {"i角检查", "12.5 13.25", "", "end"};
    short chain = 0;
    char line[256];
    for (int n = 1; n <= 4; ++n) {
        ASSERT_GE(readline(line, f, '\n', sizeof line), 0);
        EXPECT_EQ(strchr(line, ' '), nullptr);
        ASSERT_EQ(UnEncyptStr(line, n, &chain), 1);
        EXPECT_STREQ(line, expected[n - 1]);
    }
    EXPECT_EQ(readline(line, f, '\n', sizeof line), -1);
    qz_fclose(f);
    EXPECT_EQ(makejmfile("missing.txt"), 0);
}

}  // namespace
