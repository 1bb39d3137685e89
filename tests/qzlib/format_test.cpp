// The formatter and the number conversions.
#include <string.h>

#include <string>

#include "qzlibex.h"
#include "simroot.h"

namespace {

std::string Fmt(const char* fmt, ...) {
    char buf[1024];
    memset(buf, 'Z', sizeof buf);
    va_list args;
    va_start(args, fmt);
    int n = _vsprintf1(buf, 255, fmt, args);
    va_end(args);
    EXPECT_EQ((size_t)n, strlen(buf)) << fmt;
    return buf;
}

TEST(Sprintf, MixedLineReturnsItsLength) {
    char buf[64];
    EXPECT_EQ(_sprintfEx(buf, "%5.2f|%-4d|%04x", 3.14159, 7, 255), 14);
    EXPECT_STREQ(buf, "3.14|7   |00ff");
}

TEST(Sprintf, Conversions) {
    int n = -1;
    const char* null_text = nullptr;
    EXPECT_EQ(Fmt("%#o", 8), "010");
    EXPECT_EQ(Fmt("%#X", 255), "0XFF");
    EXPECT_EQ(Fmt("%#x", 255), "0xff");
    EXPECT_EQ(Fmt("%+d", 5), "+5");
    EXPECT_EQ(Fmt("% d", 5), " 5");
    EXPECT_EQ(Fmt("%d", -2147483647 - 1), "-2147483648");
    EXPECT_EQ(Fmt("%u", 4294967295u), "4294967295");
    EXPECT_EQ(Fmt("%08.3d", -42), "-0000042");
    EXPECT_EQ(Fmt("%-6i|", -42), "-42   |");
    EXPECT_EQ(Fmt("%06d", -42), "-00042");
    EXPECT_EQ(Fmt("%s", null_text), "<NULL>");
    EXPECT_EQ(Fmt("%.3s", "abcdef"), "abc");
    EXPECT_EQ(Fmt("%5s|%-5s|", "ab", "cd"), "   ab|cd   |");
    EXPECT_EQ(Fmt("%*d|%-*d|", 4, 1, 3, 2), "   1|2  |");
    EXPECT_EQ(Fmt("%*d|", -3, 1), "1  |");
    EXPECT_EQ(Fmt("%.*s", -2, "abc"), "");
    EXPECT_EQ(Fmt("%3c|%-3C|", 'a', 'b'), "  a|b  |");
    EXPECT_EQ(Fmt("%hd %hu", 0x1FFFF, 0x1FFFF), "-1 65535");
    EXPECT_EQ(Fmt("%qd|%d", 0x100000005LL, 9), "5|9");
    EXPECT_EQ(Fmt("%p", (void*)0xBEEF), "0000beef");
    EXPECT_EQ(Fmt("%.2f %.0f %f", -0.5, 2.7, 3.9), "-0.50 2 3");
    EXPECT_EQ(Fmt("ab%ncd", &n), "abcd");
    EXPECT_EQ(n, 2);
    EXPECT_EQ(Fmt("100%% %y %"), "100% %y %");
}

// No width or precision can run a field past QZ_FIELD_MAX characters.
TEST(Sprintf, HugeWidthsAreCapped) {
    EXPECT_EQ(Fmt("%99999d", 1).size(), (size_t)QZ_FIELD_MAX);
    EXPECT_EQ(Fmt("%.99999d", 1).size(), (size_t)QZ_FIELD_MAX);
    EXPECT_EQ(Fmt("%999999999999s|", "x").size(), (size_t)QZ_FIELD_MAX + 1);
    EXPECT_EQ(Fmt("%.99f", 0.25).size(), 11u);  // nine decimals at most
}

TEST(Sprintf, BoundedFormStopsAtTheBuffer) {
    char buf[8];
    memset(buf, 'Z', sizeof buf);
    EXPECT_EQ(_snprintfEx(buf, 6, "%s-%d", "abcdef", 12345), 5);
    EXPECT_STREQ(buf, "abcde");
    EXPECT_EQ(buf[6], 'Z');
}

TEST(Number, FieldsAndBases) {
    struct Case {
        int num, base, size, precision, type;
        const char* text;
    } cases[] = {
        {0, 10, -1, -1, 0, "0"},
        {255, 2, -1, -1, 0, "11111111"},
        {35, 36, 3, -1, QZ_LARGE, "  Z"},
        {-1, 16, -1, -1, 0, "ffffffff"},
        {-7, 10, 4, -1, QZ_SIGN | QZ_ZEROPAD, "-007"},
        {7, 10, 4, -1, QZ_SIGN | QZ_ZEROPAD | QZ_LEFT, "7   "},
        {9, 8, 5, 3, QZ_SPECIAL, " 0011"},
    };
    for (const Case& c : cases) {
        char buf[64];
        char* end = number(buf, c.num, c.base, c.size, c.precision, c.type);
        ASSERT_NE(end, nullptr);
        *end = '\0';
        EXPECT_STREQ(buf, c.text) << c.num << " base " << c.base;
    }
    char buf[8];
    EXPECT_EQ(number(buf, 1, 1, -1, -1, 0), nullptr);
    EXPECT_EQ(number(buf, 1, 37, -1, -1, 0), nullptr);
}

TEST(DoubleToStr, TruncatesAfterTheBias) {
    struct Case {
        double value;
        int dot;
        const char* text;
    } cases[] = {
        {0, 3, "0.000"},
        {0, 0, "0"},
        {1.005, 2, "1.00"},
        {3.14159, 2, "3.14"},
        {-0.5, 1, "-0.5"},
        {2.7, 0, "2"},
        {-2.7, 0, "-2"},
        {2.99999999, 2, "3.00"},
        {-2.99999999, 2, "-3.00"},  // the bias acts on both signs
        {0.1, 8, "0.10000009"},     // the bias shows in the eighth decimal
        {123.456, -1, "123"},
        {4294967296.5, 1, "4294967296.5"},  // beyond 31 bits
        {-1e17, 0, "-100000000000000000"},
        {1e300, 2, "inf"},
        {-1e300, 2, "-inf"},
        {0.0 / 0.0, 2, "nan"},
    };
    for (const Case& c : cases) {
        char buf[QZ_DOUBLE_TEXT];
        memset(buf, 'Z', sizeof buf);
        EXPECT_STREQ(_DoubleToStr(buf, c.value, c.dot), c.text) << c.value << " dot " << c.dot;
    }
}

TEST(Atof, SignDigitsAndPointOnly) {
    struct Case {
        const char* text;
        double value;
    } cases[] = {
        {"-12.50", -12.5}, {"+3", 3}, {"1e3", 1},  {" 5", 0},
        {"7.25xyz", 7.25}, {"", 0},   {".5", 0.5},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(_atof((char*)c.text), c.value) << c.text;
    EXPECT_EQ(_atof(nullptr), 0);
}

TEST(Arithmetic, DivisionAndHelpers) {
    EXPECT_EQ(_div(100, 7), 14u);
    EXPECT_EQ(mod(100, 7), 2u);
    EXPECT_EQ(_div(0xFFFFFFFFu, 1), 0xFFFFFFFFu);
    EXPECT_EQ(_div(0xFFFFFFFFu, 0x80000000u), 1u);
    EXPECT_EQ(mod(0xFFFFFFFFu, 0x80000000u), 0x7FFFFFFFu);
    EXPECT_EQ(_div(3, 5), 0u);
    EXPECT_EQ(_div(42, 0), 0u);
    EXPECT_EQ(mod(42, 0), 42u);
    EXPECT_EQ(_div(0, 0), 0u);
    EXPECT_EQ(mod(0, 0), 0u);

    const char* s = "123abc";
    EXPECT_EQ(skip_atoi(&s), 123);
    EXPECT_STREQ(s, "abc");
    const char* big = "99999999999999";
    EXPECT_EQ(skip_atoi(&big), 2147483647);
    EXPECT_EQ(QZ_STRNLEN("abcdef", 4), 4u);
    EXPECT_EQ(QZ_STRNLEN("ab", 4), 2u);
}

class ScreenFormat : public SimRoot {};

// The screen formatter prints line by line from the cursor and leaves the
// cursor behind the last line.
TEST_F(ScreenFormat, PrintsLinesAndMovesTheCursor) {
    EXPECT_EQ(_sprintfxy(8, 0, 1, "A=%d\nB=%s", 12, "xy"), 4);
    simos::TextScreen screen = simos::Text();
    EXPECT_EQ(screen.text[0].substr(0, 6), " A=12 ");
    EXPECT_EQ(screen.text[1].substr(0, 5), "B=xy ");
    uint8 x = 0, y = 0;
    _GetCursor(&x, &y);
    EXPECT_EQ(x, 32);
    EXPECT_EQ(y, 16 + 14);
}

// A line longer than the line buffer is cut, not written past the buffer.
TEST_F(ScreenFormat, OverlongLineIsCut) {
    std::string line(600, 'x');
    _toxy(0, 14);
    EXPECT_EQ(_sprintfxy(0, 0, 1, "%s%s", line.c_str(), line.c_str()), 255);
    EXPECT_EQ(simos::Text().text[0], std::string(20, 'x'));
}

}  // namespace
