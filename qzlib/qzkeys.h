// Raw key codes of the terminal's keypad, as _GetKeyExt and _ReadKey deliver
// them. Keys that carry a character deliver its code ('0'..'9', '.', '-');
// the control keys are upper-case letters. A character typed on a full
// keyboard (the simulator's, or an attached one) arrives as
// KEY_RAW_CHAR | code. The device object maps these to the toolkit's codes.
#pragma once

enum RawKey {
    KEY_RAW_NONE = 0,
    KEY_RAW_BACK = 0x42,    // 'B' backspace
    KEY_RAW_CANCEL = 0x43,  // 'C' Esc
    KEY_RAW_DOWN = 0x44,    // 'D'
    KEY_RAW_ENTER = 0x45,   // 'E'
    KEY_RAW_FUNC = 0x46,    // 'F' function key
    KEY_RAW_LEFT = 0x4C,    // 'L'
    KEY_RAW_PGDN = 0x4E,    // 'N' next page
    KEY_RAW_PGUP = 0x50,    // 'P' previous page
    KEY_RAW_RIGHT = 0x52,   // 'R'
    KEY_RAW_SPACE = 0x53,   // 'S'
    KEY_RAW_TAB = 0x54,     // 'T' hands control back to a form
    KEY_RAW_UP = 0x55,      // 'U'
    KEY_RAW_DEL = 0x58,     // 'X' delete
    KEY_RAW_CHAR = 0x100,   // | character code: a typed character
};
