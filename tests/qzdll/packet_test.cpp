// The packet protocol end to end: the library against the simulated
// terminal over the simulated USB link, with time stepped.
#include <sys/stat.h>

#include <cstring>

#include "link_fixture.h"
#include "opcontext.h"
#include "packet.h"
#include "pc_ui.h"

namespace {

using qztest::Pattern;
using qztest::ReadFile;
using qztest::Trace;
using qztest::WriteFile;

class PacketTest : public qztest::LinkTest {
  protected:
    void SetUp() override {
        LinkTest::SetUp();
        fw_ = StartTerminal();
    }
    void TearDown() override {
        pc::SetQuestionHandler(nullptr);
        LinkTest::TearDown();
    }
    int Send(const std::string& name, const std::string& data, int ask = 0) {
        WriteFile(pc_ + "/" + name, data);
        return Stepped([&] {
            return qz::PacketSendFiles({{pc_ + "/" + name, "/FLASH/" + name}}, ask);
        });
    }
    hcsim::PacketFirmware* fw_ = nullptr;
};

TEST_F(PacketTest, ZeroByteFileIsOneEmptyLastChunkAtFullPercent) {
    EXPECT_EQ(0, Send("EMPTY.BIN", ""));
    EXPECT_EQ("CN0 CPD DPN(0)", Trace(fw_->seen()));
    EXPECT_EQ("", ReadFile(flash_ + "/EMPTY.BIN"));
    qz::ProgressFace face = qz::LastFace();
    EXPECT_EQ("100%", face.Text(qz::ProgressFace::kPercentValue));
    EXPECT_EQ(100, face.controls()[qz::ProgressFace::kProgressBar].position);
    EXPECT_EQ("0 B", face.Text(qz::ProgressFace::kTotalValue));
}

TEST_F(PacketTest, FileOfTwoFullChunksEndsWithEmptyLastChunk) {
    std::string data = Pattern(8176);
    EXPECT_EQ(0, Send("TWO.BIN", data));
    EXPECT_EQ("CN0 CPD DPY(4088) DPY(4088) DPN(0)", Trace(fw_->seen()));
    EXPECT_EQ(data, ReadFile(flash_ + "/TWO.BIN"));
}

TEST_F(PacketTest, LargeFilesArriveByteIdenticalBothWays) {
    std::string a = Pattern(300001, 1), b = Pattern(4089, 2);
    WriteFile(pc_ + "/A.BIN", a);
    WriteFile(pc_ + "/B.BIN", b);
    EXPECT_EQ(0, Stepped([&] {
                  return qz::PacketSendFiles(
                      {{pc_ + "/A.BIN", "/FLASH/A.BIN"}, {pc_ + "/B.BIN", "/FLASH/B.BIN"}}, 0);
              }));
    EXPECT_EQ(a, ReadFile(flash_ + "/A.BIN"));
    EXPECT_EQ(b, ReadFile(flash_ + "/B.BIN"));
    EXPECT_EQ(0, Stepped([&] {
                  return qz::PacketFetchFiles({{pc_ + "/A2.BIN", "/FLASH/A.BIN"}}, 0);
              }));
    EXPECT_EQ(a, ReadFile(pc_ + "/A2.BIN"));
    EXPECT_EQ(0, fw_->protocol_errors());
}

TEST_F(PacketTest, FetchReplacesThePcFileAndShowsTheTransfer) {
    std::string data = Pattern(5000);
    ASSERT_EQ(0, system(("mkdir -p " + flash_ + "/data").c_str()));
    // Written by the field book in any case; the terminal matches names
    // without regard to case.
    WriteFile(flash_ + "/data/Line01.txt", data);
    WriteFile(pc_ + "/LINE01.TXT", "old content that is longer than nothing");
    EXPECT_EQ(0, Stepped([&] {
                  return qz::PacketFetchFiles({{pc_ + "/LINE01.TXT", "/FLASH/DATA/LINE01.TXT"}}, 1);
              }));
    EXPECT_EQ(data, ReadFile(pc_ + "/LINE01.TXT"));
    EXPECT_EQ("CN0 CGD CGY CGN", Trace(fw_->seen()));

    qz::ProgressFace f = qz::LastFace();
    EXPECT_EQ("UpLoad (HC->PC)", f.title());
    EXPECT_EQ("/FLASH/DATA/LINE01.TXT", f.Text(qz::ProgressFace::kHcName));
    EXPECT_EQ(qz::ShortenPath(pc_ + "/LINE01.TXT"), f.Text(qz::ProgressFace::kPcName));
    EXPECT_EQ("5000 B", f.Text(qz::ProgressFace::kTotalValue));
    EXPECT_EQ("5000 B", f.Text(qz::ProgressFace::kDoneValue));
    EXPECT_EQ("100%", f.Text(qz::ProgressFace::kPercentValue));
    EXPECT_EQ("Ver:HC1.15_150112", f.Text(qz::ProgressFace::kTransferVersion));
}

TEST_F(PacketTest, FetchOfMissingFileIsNoSuchFile) {
    EXPECT_EQ(-3, Stepped([&] {
        return qz::PacketFetchFiles({{pc_ + "/X.TXT", "/FLASH/NONE.TXT"}}, 0);
    }));
    struct stat st;
    EXPECT_NE(0, stat((pc_ + "/X.TXT").c_str(), &st));
}

TEST_F(PacketTest, PcFileThatCannotBeOpenedIsMinus5) {
    WriteFile(flash_ + "/T.TXT", "x");
    EXPECT_EQ(-5, Stepped([&] {
        return qz::PacketSendFiles({{pc_ + "/MISSING.BIN", "/FLASH/M.BIN"}}, 0);
    }));
    EXPECT_EQ(-5, Stepped([&] {
        return qz::PacketFetchFiles({{pc_ + "/no/such/dir/T.TXT", "/FLASH/T.TXT"}}, 0);
    }));
}

TEST_F(PacketTest, OverwriteQuestion) {
    struct Case {
        int ask;
        bool exists;
        pc::Answer answer;
        int result;
        bool asked;
        bool replaced;
    } cases[] = {
        {0, true, pc::Answer::kNo, 0, false, true},
        {1, true, pc::Answer::kYes, 0, true, true},
        {1, true, pc::Answer::kNo, -6, true, false},
        {1, false, pc::Answer::kNo, 0, false, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(n);
        std::string name = "F" + std::to_string(n++) + ".TXT";
        if (c.exists) WriteFile(flash_ + "/" + name, "terminal copy");
        int questions = 0;
        std::string caption;
        pc::SetQuestionHandler([&](const std::string& text, const std::string& cap) {
            ++questions;
            caption = cap;
            EXPECT_EQ("是否覆盖已存在文件?", pc::GbkToUtf8(text));
            return c.answer;
        });
        EXPECT_EQ(c.result, Send(name, "pc copy", c.ask));
        EXPECT_EQ(c.asked ? 1 : 0, questions);
        if (c.asked) {
            EXPECT_EQ("/FLASH/" + name, caption);
        }
        EXPECT_EQ(c.replaced ? "pc copy" : "terminal copy", ReadFile(flash_ + "/" + name));
    }
}

TEST_F(PacketTest, ListingsFillTheBufferFromItsStart) {
    ASSERT_EQ(0, system(("mkdir -p " + flash_ + "/D/SUB").c_str()));
    WriteFile(flash_ + "/D/A.DBF", "12345");
    WriteFile(flash_ + "/D/B.DBF", "");
    unsigned char entries[10 * 32];
    for (int round = 0; round < 2; ++round) {
        std::memset(entries, 0xEE, sizeof entries);
        EXPECT_EQ(3, Stepped([&] { return qz::PacketList("/FLASH/D", entries, 10); }));
        EXPECT_STREQ("A.DBF", reinterpret_cast<char*>(entries));
        EXPECT_EQ('F', entries[23]);
        EXPECT_EQ(5, entries[24]);
        EXPECT_STREQ("B.DBF", reinterpret_cast<char*>(entries + 32));
        EXPECT_STREQ("SUB", reinterpret_cast<char*>(entries + 64));
        EXPECT_NE('F', entries[64 + 23]);
        EXPECT_EQ(0xEE, entries[96]);
    }
    EXPECT_FALSE(qz::LastFace().built());  // the listing shows no face
}

TEST_F(PacketTest, ListingOfMissingDirectoryCopiesNothing) {
    unsigned char entries[64];
    std::memset(entries, 0xEE, sizeof entries);
    EXPECT_EQ(-3, Stepped([&] { return qz::PacketList("/FLASH/NOPE", entries, 2); }));
    EXPECT_EQ(0xEE, entries[0]);
}

TEST_F(PacketTest, LongListingIsCutAtTheCallersRoom) {
    ASSERT_EQ(0, system(("mkdir -p " + flash_ + "/MANY").c_str()));
    for (int i = 0; i < 130; ++i) WriteFile(flash_ + "/MANY/F" + std::to_string(1000 + i), "");
    std::vector<unsigned char> all(200 * 32);
    EXPECT_EQ(130, Stepped([&] { return qz::PacketList("/FLASH/MANY", all.data(), 200); }));
    EXPECT_STREQ("F1129", reinterpret_cast<char*>(&all[129 * 32]));

    std::vector<unsigned char> few(6 * 32, 0xEE);
    EXPECT_EQ(5, Stepped([&] { return qz::PacketList("/FLASH/MANY", few.data(), 5); }));
    EXPECT_STREQ("F1004", reinterpret_cast<char*>(&few[4 * 32]));
    EXPECT_EQ(0xEE, few[5 * 32]);
}

TEST_F(PacketTest, LengthsClaimedByTheTerminalAreBounded) {
    ASSERT_EQ(0, system(("mkdir -p " + flash_ + "/D").c_str()));
    WriteFile(flash_ + "/D/A.DBF", "abc");
    hcsim::Faults f;
    f.bad_lengths = true;
    fw_->SetFaults(f);
    std::vector<unsigned char> few(3 * 32, 0xEE);
    int n = Stepped([&] { return qz::PacketList("/FLASH/D", few.data(), 2); });
    EXPECT_LE(n, 2);
    EXPECT_EQ(0xEE, few[2 * 32]);
    EXPECT_EQ(0, Stepped([&] {
                  return qz::PacketFetchFiles({{pc_ + "/A.DBF", "/FLASH/D/A.DBF"}}, 0);
              }));
    EXPECT_EQ(4088u, ReadFile(pc_ + "/A.DBF").size());  // one chunk at most
}

TEST_F(PacketTest, OneRequestOperationsAndTheirRefusals) {
    struct Case {
        const char* name;
        void (*fault)(hcsim::Faults*);
        int (*op)(const std::string& flash);
        int result;
    };
    auto none = [](hcsim::Faults*) {};
    Case cases[] = {
        {"delete", none,
         [](const std::string& fl) {
             WriteFile(fl + "/DEL.TXT", "x");
             return qz::PacketDelete("/FLASH/DEL.TXT");
         },
         0},
        {"delete missing", none, [](const std::string&) { return qz::PacketDelete("/FLASH/NO"); },
         -8},
        {"delete refused", [](hcsim::Faults* f) { f->refuse_delete = true; },
         [](const std::string& fl) {
             WriteFile(fl + "/DEL.TXT", "x");
             return qz::PacketDelete("/FLASH/DEL.TXT");
         },
         -8},
        {"set clock", none,
         [](const std::string&) { return qz::PacketSetTime("2013-09-11 08:05:09"); }, 0},
        {"set clock refused", [](hcsim::Faults* f) { f->refuse_set_clock = true; },
         [](const std::string&) { return qz::PacketSetTime("2013-09-11 08:05:09"); }, -9},
        {"mkdir", none, [](const std::string&) { return qz::PacketMkdir("/FLASH/NEW"); }, 0},
        {"mkdir refused", [](hcsim::Faults* f) { f->refuse_mkdir = true; },
         [](const std::string&) { return qz::PacketMkdir("/FLASH/NEW"); }, -10},
        {"rmdir", none,
         [](const std::string& fl) {
             (void)!system(("mkdir -p " + fl + "/OLD").c_str());
             return qz::PacketRmdir("/FLASH/OLD");
         },
         0},
        {"rmdir refused", [](hcsim::Faults* f) { f->refuse_rmdir = true; },
         [](const std::string& fl) {
             (void)!system(("mkdir -p " + fl + "/OLD").c_str());
             return qz::PacketRmdir("/FLASH/OLD");
         },
         -11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        hcsim::Faults f;
        c.fault(&f);
        fw_->SetFaults(f);
        std::string fl = flash_;
        EXPECT_EQ(c.result, Stepped([&] { return c.op(fl); }));
    }
    struct stat st;
    EXPECT_EQ(0, stat((flash_ + "/NEW").c_str(), &st));
    EXPECT_EQ(0, stat((flash_ + "/OLD").c_str(), &st));  // the refused rmdir left it
}

TEST_F(PacketTest, DeleteShowsItsFace) {
    WriteFile(flash_ + "/A.TXT", "x");
    EXPECT_EQ(0, Stepped([] { return qz::PacketDelete("/FLASH/A.TXT"); }));
    struct stat st;
    EXPECT_NE(0, stat((flash_ + "/A.TXT").c_str(), &st));
    qz::ProgressFace f = qz::LastFace();
    EXPECT_EQ("DELETE FILE", f.title());
    EXPECT_EQ("Delete :/FLASH/A.TXT", f.Text(qz::ProgressFace::kDeleteText));
    EXPECT_EQ("Ver:HC1.15_150112", f.Text(qz::ProgressFace::kDeleteVersion));
}

TEST_F(PacketTest, ClockAndSerialNumber) {
    char id[13];
    std::memset(id, 'x', sizeof id);
    EXPECT_EQ(0, Stepped([&] { return qz::PacketGetId(id); }));
    EXPECT_STREQ("HC2015011201", id);

    EXPECT_EQ(0, Stepped([] { return qz::PacketSetTime("2013-09-11 08:05:09"); }));
    char clock[20];
    std::memset(clock, 'x', sizeof clock);
    EXPECT_EQ(0, Stepped([&] { return qz::PacketGetTime(clock); }));
    EXPECT_STREQ("2013-09-11 08:05:09", clock);  // the terminal's host clock stands still
    EXPECT_EQ(-9, Stepped([] { return qz::PacketSetTime("not a time"); }));

    hcsim::Faults slow;
    slow.slow_ms = 50;  // real time; the dialog's clock stands still meanwhile
    fw_->SetFaults(slow);
    EXPECT_EQ(0, Stepped([&] { return qz::PacketGetId(id); }));
}

TEST_F(PacketTest, TerminalThatDoesNotAnswerProperlyIsNoAnswer) {
    struct Case {
        const char* name;
        void (*fault)(hcsim::Faults*);
        bool by_watchdog;
    } cases[] = {
        {"silent", [](hcsim::Faults* f) { f->no_answer = true; }, true},
        {"wrong answer", [](hcsim::Faults* f) { f->wrong_answer = true; }, false},
        {"short read", [](hcsim::Faults* f) { f->short_read = true; }, true},
        {"silent mid-file",
         [](hcsim::Faults* f) {
             f->no_answer = true;
             f->after = 3;
         },
         true},
    };
    WriteFile(pc_ + "/BIG.BIN", Pattern(20000));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        hcsim::Faults f;
        c.fault(&f);
        fw_->SetFaults(f);
        int64_t elapsed = 0;
        auto send = [&] { return qz::PacketSendFiles({{pc_ + "/BIG.BIN", "/FLASH/BIG.BIN"}}, 0); };
        EXPECT_EQ(-1, Stepped(send, &elapsed, f.no_answer));
        if (c.by_watchdog) {
            EXPECT_GE(elapsed, 5000);
        } else {
            EXPECT_LT(elapsed, 5000);  // ended at once by the unexpected answer
        }
    }
    struct stat st;
    EXPECT_NE(0, stat((flash_ + "/BIG.BIN").c_str(), &st));  // no torn file on the terminal
}

TEST_F(PacketTest, SilentTerminalEndsByTheWatchdogAtFiveSeconds) {
    hcsim::Faults f;
    f.no_answer = true;
    fw_->SetFaults(f);
    pc::ManualClock clock;
    pc::SetClock(&clock);
    std::atomic<int> result{1};
    std::thread caller([&] { result = qz::PacketGetTime(nullptr); });
    // Advances the clock and waits until the dialog has handled it.
    auto step = [&](int64_t ms) {
        uint64_t sleeps = clock.Sleeps();
        clock.Advance(ms);
        ASSERT_TRUE(clock.WaitForSleepsAbove(sleeps, 10000));
    };
    ASSERT_TRUE(clock.WaitForSleeper(10000));
    step(100);  // timer 3: the item begins
    step(500);  // timer 1: the request goes out, the watchdog starts
    step(4900);
    EXPECT_EQ(1, result.load());  // not yet
    clock.Advance(100);
    caller.join();
    pc::SetClock(nullptr);
    EXPECT_EQ(-1, result.load());
}

TEST_F(PacketTest, MoreThanSixteenFilesSendsSixteen) {
    std::vector<qz::PathPair> items;
    for (int i = 0; i < 17; ++i) {
        std::string n = "M" + std::to_string(i) + ".TXT";
        WriteFile(pc_ + "/" + n, n);
        items.push_back({pc_ + "/" + n, "/FLASH/" + n});
    }
    EXPECT_EQ(0, Stepped([&] { return qz::PacketSendFiles(items, 0); }));
    struct stat st;
    EXPECT_EQ(0, stat((flash_ + "/M15.TXT").c_str(), &st));
    EXPECT_NE(0, stat((flash_ + "/M16.TXT").c_str(), &st));
}

TEST(PacketNoTerminal, OpenFailsWithMinus2) {
    qztest::ProcessDir();
    char id[13];
    EXPECT_EQ(-2, qz::PacketGetId(id));
    EXPECT_EQ(-2, qz::PacketSendFiles({{"/x", "/FLASH/x"}}, 0));
}

}  // namespace

namespace {

std::vector<uint8_t> Request(char kind, char cmd, char sub, const std::string& text = "") {
    std::vector<uint8_t> p(qz::kPacketSize, 0);
    p[0] = static_cast<uint8_t>(kind);
    p[2] = static_cast<uint8_t>(cmd);
    p[3] = static_cast<uint8_t>(sub);
    std::memcpy(p.data() + 4, text.data(), text.size());
    return p;
}

// A PC that drops the link in the middle of a listing and then asks for the
// next list chunk gets an empty last chunk, not entries of the dropped one.
TEST_F(PacketTest, FirmwareListChunkAfterADroppedLinkIsEmpty) {
    ASSERT_EQ(0, system(("mkdir -p " + flash_ + "/MANY").c_str()));
    for (int i = 0; i < 130; ++i) WriteFile(flash_ + "/MANY/F" + std::to_string(1000 + i), "");
    hcsim::PacketFirmware fw(
        flash_, "HC0000000001", [] { return time_t(0); }, 0);
    auto ask = [&](const std::vector<uint8_t>& p) { return fw.Handle(p.data(), p.size()); };
    EXPECT_EQ('N', ask(Request('C', 'L', 'Y'))[3]);  // no listing yet
    ASSERT_EQ('Y', ask(Request('C', 'N', '0', "/FLASH/MANY"))[4]);
    std::vector<uint8_t> first = ask(Request('C', 'L', 'D'));
    ASSERT_EQ(qz::kPacketSize, static_cast<int>(first.size()));
    EXPECT_EQ('Y', first[3]);
    fw.Disconnected();
    std::vector<uint8_t> next = ask(Request('C', 'L', 'Y'));
    ASSERT_EQ(qz::kPacketSize, static_cast<int>(next.size()));
    EXPECT_EQ('N', next[3]);
    EXPECT_EQ(0, next[4] | next[5] << 8);  // byte length
    EXPECT_EQ(0, next[6] | next[7] << 8);  // entries
}

}  // namespace

namespace {

// A fetched file that the PC cannot write (here: a device that is always
// full) is a failure, not a success with a lost file.
TEST_F(PacketTest, FetchIntoAFullPcDiskIsAFailure) {
    // One that fails while chunks arrive, one only when the file is closed.
    for (size_t size : {20000u, 100u}) {
        SCOPED_TRACE(size);
        WriteFile(flash_ + "/F.BIN", Pattern(size));
        EXPECT_EQ(-5, Stepped([&] {
            return qz::PacketFetchFiles({{"/dev/full", "/FLASH/F.BIN"}}, 0);
        }));
    }
}

}  // namespace
