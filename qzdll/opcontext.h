// The operation context shared by the operation dialogs (one operation runs
// at a time), their private messages and timers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "face.h"
#include "pc_window.h"

namespace qz {

enum OpType {
    kOpSend = 0,   // download, PC to terminal
    kOpFetch = 1,  // upload, terminal to PC
    kOpList = 2,
    kOpDelete = 3,
    kOpGetId = 4,
    kOpGetTime = 5,
    kOpSetTime = 6,
    kOpMkdir = 7,
    kOpRmdir = 8,
};

constexpr unsigned WM_OP_FINISH = 0x0401;  // end the dialog
constexpr unsigned WM_OP_STEP = 0x0402;    // perform the step of the current state
constexpr unsigned WM_OP_NEXT = 0x0403;    // begin the next item

constexpr int kTimerStep = 1;  // fires WM_OP_STEP
constexpr int kTimerWatchdog = 2;
constexpr int kTimerNext = 3;  // fires WM_OP_NEXT
constexpr int64_t kTimerStepMs = 500;
constexpr int64_t kTimerWatchdogMs = 5000;
constexpr int64_t kTimerNextMs = 100;

constexpr int kPathItems = 16;
constexpr int kPathSize = 2048;
constexpr int kPacketSize = 4096;

struct OpContext {
    int type = 0;
    int item_count = 0;
    int item_index = 0;
    int ask_overwrite = 0;
    char pc_paths[kPathItems][kPathSize] = {};
    char hc_paths[kPathItems][kPathSize] = {};
    uint32_t total = 0;
    uint32_t done = 0;
    std::FILE* file = nullptr;
    int result = 0;
    int state = 0;
    // The caller's buffer (serial number, clock, entries) or text (delete,
    // set clock, directories), and the room of an entry buffer in entries.
    void* out = nullptr;
    const char* in_text = nullptr;
    int out_entries = 0;
    int list_total = 0;
    size_t list_pos = 0;
    unsigned char packet[kPacketSize] = {};
    pc::Hwnd dialog = 0;
    ProgressFace face;
};
extern OpContext g_Op;

// Stores `path` as item `index` of a path table. False (and nothing stored)
// when the index is outside the 16 items or the path does not fit.
bool SetPathItem(char (*table)[kPathSize], int index, const std::string& path);

}  // namespace qz
