// qzlib: the terminal's system library.
//
// Every file, screen, clock, key, communication and peripheral operation of a
// terminal application goes through the wrappers declared here. Each wrapper
// asks the terminal OS for the routine that implements its service (a group
// and an index, see services.def) and calls it with its own arguments; the
// lookup is made on every call. On the ARM target the lookup is an `svc`
// instruction; on a Linux host the simulated terminal OS answers it.
//
// Texts are NUL-terminated GBK byte strings. File handles are small signed
// numbers; a negative handle means the open failed.
#pragma once

#include <stddef.h>
#include <stdint.h>

typedef uint8_t uint8;
typedef int8_t int8;
typedef uint16_t uint16;
typedef int16_t int16;
typedef uint32_t uint32;
typedef int32_t int32;
typedef uint8_t UINT8;
typedef int8_t INT8;
typedef uint16_t UINT16;
typedef int16_t INT16;
typedef uint32_t UINT32;
typedef int32_t INT32;
typedef uint8_t BOOLEAN;
typedef float fp32;
typedef double fp64;

// Field description of a record table.
struct _Field {
    uint16 offset;
    uint16 len;
    uint8 type;
    uint8 adix;
};
static_assert(sizeof(_Field) == 6, "_Field crosses the service interface as 6 bytes");

struct ChBit {
    uint32 bit0_1 : 2;
    uint32 bit2 : 1;
    uint32 bit3 : 1;
    uint32 bit4 : 1;
    uint32 bit5 : 1;
    uint32 bit6 : 1;
    uint32 bit7 : 1;
    uint32 bit8_16;
};
static_assert(sizeof(ChBit) == 8, "ChBit crosses the service interface as 8 bytes");

struct WINDOWS {
    uint32 left, top, width, hight;
    uint8* title;
    uint8* state;
};

// Text and drawing requests of the display services.
struct _GuiStrStru {
    int x, y, x1, y1;
    uint8 color;
    char* str;
    char* lpCaption;
    uint8 itype;
};

struct _GuiMenuStru {
    WINDOWS* win;
    uint32 left, top;
    char* title;
    uint8 no;
    char* str[8];
    char* key[8];
    void (*Function[8])();
    void (*FunctionEx)();
};

struct _GuiLisStru {
    WINDOWS* win;
    uint32 x, y;
    uint8 isRt, with, MaxNum, no;
    char* title;
    char* str[255];
};

struct _GuiLisStruEx {
    WINDOWS* win;
    uint32 x, y;
    uint8 isRt, with, MaxNum;
    uint32 no;
    char* title;
    char* str[255];
    uint32 defbar;
};

struct _DBListStr {
    uint32 x, y;
    uint8 isRt, with, MaxNum;
    uint32 no;
    char* title;
    char** str;
    uint32 defbar;
    void (*Function)(uint32* Key, uint32* Serial);
    uint32 type;
    uint8 fieldname, condition;
    char* Contect;
};

struct _GuiInputBoxStru {
    uint32 top, left, width, hight;
    uint8* caption;
    uint8* context;
    uint8 type, tabindex, datelen, keyUpDown, IsClear;
};

struct _ProGressBar {
    WINDOWS* win;
    uint32 top, left, width, hight, max, min, value;
    uint8* caption;
    uint8 tabindex;
    void (*Function)();
    uint32 stepPt;
    uint8 step;
};

struct _PicStru {
    uint32 x, y;
    uint8* dat;
    uint32 hno, lno;
    uint8 diff;
};

struct t9PY_index {
    char* t9PY_T9;
    char* PY;
    const char* PY_mb;
};

struct Access_Points {
    char uSSID[32];
    uint8 uMode;
    uint8 uRSSI;
};
static_assert(sizeof(Access_Points) == 34,
              "Access_Points crosses the service interface as 34 bytes");

// Directory entry and file attributes. Only the underscored names are
// declared: on a host the C library owns `dirent` and `stat`.
struct _dirent {
    int d_ino;
    int d_off;
    unsigned short d_reclen;
    char d_name[256];
};

struct _stat {
    int yst_dev;
    int yst_ino;
    uint32 yst_mode;
    int yst_nlink;
    int yst_uid;
    int yst_gid;
    unsigned yst_rdev;
    int32 yst_size;
    unsigned yst_blksize;
    unsigned yst_blocks;
    unsigned yst_atime;
    unsigned yst_mtime;
    unsigned yst_ctime;
};

// Opaque directory handle.
struct _dir;

// Size of the screen image that _SaveScreenToBuff writes: 160 x 160 pixels at
// one bit each, then the text cells the OS keeps of what was printed where.
enum { SCREEN_BUFF_SIZE = 160 * 160 / 8 + 20 * 10 * 2 };

// The last size passed to _SetFrontSize (initially 16): the line step of the
// screen formatter.
extern uint8 frontsize;

// The wrapper the terminal calls memset: on a host the C library owns that
// name, so there it is qz_memset. On the terminal the wrapper is the C
// library's memset: <string.h> is included first so that it keeps the C
// linkage that the library declares, whatever the include order of a source.
#if defined(__arm__)
#include <string.h>
#define QZ_MEMSET memset
#else
#define QZ_MEMSET qz_memset
#endif

#define SVC(group, index, result, name, params, args) result name params;
#define SVCX SVC
#include "services.def"

// _MessageBox with a request built from its three parts.
uint8 _MessageBoxEx(char* lpCaption, char* str1, uint8 itype);

// Absolute value (no service).
int _abs(int t1);

// Interrupt source 14 (the timer tick) on and off at the interrupt controller.
void _EnableArmIrqInt();
void _DisableArmIrqInt();
