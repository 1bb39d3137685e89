#include "packet.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "opcontext.h"
#include "pc_debug.h"
#include "pc_ui.h"
#include "texts.h"
#include "transport.h"

namespace qz {

OpContext g_Op;

bool SetPathItem(char (*table)[kPathSize], int index, const std::string& path) {
    if (index < 0 || index >= kPathItems || path.size() >= kPathSize) return false;
    std::memcpy(table[index], path.c_str(), path.size() + 1);
    return true;
}

namespace {

constexpr int kChunkData = 4088;  // data bytes of one chunk packet
constexpr int kEntrySize = 32;
constexpr int kEntriesPerChunk = kChunkData / kEntrySize;

std::mutex g_op_mu;  // one operation at a time
std::mutex g_face_mu;
ProgressFace g_last_face;

void Debugf(const char* fmt, int a, int b = 0, int c = 0, int d = 0) {
    char buf[128];
    std::snprintf(buf, sizeof buf, fmt, a, b, c, d);
    pc::DebugOutput(buf);
}

uint32_t Le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
unsigned Le16(const unsigned char* p) { return p[0] | (p[1] << 8); }
void PutLe32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// Clears the packet buffer and puts the four header bytes.
unsigned char* Begin(char kind, char cmd, char sub) {
    OpContext& op = g_Op;
    std::memset(op.packet, 0, sizeof op.packet);
    op.packet[0] = static_cast<unsigned char>(kind);
    op.packet[2] = static_cast<unsigned char>(cmd);
    op.packet[3] = static_cast<unsigned char>(sub);
    return op.packet;
}

// Puts a NUL-terminated text at offset 4, cut to fit the packet.
void PutText(const char* text) {
    size_t n = text ? strnlen(text, kPacketSize - 5) : 0;
    std::memcpy(g_Op.packet + 4, text ? text : "", n);
}

// Writes the built packet; on success lets the reader take the answer.
void Send(bool enable_read = true) {
    if (UsbWrite(g_Op.packet, kPacketSize) == 0 && enable_read) EnableRead();
}

void SendPacket(char kind, char cmd, char sub, const char* text = nullptr) {
    Begin(kind, cmd, sub);
    if (text) PutText(text);
    Send();
}

void ShowProgress() { g_Op.face.ShowProgress(g_Op.done, ProgressPercent(g_Op.done, g_Op.total)); }

// False when the file's last buffered bytes could not be written.
bool CloseFile() {
    bool ok = g_Op.file == nullptr || std::fclose(g_Op.file) == 0;
    g_Op.file = nullptr;
    return ok;
}

// Length of the chunk in the received packet, bounded by the packet.
size_t ChunkLength() { return std::min<size_t>(Le16(g_Op.packet + 4), kChunkData); }

// Writes the received chunk to the open PC file: -1 when no file is open (an
// answer out of order), -5 when the PC file does not take it (a full disk),
// else 0.
int WriteChunk() {
    size_t n = ChunkLength();
    if (g_Op.file == nullptr) return -1;
    if (std::fwrite(g_Op.packet + 8, 1, n, g_Op.file) != n) return -5;
    g_Op.done += static_cast<uint32_t>(n);
    return 0;
}

void AppendListChunk(bool last) {
    OpContext& op = g_Op;
    unsigned count = Le16(op.packet + 6);
    // Take only whole entries that the chunk really carries and the caller
    // has room for; the rest is dropped.
    size_t n = std::min<size_t>(
        {count, Le16(op.packet + 4) / kEntrySize, static_cast<size_t>(kEntriesPerChunk)});
    size_t room = op.out_entries > op.list_total ? op.out_entries - op.list_total : 0;
    size_t take = std::min(n, room);
    if (take > 0 && op.out != nullptr)
        std::memcpy(static_cast<unsigned char*>(op.out) + op.list_pos, op.packet + 8,
                    take * kEntrySize);
    op.list_pos += take * kEntrySize;
    op.list_total += static_cast<int>(take);
    op.result = op.list_total;
    if (take < count) Debugf("\nlist entries dropped: %d", static_cast<int>(count - take));
    Debugf("\nFileNum :%d  End %d %x %x ", op.list_total, last ? 1 : 0, count & 0xFF,
           (count >> 8) & 0xFF);
}

void Fail(pc::Hwnd h, int result) {
    g_Op.result = result;
    pc::EndDialog(h, 0);
}

void Step(pc::Hwnd h) {
    OpContext& op = g_Op;
    int state = op.state;
    op.state = PkIdle;
    const char* hc = op.hc_paths[op.item_index % kPathItems];
    const char* pcp = op.pc_paths[op.item_index % kPathItems];
    switch (state) {
        case PkSendName:
            SendPacket('C', 'N', '0', hc);
            break;
        case PkSendPutHeader: {
            CloseFile();
            op.file = std::fopen(pcp, "rb");
            long size = -1;
            if (op.file && std::fseek(op.file, 0, SEEK_END) == 0) size = std::ftell(op.file);
            if (size < 0 || size > 0xFFFFFFFFL || std::fseek(op.file, 0, SEEK_SET) != 0) {
                CloseFile();
                return Fail(h, -5);
            }
            op.total = static_cast<uint32_t>(size);
            op.done = 0;
            op.face.ShowTotal(op.total);
            PutLe32(Begin('C', 'P', 'D') + 4, op.total);
            Send();
            break;
        }
        case PkSendData: {
            if (op.file == nullptr) return Fail(h, -1);  // a reply out of order
            unsigned char buf[kChunkData];
            size_t n = std::fread(buf, 1, sizeof buf, op.file);
            bool full = n == sizeof buf;
            if (!full) CloseFile();
            unsigned char* p = Begin('D', 'P', full ? 'Y' : 'N');
            p[4] = static_cast<unsigned char>(n & 0xFF);
            p[5] = static_cast<unsigned char>(n >> 8);
            std::memcpy(p + 8, buf, n);
            op.done += static_cast<uint32_t>(n);
            Send();
            ShowProgress();
            break;
        }
        case PkFileDone:
            ++op.item_index;
            pc::SendMessage(h, WM_OP_NEXT, 0, 0);
            return;
        case PkOpenTarget:
            CloseFile();
            op.file = std::fopen(pcp, "wb");
            if (op.file == nullptr) return Fail(h, -5);
            op.face.ShowTotal(op.total);
            SendPacket('C', 'G', 'D');
            break;
        case PkWriteChunk:
            if (int failed = WriteChunk()) return Fail(h, failed);
            SendPacket('C', 'G', 'Y');
            ShowProgress();
            break;
        case PkWriteLastChunk:
            if (int failed = WriteChunk()) return Fail(h, failed);
            if (!CloseFile()) return Fail(h, -5);
            Begin('C', 'G', 'N');
            Send(false);
            ShowProgress();
            ++op.item_index;
            pc::SendMessage(h, WM_OP_NEXT, 0, 0);
            return;
        case PkSendListStart:
            SendPacket('C', 'L', 'D');
            break;
        case PkTakeListChunk:
            AppendListChunk(false);
            SendPacket('C', 'L', 'Y');
            break;
        case PkTakeLastListChunk:
            AppendListChunk(true);
            Begin('C', 'L', 'N');
            Send(false);
            pc::SendMessage(h, WM_OP_FINISH, 0, 0);
            return;
        case PkSendDelete:
            SendPacket('C', 'D', 'F', op.in_text);
            break;
        case PkSendId:
            SendPacket('C', 'I', 'D');
            break;
        case PkSendGetTime:
            SendPacket('C', 'G', 'T');
            break;
        case PkSendSetTime:
            SendPacket('C', 'S', 'T', op.in_text);
            break;
        case PkSendMkdir:
            SendPacket('C', 'M', 'D', op.in_text);
            break;
        case PkSendRmdir:
            SendPacket('C', 'R', 'M', op.in_text);
            break;
        default:  // idle, or an answer has been taken
            pc::SendMessage(h, WM_OP_FINISH, 0, 0);
            return;
    }
    pc::SetTimer(h, kTimerWatchdog, kTimerWatchdogMs);
}

// Sets result and state from a control answer; returns false when the
// answer is not one this operation expects.
bool ControlAnswer() {
    OpContext& op = g_Op;
    const unsigned char* p = op.packet;
    auto answered = [&](int refused, int state) {
        op.result = p[4] == 'Y' ? 0 : refused;
        op.state = state;
        return true;
    };
    switch (p[2]) {
        case 'N':
            if (op.type == kOpSend) {
                bool declined =
                    p[4] == 'Y' && op.ask_overwrite == 1 &&
                    pc::AskYesNo(text::kOverwriteQuestion,
                                 op.hc_paths[op.item_index % kPathItems]) != pc::Answer::kYes;
                op.state = declined ? PkIdle : PkSendPutHeader;
                if (declined) op.result = -6;
                return true;
            }
            if (op.type == kOpFetch) {
                if (p[4] == 'N') {
                    op.result = -3;
                    return true;
                }
                op.total = Le32(p + 5);
                op.done = 0;
                op.state = PkOpenTarget;
                return true;
            }
            if (op.type == kOpList) {
                if (p[4] == 'N')
                    op.result = -3;
                else
                    op.state = PkSendListStart;
                return true;
            }
            return false;
        case 'P':
            if (op.type != kOpSend) return false;
            if (p[3] == 'D' || p[3] == 'Y') {
                op.state = PkSendData;
            } else if (p[3] == 'N') {
                op.result = 0;
                op.state = PkFileDone;
            } else {
                return false;
            }
            return true;
        case 'D':
            return p[3] == 'F' && op.type == kOpDelete && answered(-8, PkDeleteAnswered);
        case 'S':
            return p[3] == 'T' && op.type == kOpSetTime && answered(-9, PkSetTimeAnswered);
        case 'M':
            return p[3] == 'D' && op.type == kOpMkdir && answered(-10, PkMkdirAnswered);
        case 'R':
            return p[3] == 'M' && op.type == kOpRmdir && answered(-11, PkRmdirAnswered);
    }
    return false;
}

bool DataAnswer() {
    OpContext& op = g_Op;
    const unsigned char* p = op.packet;
    switch (p[2]) {
        case 'G':
            if (op.type != kOpFetch) return false;
            if (p[3] == 'Y') {
                op.state = PkWriteChunk;
            } else if (p[3] == 'N') {
                op.result = 0;
                op.state = PkWriteLastChunk;
            } else {
                return false;
            }
            return true;
        case 'I':
            if (p[3] != 'N' || op.type != kOpGetId || op.out == nullptr) return false;
            std::memcpy(op.out, p + 8, 12);
            static_cast<char*>(op.out)[12] = '\0';
            op.result = 0;
            op.state = PkIdAnswered;
            return true;
        case 'L':
            if (op.type != kOpList) return false;
            if (p[3] == 'Y')
                op.state = PkTakeListChunk;
            else if (p[3] == 'N')
                op.state = PkTakeLastListChunk;
            else
                return false;
            return true;
        case 'T':
            if (p[3] != 'N' || op.type != kOpGetTime || op.out == nullptr) return false;
            std::memcpy(op.out, p + 8, 19);
            static_cast<char*>(op.out)[19] = '\0';
            op.result = 0;
            op.state = PkClockAnswered;
            return true;
    }
    return false;
}

void OnLinkData(pc::Hwnd h, intptr_t length) {
    OpContext& op = g_Op;
    Debugf("\nREAD LENGTH:%d", static_cast<int>(length));
    if (length != kPacketSize) {
        // Not a whole packet (the reader's empty read after its time-out, a
        // short transfer, or a serial notice): nothing to examine. The
        // watchdog keeps running, so a terminal that does not answer
        // properly ends the operation with -1 rather than a false success.
        return;
    }
    pc::KillTimer(h, kTimerWatchdog);
    CopyReceived(op.packet, sizeof op.packet);
    bool known = false;
    if (op.packet[0] == 'C') known = ControlAnswer();
    if (op.packet[0] == 'D') known = DataAnswer();
    if (!known) {
        pc::DebugOutput("\nunexpected answer");
        op.state = PkIdle;
        if (op.result == 0) op.result = -1;
    }
    pc::SendMessage(h, WM_OP_STEP, 0, 0);
}

void OnNext(pc::Hwnd h) {
    OpContext& op = g_Op;
    if (op.item_index >= op.item_count) {
        op.item_index = 0;
        pc::SendMessage(h, WM_OP_FINISH, 0, 0);
        return;
    }
    switch (op.type) {
        case kOpSend:
        case kOpFetch:
        case kOpList:
            op.face.ShowNames(op.pc_paths[op.item_index], op.hc_paths[op.item_index], true);
            op.state = PkSendName;
            break;
        case kOpDelete:
            op.face.ShowDeleteText(op.in_text);
            op.state = PkSendDelete;
            break;
        case kOpGetId:
            op.state = PkSendId;
            break;
        case kOpGetTime:
            op.state = PkSendGetTime;
            break;
        case kOpSetTime:
            op.state = PkSendSetTime;
            break;
        case kOpMkdir:
            op.state = PkSendMkdir;
            break;
        case kOpRmdir:
            op.state = PkSendRmdir;
            break;
    }
    pc::SetTimer(h, kTimerStep, kTimerStepMs);
}

void PacketDialog(pc::Hwnd h, unsigned msg, uintptr_t wparam, intptr_t lparam) {
    OpContext& op = g_Op;
    switch (msg) {
        case pc::kMsgInitDialog:
            op.dialog = h;
            op.item_index = 0;
            op.face = ProgressFace();
            op.face.Build(op.type, "HC");
            g_UsbLink.notify_window = h;
            g_Com.notify_window = h;
            pc::SetTimer(h, kTimerNext, kTimerNextMs);
            break;
        case pc::kMsgTimer:
            pc::KillTimer(h, static_cast<int>(wparam));
            if (wparam == kTimerStep) pc::SendMessage(h, WM_OP_STEP, 0, 0);
            if (wparam == kTimerWatchdog) Fail(h, -1);
            if (wparam == kTimerNext) pc::SendMessage(h, WM_OP_NEXT, 0, 0);
            break;
        case WM_OP_NEXT:
            OnNext(h);
            break;
        case WM_OP_STEP:
            Step(h);
            break;
        case WM_LINK_DATA:
            OnLinkData(h, lparam);
            break;
        case WM_OP_FINISH:
            pc::KillTimer(h, kTimerWatchdog);
            pc::EndDialog(h, 0);
            break;
        case pc::kMsgDestroy:
            // A file left open by a failed step is closed as far as it got.
            CloseFile();
            g_UsbLink.notify_window = 0;
            g_Com.notify_window = 0;
            CloseUsbLink();
            op.face.Finish();
            op.dialog = 0;
            break;
    }
}

// Runs one packet operation whose context `fill` sets up.
template <typename Fill>
int Run(int type, Fill fill) {
    std::lock_guard<std::mutex> one_at_a_time(g_op_mu);
    OpContext& op = g_Op;
    op.result = 0;
    op.list_total = 0;
    op.list_pos = 0;
    if (OpenUsbLink() != 0) return -2;
    op.type = type;
    op.item_count = 1;
    op.item_index = 0;
    op.ask_overwrite = 0;
    op.out = nullptr;
    op.in_text = nullptr;
    op.out_entries = 0;
    op.state = PkIdle;
    op.pc_paths[0][0] = '\0';
    op.hc_paths[0][0] = '\0';
    fill(op);
    pc::RunModal(PacketDialog);
    CloseUsbLink();
    {
        std::lock_guard<std::mutex> g(g_face_mu);
        g_last_face = op.face;
    }
    return op.result;
}

int RunTransfer(int type, const std::vector<PathPair>& items, int ask_overwrite) {
    // Check every path before anything goes to the terminal.
    for (size_t i = 0; i < items.size() && i < kPathItems; ++i)
        if (items[i].pc.size() >= kPathSize || items[i].hc.size() >= kPathSize) return -5;
    if (items.size() > kPathItems) pc::DebugOutput("\nmore than 16 files: the rest are ignored");
    return Run(type, [&](OpContext& op) {
        op.ask_overwrite = ask_overwrite;
        op.item_count = static_cast<int>(std::min<size_t>(items.size(), kPathItems));
        for (int i = 0; i < op.item_count; ++i) {
            SetPathItem(op.pc_paths, i, items[i].pc);
            SetPathItem(op.hc_paths, i, items[i].hc);
        }
    });
}

int RunText(int type, const char* text) {
    return Run(type, [&](OpContext& op) { op.in_text = text ? text : ""; });
}

}  // namespace

int PacketSendFiles(const std::vector<PathPair>& items, int ask_overwrite) {
    return RunTransfer(kOpSend, items, ask_overwrite);
}

int PacketFetchFiles(const std::vector<PathPair>& items, int ask_overwrite) {
    return RunTransfer(kOpFetch, items, ask_overwrite);
}

int PacketList(const char* dir, void* entries, int capacity) {
    if (dir == nullptr || std::strlen(dir) >= kPathSize) return -3;
    return Run(kOpList, [&](OpContext& op) {
        SetPathItem(op.hc_paths, 0, dir);
        op.out = entries;
        op.out_entries = entries ? std::max(capacity, 0) : 0;
    });
}

int PacketDelete(const char* path) { return RunText(kOpDelete, path); }
int PacketSetTime(const char* text) { return RunText(kOpSetTime, text); }
int PacketMkdir(const char* path) { return RunText(kOpMkdir, path); }
int PacketRmdir(const char* path) { return RunText(kOpRmdir, path); }

int PacketGetId(char* buffer) {
    return Run(kOpGetId, [&](OpContext& op) { op.out = buffer; });
}

int PacketGetTime(char* buffer) {
    return Run(kOpGetTime, [&](OpContext& op) { op.out = buffer; });
}

ProgressFace LastFace() {
    std::lock_guard<std::mutex> g(g_face_mu);
    return g_last_face;
}

}  // namespace qz
