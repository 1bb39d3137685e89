// Observation conditions: the condition form, its menus and checks.
#include "levelinfo.h"

#include <stdlib.h>

#include "armiobase.h"
#include "htform.h"
#include <string.h>
#include "timefmt.h"

char tianqi = 0;
htTextBox* yunliang = 0;
htTextBox* taiyang = 0;

namespace {

enum { kImageLen = 13 };

// The weather box of the form being shown, or null.
htTextBox* tianqiBox = 0;

// Code of the weather that the cloud menu and the sun-direction check go
// by: the one the form being shown holds in its weather box, else the one
// chosen last in this run. A later form therefore starts from the weather
// it shows ("0晴"), not from an overcast sky chosen in an earlier form.
char CurrentWeather() {
    if (tianqiBox && tianqiBox->value) return tianqiBox->value[0];
    return tianqi;
}

// A box of the same form whose value changed without its own keys: drawn
// again when it stands on the page being shown (the weather box's page); a
// box of another page shows its value when its page is drawn.
void RedrawBeside(htTextBox* box) {
    if (box && tianqiBox && box->page == tianqiBox->page) box->Draw();
}

const char* Choice(const char* text) { return text ? text : ""; }

// The nine-item lists run on the left of the screen, all rows high.
const char* RunList(htMenu& menu) { return Choice(menu.Run(1, 4, 0, pda.ScreenRows, 10, true)); }

void CopyText(char* dst, int size, const char* src) {
    int i = 0;
    for (; src && src[i] && i < size - 1; ++i) dst[i] = src[i];
    dst[i] = 0;
}

int IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

clsLevelInfo::clsLevelInfo() : flags(1023), level(1) {
    memset(time, 0, sizeof time);
    memset(image, 0, sizeof image);
    memset(temperature, 0, sizeof temperature);
    memset(weather, 0, sizeof weather);
    memset(cloud, 0, sizeof cloud);
    memset(road, 0, sizeof road);
    memset(soil, 0, sizeof soil);
    memset(sunDirection, 0, sizeof sunDirection);
    memset(windDirection, 0, sizeof windDirection);
    memset(windSpeed, 0, sizeof windSpeed);
}

int clsLevelInfo::InitInfoFlag(const char* text) {
    flags = 0;
    for (int i = 0; text && text[i] && i < 9; ++i)
        if (text[i] != '0') flags |= 1u << i;
    return 1;
}

int clsLevelInfo::CheckFlag(enumInfoFlag flag) const { return CheckFlag((int)flag); }

int clsLevelInfo::CheckFlag(int flag) const {
    return (flags & (uint32)flag) == (uint32)flag ? 1 : 0;
}

int clsLevelInfo::GetInfo() {
    yunliang = 0;
    taiyang = 0;
    tianqiBox = 0;

    htForm form;
    // The image box holds its longest item ("2欠清晰、稳定", 13 bytes) whole.
    if (CheckFlag(InfoImage))
        form.AddFull(kImageLen, "0清晰、稳定", "呈象", 0, 0, TextBoxSelect)
            ->BindVar(image)
            ->BindMenu("选择呈象信息", 4, "0清晰、稳定", "1清晰、微跳", "2欠清晰、稳定",
                       "3欠清晰、微跳");
    if (CheckFlag(InfoTemperature))
        form.AddFull(5, "", "温度", CheckWenDu, 0, TextBoxNumber)->BindVar(temperature);
    if (CheckFlag(InfoWeather))
        tianqiBox = form.AddFull(12, "0晴", "天气", 0, TianQiMenu, TextBoxSelect)->BindVar(weather);
    if (CheckFlag(InfoCloud))
        yunliang =
            form.AddFull(12, "1云量0级", "云量", 0, YunLiangMenu, TextBoxSelect)->BindVar(cloud);
    if (CheckFlag(InfoSun))
        taiyang = form.AddFull(8, "*无太阳", "太阳方向", CheckTaiYangFangXiang, TaiYangMenu,
                               TextBoxSelect)
                      ->BindVar(sunDirection);
    if (CheckFlag(InfoWindSpeed))
        form.AddFull(12, "*无风", "风速", 0, FengSuMenu, TextBoxSelect)->BindVar(windSpeed);
    if (CheckFlag(InfoWindDirection))
        form.AddFull(12, " 无", "风向", 0, FengXiangMenu, TextBoxSelect)->BindVar(windDirection);
    if (CheckFlag(InfoRoad))
        form.AddFull(12, "0柏油路", "道路", 0, 0, TextBoxSelect)
            ->BindVar(road)
            ->BindMenu("选择道路", 6, "0柏油路", "1水泥路", "2土路", "3沙石路", "4铁路", "5其它");
    if (CheckFlag(InfoSoil))
        form.AddFull(12, "0柏油", "土质", 0, 0, TextBoxSelect)
            ->BindVar(soil)
            ->BindMenu("选择土质", 5, "0柏油", "1水泥", "2实土", "3沙石", "4草地");

    CopyText(time, sizeof time, sz_getformattime("%Y%m%d%H%M", strTime));
    int accepted = 1;
    if (form.count > 0)
        accepted = form.Run("输入条件信息", 1, 1, pda.ScreenRows, pda.ScreenCols, false) ? 1 : 0;
    // The boxes die with the form: nothing may refer to them afterwards.
    yunliang = 0;
    taiyang = 0;
    tianqiBox = 0;
    return accepted;
}

const char* TianQiMenu() {
    htMenu menu("选择天气", 3, "0晴", "1云", "2阴");
    const char* choice = Choice(menu.Run(0, 0));
    tianqi = choice[0];
    const char* cloud = 0;
    if (tianqi == '0') cloud = "1云量0级";
    if (tianqi == '1') cloud = "1云量3~4级";
    if (tianqi == '2') {
        cloud = "1云量7~8级";
        if (taiyang) {
            taiyang->SetValue("*无太阳");
            RedrawBeside(taiyang);
        }
    }
    if (cloud && yunliang) {
        yunliang->SetValue(cloud);
        RedrawBeside(yunliang);
    }
    return choice;
}

const char* YunLiangMenu() {
    switch (CurrentWeather()) {
        case '0': {
            htMenu menu("选择云量", 3, "1云量0级", "2云量1级", "3云量2级");
            return Choice(menu.Run(0, 0));
        }
        case '1': {
            htMenu menu("选择云量", 3, "1云量3~4级", "2云量4~5级", "3云量5~6级");
            return Choice(menu.Run(0, 0));
        }
        case '2': {
            htMenu menu("选择云量", 3, "1云量7~8级", "2云量8~9级", "3云量9~10级");
            return Choice(menu.Run(0, 0));
        }
        default:
            return "";
    }
}

const char* TaiYangMenu() {
    htMenu menu("太阳方向", 9, "*无太阳", "0前方", "1前右", "2右方", "3右后", "4后方", "5左后",
                "6左方", "7前左");
    return RunList(menu);
}

const char* FengSuMenu() {
    htMenu menu("选择风速", 9, "*无风", "1轻风", "2轻风", "3微风", "4和风", "5清风", "6强风",
                "7疾风", "8大风");
    return RunList(menu);
}

const char* FengXiangMenu() {
    htMenu menu("选择风向", 9, "0北", "1东北", "2东", "3东南", "4南", "5西南", "6西", "7西北",
                " 无");
    return RunList(menu);
}

const char* CheckTaiYangFangXiang(const char* text) {
    if (text && text[0] == '*') return 0;
    if (CurrentWeather() == '2') return "阴天和太阳方向冲突";
    return 0;
}

const char* CheckWenDu(const char* text) {
    if (!text) return "输入温度不合标准";
    double t = atof(text);
    if (t <= -40 || t >= 45) return "温度范围不适合观测";
    // Sign, two digits, point, one digit: nothing else is a temperature.
    if (strlen(text) != 5 || (text[0] != '+' && text[0] != '-') || !IsDigit(text[1]) ||
        !IsDigit(text[2]) || text[3] != '.' || !IsDigit(text[4]))
        return "输入温度不合标准";
    return 0;
}
