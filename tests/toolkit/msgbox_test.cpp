// Message boxes on the simulated terminal: the text-grid box and the pixel box.
#include <gtest/gtest.h>

#include <string>

#include "armiobase.h"
#include "harness.h"
#include "messagebox1.h"
#include "msgbox.h"
#include "screen_check.h"

namespace {

const char* const kTwelveLines = "L01\nL02\nL03\nL04\nL05\nL06\nL07\nL08\nL09\nL10\nL11\nL12";

}  // namespace

TEST(MsgBox, LongTextPagesThroughTheWholeScreen) {
    sim::Harness h(sim::Geometry(16, 8));
    // Title, six text lines and the button line; the frame runs down the
    // right edge.
    Expected page1 = {
        {"  水准记簿程序", "L01------------+", "L02            |", "L03            |",
         "L04            |", "L05            |", "L06            |", "+-按任意键继续-+"},
        {"################"}};
    // The next part over blanked lines.
    Expected page2 = {
        {"  水准记簿程序", "L07", "L08", "L09", "L10", "L11", "L12", "+-按任意键继续-+"},
        {"################"}};
    struct Case {
        const char* script;
        int result;
        size_t waits;
    } cases[] = {
        {"Enter Enter", 13, 2},  // a key shows the rest, the next one ends
        {"5 Esc", 27, 2},        // Esc on the last part
        {"Esc", 27, 1},          // Esc ends at once
    };
    for (const Case& c : cases) {
        sim::Run run = h.Play(c.script, [&] {
            pda.ClrScr();
            return MsgBox(kTwelveLines);
        });
        EXPECT_EQ(run.result, c.result) << c.script;
        ASSERT_EQ(run.screens.size(), c.waits) << c.script;
        ExpectScreen(run.screens[0], page1, std::string(c.script) + " page 1");
        if (c.waits > 1) ExpectScreen(run.screens[1], page2, std::string(c.script) + " page 2");
        ExpectScreen(run.final, {{}, {}}, "restored");
    }
}

TEST(MsgBox, AnswerKeysByStyle) {
    sim::Harness h(sim::Geometry(16, 8));
    struct Case {
        MsgBoxStyle style;
        const char* script;
        int result;
    } cases[] = {
        {MsgBoxOkCancel, "Enter", 13},      {MsgBoxOkCancel, "Esc", 27},
        {MsgBoxOkCancel, "2", '2'},         {MsgBoxQuestion, "9 1", '1'},
        {MsgBoxChoice, "Enter Esc 3", '3'},  // Enter and Esc do not answer
        {MsgBoxOk, "Esc 1 Enter", 13},      {(MsgBoxStyle)1, "Enter", 13},
        {MsgBoxInfo, "Down", 13},
    };
    for (const Case& c : cases) {
        sim::Run run = h.Play(c.script, [&] { return MsgBox("Go on?", c.style); });
        EXPECT_EQ(run.result, c.result) << c.style << " " << c.script;
        EXPECT_FALSE(run.exhausted) << c.style << " " << c.script;
    }
}

TEST(MsgBox, Geometry) {
    sim::Harness h(sim::Geometry(16, 8));
    struct Case {
        const char* name;
        MsgBoxStyle style;
        const char* title;
        int left, top, width, rows;
        Expected screen;
    } cases[] = {
        // One line, OK/Cancel: three rows centred, columns 2 to 15.
        {"ok-cancel",
         MsgBoxOkCancel,
         "T",
         0,
         0,
         0,
         0,
         {{"", " --------------", "|      T       |", "|Go on?-------+|", "|[取消]  [确定]|",
           " --------------"},
          {"", "", " ##############"}}},
        // The caller's place and size are kept when they fit.
        {"caller's geometry",
         MsgBoxOk,
         "T",
         3,
         2,
         10,
         4,
         {{"  ----------", " |    T     |", " |Go on?---+|", " ||        ||", " |+-[确定]-+|",
           "  ----------"},
          {"", "  ##########"}}},
        // A box that would pass the bottom is moved up.
        {"moved up",
         MsgBoxOk,
         nullptr,
         1,
         7,
         16,
         3,
         {{"", "", "", "", "----------------", "", "Go on?---------+", "+----[确定]----+"},
          {"", "", "", "", "", "################"}}},
    };
    for (const Case& c : cases) {
        sim::Run run = h.Play("Enter", [&] {
            pda.ClrScr();
            return MsgBox("Go on?", c.style, c.title, c.left, c.top, c.width, c.rows);
        });
        ASSERT_EQ(run.screens.size(), 1u) << c.name;
        ExpectScreen(run.screens[0], c.screen, c.name);
    }
}

TEST(MessageBox1, FitAndAnswerKeys) {
    sim::Harness h(sim::Geometry(20, 10));  // the 160 x 160 screen
    std::string twenty;
    for (int i = 0; i < 20; ++i) twenty += "line\n";
    struct Case {
        const char* name;
        std::string text;
        int flags;
        const char* script;
        int result;
        size_t waits;
    } cases[] = {
        {"twenty lines do not fit", twenty, 0, "", 0, 0},
        {"one button, Enter", "Saved.", 0, "raw:0x45", 1, 1},
        {"cancel highlighted first", "Delete?", 3, "raw:0x45", 2, 1},
        {"right then Enter", "Delete?", 1, "raw:0x52 raw:0x45", 2, 2},
        {"right, left, Enter", "Delete?", 3, "raw:0x52 raw:0x4C raw:0x45", 1, 3},
        {"right on one button", "Saved.", 2, "raw:0x52 raw:0x45", 1, 2},
        {"cancel key", "Saved.", 0, "Down raw:0x43", 2, 2},
        {"long line", std::string(60, 'w'), 1, "raw:0x45", 1, 1},
    };
    for (const Case& c : cases) {
        sim::Run run = h.Play(c.script, [&] {
            pda.ClrScr();
            pda.Print(1, 10, "under", 1);
            return DMessageBoxEx("Title", c.text.c_str(), c.flags);
        });
        EXPECT_EQ(run.result, c.result) << c.name;
        EXPECT_EQ(run.screens.size(), c.waits) << c.name;
        EXPECT_FALSE(run.exhausted) << c.name;
        ExpectScreen(run.final, {{"", "", "", "", "", "", "", "", "", "under"}, {}}, c.name);
    }
}

TEST(MessageBox1, DrawsTitleTextAndButtons) {
    sim::Harness h(sim::Geometry(20, 10));
    MessageBoxRecord rec = {};
    rec.title = "提示";
    rec.text = "第一行\r\n第二行";
    rec.twoButtons = 1;
    sim::Run run = h.Play("raw:0x45", [&] { return MessageBox1(&rec); });
    EXPECT_EQ(run.result, 1);
    // Two lines: 84 pixels high, 106 wide, centred.
    EXPECT_EQ(rec.width, 106);
    EXPECT_EQ(rec.height, 84);
    EXPECT_EQ(rec.left, 27);
    EXPECT_EQ(rec.top, 38);
    ASSERT_EQ(run.screens.size(), 1u);
    std::string all;
    for (int row = 1; row <= 10; ++row) all += run.screens[0].Line(row) + "\n";
    EXPECT_NE(all.find("提示"), std::string::npos) << run.screens[0].Render();
    EXPECT_NE(all.find("第一行"), std::string::npos) << run.screens[0].Render();
    EXPECT_NE(all.find("第二行"), std::string::npos) << run.screens[0].Render();
    EXPECT_NE(all.find("确定"), std::string::npos) << run.screens[0].Render();
    EXPECT_NE(all.find("取消"), std::string::npos) << run.screens[0].Render();
}
