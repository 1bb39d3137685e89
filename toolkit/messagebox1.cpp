#include "messagebox1.h"

#include <string.h>

#include "qzkeys.h"

uint8 Screenbuff[17280];

namespace {

const int kScreen = 160;
const int kCharWidth = 8;
const int kLineHeight = 16;

int CharBytes(const unsigned char* p) { return p[0] >= 0x80 && p[1] ? 2 : 1; }

bool IsBreak(unsigned char c) { return c == '\n' || c == '\r'; }

// Lays the text out from (x0, y0) within right edge `right`, as the box
// draws it, stopping before a line that would pass `bottom`. Draws when
// `draw` is set. Returns the number of lines used.
int Layout(const char* text, int x0, int y0, int right, int bottom, bool draw) {
    const unsigned char* p = (const unsigned char*)text;
    int x = x0, y = y0, lines = 1;
    while (*p) {
        if (IsBreak(*p)) {
            while (IsBreak(*p)) ++p;
            if (!*p) break;
            x = x0;
            y += kLineHeight;
            ++lines;
            if (y + kLineHeight > bottom) return lines - 1;
            continue;
        }
        int n = CharBytes(p);
        int w = n * kCharWidth;
        if (x + w > right && x > x0) {
            x = x0;
            y += kLineHeight;
            ++lines;
            if (y + kLineHeight > bottom) return lines - 1;
        }
        if (draw) _GUI_PutChar(x, y, n == 2 ? (p[0] << 8) | p[1] : p[0]);
        x += w;
        p += n;
    }
    return lines;
}

void Invert(int x0, int y0, int x1, int y1) {
    _LCMXorDataXY((uint8)x0, (uint8)y0, (uint8)x1, (uint8)y1);
}

}  // namespace

void _GUI_PutChar(int x, int y, int code) {
    char text[3];
    if (code > 0xFF) {
        text[0] = (char)((code >> 8) & 0xFF);
        text[1] = (char)(code & 0xFF);
        text[2] = '\0';
    } else {
        text[0] = (char)code;
        text[1] = '\0';
    }
    _Printfxy(x, y, text, 1);
}

int MessageBox1(MessageBoxRecord* rec) {
    if (!rec) return 0;
    const char* title = rec->title ? rec->title : "";
    const char* text = rec->text ? rec->text : "";
    const bool two = rec->twoButtons == 1;

    _SaveScreenToBuff(Screenbuff);

    // Width from the longest line and the title; the sums are kept in full
    // so that a long text or title can never wrap round to a small box.
    int longest = 0, current = 0;
    for (const char* p = text; *p; ++p) {
        if (*p == '\n') {
            current = 0;
        } else if (*p != '\r') {
            if (++current > longest) longest = current;
        }
    }
    int width = longest * kCharWidth + 6;
    int titleWidth = (int)strlen(title) * kCharWidth + 24;
    if (titleWidth > width) width = titleWidth;
    if (width < (two ? 106 : 72)) width = two ? 106 : 72;
    if (width > kScreen - 1) width = kScreen - 1;
    // Lines as they will be drawn at that width (line breaks and wrapping).
    int lines = Layout(text, 0, 0, width - 5, 1 << 30, false);
    int height = lines * kLineHeight + 52;
    int left = (kScreen - width) / 2;
    int top = (kScreen - height) / 2;
    rec->left = left;
    rec->top = top;
    rec->width = width;
    rec->height = height;
    if (width < 20 || height < 20 || left < 0 || top < 0 || left + width >= kScreen ||
        top + height >= kScreen)
        return 0;

    _GUIRectangleFill(left, top, left + width, top + height, 0);
    _GUIRectangle(left, top, left + width, top + height, 1);
    _Printfxy(left + 2, top + 3, (char*)title, 1);
    // The close mark: a small box with both diagonals.
    int cx0 = left + width - 20, cy0 = top + 2, cx1 = left + width - 2, cy1 = top + 18;
    _GUIRectangle(cx0, cy0, cx1, cy1, 1);
    _GUILine(cx0, cy0, cx1, cy1, 1);
    _GUILine(cx0, cy1, cx1, cy0, 1);
    Invert(left + 1, top + 1, left + width, top + 20);

    Layout(text, left + 2, top + 22, left + width - 3, top + height - 29, true);

    int y = top + height - 27;
    int x = left + (width - (two ? 100 : 48)) / 2;
    int buttons = two ? 2 : 1;
    const char* labels[2] = {"确定", "取消"};
    for (int k = 0; k < buttons; ++k) _Printfxy(x + 52 * k + 8, y + 4, (char*)labels[k], 1);
    int lit = two && rec->cancelHighlighted ? 1 : 0;
    Invert(x + 52 * lit + 6, y + 2, x + 52 * lit + 42, y + 22);

    for (;;) {
        uint32 key = _GetKeyExt();
        int want = lit;
        if (key == KEY_RAW_LEFT) want = 0;
        if (key == KEY_RAW_RIGHT && two) want = 1;
        if (want != lit) {
            Invert(x + 52 * lit + 6, y + 2, x + 52 * lit + 42, y + 22);
            lit = want;
            Invert(x + 52 * lit + 6, y + 2, x + 52 * lit + 42, y + 22);
        }
        if (key == KEY_RAW_ENTER || key == KEY_RAW_CANCEL) {
            _RestoreBuffToScreen(Screenbuff);
            return key == KEY_RAW_CANCEL || lit == 1 ? 2 : 1;
        }
    }
}

int DMessageBoxEx(const char* title, const char* text, int flags) {
    MessageBoxRecord rec;
    memset(&rec, 0, sizeof rec);
    rec.title = title;
    rec.text = text;
    rec.twoButtons = (uint8)(flags & 1);
    rec.cancelHighlighted = (uint8)((flags >> 1) & 1);
    return MessageBox1(&rec);
}
