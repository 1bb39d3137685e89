#include "pc_ui.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <mutex>

#include "pc_debug.h"

namespace pc {

namespace {
std::mutex g_mu;
std::function<Answer(const std::string&, const std::string&)> g_handler;
}  // namespace

ScreenSize GetScreenSize() { return {1024, 768}; }

void SetQuestionHandler(std::function<Answer(const std::string&, const std::string&)> handler) {
    std::lock_guard<std::mutex> g(g_mu);
    g_handler = std::move(handler);
}

Answer AskYesNo(const std::string& text_gbk, const std::string& caption_gbk) {
    {
        std::lock_guard<std::mutex> g(g_mu);
        if (g_handler) return g_handler(text_gbk, caption_gbk);
    }
    int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        DebugOutput("\nno terminal to ask, answering No: ");
        DebugOutput(text_gbk.c_str());
        return Answer::kNo;
    }
    std::string q = "\n" + GbkToUtf8(caption_gbk) + "\n" + GbkToUtf8(text_gbk) + " [y/N] ";
    ssize_t w = write(fd, q.data(), q.size());
    (void)w;
    char c = 0, first = 0;
    while (read(fd, &c, 1) == 1 && c != '\n')
        if (first == 0) first = c;
    close(fd);
    return (first == 'y' || first == 'Y') ? Answer::kYes : Answer::kNo;
}

bool StderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

void StatusLine(const std::string& utf8) {
    if (!StderrIsTerminal()) return;
    if (utf8.empty()) {
        std::fputs("\n", stderr);
    } else {
        // Carriage return, the text, then clear to the end of the line.
        std::fprintf(stderr, "\r%s\x1b[K", utf8.c_str());
    }
    std::fflush(stderr);
}

}  // namespace pc
