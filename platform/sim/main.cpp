// fieldbook: runs the terminal application on the simulated terminal.
//
// Interactive in a Linux terminal (ncurses), or headless from a key script.
#include <curses.h>
#include <langinfo.h>
#include <locale.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app.h"
#include "armiobase.h"
#include "keyscript.h"
#include "qzkeys.h"
#include "simos.h"

namespace {

const char kUsage[] =
    "usage: fieldbook [options]\n"
    "Runs the field book on a simulated terminal.\n"
    "\n"
    "  --root DIR        flash root folder (default: ./flash, created when missing)\n"
    "  --clock TIME      start the terminal's clock at \"YYYY-MM-DD HH:MM:SS\"\n"
    "                    (default: the host's local time); it then runs with the host clock\n"
    "  --keys FILE       run headless with the keys of a key script (- for stdin)\n"
    "  --screens         with a script: print the screen at every key wait\n"
    "  --png FILE        write the screen as a PNG picture when the run ends\n"
    "  --scale N         PNG pixels per screen pixel (default 3)\n"
    "  --geometry CxR    text columns x rows (default 20x10; at most 160x160 pixels)\n"
    "  --log             print the device log (beeps, lights) when the run ends\n"
    "  --help            this text\n"
    "\n"
    "Without --keys and with a terminal on stdin it runs interactively; without\n"
    "either it plays a built-in demonstration script and prints the screens.\n"
    "The field book keeps its files (lastprj.xml, Project.xml, level.set, the\n"
    "folders dataszd and szdbak) in the flash root.\n"
    "\n"
    "Keys (interactive): arrows up/down 18/19, left/right and Page Up/Down\n"
    "previous/next 16/17, Enter, Esc, Backspace 8, Delete 20, Tab 21 (back to\n"
    "the form), F2 function key 22, Space; digits, letters and signs type\n"
    "themselves. F10 or Ctrl-Q quits at once.\n"
    "\n"
    "Key scripts: blank-separated tokens; named keys Enter Esc Up Down Left Right\n"
    "PgUp PgDn Back Del Fn Tab Space (any case); a bare number types its keypad\n"
    "keys (123.5); \"quoted text\" types characters; raw:0x45 sends a raw code;\n"
    "# starts a comment.\n";

const char kDemoScript[] =
    "# built-in demonstration: past the title screen, the information menu,\n"
    "# back to the main menu, the version screen, and leave\n"
    "Enter 3 Esc 4 Enter 6\n";

struct Options {
    simos::Config config;
    std::string keys_file;
    bool screens = false;
    std::string png;
    int scale = 3;
    bool log = false;
};

Options opts;

[[noreturn]] void Fail(const std::string& message) {
    fprintf(stderr, "fieldbook: %s\n", message.c_str());
    exit(2);
}

void Finish() {
    if (!opts.png.empty()) {
        std::string error;
        if (!simos::WritePng(opts.png, opts.scale, &error)) Fail(error);
    }
    if (opts.log)
        for (const std::string& line : simos::Log()) printf("log: %s\n", line.c_str());
}

void PrintScreen(const char* caption) {
    printf("%s\n%s", caption, simos::RenderText(simos::Text()).c_str());
    fflush(stdout);
}

void ParseArgs(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) Fail("option " + a + " needs a value (see --help)");
            return argv[++i];
        };
        if (a == "--help" || a == "-h") {
            fputs(kUsage, stdout);
            exit(0);
        } else if (a == "--root") {
            opts.config.root = value();
        } else if (a == "--clock") {
            std::string v = value();
            if (!simos::ParseClock(v.c_str(), &opts.config.clock_start))
                Fail("bad clock '" + v + "': use \"YYYY-MM-DD HH:MM:SS\"");
        } else if (a == "--keys") {
            opts.keys_file = value();
        } else if (a == "--screens") {
            opts.screens = true;
        } else if (a == "--png") {
            opts.png = value();
        } else if (a == "--scale") {
            std::string v = value();
            opts.scale = atoi(v.c_str());
            if (opts.scale < 1 || opts.scale > 16) Fail("bad scale '" + v + "': use 1 to 16");
        } else if (a == "--geometry") {
            std::string v = value();
            int c, r;
            char tail;
            if (sscanf(v.c_str(), "%dx%d%c", &c, &r, &tail) != 2)
                Fail("bad geometry '" + v + "': use COLSxROWS, for example 16x8");
            opts.config.cols = c;
            opts.config.rows = r;
        } else if (a == "--log") {
            opts.log = true;
        } else {
            Fail("unknown option '" + a + "' (see --help)");
        }
    }
}

std::string ReadScript(const std::string& file) {
    std::stringstream text;
    if (file == "-") {
        text << std::cin.rdbuf();
        return text.str();
    }
    std::ifstream in(file);
    if (!in) Fail("cannot read the key script " + file);
    text << in.rdbuf();
    return text.str();
}

int RunScripted(const std::string& script) {
    std::vector<uint32_t> keys;
    std::string error;
    if (!keyscript::Parse(script, &keys, &error)) Fail("key script: " + error);
    simos::PushKeys(keys);
    static int wait = 0;
    simos::SetWaitHook([] {
        ++wait;
        if (opts.screens) PrintScreen(("-- key wait " + std::to_string(wait)).c_str());
    });
    simos::SetKeyProvider([]() -> uint32_t {
        if (!opts.screens) PrintScreen("-- waiting for a key; the script has no more");
        Finish();
        exit(0);
    });
    htmain();
    PrintScreen("-- the application ended");
    Finish();
    return 0;
}

// ---- interactive ----

void Draw() {
    simos::TextScreen t = simos::Text();
    erase();
    std::string border = "+" + std::string(t.cols, '-') + "+";
    mvaddstr(0, 0, border.c_str());
    for (int row = 0; row < t.rows; ++row) {
        move(row + 1, 0);
        addch('|');
        // Cell by cell, so that inverse cells show reversed.
        const std::string& gbk = t.text[row];
        for (int col = 0; col < t.cols;) {
            int len = ((unsigned char)gbk[col] >= 0x81 && col + 1 < t.cols) ? 2 : 1;
            bool inv = t.inverse[row][col] == '#';
            if (inv) attron(A_REVERSE);
            addstr(simos::GbkToUtf8(gbk.substr(col, len)).c_str());
            if (inv) attroff(A_REVERSE);
            col += len;
        }
        addch('|');
    }
    mvaddstr(t.rows + 1, 0, border.c_str());
    mvaddstr(t.rows + 3, 0, "Arrows PgUp/PgDn Enter Esc Bksp Del=20 Tab=21 F2=Fn  F10 quit");
    refresh();
}

uint32_t ReadInteractiveKey() {
    for (;;) {
        Draw();
        int ch = getch();
        switch (ch) {
            case KEY_UP:
                return KEY_RAW_UP;
            case KEY_DOWN:
                return KEY_RAW_DOWN;
            case KEY_LEFT:
                return KEY_RAW_LEFT;
            case KEY_RIGHT:
                return KEY_RAW_RIGHT;
            case KEY_PPAGE:
                return KEY_RAW_PGUP;
            case KEY_NPAGE:
                return KEY_RAW_PGDN;
            case KEY_ENTER:
            case '\n':
            case '\r':
                return KEY_RAW_ENTER;
            case 27:
                return KEY_RAW_CANCEL;
            case KEY_BACKSPACE:
            case 127:
            case 8:
                return KEY_RAW_BACK;
            case KEY_DC:
                return KEY_RAW_DEL;
            case '\t':
                return KEY_RAW_TAB;
            case KEY_F(2):
                return KEY_RAW_FUNC;
            case ' ':
                return KEY_RAW_SPACE;
            case KEY_F(10):
            case 17:  // Ctrl-Q
                endwin();
                Finish();
                exit(0);
            default:
                if (ch > 0x20 && ch < 0x7F) return KEY_RAW_CHAR | (uint32_t)ch;
                break;  // a key the terminal does not have
        }
    }
}

int RunInteractive() {
    setenv("ESCDELAY", "25", 1);
    // The screen is drawn in UTF-8 whatever the environment's locale says.
    setlocale(LC_ALL, "");
    if (!strstr(nl_langinfo(CODESET), "UTF-8")) setlocale(LC_CTYPE, "C.UTF-8");
    initscr();
    cbreak();
    noecho();
    keypad(stdscr, TRUE);
    curs_set(0);
    simos::SetKeyProvider(ReadInteractiveKey);
    htmain();
    endwin();
    Finish();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    ParseArgs(argc, argv);
    std::string error;
    if (!simos::Start(opts.config, &error)) Fail(error);
    pda.SetScreen((uint16)(opts.config.cols * 8), (uint16)(opts.config.rows * 16));
    if (!opts.keys_file.empty()) return RunScripted(ReadScript(opts.keys_file));
    if (!isatty(0) || !isatty(1)) {
        opts.screens = true;  // show the demonstration screen by screen
        return RunScripted(kDemoScript);
    }
    return RunInteractive();
}
