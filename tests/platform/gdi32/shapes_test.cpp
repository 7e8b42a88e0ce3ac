// Pixel rules of the shapes and lines.
#include <cmath>

#include "tests/platform/gdi32/canvas.h"

using namespace gdi_test;

namespace {

// In GM_ADVANCED a rectangle covers its right and bottom edges; in GM_COMPATIBLE it does not;
// without a pen the filled area is one pixel smaller in width and height.
TEST(Rectangles, CoverBothEdgesInAdvancedModeOnly) {
    Canvas c(40, 40);
    c.outlineAndFill(kRed, kBlue);
    Rectangle(c.dc(), 5, 6, 15, 20);
    expectBounds(c.bounds(kRed), 5, 6, 15, 20);
    EXPECT_EQ(c.count(kBlue), 9 * 13);  // the interior, inside the 1-pixel outline

    Canvas compat(40, 40);
    SetGraphicsMode(compat.dc(), GM_COMPATIBLE);
    compat.pen(PS_SOLID, 1, kRed);
    Rectangle(compat.dc(), 5, 6, 15, 20);
    EXPECT_EQ(compat.bounds(kRed).right, 14);
    EXPECT_EQ(compat.bounds(kRed).bottom, 19);
}

TEST(Rectangles, WithoutPenFillOnePixelLessAndReversedCornersAreOrdered) {
    Canvas a(40, 40), b(40, 40);
    a.nullPen();
    a.brush(kBlue);
    Rectangle(a.dc(), 5, 5, 11, 11);  // the widened fill-only rectangle: columns 5 .. 10
    RECT r = a.bounds(kBlue);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.right, 10);
    EXPECT_EQ(r.bottom, 10);
    EXPECT_EQ(a.count(kBlue), 36);
    b.nullPen();
    b.brush(kBlue);
    Rectangle(b.dc(), 11, 11, 5, 5);
    EXPECT_TRUE(a.same(b));

    // A fill with a 1-pixel outline covers the same area as the widened fill-only one.
    Canvas outlined(40, 40);
    outlined.outlineAndFill(kBlue, kBlue);
    Rectangle(outlined.dc(), 5, 5, 10, 10);
    EXPECT_TRUE(outlined.same(a));
}

TEST(Rectangles, OutlineOnlyAndFillOnlyLeaveTheOtherPartUntouched) {
    Canvas c(60, 60, kGreen);
    c.geometricPen(2, kRed);
    c.nullBrush();
    Rectangle(c.dc(), 10, 10, 40, 30);
    for (int y = 12; y <= 28; ++y)
        for (int x = 12; x <= 38; ++x) ASSERT_TRUE(c.is(x, y, kGreen)) << x << "," << y;
    EXPECT_TRUE(c.is(40, 30, kRed));  // right and bottom edges included
    EXPECT_TRUE(c.is(10, 20, kRed));

    Canvas fill(60, 60, kGreen);
    fill.nullPen();
    fill.brush(kBlue);
    RoundRect(fill.dc(), 10, 10, 41, 31, 5, 5);
    EXPECT_EQ(fill.count(kRed), 0);
    for (int x = 0; x < 60; ++x) {
        EXPECT_TRUE(fill.is(x, 9, kGreen));
        EXPECT_TRUE(fill.is(x, 31, kGreen));
    }
    EXPECT_TRUE(fill.is(40, 20, kBlue));
    EXPECT_TRUE(fill.is(41, 20, kGreen) && fill.is(9, 20, kGreen));
}

TEST(RoundRects, CoverBothEdgesAndRoundTheCorners) {
    Canvas c(80, 80);
    c.outlineAndFill(kRed, kBlue);
    RoundRect(c.dc(), 10, 10, 50, 40, 12, 12);
    expectBounds(c.bounds(kRed), 10, 10, 50, 40);
    EXPECT_TRUE(c.is(10, 10, kWhite));  // corners cut
    EXPECT_TRUE(c.is(50, 40, kWhite));
    EXPECT_TRUE(c.is(30, 10, kRed) && c.is(50, 25, kRed));
    EXPECT_TRUE(c.is(30, 25, kBlue));
}

// Every pixel whose centre lies within width / 2 of the segment, and no other.
bool inCapsule(double px, double py, double ax, double ay, double bx, double by, double r) {
    double dx = bx - ax, dy = by - ay;
    double t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy);
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    double ex = ax + t * dx - px, ey = ay + t * dy - py;
    return ex * ex + ey * ey <= r * r + 1e-9;
}

TEST(Lines, GeometricPensHaveSemicircularEnds) {
    Canvas c(80, 80);
    c.geometricPen(2, kRed);
    MoveToEx(c.dc(), 10, 20, nullptr);
    LineTo(c.dc(), 30, 20);
    // Width 2: rows 19 and 20; the ends reach one pixel past each end point.
    expectBounds(c.bounds(kRed), 9, 19, 30, 20);
    EXPECT_EQ(c.count(kRed), 2 * 22);

    // Wide enough to tell a semicircle from a square: the corners of the cap stay clear.
    Canvas wide(80, 80);
    wide.geometricPen(9, kRed);
    MoveToEx(wide.dc(), 20, 40, nullptr);
    LineTo(wide.dc(), 50, 40);
    EXPECT_TRUE(wide.is(54, 40, kRed));
    EXPECT_TRUE(wide.is(20, 44, kRed));
    EXPECT_TRUE(wide.is(54, 44, kWhite));
    EXPECT_TRUE(wide.is(16, 36, kWhite));
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 80; ++x)
            ASSERT_EQ(wide.is(x, y, kRed), inCapsule(x + 0.5, y + 0.5, 20.5, 40.5, 50.5, 40.5, 4.5))
                << x << "," << y;

    // A flat-capped pen stops at the end points.
    Canvas flat(80, 80);
    flat.geometricPen(9, kRed, PS_ENDCAP_FLAT);
    MoveToEx(flat.dc(), 20, 40, nullptr);
    LineTo(flat.dc(), 50, 40);
    EXPECT_TRUE(flat.is(52, 40, kWhite));
    EXPECT_TRUE(flat.is(49, 40, kRed));
}

TEST(Lines, CosmeticLinesExcludeTheirLastPixelAndFollowTheCurrentPosition) {
    Canvas c(40, 40);
    c.pen(PS_SOLID, 1, kRed);
    MoveToEx(c.dc(), 5, 5, nullptr);
    LineTo(c.dc(), 15, 5);
    LineTo(c.dc(), 15, 15);
    EXPECT_EQ(c.count(kRed), 20);
    EXPECT_TRUE(c.is(5, 5, kRed) && c.is(15, 5, kRed) && c.is(15, 14, kRed));
    EXPECT_TRUE(c.is(15, 15, kWhite));
    POINT p;
    GetCurrentPositionEx(c.dc(), &p);
    EXPECT_EQ(p.x, 15);
    EXPECT_EQ(p.y, 15);

    // Dashes alternate; in OPAQUE mode the gaps take the background colour.
    Canvas dashed(80, 10);
    dashed.pen(PS_DASH, 1, kRed);
    SetBkColor(dashed.dc(), kBlue);
    MoveToEx(dashed.dc(), 0, 5, nullptr);
    LineTo(dashed.dc(), 48, 5);
    EXPECT_EQ(dashed.count(kRed), 36);
    EXPECT_EQ(dashed.count(kBlue), 12);
    EXPECT_TRUE(dashed.is(18, 5, kBlue));
}

TEST(Lines, UserStylePensAndNullPens) {
    LOGBRUSH lb{BS_SOLID, kRed, 0};
    EXPECT_EQ(ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE, 2, &lb, 0, nullptr), nullptr);
    Canvas c(100, 20);
    const DWORD pattern[] = {4, 6};
    c.use(ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_FLAT, 2, &lb, 2, pattern));
    MoveToEx(c.dc(), 0, 10, nullptr);
    LineTo(c.dc(), 100, 10);
    EXPECT_EQ(c.count(kRed), 2 * 40);
    EXPECT_TRUE(c.is(1, 10, kRed));
    EXPECT_TRUE(c.is(6, 10, kWhite));

    Canvas none(40, 40);
    none.nullPen();
    none.brush(kBlue);
    MoveToEx(none.dc(), 0, 0, nullptr);
    LineTo(none.dc(), 30, 30);
    Rectangle(none.dc(), 5, 5, 20, 20);
    EXPECT_EQ(none.count(kBlue), 15 * 15);  // only the fill
    EXPECT_EQ(none.count(kWhite), 40 * 40 - 15 * 15);
}

// Nothing is anti-aliased: every pixel is exactly one of the colours drawn.
TEST(Shapes, NoAntiAliasingAnywhere) {
    Canvas c(200, 120);
    c.geometricPen(3, kRed);
    c.brush(kRed);
    Ellipse(c.dc(), 10, 10, 60, 50);
    Pie(c.dc(), 70, 10, 120, 60, 120, 35, 95, 10);
    Arc(c.dc(), 130, 10, 190, 60, 190, 35, 130, 35);
    POINT star[] = {{20, 110}, {40, 60}, {60, 110}, {10, 80}, {70, 80}};
    Polygon(c.dc(), star, 5);
    POINT curve[] = {{80, 110}, {100, 60}, {140, 120}, {190, 70}};
    PolyBezier(c.dc(), curve, 4);
    MoveToEx(c.dc(), 0, 0, nullptr);
    LineTo(c.dc(), 199, 57);
    RoundRect(c.dc(), 150, 70, 195, 115, 30, 20);
    c.font(20);
    SetTextColor(c.dc(), kRed);
    SetBkMode(c.dc(), TRANSPARENT);
    TextOutW(c.dc(), 100, 80, u"思维导图 Mind", 9);
    EXPECT_EQ(c.count(kRed) + c.count(kWhite), 200 * 120);
    EXPECT_GT(c.count(kRed), 3000);
}

TEST(Shapes, PolygonFillModesAndEllipseBounds) {
    Canvas alternate(80, 80), winding(80, 80);
    POINT star[] = {{40, 5}, {60, 75}, {5, 30}, {75, 30}, {20, 75}};
    for (Canvas* c : {&alternate, &winding}) {
        c->nullPen();
        c->brush(kBlue);
    }
    SetPolyFillMode(winding.dc(), WINDING);
    Polygon(alternate.dc(), star, 5);
    Polygon(winding.dc(), star, 5);
    EXPECT_TRUE(alternate.is(40, 40, kWhite));  // the star's centre is outside with ALTERNATE
    EXPECT_TRUE(winding.is(40, 40, kBlue));

    Canvas e(80, 80);
    e.pen(PS_SOLID, 1, kRed);
    e.nullBrush();
    Ellipse(e.dc(), 10, 20, 50, 40);
    expectBounds(e.bounds(kRed), 10, 20, 50, 40);
}

TEST(Shapes, ClipRegionsAndRasterOperations) {
    Canvas c(60, 60);
    HRGN region = CreateRectRgn(10, 10, 30, 30);
    EXPECT_EQ(SelectClipRgn(c.dc(), region), SIMPLEREGION);
    DeleteObject(region);  // the DC keeps its own copy
    c.nullPen();
    c.brush(kBlue);
    Rectangle(c.dc(), 0, 0, 61, 61);
    EXPECT_EQ(c.count(kBlue), 400);
    EXPECT_EQ(c.bounds(kBlue).left, 10);
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(c.dc(), probe), 1);
    RECT box;
    EXPECT_EQ(GetRgnBox(probe, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 30);
    SelectClipRgn(c.dc(), nullptr);
    EXPECT_EQ(GetClipRgn(c.dc(), probe), 0);
    DeleteObject(probe);
    Rectangle(c.dc(), 0, 0, 61, 61);
    EXPECT_EQ(c.count(kBlue), 3600);

    // XOR twice restores; R2_NOP leaves everything.
    Canvas x(30, 30, kGreen);
    x.outlineAndFill(kRed, kBlue);
    SetROP2(x.dc(), R2_XORPEN);
    Rectangle(x.dc(), 5, 5, 20, 20);
    EXPECT_FALSE(x.is(10, 10, kGreen));
    Rectangle(x.dc(), 5, 5, 20, 20);
    EXPECT_EQ(x.count(kGreen), 900);
    SetROP2(x.dc(), R2_NOP);
    Rectangle(x.dc(), 5, 5, 20, 20);
    EXPECT_EQ(x.count(kGreen), 900);
    EXPECT_EQ(GetROP2(x.dc()), R2_NOP);
}

TEST(Shapes, HatchedBrushesHonourTheBackgroundMode) {
    Canvas opaque(32, 32, kGreen), transparent(32, 32, kGreen);
    for (Canvas* c : {&opaque, &transparent}) {
        c->nullPen();
        c->use(CreateHatchBrush(HS_CROSS, kRed));
        SetBkColor(c->dc(), kBlue);
    }
    SetBkMode(transparent.dc(), TRANSPARENT);
    Rectangle(opaque.dc(), 0, 0, 17, 17);
    Rectangle(transparent.dc(), 0, 0, 17, 17);
    EXPECT_EQ(opaque.count(kRed) + opaque.count(kBlue), 17 * 17);
    EXPECT_EQ(transparent.count(kRed), opaque.count(kRed));
    EXPECT_EQ(transparent.count(kBlue), 0);
    EXPECT_GT(opaque.count(kRed), 40);
    EXPECT_LT(opaque.count(kRed), 100);
}

TEST(Shapes, FloodFillByBorderAndBySurface) {
    Canvas c(40, 40);
    c.pen(PS_SOLID, 1, kRed);
    c.nullBrush();
    Rectangle(c.dc(), 5, 5, 20, 20);
    c.brush(kBlue);
    EXPECT_TRUE(ExtFloodFill(c.dc(), 10, 10, kRed, FLOODFILLBORDER));
    EXPECT_EQ(c.count(kBlue), 14 * 14);
    EXPECT_FALSE(ExtFloodFill(c.dc(), 5, 5, kRed, FLOODFILLBORDER));  // seed on the border
    c.brush(kGreen);
    EXPECT_TRUE(ExtFloodFill(c.dc(), 0, 0, kWhite, FLOODFILLSURFACE));
    EXPECT_EQ(c.count(kWhite), 0);
    EXPECT_EQ(c.count(kBlue), 14 * 14);
}

}  // namespace
