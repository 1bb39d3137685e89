// The service wrappers: each looks up its routine on every call and calls it
// with its own arguments. The plain ones are generated from services.def; the
// few that do more than forward are written out below.
#include "qzlib.h"

#include "svcseam.h"

uint8 frontsize = 16;

#define SVC(group, index, result, name, params, args)             \
    result name params {                                          \
        typedef result(*routine_t) params;                        \
        routine_t name##Swi = (routine_t)qz_lookup<group>(index); \
        return name##Swi args;                                    \
    }
#define SVCX(group, index, result, name, params, args)
#include "services.def"

namespace {

// Interrupt controller of the microcontroller.
const uint32 kIrqEnable = 0xFFFFF010;
const uint32 kIrqEnableClear = 0xFFFFF014;
const uint32 kIrqSource14 = 0x4000;

typedef void (*gui_routine_t)(_GuiStrStru*);

// A drawing request: coordinates and colour in a record on the stack, any
// non-zero colour passed as 3 (ink).
void GuiDraw(unsigned index, int x, int y, int x1, int y1, uint8 color) {
    _GuiStrStru stru;
    stru.x = x;
    stru.y = y;
    stru.x1 = x1;
    stru.y1 = y1;
    stru.color = color ? 3 : 0;
    gui_routine_t routine = (gui_routine_t)qz_lookup<7>(index);
    routine(&stru);
}

void PrintText(unsigned index, int x, int y, char* str1, int color) {
    _GuiStrStru stru;  // the other fields are not read by the OS
    stru.x = x;
    stru.y = y;
    stru.color = (uint8)color;
    stru.str = str1;
    gui_routine_t routine = (gui_routine_t)qz_lookup<7>(index);
    routine(&stru);
}

}  // namespace

void _EnableArmIrqInt() { qz_reg_write32(kIrqEnable, kIrqSource14); }

void _DisableArmIrqInt() {
    qz_irq_mask(1);
    qz_reg_write32(kIrqEnableClear, kIrqSource14);
    qz_irq_mask(0);
}

int8 _Fopen(char* filename, char* mode) {
    if (mode[0] == '\0') {
        typedef int (*access_t)(const char*, int);
        access_t _FopenSwi = (access_t)qz_lookup<5>(8);
        return (int8)_FopenSwi(filename, 0);
    }
    typedef int (*open_t)(char*, char*);
    open_t _FopenSwi = (open_t)qz_lookup<5>(0);
    return (int8)_FopenSwi(filename, mode);
}

void _Printfxy(int x, int y, char* str1, int color) { PrintText(1, x, y, str1, color); }

void _Printfxy12(int x, int y, char* str1, int color) { PrintText(17, x, y, str1, color); }

void _LCMXorDataXY(uint8 x, uint8 y, uint8 x1, uint8 y1) {
    _GuiStrStru stru;
    stru.x = x;
    stru.y = y;
    stru.x1 = x1;
    stru.y1 = y1;
    gui_routine_t _LCMXorDataXYSwi = (gui_routine_t)qz_lookup<7>(2);
    _LCMXorDataXYSwi(&stru);
}

void _GUIHLine(uint8 x0, uint8 y0, uint8 x1, uint8 color) { GuiDraw(3, x0, y0, x1, y0, color); }

void _GUIVLine(uint8 x0, uint8 y0, uint8 y1, uint8 color) { GuiDraw(4, x0, y0, x0, y1, color); }

void _GUILine(uint32 x0, uint32 y0, uint32 x1, uint32 y1, uint8 color) {
    GuiDraw(5, x0, y0, x1, y1, color);
}

void _GUIRectangle(uint32 x0, uint32 y0, uint32 x1, uint32 y1, uint8 color) {
    GuiDraw(6, x0, y0, x1, y1, color);
}

void _GUIRectangleFill(uint32 x, uint32 y, uint32 x1, uint32 y1, uint8 color) {
    GuiDraw(7, x, y, x1, y1, color);
}

void _GUIPoint(uint8 x, uint8 y, uint8 color) { GuiDraw(8, x, y, x, y, color); }

uint8 _MessageBoxEx(char* lpCaption, char* str1, uint8 itype) {
    _GuiStrStru stru;
    stru.str = str1;
    stru.lpCaption = lpCaption;
    stru.itype = itype;
    return _MessageBox(&stru);
}

void _ClearScreen() {
    typedef void (*routine_t)();
    routine_t _ClearScreenSwi = (routine_t)qz_lookup<7>(0);
    _DisableArmIrqInt();
    _ClearScreenSwi();
    _EnableArmIrqInt();
}

void _SaveScreenToBuff(uint8* buff) {
    typedef void (*routine_t)(uint8*);
    routine_t _SaveScreenToBuffSwi = (routine_t)qz_lookup<7>(20);
    _DisableArmIrqInt();
    _SaveScreenToBuffSwi(buff);
    _EnableArmIrqInt();
}

void _RestoreBuffToScreen(uint8* buff) {
    typedef void (*routine_t)(uint8*);
    routine_t _RestoreBuffToScreenSwi = (routine_t)qz_lookup<7>(21);
    _DisableArmIrqInt();
    _RestoreBuffToScreenSwi(buff);
    _EnableArmIrqInt();
}

void _SetFrontSize(uint8 size) {
    typedef void (*routine_t)(uint8);
    routine_t _SetFrontSizeSwi = (routine_t)qz_lookup<7>(28);
    _SetFrontSizeSwi(size);
    frontsize = size;
}

uint16 _RfidCheckPwd(uint8* pwd, uint8* cardid, uint8 address, uint8 type) {
    uint8 record[16] = {0};
    record[0] = type;
    record[1] = address;
    for (int i = 0; i < 6; ++i) record[2 + i] = pwd[i];
    for (int i = 0; i < 4; ++i) record[8 + i] = cardid[i];
    typedef uint16 (*routine_t)(uint8*);
    routine_t _RfidCheckPwdSwi = (routine_t)qz_lookup<11>(4);
    return _RfidCheckPwdSwi(record);
}

int _abs(int t1) { return t1 < 0 ? -t1 : t1; }
