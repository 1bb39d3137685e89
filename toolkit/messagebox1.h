// A message box drawn in pixels on the 160 x 160 screen through the system
// library's raw drawing services, with one button ("确定") or two ("确定",
// "取消"). Independent of the device object and the text grid.
//
// Keys (raw codes of _GetKeyExt): 0x4C highlights "确定", 0x52 "取消" (two
// buttons only), 0x45 answers with the highlighted button, 0x43 answers
// "取消"; other keys are ignored.
#pragma once

#include "qzlib.h"

// The box's record. On the terminal (32-bit words) the two flags are bytes
// 28 and 29.
struct MessageBoxRecord {
    int reserved;             // not used
    int top;                  // pixels, set by the box
    int left;                 // pixels, set by the box
    int width;                // pixels, set by the box
    int height;               // pixels, set by the box
    const char* title;        // GBK; null counts as ""
    const char* text;         // GBK; "\n" and "\r" break lines; null counts as ""
    uint8 twoButtons;         // 1: "确定" and "取消"; else "确定" alone
    uint8 cancelHighlighted;  // "取消" starts highlighted (two buttons only)
};

// The screen while the box is up.
extern uint8 Screenbuff[17280];

// Shows the box and waits for the answer: 1 OK, 2 Cancel, or 0 (nothing
// drawn) when the box does not fit on the screen.
int MessageBox1(MessageBoxRecord* record);
// MessageBox1 with flags bit 0 = two buttons, bit 1 = "取消" highlighted.
int DMessageBoxEx(const char* title, const char* text, int flags);
// Draws one character at pixel (x, y): a code above 0xFF is a two-byte
// character, high byte first.
void _GUI_PutChar(int x, int y, int code);
