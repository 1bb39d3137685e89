// Time texts from the simulated terminal's clock.
#include "timefmt.h"

#include <string.h>

#include <string>

#include "sim_terminal.h"

namespace {

struct tm At(int year, int mon, int day, int hour, int min, int sec) {
    struct tm t;
    memset(&t, 0, sizeof t);
    t.tm_year = year - 1900;
    t.tm_mon = mon - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = min;
    t.tm_sec = sec;
    return t;
}

struct FormatCase {
    const char* format;
    unsigned size;
    const char* text;  // what the buffer holds
    unsigned result;
};

class Strftime : public ::testing::TestWithParam<FormatCase> {};

TEST_P(Strftime, FormatsAndCuts) {
    const FormatCase& k = GetParam();
    struct tm t = At(2026, 3, 3, 9, 5, 7);
    char buf[64];
    memset(buf, '#', sizeof buf);
    EXPECT_EQ(qz_strftime(buf, k.size, k.format, &t), k.result) << k.format;
    EXPECT_STREQ(buf, k.text) << k.format;
    EXPECT_EQ(buf[k.size], '#') << "wrote past the size";
}

INSTANTIATE_TEST_SUITE_P(
    Table, Strftime,
    ::testing::Values(FormatCase{"%H%M%S", 40, "090507", 6},
                      FormatCase{"%d %H %M %S", 40, "03 09 05 07", 11},
                      FormatCase{"%Y%y%m%d%H%M", 40, "20262603030905", 14},
                      FormatCase{"%Y%y%m%d%H%M", 15, "20262603030905", 14},  // just fits
                      FormatCase{"%Y%y%m%d%H%M", 14, "2026260303090", 0},    // one too many
                      FormatCase{"%Y年%m月%d日", 40, "2026年03月03日", 14},
                      FormatCase{"%x%%%q", 40, "%x%%q", 5}, FormatCase{"100%", 40, "100%", 4},
                      FormatCase{"abc", 1, "", 0}, FormatCase{"", 1, "", 0}));

TEST(Strftime, SizeZeroWritesNothing) {
    struct tm t = At(2026, 3, 3, 9, 5, 7);
    char buf[2] = {'#', '#'};
    EXPECT_EQ(qz_strftime(buf, 0, "%Y", &t), 0u);
    EXPECT_EQ(buf[0], '#');
}

TEST(Strfmt, FixedWidthDigitsDropHigherDigits) {
    char buf[40];
    EXPECT_EQ(strfmt(buf, "%2|%4|%1|%0|%3", 12345, 7, 98, "点", 5), 0);
    EXPECT_STREQ(buf, "45|0007|8|点|005");
    strfmt(buf, "50%");
    EXPECT_STREQ(buf, "50%");
}

class Clock : public SimTerminal {};

TEST_F(Clock, GetTimeFillsTheSharedRecord) {
    struct tm* t = nullptr;
    EXPECT_EQ(GetTime(&t), 1);
    ASSERT_EQ(t, &TheTime);
    EXPECT_EQ(t->tm_year, 126);
    EXPECT_EQ(t->tm_mon, 2);
    EXPECT_EQ(t->tm_mday, 3);
    EXPECT_EQ(t->tm_hour, 9);
    EXPECT_EQ(t->tm_min, 5);
    EXPECT_EQ(t->tm_sec, 7);
}

TEST_F(Clock, FormattedTimeIsCutAtNineteenCharacters) {
    char buf[40];
    memset(buf, '#', sizeof buf);
    EXPECT_EQ(sz_getformattime("%Y-%m-%d %H:%M:%S", buf), buf);
    EXPECT_STREQ(buf, "2026-03-03 09:05:07");
    EXPECT_STREQ(sz_getformattime("%Y%m%d%H%M%S%Y%m%d", strTime), "2026030309050720260");
    EXPECT_EQ(buf[20], '#');
}

TEST_F(Clock, SetTimeRoundTrips) {
    struct tm t = At(2027, 12, 31, 23, 59, 58);
    EXPECT_EQ(SetTime(&t), 1);
    char buf[20];
    EXPECT_STREQ(sz_getformattime("%Y%m%d%H%M%S", buf), "20271231235958");
}

}  // namespace
