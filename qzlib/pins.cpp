// The free I/O pins of the terminal, driven through the microcontroller's
// GPIO and pin-function registers.
#include "qzlibex.h"
#include "svcseam.h"

namespace {

// Port n at kPortBase + 0x10 * n: value, set, direction, clear.
const uint32 kPortBase = 0xE0028000;
const uint32 kValue = 0x0, kSet = 0x4, kDir = 0x8, kClear = 0xC;

// Pin-function select registers 0, 1 and 2.
const uint32 kSelect[3] = {0xE002C000, 0xE002C004, 0xE002C014};

struct PinMap {
    int16 pin;
    uint8 port, bit;
    uint8 select;     // which select register
    uint32 function;  // its bits that choose the pin's function
};

const PinMap kPins[] = {
    {5, 0, 0, 0, 0x3u << 0},     {204, 0, 0, 0, 0x3u << 0},   {7, 0, 1, 0, 0x3u << 2},
    {206, 0, 1, 0, 0x3u << 2},   {15, 0, 4, 0, 0x3u << 8},    {17, 0, 5, 0, 0x3u << 10},
    {19, 0, 6, 0, 0x3u << 12},   {105, 0, 8, 0, 0x3u << 16},  {107, 0, 9, 0, 0x3u << 18},
    {109, 0, 10, 0, 0x3u << 20}, {111, 0, 11, 0, 0x3u << 22}, {113, 0, 12, 0, 0x3u << 24},
    {115, 0, 13, 0, 0x3u << 26}, {117, 0, 14, 0, 0x3u << 28}, {119, 0, 15, 0, 0x3u << 30},
    {9, 0, 28, 1, 0x3u << 24},   {114, 1, 16, 2, 1u << 3},    {8, 1, 21, 2, 1u << 3},
    {10, 1, 22, 2, 1u << 3},     {12, 1, 23, 2, 1u << 3},     {14, 1, 24, 2, 1u << 3},
    {11, 1, 25, 2, 1u << 3},     {108, 2, 29, 2, 1u << 20},   {110, 2, 30, 2, 1u << 21},
    {112, 2, 31, 2, 1u << 22},   {208, 3, 28, 2, 1u << 7},    {203, 3, 29, 2, 1u << 6},
};

// Pins without a port.
const int16 kGroupA[] = {1, 2, 3, 4, 6, 13, 16, 18, 20};
const int16 kGroupB[] = {101, 102, 103, 104, 106, 116, 118, 120, 201, 202, 205, 207, 209, 210};

const PinMap* Find(int pin) {
    for (const PinMap& p : kPins)
        if (p.pin == pin) return &p;
    return nullptr;
}

template <size_t N>
bool In(const int16 (&group)[N], int pin) {
    for (int16 p : group)
        if (p == pin) return true;
    return false;
}

uint32 Port(const PinMap& p, uint32 reg) { return kPortBase + 0x10u * p.port + reg; }

}  // namespace

int _SetIo(int pin, int val) {
    const PinMap* p = Find(pin);
    if (!p) return 0;
    qz_reg_write32(Port(*p, val ? kSet : kClear), 1u << p->bit);
    return 1;
}

int _GetIo(int pin) {
    if (const PinMap* p = Find(pin)) return (int)((qz_reg_read32(Port(*p, kValue)) >> p->bit) & 1u);
    if (In(kGroupA, pin) || In(kGroupB, pin)) return -1;
    return 0;
}

int _SetIoDir(int pin, int dir) {
    const PinMap* p = Find(pin);
    if (!p) {
        if (In(kGroupA, pin)) return 0;
        if (In(kGroupB, pin)) return -1;
        return pin;
    }
    uint32 select = kSelect[p->select];
    qz_reg_write32(select, qz_reg_read32(select) & ~p->function);
    uint32 direction = qz_reg_read32(Port(*p, kDir));
    direction = dir ? (direction | (1u << p->bit)) : (direction & ~(1u << p->bit));
    qz_reg_write32(Port(*p, kDir), direction);
    return 1;
}
