#include "harness.h"

#include <stdio.h>
#include <stdlib.h>

#include <filesystem>

#include "armiobase.h"
#include "keyscript.h"
#include "qzkeys.h"

namespace sim {

namespace {
const int kUnwindEscapes = 64;

std::string TrimRight(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}
}  // namespace

std::string Screen::Line(int row) const {
    if (row < 1 || row > text.rows) return std::string();
    return TrimRight(text.text[row - 1]);
}

std::string Screen::Inverse(int row) const {
    if (row < 1 || row > text.rows) return std::string();
    return TrimRight(text.inverse[row - 1]);
}

std::string Screen::Render() const { return simos::RenderText(text); }

Harness::Harness(const Options& options) : options_(options) {
    if (options.root.empty()) {
        std::string tmpl = (std::filesystem::temp_directory_path() / "qzsim-XXXXXX").string();
        if (!mkdtemp(&tmpl[0])) {
            perror("harness: mkdtemp");
            abort();
        }
        root_ = tmpl;
        own_root_ = true;
    } else {
        root_ = options.root;
    }
    simos::Config config;
    config.root = root_;
    config.cols = options.cols;
    config.rows = options.rows;
    config.clock_frozen = true;
    std::string error;
    if (!simos::ParseClock(options.clock.c_str(), &config.clock_start)) {
        fprintf(stderr, "harness: bad clock '%s'\n", options.clock.c_str());
        abort();
    }
    if (!simos::Start(config, &error)) {
        fprintf(stderr, "harness: %s\n", error.c_str());
        abort();
    }
    pda.SetScreen((uint16)(options.cols * 8), (uint16)(options.rows * 16));
}

Harness::~Harness() {
    simos::SetWaitHook(nullptr);
    simos::SetKeyProvider(nullptr);
    if (own_root_) {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
}

Run Harness::Play(const std::string& script, const std::function<int()>& fn) {
    std::vector<uint32_t> keys;
    std::string error;
    if (!keyscript::Parse(script, &keys, &error)) {
        fprintf(stderr, "harness: key script: %s\n", error.c_str());
        abort();
    }
    Run run;
    simos::ClearKeys();
    simos::PushKeys(keys);
    simos::SetWaitHook([&run] { run.screens.push_back(Screen{simos::Text()}); });
    int escapes = 0;
    simos::SetKeyProvider([&run, &escapes]() -> uint32_t {
        run.exhausted = true;
        if (++escapes > kUnwindEscapes) {
            fprintf(stderr, "harness: the key script ran out and Esc does not end the screen:\n%s",
                    run.screens.back().Render().c_str());
            abort();
        }
        return KEY_RAW_CANCEL;
    });
    run.result = fn();
    run.final = Screen{simos::Text()};
    // Screens taken while unwinding after the script ran out are not the
    // script's: keep the first of them, the screen the script ended on.
    if (run.exhausted) {
        size_t waits_by_script = keys.size() + 1;
        if (run.screens.size() > waits_by_script) run.screens.resize(waits_by_script);
    }
    simos::SetWaitHook(nullptr);
    simos::SetKeyProvider(nullptr);
    return run;
}

}  // namespace sim
