// The exact pixels of GDI's thin lines: cosmetic lines at half-pixel ties, and the one- and
// two-pixel geometric lines with round ends that the editor draws its lines and connectors with.
// The expected pixels are those Windows' GDI (as Wine 8 implements it) draws.
#include <memory>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "tests/platform/gdi32/canvas.h"

using namespace gdi_test;

namespace {

using Pixels = std::set<std::pair<int, int>>;

Pixels painted(const Canvas& c, COLORREF color) {
    Pixels out;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            if (c.is(x, y, color)) out.insert({x, y});
    return out;
}

void line(Canvas& c, int x0, int y0, int x1, int y1) {
    MoveToEx(c.dc(), x0, y0, nullptr);
    LineTo(c.dc(), x1, y1);
}

// Rows as (y, first x, last x), each a single run.
struct Row {
    int y, x0, x1;
};
void expectRows(const Canvas& c, const std::vector<Row>& rows, const char* what) {
    Pixels want;
    for (const Row& r : rows)
        for (int x = r.x0; x <= r.x1; ++x) want.insert({x, r.y});
    Pixels got = painted(c, kRed);
    for (const auto& p : want)
        EXPECT_TRUE(got.count(p)) << what << ": missing " << p.first << "," << p.second;
    for (const auto& p : got) EXPECT_TRUE(want.count(p)) << what << ": extra " << p.first << "," << p.second;
}

// Where a line passes exactly halfway between two pixels, the smaller coordinate wins in every
// octant, so a line and its reverse differ only in the end each leaves out.
TEST(LinePixels, CosmeticTiesGoToTheSmallerCoordinate) {
    struct Tie {
        int dx, dy, x, y;  // from (100, 50); the pixel expected at the 7th step
    };
    const Tie ties[] = {{42, 15, 107, 52}, {42, -15, 107, 47}, {-42, 15, 93, 52}, {-42, -15, 93, 47},
                        {15, 42, 102, 57}, {15, -42, 102, 43}, {-15, 42, 97, 57}, {-15, -42, 97, 43}};
    for (const Tie& t : ties) {
        Canvas c(200, 100);
        c.pen(PS_SOLID, 1, kRed);
        line(c, 100, 50, 100 + t.dx, 50 + t.dy);
        EXPECT_TRUE(c.is(t.x, t.y, kRed)) << t.dx << "," << t.dy;
        bool xMajor = t.dx == 42 || t.dx == -42;
        EXPECT_TRUE(c.is(xMajor ? t.x : t.x + 1, xMajor ? t.y + 1 : t.y, kWhite)) << t.dx << "," << t.dy;
    }
    std::mt19937 random(3);
    std::uniform_int_distribution<int> xs(0, 119), ys(0, 79);
    for (int i = 0; i < 200; ++i) {
        int x0 = xs(random), y0 = ys(random), x1 = xs(random), y1 = ys(random);
        if (x0 == x1 && y0 == y1) continue;
        Canvas forward(120, 80), backward(120, 80);
        forward.pen(PS_SOLID, 1, kRed);
        backward.pen(PS_SOLID, 1, kRed);
        line(forward, x0, y0, x1, y1);
        line(backward, x1, y1, x0, y0);
        Pixels f = painted(forward, kRed), b = painted(backward, kRed);
        f.insert({x1, y1});
        b.insert({x0, y0});
        ASSERT_EQ(f, b) << x0 << "," << y0 << " - " << x1 << "," << y1;
    }
}

// One pixel wide: the cosmetic line's pixels, the end point added unless the line is
// horizontal or vertical.
TEST(LinePixels, OnePixelGeometricLinesAreCosmeticLinesWithTheirEnd) {
    const int lines[][4] = {
        {10, 20, 60, 20}, {20, 60, 20, 10}, {10, 10, 150, 60}, {100, 5, 85, 95}, {170, 5, 30, 95}};
    for (const auto& l : lines) {
        Canvas geometric(200, 100), cosmetic(200, 100);
        geometric.geometricPen(1, kRed);
        cosmetic.pen(PS_SOLID, 1, kRed);
        line(geometric, l[0], l[1], l[2], l[3]);
        line(cosmetic, l[0], l[1], l[2], l[3]);
        Pixels want = painted(cosmetic, kRed);
        if (l[0] != l[2] && l[1] != l[3]) want.insert({l[2], l[3]});
        EXPECT_EQ(painted(geometric, kRed), want) << l[0] << "," << l[1] << " - " << l[2] << "," << l[3];
    }
}

TEST(LinePixels, TwoPixelLinesLieRightOfTheirPathAndEndInTwoByTwoBlocks) {
    auto draw = [](int x0, int y0, int x1, int y1) {
        auto c = std::make_unique<Canvas>(200, 100);
        c->geometricPen(2, kRed);
        line(*c, x0, y0, x1, y1);
        return c;
    };
    // Axis-aligned: the extra column or row goes left or up, and each end one pixel further.
    expectRows(*draw(10, 20, 60, 20), {{19, 9, 60}, {20, 9, 60}}, "horizontal");
    std::vector<Row> vertical;
    for (int y = 9; y <= 60; ++y) vertical.push_back({y, 19, 20});
    expectRows(*draw(20, 60, 20, 10), vertical, "vertical");

    // A connector falling almost straight down (100,5) - (102,95): the pen's second column is
    // on the right of the path; the row where the path crosses a whole column is three wide.
    std::vector<Row> connector{{4, 99, 100}, {5, 99, 101}};
    for (int y = 6; y <= 27; ++y) connector.push_back({y, 100, 101});
    for (int y = 28; y <= 49; ++y) connector.push_back({y, 100, 101});
    connector.push_back({50, 100, 102});
    for (int y = 51; y <= 95; ++y) connector.push_back({y, 101, 102});
    expectRows(*draw(100, 5, 102, 95), connector, "steep connector");
    expectRows(*draw(102, 95, 100, 5), connector, "steep connector reversed");

    expectRows(*draw(100, 50, 142, 65),
               {{49, 99, 100},
                {50, 99, 103},
                {51, 100, 106},
                {52, 103, 109},
                {53, 106, 112},
                {54, 109, 114},
                {55, 112, 117},
                {56, 114, 120},
                {57, 117, 123},
                {58, 120, 126},
                {59, 123, 128},
                {60, 126, 131},
                {61, 128, 134},
                {62, 131, 137},
                {63, 134, 140},
                {64, 137, 142},
                {65, 140, 142}},
               "flat, falling");
    expectRows(
        *draw(10, 17, 15, 12),
        {{11, 14, 15}, {12, 13, 15}, {13, 12, 15}, {14, 11, 14}, {15, 10, 13}, {16, 9, 12}, {17, 9, 11}},
        "45 degrees, rising");
    expectRows(*draw(60, 10, 62, 11), {{9, 59, 60}, {10, 59, 62}, {11, 60, 62}}, "short");

    // Clipped at the image's top edge, where the line enters in mid-stroke.
    auto clipped = draw(-30, -40, 60, 50);
    std::vector<Row> entering{{0, 8, 11}};
    for (int y = 1; y <= 49; ++y) entering.push_back({y, y + 8, y + 11});
    entering.push_back({50, 58, 60});
    expectRows(*clipped, entering, "clipped");
}

}  // namespace
