// Up to 20 text boxes under a title bar, split into pages by the screen
// height and run one after another: up and down move between boxes, going
// past the last box of a page turns the page, the function key opens the
// function menu "功能菜单" (back, clear all, help, leave, input mode). When
// the last page is done every box stores its value into its bound variable;
// leaving binds nothing.
#pragma once

#include "httextbox.h"

class htForm {
  public:
    enum { kMaxBoxes = 20 };

    htForm();
    // Destroys the boxes the form created (AddFull, Add(maxLen, ...),
    // Add(label)); boxes given by Add(box) stay the caller's.
    ~htForm();

    // Each Add returns the box, or null (nothing added, nothing created)
    // when the form already holds kMaxBoxes boxes.
    htTextBox* Add(htTextBox* box);
    htTextBox* AddFull(int maxLen, const char* initial, const char* label, TextBoxCheckFun check,
                       TextBoxMenuFun menuFunc, TextBoxType type);
    htTextBox* Add(int maxLen, const char* initial, const char* label);
    htTextBox* Add(const char* label);
    // Entry i of the boxes, or null.
    htTextBox* GetTextBox(int i);
    int BindValue();
    int ClearValue();

    // Runs the form at (row, col), `rows` lines (also the last screen row the
    // boxes may use) and `width` columns; rows and width 0 take the rest of
    // the screen. A non-null title replaces the form's title. Returns 13 when
    // all pages were completed (values bound), 0 when the user left, -1 when
    // the form has no boxes.
    int Run(const char* title, int row = 1, int col = 1, int rows = 0, int width = 0,
            bool saveScreen = true);

    // Steps of Run. ShowPage returns 1 (page done), 45 (back to the previous
    // page), -1 (clear all and start again), -2 (leave).
    int ShowPage(int page);
    void DrawPage(int page);
    void DrawForm();
    void CalPos();
    // The function menu; returns -4 (go on), -1 (clear), -2 (leave), -5 (an
    // input mode was chosen).
    int ShowMenu(TextBoxType type);
    // Index of the first box of the page that is not a label and is empty,
    // or -1.
    int GetPageNullBox(int page);

    htTextBox* boxes[kMaxBoxes];
    htTextBox* ownedBoxes[kMaxBoxes];
    uint8 rows;
    uint8 width;
    uint8 firstRow;
    uint8 col;
    htRect frame;
    htRect titleRect;
    uint8 pages;
    int count;
    int ownedCount;
    const char* title;

  private:
    htForm(const htForm&);
    htForm& operator=(const htForm&);
    void Redraw(int index, int page);
};
