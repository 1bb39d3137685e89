// Observation time windows from an approximate model of the sun's position.
#include "leveltime.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include "armiobase.h"
#include "htform.h"
#include "msgbox.h"
#include "qzio.h"
#include <string.h>
#include "timefmt.h"
#include "utils.h"

const double pi = 3.1415926535497;
const double SunDia = 0.53;
const double AirRefr = 34.0 / 60.0;
const double tpi = 2 * pi;
const double degs = 180.0 / pi;
const double rads = pi / 180.0;
double L = 0;
double g = 0;

namespace {

const double kTimeZone = 8.0;  // the terminal's clock runs on UTC+8
const int kLastMinute = 24 * 60 - 1;

int Max(int a, int b) { return a > b ? a : b; }
int Min(int a, int b) { return a < b ? a : b; }

// Position boxes of the query form take a sign in front of checkAngle's
// form: south and west are negative.
const char* SkipSign(const char* text) {
    while (*text == ' ') ++text;
    if (*text == '-') ++text;
    return text;
}

const char* CheckLatitude(const char* text) {
    if (!text) return checkAngle(text);
    const char* unsignedText = SkipSign(text);
    if (const char* message = checkAngle(unsignedText)) return message;
    if (TransAngle(atof(unsignedText)) > 90.0) return "纬度不能大于90";
    return 0;
}

const char* CheckLongitude(const char* text) {
    if (!text) return checkAngle(text);
    return checkAngle(SkipSign(text));
}

// "hh:mm-hh:mm", or "无" for an empty window.
void FormatWindow(char* buf, int size, int start, int end) {
    if (start < end)
        snprintf(buf, size, "%02d:%02d-%02d:%02d", start / 60, start % 60, end / 60, end % 60);
    else
        snprintf(buf, size, "无");
}

}  // namespace

double TransAngle(double x) {
    if (!(fabs(x) < 1e9)) return x;
    char text[32];
    snprintf(text, sizeof text, "%09.5f", fabs(x));
    int degrees = 0, minutes = 0, tenths = 0;
    qz_sscanf(text, "%d.%02d%d", &degrees, &minutes, &tenths);
    double value = degrees + minutes / 60.0 + tenths / 36000.0;
    return x < 0 ? -value : value;
}

double FNday(int y, int m, int d, double h) {
    // Integer divisions truncate towards zero on purpose: this is the day
    // count the model was fitted with.
    int n = 367 * y - (7 * (y + (m + 9) / 12)) / 4 + 275 * m / 9 + d;
    return n - 730531.5 + h / 24.0;
}

double FNrange(double x) {
    double b = x / tpi;
    double a = tpi * (b - trunc(b));
    if (a < 0) a = tpi + a;
    return a;
}

double FNsun(double d) {
    L = FNrange(280.461 * rads + 0.9856474 * rads * d);
    g = FNrange(357.528 * rads + 0.9856003 * rads * d);
    return FNrange(L + 1.915 * rads * sin(g) + 0.02 * rads * sin(2 * g));
}

double f0(double lat, double declin) {
    double dfo = rads * (0.5 * SunDia + AirRefr);
    if (lat < 0) dfo = -dfo;
    double fo = tan(declin + dfo) * tan(lat * rads);
    if (fo > 0.99999) fo = 1.0;
    // Below -1 the arc sine has no value: the sun does not rise, the arc is
    // empty. Cut at the same margin as the midnight-sun side.
    if (fo < -0.99999) return 0.0;
    return asin(fo) + pi / 2;
}

LevelTime::LevelTime(double lat, double lon, int year, int month, int day) {
    InitTime(lat, lon, year, month, day);
}

void LevelTime::InitTime(double lat, double lon, int year, int month, int day) {
    lat = TransAngle(lat);
    lon = TransAngle(lon);
    if (year == 0) {
        char today[20];
        sz_getformattime("%Y %m %d", today);
        year = 2000, month = 1, day = 1;
        qz_sscanf(today, "%d %d %d", &year, &month, &day);
    }
    this->year = year;
    this->month = month;
    this->day = day;

    double d = FNday(year, month, day, 12.0);
    double lambda = FNsun(d);
    double obliq = 23.439 * rads - 0.0000004 * rads * d;
    double alpha = atan2(cos(obliq) * sin(lambda), cos(lambda));
    double delta = asin(sin(obliq) * sin(lambda));
    // Equation of time in minutes, from the mean longitude the FNsun call
    // above has just set.
    double ll = L - alpha;
    if (L < pi) ll += tpi;
    double equation = 1440.0 * (1.0 - ll / tpi);

    double ha = f0(lat, delta);
    double halfDay = 12.0 * ha / pi;
    double noonHours = (12.0 + kTimeZone) - lon / 15.0 + equation / 60.0;
    double riseHours = noonHours - halfDay;
    double setHours = noonHours + halfDay;
    // The windows are taken from the unreduced times, so that a sunset after
    // midnight (midnight sun, far west) gives an afternoon that runs to the
    // end of the day instead of one that ends before it starts.
    int riseRaw = (int)(riseHours * 60);
    int setRaw = (int)(setHours * 60);
    if (riseHours > 24) riseHours -= 24;
    if (setHours > 24) setHours -= 24;
    sunrise = (int)(riseHours * 60);
    noon = (int)(noonHours * 60);
    sunset = (int)(setHours * 60);

    int k = (month > 3 && month < 10) ? 120 : 60;
    amStart = Max(riseRaw + 30, 0);
    amEnd = Min(noon - k, kLastMinute);
    pmStart = Max(noon + k, 0);
    pmEnd = Min(setRaw - 30, kLastMinute);
}

void LevelTime::ShowTime(const char* title) {
    char morning[32], afternoon[32], text[192];
    FormatWindow(morning, sizeof morning, amStart, amEnd);
    FormatWindow(afternoon, sizeof afternoon, pmStart, pmEnd);
    snprintf(text, sizeof text, "%d年%d月%d日\n上午观测时间\n%s\n下午观测时间\n%s%s", year, month,
             day, morning, afternoon, IsPolarNight() ? "\n极夜,太阳不升起" : "");
    MsgBox(text, MsgBoxInfo, title, 0, 0, 0, 0);
}

int LevelTime::QueryTime() {
    double lat = 0, lon = 0;
    int y = year, m = month, d = day;
    char yearText[12], monthText[12], dayText[12];
    snprintf(yearText, sizeof yearText, "%d", year);
    snprintf(monthText, sizeof monthText, "%d", month);
    snprintf(dayText, sizeof dayText, "%d", day);

    htForm form;
    form.AddFull(8, "", "纬度", CheckLatitude, 0, TextBoxNumber)->BindVar(lat);
    form.AddFull(8, "", "经度", CheckLongitude, 0, TextBoxNumber)->BindVar(lon);
    form.AddFull(4, yearText, "  年", checkyear, 0, TextBoxNumber)->BindVar(y);
    form.AddFull(4, monthText, "  月", checkmonth, 0, TextBoxNumber)->BindVar(m);
    form.AddFull(4, dayText, "  日", checkday, 0, TextBoxNumber)->BindVar(d);
    if (!form.Run("观测时间查询", 1, 1, pda.ScreenRows, pda.ScreenCols, false)) return 0;

    InitTime(lat, lon, y, m, d);
    ShowTime("观测时间范围");
    return 1;
}

const char* checkyear(const char* text) {
    if (!text || atoi(text) < 1900) return "输入年份不合要求";
    return 0;
}

const char* checkmonth(const char* text) {
    int m = text ? atoi(text) : 0;
    if (m < 1 || m > 12) return "输入月份不合要求";
    return 0;
}

const char* checkday(const char* text) {
    int d = text ? atoi(text) : 0;
    if (d < 1 || d > 31) return "输入日期不合要求";
    return 0;
}
