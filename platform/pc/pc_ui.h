// The bits of the user's desktop the library touches: the screen size that
// centres a dialog, a yes/no question, and a live status line.
#pragma once

#include <functional>
#include <string>

namespace pc {

struct ScreenSize {
    int width;
    int height;
};
// On this platform there is no desktop; a fixed 1024 x 768 is reported.
ScreenSize GetScreenSize();

enum class Answer { kYes, kNo };

// Asks a yes/no question (texts in GBK). On this platform the question goes
// to the controlling terminal (/dev/tty) and a line starting with 'y' or 'Y'
// is Yes. Without a controlling terminal the answer is No, and the debugger
// output says so. A test can answer instead through SetQuestionHandler.
Answer AskYesNo(const std::string& text_gbk, const std::string& caption_gbk);
void SetQuestionHandler(
    std::function<Answer(const std::string& text_gbk, const std::string& caption_gbk)> handler);

// True when standard error is a terminal.
bool StderrIsTerminal();
// Rewrites the status line on standard error (UTF-8 text) when it is a
// terminal; does nothing otherwise. An empty text ends the line.
void StatusLine(const std::string& utf8);

}  // namespace pc
