// The PC platform layer: message loop order and timers on a manual clock,
// GBK debugger output.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "pc_clock.h"
#include "pc_debug.h"
#include "pc_ui.h"
#include "pc_window.h"

namespace {

constexpr unsigned kMsgA = 0x0400;
constexpr unsigned kMsgB = 0x0401;

// Runs a dialog on another thread against a manual clock.
struct ClockedDialog {
    pc::ManualClock clock;
    std::vector<std::string> log;
    std::thread runner;
    intptr_t result = 0;
    pc::Hwnd hwnd = 0;

    explicit ClockedDialog(pc::WndProc proc) {
        pc::SetClock(&clock);
        runner = std::thread([this, proc] { result = pc::RunModal(proc); });
        EXPECT_TRUE(clock.WaitForSleeper(10000));
        pc::SetClock(nullptr);
    }
    // Advances and waits until the dialog sleeps again (or has ended).
    void Step(int64_t ms, bool ends = false) {
        uint64_t sleeps = clock.Sleeps();
        clock.Advance(ms);
        if (!ends) {
            EXPECT_TRUE(clock.WaitForSleepsAbove(sleeps, 10000));
        }
    }
    ~ClockedDialog() { runner.join(); }
};

TEST(Window, TimersRepeatUntilKilledAndFollowTheClock) {
    std::vector<int> fired;
    ClockedDialog d([&](pc::Hwnd h, unsigned msg, uintptr_t w, intptr_t) {
        if (msg == pc::kMsgInitDialog) {
            pc::SetTimer(h, 1, 500);
            pc::SetTimer(h, 2, 5000);
        }
        if (msg == pc::kMsgTimer) {
            fired.push_back(static_cast<int>(w));
            if (w == 1 && fired.size() == 2) pc::KillTimer(h, 1);
            if (w == 2) pc::EndDialog(h, 42);
        }
    });
    d.Step(499);
    EXPECT_TRUE(fired.empty());
    d.Step(1);
    EXPECT_EQ(std::vector<int>{1}, fired);
    d.Step(500);
    d.Step(3000);
    EXPECT_EQ((std::vector<int>{1, 1}), fired);  // killed after its second shot
    d.Step(1000, true);
    d.runner.join();
    d.runner = std::thread([] {});
    EXPECT_EQ((std::vector<int>{1, 1, 2}), fired);
    EXPECT_EQ(42, d.result);
}

TEST(Window, MessagesPostedFromAnotherThreadArriveInOrder) {
    std::vector<std::string> order;
    std::thread poster;
    pc::Hwnd dialog = 0;
    intptr_t result = pc::RunModal([&](pc::Hwnd h, unsigned msg, uintptr_t w, intptr_t l) {
        if (msg == pc::kMsgInitDialog) {
            dialog = h;
            poster = std::thread([h] {
                for (int i = 0; i < 50; ++i) pc::PostMessage(h, kMsgA, i, -i);
                pc::PostMessage(h, kMsgB, 0, 0);
            });
        }
        if (msg == kMsgA) order.push_back(std::to_string(w) + "/" + std::to_string(l));
        if (msg == kMsgB) {
            pc::SendMessage(h, kMsgA, 99, 99);  // handled at once, inside this message
            pc::EndDialog(h, 7);
            order.push_back("end");
        }
        if (msg == pc::kMsgDestroy) order.push_back("destroy");
    });
    poster.join();
    EXPECT_EQ(7, result);
    ASSERT_EQ(53u, order.size());
    for (int i = 0; i < 50; ++i) EXPECT_EQ(std::to_string(i) + "/" + std::to_string(-i), order[i]);
    EXPECT_EQ("99/99", order[50]);
    EXPECT_EQ("end", order[51]);
    EXPECT_EQ("destroy", order[52]);
    EXPECT_FALSE(pc::PostMessage(dialog, kMsgA, 0, 0));  // the window is gone
}

TEST(Window, PostsBeforeTimerAreDeliveredFirst) {
    std::vector<std::string> order;
    ClockedDialog d([&](pc::Hwnd h, unsigned msg, uintptr_t, intptr_t) {
        if (msg == pc::kMsgInitDialog) {
            pc::SetTimer(h, 7, 100);
            pc::PostMessage(h, kMsgA, 0, 0);
            pc::PostMessage(h, kMsgB, 0, 0);
        }
        if (msg == kMsgA) order.push_back("A");
        if (msg == kMsgB) order.push_back("B");
        if (msg == pc::kMsgTimer) {
            order.push_back("T");
            pc::EndDialog(h, 1);
        }
    });
    d.Step(100, true);
    d.runner.join();
    d.runner = std::thread([] {});
    EXPECT_EQ((std::vector<std::string>{"A", "B", "T"}), order);
}

TEST(Debug, TextsAreGbkAndReadAsUtf8) {
    std::string seen;
    pc::SetDebugSink([&](const std::string& t) { seen += t; });
    pc::DebugOutput("\n\xB7\xA2\xCB\xCD\xCD\xEA\xB3\xC9");
    pc::SetDebugSink(nullptr);
    EXPECT_EQ("\n\xB7\xA2\xCB\xCD\xCD\xEA\xB3\xC9", seen);
    EXPECT_EQ("\n发送完成", pc::GbkToUtf8(seen));
    EXPECT_EQ("ab?", pc::GbkToUtf8("ab\xFF"));  // a cut-off sequence
}

}  // namespace

namespace {

TEST(Question, WithoutControllingTerminalTheAnswerIsNoAndSaidSo) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setsid();  // a new session has no controlling terminal
        std::string seen;
        pc::SetDebugSink([&](const std::string& t) { seen += t; });
        pc::Answer a = pc::AskYesNo("\xCA\xC7\xB7\xF1?", "/FLASH/A.TXT");
        bool said = seen.find("no terminal to ask, answering No") != std::string::npos;
        _exit(a == pc::Answer::kNo && said ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(0, WEXITSTATUS(status));
}

}  // namespace
