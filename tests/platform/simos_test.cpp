// The simulated terminal OS as the terminal application sees it: through
// qzlib's services and the device object.
#include <gtest/gtest.h>
#include <string.h>

#include <filesystem>
#include <fstream>

#include "armiobase.h"
#include "harness.h"
#include "qzkeys.h"
#include "qzlib.h"
#include "simos.h"

namespace {

class Terminal : public ::testing::Test {
  protected:
    sim::Harness harness;
    std::string HostFile(const char* name) { return harness.Root() + "/" + name; }
};

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(Terminal, FilesAreWrittenAppendedReadAndRemoved) {
    char name[] = "data\\a.txt", dir[] = "/FLASH/data", w[] = "W", r[] = "R";
    ASSERT_EQ(_MkDir(dir), 0);
    EXPECT_EQ(_MkDir(dir), -1);  // an existing folder is an error, not a crash

    int8 h = _Fopen(name, w);
    ASSERT_GT(h, 0);
    char first[] = "line 1\n";
    EXPECT_EQ(_Fwrite(first, 7, h), 7);
    EXPECT_EQ(_Fclose(h), 0);

    // "W" keeps the content; appending is a seek to the end.
    h = _Fopen(name, w);
    ASSERT_GT(h, 0);
    EXPECT_EQ(_Lseek(h, 0, 2), 7u);
    char second[] = "line 2\n";
    EXPECT_EQ(_Fwrite(second, 7, h), 7);
    EXPECT_EQ(_Filelenth(h), 14u);
    _Fclose(h);
    EXPECT_EQ(Slurp(HostFile("data/a.txt")), "line 1\nline 2\n");

    char mixed[] = "/FLASH/data/a.txt";
    h = _Fopen(mixed, r);
    ASSERT_GT(h, 0);
    char buf[32] = {};
    EXPECT_EQ(_Fread(buf, sizeof buf, h), 14u);
    EXPECT_STREQ(buf, "line 1\nline 2\n");
    EXPECT_EQ(_Feof(h), 1);
    _Fclose(h);

    EXPECT_EQ(_Access(name, 0), 0);
    EXPECT_EQ(_Remove(name), 0);
    EXPECT_EQ(_Access(name, 0), -1);
    EXPECT_EQ(_Fopen(name, r), -1);  // reading a missing file fails
    EXPECT_EQ(_Fclose(7), -1);       // and so does closing a handle never opened
}

TEST_F(Terminal, PathsNeverLeaveTheFlashRoot) {
    const char* escapes[] = {"../outside.txt", "/FLASH/../../etc/passwd", "a\\..\\..\\b",
                             "data/../../x"};
    char w[] = "W";
    for (const char* path : escapes) {
        SCOPED_TRACE(path);
        std::string p = path;
        EXPECT_EQ(_Fopen(&p[0], w), -1);
        EXPECT_EQ(_MkDir(p.c_str()), -1);
        EXPECT_EQ(_Remove(&p[0]), -1);
    }
    // An absolute host path names a file inside the root.
    ASSERT_EQ(_MkDir("/tmp"), 0);
    char host[] = "/tmp/qz-inside.txt";
    int8 h = _Fopen(host, w);
    ASSERT_GT(h, 0);
    _Fclose(h);
    EXPECT_TRUE(std::filesystem::exists(HostFile("tmp/qz-inside.txt")));
    EXPECT_FALSE(std::filesystem::exists("/tmp/qz-inside.txt"));
}

TEST_F(Terminal, DirectoriesAreListed) {
    char dir[] = "list", f1[] = "list/one.txt", f2[] = "list/two.txt", w[] = "W";
    ASSERT_EQ(_MkDir(dir), 0);
    _Fclose(_Fopen(f1, w));
    _Fclose(_Fopen(f2, w));
    _dir* d = _OpenDir(dir);
    ASSERT_NE(d, nullptr);
    std::set<std::string> names;
    while (_dirent* e = _ReadDir(d)) names.insert(e->d_name);
    EXPECT_EQ(_CloseDir(d), 0);
    EXPECT_EQ(names, (std::set<std::string>{"one.txt", "two.txt"}));
    EXPECT_EQ(_OpenDir("missing"), nullptr);
}

TEST_F(Terminal, ClockFollowsTheTmConventionAndCanBeSet) {
    // The harness starts the clock at 2026-12-11 09:00:00 and holds it.
    EXPECT_EQ(_GetYear(), 126u);
    EXPECT_EQ(_GetMonth(), 11);
    EXPECT_EQ(_GetDay(), 11);
    EXPECT_EQ(_GetHour(), 9);
    EXPECT_EQ(_GetMin(), 0);
    char text[32];
    _GetDate(text, '-');
    EXPECT_STREQ(text, "2026-12-11");
    simos::AdvanceClock(61500);
    _GetTime(text, ':');
    EXPECT_STREQ(text, "09:01:01");

    char t[] = "7:5:3", d[] = "125-0-31";  // years since 1900, months from 0
    _SetTime(t);
    _SetDate(d);
    _GetDateTime(text, '-', ':');
    EXPECT_STREQ(text, "2025-01-31 07:05:03");
    EXPECT_EQ(_GetWeek(), 5);  // a Friday
}

TEST_F(Terminal, PrintedTextReadsBackFromTheTextCells) {
    pda.ClrScr();
    pda.Print(2, 3, "AB", 1);
    pda.Print(5, 3, "水准", 0);
    sim::Run run = harness.Play("", [] { return 0; });
    EXPECT_EQ(run.final.Line(3), " AB 水准");
    EXPECT_EQ(run.final.Inverse(3), "    ####");  // a Chinese character takes two cells
    EXPECT_TRUE(simos::Pixel(8 + 1, 32 + 12) || simos::Pixel(8 + 2, 32 + 12) ||
                simos::Pixel(8 + 3, 32 + 12));  // ink of 'A' in its cell
}

TEST_F(Terminal, ScreenSavesNest) {
    pda.ClrScr();
    pda.Print(1, 1, "form", 1);
    pda.SaveScreen(0, 0, 159, 159);
    pda.Print(1, 2, "menu", 0);
    pda.SaveScreen(0, 16, 159, 60);
    pda.Print(1, 3, "box", 1);
    auto line = [](int row) { return sim::Screen{simos::Text()}.Line(row); };
    EXPECT_EQ(line(3), "box");
    pda.LoadScreen();
    EXPECT_EQ(line(3), "");
    EXPECT_EQ(line(2), "menu");
    EXPECT_EQ(sim::Screen{simos::Text()}.Inverse(2), "####");
    pda.LoadScreen();
    EXPECT_EQ(line(2), "");
    EXPECT_EQ(line(1), "form");
    pda.LoadScreen();  // nothing left to restore: no effect
    EXPECT_EQ(line(1), "form");
}

TEST_F(Terminal, KeysMapToTheToolkitCodesByInputMode) {
    struct Case {
        const char* script;
        int mode;
        std::vector<int> codes;
    };
    const Case cases[] = {
        {"Enter Esc Up Down Left Right PgUp PgDn", ImeNumber, {13, 27, 18, 19, 16, 17, 16, 17}},
        {"Back Del Tab Fn Space 7.-", ImeNumber, {8, 20, 21, 22, 32, '7', '.', '-'}},
        {"\"aB1\" Enter", ImeNumber, {'1', 13}},  // letters do not type in number mode
        {"\"aB1\"", ImeLower, {'a', 'b', '1'}},
        {"\"aB1\"", ImeUpper, {'A', 'B', '1'}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        std::vector<int> got;
        pda.SetImeMode(c.mode);
        pda.SetImeMode(251);  // the toolkit's "leave it as it was"
        EXPECT_EQ(pda.GetImeMode(), c.mode);
        size_t want = c.codes.size();
        harness.Play(c.script, [&got, want] {
            while (got.size() < want) got.push_back(pda.GetChar());
            return 0;
        });
        EXPECT_EQ(got, c.codes);
    }
}

TEST_F(Terminal, AScriptThatRunsOutUnwindsWithEscape) {
    int escapes = 0;
    sim::Run run = harness.Play("Down", [&escapes] {
        for (;;) {
            int key = pda.GetChar();
            if (key == 27 && ++escapes == 2) return 7;
        }
    });
    EXPECT_TRUE(run.exhausted);
    EXPECT_EQ(run.result, 7);
    EXPECT_EQ(run.screens.size(), 2u);  // the wait for Down and the one the script ended on
}

TEST_F(Terminal, DeviceInformationAndLog) {
    EXPECT_STREQ(pda.GetSn(), "QZ2026000001");
    EXPECT_STREQ(pda.GetType(), "QZ-1000");
    unsigned before = pda.GetHaltCount();
    simos::AdvanceClock(1000);
    EXPECT_EQ(pda.GetHaltCount(), before + 1000);
    simos::ClearLog();
    pda.Beep(2000, 500);
    _OpenRedLight();
    EXPECT_EQ(simos::Log(), (std::vector<std::string>{"beep", "red light on"}));
    char card[8];
    EXPECT_EQ(_RfidReadCardId((uint8*)card), 0);  // no reader: a failure code
    EXPECT_EQ(_BtScan(1, card, card), -1);
}

TEST(TerminalStart, RefusesWhatItCannotRunWithAOneLineReason) {
    struct Case {
        const char* what;
        void (*change)(simos::Config&);
        const char* reason;
    };
    const Case cases[] = {
        {"missing font", [](simos::Config& c) { c.font = "/nonexistent/unifont.hex"; },
         "cannot read the font"},
        {"root is a file", [](simos::Config& c) { c.root = "/etc/hostname"; }, "is not a folder"},
        {"screen too large", [](simos::Config& c) { c.cols = 21; }, "160 x 160"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        simos::Config config;
        config.root = ::testing::TempDir() + "qz-start";
        c.change(config);
        std::string error;
        EXPECT_FALSE(simos::Start(config, &error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

}  // namespace
