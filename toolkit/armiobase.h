// The terminal's screen, keyboard and device-information object.
//
// Text positions are 1-based (column, row), pixel positions 0-based. Colour 1
// draws in ink, 0 in background (text in inverse). Everything goes through
// qzlib's services, so the same object serves the terminal and the simulator.
#pragma once

#include "qzlib.h"

enum EnumAlignMode { AlignLeft = 0, AlignRight = 1, AlignCenter = 2 };

enum ImeMode { ImeNumber = 0, ImeLower = 1, ImeUpper = 2, ImePinyin = 3 };

class ArmIoBase {
  public:
    uint8 ScreenRows, ScreenCols;  // text lines and columns
    uint8 FontHeight, FontWidth;   // pixels per line and per column
    uint16 ScreenWidth, ScreenHeight;

    ArmIoBase();

    // Sets the screen size in pixels; rows and columns follow from the font.
    // The terminal's screen is 160 x 160.
    void SetScreen(uint16 width, uint16 height);

    void Print(int col, int row, const char* text, int colour);
    void PrintAlign(int row, const char* text, EnumAlignMode mode, int colour);
    void MoveTo(int col, int row);
    // Draws `length` bytes of text (at most a screen line) at the position.
    void PrintStr(int colour, int length, const char* text);

    void DrawRect(int x0, int y0, int x1, int y1, int colour);
    void DrawBox(int x0, int y0, int x1, int y1, int colour);
    void DrawLine(int x0, int y0, int x1, int y1, int colour);

    // Saves nest: LoadScreen restores the newest save not yet restored. Saves
    // beyond the store's depth, or when memory is short, are not kept and
    // their LoadScreen does nothing.
    void SaveScreen(int x0, int y0, int x1, int y1);
    void LoadScreen();

    void ClrScr();
    void Refresh();

    // Waits for a key and returns its code: printable ASCII, 8 and 20
    // (delete), 13 (Enter), 27 (Esc), 16/17 (previous/next), 18/19 (up/down),
    // 21 (back to the form), 22 (function), 32 (space).
    int GetChar();
    void ClearKey();
    void ShowCur(bool on);
    // 0..3 select the input mode; other values (251, 255) leave it as it is.
    void SetImeMode(int mode);
    ImeMode GetImeMode() const { return ime; }

    int getx() const { return curCol; }
    int gety() const { return curRow; }

    void Beep(int frequency, int ms);
    unsigned GetHaltCount();
    const char* GetType();
    const char* GetSn();

    enum { kSaveDepth = 8 };

  private:
    struct Saved {
        uint8* buff;
        int x0, y0, x1, y1;
    };
    Saved saved[kSaveDepth];
    int savedCount;
    int lost;  // saves that could not be kept (their loads do nothing)
    ImeMode ime;
    int curCol, curRow;
    char typeText[32];
    char snText[32];
};

extern ArmIoBase pda;
