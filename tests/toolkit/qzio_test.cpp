// Formatted file and string I/O on the simulated terminal's files.
#include "qzio.h"

#include <string.h>

#include <string>

#include "sim_terminal.h"

namespace {

// ---- scanner: integer conversions ----

struct IntCase {
    const char* format;
    const char* input;
    int result;
    int a, b, c;  // fields; unassigned ones keep -777
};

class ScanInts : public ::testing::TestWithParam<IntCase> {};

TEST_P(ScanInts, StoresFieldsAndCount) {
    const IntCase& k = GetParam();
    int a = -777, b = -777, c = -777;
    EXPECT_EQ(qz_sscanf(k.input, k.format, &a, &b, &c), k.result) << k.format << " on " << k.input;
    EXPECT_EQ(a, k.a) << k.format;
    EXPECT_EQ(b, k.b) << k.format;
    EXPECT_EQ(c, k.c) << k.format;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ScanInts,
    ::testing::Values(
        IntCase{"%d %d", "12 34", 2, 12, 34, -777}, IntCase{"%d-%d", "5-3", 2, 5, 3, -777},
        IntCase{"%4x%d", "1A2B3", 2, 0x1A2B, 3, -777},
        IntCase{"%d.%02d%d", "12.3045", 3, 12, 30, 45}, IntCase{"%d", "", -1, -777, -777, -777},
        IntCase{"%d", "   ", -1, -777, -777, -777}, IntCase{"%d", "abc", 0, -777, -777, -777},
        IntCase{"%d", "-", 0, -777, -777, -777},
        IntCase{"%d%d", "7", 1, 7, -777, -777},  // input ends after a field
        IntCase{"%i %i %i", "0x1f 017 99", 3, 31, 15, 99},
        IntCase{"%i", "-0X10", 1, -16, -777, -777},
        IntCase{"%o", "178", 1, 15, -777, -777},  // 8 does not fit octal
        IntCase{"%x %X", "0xff Ab", 2, 255, 0xAB, -777},
        IntCase{"%x", "x12", 0, -777, -777, -777},  // 'x' only after a leading 0
        IntCase{"%d", "+42", 1, 42, -777, -777},
        IntCase{"%d%d", "1-2", 2, 1, -2, -777},  // a sign only first
        IntCase{"%3d%d", "123456", 2, 123, 456, -777}, IntCase{"%*d %d", "1 2", 1, 2, -777, -777},
        IntCase{"%u", "4294967", 1, 4294967, -777, -777},
        IntCase{"%d,%d", "1;2", 1, 1, -777, -777},  // literal mismatch ends the scan
        IntCase{"a%%b%d", "a%b9", 1, 9, -777, -777},
        IntCase{"%d %d", "1", 1, 1, -777, -777},    // whitespace at end of input is no failure
        IntCase{"x%d", "", -1, -777, -777, -777},   // literal on empty input
        IntCase{"%", "1", -1, -777, -777, -777}));  // format ends inside a directive

TEST(Scanner, EndOfInputAfterSuppressedConversionGivesAssignedCount) {
    // One conversion completed (suppressed), so the failure gives the count 0.
    int a = -1;
    EXPECT_EQ(qz_sscanf("5", "%*d %d", &a), 0);
    EXPECT_EQ(a, -1);
}

TEST(Scanner, SizeFlagsStoreOnlyTheirWidth) {
    struct {
        long l;
        short h[2];
        signed char hh[4];
    } v;
    memset(&v, 0x5A, sizeof v);
    EXPECT_EQ(qz_sscanf("70000 70000 300", "%ld %hd %hhd", &v.l, &v.h[0], &v.hh[0]), 3);
    EXPECT_EQ(v.l, 70000);
    EXPECT_EQ(v.h[0], (short)70000);
    EXPECT_EQ(v.h[1], 0x5A5A);  // the neighbour is untouched
    EXPECT_EQ(v.hh[0], (signed char)300);
    EXPECT_EQ(v.hh[1], 0x5A);
}

TEST(Scanner, Numbers) {
    double d = 0;
    float f = 0;
    EXPECT_EQ(qz_sscanf("12.5 -0.25", "%lf %f", &d, &f), 2);
    EXPECT_EQ(d, 12.5);
    EXPECT_EQ(f, -0.25f);
    // At most one point; the second stays for the next directive.
    int rest = 0;
    EXPECT_EQ(qz_sscanf("1.2.3", "%lf.%d", &d, &rest), 2);
    EXPECT_EQ(d, 1.2);
    EXPECT_EQ(rest, 3);
    EXPECT_EQ(qz_sscanf(".", "%lf", &d), 0);
    EXPECT_EQ(qz_sscanf("123456789012345678", "%lf%d", &d, &rest), 2);
    EXPECT_EQ(d, 123456789012345.0);  // width 15
    EXPECT_EQ(rest, 678);
}

TEST(Scanner, Strings) {
    char a[16], b[16];
    EXPECT_EQ(qz_sscanf("  first second", "%s", a), 1);
    EXPECT_STREQ(a, "first");
    EXPECT_EQ(qz_sscanf("abcdef gh", "%3s%s", a, b), 2);
    EXPECT_STREQ(a, "abc");
    EXPECT_STREQ(b, "def");
    // The whitespace ending a string is consumed: %c then sees the next one.
    EXPECT_EQ(qz_sscanf("ab  c", "%s%c", a, b), 2);
    EXPECT_STREQ(a, "ab");
    EXPECT_EQ(b[0], ' ');
    // GBK bytes are ordinary characters.
    EXPECT_EQ(qz_sscanf("点名 BM1", "%s %s", a, b), 2);
    EXPECT_STREQ(a, "点名");
    EXPECT_STREQ(b, "BM1");
}

TEST(Scanner, Chars) {
    char c[8];
    memset(c, '#', sizeof c);
    EXPECT_EQ(qz_sscanf(" xyz", "%3c", c), 1);
    EXPECT_EQ(std::string(c, 4), " xy#");  // whitespace included, not terminated
    int n = 0;
    memset(c, '#', sizeof c);
    // The pending character after an integer is the first of the characters.
    EXPECT_EQ(qz_sscanf("12ab", "%d%2c", &n, c), 2);
    EXPECT_EQ(std::string(c, 3), "ab#");
    EXPECT_EQ(qz_sscanf("a", "%2c", c), -1);  // not enough input
    EXPECT_EQ(qz_sscanf("abcdefghijklmnopqrstuvwxyz!", "%*20c%c", c), 1);
    EXPECT_EQ(c[0], 'u');
}

TEST(Scanner, ScanSets) {
    long n = 0;
    char word[32];
    EXPECT_EQ(qz_sscanf("17\" x=\"y\">word tail", "%ld%*[^>]>%s", &n, word), 2);
    EXPECT_EQ(n, 17);
    EXPECT_STREQ(word, "word");
    char a[8], b[8];
    EXPECT_EQ(qz_sscanf("aabbc", "%[ab]%s", a, b), 2);
    EXPECT_STREQ(a, "aabb");
    EXPECT_STREQ(b, "c");
    EXPECT_EQ(qz_sscanf("xyz", "%[ab]", a), 0);
    EXPECT_EQ(qz_sscanf("abcd", "%2[a-z]", a), 1);  // '-' is an ordinary member
    EXPECT_STREQ(a, "a");
    EXPECT_EQ(qz_sscanf("aaaa", "%3[a]", a), 1);
    EXPECT_STREQ(a, "aaa");
    EXPECT_EQ(qz_sscanf("  a", "%[a]", a), 0);  // no whitespace skipped
    EXPECT_EQ(qz_sscanf("ab", "%[ab", a), 1);   // unclosed set runs to the format's end
    EXPECT_STREQ(a, "ab");
}

TEST(Scanner, VectorFormRefusesDirectivesBeyondItsDestinations) {
    int a = 0;
    void* dest[] = {&a};
    const char* text = "1 2 3";
    EXPECT_EQ(_getf_vector(_sgetb, (intptr_t)&text, "%d %d %d", dest, 1), 1);
    EXPECT_EQ(a, 1);
}

TEST(Characters, StruprLeavesGbkAlone) {
    char s[] = "abc测站xyz";
    EXPECT_STREQ(strupr(s), "ABC测站XYZ");
    EXPECT_EQ(isdigit('7'), 1);
    EXPECT_EQ(isdigit('a'), 0);
    EXPECT_EQ(isdigit((char)0xB2), 0);
    for (char c : std::string(" \t\n\v\f\r")) EXPECT_EQ(isspace(c), 1);
    EXPECT_EQ(isspace('x'), 0);
    EXPECT_EQ(isspace((char)0xA0), 0);
}

// ---- files ----

class QzFiles : public SimTerminal {};

TEST_F(QzFiles, AppendModeAddsToTheEnd) {
    int* f = qz_fopen("log.txt", "w");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(qz_fprintf(f, "first %d\n", 1), 1);
    qz_fclose(f);
    f = qz_fopen("log.txt", "a");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(qz_fprintf(f, "second %s\n", "测站"), 1);
    qz_fclose(f);
    EXPECT_EQ(Slurp("log.txt"), "first 1\nsecond \xB2\xE2\xD5\xBE\n");
}

TEST_F(QzFiles, WriteModeReplacesALongerOldFile) {
    Put("a.txt", "a long old content\n");
    int* f = qz_fopen("a.txt", "W");
    ASSERT_NE(f, nullptr);
    qz_fprintf(f, "new");
    qz_fclose(f);
    EXPECT_EQ(Slurp("a.txt"), "new");
}

TEST_F(QzFiles, ReadModeNeedsAnExistingFile) {
    EXPECT_EQ(qz_fopen("missing.txt", "r"), nullptr);
    EXPECT_EQ(qz_fopen(nullptr, "r"), nullptr);
    EXPECT_EQ(qz_fprintf(nullptr, "x"), 0);
    EXPECT_EQ(fgetc((int*)nullptr), -1);
    EXPECT_NE(feof((int*)nullptr), 0);
}

TEST_F(QzFiles, LongTextIsWrittenWhole) {
    std::string big(5000, 'x');
    int* f = qz_fopen("big.txt", "w");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(qz_fprintf(f, "<%s>", big.c_str()), 1);
    qz_fclose(f);
    EXPECT_EQ(Slurp("big.txt"), "<" + big + ">");
}

TEST_F(QzFiles, FscanfLeavesThePositionAfterTheLookAhead) {
    Put("n.txt", "12 34;rest");
    int* f = qz_fopen("n.txt", "r");
    ASSERT_NE(f, nullptr);
    int a = 0, b = 0;
    EXPECT_EQ(qz_fscanf(f, "%d %d", &a, &b), 2);
    EXPECT_EQ(a, 12);
    EXPECT_EQ(b, 34);
    EXPECT_EQ(fgetc(f), 'r');  // ';' was read and not given back
    qz_fclose(f);
}

TEST_F(QzFiles, CharacterStreamsCopyAFileExactly) {
    std::string content("line 1\n\xB2\xE2\xD5\xBE\0end", 15);
    content.push_back('\xFF');
    Put("src.bin", content);
    int* in = qz_fopen("src.bin", "r");
    int* out = qz_fopen("dst.bin", "w");
    ASSERT_NE(in, nullptr);
    ASSERT_NE(out, nullptr);
    while (!feof(in)) EXPECT_NE(fputc(fgetc(in), out), -1);
    EXPECT_EQ(fgetc(in), -1);
    qz_fclose(in);
    qz_fclose(out);
    EXPECT_EQ(Slurp("dst.bin"), content);
}

TEST_F(QzFiles, HandleServesTheFileServicesToo) {
    int* f = qz_fopen("mix.txt", "w");
    ASSERT_NE(f, nullptr);
    char raw[] = "raw";
    EXPECT_EQ(_Fwrite(raw, 3, f), 3);
    qz_fprintf(f, "+%d", 5);
    fputc('!', f);
    EXPECT_EQ(_Lseek(f, 0, 0), 0u);
    char back[8] = {0};
    EXPECT_EQ(_Fread(back, 7, f), 6u);  // all there is
    EXPECT_STREQ(back, "raw+5!");
    EXPECT_EQ(_Fclose(f), 0);
}

}  // namespace
