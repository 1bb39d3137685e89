// Shared set-up for tests of the link library against the simulated
// terminal: a private bus and flash root, a simulated terminal on demand, a
// manual clock stepped only while nothing is in flight, and a record of the
// debugger output.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "hcsim.h"
#include "pc_clock.h"
#include "pc_debug.h"
#include "transport.h"

namespace qztest {

// One bus folder per test process, set before anything enumerates.
inline const std::string& ProcessDir() {
    static const std::string dir = [] {
        char tmpl[] = "/tmp/qzt.XXXXXX";
        std::string d = mkdtemp(tmpl);
        setenv("QZ_USB_BUS", (d + "/bus").c_str(), 1);
        return d;
    }();
    return dir;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

inline void WriteFile(const std::string& path, const std::string& data) {
    std::ofstream(path, std::ios::binary) << data;
}

inline std::string Pattern(size_t n, unsigned seed = 7) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) {
        seed = seed * 1103515245u + 12345u;
        s[i] = static_cast<char>(seed >> 16);
    }
    return s;
}

class LinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        static int counter = 0;
        dir_ = ProcessDir() + "/t" + std::to_string(++counter);
        flash_ = dir_ + "/flash";
        pc_ = dir_ + "/pc";
        ASSERT_EQ(0, system(("mkdir -p " + pc_).c_str()));
        pc::SetDebugSink([this](const std::string& t) {
            std::lock_guard<std::mutex> g(debug_mu_);
            debug_ += t;
        });
    }
    void TearDown() override {
        pc::SetDebugSink(nullptr);
        if (sim_) sim_->Stop();
        sim_.reset();
    }

    // Starts a simulated terminal whose host clock stands at `now`.
    hcsim::PacketFirmware* StartTerminal(const std::string& product = "4A49") {
        hcsim::Options o;
        o.root = flash_;
        o.product = product;
        o.now = [] { return static_cast<time_t>(1420000000); };
        sim_ = std::make_unique<hcsim::HcSim>(o);
        std::string error;
        EXPECT_TRUE(sim_->Start(&error)) << error;
        return sim_->firmware();
    }

    std::string Debug() {
        std::lock_guard<std::mutex> g(debug_mu_);
        return debug_;
    }

    // Runs `op` as the caller's thread of an operation while this thread
    // steps a manual clock by 100 ms whenever the dialog waits and no read
    // is in flight (or, for a terminal known to be silent, whenever the
    // dialog waits). Returns op's result; `elapsed_ms` gets the time stepped.
    template <typename Op>
    int Stepped(Op op, int64_t* elapsed_ms = nullptr, bool terminal_silent = false) {
        pc::ManualClock clock;
        pc::SetClock(&clock);
        std::atomic<bool> done{false};
        int result = 0;
        std::thread caller([&] {
            result = op();
            done = true;
        });
        int64_t stepped = 0;
        while (!done && stepped < 120000) {
            if (clock.WaitForSleeper(5) && (terminal_silent || !qz::UsbLinkBusy())) {
                // Step, then let the dialog handle it and sleep again.
                uint64_t sleeps = clock.Sleeps();
                clock.Advance(100);
                stepped += 100;
                while (!done && !clock.WaitForSleepsAbove(sleeps, 2)) {
                }
            } else {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        }
        caller.join();
        pc::SetClock(nullptr);
        if (elapsed_ms) *elapsed_ms = stepped;
        EXPECT_LT(stepped, 120000) << "the operation never ended";
        return result;
    }

    std::string dir_, flash_, pc_;
    std::unique_ptr<hcsim::HcSim> sim_;
    std::mutex debug_mu_;
    std::string debug_;
};

// The packets a terminal saw, as "CN0 CPD DPN(0)" text.
inline std::string Trace(const std::vector<hcsim::Seen>& seen) {
    std::string s;
    for (const hcsim::Seen& p : seen) {
        if (!s.empty()) s += ' ';
        s += p.kind;
        s += p.command;
        s += p.sub;
        if (p.kind == 'D') s += "(" + std::to_string(p.length) + ")";
    }
    return s;
}

}  // namespace qztest
