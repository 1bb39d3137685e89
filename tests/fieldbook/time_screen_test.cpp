// Screens of the observation time query and of the condition form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"
#include "levelinfo.h"
#include "leveltime.h"

namespace {

// Rows from 1, compared as text; a mismatch prints the whole screen.
void ExpectRows(const sim::Screen& screen, int firstRow, const std::vector<std::string>& rows,
                const std::string& what) {
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(screen.Line(firstRow + (int)i), rows[i])
            << what << ", row " << firstRow + i << ":\n"
            << screen.Render();
}

// Non-zero when some screen of the run shows `text` on one of its rows.
bool Shown(const sim::Run& run, const std::string& text) {
    for (const sim::Screen& s : run.screens)
        for (int row = 1; row <= s.text.rows; ++row)
            if (s.Line(row).find(text) != std::string::npos) return true;
    return false;
}

// ---- observation time query ----

TEST(QueryTimeScreen, FormStartsWithTheDateAndShowsBothWindows) {
    sim::Harness h;
    LevelTime t(0, 0, 2009, 6, 21);
    sim::Run run =
        h.Play("39.54 Enter 116.23 Enter Enter Enter Enter Enter", [&] { return t.QueryTime(); });
    EXPECT_FALSE(run.exhausted);
    EXPECT_EQ(run.result, 1);
    ExpectRows(run.screens[0], 1,
               {"    观测时间查询", "纬度 ---------------", "经度+---------------",
                "  年2009------------", "  月6---------------", "  日21--------------"},
               "the form");
    ExpectRows(
        run.screens.back(), 2,
        {"纬度观测时间范围", "2009年6月21日------+", "上午观测时间       |", "05:17-10:16        |",
         "下午观测时间       |", "14:16-19:14        |", "+---按任意键继续---+"},
        "the windows");
    EXPECT_EQ(t.amStart, 5 * 60 + 17);
}

TEST(QueryTimeScreen, PositionsAndDatesTheFormRefusesOrTakes) {
    struct Case {
        const char* name;
        const char* script;
        int result;
        std::vector<std::string> shown;  // texts some screen shows
    } cases[] = {
        {"polar night says so instead of showing times",
         "70 Enter 116.23 Enter Enter Back 12 Enter Enter Enter",
         1,
         {"2009年12月21日", "无", "极夜,太阳不升起"}},
        {"south and west with a sign",
         "\"-33.52\" Enter \"-70.40\" Enter Enter Enter Enter Enter",
         1,
         {"2009年6月21日", "上午观测时间"}},
        {"latitude beyond the pole",
         "91 Enter Enter Back Back 39 Enter 116 Enter Enter Enter Enter Enter",
         1,
         {"纬度不能大于90", "2009年6月21日"}},
        {"year before 1900",
         "39 Enter 116 Enter Back Back Back Back 1899 Enter Enter Fn 4 Enter",
         0,
         {"输入年份不合要求"}},
        {"day 32",
         "39 Enter 116 Enter Enter Enter Back Back 32 Enter Enter Fn 4 Enter",
         0,
         {"输入日期不合要求"}},
        {"left from the function menu", "Fn 4 Enter", 0, {}},
    };
    sim::Harness h;
    for (const Case& c : cases) {
        LevelTime t(0, 0, 2009, 6, 21);
        sim::Run run = h.Play(c.script, [&] { return t.QueryTime(); });
        EXPECT_FALSE(run.exhausted) << c.name;
        EXPECT_EQ(run.result, c.result) << c.name;
        for (const std::string& text : c.shown)
            EXPECT_TRUE(Shown(run, text)) << c.name << ": " << text << "\n"
                                          << run.screens.back().Render();
    }
}

// ---- condition form ----

class ConditionForm : public ::testing::Test {
  protected:
    void SetUp() override { tianqi = 0; }
    sim::Harness h;
    clsLevelInfo info;
};

TEST_F(ConditionForm, OnlyTheFlaggedBoxes) {
    info.InitInfoFlag("110000000");
    sim::Run run = h.Play("2 Enter Enter", [&] { return info.GetInfo(); });
    EXPECT_FALSE(run.exhausted);
    EXPECT_EQ(run.result, 1);
    ExpectRows(run.screens[0], 1,
               {"    输入条件信息", "呈象0清晰、稳定 ----", "天气0晴-------------", "|"},
               "image and weather only");
    EXPECT_STREQ(info.image, "2欠清晰、稳定");  // hot key 2 without the menu
    EXPECT_STREQ(info.weather, "0晴");
    EXPECT_STREQ(info.cloud, "");
    EXPECT_STREQ(info.temperature, "");
    EXPECT_STREQ(info.time, "202612110900");
}

TEST_F(ConditionForm, AllNineWithTheTemperatureTexts) {
    info.InitInfoFlag("111111111");
    sim::Run run = h.Play(
        "Enter 25.5 Enter Enter Back Back Back Back \"+45.0\" Enter Enter Back Back Back Back "
        "Back \"+25.5\" Enter Enter Enter Enter Enter Enter Enter Enter",
        [&] { return info.GetInfo(); });
    EXPECT_FALSE(run.exhausted);
    EXPECT_EQ(run.result, 1);
    ExpectRows(
        run.screens[0], 1,
        {"    输入条件信息", "呈象0清晰、稳定 ----", "温度+---------------", "天气0晴-------------",
         "云量1云量0级--------", "太阳方向*无太阳-----", "风速*无风-----------",
         "风向 无-------------", "道路0柏油路---------", "土质0柏油-----------"},
        "nine boxes in their order");
    EXPECT_TRUE(Shown(run, "输入温度不合标准"));
    EXPECT_TRUE(Shown(run, "温度范围不适合观测"));
    const char* got[] = {info.image,         info.temperature,  info.weather,
                         info.cloud,         info.sunDirection, info.windSpeed,
                         info.windDirection, info.road,         info.soil};
    const char* want[] = {"0清晰、稳定", "+25.5", "0晴",     "1云量0级", "*无太阳",
                          "*无风",       " 无",   "0柏油路", "0柏油"};
    for (int i = 0; i < 9; ++i) EXPECT_STREQ(got[i], want[i]) << i;
}

TEST_F(ConditionForm, OvercastSetsTheCloudAndSunBoxesAndRefusesASunDirection) {
    info.InitInfoFlag("011100000");
    sim::Run run = h.Play("2 Enter Enter 0 Enter Left Enter", [&] { return info.GetInfo(); });
    EXPECT_FALSE(run.exhausted);
    EXPECT_EQ(run.result, 1);
    // Right after 2阴 the other two boxes show their new values.
    ExpectRows(run.screens[1], 2,
               {"天气2阴 ------------", "云量1云量7~8级------", "太阳方向*无太阳-----"},
               "after overcast");
    EXPECT_TRUE(Shown(run, "阴天和太阳方向冲突"));
    EXPECT_STREQ(info.weather, "2阴");
    EXPECT_STREQ(info.cloud, "1云量7~8级");
    EXPECT_STREQ(info.sunDirection, "*无太阳");
    EXPECT_EQ(tianqi, '2');

    // The next form starts from a clear sky and goes by it, not by the
    // overcast chosen before.
    run = h.Play("Enter Space 3 Enter 0 Enter", [&] { return info.GetInfo(); });
    EXPECT_FALSE(run.exhausted);
    EXPECT_EQ(run.result, 1);
    EXPECT_FALSE(Shown(run, "阴天和太阳方向冲突"));
    EXPECT_STREQ(info.weather, "0晴");
    EXPECT_STREQ(info.cloud, "3云量2级");
    EXPECT_STREQ(info.sunDirection, "0前方");
}

TEST_F(ConditionForm, WindListsAndLeaving) {
    info.InitInfoFlag("000000110");
    sim::Run run = h.Play("Space 9 Enter Space 2 Enter", [&] { return info.GetInfo(); });
    EXPECT_FALSE(run.exhausted);
    EXPECT_EQ(run.result, 1);
    EXPECT_TRUE(Shown(run, "9.8大风"));
    EXPECT_TRUE(Shown(run, "9. 无"));
    EXPECT_STREQ(info.windSpeed, "8大风");
    EXPECT_STREQ(info.windDirection, "1东北");

    // Leaving keeps the texts and stamps the time.
    info.InitInfoFlag("111111111");
    run = h.Play("Fn 4 Enter", [&] { return info.GetInfo(); });
    EXPECT_EQ(run.result, 0);
    EXPECT_STREQ(info.windSpeed, "8大风");
    EXPECT_STREQ(info.image, "");
    EXPECT_STREQ(info.time, "202612110900");
    EXPECT_EQ(yunliang, nullptr);  // nothing refers to the boxes of a closed form
    EXPECT_EQ(taiyang, nullptr);
}

}  // namespace
