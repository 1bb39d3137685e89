// The packet protocol: 4096-byte packets exchanged with a DEVICE_U2C
// terminal over the USB link, each operation driven by a modal dialog.
//
// Every operation opens the USB link, runs its dialog and closes the link,
// and returns 0 on success (a listing: the number of entries) or:
//   -1 no (valid) answer within 5 seconds    -2 the USB link cannot be opened
//   -3 no such terminal file or directory    -5 the PC file cannot be opened or written
//   -6 the user declined to overwrite        -8 delete refused
//   -9 set clock refused   -10 make directory refused   -11 remove directory refused
// Operations never overlap: a second caller waits for the first.
#pragma once

#include <string>
#include <vector>

#include "face.h"

namespace qz {

// One file of a transfer: the PC path and the terminal path.
struct PathPair {
    std::string pc;
    std::string hc;
};

// Sends each PC file to its terminal path (at most 16 items; later items are
// ignored). With `ask_overwrite` 1 an existing terminal file is replaced only
// after the user says yes.
int PacketSendFiles(const std::vector<PathPair>& items, int ask_overwrite);
// Fetches each terminal file to its PC path, replacing the PC file.
int PacketFetchFiles(const std::vector<PathPair>& items, int ask_overwrite);
// Lists terminal directory `dir` into `entries` (32 bytes each, room for
// `capacity` entries; entries beyond it are dropped). Returns the number of
// entries stored.
int PacketList(const char* dir, void* entries, int capacity);
int PacketDelete(const char* path);
// `buffer` receives the 12-character serial number and a NUL (13 bytes).
int PacketGetId(char* buffer);
// `buffer` receives "YYYY-MM-DD HH:MM:SS" and a NUL (20 bytes).
int PacketGetTime(char* buffer);
int PacketSetTime(const char* text);
int PacketMkdir(const char* path);
int PacketRmdir(const char* path);

// The face of the last operation as it stood when its dialog ended.
ProgressFace LastFace();

// Packet dialog states.
enum PacketState {
    PkIdle,
    PkSendName,
    PkSendPutHeader,
    PkSendData,
    PkFileDone,
    PkOpenTarget,
    PkWriteChunk,
    PkWriteLastChunk,
    PkSendListStart,
    PkTakeListChunk,
    PkTakeLastListChunk,
    PkSendDelete,
    PkDeleteAnswered,
    PkSendId,
    PkIdAnswered,
    PkSendGetTime,
    PkClockAnswered,
    PkSendSetTime,
    PkSetTimeAnswered,
    PkSendMkdir,
    PkMkdirAnswered,
    PkSendRmdir,
    PkRmdirAnswered
};

}  // namespace qz
