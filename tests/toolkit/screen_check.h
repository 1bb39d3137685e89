// Whole-screen checks for the widget tests: a screen is compared row by row
// with the expected texts (GBK) and inverse marks; a mismatch prints the
// screen as the terminal shows it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"

struct Expected {
    std::vector<std::string> text;     // rows from 1; missing rows are blank
    std::vector<std::string> inverse;  // '#' marks per row; missing rows have none
};

inline void ExpectScreen(const sim::Screen& screen, const Expected& want, const std::string& what) {
    std::string diff;
    for (int row = 1; row <= screen.text.rows; ++row) {
        size_t i = (size_t)row - 1;
        std::string text = i < want.text.size() ? want.text[i] : std::string();
        std::string inv = i < want.inverse.size() ? want.inverse[i] : std::string();
        if (screen.Line(row) != text)
            diff += "row " + std::to_string(row) + " text [" + screen.Line(row) + "]\n";
        if (screen.Inverse(row) != inv)
            diff += "row " + std::to_string(row) + " inverse [" + screen.Inverse(row) + "]\n";
    }
    EXPECT_TRUE(diff.empty()) << what << ": the screen shows\n" << screen.Render() << diff;
}
