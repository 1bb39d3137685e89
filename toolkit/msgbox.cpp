#include "msgbox.h"

#include <string.h>

#include "htrect.h"

namespace {

const char* ButtonLine(int style) {
    switch (style) {
        case MsgBoxInfo:
            return "按任意键继续";
        case MsgBoxOkCancel:
        case MsgBoxQuestion:
            return "[取消]  [确定]";
        case MsgBoxChoice:
            return "";
        default:
            return "[确定]";
    }
}

void DrawFrame(htRect& r) {
    r.DrawRect(0, 2);
    r.DrawRect(1, 1);
    r.DrawRect(1, 0);
    r.DrawRect(1, -1);
}

// Blanks the body's lines (pixels and text) for the next part of a long text.
void ClearBody(htRect& body) {
    body.ResetPos();
    body.DrawSolidRect(0, -1);
    char blanks[256];
    int n = body.width < (int)sizeof blanks - 1 ? body.width : (int)sizeof blanks - 1;
    memset(blanks, ' ', n);
    blanks[n] = '\0';
    for (int i = 0; i < body.rows; ++i) pda.Print(body.leftCol, body.top + i, blanks, 1);
}

}  // namespace

int GetMsgButton(MsgBoxStyle style) {
    for (;;) {
        pda.SetImeMode(ImeNumber);
        int key = pda.GetChar();
        switch (style) {
            case MsgBoxInfo:
                return key == 27 ? 27 : 13;
            case MsgBoxOkCancel:
            case MsgBoxQuestion:
                if (key == 13 || key == 27 || (key >= '1' && key <= '3')) return key;
                break;
            case MsgBoxChoice:
                if (key >= '1' && key <= '3') return key;
                break;
            default:
                if (key == 13) return 13;
                break;
        }
    }
}

int MsgBox(const char* text, MsgBoxStyle style, const char* title, int left, int top, int width,
           int rows) {
    if (!text) text = "";
    const int screenRows = pda.ScreenRows, screenCols = pda.ScreenCols;
    const ImeMode ime = pda.GetImeMode();

    if (style == MsgBoxOkCancel || style == MsgBoxQuestion) {
        if (left == 0) left = 2;
        if (width == 0) width = screenCols - 2;
    }
    pda.ShowCur(false);
    pda.ClearKey();
    if (left <= 0) left = 1;
    if (width <= 0) width = screenCols;
    // Keep the box on the screen.
    if (left > screenCols) left = screenCols;
    if (left + width - 1 > screenCols) width = screenCols - left + 1;
    int right = left + width - 1;

    if (rows <= 0 || rows > screenRows) {
        htRect measure(left, top, left, right, screenRows);
        measure.DrawText(text, 3);
        int lines = measure.row - measure.top + 1;
        // A text that ends in a line break leaves the position on the next,
        // empty line: that line is not shown.
        if (measure.row > measure.top && measure.col == measure.leftCol && *measure.rest == '\0' &&
            measure.rest > text && measure.rest[-1] == '\n')
            --lines;
        rows = lines + 2;
        top = (screenRows - rows) / 2 + 1;
        if (top < 0) {
            top = 1;
            rows = screenRows;
        }
    }
    if (rows < 3) rows = 3;
    if (top <= 0) {
        top = (screenRows - rows) / 2;
        if (top < 1) top = 1;
    }
    if (rows > screenRows) rows = screenRows;
    if (top + rows - 1 > screenRows) top = screenRows - rows + 1;

    htRect box(left, top, left, right, rows);
    htRect bar(left, top, left, right, 1);
    htRect body(left, top + 1, left, right, rows - 2);
    box.SaveScreen(3);
    pda.DrawBox(box.x0, box.y0 + pda.FontHeight, box.x1, box.y1, 0);
    bar.DrawSolidRect(1, 0);
    if (title) bar.DrawSingleText(title, 0, AlignCenter);
    const char* rest = body.DrawText(text, 1);

    const char* buttons = ButtonLine(style);
    int len = (int)strlen(buttons);
    if (len > 0) pda.Print(left + (width - len) / 2, top + rows - 1, buttons, 1);
    DrawFrame(box);

    int answer;
    if (style == MsgBoxInfo) {
        int key = pda.GetChar();
        while (rest && *rest && key != 27) {
            ClearBody(body);
            rest = body.DrawText(rest, 1);
            DrawFrame(box);
            key = pda.GetChar();
        }
        answer = key == 27 ? 27 : 13;
    } else {
        pda.Beep(2000, 500);
        answer = GetMsgButton(style);
    }
    box.LoadScreen();
    pda.SetImeMode(ime);
    return answer;
}

int MsgBox(const char* text, MsgBoxStyle style) {
    return MsgBox(text, style, "水准记簿程序", 0, 0, 0, 0);
}

int MsgBox(const char* text) { return MsgBox(text, MsgBoxInfo); }
