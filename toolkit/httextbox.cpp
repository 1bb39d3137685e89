#include "httextbox.h"

#include <stdarg.h>
#include <stdlib.h>
#include <string.h>

#include "msgbox.h"

// The field book's printf-like formatter: the text in a shared buffer, valid
// until its next call.
char* FormatString(const char* format, ...);

namespace {

bool IsLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Bytes of `text` that fit in `max` bytes without splitting a two-byte
// character.
int WholeLength(const char* text, int max) {
    int n = 0;
    while (text[n] && n < max) {
        int step = IsLead((unsigned char)text[n]) && text[n + 1] ? 2 : 1;
        if (n + step > max) break;
        n += step;
    }
    return n;
}

// Start of the last character of text[0..len).
int LastCharStart(const char* text, int len) {
    int start = 0;
    for (int i = 0; i < len;) {
        start = i;
        i += IsLead((unsigned char)text[i]) && i + 1 < len ? 2 : 1;
    }
    return start;
}

void ClearPending() {
    SetMenuIndex(0);
    SetMenuChangeValue(0, 0);
}

}  // namespace

htTextBox::htTextBox(int max, const char* initial, const char* text, TextBoxCheckFun checkFun,
                     TextBoxMenuFun menuFun, TextBoxType boxType)
    : varKind(0),
      var(0),
      buffer(0),
      ownsMenu(0),
      label(text),
      menu(0),
      check(checkFun),
      menuFunc(menuFun),
      page(0),
      maxLen((uint8)(max < 0     ? 0
                     : max > 255 ? 255
                                 : max)),
      type((uint8)boxType),
      row(1),
      col(1),
      lines(0),
      width(0),
      value(0) {
    buffer = (char*)_malloc(maxLen + 2);
    if (buffer) {
        buffer[0] = '\0';
        buffer[maxLen] = '\0';
    }
    value = buffer;
    SetValue(initial);
    lines = (uint8)GetLine();
}

htTextBox::htTextBox(const char* text)
    : varKind(0),
      var(0),
      buffer(0),
      ownsMenu(0),
      label(text),
      menu(0),
      check(0),
      menuFunc(0),
      page(0),
      maxLen(0),
      type(TextBoxLabel),
      row(1),
      col(1),
      lines(0),
      width(0),
      value(0) {
    lines = (uint8)GetLine();
}

htTextBox::~htTextBox() {
    if (buffer) _free(buffer);
    if (ownsMenu) delete menu;
}

htTextBox* htTextBox::BindVar(long& v) {
    varKind = 1;
    var = &v;
    type = TextBoxNumber;
    return this;
}

htTextBox* htTextBox::BindVar(int& v) {
    varKind = 2;
    var = &v;
    type = TextBoxNumber;
    return this;
}

htTextBox* htTextBox::BindVar(char* v) {
    varKind = 3;
    var = v;
    return this;
}

htTextBox* htTextBox::BindVar(double& v) {
    varKind = 4;
    var = &v;
    type = TextBoxNumber;
    return this;
}

htTextBox* htTextBox::BindCheckFun(TextBoxCheckFun fun) {
    check = fun;
    return this;
}

htTextBox* htTextBox::BindType(TextBoxType t) {
    type = (uint8)t;
    return this;
}

htTextBox* htTextBox::BindMenu(htMenu* m) {
    if (!menu) menu = m;
    return this;
}

htTextBox* htTextBox::BindMenu(const char* title, int count, ...) {
    if (menu) return this;
    menu = new htMenu(10, false);
    va_list args;
    va_start(args, count);
    for (int i = 0; i < count; ++i) menu->AddItem(va_arg(args, const char*));
    va_end(args);
    menu->SetTitle(title);
    ownsMenu = 1;
    return this;
}

htTextBox* htTextBox::BindMenu(TextBoxMenuFun fun) {
    menuFunc = fun;
    return this;
}

htTextBox* htTextBox::SetValue(const char* text) {
    if (!buffer) return this;
    int n = text ? WholeLength(text, maxLen) : 0;
    if (n > 0) memmove(buffer, text, n);
    buffer[n] = '\0';
    buffer[maxLen] = '\0';
    return this;
}

htTextBox* htTextBox::SetNumValue(double v) { return SetValue(FormatString("%lg", v)); }

int htTextBox::BindValue() {
    if (!buffer || !var) return 1;
    switch (varKind) {
        case 1:
            *(long*)var = atol(buffer);
            break;
        case 2:
            *(int*)var = atoi(buffer);
            break;
        case 3: {
            int n = (int)strlen(buffer);
            if (n > maxLen) n = maxLen;
            memcpy(var, buffer, n);
            ((char*)var)[n] = '\0';
            break;
        }
        case 4:
            *(double*)var = atof(buffer);
            break;
        default:
            break;
    }
    return 1;
}

int htTextBox::GetLine() {
    int len = (label ? (int)strlen(label) : 0) + maxLen;
    int cols = pda.ScreenCols > 0 ? pda.ScreenCols : 1;
    return (len + cols - 1) / cols;
}

int htTextBox::SetPos(int atRow, int atCol, int atWidth) {
    if (atRow == -1) atRow = pda.gety();
    if (atCol == -1) atCol = pda.getx();
    if (atWidth <= 0) atWidth = pda.ScreenCols - atCol + 1;
    row = (uint8)atRow;
    col = (uint8)atCol;
    width = (uint8)atWidth;
    int right = atCol + atWidth - 1;
    lines = (uint8)GetLine();
    labelRect.SetRect(atCol, atRow, atCol, right, lines);
    labelRect.DrawText(label ? label : "", 3);
    int cols = pda.ScreenCols > 0 ? pda.ScreenCols : 1;
    int v = (labelRect.col - 1 + maxLen + cols - 1) / cols;
    lines = (uint8)(v + (labelRect.row - atRow));
    valueRect.SetRect(labelRect.col, labelRect.row, atCol, right, v);
    labelRect.ResetPos();
    return 1;
}

int htTextBox::Draw() {
    if (type == TextBoxLabel || !buffer) return 1;
    valueRect.ResetPos();
    valueRect.DrawRange(1, 0);
    valueRect.DrawText(buffer, 1);
    valueRect.DrawRange(0, 0);
    valueRect.ResetPos();
    if (menu || menuFunc) {
        // A small triangle in the last column marks a value with a menu:
        // pointing down, and for a select box also up (the value steps).
        int c = valueRect.firstCol + valueRect.width - 1;
        if (c > pda.ScreenCols - 1) c = pda.ScreenCols - 1;
        int x = c * pda.FontWidth + pda.FontWidth / 3;
        int y = valueRect.top * pda.FontHeight - pda.FontHeight / 3;
        pda.DrawLine(x, y, x + 6, y, 1);
        pda.DrawLine(x, y, x + 3, y + 5, 1);
        pda.DrawLine(x + 3, y + 5, x + 6, y, 1);
        if (type == TextBoxSelect) {
            int u = y - 5;
            pda.DrawLine(x, u, x + 6, u, 1);
            pda.DrawLine(x, u, x + 3, u - 5, 1);
            pda.DrawLine(x + 3, u - 5, x + 6, u, 1);
        }
    }
    return 1;
}

int htTextBox::DrawLabel() {
    if (label && label[0]) {
        labelRect.ResetPos();
        labelRect.DrawText(label, 1);
        labelRect.ResetPos();
    }
    return 1;
}

int htTextBox::Typeable(int key) const {
    if (type == TextBoxText) return key >= 0x21 && key <= 0x7E;
    if (type == TextBoxNumber)
        return (key >= '0' && key <= '9') || key == '.' || key == '-' || key == '+';
    return 0;
}

void htTextBox::RunMenu() {
    const char* chosen;
    if (menuFunc) {
        SetFastMenuPos(valueRect.top + 1, valueRect.firstCol);
        chosen = menuFunc();
        // A function that did not run a menu must not leave the hot key or
        // step to the next menu of the program.
        ClearPending();
    } else {
        chosen = menu->Run(valueRect.top + 1, valueRect.firstCol);
    }
    if (chosen && chosen[0]) {
        SetValue(chosen);
        const char* message = check ? check(buffer) : 0;
        if (message) MsgBox(message);
    }
    pda.ShowCur(true);
}

int htTextBox::GetValue(int inForm) {
    if (type == TextBoxLabel || !buffer) return 13;
    pda.ShowCur(true);
    int len = (int)strlen(buffer);
    for (;;) {
        // The cell after the value shows as a blank to type into.
        buffer[len] = ' ';
        buffer[len + 1] = '\0';
        Draw();
        valueRect.DrawTextUnderLine();
        buffer[len] = '\0';

        int key = pda.GetChar();
        if (len < maxLen && Typeable(key)) {
            buffer[len++] = (char)key;
            buffer[len] = '\0';
        }
        if (key == 22) {
            if (inForm) return 22;
            if (type == TextBoxText) {
                htMenu ime("输入法", 4, "123", "abc", "ABC", "拼音");
                ime.Run(1, 1);
                pda.SetImeMode((uint8)GetLastMenuKey());
                pda.ShowCur(true);
            }
            // Outside a form the key goes on like any other: a select box
            // without a menu answers 0 to it below.
        }
        if (inForm && key >= 18 && key <= 21) return key;

        bool request = false;
        if (type == TextBoxSelect && key >= 0x21 && key <= 0x7E) {
            SetMenuIndex((char)key);
            request = true;
        } else if (key == 16 || key == 17) {
            SetMenuChangeValue((char)key, buffer);
            request = true;
        } else if (key == 32) {
            request = true;
        }
        if (menu || menuFunc) {
            if (request) {
                RunMenu();
                len = (int)strlen(buffer);
                continue;
            }
        } else {
            ClearPending();
            if (type == TextBoxSelect) return 0;
        }

        if (type != TextBoxSelect && (key == 8 || key == 20) && len > 0) {
            len = LastCharStart(buffer, len);
            buffer[len] = '\0';
        }
        if (key == 13 && len > 0) {
            buffer[len] = '\0';
            if (inForm && strcmp(buffer, "-2") == 0) return -2;
            if (inForm && strcmp(buffer, "-1") == 0) return -1;
            const char* message = check ? check(buffer) : 0;
            if (message) {
                MsgBox(message);
                continue;
            }
            return 13;
        }
        if (key == 27) return 27;
    }
}

int htTextBox::SetImeMode() {
    if (type == TextBoxText) pda.SetImeMode(ImeLower);
    if (type == TextBoxNumber) pda.SetImeMode(ImeNumber);
    return 1;
}

int htTextBox::Run(int inForm, bool bind, bool setIme) {
    if (setIme) SetImeMode();
    int r = GetValue(inForm);
    if (r == 13 && bind) BindValue();
    return r;
}

int htTextBox::Run(int atRow, int atCol, int atWidth, int inForm, bool bind, bool setIme) {
    SetPos(atRow, atCol, atWidth);
    return Run(inForm, bind, setIme);
}

const char* htTextBox::Check() {
    if (check) return check(buffer ? buffer : "");
    if (!buffer) return 0;
    return buffer[0] ? 0 : "必须填写信息";
}
