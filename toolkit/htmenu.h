// The popup list from which the user picks one text: by the arrow keys, by
// its number on the page, or by a hot key or a step handed over by a text
// box (SetMenuIndex, SetMenuChangeValue) without showing the list.
//
// Module-wide state (one copy for all menus; the terminal shows one screen at
// a time): the default placement, the index chosen last and a copy of the
// text chosen last, and the pending hot key or step.
#pragma once

#include "htrect.h"

class htMenu {
  public:
    // An empty menu with room for `capacity` items (at least 1). With
    // copyItems, AddItem keeps its own copy of each text; otherwise it keeps
    // the caller's pointer, which must outlive the menu.
    htMenu(int capacity, bool copyItems);
    // A menu titled `title` (may be null) with `count` texts, not copied.
    htMenu(const char* title, int count, ...);
    virtual ~htMenu();

    // Room for n items. Returns 0 (nothing changes) when items exist and
    // count >= n, else 1.
    int SetMaxItemCount(int n);
    // Adds a text; the room doubles when full. Returns the stored pointer, or
    // null when the menu already holds 255 items or memory is short. A text
    // longer than 49 bytes is shown cut to 49 bytes; the whole text is what a
    // choice returns.
    char* AddItem(const char* text);
    // Adds `count` texts; returns count.
    int AddItem(int count, ...);
    // Stores a copy of the title (null removes it). Returns 1.
    int SetTitle(const char* text);

    // Shows the menu and returns the chosen item's text, or "" after Esc.
    //   row, col   placement of the title line; 0 takes the default placement
    //              (SetFastMenuPos) or 1. A menu that would reach the last
    //              screen row opens above `row`.
    //   initial    index highlighted first (negative counts as 0)
    //   rows       lines of the menu with its title (and page line); 0 =
    //              all items plus title, cut to the screen
    //   width      columns; 0 = the longest item plus its number
    //   saveScreen restore what was under the menu afterwards
    // The text returned after a real choice is a copy, valid until the next
    // choice of any menu. The device's input mode is the same afterwards. A pending hot key or step
    // is answered without showing anything: the item's own pointer, or "" when none matches.
    // Returns null, showing nothing, when the menu has no items or `initial`
    // is not below the item count.
    const char* Run(int row, int col, int initial, int rows, int width, bool saveScreen);
    const char* Run(const char* title, int initial);
    const char* Run(int row, int col);

    // Steps of Run.
    void Draw();
    // Shows page `page` and runs its keys: returns 27 (Esc), 43 (next page),
    // 45 (previous page), or -index of the chosen item.
    int ShowPage(int page, int initial);
    void ShowTime();
    void CalPos();

    char* title;                  // owned copy of the title, or null
    htRect frame;                 // frame of the menu
    char** items;                 // item texts
    int selected;                 // index chosen by the last Run; -1 after Esc
    uint8 row, col, width, rows;  // placement of the current Run
    uint8 maxLen;                 // longest shown item + 2, at least the title length
    uint8 count;                  // items
    int capacity;                 // item slots allocated
    uint8 pages;                  // pages of the current Run
    int showTime;                 // show the clock in the bottom line
    int copyItems;                // AddItem stores copies

  private:
    htMenu(const htMenu&);
    htMenu& operator=(const htMenu&);
    void Init(int capacity, bool copy);
    int PageSize() const;
    void PrintItem(int index, int line, int colour);
};

// Default placement of menus run with row or column 0. Returns 1.
int SetFastMenuPos(int row, int col);
// Index chosen by the last Run of any menu; -1 after Esc.
int GetLastMenuKey();
// A hot key for the next Run: it returns the first item that begins with
// `key` (0 = none pending).
void SetMenuIndex(char key);
// A step for the next Run: type 16 returns the item before `value`, 17 the
// one after it (after the last comes the first); an empty value gives the
// first item. The text is not copied. Type 0 clears the step.
void SetMenuChangeValue(char type, char* value);

extern int htFastMenuRow, htFastMenuCol;
extern int lastFastMenuKey;
extern uint8 MenuIndex;
extern uint8 MenuChangeType;
extern char* MenuChangeValue;
extern char* RetrunMenuItem;
