// Runs a screen function of the terminal on the simulated terminal with a key
// script, and returns what the screen showed at every key wait.
//
//   sim::Harness h(sim::Geometry(16, 8));
//   sim::Run run = h.Play("Down Down Enter", [] { return menu.ShowMenu(); });
//   EXPECT_EQ(run.screens[0].Line(1), "...");   // GBK text of row 1
//
// When the script runs out while the function still waits for keys, the
// harness answers with Esc (up to a limit) so that the screens unwind, and
// marks the run as exhausted; a function that still waits after that ends
// the test program with a message, never a hang.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "simos.h"

namespace sim {

struct Options {
    int cols = 20;
    int rows = 10;
    std::string clock = "2026-12-11 09:00:00";  // frozen during the run
    std::string root;                           // flash root; empty = a new temporary folder
};

// Options for a screen of `cols` x `rows` text cells, the rest as default.
inline Options Geometry(int cols, int rows) {
    Options o;
    o.cols = cols;
    o.rows = rows;
    return o;
}

struct Screen {
    simos::TextScreen text;
    // Row `row` (1-based) as GBK text, trailing blanks removed.
    std::string Line(int row) const;
    // Row `row` with '#' where cells are inverse, trailing blanks removed.
    std::string Inverse(int row) const;
    // The whole screen in UTF-8 for failure messages.
    std::string Render() const;
};

struct Run {
    std::vector<Screen> screens;  // one per key wait, before the key is taken
    Screen final;                 // the screen when the function returned
    bool exhausted = false;       // the script ran out while keys were awaited
    int result = 0;               // what the function returned
};

class Harness {
  public:
    explicit Harness(const Options& options = Options());
    ~Harness();

    const std::string& Root() const { return root_; }

    // Runs `fn` with `script`'s keys; see keyscript.h for the format.
    Run Play(const std::string& script, const std::function<int()>& fn);

  private:
    Options options_;
    std::string root_;
    bool own_root_ = false;
};

}  // namespace sim
