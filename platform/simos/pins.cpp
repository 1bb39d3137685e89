// The GPIO ports of the simulated terminal.
#include "pins.h"

#include "internal.h"

namespace simos {
namespace {

const uint32_t kBase = 0xE0028000;
const int kPorts = 4;

struct Port {
    uint32_t out = 0, dir = 0, level = 0;
};
Port ports[kPorts];

uint32_t Read(uint32_t addr, int) {
    Port& p = ports[(addr - kBase) / 0x10 % kPorts];
    switch ((addr - kBase) % 0x10) {
        case 0:
            return (p.out & p.dir) | (p.level & ~p.dir);
        case 8:
            return p.dir;
        default:  // set and clear are write-only
            return 0;
    }
}

void Write(uint32_t addr, uint32_t value, int) {
    Port& p = ports[(addr - kBase) / 0x10 % kPorts];
    switch ((addr - kBase) % 0x10) {
        case 0:
            p.out = value;
            break;
        case 4:
            p.out |= value;
            break;
        case 8:
            p.dir = value;
            break;
        case 12:
            p.out &= ~value;
            break;
    }
}

bool Valid(int port, int bit) { return port >= 0 && port < kPorts && bit >= 0 && bit < 32; }

}  // namespace

namespace pins {

void SetInputLevel(int port, int bit, bool high) {
    if (!Valid(port, bit)) return;
    uint32_t mask = 1u << bit;
    ports[port].level = high ? (ports[port].level | mask) : (ports[port].level & ~mask);
}
uint32_t Outputs(int port) { return Valid(port, 0) ? ports[port].out : 0; }
uint32_t Directions(int port) { return Valid(port, 0) ? ports[port].dir : 0; }

}  // namespace pins

namespace detail {

void AttachPins() {
    for (Port& p : ports) p = Port();
    RegDevice device;
    device.base = kBase;
    device.size = 0x10 * kPorts;
    device.read = Read;
    device.write = Write;
    AttachRegDevice(device);
}

}  // namespace detail
}  // namespace simos
