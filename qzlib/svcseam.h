// The one seam between qzlib and the terminal OS: the service lookup, and
// the microcontroller's registers.
#pragma once

#include <stdint.h>

#if defined(__arm__)

// The OS answers `svc #group` with the address of the routine for the index
// passed in r0. The group is the instruction's immediate, so it must be a
// constant.
template <unsigned Group>
static inline void* qz_lookup(unsigned index) {
    register unsigned r0 asm("r0") = index;
    asm volatile("svc %[group]"
                 : "+r"(r0)
                 : [group] "I"(Group)
                 : "r1", "r2", "r3", "r12", "lr", "memory", "cc");
    return reinterpret_cast<void*>(r0);
}

static inline uint32_t qz_reg_read32(uint32_t addr) {
    return *reinterpret_cast<volatile uint32_t*>(addr);
}
static inline void qz_reg_write32(uint32_t addr, uint32_t v) {
    *reinterpret_cast<volatile uint32_t*>(addr) = v;
}
static inline uint16_t qz_reg_read16(uint32_t addr) {
    return *reinterpret_cast<volatile uint16_t*>(addr);
}
static inline void qz_reg_write16(uint32_t addr, uint16_t v) {
    *reinterpret_cast<volatile uint16_t*>(addr) = v;
}

// Sets (1) or clears (0) the processor's IRQ mask bit.
static inline void qz_irq_mask(int on) {
    uint32_t cpsr;
    asm volatile("mrs %0, cpsr" : "=r"(cpsr));
    cpsr = on ? (cpsr | 0x80u) : (cpsr & ~0x80u);
    asm volatile("msr cpsr_c, %0" : : "r"(cpsr) : "memory", "cc");
}

#else

// On a host the simulated terminal OS answers the lookup and keeps a register
// file in place of the microcontroller's registers.
extern "C" void* qz_os_lookup(unsigned group, unsigned index);
extern "C" uint32_t qz_reg_read32(uint32_t addr);
extern "C" void qz_reg_write32(uint32_t addr, uint32_t v);
extern "C" uint16_t qz_reg_read16(uint32_t addr);
extern "C" void qz_reg_write16(uint32_t addr, uint16_t v);
extern "C" void qz_irq_mask(int on);

template <unsigned Group>
static inline void* qz_lookup(unsigned index) {
    return qz_os_lookup(Group, index);
}

#endif
