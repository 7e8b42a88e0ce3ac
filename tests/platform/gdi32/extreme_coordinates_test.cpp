// Drawing calls with coordinates anywhere in int: outside the device coordinate space (+-2^27)
// they fail and draw nothing; inside it, shapes reaching far off the image draw their visible
// part as a shape just off the image would.
#include <climits>
#include <cstdint>
#include <string>

#include "platform/gdi32/fast_shapes.h"
#include "tests/platform/gdi32/canvas.h"

using namespace gdi_test;

namespace {

constexpr int kFar = (1 << 27) - 1;  // the farthest legal device coordinate

// Runs a test body with the fast paths on and off; both must give the same pixels.
class BothPaths : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override { platform::gdi32::setFastPathsEnabled(GetParam()); }
    void TearDown() override { platform::gdi32::setFastPathsEnabled(true); }
};
INSTANTIATE_TEST_SUITE_P(ExtremeCoordinates, BothPaths, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Fast" : "General");
                         });

struct Box {
    int l, t, r, b;
};
// Out of the device space in one or more coordinates, including the editor's wrapped box.
const Box kOutside[] = {
    {2147483547, 375, -2147483448, 420},
    {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
    {INT_MAX, 10, INT_MAX - 5, 20},
    {10, INT_MIN, 40, 30},
    {-kFar - 1, 5, 30, 30},
    {5, 5, 30, kFar + 1},
};

TEST_P(BothPaths, ShapesOutsideTheDeviceSpaceFailAndDrawNothing) {
    Canvas c(60, 60);
    c.outlineAndFill(kRed, kBlue);
    for (const Box& k : kOutside) {
        SCOPED_TRACE(std::to_string(k.l) + " " + std::to_string(k.t) + " " + std::to_string(k.r) + " " +
                     std::to_string(k.b));
        EXPECT_FALSE(Rectangle(c.dc(), k.l, k.t, k.r, k.b));
        EXPECT_FALSE(RoundRect(c.dc(), k.l, k.t, k.r, k.b, 5, 5));
        EXPECT_FALSE(Ellipse(c.dc(), k.l, k.t, k.r, k.b));
        EXPECT_FALSE(Arc(c.dc(), k.l, k.t, k.r, k.b, 0, 0, 10, 10));
        EXPECT_FALSE(Pie(c.dc(), k.l, k.t, k.r, k.b, 0, 0, 10, 10));
        const POINT poly[] = {{k.l, k.t}, {k.r, k.t}, {k.r, k.b}, {k.l, k.b}};
        EXPECT_FALSE(Polygon(c.dc(), poly, 4));
        EXPECT_FALSE(Polyline(c.dc(), poly, 4));
        EXPECT_FALSE(PolyBezier(c.dc(), poly, 4));
        EXPECT_EQ(c.count(kWhite), 60 * 60);
    }
    // A legal box moved out of the space by the DC's transform fails too.
    XFORM shift{1, 0, 0, 1, 1e7f, 0};
    ASSERT_TRUE(SetWorldTransform(c.dc(), &shift));
    EXPECT_FALSE(Rectangle(c.dc(), kFar - 20, 5, kFar - 10, 30));
    EXPECT_FALSE(RoundRect(c.dc(), kFar - 20, 5, kFar - 10, 30, 4, 4));
    EXPECT_EQ(c.count(kWhite), 60 * 60);
}

TEST_P(BothPaths, RoundRectCornersOfAnySizeAreClampedToTheBox) {
    Canvas a(60, 60), b(60, 60);
    for (Canvas* c : {&a, &b}) {
        c->pen(PS_SOLID, 1, kRed);
        c->brush(kBlue);
    }
    EXPECT_TRUE(RoundRect(a.dc(), 5, 5, 50, 40, INT_MIN, INT_MAX));
    EXPECT_TRUE(RoundRect(b.dc(), 5, 5, 50, 40, 46, 36));
    EXPECT_TRUE(a.same(b));
    EXPECT_GT(a.count(kBlue), 0);
}

// Boxes whose left and top run to the far edge of the space draw what the same boxes draw
// when they start just off the image.
TEST(ExtremeCoordinates, LegalBoxesFarOffTheImageDrawTheirVisiblePart) {
    for (int penWidth : {0, 1, 2, 3}) {
        SCOPED_TRACE("pen " + std::to_string(penWidth));
        Canvas far(80, 60, kGreen), near(80, 60, kGreen);
        for (Canvas* c : {&far, &near}) {
            if (penWidth)
                c->pen(PS_SOLID, penWidth, kRed);
            else
                c->nullPen();
            c->brush(kBlue);
        }
        EXPECT_TRUE(Rectangle(far.dc(), -kFar, -kFar, 40, 30));
        EXPECT_TRUE(Rectangle(near.dc(), -30, -30, 40, 30));
        EXPECT_TRUE(RoundRect(far.dc(), 45, -kFar, kFar, 50, 12, 10));
        EXPECT_TRUE(RoundRect(near.dc(), 45, -30, 110, 50, 12, 10));
        EXPECT_TRUE(far.same(near));
        EXPECT_GT(far.count(kBlue), 0);
        EXPECT_EQ(far.count(kRed) > 0, penWidth > 0);
    }
}

TEST_P(BothPaths, BoxesPartlyOnTheImageDrawTheirRightPart) {
    // A 140-wide box that starts at x = -100 draws its right part.
    Canvas c(80, 60);
    c.outlineAndFill(kRed, kBlue);
    EXPECT_TRUE(RoundRect(c.dc(), -100, 10, 40, 55, 5, 5));
    EXPECT_TRUE(c.is(40, 30, kRed));
    EXPECT_TRUE(c.is(0, 10, kRed));
    EXPECT_TRUE(c.is(20, 30, kBlue));
    EXPECT_TRUE(c.is(0, 30, kBlue));
    EXPECT_TRUE(c.is(41, 30, kWhite));
}

// A scaling transform brings logical coordinates from all of int into the device space.
TEST(ExtremeCoordinates, ScaledLogicalExtremesDrawWhereTheyLand) {
    Canvas a(60, 60), b(60, 60);
    for (Canvas* c : {&a, &b}) {
        c->nullPen();
        c->brush(kBlue);
    }
    XFORM shrink{1.0f / 1024, 0, 0, 1.0f / 1024, 0, 0};
    ASSERT_TRUE(SetWorldTransform(a.dc(), &shrink));
    EXPECT_TRUE(Rectangle(a.dc(), INT_MIN, INT_MIN, 1024 * 30, 1024 * 20));
    const POINT farPoly[] = {
        {1024 * 35, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MAX, 1024 * 50}, {1024 * 35, 1024 * 50}};
    EXPECT_TRUE(Polygon(a.dc(), farPoly, 4));
    EXPECT_TRUE(Rectangle(b.dc(), -5, -5, 30, 20));
    const POINT nearPoly[] = {{35, -100}, {100, -100}, {100, 50}, {35, 50}};
    EXPECT_TRUE(Polygon(b.dc(), nearPoly, 4));
    EXPECT_TRUE(a.is(59, 49, kBlue));
    EXPECT_TRUE(a.is(0, 0, kBlue));
    EXPECT_TRUE(a.is(32, 30, kWhite));
    EXPECT_TRUE(a.same(b));
}

// The pixel a cosmetic line lights in column x: the one nearest the line, ties to the smaller y.
int nearestRow(std::int64_t ax, std::int64_t ay, std::int64_t bx, std::int64_t by, std::int64_t x) {
    const std::int64_t n = 2 * (x - ax) * (by - ay) - (bx - ax), d = 2 * (bx - ax);
    const std::int64_t q = n >= 0 ? (n + d - 1) / d : -((-n) / d);  // ceil(n / d)
    return static_cast<int>(ay + q);
}

TEST_P(BothPaths, LinesAcrossTheWholeSpaceLightTheirVisiblePixels) {
    Canvas c(100, 80);
    c.pen(PS_SOLID, 1, kRed);
    const POINT a{-kFar, -kFar / 3 + 17}, b{kFar, kFar / 3 + 40};
    EXPECT_TRUE(MoveToEx(c.dc(), a.x, a.y, nullptr));
    EXPECT_TRUE(LineTo(c.dc(), b.x, b.y));
    for (int x = 0; x < 100; ++x) {
        const int y = nearestRow(a.x, a.y, b.x, b.y, x);
        ASSERT_TRUE(y >= 0 && y < 80);
        EXPECT_TRUE(c.is(x, y, kRed)) << x << ", " << y;
    }
    EXPECT_EQ(c.count(kRed), 100);

    // Run backwards, and steep: the same rule on the other axis.
    Canvas steep(80, 100);
    steep.pen(PS_SOLID, 1, kRed);
    const POINT s[] = {{kFar / 5 + 30, kFar}, {-kFar / 5 + 9, -kFar}};
    EXPECT_TRUE(Polyline(steep.dc(), s, 2));
    for (int y = 0; y < 100; ++y) {
        const int x = nearestRow(s[1].y, s[1].x, s[0].y, s[0].x, y);
        ASSERT_TRUE(x >= 0 && x < 80);
        EXPECT_TRUE(steep.is(x, y, kRed)) << x << ", " << y;
    }

    // Wide pens: a line from a million pixels away covers its rows up to its end.
    Canvas wide(60, 40), wideNear(60, 40);
    wide.pen(PS_SOLID, 5, kBlue);
    wideNear.pen(PS_SOLID, 5, kBlue);
    const int million = (1 << 20) - 1;
    const POINT w[] = {{-million, 20}, {30, 20}, {30, million}};
    const POINT wn[] = {{-20, 20}, {30, 20}, {30, 60}};
    EXPECT_TRUE(Polyline(wide.dc(), w, 3));
    EXPECT_TRUE(Polyline(wideNear.dc(), wn, 3));
    EXPECT_TRUE(wide.same(wideNear));
    EXPECT_GT(wide.count(kBlue), 0);
}

TEST(ExtremeCoordinates, LinesOutsideTheSpaceFailAndKeepThePosition) {
    Canvas c(40, 40);
    c.pen(PS_SOLID, 1, kRed);
    POINT at{};
    EXPECT_TRUE(MoveToEx(c.dc(), 5, 6, nullptr));
    EXPECT_FALSE(MoveToEx(c.dc(), INT_MIN, 0, nullptr));
    EXPECT_FALSE(LineTo(c.dc(), INT_MAX, INT_MIN));
    EXPECT_FALSE(LineTo(c.dc(), 10, kFar + 1));
    ASSERT_TRUE(GetCurrentPositionEx(c.dc(), &at));
    EXPECT_EQ(at.x, 5);
    EXPECT_EQ(at.y, 6);
    EXPECT_EQ(c.count(kRed), 0);
    // The start is checked after a transform that moved it out of the space.
    XFORM shift{1, 0, 0, 1, 0, 1e7f};
    EXPECT_TRUE(MoveToEx(c.dc(), 5, kFar - 5, nullptr));
    ASSERT_TRUE(SetWorldTransform(c.dc(), &shift));
    EXPECT_FALSE(LineTo(c.dc(), 5, 5));
    EXPECT_EQ(c.count(kRed), 0);
}

TEST(ExtremeCoordinates, TextOutsideTheSpaceFailsAndFarTextDrawsItsVisiblePart) {
    Canvas c(80, 40);
    c.font(16);
    const char16_t* text = u"Wrap";
    EXPECT_FALSE(TextOutW(c.dc(), INT_MIN, 5, text, 4));
    EXPECT_FALSE(TextOutW(c.dc(), 5, INT_MAX, text, 4));
    RECT wrapped{2147483547, 5, -2147483448, 30};
    EXPECT_EQ(DrawTextW(c.dc(), text, 4, &wrapped, DT_SINGLELINE | DT_VCENTER), 0);
    RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    EXPECT_EQ(DrawTextW(c.dc(), text, 4, &huge, DT_CENTER | DT_WORDBREAK), 0);
    EXPECT_EQ(c.count(kWhite), 80 * 40);
    // Measuring draws nothing: the rectangle grows from its corner, clamped to int.
    RECT measure{INT_MAX - 3, INT_MAX - 3, INT_MIN, INT_MIN};
    EXPECT_GT(DrawTextW(c.dc(), text, 4, &measure, DT_CALCRECT | DT_SINGLELINE), 0);
    EXPECT_EQ(measure.right, INT_MAX);
    EXPECT_EQ(measure.bottom, INT_MAX);

    Canvas far(80, 40), near(80, 40);
    far.font(16);
    near.font(16);
    RECT farRect{-kFar, 0, 70, kFar}, nearRect{-200, 0, 70, 40};
    EXPECT_GT(DrawTextW(far.dc(), text, 4, &farRect, DT_RIGHT | DT_SINGLELINE), 0);
    EXPECT_GT(DrawTextW(near.dc(), text, 4, &nearRect, DT_RIGHT | DT_SINGLELINE), 0);
    EXPECT_TRUE(far.same(near));
    EXPECT_LT(far.count(kWhite), 80 * 40);
}

TEST(ExtremeCoordinates, PixelsBlitsAndRegionsOutsideTheSpaceFail) {
    Canvas c(40, 40), source(40, 40, kRed);
    c.brush(kBlue);
    EXPECT_FALSE(SetPixelV(c.dc(), INT_MIN, INT_MAX, kRed));
    EXPECT_EQ(GetPixel(c.dc(), INT_MAX, 0), CLR_INVALID);
    EXPECT_FALSE(ExtFloodFill(c.dc(), INT_MIN, 0, kWhite, FLOODFILLSURFACE));
    EXPECT_FALSE(BitBlt(c.dc(), INT_MIN, 0, 10, 10, source.dc(), 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(c.dc(), 10, 0, INT_MAX, 10, source.dc(), 0, 0, SRCCOPY));  // x + cx leaves int
    EXPECT_FALSE(BitBlt(c.dc(), 0, 0, 10, 10, source.dc(), INT_MAX - 5, INT_MIN, SRCCOPY));
    EXPECT_FALSE(BitBlt(c.dc(), 5, 0, kFar, 10, nullptr, 0, 0, BLACKNESS));  // the far edge is out
    EXPECT_EQ(CreateRectRgn(INT_MIN, 0, 10, 10), nullptr);
    EXPECT_EQ(CreateRectRgn(0, 0, 10, kFar + 1), nullptr);
    EXPECT_EQ(c.count(kWhite), 40 * 40);

    // Legal but far: the visible part.
    EXPECT_TRUE(BitBlt(c.dc(), -kFar + 10, 2, kFar - 10 + 5, 3, nullptr, 0, 0, BLACKNESS));
    EXPECT_EQ(c.bounds(kBlack).left, 0);
    EXPECT_EQ(c.bounds(kBlack).right, 4);
    EXPECT_EQ(c.count(kBlack), 5 * 3);
    EXPECT_TRUE(BitBlt(c.dc(), 20, 20, 10, 10, source.dc(), -kFar + 1, 0, SRCCOPY));  // nothing to copy
    EXPECT_EQ(c.count(kRed), 0);
    HRGN region = CreateRectRgn(-kFar, 30, kFar, kFar);
    ASSERT_NE(region, nullptr);
    HBRUSH green = CreateSolidBrush(kGreen);
    EXPECT_TRUE(FillRgn(c.dc(), region, green));
    EXPECT_EQ(c.count(kGreen), 40 * 10);
    DeleteObject(green);
    DeleteObject(region);
}

}  // namespace
