// The free I/O pins and the NOR flash driver against the simulated
// microcontroller registers and flash chip.
#include <string.h>

#include <string>

#include "flash.h"
#include "norflash.h"
#include "pins.h"
#include "qzlibex.h"
#include "simroot.h"
#include "svcseam.h"

namespace {

const uint32_t kPort0 = 0xE0028000, kPort1 = 0xE0028010;
const uint32_t kSelect0 = 0xE002C000, kSelect2 = 0xE002C014;

class Pins : public SimRoot {};

TEST_F(Pins, OutputGoesHighAndReadsBack) {
    qz_reg_write32(kSelect0, 0xFFFFFFFF);  // every pin on another function
    EXPECT_EQ(_SetIoDir(15, 1), 1);
    EXPECT_EQ(qz_reg_read32(kSelect0), ~(0x3u << 8));
    EXPECT_EQ(simos::pins::Directions(0), 1u << 4);
    simos::ClearRegWrites();
    EXPECT_EQ(_SetIo(15, 1), 1);
    ASSERT_EQ(simos::RegWrites().size(), 1u);
    EXPECT_EQ(simos::RegWrites()[0].addr, kPort0 + 4);
    EXPECT_EQ(simos::RegWrites()[0].value, 1u << 4);
    EXPECT_EQ(_GetIo(15), 1);
    EXPECT_EQ(_SetIo(15, 0), 1);
    EXPECT_EQ(simos::RegWrites().back().addr, kPort0 + 12);
    EXPECT_EQ(_GetIo(15), 0);
}

TEST_F(Pins, InputsReadThePinLevel) {
    EXPECT_EQ(_SetIoDir(12, 0), 1);  // port 1 bit 23
    qz_reg_write32(kSelect2, 0xFF);
    EXPECT_EQ(_SetIoDir(12, 0), 1);
    EXPECT_EQ(qz_reg_read32(kSelect2), 0xFFu & ~(1u << 3));
    EXPECT_EQ(_GetIo(12), 0);
    simos::pins::SetInputLevel(1, 23, true);
    EXPECT_EQ(_GetIo(12), 1);
    EXPECT_EQ(qz_reg_read32(kPort1) >> 23 & 1, 1u);
}

TEST_F(Pins, TwoNumbersForOnePortBit) {
    EXPECT_EQ(_SetIoDir(204, 1), 1);
    EXPECT_EQ(_SetIo(5, 1), 1);
    EXPECT_EQ(_GetIo(204), 1);
    EXPECT_EQ(simos::pins::Outputs(0), 1u);
}

TEST_F(Pins, PinsWithoutAPort) {
    struct Case {
        int pin, dir, set, get;
    } cases[] = {
        {13, 0, 0, -1}, {1, 0, 0, -1}, {20, 0, 0, -1}, {101, -1, 0, -1}, {210, -1, 0, -1},
        {50, 50, 0, 0}, {0, 0, 0, 0},  {-3, -3, 0, 0}, {121, 121, 0, 0}, {211, 211, 0, 0},
    };
    simos::ClearRegWrites();
    for (const Case& c : cases) {
        EXPECT_EQ(_SetIoDir(c.pin, 1), c.dir) << c.pin;
        EXPECT_EQ(_SetIo(c.pin, 1), c.set) << c.pin;
        EXPECT_EQ(_GetIo(c.pin), c.get) << c.pin;
    }
    EXPECT_TRUE(simos::RegWrites().empty());
}

class Flash : public SimRoot {
  protected:
    static std::string Bytes(uint32 word, size_t n) {
        std::string out(n, '\0');
        EXPECT_EQ(FlashRead(word, (UINT8*)&out[0], (UINT32)n), 1);
        return out;
    }
    static void Fill(uint32 word, const std::string& data) {
        ASSERT_EQ(FlashWrite(word, (UINT8*)data.data(), (UINT32)data.size()), 1);
    }
};

TEST_F(Flash, EraseOneOrTwoBlocks) {
    struct Case {
        uint32 start, length;
        unsigned blocks;
    } cases[] = {
        {0x10000, 0, 1},        {0x10000, 4096, 1},
        {0x10000, 4097, 2},     {0x10000 + 2047, 2, 1},  // the last word of a block
        {0x10000 + 2047, 4, 2},                          // a range across a block boundary
    };
    for (const Case& c : cases) {
        Restart();
        Fill(0x10000, std::string(2, '\0'));
        Fill(0x10800, std::string(2, '\0'));  // first word of the next block
        EXPECT_EQ(FlashErase(c.start, c.length), 1);
        unsigned blocks = 0;
        for (uint32 s = 0; s < 1024; ++s) blocks += simos::norflash::EraseCount(s);
        EXPECT_EQ(blocks, c.blocks) << c.start << " + " << c.length;
        EXPECT_EQ(simos::norflash::Word(0x10000), 0xFFFF);
        EXPECT_EQ(simos::norflash::Word(0x10800) == 0xFFFF, c.blocks == 2);
        EXPECT_TRUE(simos::norflash::Errors().empty());
    }
}

TEST_F(Flash, ProgramReadAndPersist) {
    ASSERT_EQ(FlashErase(0x20000, 10), 1);
    Fill(0x20000, std::string("\x01\x02\x03\x04\x05", 5));
    EXPECT_EQ(simos::norflash::Word(0x20000), 0x0201);
    EXPECT_EQ(simos::norflash::Word(0x20002), 0xFF05);  // odd last byte
    EXPECT_EQ(Bytes(0x20000, 5), std::string("\x01\x02\x03\x04\x05", 5));
    Restart();
    EXPECT_EQ(Bytes(0x20000, 5), std::string("\x01\x02\x03\x04\x05", 5));
    EXPECT_TRUE(simos::norflash::Errors().empty());
}

// Writing over programmed words without an erase is an error the chip reports.
TEST_F(Flash, ProgrammingCannotSetBits) {
    ASSERT_EQ(FlashErase(0x30000, 2), 1);
    Fill(0x30000, std::string("\x0F\x00", 2));
    Fill(0x30000, std::string("\xF0\x00", 2));
    ASSERT_EQ(simos::norflash::Errors().size(), 1u);
    EXPECT_NE(simos::norflash::Errors()[0].find("0 into 1"), std::string::npos);
    EXPECT_EQ(simos::norflash::Word(0x30000), 0x0000);
}

TEST_F(Flash, BadRangesAndNullBuffers) {
    UINT8 data[4] = {1, 2, 3, 4};
    simos::ClearRegWrites();
    EXPECT_EQ(FlashRead(0, nullptr, 4), 0);
    EXPECT_EQ(FlashWrite(0, nullptr, 4), 0);
    EXPECT_EQ(FlashErase(0x200000, 0), 0);     // starts past the end
    EXPECT_EQ(FlashErase(0x1FF800, 4097), 0);  // runs past the end
    EXPECT_EQ(FlashWrite(0x1FFFFF, data, 4), 0);
    EXPECT_EQ(FlashRead(0x1FFFFF, data, 4), 0);
    EXPECT_EQ(FlashErase(0xFFFFFFFF, 0xFFFFFFFF), 0);
    EXPECT_TRUE(simos::RegWrites().empty());
    EXPECT_EQ(FlashRead(0x1FFFFF, data, 2), 1);  // the last word
    EXPECT_EQ(FlashErase(0x1FF800, 4096), 1);    // the last block
}

TEST_F(Flash, ChipThatNeverFinishes) {
    simos::norflash::SetNeverFinish(true);
    EXPECT_EQ(FlashErase(0x40000, 0), 0);
    EXPECT_EQ(simos::norflash::StatusReads(), 0x57317u);  // the erase poll limit
    UINT8 data[2] = {0, 0};
    EXPECT_EQ(FlashWrite(0x40000, data, 2), 0);
}

TEST_F(Flash, SlowChipStillFinishes) {
    simos::norflash::SetBusyReads(100);
    EXPECT_EQ(FlashErase(0x40000, 0), 1);
    UINT8 data[2] = {0x34, 0x12};
    EXPECT_EQ(FlashWrite(0x40000, data, 2), 1);
    EXPECT_EQ(simos::norflash::Word(0x40000), 0x1234);
    simos::norflash::SetBusyReads(200);  // beyond the program poll limit
    EXPECT_EQ(FlashErase(0x40000, 0), 1);
    EXPECT_EQ(FlashWrite(0x40000, data, 2), 0);
}

TEST_F(Flash, MachineInfoAndTags) {
    EXPECT_EQ(_ReadTags(), 3);  // an erased block reads as all ones
    MACHINE_INFO info;
    memset(&info, 0, sizeof info);
    strcpy(info.MachineNumber, "QZ2026000001");
    info.ShutDownTime = 0x1234;
    info.CommBaud = 7;
    ASSERT_EQ(StoreMachineINFO(&info), 1);
    EXPECT_EQ(simos::norflash::Word(0x7800 + 26), 0x1234);  // byte 52, little-endian

    struct Case {
        int8 tag;
        int read;
        uint8 recovery, backup;
    } cases[] = {{3, 3, 1, 1}, {2, 2, 0, 1}, {1, 1, 1, 0}, {0, 0, 0, 0}};
    for (const Case& c : cases) {
        simos::ClearRegWrites();
        ASSERT_EQ(_WriteTags(c.tag), 1);
        EXPECT_EQ(_ReadTags(), c.read);
        MACHINE_INFO back;
        ASSERT_EQ(LoadMachineINFO(&back), 1);
        EXPECT_EQ(back.RecoverySiteTags, c.recovery);
        EXPECT_EQ(back.BackupbattTags, c.backup);
        EXPECT_STREQ(back.MachineNumber, "QZ2026000001");
        EXPECT_EQ(back.ShutDownTime, 0x1234);
        EXPECT_EQ(back.CommBaud, 7);
        // The tick is switched off first and back on last.
        const auto& w = simos::RegWrites();
        ASSERT_GE(w.size(), 2u);
        EXPECT_EQ(w.front().addr, 0xFFFFF014u);
        EXPECT_EQ(w.back().addr, 0xFFFFF010u);
    }
    Restart();
    EXPECT_EQ(_ReadTags(), 0);
    EXPECT_EQ(LoadMachineINFO(nullptr), 0);
    EXPECT_EQ(StoreMachineINFO(nullptr), 0);
    EXPECT_EQ(simos::norflash::EraseCount(0x7800 * 2 / 4096), 0u);
}

TEST_F(Flash, FailedStoreReportsFailureAndEnablesTheTick) {
    simos::norflash::SetNeverFinish(true);
    simos::ClearRegWrites();
    EXPECT_EQ(_WriteTags(1), 0);
    EXPECT_EQ(simos::RegWrites().back().addr, 0xFFFFF010u);
}

}  // namespace
