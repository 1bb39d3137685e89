// The progress face of the operation dialogs: the window's geometry and
// title and its child controls with their texts, positions and sizes, kept
// as a model that can be read back. On this platform the face is also shown
// as a live progress line on standard error when that is a terminal.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qz {

struct Control {
    std::string cls;   // "static" or "msctls_progress32"
    std::string text;  // GBK/ASCII text; empty for the progress bar
    int x, y, width, height;
    uint32_t style;
    int position = 0;  // progress bar position, 0-100
};

class ProgressFace {
  public:
    // Controls of the transfer face, in creation order.
    enum TransferControl {
        kPcLabel,
        kPcName,
        kHcLabel,
        kHcName,
        kProgressBar,
        kTotalLabel,
        kTotalValue,
        kDoneLabel,
        kDoneValue,
        kPercentLabel,
        kPercentValue,
        kTransferVersion
    };
    // Controls of the delete face.
    enum DeleteControl { kDeleteLabel, kDeleteText, kDeleteVersion };

    // Builds the face for operation `type` (0 send, 1 fetch, 3 delete; other
    // types have no face) with the dialog tag ("HC" or "HU").
    void Build(int type, const char* tag);
    bool built() const { return !controls_.empty(); }

    // Paths longer than 30 characters are shown as their first 20
    // characters, "..." and their last 5 when `shorten` is set.
    void ShowNames(const char* pc_path, const char* hc_path, bool shorten);
    void ShowDeleteText(const char* path);
    void ShowTotal(uint32_t total);
    void ShowProgress(uint32_t done, int percent);
    // Ends the live line on standard error.
    void Finish();

    const std::string& title() const { return title_; }
    int x() const { return x_; }
    int y() const { return y_; }
    int width() const { return width_; }
    int height() const { return height_; }
    const std::vector<Control>& controls() const { return controls_; }
    // Text of control `index`; "" when there is no such control.
    std::string Text(int index) const;

  private:
    void SetText(int index, const std::string& text);
    void Render();

    int type_ = -1;
    std::string title_;
    int x_ = 0, y_ = 0, width_ = 0, height_ = 0;
    std::vector<Control> controls_;
    bool live_ = false;
};

// "Ver:" + tag + "1.15" + "_150112".
std::string VersionText(const char* tag);
// The packet dialog's shortening of a path for display.
std::string ShortenPath(const std::string& path);
// done / total * 100 + 1 truncated while done < total; 100 afterwards.
int ProgressPercent(uint32_t done, uint32_t total);

}  // namespace qz
