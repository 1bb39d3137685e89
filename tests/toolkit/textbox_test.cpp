// Text boxes on the simulated terminal.
#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "harness.h"
#include "httextbox.h"
#include "screen_check.h"

namespace {

const char* NotAbove100(const char* text) { return atoi(text) > 100 ? "不能大于100" : nullptr; }

}  // namespace

TEST(TextBox, KeysOfATypedValue) {
    sim::Harness h(sim::Geometry(16, 8));
    struct Case {
        const char* name;
        TextBoxType type;
        int maxLen;
        const char* initial;
        int inForm;
        const char* script;
        int result;
        const char* value;
        int waits;  // key waits (the keys the box took)
    } cases[] = {
        {"number box keeps maxLen digits", TextBoxNumber, 3, "", 0, "\"1a2b345\" Enter", 13, "123",
         8},
        {"letters are not numbers", TextBoxNumber, 5, "", 0, "\"x.-+\" 9 Enter", 13, ".-+9", 6},
        {"Enter on empty waits", TextBoxNumber, 3, "", 0, "Enter Enter 7 Enter", 13, "7", 4},
        {"Esc with text typed", TextBoxNumber, 3, "", 0, "12 Esc", 27, "12", 3},
        {"delete keys", TextBoxText, 8, "abc", 0, "Back Del \"z\" Enter", 13, "az", 4},
        {"a two-byte character is deleted whole", TextBoxText, 8, "测a", 0, "Back Back Enter Esc",
         27, "", 4},
        {"-1 in a form", TextBoxNumber, 4, "", 1, "-1 Enter", -1, "-1", 3},
        {"-2 in a form", TextBoxNumber, 4, "", 1, "-2 Enter", -2, "-2", 3},
        {"-1 outside a form is a value", TextBoxNumber, 4, "", 0, "-1 Enter", 13, "-1", 3},
        {"keys handed to the form", TextBoxNumber, 4, "", 1, "5 Down", 19, "5", 2},
        {"function key in a form", TextBoxNumber, 4, "", 1, "Fn", 22, "", 1},
        {"up outside a form does nothing", TextBoxNumber, 4, "", 0, "Up 5 Enter", 13, "5", 3},
    };
    for (const Case& c : cases) {
        htTextBox box(c.maxLen, c.initial, "Val:", nullptr, nullptr, c.type);
        sim::Run run = h.Play(c.script, [&] {
            pda.ClrScr();
            return box.Run(2, 1, 0, c.inForm, false, true);
        });
        EXPECT_EQ(run.result, c.result) << c.name;
        EXPECT_STREQ(box.value, c.value) << c.name;
        EXPECT_EQ(run.screens.size(), (size_t)c.waits) << c.name;
    }
}

TEST(TextBox, BoundVariablesChangeOnlyWhenAccepted) {
    sim::Harness h(sim::Geometry(16, 8));
    int i = 5;
    long l = 6;
    double d = 0;
    char text[5] = "old";
    htTextBox bi(4, "", "i"), bl(9, "", "l"), bd(9, "", "d"), bt(4, "", "t");
    bi.BindVar(i);
    bl.BindVar(l);
    bd.BindVar(d);
    bt.BindVar(text);
    EXPECT_EQ(bi.type, TextBoxNumber);
    EXPECT_EQ(bt.type, TextBoxText);

    h.Play("42 Esc", [&] { return bi.Run(1, 1, 0, 0, true, true); });
    EXPECT_EQ(i, 5) << "Esc binds nothing";
    h.Play("Enter", [&] { return bi.Run(1, 1, 0, 0, true, true); });
    EXPECT_EQ(i, 42);
    h.Play("1234567 Enter", [&] { return bl.Run(1, 1, 0, 0, true, true); });
    EXPECT_EQ(l, 1234567);
    h.Play("-2.5 Enter", [&] { return bd.Run(1, 1, 0, 0, true, true); });
    EXPECT_EQ(d, -2.5);
    h.Play("\"abcdef\" Enter", [&] { return bt.Run(1, 1, 0, 0, true, true); });
    EXPECT_STREQ(text, "abcd") << "a char array gets at most maxLen bytes";

    bd.SetNumValue(3.25);
    EXPECT_STREQ(bd.value, "3.25");
    bt.SetValue("xy测");
    EXPECT_STREQ(bt.value, "xy测");
    bt.SetValue("xyz测");
    EXPECT_STREQ(bt.value, "xyz") << "a two-byte character is not cut in half";
    bt.SetValue(nullptr);
    EXPECT_STREQ(bt.value, "");
    htTextBox label("Only a label");
    EXPECT_EQ(label.value, nullptr);
    label.SetValue("x");
    EXPECT_EQ(label.Check(), nullptr);
    EXPECT_STREQ(bt.Check(), "必须填写信息");
}

TEST(TextBox, SelectBoxByHotKeyStepAndMenu) {
    sim::Harness h(sim::Geometry(16, 8));
    htTextBox box(8, "", "Kind:", nullptr, nullptr, TextBoxSelect);
    box.BindMenu("Kinds", 2, "A-one", "B-two");
    box.BindMenu("Other", 1, "C-three");  // a menu is bound already: kept
    sim::Run run = h.Play("\"B\" Right Space Down Enter Enter", [&] {
        pda.ClrScr();
        box.SetPos(2, 1, 0);
        box.DrawLabel();
        pda.SetImeMode(ImeUpper);  // letters reach a select box as typed
        return box.Run(2, 1, 0, 0, false, false);
    });
    EXPECT_EQ(run.result, 13);
    EXPECT_STREQ(box.value, "B-two");
    ASSERT_EQ(run.screens.size(), 6u);
    // 'B' chose the second item without showing the menu.
    ExpectScreen(run.screens[1], {{"", "Kind:B-two -----"}, {}}, "after B");
    // The step after the last item gives the first.
    EXPECT_EQ(run.screens[2].Line(2), "Kind:A-one -----");
    // Space opened the menu under the value.
    ExpectScreen(run.screens[3],
                 {{"", "Kind:A-one -----", "    |+Kinds+|", "    |1.A-one|", "    |2.B-two|",
                   "     -------"},
                  {"", "", "", "     #######"}},
                 "menu under the value");
}

TEST(TextBox, SelectBoxWithoutMenuReturnsZero) {
    sim::Harness h(sim::Geometry(16, 8));
    // Run alone, every key answers at once: Enter, a hot key, an arrow and the
    // function key (no input-mode menu for a select box).
    for (const char* script : {"Enter", "7", "Down", "Fn"}) {
        htTextBox box(8, "", "Kind:", nullptr, nullptr, TextBoxSelect);
        sim::Run run = h.Play(script, [&] { return box.GetValue(0); });
        EXPECT_EQ(run.result, 0) << script;
        EXPECT_EQ(run.screens.size(), 1u) << script;
        EXPECT_FALSE(run.exhausted) << script;
        EXPECT_EQ(MenuIndex, 0) << script;
    }
}

TEST(TextBox, CheckMessageIsShownAndEditingGoesOn) {
    sim::Harness h(sim::Geometry(16, 8));
    htTextBox box(3, "", "N:", NotAbove100, nullptr, TextBoxNumber);
    sim::Run run = h.Play("150 Enter Enter Back Back Back 99 Enter", [&] {
        pda.ClrScr();
        box.SetPos(1, 1, 0);
        box.DrawLabel();
        return box.Run(1, 1, 0, 0, false, true);
    });
    EXPECT_EQ(run.result, 13);
    EXPECT_STREQ(box.value, "99");
    ASSERT_GE(run.screens.size(), 5u);
    ExpectScreen(run.screens[4],
                 // The box over rows 3 to 5 with its frame ring above and below.
                 {{"N:150 ----------", "----------------", "  水准记簿程序", "不能大于100----+",
                   "+-按任意键继续-+", "----------------"},
                  {"", "", "################"}},
                 "check message");
    EXPECT_EQ(run.screens[5].Line(1), "N:150 ----------");  // message gone
    EXPECT_EQ(run.screens[5].Line(3), "");
}

TEST(TextBox, InputModeMenuOutsideAForm) {
    sim::Harness h(sim::Geometry(16, 8));
    htTextBox box(6, "", "T:");
    sim::Run run = h.Play("Fn 3 \"ab\" Enter", [&] {
        pda.ClrScr();
        return box.Run(4, 1, 0, 0, false, true);
    });
    EXPECT_EQ(run.result, 13);
    EXPECT_STREQ(box.value, "AB") << "ABC chosen in the input-mode menu";
    ASSERT_GE(run.screens.size(), 2u);
    EXPECT_EQ(run.screens[1].Line(1), "输入法|");
    EXPECT_EQ(run.screens[1].Line(4), "3.ABC||---------");
    // Esc in that menu leaves the mode as it was.
    pda.SetImeMode(ImeLower);
    run = h.Play("Fn Esc \"Q\" Enter", [&] { return box.Run(4, 1, 0, 0, false, false); });
    EXPECT_STREQ(box.value, "ABq");
}

TEST(TextBox, LabelAndValueLayout) {
    sim::Harness h(sim::Geometry(16, 8));
    struct Case {
        int maxLen;
        int lines, valueFirst, valueLeft, valueRows;
        Expected screen;
    } cases[] = {
        // The value's lines are outlined up to the box's last column.
        {8, 1, 6, 1, 1, {{"", "", "Name:abc--------"}, {}}},
        {12, 2, 6, 1, 2, {{"", "", "Name:abc--------", "+---------------"}, {}}},
    };
    for (const Case& c : cases) {
        htTextBox box(c.maxLen, "abc", "Name:");
        box.SetPos(3, 1, 0);
        EXPECT_EQ(box.lines, c.lines);
        EXPECT_EQ(box.valueRect.firstCol, c.valueFirst);
        EXPECT_EQ(box.valueRect.leftCol, c.valueLeft);
        EXPECT_EQ(box.valueRect.rows, c.valueRows);
        EXPECT_EQ(box.valueRect.top, 3);
        sim::Run run = h.Play("", [&] {
            pda.ClrScr();
            box.DrawLabel();
            box.Draw();
            return 0;
        });
        ExpectScreen(run.final, c.screen, "maxLen " + std::to_string(c.maxLen));
    }
}
