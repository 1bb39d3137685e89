#include "armiobase.h"

#include "qzkeys.h"

ArmIoBase pda;

namespace {

// Bounded copy that always terminates.
void CopyText(char* dst, int size, const char* src, int length) {
    int n = 0;
    while (n < size - 1 && n < length && src[n]) {
        dst[n] = src[n];
        ++n;
    }
    dst[n] = '\0';
}

int Length(const char* text) {
    int n = 0;
    while (text[n]) ++n;
    return n;
}

}  // namespace

ArmIoBase::ArmIoBase() : savedCount(0), lost(0), ime(ImeNumber), curCol(1), curRow(1) {
    typeText[0] = '\0';
    snText[0] = '\0';
    SetScreen(160, 160);
}

void ArmIoBase::SetScreen(uint16 width, uint16 height) {
    FontHeight = 16;
    FontWidth = 8;
    ScreenWidth = width;
    ScreenHeight = height;
    ScreenCols = (uint8)(width / FontWidth);
    ScreenRows = (uint8)(height / FontHeight);
}

void ArmIoBase::Print(int col, int row, const char* text, int colour) {
    if (!text) return;
    _Printfxy((col - 1) * FontWidth, (row - 1) * FontHeight, (char*)text, colour);
    curCol = col + Length(text);
    curRow = row;
}

void ArmIoBase::PrintAlign(int row, const char* text, EnumAlignMode mode, int colour) {
    if (!text) return;
    int len = Length(text);
    int col = 1;
    if (mode == AlignCenter)
        col = (ScreenCols - len) / 2 + 1;
    else if (mode == AlignRight)
        col = ScreenCols - len + 1;
    if (col < 1) col = 1;
    Print(col, row, text, colour);
}

void ArmIoBase::MoveTo(int col, int row) {
    curCol = col;
    curRow = row;
}

void ArmIoBase::PrintStr(int colour, int length, const char* text) {
    if (!text || length <= 0) return;
    char line[256];
    CopyText(line, sizeof line, text, length);
    Print(curCol, curRow, line, colour);
}

void ArmIoBase::DrawRect(int x0, int y0, int x1, int y1, int colour) {
    _GUIRectangle(x0, y0, x1, y1, (uint8)colour);
}

void ArmIoBase::DrawBox(int x0, int y0, int x1, int y1, int colour) {
    _GUIRectangleFill(x0, y0, x1, y1, (uint8)colour);
}

void ArmIoBase::DrawLine(int x0, int y0, int x1, int y1, int colour) {
    _GUILine(x0, y0, x1, y1, (uint8)colour);
}

void ArmIoBase::SaveScreen(int x0, int y0, int x1, int y1) {
    uint8* buff = 0;
    if (savedCount < kSaveDepth && lost == 0) buff = (uint8*)_malloc(SCREEN_BUFF_SIZE);
    if (!buff) {
        ++lost;
        return;
    }
    _SaveScreenToBuff(buff);
    Saved& s = saved[savedCount++];
    s.buff = buff;
    s.x0 = x0;
    s.y0 = y0;
    s.x1 = x1;
    s.y1 = y1;
}

// The whole saved image comes back: saves nest and each overlay stays inside
// the area it saved, so restoring the image restores the area.
void ArmIoBase::LoadScreen() {
    if (lost > 0) {
        --lost;
        return;
    }
    if (savedCount == 0) return;
    Saved& s = saved[--savedCount];
    _RestoreBuffToScreen(s.buff);
    _free(s.buff);
    s.buff = 0;
}

void ArmIoBase::ClrScr() {
    _ClearScreen();
    curCol = curRow = 1;
}

void ArmIoBase::Refresh() {}

int ArmIoBase::GetChar() {
    for (;;) {
        uint32 raw = _GetKeyExt();
        if (raw & KEY_RAW_CHAR) {
            int c = (int)(raw & 0xFF);
            if (c < 0x20 || c > 0x7E) continue;
            switch (ime) {
                case ImeNumber:
                    if ((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == ' ')
                        return c;
                    continue;
                case ImeLower:
                    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
                case ImeUpper:
                    return (c >= 'a' && c <= 'z') ? c - 32 : c;
                default:
                    return c;
            }
        }
        if ((raw >= '0' && raw <= '9') || raw == '.' || raw == '-') return (int)raw;
        switch (raw) {
            case KEY_RAW_ENTER:
                return 13;
            case KEY_RAW_CANCEL:
                return 27;
            case KEY_RAW_LEFT:
            case KEY_RAW_PGUP:
                return 16;
            case KEY_RAW_RIGHT:
            case KEY_RAW_PGDN:
                return 17;
            case KEY_RAW_UP:
                return 18;
            case KEY_RAW_DOWN:
                return 19;
            case KEY_RAW_BACK:
                return 8;
            case KEY_RAW_DEL:
                return 20;
            case KEY_RAW_TAB:
                return 21;
            case KEY_RAW_FUNC:
                return 22;
            case KEY_RAW_SPACE:
                return 32;
            default:
                break;  // not a key the toolkit knows: wait for the next
        }
    }
}

void ArmIoBase::ClearKey() {
    for (int guard = 0; guard < 256 && _ReadKey() != 0; ++guard) {
    }
}

void ArmIoBase::ShowCur(bool on) {
    if (on)
        _ShowCur();
    else
        _HideCur();
}

void ArmIoBase::SetImeMode(int mode) {
    if (mode >= ImeNumber && mode <= ImePinyin) ime = (ImeMode)mode;
}

void ArmIoBase::Beep(int, int) { _Beep(); }

unsigned ArmIoBase::GetHaltCount() { return _GetTickCount(); }

const char* ArmIoBase::GetType() {
    char when[32];
    _GetSysVer(typeText, when);
    return typeText;
}

const char* ArmIoBase::GetSn() {
    _GetMachineSn(snText);
    return snText;
}
