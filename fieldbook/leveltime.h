// Observation time windows of a day: precise leveling is observed from half
// an hour after sunrise until some time before noon, and from some time
// after noon until half an hour before sunset. LevelTime computes sunrise,
// noon and sunset for a date and a position from an approximate model of the
// sun's position, derives the two windows and shows them.
//
// Times are minutes after midnight on the terminal's clock, which runs on
// UTC+8. Positions are given in the angle form DDD.MMSSs (39.54123 is
// 39 deg 54 min 12.3 s); north and east are positive, south and west
// negative, the sign applying to the whole angle (-39.54 is 39 deg 54 min
// south).
//
// Days without a window:
//  - polar night (the sun stays below the horizon): sunrise, noon and
//    sunset are the same minute, both windows are empty, and ShowTime says
//    so instead of showing times;
//  - midnight sun (the sun stays above it): the half-day is 12 hours,
//    sunrise is noon - 12 h and sunset noon + 12 h reduced by a day, and
//    the afternoon window runs until half an hour before that unreduced
//    sunset.
// The windows are cut to the given date (00:00 to 23:59 on the UTC+8 clock):
// for a far western position the afternoon may fall on the next day there,
// and that window is then empty. A window is empty when its start is not
// before its end (HasMorning, HasAfternoon).
#pragma once

class LevelTime {
  public:
    // Calls InitTime with the same arguments.
    LevelTime(double lat, double lon, int year, int month, int day);

    // Computes every member for the position (DDD.MMSSs) and the date;
    // year 0 takes today's date from the device clock (month and day too).
    void InitTime(double lat, double lon, int year, int month, int day);
    // Message box (paged-text style) with the date and both windows, titled
    // `title` (may be null).
    void ShowTime(const char* title);
    // Form "观测时间查询" for latitude, longitude and date (starting with this
    // object's date), then InitTime and ShowTime("观测时间范围").
    // Returns 1 when the windows were shown, 0 when the form was left.
    int QueryTime();

    // Non-zero when the window holds at least one minute.
    int HasMorning() const { return amStart < amEnd; }
    int HasAfternoon() const { return pmStart < pmEnd; }
    // Non-zero when the sun does not rise on this day at this position.
    int IsPolarNight() const { return sunrise == noon && sunset == noon; }

    // Minutes after midnight (UTC+8).
    int noon;     // local solar noon
    int sunrise;  // sunrise
    int sunset;   // sunset; reduced by a day when it lies after midnight
    int year, month, day;
    int amStart;  // sunrise + 30
    int pmStart;  // noon + 120 in months 4 to 9, noon + 60 otherwise
    int amEnd;    // noon - 120 in months 4 to 9, noon - 60 otherwise
    int pmEnd;    // unreduced sunset - 30, at most 23:59
};

// Constants and state of the sun model, one copy for the program.
extern const double pi;       // 3.1415926535497, the value the windows were tuned with
extern const double SunDia;   // apparent diameter of the sun, degrees
extern const double AirRefr;  // refraction at the horizon, degrees
extern const double tpi;      // 2 pi
extern const double degs;     // degrees per radian
extern const double rads;     // radians per degree
extern double L;              // mean longitude of the sun from the last FNsun (radians)
extern double g;              // mean anomaly of the sun from the last FNsun (radians)

// DDD.MMSSs to decimal degrees; the sign applies to the whole angle.
// A value that is not finite or not below 1e9 in size is returned as it is.
double TransAngle(double x);
// Days since 2000-01-01 12:00 (h is the hour of the day).
double FNday(int y, int m, int d, double h);
// The angle reduced to [0, tpi).
double FNrange(double x);
// Ecliptic longitude of the sun (radians) on day d of FNday; sets L and g.
double FNsun(double d);
// Half-day arc from sunrise to noon (radians) for a latitude in degrees and
// the sun's declination in radians: pi for midnight sun, 0 for polar night.
double f0(double lat, double declin);

// Checks of the date boxes: null when valid, else the message to show.
const char* checkyear(const char* text);   // 1900 or later: "输入年份不合要求"
const char* checkmonth(const char* text);  // 1 to 12: "输入月份不合要求"
const char* checkday(const char* text);    // 1 to 31: "输入日期不合要求"
