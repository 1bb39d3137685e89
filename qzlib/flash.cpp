// The NOR flash driver and the machine information block.
#include "flash.h"

#include "svcseam.h"

const UINT32 BaseAddrs = 0x80000000u;
const UINT32 FLASH_SIZE = 0x400000u;
const UINT32 ERASE_BLOCKS = 0x400u;

namespace {

const UINT32 kBlockBytes = 4096;  // FLASH_SIZE / ERASE_BLOCKS
const UINT32 kBlockWords = kBlockBytes / 2;
const UINT32 kFlashWords = 0x200000u;  // FLASH_SIZE / 2

// Poll limits, in status reads.
const UINT32 kErasePolls = 0x57317;
const UINT32 kProgramPolls = 143;

// Command cycles go to these two words.
const UINT32 kUnlock1 = 0x5555;
const UINT32 kUnlock2 = 0x2AAA;

UINT32 Address(UINT32 word) { return BaseAddrs + 2 * word; }

void WriteWord(UINT32 word, UINT16 value) { qz_reg_write16(Address(word), value); }

UINT16 ReadWord(UINT32 word) { return qz_reg_read16(Address(word)); }

void Unlock() {
    WriteWord(kUnlock1, 0xAA);
    WriteWord(kUnlock2, 0x55);
}

// True when the bytes [start word, + length) lie inside the flash.
bool Inside(UINT32 start, UINT32 length) {
    if (start >= kFlashWords) return false;
    UINT32 room = (kFlashWords - start) * 2;
    return length <= room;
}

}  // namespace

void Delay_1_Microsecond() {
    for (volatile int i = 0; i < 25; ++i) {
    }
}

int Check_Data_Polling(UINT32 Dst, UINT16 TrueData, UINT32 MaxCycles) {
    for (UINT32 i = 0; i < MaxCycles; ++i) {
        if ((ReadWord(Dst) & 0x80) == (TrueData & 0x80)) {
            Delay_1_Microsecond();
            return 1;
        }
    }
    return 0;
}

int Check_Toggle_Ready(UINT32 Dst, UINT32 MaxCycles) {
    UINT16 previous = ReadWord(Dst) & 0x40;
    for (UINT32 i = 0; i < MaxCycles; ++i) {
        UINT16 now = ReadWord(Dst) & 0x40;
        if (now == previous) {
            Delay_1_Microsecond();
            return 1;
        }
        previous = now;
    }
    return 0;
}

int FlashErase(UINT32 FlashStart, UINT32 FlashLength) {
    if (!Inside(FlashStart, FlashLength)) return 0;
    // Every block that holds a byte of the range: a range that starts inside
    // a block and crosses into the next one erases both.
    UINT32 first = FlashStart / kBlockWords;
    UINT32 lastByte = FlashLength == 0 ? 0 : FlashLength - 1;
    UINT32 last = (FlashStart + lastByte / 2) / kBlockWords;
    for (UINT32 block = first; block <= last && block - first < ERASE_BLOCKS; ++block) {
        UINT32 word = block * kBlockWords;
        Unlock();
        WriteWord(kUnlock1, 0x80);
        Unlock();
        WriteWord(word, 0x30);
        if (!Check_Data_Polling(word, 0xFFFF, kErasePolls)) return 0;
    }
    return 1;
}

int FlashWrite(UINT32 FlashStart, UINT8* pDataBuffer, UINT32 DataLength) {
    if (!pDataBuffer || !Inside(FlashStart, DataLength)) return 0;
    for (UINT32 i = 0; i < DataLength; i += 2) {
        // An odd last byte goes with an erased high byte, which programming
        // leaves as it is.
        UINT8 high = i + 1 < DataLength ? pDataBuffer[i + 1] : 0xFF;
        UINT16 data = (UINT16)(pDataBuffer[i] | (high << 8));
        UINT32 word = FlashStart + i / 2;
        Unlock();
        WriteWord(kUnlock1, 0xA0);
        WriteWord(word, data);
        if (!Check_Toggle_Ready(word, kProgramPolls)) return 0;
    }
    return 1;
}

// The flash is read a word at a time through the bus seam: a 16-bit device
// answers 16-bit reads.
int FlashRead(UINT32 FlashStart, UINT8* pDataBuffer, UINT32 DataLength) {
    if (!pDataBuffer || !Inside(FlashStart, DataLength)) return 0;
    for (UINT32 i = 0; i < DataLength; i += 2) {
        UINT16 w = ReadWord(FlashStart + i / 2);
        pDataBuffer[i] = (UINT8)(w & 0xFF);
        if (i + 1 < DataLength) pDataBuffer[i + 1] = (UINT8)(w >> 8);
    }
    return 1;
}

int LoadMachineINFO(MACHINE_INFO* MachineINFO) {
    return FlashRead(MACHINE_INFO_ADDR, (UINT8*)MachineINFO, sizeof(MACHINE_INFO));
}

int StoreMachineINFO(MACHINE_INFO* MachineINFO) {
    if (!MachineINFO) return 0;
    if (!FlashErase(MACHINE_INFO_ADDR, sizeof(MACHINE_INFO))) return 0;
    return FlashWrite(MACHINE_INFO_ADDR, (UINT8*)MachineINFO, sizeof(MACHINE_INFO));
}

int _ReadTags() {
    MACHINE_INFO info;
    if (!LoadMachineINFO(&info)) return -1;
    return (info.BackupbattTags & 1) * 2 + (info.RecoverySiteTags & 1);
}

int _WriteTags(int8 Tag) {
    _DisableArmIrqInt();
    MACHINE_INFO info;
    int done = LoadMachineINFO(&info);
    if (done) {
        info.RecoverySiteTags = (uint8)(Tag & 1);
        info.BackupbattTags = (uint8)((Tag >> 1) & 1);
        done = StoreMachineINFO(&info);
    }
    _EnableArmIrqInt();
    return done;
}
