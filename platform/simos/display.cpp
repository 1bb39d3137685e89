// The display of the simulated terminal: a monochrome framebuffer drawn with
// GNU Unifont (GBK texts converted with iconv), and a shadow of the text
// cells that records what was printed where, in ink or inverse.
#include <iconv.h>
#include <png.h>
#include <stdio.h>
#include <string.h>

#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "internal.h"
#include "qzlib.h"

namespace simos {
namespace {

const int kBuffWidth = 160;  // layout of the save buffer: always 160 x 160
const int kBuffCells = 20 * 10;

struct Cell {
    unsigned char ch = ' ';
    bool inverse = false;
    bool text = false;
};

struct Display {
    int width = 160, height = 160, cols = 20, rows = 10;
    std::vector<unsigned char> px;  // 1 = ink
    std::vector<Cell> cells;
    int font_size = 16;
    int cur_x = 0, cur_y = 0;
    bool cursor_shown = false;
    uint32 input_mode = 0;
    std::vector<unsigned char> os_saved;  // _SaveScreen's own buffer
    std::string font_path;
    std::map<uint32_t, std::string> glyphs;  // code point -> hex bitmap
};

Display& D() {
    static Display d;
    return d;
}

bool LoadFont(const std::string& path, std::string* error) {
    Display& d = D();
    if (d.font_path == path && !d.glyphs.empty()) return true;
    std::ifstream in(path);
    if (!in) {
        *error = "cannot read the font " + path + " (install Debian's unifont package)";
        return false;
    }
    d.glyphs.clear();
    std::string line;
    while (std::getline(in, line)) {
        size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        uint32_t cp = (uint32_t)strtoul(line.substr(0, colon).c_str(), nullptr, 16);
        if (cp > 0xFFFF) continue;
        d.glyphs[cp] = line.substr(colon + 1);
    }
    if (d.glyphs.empty()) {
        *error = "the font " + path + " holds no glyphs";
        return false;
    }
    d.font_path = path;
    return true;
}

// Code point of one GBK character (one or two bytes); '?' when it has none.
uint32_t GbkToUnicode(const unsigned char* s, int len) {
    static iconv_t cd = iconv_open("UTF-32LE", "GBK");
    if (len == 1) return s[0] < 0x80 ? s[0] : '?';
    if (cd == (iconv_t)-1) return '?';
    char in[2] = {(char)s[0], (char)s[1]};
    unsigned char out[8];
    char* ip = in;
    char* op = (char*)out;
    size_t il = 2, ol = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &ip, &il, &op, &ol) == (size_t)-1 || ol != 4) return '?';
    return out[0] | (out[1] << 8) | (out[2] << 16) | ((uint32_t)out[3] << 24);
}

void Put(int x, int y, bool ink) {
    Display& d = D();
    if (x < 0 || y < 0 || x >= d.width || y >= d.height) return;
    d.px[y * d.width + x] = ink ? 1 : 0;
}

bool Get(int x, int y) {
    Display& d = D();
    if (x < 0 || y < 0 || x >= d.width || y >= d.height) return false;
    return d.px[y * d.width + x] != 0;
}

Cell* CellAt(int col, int row) {
    Display& d = D();
    if (col < 0 || row < 0 || col >= d.cols || row >= d.rows) return nullptr;
    return &d.cells[row * d.cols + col];
}

// Draws one glyph cell of `cells` character columns (1 or 2) at (x, y);
// returns the width drawn in pixels.
int DrawGlyph(int x, int y, uint32_t cp, int cells, int size, bool inverse) {
    Display& d = D();
    auto it = d.glyphs.find(cp);
    if (it == d.glyphs.end()) it = d.glyphs.find('?');
    std::string hex = it == d.glyphs.end() ? std::string() : it->second;
    int gw = hex.size() >= 64 ? 16 : 8;  // glyph width in the font
    int cw = (cells * 8) * size / 16;    // width drawn
    for (int row = 0; row < size; ++row) {
        int srow = row * 16 / size;
        for (int col = 0; col < cw; ++col) {
            int scol = col * (cells * 8) / cw;
            bool on = false;
            if (scol < gw && !hex.empty()) {
                int digit = srow * (gw / 4) + scol / 4;
                if ((size_t)digit < hex.size()) {
                    int v = (int)strtol(std::string(1, hex[digit]).c_str(), nullptr, 16);
                    on = (v >> (3 - scol % 4)) & 1;
                }
            }
            Put(x + col, y + row, inverse ? !on : on);
        }
    }
    return cw;
}

// Prints GBK text at pixel (x, y); colour 0 prints inverse.
void PrintText(int x, int y, const char* text, int color, int size) {
    if (!text) return;
    bool inverse = color == 0;
    const unsigned char* s = (const unsigned char*)text;
    int col = (x + 4) / 8;
    int row = (y + 8) / 16;
    int px = x;
    while (*s) {
        int len = (s[0] >= 0x81 && s[0] <= 0xFE && s[1] >= 0x40) ? 2 : 1;
        uint32_t cp = GbkToUnicode(s, len);
        px += DrawGlyph(px, y, cp, len, size, inverse);
        for (int k = 0; k < len; ++k) {
            if (Cell* c = CellAt(col + k, row)) {
                c->ch = s[k];
                c->inverse = inverse;
                c->text = true;
            }
        }
        col += len;
        s += len;
    }
}

// Cells lying wholly inside the pixel rectangle.
template <class F>
void ForCellsIn(int x0, int y0, int x1, int y1, F f) {
    Display& d = D();
    for (int row = 0; row < d.rows; ++row)
        for (int col = 0; col < d.cols; ++col)
            if (col * 8 >= x0 && col * 8 + 7 <= x1 && row * 16 >= y0 && row * 16 + 15 <= y1)
                f(d.cells[row * d.cols + col]);
}

void Order(int& a, int& b) {
    if (a > b) std::swap(a, b);
}

void Line(int x0, int y0, int x1, int y1, bool ink) {
    int dx = abs(x1 - x0), dy = -abs(y1 - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (int guard = 0; guard < 4096; ++guard) {
        Put(x0, y0, ink);
        if (x0 == x1 && y0 == y1) break;
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void FillRect(int x0, int y0, int x1, int y1, bool ink) {
    Order(x0, x1);
    Order(y0, y1);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) Put(x, y, ink);
    ForCellsIn(x0, y0, x1, y1, [ink](Cell& c) {
        if (ink) {
            c.inverse = true;
        } else {
            c = Cell();
        }
    });
}

// ---- routines ----
void ClearScreenR() {
    Display& d = D();
    std::fill(d.px.begin(), d.px.end(), 0);
    std::fill(d.cells.begin(), d.cells.end(), Cell());
}
void PrintfxyR(_GuiStrStru* s) { PrintText(s->x, s->y, s->str, s->color, D().font_size); }
void Printfxy12R(_GuiStrStru* s) { PrintText(s->x, s->y, s->str, s->color, 12); }
void XorR(_GuiStrStru* s) {
    int x0 = s->x, y0 = s->y, x1 = s->x1, y1 = s->y1;
    Order(x0, x1);
    Order(y0, y1);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) Put(x, y, !Get(x, y));
    ForCellsIn(x0, y0, x1, y1, [](Cell& c) { c.inverse = !c.inverse; });
}
void LineR(_GuiStrStru* s) { Line(s->x, s->y, s->x1, s->y1, s->color != 0); }
void RectangleR(_GuiStrStru* s) {
    bool ink = s->color != 0;
    Line(s->x, s->y, s->x1, s->y, ink);
    Line(s->x1, s->y, s->x1, s->y1, ink);
    Line(s->x1, s->y1, s->x, s->y1, ink);
    Line(s->x, s->y1, s->x, s->y, ink);
}
void RectangleFillR(_GuiStrStru* s) { FillRect(s->x, s->y, s->x1, s->y1, s->color != 0); }
void PointR(_GuiStrStru* s) { Put(s->x, s->y, s->color != 0); }

uint8 MessageBoxR(_GuiStrStru* s) {
    detail::LogEvent(std::string("system message box: ") + (s->str ? s->str : ""));
    return 1;
}

void SaveTo(uint8* buff) {
    Display& d = D();
    memset(buff, 0, SCREEN_BUFF_SIZE);
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x)
            if (d.px[y * d.width + x]) buff[(y * kBuffWidth + x) / 8] |= 0x80 >> (x % 8);
    uint8* cells = buff + kBuffWidth * 160 / 8;
    for (int i = 0; i < d.cols * d.rows && i < kBuffCells; ++i) {
        cells[2 * i] = d.cells[i].ch;
        cells[2 * i + 1] = (d.cells[i].text ? 1 : 0) | (d.cells[i].inverse ? 2 : 0);
    }
}

void RestoreFrom(const uint8* buff) {
    Display& d = D();
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x)
            d.px[y * d.width + x] = (buff[(y * kBuffWidth + x) / 8] >> (7 - x % 8)) & 1;
    const uint8* cells = buff + kBuffWidth * 160 / 8;
    for (int i = 0; i < d.cols * d.rows && i < kBuffCells; ++i) {
        d.cells[i].ch = cells[2 * i];
        d.cells[i].text = cells[2 * i + 1] & 1;
        d.cells[i].inverse = (cells[2 * i + 1] & 2) != 0;
    }
}

void SaveScreenToBuffR(uint8* buff) {
    if (buff) SaveTo(buff);
}
void RestoreBuffToScreenR(uint8* buff) {
    if (buff) RestoreFrom(buff);
}
void SaveScreenR() {
    D().os_saved.assign(SCREEN_BUFF_SIZE, 0);
    SaveTo(D().os_saved.data());
}
void RestoreScreenR() {
    if (D().os_saved.size() == SCREEN_BUFF_SIZE) RestoreFrom(D().os_saved.data());
}
void SetInputModeR(uint32 mode) { D().input_mode = mode; }
void DisInputModeR(uint32) {}
void ToxyR(uint8 x, uint8 y) {
    D().cur_x = x;
    D().cur_y = y;
}
void HideCurR() { D().cursor_shown = false; }
void ShowCurR() { D().cursor_shown = true; }
void GetCursorR(uint8* x, uint8* y) {
    if (x) *x = (uint8)D().cur_x;
    if (y) *y = (uint8)D().cur_y;
}
void SetFrontSizeR(uint8 size) { D().font_size = (size == 12) ? 12 : 16; }
uint8 GetFronSizeR() { return (uint8)D().font_size; }

}  // namespace

namespace detail {

bool ResetDisplay(const Config& config, std::string* error) {
    if (!LoadFont(config.font, error)) return false;
    Display& d = D();
    d.cols = config.cols;
    d.rows = config.rows;
    d.width = config.cols * 8;
    d.height = config.rows * 16;
    d.px.assign(d.width * d.height, 0);
    d.cells.assign(d.cols * d.rows, Cell());
    d.font_size = 16;
    d.cur_x = d.cur_y = 0;
    d.cursor_shown = false;
    d.os_saved.clear();
    return true;
}

void RegisterDisplay() {
    // The routines behind the special wrappers take a request record.
    Register(7, 0, (void*)&ClearScreenR);
    Register(7, 1, (void*)&PrintfxyR);
    Register(7, 2, (void*)&XorR);
    Register(7, 3, (void*)&LineR);
    Register(7, 4, (void*)&LineR);
    Register(7, 5, (void*)&LineR);
    Register(7, 6, (void*)&RectangleR);
    Register(7, 7, (void*)&RectangleFillR);
    Register(7, 8, (void*)&PointR);
    Register(7, 17, (void*)&Printfxy12R);
    Register(7, 20, (void*)&SaveScreenToBuffR);
    Register(7, 21, (void*)&RestoreBuffToScreenR);
    Register(7, 28, (void*)&SetFrontSizeR);
    Impl<decltype(&_MessageBox)>(7, 9, &MessageBoxR);
    Impl<decltype(&_SaveScreen)>(7, 15, &SaveScreenR);
    Impl<decltype(&_RestoreScreen)>(7, 16, &RestoreScreenR);
    Impl<decltype(&_SetInputMode)>(7, 22, &SetInputModeR);
    Impl<decltype(&_DisInputMode)>(7, 23, &DisInputModeR);
    Impl<decltype(&_toxy)>(7, 24, &ToxyR);
    Impl<decltype(&_HideCur)>(7, 25, &HideCurR);
    Impl<decltype(&_ShowCur)>(7, 26, &ShowCurR);
    Impl<decltype(&_GetCursor)>(7, 27, &GetCursorR);
    Impl<decltype(&_GetFronSize)>(7, 32, &GetFronSizeR);
}

}  // namespace detail

int Width() { return D().width; }
int Height() { return D().height; }
bool Pixel(int x, int y) { return Get(x, y); }

TextScreen Text() {
    Display& d = D();
    TextScreen t;
    t.cols = d.cols;
    t.rows = d.rows;
    for (int row = 0; row < d.rows; ++row) {
        std::string text(d.cols, ' '), inv(d.cols, ' ');
        for (int col = 0; col < d.cols; ++col) {
            const Cell& c = d.cells[row * d.cols + col];
            if (c.inverse) inv[col] = '#';
            if (c.text) {
                text[col] = (char)c.ch;
                continue;
            }
            if (c.inverse) continue;
            // No text: show lines drawn through the cell.
            bool h = false, v = false;
            for (int y = 0; y < 16 && !h; ++y) {
                int run = 0;
                for (int x = 0; x < 8; ++x) run = Get(col * 8 + x, row * 16 + y) ? run + 1 : 0;
                h = run >= 6;
            }
            for (int x = 0; x < 8 && !v; ++x) {
                int run = 0, best = 0;
                for (int y = 0; y < 16; ++y) {
                    run = Get(col * 8 + x, row * 16 + y) ? run + 1 : 0;
                    best = std::max(best, run);
                }
                v = best >= 12;
            }
            text[col] = h && v ? '+' : h ? '-' : v ? '|' : ' ';
        }
        t.text.push_back(text);
        t.inverse.push_back(inv);
    }
    return t;
}

std::string GbkToUtf8(const std::string& gbk) {
    static iconv_t cd = iconv_open("UTF-8", "GBK");
    std::string utf8(gbk.size() * 3 + 4, '\0');
    char* ip = const_cast<char*>(gbk.data());
    char* op = &utf8[0];
    size_t il = gbk.size(), ol = utf8.size();
    while (il > 0) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &ip, &il, &op, &ol) == (size_t)-1) {
            *op++ = '?';  // half a character at the edge, or no GBK code
            --ol;
            ++ip;
            --il;
        }
    }
    utf8.resize(op - utf8.data());
    return utf8;
}

std::string RenderText(const TextScreen& screen) {
    std::string out = "+" + std::string(screen.cols, '-') + "+\n";
    for (int row = 0; row < screen.rows; ++row) {
        out += "|" + GbkToUtf8(screen.text[row]) + "|\n";
        if (screen.inverse[row].find('#') != std::string::npos) {
            std::string marks = screen.inverse[row];
            for (char& c : marks) c = c == '#' ? '^' : ' ';
            out += " " + marks + "\n";
        }
    }
    out += "+" + std::string(screen.cols, '-') + "+\n";
    return out;
}

bool WritePng(const std::string& path, int scale, std::string* error) {
    Display& d = D();
    const int factor = scale < 1 ? 1 : scale;
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) {
        *error = "cannot write " + path;
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fclose(f);
        *error = "cannot encode " + path;
        return false;
    }
    png_init_io(png, f);
    const int w = d.width * factor, h = d.height * factor;
    png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<unsigned char> row(w * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            bool ink = Get(x / factor, y / factor);
            // dark ink on the pale green of a reflective LCD
            row[3 * x] = ink ? 0x1E : 0xC4;
            row[3 * x + 1] = ink ? 0x2A : 0xD6;
            row[3 * x + 2] = ink ? 0x1E : 0xB0;
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    fclose(f);
    return true;
}

}  // namespace simos
