// Observation time windows: the sun model and the windows it gives.
#include "leveltime.h"

#include <math.h>

#include <string>

#include "sim_terminal.h"

namespace {

class Time : public SimTerminal {};

std::string Clock(int minutes) {
    char text[16];
    snprintf(text, sizeof text, "%02d:%02d", minutes / 60, minutes % 60);
    return text;
}

TEST_F(Time, BeijingThroughTheYearToTheMinute) {
    struct Row {
        int month, day;
        const char *sunrise, *noon, *sunset, *amStart, *amEnd, *pmStart, *pmEnd;
    } rows[] = {
        {6, 21, "04:47", "12:16", "19:44", "05:17", "10:16", "14:16", "19:14"},
        {12, 21, "07:34", "12:12", "16:51", "08:04", "11:12", "13:12", "16:21"},
        // The windows around noon widen between March and April and narrow
        // again in October.
        {3, 31, "06:01", "12:18", "18:35", "06:31", "11:18", "13:18", "18:05"},
        {4, 1, "05:59", "12:18", "18:36", "06:29", "10:18", "14:18", "18:06"},
        {10, 1, "06:12", "12:04", "17:55", "06:42", "11:04", "13:04", "17:25"},
    };
    for (const Row& r : rows) {
        LevelTime t(39.54, 116.23, 2009, r.month, r.day);
        std::string what = std::to_string(r.month) + "-" + std::to_string(r.day);
        EXPECT_EQ(Clock(t.sunrise), r.sunrise) << what;
        EXPECT_EQ(Clock(t.noon), r.noon) << what;
        EXPECT_EQ(Clock(t.sunset), r.sunset) << what;
        EXPECT_EQ(Clock(t.amStart), r.amStart) << what;
        EXPECT_EQ(Clock(t.amEnd), r.amEnd) << what;
        EXPECT_EQ(Clock(t.pmStart), r.pmStart) << what;
        EXPECT_EQ(Clock(t.pmEnd), r.pmEnd) << what;
        EXPECT_EQ(t.year, 2009);
        EXPECT_TRUE(t.HasMorning() && t.HasAfternoon() && !t.IsPolarNight()) << what;
    }
}

TEST(TimeModel, TransAngleReadsDegreesMinutesAndTenthsOfSeconds) {
    struct Case {
        double in, out;
    } cases[] = {
        {39.54, 39.9},
        {116.23, 116 + 23 / 60.0},
        {39.54123, 39 + 54 / 60.0 + 123 / 36000.0},
        {0.0, 0.0},
        {180.0, 180.0},
        // The sign belongs to the whole angle: south and west.
        {-39.54, -39.9},
        {-0.30, -0.5},
        {-116.23123, -(116 + 23 / 60.0 + 123 / 36000.0)},
    };
    for (const Case& c : cases) EXPECT_NEAR(TransAngle(c.in), c.out, 1e-9) << c.in;
    EXPECT_TRUE(isnan(TransAngle(NAN)));
    EXPECT_EQ(TransAngle(1e300), 1e300);
}

TEST(TimeModel, DayCountAndRange) {
    EXPECT_EQ(FNday(2000, 1, 1, 12.0), 0.0);
    EXPECT_EQ(FNday(2009, 6, 21, 12.0), 3459.0);
    EXPECT_EQ(FNday(2000, 1, 1, 0.0), -0.5);
    EXPECT_EQ(FNday(1999, 12, 31, 12.0), -1.0);
    EXPECT_EQ(FNday(2000, 3, 1, 12.0), 60.0);  // 2000 is a leap year

    EXPECT_NEAR(FNrange(-1.0), tpi - 1.0, 1e-12);
    EXPECT_NEAR(FNrange(7.0), 7.0 - tpi, 1e-12);
    EXPECT_NEAR(FNrange(3 * tpi + 0.25), 0.25, 1e-9);
    EXPECT_EQ(FNrange(0.0), 0.0);

    // The stored constant, not the full-precision one.
    EXPECT_EQ(pi, 3.1415926535497);
    FNsun(0.0);
    EXPECT_NEAR(L, 280.461 * rads, 1e-12);
    EXPECT_NEAR(g, 357.528 * rads, 1e-12);
}

TEST_F(Time, MidnightSunHasATwelveHourHalfDay) {
    LevelTime beijing(39.54, 116.23, 2009, 6, 21);
    LevelTime north(70.00, 116.23, 2009, 6, 21);
    EXPECT_EQ(north.noon, beijing.noon);
    EXPECT_EQ(north.sunrise, north.noon - 720);
    EXPECT_EQ(north.sunset, north.sunrise);  // noon + 12 h, a day back
    EXPECT_EQ(north.amStart, north.sunrise + 30);
    EXPECT_EQ(north.amEnd, north.noon - 120);
    EXPECT_EQ(north.pmStart, north.noon + 120);
    // The afternoon runs until half an hour before the unreduced sunset,
    // not until a time before midnight that is negative.
    EXPECT_EQ(north.pmEnd, north.noon + 720 - 30);
    EXPECT_TRUE(north.HasMorning() && north.HasAfternoon() && !north.IsPolarNight());
}

TEST_F(Time, PolarNightHasNoWindowsAndNoGarbageTimes) {
    // North in December, south in June.
    struct Case {
        double lat;
        int month;
    } cases[] = {{70.00, 12}, {-70.00, 6}, {89.59, 12}};
    for (const Case& c : cases) {
        LevelTime t(c.lat, 116.23, 2009, c.month, 21);
        EXPECT_TRUE(t.IsPolarNight()) << c.lat;
        EXPECT_EQ(t.sunrise, t.noon) << c.lat;
        EXPECT_EQ(t.sunset, t.noon) << c.lat;
        EXPECT_FALSE(t.HasMorning()) << c.lat;
        EXPECT_FALSE(t.HasAfternoon()) << c.lat;
        EXPECT_GT(t.noon, 0);
        EXPECT_LT(t.noon, 1440);
    }
}

TEST_F(Time, SouthernLatitudesMirrorTheNorth) {
    // The December day in the south is about as long as the June day in the
    // north; noon does not depend on the latitude.
    LevelTime northJune(39.54, 116.23, 2009, 6, 21);
    LevelTime southDecember(-39.54, 116.23, 2009, 12, 21);
    LevelTime northDecember(39.54, 116.23, 2009, 12, 21);
    EXPECT_EQ(southDecember.noon, northDecember.noon);
    int southDay = southDecember.sunset - southDecember.sunrise;
    int northDay = northJune.sunset - northJune.sunrise;
    EXPECT_NEAR(southDay, northDay, 3);
    EXPECT_GT(southDay, 14 * 60);
    // South in December with the sun north of the equator: midnight sun.
    LevelTime southPole(-70.00, 116.23, 2009, 12, 21);
    EXPECT_EQ(southPole.sunrise, southPole.noon - 720);
}

TEST_F(Time, WesternLongitudesKeepTheirSign) {
    // A degree of longitude is four minutes of time: a position just west of
    // Greenwich has its noon later than one just east of it.
    LevelTime west(51.30, -0.30, 2009, 6, 21);
    LevelTime east(51.30, 0.30, 2009, 6, 21);
    EXPECT_NEAR(west.noon - east.noon, 4, 1);

    // Far west the afternoon falls on the next day of the UTC+8 clock: the
    // morning window is shown, the afternoon one is empty, no time lies
    // outside the day.
    LevelTime newYork(40.42, -74.00, 2009, 6, 21);
    EXPECT_GT(newYork.noon, 1440);
    EXPECT_TRUE(newYork.HasMorning());
    EXPECT_FALSE(newYork.HasAfternoon());
    // Sunrise 17:26 on the UTC+8 clock is 05:26 New York summer time.
    EXPECT_EQ(Clock(newYork.sunrise), "17:26");
    EXPECT_EQ(Clock(newYork.amStart), "17:56");
    EXPECT_GE(newYork.amStart, 0);
    EXPECT_LE(newYork.amEnd, 1439);
    EXPECT_LE(newYork.pmEnd, 1439);
}

TEST_F(Time, YearZeroTakesTodaysDateFromTheClock) {
    LevelTime t(39.54, 116.23, 0, 7, 9);  // the clock says 2026-03-03
    EXPECT_EQ(t.year, 2026);
    EXPECT_EQ(t.month, 3);
    EXPECT_EQ(t.day, 3);
    LevelTime same(39.54, 116.23, 2026, 3, 3);
    EXPECT_EQ(t.sunrise, same.sunrise);
    EXPECT_EQ(t.amEnd, same.amEnd);  // March: noon - 60
}

TEST(TimeModel, DateChecks) {
    const char* year = "输入年份不合要求";
    const char* month = "输入月份不合要求";
    const char* day = "输入日期不合要求";
    struct Case {
        const char* (*check)(const char*);
        const char* text;
        const char* message;
    } cases[] = {
        {checkyear, "1899", year},  {checkyear, "1900", nullptr}, {checkyear, "2009", nullptr},
        {checkyear, "", year},      {checkyear, nullptr, year},   {checkmonth, "0", month},
        {checkmonth, "1", nullptr}, {checkmonth, "12", nullptr},  {checkmonth, "13", month},
        {checkday, "0", day},       {checkday, "1", nullptr},     {checkday, "31", nullptr},
        {checkday, "32", day},      {checkday, "-3", day},
    };
    for (const Case& c : cases) {
        const char* got = c.check(c.text);
        EXPECT_STREQ(got, c.message) << (c.text ? c.text : "(null)");
    }
}

}  // namespace
