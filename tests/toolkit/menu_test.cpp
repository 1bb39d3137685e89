// Menus and text areas on the simulated terminal.
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "harness.h"
#include "htmenu.h"
#include "screen_check.h"

namespace {

// A menu of `n` items "It00", "It01", ... (copies).
struct Numbered {
    htMenu menu{4, true};
    explicit Numbered(int n, const char* title = "Menu") {
        for (int i = 0; i < n; ++i) {
            char text[8];
            snprintf(text, sizeof text, "It%02d", i);
            menu.AddItem(text);
        }
        if (title) menu.SetTitle(title);
    }
};

struct Shot {
    int wait;  // index into run.screens; -1 = the final screen
    Expected screen;
};

void ExpectShots(const sim::Run& run, const std::vector<Shot>& shots, const std::string& name) {
    for (const Shot& s : shots) {
        if (s.wait < 0) {
            ExpectScreen(run.final, s.screen, name + " final");
        } else {
            ASSERT_LT((size_t)s.wait, run.screens.size()) << name;
            ExpectScreen(run.screens[s.wait], s.screen, name + " wait " + std::to_string(s.wait));
        }
    }
}

}  // namespace

TEST(Menu, OnePageWithTheLastItemHighlightedFirst) {
    sim::Harness h(sim::Geometry(16, 8));
    htMenu menu("测量", 7, "Item1", "Item2", "Item3", "Item4", "Item5", "Item6", "Item7");
    std::string chosen;
    sim::Run run = h.Play("Up Enter", [&] {
        chosen = menu.Run(1, 1, 6, 0, 0, true);
        return 0;
    });
    ExpectShots(run,
                {{0,
                  {{"+测量-+|", "1.Item1|", "2.Item2|", "3.Item3|", "4.Item4|", "5.Item5|",
                    "6.Item6|", "7.Item7|"},
                   {"", "", "", "", "", "", "", "#######"}}},
                 {1,
                  {{"+测量-+|", "1.Item1|", "2.Item2|", "3.Item3|", "4.Item4|", "5.Item5|",
                    "6.Item6|", "7.Item7|"},
                   {"", "", "", "", "", "", "#######"}}},
                 {-1, {{}, {}}}},
                "one page");
    EXPECT_EQ(chosen, "Item6");
    EXPECT_EQ(GetLastMenuKey(), 5);
    EXPECT_EQ(menu.selected, 5);
    EXPECT_EQ(menu.pages, 1);
}

TEST(Menu, TwentyItemsOnEightRowsPageThroughFourPages) {
    sim::Harness h(sim::Geometry(16, 8));
    Numbered m(20);
    std::string chosen;
    sim::Run run = h.Play("Down Down Down Down Down Down PgDn PgDn Up Enter", [&] {
        chosen = m.menu.Run(1, 1, 0, 0, 0, true);
        return 0;
    });
    ASSERT_EQ(run.screens.size(), 10u);
    std::vector<std::string> page1 = {"+Menu+|", "1.It00|", "2.It01|", "3.It02|",
                                      "4.It03|", "5.It04|", "6.It05|", "+<-1/4->"};
    ExpectShots(run,
                {{0, {page1, {"", "######"}}},
                 {5, {page1, {"", "", "", "", "", "", "######"}}},
                 // Down on the last line of page 1: page 2, its first line.
                 {6,
                  {{"+Menu+|", "1.It06|", "2.It07|", "3.It08|", "4.It09|", "5.It10|", "6.It11|",
                    "+<-2/4->"},
                   {"", "######"}}},
                 // The last page holds two items.
                 {8,
                  {{"+Menu+|", "1.It18|", "2.It19|", "|    ||", "|    ||", "|    ||", "|    ||",
                    "+<-4/4->"},
                   {"", "######"}}},
                 // Up on its first line goes back to page 3.
                 {9,
                  {{"+Menu+|", "1.It12|", "2.It13|", "3.It14|", "4.It15|", "5.It16|", "6.It17|",
                    "+<-3/4->"},
                   {"", "######"}}}},
                "twenty items");
    EXPECT_EQ(chosen, "It12");
    EXPECT_EQ(m.menu.count, 20);
    EXPECT_GE(m.menu.capacity, 20);
    EXPECT_EQ(m.menu.pages, 4);
}

TEST(Menu, NumberKeysChooseOnThePageAndBeyondIt) {
    sim::Harness h(sim::Geometry(16, 8));
    struct Case {
        const char* script;
        int initial;
        const char* chosen;
    } cases[] = {
        {"3", 0, "It02"},      {"PgDn 2", 0, "It07"},
        {"8", 0, "It07"},  // beyond the page's six lines: the item of that number
        {"Enter", 14, "It14"}, {"PgUp Enter", 14, "It06"},
    };
    for (const Case& c : cases) {
        Numbered m(20);
        std::string chosen;
        h.Play(c.script, [&] {
            chosen = m.menu.Run(1, 1, c.initial, 0, 0, true);
            return 0;
        });
        EXPECT_EQ(chosen, c.chosen) << c.script;
    }
}

TEST(Menu, HotKeyAndStepAnswerWithoutDrawing) {
    sim::Harness h(sim::Geometry(16, 8));
    char alpha[] = "Alpha", bravo[] = "Bravo", bravo2[] = "Bx", charlie[] = "Charlie";
    htMenu menu(4, false);
    menu.AddItem(4, alpha, bravo, bravo2, charlie);
    char last[] = "Charlie", first[] = "Alpha", empty[] = "", second[] = "Bravo", none[] = "Zulu";
    struct Case {
        char key;
        char type;
        char* value;
        const char* want;
    } cases[] = {
        {'B', 0, nullptr, "Bravo"},  // the first item that begins with the key
        {'Z', 0, nullptr, ""},       // no item begins with it
        {0, 17, last, "Alpha"},      // after the last comes the first
        {0, 16, first, "Alpha"},     // before the first stays the first
        {0, 17, empty, "Alpha"},     // an empty value gives the first
        {0, 16, second, "Alpha"},   {0, 17, second, "Bx"},
        {0, 17, none, ""},  // an unknown value gives ""
    };
    lastFastMenuKey = 7;
    for (const Case& c : cases) {
        if (c.key) SetMenuIndex(c.key);
        if (c.type) SetMenuChangeValue(c.type, c.value);
        const char* got = nullptr;
        sim::Run run = h.Play("", [&] {
            got = menu.Run(1, 1);
            return 0;
        });
        ASSERT_NE(got, nullptr);
        EXPECT_STREQ(got, c.want) << (int)c.key << " " << (int)c.type;
        EXPECT_TRUE(run.screens.empty()) << "the menu was shown";
        EXPECT_EQ(MenuIndex, 0);
        EXPECT_EQ(MenuChangeType, 0);
    }
    EXPECT_EQ(GetLastMenuKey(), 7) << "a hot key or step is not a choice";

    // Nothing pending: the next Run shows the menu again.
    sim::Run run = h.Play("Enter", [&] {
        menu.Run(1, 1);
        return 0;
    });
    ASSERT_EQ(run.screens.size(), 1u);
    EXPECT_EQ(run.screens[0].Line(2), "1.Alpha ||");
}

TEST(Menu, EscReturnsEmptyAndRestoresTheScreen) {
    sim::Harness h(sim::Geometry(16, 8));
    Numbered m(3);
    std::string chosen = "x";
    sim::Run run = h.Play("Down Esc", [&] {
        pda.Print(1, 8, "under the menu", 1);
        chosen = m.menu.Run(1, 1);
        return 0;
    });
    EXPECT_EQ(chosen, "");
    EXPECT_EQ(GetLastMenuKey(), -1);
    EXPECT_EQ(m.menu.selected, -1);
    ExpectScreen(run.final, {{"", "", "", "", "", "", "", "under the menu"}, {}}, "after Esc");
}

TEST(Menu, OpensAboveItsRowNearTheBottom) {
    sim::Harness h(sim::Geometry(16, 8));
    Numbered m(3, "Pick");
    sim::Run run = h.Play("Enter", [&] {
        m.menu.Run(7, 3);  // four lines from row 7 would pass row 8
        return 0;
    });
    ASSERT_EQ(run.screens.size(), 1u);
    ExpectScreen(run.screens[0],
                 {{"  ------", " |+Pick+|", " |1.It00|", " |2.It01|", " |3.It02|", "  ------"},
                  {"", "", "  ######"}},
                 "above");
}

TEST(Menu, NoItemsOrInitialBeyondTheItemsShowNothing) {
    sim::Harness h(sim::Geometry(16, 8));
    htMenu empty(2, true);
    Numbered m(3);
    const char* a = "x";
    const char* b = "x";
    sim::Run run = h.Play("", [&] {
        a = empty.Run(1, 1);
        b = m.menu.Run(1, 1, 3, 0, 0, true);
        return 0;
    });
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(b, nullptr);
    EXPECT_TRUE(run.screens.empty());
}

TEST(Menu, LongItemIsShownCutAndReturnedWhole) {
    sim::Harness h(sim::Geometry(20, 8));
    std::string longText(60, 'x');
    longText += "END";
    htMenu menu(1, true);
    menu.AddItem(longText.c_str());
    menu.AddItem("short");
    EXPECT_EQ(menu.maxLen, 51) << "49 bytes shown plus the number";
    std::string chosen;
    h.Play("Enter", [&] {
        chosen = menu.Run(1, 1);
        return 0;
    });
    EXPECT_EQ(chosen, longText);
    EXPECT_STREQ(RetrunMenuItem, longText.c_str());
}

TEST(Menu, CopiedItemsDoNotFollowTheCaller) {
    sim::Harness h;  // the simulated terminal serves the memory
    char text[] = "Old";
    htMenu copies(1, true), pointers(1, false);
    copies.AddItem(text);
    pointers.AddItem(text);
    strcpy(text, "New");
    EXPECT_STREQ(copies.items[0], "Old");
    EXPECT_STREQ(pointers.items[0], "New");
    EXPECT_EQ(copies.SetMaxItemCount(1), 0) << "cannot shrink below the items";
    EXPECT_EQ(copies.SetMaxItemCount(10), 1);
    EXPECT_EQ(copies.capacity, 10);
    EXPECT_STREQ(copies.items[0], "Old");
}

TEST(Rect, DrawTextWrapsByBytesAndStopsWhenFull) {
    sim::Harness h(sim::Geometry(16, 8));
    struct Case {
        const char* name;
        int first, left, right, rows;
        const char* text;
        int restAt;    // offset of the first byte not drawn
        int row, col;  // where drawing stopped (a full area: the row below it)
        Expected screen;
    } cases[] = {
        {"five lines in three",
         1,
         1,
         16,
         3,
         "L1\nL2\nL3\nL4\nL5",
         9,
         5,
         3,
         {{"", "L1", "L2", "L3"}, {}}},
        {"ending in a line break", 1, 1, 16, 3, "AB\n", 3, 3, 1, {{"", "AB"}, {}}},
        {"wrap by bytes",
         3,
         1,
         8,
         3,
         "abcdefghijklmn",
         14,
         3,
         9,
         {{"", "  abcdef", "ghijklmn"}, {}}},
        // A two-byte character that would straddle the edge goes whole to the
        // next line.
        {"two-byte character kept whole",
         1,
         1,
         5,
         2,
         "abcd测量x",
         9,
         3,
         6,
         {{"", "abcd", "测量x"}, {}}},
        {"measure only", 1, 1, 4, 2, "abcdefghij", 8, 4, 5, {{}, {}}},
    };
    for (const Case& c : cases) {
        htRect rect(c.first, 2, c.left, c.right, c.rows);
        const char* rest = nullptr;
        sim::Run run = h.Play("", [&] {
            pda.ClrScr();
            rest = rect.DrawText(c.text, strcmp(c.name, "measure only") == 0 ? 3 : 1);
            return 0;
        });
        EXPECT_EQ(rest - c.text, c.restAt) << c.name;
        EXPECT_EQ(rect.rest, rest) << c.name;
        EXPECT_EQ(rect.row, c.row) << c.name;
        EXPECT_EQ(rect.col, c.col) << c.name;
        ExpectScreen(run.final, c.screen, c.name);
    }
    htRect rect(1, 1, 1, 16, 1);
    EXPECT_EQ(rect.DrawText(nullptr, 1), nullptr);
}

TEST(Menu, ClockLineAndDefaultPlacement) {
    sim::Harness h(sim::Geometry(16, 8));  // the harness's clock stands at 09:00
    htMenu menu("Main", 3, "Alpha1", "Bravo2", "Charl3");
    menu.showTime = 1;
    SetFastMenuPos(2, 4);
    sim::Run run = h.Play("Enter", [&] {
        menu.Run(0, 0, 0, 6, 10, true);
        return 0;
    });
    SetFastMenuPos(0, 0);
    ASSERT_EQ(run.screens.size(), 1u);
    // Rows 2 to 7 from column 4, the items centred in the wider frame, the
    // clock in inverse at the bottom right.
    ExpectScreen(run.screens[0],
                 {{"   ----------", "  |+--Main--+|", "  |+1.Alpha1+|", "  ||2.Bravo2||",
                   "  ||3.Charl3||", "  ||        ||", "  |+----09:00|", "   ----------"},
                  {"", "", "    ########", "", "", "", "        #####"}},
                 "clock");
}
