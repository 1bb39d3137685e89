// Service lookup, clock, keys, strings and memory, devices the host does not
// have, and the register file of the simulated terminal OS.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <chrono>
#include <deque>
#include <map>
#include <thread>
#include <type_traits>

#include "flashpath.h"
#include "internal.h"
#include "norflash.h"
#include "pins.h"
#include "qzlib.h"
#include "svcseam.h"

namespace simos {

namespace {

const unsigned kGroups = 16;
const unsigned kIndexes = 64;

struct State {
    Config config;
    std::string root;
    void* table[kGroups][kIndexes] = {};
    LookupHook hook = nullptr;
    // Clock: simulated ms = base_ms + elapsed host ms (or manual ms when frozen).
    uint64_t base_ms = 0;
    std::chrono::steady_clock::time_point host_start;
    uint64_t manual_ms = 0;
    uint64_t boot_ms = 0;
    std::deque<uint32_t> keys;
    std::function<uint32_t()> key_provider;
    std::function<void()> wait_hook;
    std::vector<std::string> log;
    std::vector<RegDevice> reg_devices;
    std::map<uint32_t, uint32_t> regs;
    std::vector<RegWrite> reg_writes;
    bool irq_masked = false;
};

State& S() {
    static State state;
    return state;
}

uint64_t ElapsedMs() {
    State& s = S();
    if (s.config.clock_frozen) return s.manual_ms;
    auto d = std::chrono::steady_clock::now() - s.host_start;
    return (uint64_t)std::chrono::duration_cast<std::chrono::milliseconds>(d).count() + s.manual_ms;
}

struct tm NowTm() {
    time_t t = Now();
    struct tm tmv;
    gmtime_r(&t, &tmv);  // the simulated clock counts local time directly
    return tmv;
}

// Reads up to three numbers separated by anything that is not a digit.
int ReadNumbers(const char* text, long out[], int most) {
    int n = 0;
    const char* p = text;
    while (p && *p && n < most) {
        while (*p && (*p < '0' || *p > '9')) ++p;
        if (!*p) break;
        char* end;
        out[n++] = strtol(p, &end, 10);
        p = end;
    }
    return n;
}

void SetCalendar(struct tm tmv) {
    time_t t = timegm(&tmv);
    SetClock(t);
}

// ---- routines that answer for devices the host does not have ----

template <class R>
R Failure() {
    if constexpr (std::is_void_v<R>) {
        return;
    } else if constexpr (std::is_pointer_v<R>) {
        return nullptr;
    } else if constexpr (std::is_signed_v<R>) {
        return (R)-1;
    } else {
        return (R)0;
    }
}

template <unsigned G, unsigned I, class R, class... A>
R Absent(A...) {
    char event[64];
    snprintf(event, sizeof event, "absent service %u/%u", G, I);
    detail::LogEvent(event);
    return Failure<R>();
}

template <unsigned G, unsigned I, class R, class... A>
void* AbsentFor(R (*)(A...)) {
    return (void*)&Absent<G, I, R, A...>;
}

// An implementation must have exactly the wrapper's type.

void Logged(const char* event) { detail::LogEvent(event); }

// ---- clock services ----
void GetTimeR(char* time, char div) {
    struct tm t = NowTm();
    if (div)
        sprintf(time, "%02d%c%02d%c%02d", t.tm_hour, div, t.tm_min, div, t.tm_sec);
    else
        sprintf(time, "%02d%02d%02d", t.tm_hour, t.tm_min, t.tm_sec);
}
void GetDateR(char* date, char div) {
    struct tm t = NowTm();
    if (div)
        sprintf(date, "%04d%c%02d%c%02d", t.tm_year + 1900, div, t.tm_mon + 1, div, t.tm_mday);
    else
        sprintf(date, "%04d%02d%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
}
void GetDateTimeR(char* out, char d1, char d2) {
    GetDateR(out, d1);
    strcat(out, " ");
    GetTimeR(out + strlen(out), d2);
}
void SetTimeR(char* text) {
    long v[3];
    if (ReadNumbers(text, v, 3) != 3) return;
    struct tm t = NowTm();
    t.tm_hour = (int)v[0];
    t.tm_min = (int)v[1];
    t.tm_sec = (int)v[2];
    SetCalendar(t);
    detail::LogEvent(std::string("clock time set to ") + text);
}
// The date follows the tm convention: years since 1900, months 0 to 11.
void SetDateR(char* text) {
    long v[3];
    if (ReadNumbers(text, v, 3) != 3) return;
    struct tm t = NowTm();
    t.tm_year = (int)v[0];
    t.tm_mon = (int)v[1];
    t.tm_mday = (int)v[2];
    SetCalendar(t);
    detail::LogEvent(std::string("clock date set to ") + text);
}
void SetDateTimeR(char* text) {
    long v[6];
    if (ReadNumbers(text, v, 6) != 6) return;
    struct tm t = {};
    t.tm_year = (int)v[0];
    t.tm_mon = (int)v[1];
    t.tm_mday = (int)v[2];
    t.tm_hour = (int)v[3];
    t.tm_min = (int)v[4];
    t.tm_sec = (int)v[5];
    SetCalendar(t);
}
uint8 GetWeekR() { return (uint8)NowTm().tm_wday; }
uint8 GetDayR() { return (uint8)NowTm().tm_mday; }
uint8 GetMonthR() { return (uint8)NowTm().tm_mon; }
uint32 GetYearR() { return (uint32)NowTm().tm_year; }
uint8 GetSecR() { return (uint8)NowTm().tm_sec; }
uint8 GetMinR() { return (uint8)NowTm().tm_min; }
uint8 GetHourR() { return (uint8)NowTm().tm_hour; }
uint32 GetTickCountR() { return (uint32)(ElapsedMs() - S().boot_ms); }
void SleepR(uint32 ms) {
    if (S().config.clock_frozen)
        AdvanceClock(ms);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
uint32 GetStartTimeR() { return 0; }

// ---- keys ----
uint32 GetKeyExtR() {
    State& s = S();
    if (s.wait_hook) s.wait_hook();
    if (s.keys.empty()) {
        if (!s.key_provider) {
            fprintf(stderr, "simulated terminal: waiting for a key, but no key is left\n");
            abort();
        }
        return s.key_provider();
    }
    uint32 key = s.keys.front();
    s.keys.pop_front();
    return key;
}
// Polls for a key pressed right now. Queued keys are the ones the user
// presses later, at the waits for them, so they are never pending here and
// discarding pending keys leaves a key script whole.
uint32 ReadKeyR() { return 0; }

// ---- system ----
void BeepR() { Logged("beep"); }
void OpenRedLightR() { Logged("red light on"); }
void CloseRedLightR() { Logged("red light off"); }
void OpenGreenLightR() { Logged("green light on"); }
void CloseGreenLightR() { Logged("green light off"); }
void OpenLcdBackLightR() { Logged("screen backlight on"); }
void CloseLcdBackLightR() { Logged("screen backlight off"); }
void OpenKeyBackLightR() { Logged("key backlight on"); }
void CloseKeyBackLightR() { Logged("key backlight off"); }
void OpenFlashLightR() { Logged("flash light on"); }
void CloseFlashLightR() { Logged("flash light off"); }
void SoundOnR() { Logged("sound on"); }
void SoundOffR() { Logged("sound off"); }
void SetBeepOnOffR(uint8 on) { Logged(on ? "beep enabled" : "beep disabled"); }
// The caller's buffers are the terminal's fixed ones: at most 20 characters.
void GetMachineSnR(char* sn) { snprintf(sn, 21, "%s", S().config.machine_sn.c_str()); }
void GetSysVerR(char* ver, char* when) {
    snprintf(ver, 21, "%s", S().config.machine_type.c_str());
    strcpy(when, "2026-12-11");
}
uint32 GetMbtR() { return 100; }  // battery: full
uint32 GetSbtR() { return 100; }
uint32 shutdown_time = 0;
uint32 GetShutDonwTimeR() { return shutdown_time; }
void SetShutDonwTimeR(uint32 t) { shutdown_time = t; }
void SetShutDownTimeExR(uint32 t) { shutdown_time = t; }
void ResetR() { Logged("reset"); }
void ShutDownPowerR() { Logged("power off"); }

// ---- strings and memory: the standard functions ----
void StrcatR(char* a, const char* b) { strcat(a, b); }
void StrncatR(char* a, const char* b, size_t n) { strncat(a, b, n); }
int MemcmpR(const char* a, const char* b, size_t n) { return memcmp(a, b, n); }
int StrcmpR(const char* a, const char* b) { return strcmp(a, b); }
int StrncmpR(const char* a, const char* b, size_t n) { return strncmp(a, b, n); }
size_t StrxfrmR(char* a, const char* b, size_t n) { return strxfrm(a, b, n); }
char* StrchrR(const char* a, char c) { return (char*)strchr(a, c); }
size_t StrcspnR(const char* a, const char* b) { return strcspn(a, b); }
char* StrpbrkR(const char* a, const char* b) { return (char*)strpbrk(a, b); }
char* StrrchrR(const char* a, int c) { return (char*)strrchr(a, c); }
char* StrstrR(const char* a, const char* b) { return (char*)strstr(a, b); }
void* MemsetR(void* p, int c, size_t n) { return memset(p, c, n); }
size_t StrlenR(const char* a) { return strlen(a); }
char* StrcpyR(char* a, const char* b) { return strcpy(a, b); }
char* StrncpyR(char* a, const char* b, size_t n) { return strncpy(a, b, n); }
void* MemcpyR(void* a, const void* b, size_t n) { return memcpy(a, b, n); }
void* MallocR(size_t n) { return malloc(n); }
void FreeR(void* p) { free(p); }
void* ReallocR(void* p, unsigned n) { return realloc(p, n); }
unsigned StrtoulR(const char* s, char** end, int base) { return (unsigned)strtoul(s, end, base); }
char* StrtokR(char* s, const char* d) { return strtok(s, d); }

// ---- RFID: the record of the password check reaches the OS; no reader ----
uint16 RfidCheckPwdR(uint8* record) {
    char event[80];
    snprintf(event, sizeof event, "rfid password check type %u address %u: no reader", record[0],
             record[1]);
    detail::LogEvent(event);
    return 0xFFFF;
}

void BuildTable() {
    State& s = S();
    memset(s.table, 0, sizeof s.table);
#define SVC(group, index, result, name, params, args) \
    s.table[group][index] = AbsentFor<group, index>((decltype(&name))nullptr);
#define SVCX SVC
#include "services.def"
    // The special wrappers' routines that take a record instead of the
    // wrapper's own arguments.
    detail::Register(11, 4, (void*)&RfidCheckPwdR);

    detail::Impl<decltype(&_GetTime)>(6, 0, &GetTimeR);
    detail::Impl<decltype(&_GetDate)>(6, 1, &GetDateR);
    detail::Impl<decltype(&_SetTime)>(6, 2, &SetTimeR);
    detail::Impl<decltype(&_SetDate)>(6, 3, &SetDateR);
    detail::Impl<decltype(&_GetWeek)>(6, 4, &GetWeekR);
    detail::Impl<decltype(&_GetDay)>(6, 5, &GetDayR);
    detail::Impl<decltype(&_GetMonth)>(6, 6, &GetMonthR);
    detail::Impl<decltype(&_GetYear)>(6, 7, &GetYearR);
    detail::Impl<decltype(&_GetDateTime)>(6, 8, &GetDateTimeR);
    detail::Impl<decltype(&_SetDateTime)>(6, 9, &SetDateTimeR);
    detail::Impl<decltype(&_GetSec)>(6, 10, &GetSecR);
    detail::Impl<decltype(&_GetMin)>(6, 11, &GetMinR);
    detail::Impl<decltype(&_GetHour)>(6, 12, &GetHourR);
    detail::Impl<decltype(&_GetTickCount)>(6, 13, &GetTickCountR);
    detail::Impl<decltype(&_Sleep)>(6, 14, &SleepR);
    detail::Impl<decltype(&_GetStartTime)>(6, 15, &GetStartTimeR);

    detail::Impl<decltype(&_GetKeyExt)>(8, 0, &GetKeyExtR);
    detail::Impl<decltype(&_OpenRedLight)>(8, 1, &OpenRedLightR);
    detail::Impl<decltype(&_CloseRedLight)>(8, 2, &CloseRedLightR);
    detail::Impl<decltype(&_OpenGreenLight)>(8, 3, &OpenGreenLightR);
    detail::Impl<decltype(&_CloseGreenLight)>(8, 4, &CloseGreenLightR);
    detail::Impl<decltype(&_GetShutDonwTime)>(8, 5, &GetShutDonwTimeR);
    detail::Impl<decltype(&_SetShutDonwTime)>(8, 6, &SetShutDonwTimeR);
    detail::Impl<decltype(&_SetBeepOnOff)>(8, 7, &SetBeepOnOffR);
    detail::Impl<decltype(&_GetMbt)>(8, 8, &GetMbtR);
    detail::Impl<decltype(&_GetSbt)>(8, 9, &GetSbtR);
    detail::Impl<decltype(&_ShutDownPower)>(8, 12, &ShutDownPowerR);
    detail::Impl<decltype(&_Beep)>(8, 19, &BeepR);
    detail::Impl<decltype(&_OpenLcdBackLight)>(8, 20, &OpenLcdBackLightR);
    detail::Impl<decltype(&_CloseLcdBackLight)>(8, 21, &CloseLcdBackLightR);
    detail::Impl<decltype(&_OpenKeyBackLight)>(8, 22, &OpenKeyBackLightR);
    detail::Impl<decltype(&_CloseKeyBackLight)>(8, 23, &CloseKeyBackLightR);
    detail::Impl<decltype(&_OpenFlashLight)>(8, 24, &OpenFlashLightR);
    detail::Impl<decltype(&_CloseFlashLight)>(8, 25, &CloseFlashLightR);
    detail::Impl<decltype(&_ReadKey)>(8, 26, &ReadKeyR);
    detail::Impl<decltype(&_GetSysVer)>(8, 31, &GetSysVerR);
    detail::Impl<decltype(&_GetMachineSn)>(8, 33, &GetMachineSnR);
    detail::Impl<decltype(&_Reset)>(8, 35, &ResetR);
    detail::Impl<decltype(&_SoundOn)>(8, 37, &SoundOnR);
    detail::Impl<decltype(&_SoundOff)>(8, 38, &SoundOffR);
    detail::Impl<decltype(&_SetShutDownTimeEx)>(8, 41, &SetShutDownTimeExR);

    detail::Impl<decltype(&_strcat)>(10, 0, &StrcatR);
    detail::Impl<decltype(&_strncat)>(10, 1, &StrncatR);
    detail::Impl<decltype(&_memcmp)>(10, 2, &MemcmpR);
    detail::Impl<decltype(&_strcmp)>(10, 3, &StrcmpR);
    detail::Impl<decltype(&_strncmp)>(10, 4, &StrncmpR);
    detail::Impl<decltype(&_strxfrm)>(10, 5, &StrxfrmR);
    detail::Impl<decltype(&_strchr)>(10, 6, &StrchrR);
    detail::Impl<decltype(&_strcspn)>(10, 7, &StrcspnR);
    detail::Impl<decltype(&_strpbrk)>(10, 8, &StrpbrkR);
    detail::Impl<decltype(&_strrchr)>(10, 9, &StrrchrR);
    detail::Impl<decltype(&_strstr)>(10, 10, &StrstrR);
    detail::Impl<decltype(&QZ_MEMSET)>(10, 11, &MemsetR);
    detail::Impl<decltype(&_strlen)>(10, 12, &StrlenR);
    detail::Impl<decltype(&_strcpy)>(10, 13, &StrcpyR);
    detail::Impl<decltype(&_strncpy)>(10, 14, &StrncpyR);
    detail::Impl<decltype(&_memcpy)>(10, 18, &MemcpyR);
    detail::Impl<decltype(&_malloc)>(10, 19, &MallocR);
    detail::Impl<decltype(&_free)>(10, 20, &FreeR);
    detail::Impl<decltype(&_realloc)>(10, 21, &ReallocR);
    detail::Impl<decltype(&_strtoul)>(10, 22, &StrtoulR);
    detail::Impl<decltype(&_strtok)>(10, 23, &StrtokR);

    detail::RegisterFiles();
    detail::RegisterDisplay();
    detail::RegisterTables();
}

}  // namespace

namespace detail {

void LogEvent(const std::string& event) { S().log.push_back(event); }

void Register(unsigned group, unsigned index, void* routine) { S().table[group][index] = routine; }

}  // namespace detail

bool Start(const Config& config, std::string* error) {
    State& s = S();
    s.config = config;
    s.root = config.root.empty() ? std::string(flashpath::kDefaultRoot) : config.root;
    if (config.cols < 1 || config.rows < 1 || config.cols * 8 > 160 || config.rows * 16 > 160) {
        *error = "screen geometry must fit 160 x 160 pixels (at most 20 columns and 10 rows)";
        return false;
    }
    if (!flashpath::EnsureRoot(s.root, error)) return false;
    if (!detail::ResetDisplay(config, error)) return false;
    detail::ResetFiles();
    s.host_start = std::chrono::steady_clock::now();
    s.manual_ms = 0;
    time_t start = config.clock_start;
    if (start == 0) {
        time_t host = time(nullptr);
        struct tm local;
        localtime_r(&host, &local);
        start = timegm(&local);
    }
    s.base_ms = (uint64_t)start * 1000;
    s.boot_ms = 0;
    s.keys.clear();
    s.key_provider = nullptr;
    s.wait_hook = nullptr;
    s.log.clear();
    s.hook = nullptr;
    s.reg_devices.clear();
    s.regs.clear();
    s.reg_writes.clear();
    s.irq_masked = false;
    frontsize = 16;
    BuildTable();
    // Device models behind the register file, fresh on every start.
    detail::AttachPins();
    detail::AttachNorFlash();
    return true;
}

const Config& CurrentConfig() { return S().config; }
const std::string& Root() { return S().root; }

time_t Now() { return (time_t)(NowMs() / 1000); }
uint64_t NowMs() { return S().base_ms + ElapsedMs(); }
void SetClock(time_t local) {
    State& s = S();
    s.base_ms = (uint64_t)local * 1000 - ElapsedMs();
}
void AdvanceClock(uint64_t ms) { S().manual_ms += ms; }

bool ParseClock(const char* text, time_t* out) {
    int y, mo, d, h, mi, sec;
    char tail;
    if (sscanf(text, "%d-%d-%d %d:%d:%d%c", &y, &mo, &d, &h, &mi, &sec, &tail) != 6) return false;
    if (y < 1970 || y > 2099 || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 ||
        sec > 59 || h < 0 || mi < 0 || sec < 0)
        return false;
    struct tm t = {};
    t.tm_year = y - 1900;
    t.tm_mon = mo - 1;
    t.tm_mday = d;
    t.tm_hour = h;
    t.tm_min = mi;
    t.tm_sec = sec;
    *out = timegm(&t);
    struct tm back;
    gmtime_r(out, &back);
    return back.tm_mday == d;  // 2026-02-30 is not a date
}

void PushKey(uint32_t raw) { S().keys.push_back(raw); }
void PushKeys(const std::vector<uint32_t>& raw) {
    for (uint32_t k : raw) PushKey(k);
}
size_t PendingKeys() { return S().keys.size(); }
void ClearKeys() { S().keys.clear(); }
void SetKeyProvider(std::function<uint32_t()> provider) { S().key_provider = std::move(provider); }
void SetWaitHook(std::function<void()> hook) { S().wait_hook = std::move(hook); }

const std::vector<std::string>& Log() { return S().log; }
void ClearLog() { S().log.clear(); }

void SetLookupHook(LookupHook hook) { S().hook = hook; }
void* Routine(unsigned group, unsigned index) {
    if (group >= kGroups || index >= kIndexes) return nullptr;
    return S().table[group][index];
}

void AttachRegDevice(const RegDevice& device) { S().reg_devices.push_back(device); }
void DetachRegDevices() { S().reg_devices.clear(); }
const std::vector<RegWrite>& RegWrites() { return S().reg_writes; }
void ClearRegWrites() { S().reg_writes.clear(); }
bool IrqMasked() { return S().irq_masked; }

}  // namespace simos

using simos::S;

namespace {

simos::RegDevice* DeviceAt(uint32_t addr) {
    for (auto& d : S().reg_devices)
        if (addr >= d.base && addr - d.base < d.size) return &d;
    return nullptr;
}

uint32_t RegRead(uint32_t addr, int width) {
    if (simos::RegDevice* d = DeviceAt(addr)) return d->read(addr, width);
    auto it = S().regs.find(addr);
    return it == S().regs.end() ? 0 : it->second;
}

void RegWrite(uint32_t addr, uint32_t v, int width) {
    S().reg_writes.push_back({addr, v, width});
    if (simos::RegDevice* d = DeviceAt(addr)) {
        d->write(addr, v, width);
        return;
    }
    S().regs[addr] = v;
}

}  // namespace

extern "C" void* qz_os_lookup(unsigned group, unsigned index) {
    if (S().hook) return S().hook(group, index);
    void* routine = simos::Routine(group, index);
    if (!routine) {
        fprintf(stderr, "simulated terminal: no service %u/%u\n", group, index);
        abort();
    }
    return routine;
}

extern "C" uint32_t qz_reg_read32(uint32_t addr) { return RegRead(addr, 32); }
extern "C" void qz_reg_write32(uint32_t addr, uint32_t v) { RegWrite(addr, v, 32); }
extern "C" uint16_t qz_reg_read16(uint32_t addr) { return (uint16_t)RegRead(addr, 16); }
extern "C" void qz_reg_write16(uint32_t addr, uint16_t v) { RegWrite(addr, v, 16); }
extern "C" void qz_irq_mask(int on) { S().irq_masked = on != 0; }
