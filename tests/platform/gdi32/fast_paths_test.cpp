// The span-filling paths must give exactly the pixels of the general path.
#include <random>
#include <string>

#include "platform/gdi32/fast_shapes.h"
#include "tests/platform/gdi32/canvas.h"

using namespace gdi_test;

namespace {

class FastPaths : public ::testing::Test {
  protected:
    void TearDown() override { platform::gdi32::setFastPathsEnabled(true); }

    // Draws the same thing with and without the fast paths and compares.
    template <class Draw>
    void expectSame(const Draw& draw, const char* what) {
        Canvas fast(120, 90, kGreen), general(120, 90, kGreen);
        platform::gdi32::setFastPathsEnabled(true);
        draw(fast);
        platform::gdi32::setFastPathsEnabled(false);
        draw(general);
        platform::gdi32::setFastPathsEnabled(true);
        for (int y = 0; y < 90; ++y) {
            for (int x = 0; x < 120; ++x) {
                ASSERT_EQ(fast.at(x, y), general.at(x, y)) << what << " differs at " << x << "," << y;
            }
        }
    }
};

void setPen(Canvas& c, int width, bool cosmetic) {
    if (width == 0) {
        c.nullPen();
    } else if (cosmetic) {
        c.pen(PS_SOLID, 1, kRed);
    } else {
        c.geometricPen(width, kRed);
    }
}

TEST_F(FastPaths, RectanglesMatchTheGeneralPath) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coord(-5, 124), widthDist(0, 3);
    for (int i = 0; i < 150; ++i) {
        int l = coord(random), t = coord(random) % 95, r = coord(random), b = coord(random) % 95;
        int w = widthDist(random);
        bool cosmetic = w == 1 && i % 2;
        bool compat = i % 5 == 0;
        bool hollow = i % 3 == 0;
        expectSame(
            [&](Canvas& c) {
                if (compat) SetGraphicsMode(c.dc(), GM_COMPATIBLE);
                setPen(c, w, cosmetic);
                if (hollow)
                    c.nullBrush();
                else
                    c.brush(kBlue);
                Rectangle(c.dc(), l, t, r, b);
            },
            ("Rectangle " + std::to_string(l) + "," + std::to_string(t) + "," + std::to_string(r) + "," +
             std::to_string(b) + " w" + std::to_string(w) + (cosmetic ? " cosmetic" : "") +
             (compat ? " compat" : "") + (hollow ? " hollow" : ""))
                .c_str());
    }
}

TEST_F(FastPaths, RoundRectsMatchTheGeneralPath) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> coord(-10, 130), corner(0, 16), widthDist(0, 5);
    for (int i = 0; i < 200; ++i) {
        int l = coord(random), t = coord(random) % 100, r = coord(random), b = coord(random) % 100;
        int ew = corner(random), eh = i % 2 ? ew : corner(random);
        int w = widthDist(random);
        bool hollow = i % 3 == 0;
        expectSame(
            [&](Canvas& c) {
                setPen(c, w, false);
                if (hollow)
                    c.nullBrush();
                else
                    c.brush(kBlue);
                RoundRect(c.dc(), l, t, r, b, ew, eh);
            },
            "RoundRect");
    }
    // The frame's own shapes: node boxes and markers.
    for (int x = 0; x < 7; ++x) {
        expectSame(
            [&](Canvas& c) {
                setPen(c, 2, false);
                c.brush(kBlue);
                RoundRect(c.dc(), 3 + x, 7 + x, 103 + x, 47 + x, 5, 5);
                RoundRect(c.dc(), 80 + x, 17, 95 + x, 37, 3, 3);
            },
            "node box");
    }
}

// Round-capped solid lines three pixels and wider: the exact rule (centre within width / 2 of
// the segment). One and two pixels wide GDI has shapes of its own (line_pixels_test.cpp).
TEST_F(FastPaths, RoundCappedLinesFollowTheDistanceRule) {
    std::mt19937 random(5);
    std::uniform_int_distribution<int> xs(-10, 130), ys(-10, 100), widths(3, 6);
    for (int i = 0; i < 120; ++i) {
        int x1 = xs(random), y1 = ys(random), x2 = xs(random), y2 = ys(random), w = widths(random);
        if (x1 == x2 && y1 == y2) continue;
        Canvas c(120, 90);
        c.geometricPen(w, kRed);
        MoveToEx(c.dc(), x1, y1, nullptr);
        LineTo(c.dc(), x2, y2);
        double shift = (w % 2) ? 0.5 : 0.0, r = w / 2.0;
        double ax = x1 + shift, ay = y1 + shift, bx = x2 + shift, by = y2 + shift;
        for (int y = 0; y < 90; ++y) {
            for (int x = 0; x < 120; ++x) {
                double px = x + 0.5, py = y + 0.5, dx = bx - ax, dy = by - ay;
                double t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy);
                t = t < 0 ? 0 : (t > 1 ? 1 : t);
                double ex = ax + t * dx - px, ey = ay + t * dy - py, d2 = ex * ex + ey * ey;
                if (std::abs(d2 - r * r) < 1e-6) continue;  // exactly on the edge: either is right
                ASSERT_EQ(c.is(x, y, kRed), d2 < r * r) << "line " << x1 << "," << y1 << " - " << x2 << ","
                                                        << y2 << " w" << w << " at " << x << "," << y;
            }
        }
    }
}

}  // namespace
