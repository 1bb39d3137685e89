// Every wrapper reaches its own (group, index), passes its arguments through
// unchanged and hands back the routine's result unchanged; the wrappers with
// bodies of their own build the records the OS expects.
#include <gtest/gtest.h>
#include <string.h>

#include <type_traits>
#include <utility>
#include <vector>

#include "qzlib.h"
#include "simos.h"

namespace {

struct Call {
    unsigned group = 0, index = 0;
    std::vector<uint64_t> args;
    size_t reg_writes_before = 0;
    bool irq_masked = false;
};
Call last;
int calls = 0;

template <class T>
uint64_t ToU64(T v) {
    if constexpr (std::is_pointer_v<T>)
        return (uint64_t)(uintptr_t)v;
    else
        return (uint64_t)v;
}

template <class R>
R Result() {
    if constexpr (std::is_pointer_v<R>)
        return reinterpret_cast<R>((uintptr_t)0xBEEF0);
    else
        return (R)0x5A;
}

template <unsigned G, unsigned I, class R, class... A>
R Stub(A... a) {
    last.group = G;
    last.index = I;
    last.args = {ToU64(a)...};
    last.reg_writes_before = simos::RegWrites().size();
    last.irq_masked = simos::IrqMasked();
    ++calls;
    if constexpr (!std::is_void_v<R>) return Result<R>();
}

void* stubs[16][64];

// Records live on the wrapper's stack: the routine copies what it received.
_GuiStrStru last_record;
template <unsigned G, unsigned I>
void RecordStub(_GuiStrStru* s) {
    last.group = G;
    last.index = I;
    last.args = {ToU64(s)};
    last_record = *s;
}

void* Hook(unsigned group, unsigned index) { return stubs[group][index]; }

template <unsigned G, unsigned I, class R, class... A>
void Install(R (*)(A...)) {
    stubs[G][I] = (void*)&Stub<G, I, R, A...>;
}

// A distinct value for argument k of type T.
template <class T>
T Arg(int k) {
    if constexpr (std::is_pointer_v<T>)
        return reinterpret_cast<T>((uintptr_t)(0x1000 + 0x10 * k));
    else
        return (T)(0x11 * (k + 1));
}

template <unsigned G, unsigned I, class R, class... A, size_t... K>
void CheckForwarding(const char* name, R (*wrapper)(A...), std::index_sequence<K...>) {
    SCOPED_TRACE(name);
    last = Call();
    std::vector<uint64_t> expected = {ToU64(Arg<A>((int)K))...};
    if constexpr (std::is_void_v<R>) {
        wrapper(Arg<A>((int)K)...);
    } else {
        R r = wrapper(Arg<A>((int)K)...);
        EXPECT_EQ(r, Result<R>());
    }
    EXPECT_EQ(last.group, G);
    EXPECT_EQ(last.index, I);
    EXPECT_EQ(last.args, expected);
}

template <unsigned G, unsigned I, class R, class... A>
void CheckForwarding(const char* name, R (*wrapper)(A...)) {
    CheckForwarding<G, I>(name, wrapper, std::index_sequence_for<A...>());
}

class Services : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        simos::Config config;
        config.root = ::testing::TempDir() + "qz-services";
        ASSERT_TRUE(simos::Start(config, &error)) << error;
        memset(stubs, 0, sizeof stubs);
#define SVC(group, index, result, name, params, args) Install<group, index>(&name);
#define SVCX SVC
#include "services.def"
        // The special wrappers' routines take records: their stubs are typed so.
        stubs[7][1] = (void*)&RecordStub<7, 1>;
        stubs[7][17] = (void*)&RecordStub<7, 17>;
        stubs[7][2] = (void*)&RecordStub<7, 2>;
        for (unsigned i = 3; i <= 8; ++i) stubs[7][i] = (void*)&RecordStub<7, 3>;
        stubs[7][0] = (void*)&Stub<7, 0, void>;
        stubs[7][20] = (void*)&Stub<7, 20, void, uint8*>;
        stubs[7][21] = (void*)&Stub<7, 21, void, uint8*>;
        stubs[11][4] = (void*)&Stub<11, 4, uint16, uint8*>;
        simos::SetLookupHook(&Hook);
    }
    void TearDown() override { simos::SetLookupHook(nullptr); }

    static int FopenStub(char* name, char* mode) {
        last.group = 5;
        last.index = 0;
        last.args = {ToU64(name), ToU64(mode)};
        return 0xFF;  // the OS's -1 in its low byte
    }
    static int AccessStub(const char* name, int mode) {
        last.group = 5;
        last.index = 8;
        last.args = {ToU64(name), (uint64_t)mode};
        return 0x7F;
    }

    // The record the display routine received.
    static const _GuiStrStru& Record() { return last_record; }
};

TEST_F(Services, EveryPlainWrapperForwardsToItsOwnRoutine) {
    int checked = 0;
#define SVC(group, index, result, name, params, args) \
    CheckForwarding<group, index>(#name, &name);      \
    ++checked;
#define SVCX(group, index, result, name, params, args)
#include "services.def"
    EXPECT_GT(checked, 0);
}

TEST_F(Services, FopenChoosesItsServiceByModeAndSignExtendsTheHandle) {
    stubs[5][0] = (void*)&FopenStub;
    stubs[5][8] = (void*)&AccessStub;
    char name[] = "a.txt", empty[] = "", read[] = "R";
    EXPECT_EQ(_Fopen(name, read), -1);
    EXPECT_EQ(last.index, 0u);
    EXPECT_EQ(last.args[1], ToU64(read));
    EXPECT_EQ(_Fopen(name, empty), 0x7F);
    EXPECT_EQ(last.index, 8u);
    EXPECT_EQ(last.args[0], ToU64(name));
}

TEST_F(Services, TextWrappersPassARecordOnTheStack) {
    char text[] = "abc";
    _Printfxy(8, 32, text, 0);
    EXPECT_EQ(last.index, 1u);
    EXPECT_EQ(Record().x, 8);
    EXPECT_EQ(Record().y, 32);
    EXPECT_EQ(Record().str, text);
    EXPECT_EQ(Record().color, 0);
    _Printfxy12(1, 2, text, 1);
    EXPECT_EQ(last.index, 17u);
    EXPECT_EQ(Record().color, 1);
    _LCMXorDataXY(1, 2, 3, 4);
    EXPECT_EQ(last.index, 2u);
    EXPECT_EQ(Record().x1, 3);
    EXPECT_EQ(Record().y1, 4);
}

TEST_F(Services, DrawingWrappersPassAnyInkAsColourThree) {
    struct Case {
        const char* what;
        void (*draw)(uint8 colour);
        int x, y, x1, y1;
    };
    const Case cases[] = {
        {"line", [](uint8 c) { _GUILine(0, 0, 10, 10, c); }, 0, 0, 10, 10},
        {"rectangle", [](uint8 c) { _GUIRectangle(1, 2, 30, 40, c); }, 1, 2, 30, 40},
        {"filled", [](uint8 c) { _GUIRectangleFill(5, 6, 7, 8, c); }, 5, 6, 7, 8},
        {"horizontal", [](uint8 c) { _GUIHLine(3, 4, 50, c); }, 3, 4, 50, 4},
        {"vertical", [](uint8 c) { _GUIVLine(3, 4, 60, c); }, 3, 4, 3, 60},
        {"point", [](uint8 c) { _GUIPoint(9, 11, c); }, 9, 11, 9, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (uint8 colour : {0, 1, 2, 200}) {
            c.draw(colour);
            EXPECT_EQ(Record().color, colour ? 3 : 0);
            EXPECT_EQ(Record().x, c.x);
            EXPECT_EQ(Record().y, c.y);
            EXPECT_EQ(Record().x1, c.x1);
            EXPECT_EQ(Record().y1, c.y1);
        }
    }
}

TEST_F(Services, ScreenBufferServicesRunWithTheTimerInterruptOff) {
    uint8 buff[SCREEN_BUFF_SIZE];
    const std::vector<std::pair<const char*, std::function<void()>>> calls_under_test = {
        {"clear", [] { _ClearScreen(); }},
        {"save", [&buff] { _SaveScreenToBuff(buff); }},
        {"restore", [&buff] { _RestoreBuffToScreen(buff); }},
    };
    for (const auto& c : calls_under_test) {
        SCOPED_TRACE(c.first);
        simos::ClearRegWrites();
        c.second();
        const auto& writes = simos::RegWrites();
        ASSERT_EQ(writes.size(), 2u);
        EXPECT_EQ(writes[0].addr, 0xFFFFF014u);  // source 14 disabled before
        EXPECT_EQ(writes[0].value, 0x4000u);
        EXPECT_EQ(last.reg_writes_before, 1u);   // the routine ran in between
        EXPECT_EQ(writes[1].addr, 0xFFFFF010u);  // and enabled after
        EXPECT_EQ(writes[1].value, 0x4000u);
        EXPECT_FALSE(simos::IrqMasked());
    }
}

TEST_F(Services, SmallWrappers) {
    _SetFrontSize(12);
    EXPECT_EQ(frontsize, 12);
    EXPECT_EQ(last.args[0], 12u);

    uint8 pwd[6] = {1, 2, 3, 4, 5, 6}, card[4] = {0xA, 0xB, 0xC, 0xD};
    _RfidCheckPwd(pwd, card, 7, 9);
    EXPECT_EQ(last.group, 11u);
    EXPECT_EQ(last.index, 4u);

    char caption[] = "t", text[] = "m";
    stubs[7][9] = (void*)&Stub<7, 9, uint8, _GuiStrStru*>;
    EXPECT_EQ(_MessageBoxEx(caption, text, 2), 0x5A);
    EXPECT_EQ(last.index, 9u);

    EXPECT_EQ(_abs(-5), 5);
    EXPECT_EQ(_abs(5), 5);
    EXPECT_EQ(_abs(0), 0);
}

// The RFID record and the message-box request live on the wrapper's stack, so
// a routine that copies them is needed to look at their bytes.
uint8 rfid_record[16];
uint16 CopyRfid(uint8* record) {
    memcpy(rfid_record, record, 16);
    return 0;
}
_GuiStrStru box;
uint8 CopyBox(_GuiStrStru* s) {
    box = *s;
    return 1;
}

TEST_F(Services, RecordsCarryTheirFieldsInOrder) {
    stubs[11][4] = (void*)&CopyRfid;
    uint8 pwd[6] = {1, 2, 3, 4, 5, 6}, card[4] = {0xA, 0xB, 0xC, 0xD};
    memset(rfid_record, 0xEE, sizeof rfid_record);
    _RfidCheckPwd(pwd, card, 7, 9);
    const uint8 expected[16] = {9, 7, 1, 2, 3, 4, 5, 6, 0xA, 0xB, 0xC, 0xD, 0, 0, 0, 0};
    EXPECT_EQ(0, memcmp(rfid_record, expected, 16));

    stubs[7][9] = (void*)&CopyBox;
    char caption[] = "title", text[] = "message";
    EXPECT_EQ(_MessageBoxEx(caption, text, 3), 1);
    EXPECT_EQ(box.lpCaption, caption);
    EXPECT_EQ(box.str, text);
    EXPECT_EQ(box.itype, 3);
}

}  // namespace
