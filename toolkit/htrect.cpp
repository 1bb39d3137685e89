#include "htrect.h"

#include <string.h>

namespace {

uint8 ToByte(int v) {
    if (v < 0) return 0;
    if (v > 255) return 255;
    return (uint8)v;
}

// True when the byte starts a two-byte GBK character.
bool IsLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

}  // namespace

htRect::htRect() { SetRect(1, 1, 1, 1, 1); }

htRect::htRect(int firstCol, int top, int leftCol, int rightCol, int rows) {
    SetRect(firstCol, top, leftCol, rightCol, rows);
}

void htRect::SetRect(int first, int topRow, int left, int right, int lines) {
    if (right < 0) right = pda.ScreenCols;
    firstCol = ToByte(first);
    top = ToByte(topRow);
    leftCol = ToByte(left);
    rightCol = ToByte(right);
    rows = ToByte(lines);
    width = ToByte(right - left + 1);
    x0 = (left - 1) * pda.FontWidth;
    x1 = right * pda.FontWidth;
    y0 = (topRow - 1) * pda.FontHeight;
    y1 = (topRow + lines - 1) * pda.FontHeight;
    ResetPos();
}

void htRect::ResetPos() {
    row = top;
    col = firstCol;
    rest = 0;
}

const char* htRect::DrawText(const char* text, int colour) {
    if (!text) return 0;
    const bool measure = colour == 3;
    // Row and column are kept in ints while drawing so that a large area
    // cannot wrap the byte fields around and loop for ever.
    int r = row, c = col;
    if (!measure) pda.MoveTo(c, r);
    const char* p = text;
    while (*p) {
        int room = rightCol - c + 1;
        int n = 0;
        while (n < room && p[n] && p[n] != '\n') {
            if (!IsLead((unsigned char)p[n]) || !p[n + 1] || p[n + 1] == '\n') {
                ++n;
                continue;
            }
            if (n + 2 <= room) {
                n += 2;
                continue;
            }
            // The character does not fit: it goes whole to the next line.
            // Only an area too narrow for any two-byte character splits it.
            if (n == 0 && c == leftCol && width < 2) n = 1;
            break;
        }
        if (!measure && n > 0) {
            pda.MoveTo(c, r);
            pda.PrintStr(colour, n, p);
        }
        const char* q = p + n;
        if (*q == '\n' && q[1] == '\0') {
            p = q + 1;
            ++r;
            c = leftCol;
            break;
        }
        if (*q == '\n') ++q;
        c += n;
        p = q;
        if (!*p) break;
        ++r;
        if (r - top + 1 > rows) break;
        c = leftCol;
    }
    row = ToByte(r);
    col = ToByte(c);
    rest = p;
    return p;
}

void htRect::DrawSingleText(const char* text, int colour, EnumAlignMode mode) {
    if (!text) return;
    int len = (int)strlen(text);
    int c = firstCol;
    if (len < width) {
        if (mode == AlignCenter) c = firstCol + (width - len) / 2;
        if (mode == AlignRight) c = firstCol + width - len;
    }
    pda.Print(c, top, text, colour);
}

void htRect::DrawTextUnderLine() {
    for (int i = 0; i < rows; ++i) {
        int y = (top + i) * pda.FontHeight;
        int xs = i == 0 ? (firstCol - 1) * pda.FontWidth : x0;
        pda.DrawRect(xs, y - 2, x1, y - 1, 1);
    }
}

void htRect::DrawRect(int colour, int inflate) {
    pda.DrawRect(x0 - inflate, y0 - inflate, x1 + inflate, y1 + inflate, colour);
}

void htRect::DrawSolidRect(int colour, int inflate) {
    pda.DrawBox(x0 - inflate, y0 - inflate, x1 + inflate, y1 + inflate, colour);
}

void htRect::DrawRange(int ax0, int ay0, int ax1, int ay1, int solid, int colour) {
    if (solid)
        pda.DrawBox(ax0, ay0, ax1, ay1, colour);
    else
        pda.DrawRect(ax0, ay0, ax1, ay1, colour == 0 ? 1 : 0);
}

void htRect::DrawRange(int solid, int colour) {
    for (int i = 0; i < rows; ++i) {
        int y = y0 + i * pda.FontHeight;
        int xs = i == 0 ? (firstCol - 1) * pda.FontWidth : x0;
        DrawRange(xs, y, x1, y + pda.FontHeight - 1, solid, colour);
    }
}

void htRect::SaveScreen(int inflate) {
    pda.SaveScreen(x0 - inflate, y0 - inflate, x1 + inflate, y1 + inflate);
}

void htRect::LoadScreen() { pda.LoadScreen(); }
