// Draws each line and shape case the editor's frame uses, one per white 32-bit top-down DIB
// section in a GM_ADVANCED memory DC, and writes the pixels of every case to <dir>/<case>.raw
// (a "W H\n" header, then W * H 0x00RRGGBB words). The same source builds against the Linux
// stand-in and, with MinGW-w64, against Windows' GDI (or Wine's); compare.sh diffs the two.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "../pixel_dc.h"

namespace {

// Wine leaves out an outlined rounded rectangle's right and bottom edges in GM_ADVANCED, where
// Windows includes them; with --widen-round the reference run passes corners one pixel further
// out. (Wine's fill-only ones are already right, and so are boxes too thin for a corner,
// which Wine draws as rectangles: the corner ellipse, cut to the box, two pixels or less.)
bool gWidenRound = false;

void roundRect(HDC dc, int l, int t, int r, int b, int e, bool outlined) {
    if (gWidenRound && outlined && std::min(std::abs(r - l) + 1, e) > 2 &&
        std::min(std::abs(b - t) + 1, e) > 2) {
        if (l > r) std::swap(l, r);
        if (t > b) std::swap(t, b);
        ++r;
        ++b;
    }
    RoundRect(dc, l, t, r, b, e, e);
}

constexpr int kWidth = 200;
constexpr int kHeight = 100;
constexpr COLORREF kPenColor = RGB(255, 0, 0);
constexpr COLORREF kBrushColor = RGB(0, 0, 255);
// The frame's corners (node boxes 5, collapse markers 3) and larger ones to check the rule.
constexpr int kCorners[] = {5, 3, 8, 9, 16};

struct PenKind {
    const char* name;
    std::function<HPEN()> make;
};

HPEN geometric(int width) {
    LOGBRUSH lb{BS_SOLID, kPenColor, 0};
    return ExtCreatePen(PS_GEOMETRIC | PS_SOLID, static_cast<DWORD>(width), &lb, 0, nullptr);
}

enum class Fill { Solid, Hollow };

struct Case {
    std::string name;
    std::function<void(HDC)> draw;
};

void line(HDC dc, int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

std::vector<Case> makeCases() {
    const PenKind pens[] = {{"cos1", [] { return CreatePen(PS_SOLID, 1, kPenColor); }},
                            {"geo1", [] { return geometric(1); }},
                            {"geo2", [] { return geometric(2); }}};
    struct Line {
        const char* name;
        int x0, y0, x1, y1;
    };
    const Line lines[] = {
        {"h_right", 10, 20, 60, 20},
        {"h_left", 60, 20, 10, 20},
        {"v_down", 20, 10, 20, 60},
        {"v_up", 20, 60, 20, 10},
        {"d_short_se", 10, 10, 13, 17},
        {"d_short_nw", 13, 17, 10, 10},
        {"d_short_ne", 10, 17, 15, 12},
        {"d_long_se", 10, 10, 150, 60},
        {"d_long_nw", 150, 60, 10, 10},
        {"d_long_sw", 150, 10, 10, 90},
        {"d_steep_s", 100, 5, 85, 95},
        {"d_45", 10, 10, 60, 60},
        {"d_45_up", 60, 60, 10, 10},
        {"conn_sw", 170, 5, 30, 95},
        {"conn_se", 30, 5, 170, 95},
        {"conn_s", 100, 5, 102, 95},
        {"edge_h", -20, 0, 220, 0},
        {"edge_v", 199, -10, 199, 110},
        {"edge_out", -30, -40, 60, 50},
        // Exact half-pixel ties (at the 7th step) in all eight octants.
        {"tie_x_se", 100, 50, 142, 65},
        {"tie_x_ne", 100, 50, 142, 35},
        {"tie_x_sw", 100, 50, 58, 65},
        {"tie_x_nw", 100, 50, 58, 35},
        {"tie_y_se", 100, 50, 115, 92},
        {"tie_y_ne", 100, 50, 115, 8},
        {"tie_y_sw", 100, 50, 85, 92},
        {"tie_y_nw", 100, 50, 85, 8},
        // Connectors of the frame: parent bottom centre to child top centre.
        {"conn_a", 90, 5, 10, 95},
        {"conn_b", 90, 5, 170, 60},
        {"conn_c", 90, 5, 93, 80},
        {"conn_d", 90, 5, 89, 95},
        {"conn_e", 150, 95, 70, 3},
        {"conn_f", 20, 90, 190, 40},
        {"conn_g", 60, 10, 61, 11},
        {"conn_h", 60, 10, 62, 11},
        {"conn_i", 60, 10, 59, 12},
    };
    std::vector<Case> cases;
    for (const PenKind& pen : pens) {
        for (const Line& l : lines) {
            cases.push_back({std::string("line_") + l.name + "_" + pen.name, [pen, l](HDC dc) {
                                 HGDIOBJ old = SelectObject(dc, pen.make());
                                 line(dc, l.x0, l.y0, l.x1, l.y1);
                                 DeleteObject(SelectObject(dc, old));
                             }});
        }
    }
    struct Box {
        const char* name;
        int l, t, r, b;
    };
    const Box boxes[] = {{"140x45", 20, 20, 160, 65},   {"15x20", 20, 20, 35, 40},
                         {"reversed", 160, 65, 20, 20}, {"negative", -10, -8, 30, 25},
                         {"edge", 170, 80, 230, 130},   {"thin", 20, 20, 21, 60}};
    for (const PenKind& pen : pens) {
        for (const Box& b : boxes) {
            for (Fill fill : {Fill::Solid, Fill::Hollow}) {
                const char* f = fill == Fill::Solid ? "filled" : "outline";
                cases.push_back(
                    {std::string("rect_") + b.name + "_" + f + "_" + pen.name, [pen, b, fill](HDC dc) {
                         HGDIOBJ oldPen = SelectObject(dc, pen.make());
                         LOGBRUSH lb{
                             fill == Fill::Solid ? static_cast<UINT>(BS_SOLID) : static_cast<UINT>(BS_NULL),
                             kBrushColor, 0};
                         HGDIOBJ oldBrush = SelectObject(dc, CreateBrushIndirect(&lb));
                         Rectangle(dc, b.l, b.t, b.r, b.b);
                         DeleteObject(SelectObject(dc, oldPen));
                         DeleteObject(SelectObject(dc, oldBrush));
                     }});
                for (int e : kCorners) {
                    cases.push_back(
                        {std::string("round") + std::to_string(e) + "_" + b.name + "_" + f + "_" + pen.name,
                         [pen, b, fill, e](HDC dc) {
                             HGDIOBJ oldPen = SelectObject(dc, pen.make());
                             LOGBRUSH lb{fill == Fill::Solid ? static_cast<UINT>(BS_SOLID)
                                                             : static_cast<UINT>(BS_NULL),
                                         kBrushColor, 0};
                             HGDIOBJ oldBrush = SelectObject(dc, CreateBrushIndirect(&lb));
                             roundRect(dc, b.l, b.t, b.r, b.b, e, true);
                             DeleteObject(SelectObject(dc, oldPen));
                             DeleteObject(SelectObject(dc, oldBrush));
                         }});
                }
            }
        }
    }
    // Fill only: the null geometric pen of the fill-only operation, with its widened corners.
    for (const Box& b : boxes) {
        cases.push_back({std::string("rect_") + b.name + "_nullpen", [b](HDC dc) {
                             LOGBRUSH pen{BS_SOLID, kPenColor, 0};
                             HGDIOBJ oldPen =
                                 SelectObject(dc, ExtCreatePen(PS_GEOMETRIC | PS_NULL, 1, &pen, 0, nullptr));
                             HGDIOBJ oldBrush = SelectObject(dc, CreateSolidBrush(kBrushColor));
                             Rectangle(dc, b.l, b.t, b.r + 1, b.b + 1);
                             DeleteObject(SelectObject(dc, oldPen));
                             DeleteObject(SelectObject(dc, oldBrush));
                         }});
        for (int e : kCorners) {
            cases.push_back(
                {std::string("round") + std::to_string(e) + "_" + b.name + "_nullpen", [b, e](HDC dc) {
                     HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
                     HGDIOBJ oldBrush = SelectObject(dc, CreateSolidBrush(kBrushColor));
                     roundRect(dc, b.l, b.t, b.r, b.b, e, false);
                     SelectObject(dc, oldPen);
                     DeleteObject(SelectObject(dc, oldBrush));
                 }});
        }
    }
    return cases;
}

bool writeCase(const std::string& path, const std::uint32_t* pixels) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fprintf(f, "%d %d\n", kWidth, kHeight);
    bool ok = std::fwrite(pixels, sizeof(std::uint32_t), static_cast<std::size_t>(kWidth) * kHeight, f) ==
              static_cast<std::size_t>(kWidth) * kHeight;
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: pixel_cases <output-dir> [--widen-round]\n");
        return 2;
    }
    gWidenRound = argc > 2 && std::strcmp(argv[2], "--widen-round") == 0;
    frame_bench::PixelDC canvas(kWidth, kHeight);
    if (!canvas.ok()) {
        std::fprintf(stderr, "cannot create the DIB section\n");
        return 1;
    }
    HDC dc = canvas.dc;
    SetGraphicsMode(dc, GM_ADVANCED);
    std::uint32_t* pixels = canvas.pixels;
    int written = 0;
    for (const Case& c : makeCases()) {
        for (int i = 0; i < kWidth * kHeight; ++i) pixels[i] = 0x00FFFFFF;
        MoveToEx(dc, 0, 0, nullptr);
        c.draw(dc);
        GdiFlush();
        if (!writeCase(std::string(argv[1]) + "/" + c.name + ".raw", pixels)) {
            std::fprintf(stderr, "cannot write %s\n", c.name.c_str());
            return 1;
        }
        ++written;
    }
    std::printf("%d cases\n", written);
    return 0;
}
