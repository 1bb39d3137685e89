// Observation conditions: flags, checks and the module state of the menus.
#include "levelinfo.h"

#include <string>

#include "sim_terminal.h"

namespace {

class Info : public SimTerminal {
  protected:
    void SetUp() override {
        SimTerminal::SetUp();
        tianqi = 0;
    }
};

TEST(InfoFlags, FlagStringSetsOneBitPerAskedCondition) {
    clsLevelInfo info;
    EXPECT_EQ(info.flags, 1023u);
    EXPECT_EQ(info.level, 1);
    EXPECT_STREQ(info.image, "");
    EXPECT_STREQ(info.time, "");

    struct Case {
        const char* text;
        unsigned flags;
    } cases[] = {
        {"110000000", InfoImage | InfoWeather},
        {"1", InfoImage},
        {"", 0},
        {nullptr, 0},
        {"111111111", 511},
        {"000000001", InfoTemperature},
        {"0000000011", InfoTemperature},  // a tenth character is not read
        {"0x0", InfoWeather},             // anything but '0' asks
    };
    for (const Case& c : cases) {
        EXPECT_EQ(info.InitInfoFlag(c.text), 1);
        EXPECT_EQ(info.flags, c.flags) << (c.text ? c.text : "(null)");
    }

    info.InitInfoFlag("110000000");
    EXPECT_EQ(info.CheckFlag(InfoImage | InfoWeather), 1);
    EXPECT_EQ(info.CheckFlag(InfoWeather), 1);
    EXPECT_EQ(info.CheckFlag(InfoImage | InfoCloud), 0);
    info.InitInfoFlag("1");
    EXPECT_EQ(info.CheckFlag(InfoImage | InfoWeather), 0);
}

TEST(InfoChecks, Temperatures) {
    const char* range = "温度范围不适合观测";
    const char* form = "输入温度不合标准";
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"+25.5", nullptr},
        {"-39.9", nullptr},
        {"+00.0", nullptr},
        {"+44.9", nullptr},
        {"25.5", form},
        {"+5.5", form},
        {"+25.50", form},
        {"", form},
        {nullptr, form},
        // Only digits around the point: "+2..5" is not a temperature.
        {"+2..5", form},
        {"+-1.5", form},
        {"++1.5", form},
        {"+25.+", form},
        {"+45.0", range},
        {"-40.0", range},
        {"+99", range},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(CheckWenDu(c.text), c.message) << (c.text ? c.text : "(null)");
}

TEST_F(Info, SunDirectionConflictsOnlyWithOvercast) {
    struct Case {
        char weather;
        const char* text;
        const char* message;
    } cases[] = {
        {'2', "0前方", "阴天和太阳方向冲突"},
        {'2', "*无太阳", nullptr},
        {'0', "0前方", nullptr},
        {'1', "7前左", nullptr},
        {0, "0前方", nullptr},
    };
    for (const Case& c : cases) {
        tianqi = c.weather;
        EXPECT_STREQ(CheckTaiYangFangXiang(c.text), c.message) << c.weather << c.text;
    }
}

TEST_F(Info, CloudMenuOffersNothingBeforeAWeatherIsChosen) {
    ASSERT_EQ(tianqi, 0);
    EXPECT_STREQ(YunLiangMenu(), "");
}

TEST_F(Info, NothingAskedReturnsAtOnceWithTheTimeStamped) {
    clsLevelInfo info;
    info.InitInfoFlag("");
    EXPECT_EQ(info.GetInfo(), 1);
    EXPECT_STREQ(info.time, "202603030905");
    EXPECT_STREQ(info.weather, "");
    EXPECT_EQ(yunliang, nullptr);
    EXPECT_EQ(taiyang, nullptr);
}

}  // namespace
