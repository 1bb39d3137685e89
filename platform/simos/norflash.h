// Behavioural model of the terminal's 16-bit NOR flash behind the register
// seam: 4 MiB at 0x80000000 in 4 KiB sectors.
//
// Writes are command cycles: 0xAA to word 0x5555, 0x55 to word 0x2AAA, then
// 0xA0 to word 0x5555 arms a word program (the next write programs its
// address), or 0x80, 0xAA, 0x55 and then 0x30 to an address erases its
// sector (0x10 to word 0x5555 erases the chip). 0xF0 anywhere returns to
// reading. Erasing sets words to 0xFFFF; programming can only clear bits, and
// asking it to turn a 0 into a 1 is an error the model reports (the word
// keeps old AND new, as the real cells do). Any other write is a reported
// protocol error.
//
// After an operation starts, reads of any address answer status for a
// configurable number of reads: bit 7 the complement of bit 7 of the final
// data, bit 6 toggling on each read. A chip told to never finish answers
// status forever.
//
// The contents live in the file kImageName in the flash root (a missing or
// short file reads as erased), so the machine information persists between
// runs. simos::Start attaches the model and loads the file of the new root;
// the busy settings return to their defaults.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace simos {
namespace norflash {

extern const char kImageName[];  // ".norflash"
const uint32_t kBase = 0x80000000u;
const uint32_t kBytes = 0x400000u;
const uint32_t kSectorBytes = 4096;

// Status reads an operation answers before it finishes (default 2).
void SetBusyReads(unsigned reads);
// An operation that never finishes (default false).
void SetNeverFinish(bool never);

// Word `index` of the array, without the status logic.
uint16_t Word(uint32_t index);
// Protocol and programming errors, in order.
const std::vector<std::string>& Errors();
// Erase operations that hit the sector (wear).
unsigned EraseCount(uint32_t sector);
// Reads answered with status since the last Start.
uint64_t StatusReads();

}  // namespace norflash

namespace detail {
void AttachNorFlash();
}

}  // namespace simos
