// A fixture that starts the simulated terminal on a fresh flash root with a
// frozen clock.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "simos.h"

class SimRoot : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/qzlib_test_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        Restart();
    }
    void TearDown() override {
        std::string cmd = "rm -rf '" + root_ + "'";
        (void)system(cmd.c_str());
    }
    // Starts the OS again on the same root, as after a power cycle.
    void Restart() {
        simos::Config config;
        config.root = root_;
        ASSERT_TRUE(simos::ParseClock("2026-05-04 08:30:00", &config.clock_start));
        config.clock_frozen = true;
        std::string error;
        ASSERT_TRUE(simos::Start(config, &error)) << error;
    }
    std::string root_;
};
