// The exact corner pixels of the rounded rectangles the editor draws: node boxes with 5 x 5
// corners and collapse markers with 3 x 3 corners, outlined with one- and two-pixel pens or
// filled without a pen. The expected pixels are those Windows' GDI (as Wine 8 implements it)
// draws; Wine squares off the bottom corners of two-pixel outlines, which are the top corners
// mirrored here.
#include <string>
#include <vector>

#include "platform/gdi32/fast_shapes.h"
#include "tests/platform/gdi32/canvas.h"

using namespace gdi_test;

namespace {

constexpr int kL = 10, kT = 10, kR = 40, kB = 30;  // RoundRect's box

enum class PenKind { Cosmetic1, Geometric1, Geometric2, None };

void selectPen(Canvas& c, PenKind pen) {
    switch (pen) {
        case PenKind::Cosmetic1:
            c.pen(PS_SOLID, 1, kRed);
            break;
        case PenKind::Geometric1:
            c.geometricPen(1, kRed);
            break;
        case PenKind::Geometric2:
            c.geometricPen(2, kRed);
            break;
        case PenKind::None:
            c.nullPen();
            break;
    }
}

// The corner window at (x0, y0) as rows of 'P' (pen), 'f' (fill) and '.' (untouched), read
// from each corner of the shape towards its middle, so that all four read like the top left.
std::vector<std::string> corner(const Canvas& c, int left, int top, int right, int bottom, int size,
                                bool flipX, bool flipY) {
    std::vector<std::string> rows;
    for (int j = 0; j < size; ++j) {
        std::string row;
        for (int i = 0; i < size; ++i) {
            int x = flipX ? right - i : left + i, y = flipY ? bottom - j : top + j;
            row += c.is(x, y, kRed) ? 'P' : (c.is(x, y, kBlue) ? 'f' : (c.is(x, y, kWhite) ? '.' : '?'));
        }
        rows.push_back(row);
    }
    return rows;
}

// Draws the box and checks all four corners against the top-left pattern, whose first row
// and column are the outline's outer edge (`grow` pixels outside the box for wide pens).
void expectCorners(PenKind pen, bool filled, int ellipse, const std::vector<std::string>& want, int grow,
                   int outerRight, int outerBottom, const char* what) {
    for (bool fast : {true, false}) {
        platform::gdi32::setFastPathsEnabled(fast);
        Canvas c(60, 50);
        selectPen(c, pen);
        if (filled)
            c.brush(kBlue);
        else
            c.nullBrush();
        RoundRect(c.dc(), kL, kT, kR, kB, ellipse, ellipse);
        platform::gdi32::setFastPathsEnabled(true);
        const int size = static_cast<int>(want.size());
        const int l = kL - grow, t = kT - grow;
        const char* names[] = {"top left", "top right", "bottom left", "bottom right"};
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(corner(c, l, t, outerRight, outerBottom, size, k & 1, k & 2), want)
                << what << ", " << names[k] << (fast ? "" : " (general path)");
        }
        // Beyond the corners the sides are straight.
        EXPECT_EQ(corner(c, l, kT + 8, outerRight, outerBottom, 1, false, false)[0][0],
                  pen == PenKind::None ? 'f' : 'P')
            << what;
    }
}

TEST(RoundCorners, OnePixelPensCutOnePixelWithOneDiagonalStep) {
    // The outline turns diagonally from the side to the top; the pixel inside the step is
    // the interior's, not the pen's.
    const std::vector<std::string> filled{".PP", "Pff", "Pff"}, hollow{".PP", "P..", "P.."};
    for (int e : {5, 3}) {
        for (PenKind pen : {PenKind::Cosmetic1, PenKind::Geometric1}) {
            std::string what =
                "ellipse " + std::to_string(e) + (pen == PenKind::Cosmetic1 ? " cosmetic" : " geometric");
            expectCorners(pen, true, e, filled, 0, kR, kB, what.c_str());
            expectCorners(pen, false, e, hollow, 0, kR, kB, (what + " hollow").c_str());
        }
    }
}

TEST(RoundCorners, TwoPixelPensRunTheirLinesAlongTheStep) {
    // Outer edge one pixel out (columns l - 1 .. l, rows t - 1 .. t), outer corner pixel cut,
    // and the pixel inside the diagonal step taken by the pen.
    const std::vector<std::string> filled{".PPP", "PPPP", "PPPf", "PPff"},
        hollow{".PPP", "PPPP", "PPP.", "PP.."};
    for (int e : {5, 3}) {
        std::string what = "ellipse " + std::to_string(e) + " two pixels";
        expectCorners(PenKind::Geometric2, true, e, filled, 1, kR, kB, what.c_str());
        expectCorners(PenKind::Geometric2, false, e, hollow, 1, kR, kB, (what + " hollow").c_str());
    }
}

TEST(RoundCorners, FillWithoutPenCutsOnePixelOffTheSmallerBox) {
    // Without an outline the fill covers l .. r - 1, t .. b - 1, its corners cut like a
    // one-pixel outline's.
    for (int e : {5, 3}) {
        expectCorners(PenKind::None, true, e, {".ff", "fff", "fff"}, 0, kR - 1, kB - 1,
                      ("ellipse " + std::to_string(e) + " no pen").c_str());
    }
}

TEST(RoundCorners, LargerEllipsesStepInWholePixels) {
    // A 9 x 9 corner: three pixels cut on the top row, then one, one and none.
    expectCorners(PenKind::Cosmetic1, true, 9, {"...PP", ".PPff", ".Pfff", "Pffff", "Pffff"}, 0, kR, kB,
                  "ellipse 9");
    expectCorners(PenKind::Geometric2, true, 9, {"...PPP", ".PPPPP", ".PPPPf", "PPPfff", "PPPfff", "PPffff"},
                  1, kR, kB, "ellipse 9 two pixels");
}

TEST(RoundCorners, BoxesTooThinForACornerAreRectangles) {
    Canvas c(30, 40);
    c.outlineAndFill(kRed, kBlue);
    RoundRect(c.dc(), 10, 10, 11, 30, 5, 5);
    expectBounds(c.bounds(kRed), 10, 10, 11, 30);
    EXPECT_EQ(c.count(kRed), 2 * 21);
}

}  // namespace
