// One labelled input field: a label, then an edit buffer drawn in a framed
// area that continues the label's line and wraps onto the following lines.
// The value is typed, chosen from a bound menu (or a function that runs
// one), or stepped to the previous or next menu value without opening it.
// Runs alone or inside an htForm, to which some keys are handed back.
#pragma once

#include "htmenu.h"

enum TextBoxType { TextBoxText = 0, TextBoxNumber = 1, TextBoxSelect = 2, TextBoxLabel = 3 };

// Returns the message to show for an unacceptable text, or null.
typedef const char* (*TextBoxCheckFun)(const char* text);
// Runs a menu of its own and returns the chosen text ("" or null: none).
typedef const char* (*TextBoxMenuFun)();

class htTextBox {
  public:
    // maxLen is cut to 0..255; `initial` (may be null) is copied, at most
    // maxLen bytes. `label` (may be null) is not copied and must outlive the
    // box.
    htTextBox(int maxLen, const char* initial, const char* label, TextBoxCheckFun check = 0,
              TextBoxMenuFun menuFunc = 0, TextBoxType type = TextBoxText);
    // A display-only label.
    explicit htTextBox(const char* label);
    ~htTextBox();

    // Binding; each returns the box so that calls chain. A long, int or
    // double makes the box a number box. A char array must hold maxLen + 1
    // bytes.
    htTextBox* BindVar(long& v);
    htTextBox* BindVar(int& v);
    htTextBox* BindVar(char* v);
    htTextBox* BindVar(double& v);
    htTextBox* BindCheckFun(TextBoxCheckFun fun);
    htTextBox* BindType(TextBoxType t);
    // Bind a menu only when none is bound yet. The menu is not owned; the
    // second form builds one from `count` texts (not copied) and owns it.
    htTextBox* BindMenu(htMenu* m);
    htTextBox* BindMenu(const char* title, int count, ...);
    // Always replaces the menu function.
    htTextBox* BindMenu(TextBoxMenuFun fun);

    // Copies at most maxLen bytes (null empties). A label box is left alone.
    htTextBox* SetValue(const char* text);
    htTextBox* SetNumValue(double v);
    // Stores the value into the bound variable. Returns 1.
    int BindValue();

    // Lines that label and value take on a screen line of ScreenCols.
    int GetLine();
    // Places the box: -1 for row or col takes the device cursor's, width 0
    // runs to the last screen column. Returns 1.
    int SetPos(int row, int col, int width);
    int Draw();
    int DrawLabel();
    // Runs the box's keys. Returns 13 (accepted), 27 (Esc), 22 and 18..21
    // (handed to the form, only when inForm), -1 and -2 (the values "-1" and
    // "-2" entered in a form), 0 (a select box without a menu).
    int GetValue(int inForm);
    // Input mode for the type: lower case for text, numbers for numbers.
    int SetImeMode();
    int Run(int inForm, bool bind, bool setIme);
    int Run(int row, int col, int width, int inForm, bool bind, bool setIme);
    // The check function's answer, or without one "必须填写信息" when empty.
    const char* Check();

    uint8 varKind;  // 0 none, 1 long, 2 int, 3 char array, 4 double
    void* var;
    char* buffer;  // maxLen + 2 bytes, terminated at maxLen
    int ownsMenu;
    const char* label;
    htMenu* menu;
    TextBoxCheckFun check;
    TextBoxMenuFun menuFunc;
    htRect labelRect;
    htRect valueRect;
    uint8 page;  // page of the form the box stands on
    uint8 maxLen;
    uint8 type;
    uint8 row, col;
    uint8 lines;
    uint8 width;
    char* value;  // == buffer; null for a label box

  private:
    htTextBox(const htTextBox&);
    htTextBox& operator=(const htTextBox&);
    void RunMenu();
    int Typeable(int key) const;
};
