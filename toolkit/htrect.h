// A text area on the character grid: converts text cells to pixels, draws
// frames and ranges, wraps text, and saves and restores the screen under a
// popup. Every menu, form and message box is drawn through it.
//
// Columns and rows are 1-based text cells; every length counts bytes, so a
// two-byte GBK character takes two columns.
#pragma once

#include "armiobase.h"

class htRect {
  public:
    uint8 row;         // current text row of DrawText
    uint8 col;         // current text column of DrawText
    const char* rest;  // where the last DrawText stopped (null before any)
    int x0;            // (leftCol - 1) * FontWidth
    int x1;            // rightCol * FontWidth
    int y0;            // (top - 1) * FontHeight
    int y1;            // (top + rows - 1) * FontHeight
    uint8 top;         // first text row
    uint8 firstCol;    // column where the first line starts
    uint8 leftCol;     // column where every further line starts
    uint8 rightCol;    // last column of every line
    uint8 rows;        // number of lines
    uint8 width;       // rightCol - leftCol + 1

    htRect();
    // A negative rightCol means the last screen column.
    htRect(int firstCol, int top, int leftCol, int rightCol, int rows);
    void SetRect(int firstCol, int top, int leftCol, int rightCol, int rows);
    // Back to the first line: row = top, col = firstCol, rest = none.
    void ResetPos();

    // Draws text from (col, row) on, wrapping at rightCol back to leftCol and
    // at "\n", until the text ends or the area is full. Colour 1 ink, 0
    // inverse, 3 measures only (moves row/col/rest without drawing). Returns
    // the first byte not drawn (also kept in `rest`): the terminator when all
    // was drawn; null for a null text. A two-byte character is never split
    // across lines.
    const char* DrawText(const char* text, int colour);
    // One line on row `top`: AlignLeft at firstCol, AlignCenter centred in
    // the width, AlignRight ending at the last column (texts as wide as the
    // area or wider start at firstCol).
    void DrawSingleText(const char* text, int colour, EnumAlignMode mode);
    // A 2-pixel ink bar under every line; the first from firstCol.
    void DrawTextUnderLine();
    // Outline / filled box of the area grown by `inflate` pixels (negative
    // shrinks).
    void DrawRect(int colour, int inflate);
    void DrawSolidRect(int colour, int inflate);
    // solid: filled box in `colour`; otherwise an outline in the inverse
    // colour (colour 0 draws ink, any other value erases).
    void DrawRange(int x0, int y0, int x1, int y1, int solid, int colour);
    // DrawRange over every line of the area, the first from firstCol.
    void DrawRange(int solid, int colour);
    void SaveScreen(int inflate);
    void LoadScreen();
};
