// Model of the microcontroller's four GPIO ports behind the register seam.
//
// Each port n has, at 0xE0028000 + 0x10 * n, a value register (offset 0), an
// output-set register (4), a direction register (8, bit 1 = output) and an
// output-clear register (12). Writing the set register raises output bits,
// the clear register lowers them, writing the value register loads the
// outputs; the value register reads outputs back and reads inputs from a
// level the test sets. The pin-function select registers stay plain register
// memory. The model is attached, with every port reset, by simos::Start.
#pragma once

#include <stdint.h>

namespace simos {
namespace pins {

// The level an input pin sees (bit of port 0 to 3).
void SetInputLevel(int port, int bit, bool high);
// The output latch and the direction register of a port.
uint32_t Outputs(int port);
uint32_t Directions(int port);

}  // namespace pins

namespace detail {
void AttachPins();
}

}  // namespace simos
