#include "face.h"

#include <cstdio>

#include "pc_debug.h"
#include "pc_ui.h"

namespace qz {

namespace {
constexpr uint32_t kStaticStyle = 0x50010000;    // child, visible, tab stop
constexpr uint32_t kRightStyle = 0x50010002;     // the same, right-aligned
constexpr uint32_t kProgressStyle = 0x50000000;  // child, visible
constexpr char kInitialVersion[] = "Ver:1.11_130911";
}  // namespace

std::string VersionText(const char* tag) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "Ver:%s%0.2f_%d", tag, 1.15, 150112);
    return buf;
}

std::string ShortenPath(const std::string& path) {
    if (path.size() <= 30) return path;
    return path.substr(0, 20) + "..." + path.substr(path.size() - 5);
}

int ProgressPercent(uint32_t done, uint32_t total) {
    if (done >= total) return 100;
    return static_cast<int>(static_cast<double>(done) / total * 100 + 1);
}

void ProgressFace::Build(int type, const char* tag) {
    type_ = type;
    controls_.clear();
    if (type != 0 && type != 1 && type != 3) return;
    pc::ScreenSize s = pc::GetScreenSize();
    x_ = (s.width - 420) / 2;
    y_ = (s.height - 160) / 2;
    width_ = 340;
    height_ = 160;
    if (type == 3) {
        controls_ = {
            {"static", "", 5, 10, 24, 25, kStaticStyle},
            {"static", "", 40, 40, 300, 25, kStaticStyle},
            {"static", kInitialVersion, 10, 105, 310, 25, kRightStyle},
        };
        title_ = "DELETE FILE";
        controls_[kDeleteVersion].text = VersionText(tag);
    } else {
        controls_ = {
            {"static", "PC:", 5, 10, 24, 25, kStaticStyle},
            {"static", "", 30, 10, 300, 25, kStaticStyle},
            {"static", "HC:", 5, 30, 24, 25, kStaticStyle},
            {"static", "", 30, 30, 300, 25, kStaticStyle},
            {"msctls_progress32", "", 5, 55, 320, 20, kProgressStyle},
            {"static", "Total:", 5, 82, 36, 25, kStaticStyle},
            {"static", "", 43, 82, 90, 25, kStaticStyle},
            {"static", "Prog:", 140, 82, 36, 25, kStaticStyle},
            {"static", "", 175, 82, 90, 25, kStaticStyle},
            {"static", "Perc:", 265, 82, 36, 25, kStaticStyle},
            {"static", "", 302, 82, 40, 25, kStaticStyle},
            {"static", kInitialVersion, 10, 105, 310, 25, kRightStyle},
        };
        title_ = type == 0 ? "DownLoad (PC->HC)" : "UpLoad (HC->PC)";
        controls_[kTransferVersion].text = VersionText(tag);
    }
    live_ = pc::StderrIsTerminal();
}

std::string ProgressFace::Text(int index) const {
    if (index < 0 || index >= static_cast<int>(controls_.size())) return {};
    return controls_[index].text;
}

void ProgressFace::SetText(int index, const std::string& text) {
    if (index >= 0 && index < static_cast<int>(controls_.size())) controls_[index].text = text;
}

void ProgressFace::ShowNames(const char* pc_path, const char* hc_path, bool shorten) {
    if (type_ != 0 && type_ != 1) return;  // the listing has no face
    SetText(kPcName, shorten ? ShortenPath(pc_path) : pc_path);
    SetText(kHcName, shorten ? ShortenPath(hc_path) : hc_path);
    Render();
}

void ProgressFace::ShowDeleteText(const char* path) {
    if (type_ != 3) return;
    SetText(kDeleteText, std::string("Delete :") + path);
    Render();
}

void ProgressFace::ShowTotal(uint32_t total) {
    if (type_ != 0 && type_ != 1) return;
    SetText(kTotalValue, std::to_string(total) + " B");
    Render();
}

void ProgressFace::ShowProgress(uint32_t done, int percent) {
    if (type_ != 0 && type_ != 1) return;
    SetText(kDoneValue, std::to_string(done) + " B");
    SetText(kPercentValue, std::to_string(percent) + "%");
    controls_[kProgressBar].position = percent;
    Render();
}

void ProgressFace::Render() {
    if (!live_) return;
    if (type_ == 3) {
        pc::StatusLine(pc::GbkToUtf8(Text(kDeleteText)));
        return;
    }
    int pos = controls_[kProgressBar].position;
    std::string bar(static_cast<size_t>(pos / 5), '#');
    bar.resize(20, '.');
    pc::StatusLine(pc::GbkToUtf8(Text(kPcName)) + " -> " + pc::GbkToUtf8(Text(kHcName)) + " [" +
                   bar + "] " + Text(kTotalValue) + " " + Text(kDoneValue) + " " +
                   Text(kPercentValue));
}

void ProgressFace::Finish() {
    if (live_ && built()) pc::StatusLine("");
    live_ = false;
}

}  // namespace qz
