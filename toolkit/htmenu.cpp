#include "htmenu.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "timefmt.h"

int htFastMenuRow = 0, htFastMenuCol = 0;
int lastFastMenuKey = 0;
uint8 MenuIndex = 0;
uint8 MenuChangeType = 0;
char* MenuChangeValue = 0;
char* RetrunMenuItem = 0;

namespace {

// Each item line is formatted in a buffer of this size; the number before
// the text ("1.") leaves 49 bytes for the text itself.
const int kLineSize = 52;
const int kItemShown = kLineSize - 3;
const int kMaxItems = 255;

char* CopyOf(const char* text) {
    size_t n = strlen(text);
    char* copy = (char*)_malloc(n + 1);
    if (copy) memcpy(copy, text, n + 1);
    return copy;
}

// Bytes of `text` shown on an item line: at most kItemShown, never ending in
// the first half of a two-byte character.
int ShownLength(const char* text) {
    int n = 0;
    while (text[n] && n < kItemShown) {
        unsigned char c = (unsigned char)text[n];
        if (c >= 0x81 && c <= 0xFE && text[n + 1]) {
            if (n + 2 > kItemShown) break;
            n += 2;
        } else {
            ++n;
        }
    }
    return n;
}

void Free(void* p) {
    if (p) _free(p);
}

int ToByte(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

}  // namespace

int SetFastMenuPos(int row, int col) {
    htFastMenuRow = row;
    htFastMenuCol = col;
    return 1;
}

int GetLastMenuKey() { return lastFastMenuKey; }

void SetMenuIndex(char key) { MenuIndex = (uint8)key; }

void SetMenuChangeValue(char type, char* value) {
    MenuChangeType = (uint8)type;
    MenuChangeValue = value;
}

void htMenu::Init(int cap, bool copy) {
    title = 0;
    items = 0;
    selected = -1;
    row = col = width = rows = 0;
    maxLen = 0;
    count = 0;
    capacity = 0;
    pages = 0;
    showTime = 0;
    copyItems = copy ? 1 : 0;
    if (cap > kMaxItems) cap = kMaxItems;
    if (cap > 0) {
        items = (char**)_malloc(sizeof(char*) * cap);
        if (items) capacity = cap;
    }
}

htMenu::htMenu(int cap, bool copy) { Init(cap < 1 ? 1 : cap, copy); }

htMenu::htMenu(const char* text, int n, ...) {
    Init(n, false);
    SetTitle(text);
    va_list args;
    va_start(args, n);
    for (int i = 0; i < n; ++i) AddItem(va_arg(args, const char*));
    va_end(args);
}

htMenu::~htMenu() {
    Free(title);
    if (copyItems)
        for (int i = 0; i < count; ++i) Free(items[i]);
    Free(items);
}

int htMenu::SetMaxItemCount(int n) {
    if (count > 0 && count >= n) return 0;
    if (n > kMaxItems) n = kMaxItems;
    if (n < 1) n = 1;
    char** grown = (char**)_malloc(sizeof(char*) * n);
    if (!grown) return 0;
    for (int i = 0; i < count; ++i) grown[i] = items[i];
    Free(items);
    items = grown;
    capacity = n;
    return 1;
}

char* htMenu::AddItem(const char* text) {
    if (!text || count >= kMaxItems) return 0;
    if (count >= capacity && !SetMaxItemCount(capacity > 0 ? capacity * 2 : 4)) return 0;
    char* stored = copyItems ? CopyOf(text) : (char*)text;
    if (!stored) return 0;
    items[count++] = stored;
    int len = ShownLength(text) + 2;
    if (len > maxLen) maxLen = (uint8)len;
    return stored;
}

int htMenu::AddItem(int n, ...) {
    va_list args;
    va_start(args, n);
    for (int i = 0; i < n; ++i) AddItem(va_arg(args, const char*));
    va_end(args);
    return n;
}

int htMenu::SetTitle(const char* text) {
    Free(title);
    title = text ? CopyOf(text) : 0;
    if (title) {
        int len = ToByte((int)strlen(title));
        if (len > maxLen) maxLen = (uint8)len;
    }
    return 1;
}

const char* htMenu::Run(const char* text, int initial) {
    if (text) SetTitle(text);
    return Run(1, 1, initial, 0, 0, true);
}

const char* htMenu::Run(int r, int c) { return Run(r, c, 0, 0, 0, true); }

int htMenu::PageSize() const { return count < rows ? count : rows - 2; }

const char* htMenu::Run(int atRow, int atCol, int initial, int nRows, int nWidth, bool saveScreen) {
    // A pending hot key or step is answered without showing the menu.
    if (MenuIndex != 0) {
        char key = (char)MenuIndex;
        MenuIndex = 0;
        for (int i = 0; i < count; ++i)
            if (items[i][0] == key) return items[i];
        MenuChangeType = 0;
        return "";
    }
    if (MenuChangeType != 0) {
        int type = MenuChangeType;
        MenuChangeType = 0;
        if (count == 0) return "";
        if (!MenuChangeValue || !MenuChangeValue[0]) return items[0];
        for (int i = 0; i < count; ++i) {
            if (strcmp(items[i], MenuChangeValue) != 0) continue;
            if (type == 16) return items[i > 0 ? i - 1 : 0];
            if (type == 17) return items[i + 1 < count ? i + 1 : 0];
            return items[i];
        }
        return "";
    }

    if (initial < 0) initial = 0;
    if (count == 0 || initial >= count) return 0;

    rows = (uint8)ToByte(nRows > 0 ? nRows : count + 1);
    width = (uint8)ToByte(nWidth > 0 ? nWidth : maxLen);
    col = (uint8)ToByte(atCol > 0 ? atCol : htFastMenuCol > 0 ? htFastMenuCol : 1);
    row = (uint8)ToByte(atRow > 0 ? atRow : htFastMenuRow > 0 ? htFastMenuRow : 1);
    if (rows > pda.ScreenRows) rows = pda.ScreenRows;
    // Several pages need a title line, an item line and a page line.
    if (count >= rows && rows < 3) rows = 3;
    CalPos();

    pda.ClearKey();
    frame.SetRect(col, row, col, col + width - 1, rows);
    if (saveScreen) frame.SaveScreen(3);
    // The menu reads number keys; the caller's input mode comes back after it
    // (an input-mode menu sets the chosen mode afterwards).
    const ImeMode ime = pda.GetImeMode();
    pda.SetImeMode(ImeNumber);
    pda.ShowCur(false);

    int size = PageSize();
    pages = (uint8)(count < rows ? 1 : (count - 1) / size + 1);
    int page = count < rows ? 0 : initial / size;
    int chosen = -1;
    for (;;) {
        int r = ShowPage(page, initial);
        if (r == 27) break;
        if (r == 43) {
            if (page + 1 < pages) initial = ++page * size;
            continue;
        }
        if (r == 45) {
            if (page > 0) initial = --page * size;
            continue;
        }
        if (r <= 0) {
            chosen = -r;
            break;
        }
    }
    if (saveScreen) frame.LoadScreen();
    pda.SetImeMode(ime);
    selected = lastFastMenuKey = chosen;
    if (chosen < 0) return "";
    char* copy = CopyOf(items[chosen]);
    Free(RetrunMenuItem);
    RetrunMenuItem = copy;
    return RetrunMenuItem ? RetrunMenuItem : items[chosen];
}

void htMenu::CalPos() {
    if (row == 1) return;
    if (col + width - 1 > pda.ScreenCols) {
        int c = pda.ScreenCols - maxLen + 1;
        col = (uint8)(c < 1 ? 1 : c);
    }
    if (row + rows > pda.ScreenRows) row = row <= rows + 1 ? 1 : (uint8)(row - (rows + 1));
}

void htMenu::PrintItem(int index, int line, int colour) {
    char text[kLineSize];
    snprintf(text, sizeof text, "%d.%.*s", line + 1, ShownLength(items[index]), items[index]);
    int c = col + (maxLen < width ? (width - maxLen) / 2 : 0);
    pda.Print(c, row + 1 + line, text, colour);
}

int htMenu::ShowPage(int page, int initial) {
    int size = PageSize();
    int first = page * size;
    int n = page == pages - 1 ? count - first : size;
    frame.DrawSolidRect(0, 1);
    Draw();
    for (int k = 0; k < n; ++k) PrintItem(first + k, k, 1);
    if (pages > 1) {
        char line[24];
        snprintf(line, sizeof line, "<-%d/%d->", page + 1, pages);
        pda.Print(frame.firstCol + (width - 7) / 2 + 1, row + rows - 1, line, 1);
    }
    // The initial item when it stands on this page, else the first line.
    int h = initial >= first && initial < first + n ? initial - first : 0;
    for (;;) {
        PrintItem(first + h, h, 0);
        Draw();
        ShowTime();
        int key = pda.GetChar();
        switch (key) {
            case 19:
                PrintItem(first + h, h, 1);
                if (h < n - 1)
                    ++h;
                else if (page + 1 < pages)
                    return 43;
                break;
            case 18:
                PrintItem(first + h, h, 1);
                if (h > 0)
                    --h;
                else if (page > 0)
                    return 45;
                break;
            case 16:
            case '-':
                return 45;
            case 17:
            case '+':
                return 43;
            case 27:
                return 27;
            case 13:
                return -(first + h);
            default:
                if (key >= '1' && key <= '9' && first + key - '1' < count)
                    return -(first + key - '1');
                break;
        }
    }
}

void htMenu::Draw() {
    if (title) {
        htRect bar(col, row, col, col + width - 1, 1);
        bar.DrawSingleText(title, 1, AlignCenter);
        bar.DrawRect(1, 0);
    }
    frame.DrawRect(0, 2);
    frame.DrawRect(1, 0);
    frame.DrawRect(1, 1);
    frame.DrawRect(1, -1);
}

void htMenu::ShowTime() {
    if (!showTime) return;
    sz_getformattime("%H:%M", strTime);
    pda.Print(col + width - 5, row + rows - 1, strTime, 0);
}
