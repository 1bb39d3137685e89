// The hcsim program: the same --root and --clock options as the field-book
// simulator, served to the library over the simulated bus.
#include <signal.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstring>

#include "link_fixture.h"
#include "packet.h"

namespace {

class HcsimProcess : public qztest::LinkTest {
  protected:
    void TearDown() override {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status = 0;
            waitpid(pid_, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        LinkTest::TearDown();
    }
    // Starts hcsim and waits until it has said where it is.
    void Launch(std::vector<std::string> args) {
        int out[2];
        ASSERT_EQ(0, pipe(out));
        pid_ = fork();
        ASSERT_GE(pid_, 0);
        if (pid_ == 0) {
            dup2(out[1], 1);
            std::vector<char*> argv{const_cast<char*>(HCSIM_PATH)};
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(HCSIM_PATH, argv.data());
            _exit(127);
        }
        close(out[1]);
        FILE* f = fdopen(out[0], "r");
        char line[512] = {};
        ASSERT_NE(nullptr, fgets(line, sizeof line, f)) << "hcsim said nothing";
        EXPECT_EQ(0, std::strncmp(line, "hcsim: usb \\\\?\\usb#vid_0471&pid_4a49#", 36)) << line;
        fclose(f);
    }
    pid_t pid_ = -1;
};

TEST_F(HcsimProcess, ServesTheFlashRootWithTheGivenClock) {
    ASSERT_EQ(0, system(("mkdir -p " + flash_ + "/SEC").c_str()));
    qztest::WriteFile(flash_ + "/SEC/LINE1.TXT", "recorded by the field book");
    Launch({"--root", flash_, "--clock", "2013-09-11 08:05:09", "--instance", "proc"});
    char clock[20] = {};
    EXPECT_EQ(0, Stepped([&] { return qz::PacketGetTime(clock); }));
    EXPECT_EQ(0, std::strncmp(clock, "2013-09-11 08:0", 15)) << clock;  // it then runs on
    EXPECT_EQ(0, Stepped([&] {
                  return qz::PacketFetchFiles({{pc_ + "/L.TXT", "/FLASH/SEC/LINE1.TXT"}}, 0);
              }));
    EXPECT_EQ("recorded by the field book", qztest::ReadFile(pc_ + "/L.TXT"));
}

}  // namespace
