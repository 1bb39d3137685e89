// The NOR flash of the simulated terminal.
#include "norflash.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <algorithm>

#include "internal.h"

namespace simos {
namespace norflash {
const char kImageName[] = ".norflash";
}

namespace {

using norflash::kBase;
using norflash::kBytes;
using norflash::kSectorBytes;

const uint32_t kWords = kBytes / 2;
const uint32_t kSectorWords = kSectorBytes / 2;
const uint32_t kUnlock1 = 0x5555, kUnlock2 = 0x2AAA;

enum class Cycle { Read, Unlock1, Unlock2, Program, EraseSetup, EraseUnlock1, EraseUnlock2 };

struct Chip {
    std::vector<uint16_t> words;
    std::vector<unsigned> erase_count;
    int fd = -1;
    Cycle cycle = Cycle::Read;
    unsigned busy_reads = 2;
    bool never_finish = false;
    unsigned busy_left = 0;  // status reads before the running operation ends
    bool busy = false;
    uint16_t final_data = 0xFFFF;
    bool toggle = false;
    uint64_t status_reads = 0;
    std::vector<std::string> errors;
};

Chip& C() {
    static Chip chip;
    return chip;
}

void Report(const char* what, uint32_t word, uint32_t value) {
    char text[96];
    snprintf(text, sizeof text, "%s: word 0x%06X value 0x%04X", what, word, value);
    C().errors.push_back(text);
}

// Writes words [first, first + count) to the image file.
void Persist(uint32_t first, uint32_t count) {
    Chip& c = C();
    if (c.fd < 0) {
        std::string path = Root() + "/" + norflash::kImageName;
        c.fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (c.fd < 0) {
            Report("image file cannot be written", first, 0);
            return;
        }
    }
    const char* data = (const char*)&c.words[first];
    size_t size = count * 2, done = 0;
    while (done < size) {
        ssize_t n = pwrite(c.fd, data + done, size - done, (off_t)(first * 2 + done));
        if (n <= 0) {
            Report("image file write failed", first, 0);
            return;
        }
        done += (size_t)n;
    }
}

void Start(uint16_t final_data) {
    Chip& c = C();
    c.busy = true;
    c.busy_left = c.busy_reads;
    c.final_data = final_data;
}

void EraseSector(uint32_t sector) {
    Chip& c = C();
    std::fill(c.words.begin() + sector * kSectorWords,
              c.words.begin() + (sector + 1) * kSectorWords, 0xFFFF);
    ++c.erase_count[sector];
    Persist(sector * kSectorWords, kSectorWords);
    Start(0xFFFF);
}

void Program(uint32_t word, uint16_t value) {
    Chip& c = C();
    uint16_t old = c.words[word];
    if (value & ~old) Report("program turns 0 into 1", word, value);
    c.words[word] = old & value;
    Persist(word, 1);
    Start(value);
}

uint16_t ReadWord(uint32_t word) {
    Chip& c = C();
    if (c.busy) {
        if (c.never_finish || c.busy_left > 0) {
            if (c.busy_left > 0) --c.busy_left;
            ++c.status_reads;
            c.toggle = !c.toggle;
            return (uint16_t)((~c.final_data & 0x80) | (c.toggle ? 0x40 : 0));
        }
        c.busy = false;
    }
    return c.words[word];
}

void WriteWord(uint32_t word, uint16_t value) {
    Chip& c = C();
    if (c.busy && (c.never_finish || c.busy_left > 0)) {
        Report("write while busy", word, value);
        return;
    }
    c.busy = false;
    if (value == 0xF0 && c.cycle != Cycle::Program) {
        c.cycle = Cycle::Read;
        return;
    }
    Cycle next = Cycle::Read;
    bool ok = true;
    switch (c.cycle) {
        case Cycle::Read:
            ok = word == kUnlock1 && value == 0xAA;
            next = Cycle::Unlock1;
            break;
        case Cycle::Unlock1:
            ok = word == kUnlock2 && value == 0x55;
            next = Cycle::Unlock2;
            break;
        case Cycle::Unlock2:
            ok = word == kUnlock1 && (value == 0xA0 || value == 0x80);
            next = value == 0xA0 ? Cycle::Program : Cycle::EraseSetup;
            break;
        case Cycle::Program:
            Program(word, value);
            break;
        case Cycle::EraseSetup:
            ok = word == kUnlock1 && value == 0xAA;
            next = Cycle::EraseUnlock1;
            break;
        case Cycle::EraseUnlock1:
            ok = word == kUnlock2 && value == 0x55;
            next = Cycle::EraseUnlock2;
            break;
        case Cycle::EraseUnlock2:
            if (value == 0x30) {
                EraseSector(word / kSectorWords);
            } else if (value == 0x10 && word == kUnlock1) {
                for (uint32_t s = 0; s < kWords / kSectorWords; ++s) EraseSector(s);
            } else {
                ok = false;
            }
            break;
    }
    if (!ok) {
        Report("unexpected command cycle", word, value);
        next = Cycle::Read;
    }
    c.cycle = next;
}

uint32_t Read(uint32_t addr, int width) {
    uint32_t word = (addr - kBase) / 2;
    uint32_t v = ReadWord(word);
    if (width == 32 && word + 1 < kWords) v |= (uint32_t)ReadWord(word + 1) << 16;
    return v;
}

void Write(uint32_t addr, uint32_t value, int width) {
    if (width != 16) Report("bus write that is not 16 bits wide", (addr - kBase) / 2, value);
    WriteWord((addr - kBase) / 2, (uint16_t)value);
}

void Load() {
    Chip& c = C();
    if (c.fd >= 0) close(c.fd);
    c.fd = -1;
    c.words.assign(kWords, 0xFFFF);
    std::string path = Root() + "/" + norflash::kImageName;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    char* data = (char*)c.words.data();
    size_t done = 0;
    while (done < kBytes) {
        ssize_t n = read(fd, data + done, kBytes - done);
        if (n <= 0) break;
        done += (size_t)n;
    }
    close(fd);
}

}  // namespace

namespace norflash {

void SetBusyReads(unsigned reads) { C().busy_reads = reads; }
void SetNeverFinish(bool never) { C().never_finish = never; }
uint16_t Word(uint32_t index) { return index < kWords ? C().words[index] : 0xFFFF; }
const std::vector<std::string>& Errors() { return C().errors; }
unsigned EraseCount(uint32_t sector) {
    return sector < C().erase_count.size() ? C().erase_count[sector] : 0;
}
uint64_t StatusReads() { return C().status_reads; }

}  // namespace norflash

namespace detail {

void AttachNorFlash() {
    Chip& c = C();
    Load();
    c.erase_count.assign(kBytes / kSectorBytes, 0);
    c.cycle = Cycle::Read;
    c.busy_reads = 2;
    c.never_finish = false;
    c.busy = false;
    c.busy_left = 0;
    c.toggle = false;
    c.status_reads = 0;
    c.errors.clear();
    RegDevice device;
    device.base = kBase;
    device.size = kBytes;
    device.read = Read;
    device.write = Write;
    AttachRegDevice(device);
}

}  // namespace detail
}  // namespace simos
