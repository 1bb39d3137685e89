// Test fixture: the simulated terminal OS on a fresh flash root with a
// frozen clock, and small helpers to look at the files it holds.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <string>

#include "simos.h"

class SimTerminal : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/qz_flash_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        simos::Config config;
        config.root = root_;
        config.clock_frozen = true;
        ASSERT_TRUE(simos::ParseClock("2026-03-03 09:05:07", &config.clock_start));
        std::string error;
        ASSERT_TRUE(simos::Start(config, &error)) << error;
    }
    void TearDown() override {
        std::string cmd = "rm -rf '" + root_ + "'";
        (void)system(cmd.c_str());
    }

    // Whole content of a terminal file, read from the host side.
    std::string Slurp(const std::string& name) const {
        std::ifstream in(root_ + "/" + name, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void Put(const std::string& name, const std::string& content) const {
        std::ofstream out(root_ + "/" + name, std::ios::binary | std::ios::trunc);
        out << content;
    }

    std::string root_;
};
