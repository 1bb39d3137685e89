// Forms on the simulated terminal.
#include <gtest/gtest.h>
#include <stdio.h>

#include <string>

#include "harness.h"
#include "htform.h"
#include "screen_check.h"

namespace {

// Nine one-line boxes "Box1:" .. "Box9:" with the values "1" .. "9": seven
// fit under the title on page 1, two go to page 2.
struct NineBoxes {
    htForm form;
    char labels[9][8];
    char values[9][4];
    explicit NineBoxes(bool empty = false) {
        for (int i = 0; i < 9; ++i) {
            snprintf(labels[i], sizeof labels[i], "Box%d:", i + 1);
            snprintf(values[i], sizeof values[i], "%d", i + 1);
            form.Add(8, empty ? "" : values[i], labels[i]);
        }
    }
    std::string Values() const {
        std::string all;
        for (int i = 0; i < form.count; ++i) all += std::string(form.boxes[i]->value) + ",";
        return all;
    }
};

std::string Repeat(const char* key, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += std::string(key) + " ";
    return s;
}

}  // namespace

TEST(Form, KeysMoveThroughBoxesAndPages) {
    sim::Harness h(sim::Geometry(16, 8));
    struct Case {
        const char* name;
        bool empty;
        std::string script;
        int result;
        const char* values;
    } cases[] = {
        {"all pages done", false, Repeat("Enter", 9), 13, "1,2,3,4,5,6,7,8,9,"},
        {"up across pages", false, Repeat("Enter", 7) + "Up " + Repeat("Enter", 9), 13,
         "1,2,3,4,5,6,7,8,9,"},
        {"down on an empty box stays", true, "Down 5 Down Down 6 Enter Fn 4 Enter", 0,
         "5,6,,,,,,,,"},
        {"-1 confirmed empties every box", false, "Down Back -1 Enter Enter 4 Enter Fn 4 Enter", 0,
         "4,,,,,,,,,"},
        {"-1 not confirmed keeps the values", false,
         "Back -1 Enter Esc Back Back 7 Enter Fn 4 Enter", 0, "7,2,3,4,5,6,7,8,9,"},
        {"-2 confirmed leaves", false, "Back -2 Enter Enter", 0, "-2,2,3,4,5,6,7,8,9,"},
        {"Esc keeps the form", false, "Esc Esc Esc Fn 4 Enter", 0, "1,2,3,4,5,6,7,8,9,"},
        {"leave from the function menu", false, "Fn 4 Esc Enter Fn 4 Enter", 0,
         "1,2,3,4,5,6,7,8,9,"},
        {"help, then back to input", false, "Fn 3 Enter Fn 1 Fn 4 Enter", 0, "1,2,3,4,5,6,7,8,9,"},
        {"clear from the function menu", false, "Fn 2 Enter 3 Enter Fn 4 Enter", 0, "3,,,,,,,,,"},
    };
    for (const Case& c : cases) {
        NineBoxes nine(c.empty);
        sim::Run run = h.Play(c.script, [&] { return nine.form.Run("设置"); });
        EXPECT_FALSE(run.exhausted) << c.name;
        EXPECT_EQ(run.result, c.result) << c.name;
        EXPECT_EQ(nine.Values(), c.values) << c.name;
        EXPECT_EQ(nine.form.pages, 2) << c.name;
    }
}

TEST(Form, PagesOnTheScreen) {
    sim::Harness h(sim::Geometry(16, 8));
    NineBoxes nine;
    sim::Run run = h.Play(Repeat("Enter", 7) + "Up " + Repeat("Enter", 9),
                          [&] { return nine.form.Run("设置"); });
    ASSERT_EQ(run.screens.size(), 17u);
    // Page 1, the first box under the cursor.
    ExpectScreen(run.screens[0],
                 {{"      设置", "Box1:1 ---------", "Box2:2----------", "Box3:3----------",
                   "Box4:4----------", "Box5:5----------", "Box6:6----------", "Box7:7----------"},
                  {"################"}},
                 "page 1");
    // Page 2 starts under the title.
    ExpectScreen(run.screens[7],
                 {{"      设置", "Box8:8 ---------", "Box9:9----------", "|", "|", "|", "|", "|"},
                  {"################"}},
                 "page 2");
    // Up on the first box of page 2: page 1 again, at its first box.
    EXPECT_EQ(run.screens[8].Line(2), "Box1:1 ---------");
    EXPECT_EQ(run.screens[8].Line(3), "Box2:2----------");
}

TEST(Form, ConfirmationAndFunctionMenuScreens) {
    sim::Harness h(sim::Geometry(16, 8));
    NineBoxes nine;
    sim::Run run =
        h.Play("Back -1 Enter Esc Fn Esc Fn 4 Enter", [&] { return nine.form.Run("设置"); });
    ASSERT_EQ(run.screens.size(), 10u);
    ExpectScreen(run.screens[4],
                 // Two columns in from each side, centred on rows 3 to 6.
                 {{"      设置", "Box1:-1---------", "Bo水准记簿程序 |", "B是否重新输入所|",
                   "B有信息？     ||", "B[取消]  [确定]|", "Box6:6----------", "Box7:7----------"},
                  {"################", "", " ##############"}},
                 "-1 asks first");
    ExpectScreen(run.screens[6],
                 // Opened above row 3, so at the top; eight items take two pages.
                 {{"  +--功能菜单--+", "Bo1.返回输入---+", "Bo2.清空当前输入", "Bo3.帮助信息   |",
                   "Bo4.退出输出   |", "Bo5.123        |", "Bo6.abc        |", "Bo+---<-1/2->--+"},
                  {"##", "  ##########"}},
                 "function menu");
    EXPECT_EQ(run.result, 0);
}

TEST(Form, UpperCaseChosenInTheFunctionMenuIsKept) {
    sim::Harness h(sim::Geometry(16, 8));
    htForm form;
    form.Add(8, "", "Name:");
    sim::Run run = h.Play("\"a\" Fn 7 \"bc\" Enter", [&] { return form.Run("F"); });
    EXPECT_EQ(run.result, 13);
    EXPECT_STREQ(form.GetTextBox(0)->value, "aBC");
}

TEST(Form, LeavingBindsNothingAndFinishingBindsAll) {
    sim::Harness h(sim::Geometry(16, 8));
    int a = 1, b = 2;
    htForm form;
    form.Add(4, "", "A:")->BindVar(a);
    form.Add(4, "", "B:")->BindVar(b);
    sim::Run run = h.Play("10 Enter 20 Enter", [&] { return form.Run("F"); });
    EXPECT_EQ(run.result, 13);
    EXPECT_EQ(a, 10);
    EXPECT_EQ(b, 20);
    run = h.Play("Back Back 30 Enter Back Back -2 Enter Enter", [&] { return form.Run("F"); });
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(a, 10) << "a value accepted before leaving is not stored";
}

TEST(Form, NoBoxesReturnsMinusOneWithoutDrawing) {
    sim::Harness h(sim::Geometry(16, 8));
    htForm form;
    sim::Run run = h.Play("", [&] { return form.Run("Empty"); });
    EXPECT_EQ(run.result, -1);
    EXPECT_TRUE(run.screens.empty());
    ExpectScreen(run.final, {{}, {}}, "nothing drawn");
}

TEST(Form, TwentyBoxesAtMost) {
    sim::Harness h;  // the simulated terminal serves the memory
    htForm form;
    htTextBox mine(4, "", "x");
    for (int i = 0; i < htForm::kMaxBoxes - 1; ++i) ASSERT_NE(form.Add(4, "", "L"), nullptr);
    EXPECT_EQ(form.Add(&mine), &mine);
    EXPECT_EQ(form.Add(4, "", "L"), nullptr);
    EXPECT_EQ(form.Add("label"), nullptr);
    EXPECT_EQ(form.Add(&mine), nullptr);
    EXPECT_EQ(form.count, 20);
    EXPECT_EQ(form.ownedCount, 19);
    EXPECT_EQ(form.GetTextBox(19), &mine);
    EXPECT_EQ(form.GetTextBox(20), nullptr);
    EXPECT_EQ(form.GetTextBox(-1), nullptr);
}

TEST(Form, LabelsAreSkippedAndEmptyBoxesFound) {
    sim::Harness h(sim::Geometry(16, 8));
    htForm form;
    form.Add(4, "1", "A:");
    form.Add("-- label --");
    form.Add(4, "", "B:");
    // Up from B skips the label back to A.
    sim::Run run = h.Play("Enter Up Enter 2 Enter", [&] { return form.Run("F"); });
    EXPECT_EQ(run.result, 13);
    ASSERT_EQ(run.screens.size(), 5u);
    EXPECT_EQ(run.screens[1].Line(4), "B: -------------");
    EXPECT_EQ(run.screens[2].Line(2), "A:1 ------------");
    EXPECT_EQ(form.GetPageNullBox(1), -1);
    form.GetTextBox(2)->SetValue("");
    EXPECT_EQ(form.GetPageNullBox(1), 2);
}
