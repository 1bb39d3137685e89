// The field book's modal message box: a framed popup on the character grid
// with an inverse title bar, the wrapped message and a button line. It pages
// long texts or waits for an answer key, and restores the screen under it.
#pragma once

enum MsgBoxStyle {
    MsgBoxOk = 0,        // "[确定]": Enter -> 13 (also 1 and any unlisted value)
    MsgBoxInfo = 2,      // "按任意键继续": any key pages on; at the end Esc -> 27, else 13
    MsgBoxOkCancel = 3,  // "[取消]  [确定]": Enter -> 13, Esc -> 27, '1'..'3' -> their codes
    MsgBoxQuestion = 4,  // as MsgBoxOkCancel
    MsgBoxChoice = 5,    // no button line: '1'..'3' -> their codes
};

// Shows `text` (null counts as "") and returns the answer key. left, top,
// width and rows in text cells; 0 takes the defaults: full width (two
// columns in from each side for MsgBoxOkCancel and MsgBoxQuestion), as many
// rows as the text needs (at most the screen), centred vertically. A box
// that would pass the screen's right or bottom edge is moved or cut to fit.
// `title` may be null (an empty title bar). The input mode in force before
// the box is restored afterwards.
int MsgBox(const char* text, MsgBoxStyle style, const char* title, int left, int top, int width,
           int rows);
// Titled "水准记簿程序", placed by the defaults.
int MsgBox(const char* text, MsgBoxStyle style);
// MsgBoxInfo.
int MsgBox(const char* text);

// Waits until a key answers `style` (see MsgBoxStyle) and returns it.
int GetMsgButton(MsgBoxStyle style);
