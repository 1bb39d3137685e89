// Reading tagged lines: prefix matching of GBK names, and broken lines.
#include "htxml.h"

#include <gtest/gtest.h>
#include <string.h>

#include <algorithm>
#include <string>

namespace {

TEST(HtXml, FirstAttributeWhoseNameBeginsWithTheText) {
    htXml x;
    ASSERT_EQ(x.ParseLine("\r\n  <水准尺 快尺号码=\"A123\" 快尺常数=\"301550\" 分划值=\"1cm\" "
                          "加密数据=\"QUJD1234x\" />"),
              4);
    EXPECT_STREQ(x.TagName(), "水准尺");
    EXPECT_STREQ(x.GetValue("快尺", ""), "A123");  // the first of two matches
    EXPECT_STREQ(x.GetValue("快尺常", ""), "301550");
    EXPECT_STREQ(x.GetValue("分划", "1"), "1cm");
    EXPECT_STREQ(x.GetValue("慢尺", "none"), "none");
    EXPECT_STREQ(x.GetValue("", "none"), "A123");
    char small[4];
    EXPECT_STREQ(x.GetStringValue(small, "快尺常", ""), "301");
    char gbk[4];
    x.ParseLine("<a 名=\"测站点\">");
    EXPECT_STREQ(x.GetStringValue(gbk, "名", ""), "测");  // cut at a whole character
    EXPECT_STREQ(x.GetStringValue(gbk, "无", "默"), "默");
}

TEST(HtXml, ValuesWithBlanksAndContentAfterTheTag) {
    htXml x;
    ASSERT_EQ(x.ParseLine("<观测事件 标记=\"CD \" 时间=\"202603030905\">\n"), 2);
    EXPECT_STREQ(x.GetValue("标记", ""), "CD ");
    ASSERT_EQ(x.ParseLine("<数据 标志=\"末站\">1 2 3</数据>"), 1);
    EXPECT_STREQ(x.GetValue("标志", ""), "末站");
    EXPECT_STREQ(x.TagName(), "数据");
}

struct Broken {
    const char* line;
    int count;
    const char* name;
    const char* value;  // null: the default
};

class BrokenLines : public ::testing::TestWithParam<Broken> {};

TEST_P(BrokenLines, ReadAsFarAsTheyMakeSense) {
    const Broken& k = GetParam();
    htXml x;
    EXPECT_EQ(x.ParseLine(k.line), k.count) << k.line;
    const char* v = x.GetValue(k.name, nullptr);
    if (k.value)
        EXPECT_STREQ(v ? v : "(default)", k.value) << k.line;
    else
        EXPECT_EQ(v, nullptr) << k.line;
}

INSTANTIATE_TEST_SUITE_P(
    Table, BrokenLines,
    ::testing::Values(Broken{"<t a=\"1\" b=\"open", 2, "b", "open"},
                      Broken{"<t a=\"1\" b=\"2\"", 2, "b", "2"},
                      Broken{"<t flag a=\"1\">", 1, "flag", nullptr},
                      Broken{"<t flag a=\"1\">", 1, "a", "1"},
                      Broken{"<t a= b=\"2\" />", 1, "b", "2"}, Broken{"<t a=>", 0, "a", nullptr},
                      Broken{"<t a", 0, "a", nullptr}, Broken{"<t \"x\" a=\"1\"", 1, "a", "1"},
                      Broken{"no tag a=\"1\"", 0, "a", nullptr}, Broken{"", 0, "a", nullptr},
                      Broken{"<", 0, "a", nullptr}, Broken{"<t =\"v\">", 1, "", "v"}));

TEST(HtXml, LongLinesAndManyAttributesStayInside) {
    std::string line = "<t";
    for (int i = 0; i < 200; ++i)
        line += " a" + std::to_string(i) + "=\"" + std::string(20, 'v') + "\"";
    htXml x;
    int n = x.ParseLine(line.c_str());
    EXPECT_GT(n, 0);
    EXPECT_LE(n, htXml::kMaxAttrs);
    EXPECT_STREQ(x.GetValue("a0", ""), std::string(20, 'v').c_str());
    EXPECT_EQ(x.ParseLine(nullptr), 0);
    EXPECT_STREQ(x.GetValue("a0", "gone"), "gone");
}

TEST(HtXml, LineLongerThanTheBufferIsCutInsideIt) {
    // Found by fuzzing: the terminator of a cut line was written one byte
    // past the buffer.
    for (size_t len : {size_t(htXml::kLine - 3), size_t(htXml::kLine - 2), size_t(htXml::kLine),
                       size_t(htXml::kLine + 50)}) {
        std::string line = "<t a=\"" + std::string(len, 'v');
        htXml x;
        ASSERT_EQ(x.ParseLine(line.c_str()), 1) << len;
        EXPECT_EQ(strlen(x.GetValue("a", "")), std::min(len, size_t(htXml::kLine - 2 - 6))) << len;
    }
}

}  // namespace
