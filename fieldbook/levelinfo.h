// Observation conditions of a moment of a section (image quality,
// temperature, weather, cloud cover, direction of the sun, wind, road and
// soil): asked in one form of choice boxes, two of them checked, and kept as
// texts for the section's event records. Which conditions are asked is set
// per grade by a nine-character flag string.
//
// Every condition text begins with its code character (a digit, '*' or a
// blank), which the event record also uses on its own. Texts are GBK.
#pragma once

#include "qzlib.h"

class htTextBox;

// The conditions, as bits of clsLevelInfo::flags.
enum enumInfoFlag {
    InfoImage = 1,
    InfoWeather = 2,
    InfoCloud = 4,
    InfoSun = 8,
    InfoRoad = 16,
    InfoSoil = 32,
    InfoWindSpeed = 64,
    InfoWindDirection = 128,
    InfoTemperature = 256,
};

class clsLevelInfo {
  public:
    // Every member zero, then flags 1023 (all asked) and level 1.
    clsLevelInfo();

    // flags from a flag string: character i (i < 9) other than '0' sets
    // bit i, in the order image, weather, cloud, sun, road, soil, wind speed,
    // wind direction, temperature ("110000000" asks for image and weather).
    // A null text counts as empty (nothing asked). Returns 1.
    int InitInfoFlag(const char* text);
    // 1 when every bit of `flag` is set in flags, else 0.
    int CheckFlag(enumInfoFlag flag) const;
    int CheckFlag(int flag) const;
    // Stamps `time` with the device clock ("%Y%m%d%H%M") and runs the form
    // "输入条件信息" with the asked conditions, each starting from its fixed
    // default. Returns 1 when accepted (the texts stored) or when nothing is
    // asked, 0 when the form was left (the texts unchanged).
    int GetInfo();

    uint32 flags;
    char time[20];
    char image[20];
    char temperature[10];
    char weather[20];
    char cloud[20];
    char road[20];
    char soil[20];
    char sunDirection[20];
    char windDirection[20];
    char windSpeed[20];
    uint8 level;  // the section's grade (enumLevel)
};

// State shared by the condition form and its menu functions.
// Code of the weather chosen last in the weather menu during this run, 0
// before the first choice.
extern char tianqi;
// The cloud-cover and sun-direction boxes of the form being shown; null
// while no condition form runs.
extern htTextBox* yunliang;
extern htTextBox* taiyang;

// Menus of the choice boxes; each returns the chosen item's text, "" after
// Esc. The weather menu also sets tianqi and the cloud box (and for
// overcast the sun box) to the matching default; the cloud menu offers the
// three grades of the weather chosen last, or nothing ("") when no weather
// was chosen yet in this run.
const char* YunLiangMenu();
const char* TianQiMenu();
const char* TaiYangMenu();
const char* FengXiangMenu();
const char* FengSuMenu();

// Checks of the sun-direction and temperature boxes: null when valid, else
// the message to show.
//  - a sun direction other than "*无太阳" under overcast weather:
//    "阴天和太阳方向冲突";
//  - a temperature at or below -40 or at or above 45: "温度范围不适合观测";
//    a temperature not of the form sign, two digits, point, one digit
//    (+25.5): "输入温度不合标准".
const char* CheckTaiYangFangXiang(const char* text);
const char* CheckWenDu(const char* text);
