// The NOR flash driver and the machine information block.
//
// The flash is a 16-bit device on the external bus at BaseAddrs, programmed
// with the unlock-sequence command set. Flash addresses passed to the
// routines are indexes of 16-bit words from BaseAddrs; lengths are in bytes.
// Erasing works on 4096-byte blocks; programming can only clear bits, so a
// range is erased before it is written.
#pragma once

#include "qzlib.h"

extern const UINT32 BaseAddrs;     // 0x80000000
extern const UINT32 FLASH_SIZE;    // 4 MiB
extern const UINT32 ERASE_BLOCKS;  // 1024 blocks of 4096 bytes

// The machine information block, stored little-endian at word 0x7800 (byte
// BaseAddrs + 0xF000), alone in its block.
struct MACHINE_INFO {
    char MachineNumber[16];
    char MachineID[16];
    char ManufactureID[16];
    uint8 RecoverySiteTags;
    uint8 BackupbattTags;
    uint8 BeepOnOffTags;
    uint8 Reserved;  // alignment byte; stored as the record holds it
    uint16 ShutDownTime;
    uint16 BacklightValue;
    uint16 ContrastValue;
    uint8 CommPort;
    uint8 CommBaud;
};
typedef MACHINE_INFO* PMACHINE_INFO;
static_assert(sizeof(MACHINE_INFO) == 60, "the machine information block is 60 bytes in flash");
static_assert(offsetof(MACHINE_INFO, RecoverySiteTags) == 48, "tags start at byte 48");
static_assert(offsetof(MACHINE_INFO, ShutDownTime) == 52, "settings start at byte 52");
static_assert(offsetof(MACHINE_INFO, CommPort) == 58, "port and baud are the last two bytes");

// Word index of the machine information block.
enum { MACHINE_INFO_ADDR = 0x7800 };

// Erases the blocks that hold the FlashLength bytes from word FlashStart (at
// least one block, so a length of 0 erases the block of FlashStart). Returns
// 1, or 0 when a block does not finish erasing or the range leaves the flash
// (then nothing is erased).
int FlashErase(UINT32 FlashStart, UINT32 FlashLength);

// Programs DataLength bytes (low byte first in each word) from word
// FlashStart; the range must be erased. An odd last byte is programmed with
// an erased high byte. Returns 1, or 0 when a word does not finish
// programming, the buffer is null or the range leaves the flash.
int FlashWrite(UINT32 FlashStart, UINT8* pDataBuffer, UINT32 DataLength);

// Copies DataLength bytes from word FlashStart. Returns 1, or 0 for a null
// buffer or a range that leaves the flash (nothing read).
int FlashRead(UINT32 FlashStart, UINT8* pDataBuffer, UINT32 DataLength);

// Status polling of an operation on word Dst, at most MaxCycles reads. Data
// polling waits until bit 7 reads as in TrueData; toggle polling until bit 6
// stops toggling. Each returns 1 when the operation finished, else 0.
int Check_Data_Polling(UINT32 Dst, UINT16 TrueData, UINT32 MaxCycles);
int Check_Toggle_Ready(UINT32 Dst, UINT32 MaxCycles);

// A short busy wait after an operation ends.
void Delay_1_Microsecond();

// Reads / stores the machine information block. Each returns 1, or 0 on
// failure (null record, erase or program not finished).
int LoadMachineINFO(MACHINE_INFO* MachineINFO);
int StoreMachineINFO(MACHINE_INFO* MachineINFO);

// The two tag bits of the block: (BackupbattTags bit 0) * 2 +
// (RecoverySiteTags bit 0); -1 when the block cannot be loaded.
int _ReadTags();
// Stores the block with RecoverySiteTags = Tag bit 0 and BackupbattTags = Tag
// bit 1, the other fields as loaded; 1 when done, 0 when loading or storing
// fails. The timer tick is off from before the load to the end.
int _WriteTags(int8 Tag);
