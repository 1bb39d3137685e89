// A small demonstration screen: a framed list with Chinese texts that the
// arrow keys move through. It stands in for the field book's entry until the
// field book is linked into the simulator.
#include "armiobase.h"

namespace {

const char* const kItems[] = {"1.测段观测", "2.项目设置", "3.观测时间", "4.关于本机"};
const int kCount = 4;

void DrawList(int chosen) {
    pda.ClrScr();
    pda.PrintAlign(1, "水准记簿 演示", AlignCenter, 1);
    pda.DrawRect(2, pda.FontHeight + 2, pda.ScreenWidth - 3, pda.ScreenHeight - pda.FontHeight - 3,
                 1);
    for (int i = 0; i < kCount; ++i) pda.Print(3, 3 + i, kItems[i], i == chosen ? 0 : 1);
    pda.Print(1, pda.ScreenRows, "Esc 退出", 1);
}

}  // namespace

void htmain() {
    int chosen = 0;
    for (;;) {
        DrawList(chosen);
        int key = pda.GetChar();
        if (key == 27) return;
        if (key == 18) chosen = (chosen + kCount - 1) % kCount;
        if (key == 19) chosen = (chosen + 1) % kCount;
        if (key >= '1' && key < '1' + kCount) chosen = key - '1';
        if (key == 13) {
            pda.SaveScreen(0, 0, pda.ScreenWidth - 1, pda.ScreenHeight - 1);
            int top = 3 * pda.FontHeight, bottom = 6 * pda.FontHeight - 1;
            pda.DrawBox(4, top, pda.ScreenWidth - 5, bottom, 0);
            pda.DrawRect(4, top, pda.ScreenWidth - 5, bottom, 1);
            pda.Print(3, 4, kItems[chosen] + 2, 1);
            pda.Print(3, 5, "演示版 按任意键", 1);
            pda.GetChar();
            pda.LoadScreen();
        }
    }
}
