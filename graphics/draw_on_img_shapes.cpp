// DrawOnImg: pixels, lines and shapes. The fill-and-outline forms call the platform; the
// outline-only, fill-only and clearing forms are made of other device operations, swapping
// the brush or the pen out and back.
#include <climits>
#include <cmath>
#include <utility>

#include "graphics/draw_on_img.h"
#include "graphics/draw_on_img_target.h"
#include "graphics/gdi_binding.h"

namespace Gfx {

namespace {

// The platform leaves out the right and bottom edge of a shape drawn without outline.
int widened(int edge) {
    return edge == INT_MAX ? edge : edge + 1;
}

void orderCorners(int& left, int& top, int& right, int& bottom) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
}

template <typename Draw>
void withoutFill(DrawOnImg& device, Draw draw) {
    FILLSTYLE saved;
    device.getFillStyle(&saved);
    if (saved.style != BS_NULL) device.setFillStyle(BS_NULL, 0, nullptr);
    draw();
    if (saved.style != BS_NULL) device.setFillStyle(&saved);
}

template <typename Draw>
void withoutOutline(DrawOnImg& device, Draw draw) {
    LINESTYLE saved;
    device.getLineStyle(&saved);
    if (saved.style != PS_NULL) device.setLineStyle(PS_NULL, 1, nullptr, 0);
    draw();
    if (saved.style != PS_NULL) device.setLineStyle(&saved);
}

// Fills with the background colour in a solid style, then restores the fill colour and style.
template <typename Draw>
void withBackgroundFill(DrawOnImg& device, Draw draw) {
    IMAGE& image = currentImage();
    const COLORREF savedColour = image.fillColor;
    FILLSTYLE saved;
    device.getFillStyle(&saved);
    image.fillColor = image.backgroundColor;
    device.setFillStyle(BS_SOLID, 0, nullptr);
    draw();
    image.fillColor = savedColour;
    device.setFillStyle(&saved);
}

// The fill-only form of a shape in a bounding box: its fill-and-outline form `fill` without the
// pen, with the corners in order and the right and bottom edges taken in.
template <typename Fill>
void fillOnlyInBox(DrawOnImg& device, int left, int top, int right, int bottom, Fill fill) {
    withoutOutline(device, [&] {
        orderCorners(left, top, right, bottom);
        fill(left, top, widened(right), widened(bottom));
    });
}

}  // namespace

// The outline-only form of a shape is its fill-and-outline form under a null brush; its clearing
// form is its fill-only form in the background colour.
#define MM_OUTLINE_AND_CLEARING_FORMS(Shape, parameters, arguments) \
    void DrawOnImg::draw##Shape parameters {                        \
        withoutFill(*this, [&] { fill##Shape arguments; });         \
    }                                                               \
                                                                    \
    void DrawOnImg::clear##Shape parameters {                       \
        withBackgroundFill(*this, [&] { solid##Shape arguments; }); \
    }

MM_OUTLINE_AND_CLEARING_FORMS(Rectangle, (int left, int top, int right, int bottom),
                              (left, top, right, bottom))
MM_OUTLINE_AND_CLEARING_FORMS(Circle, (int x, int y, int radius), (x, y, radius))
MM_OUTLINE_AND_CLEARING_FORMS(Ellipse, (int left, int top, int right, int bottom), (left, top, right, bottom))
MM_OUTLINE_AND_CLEARING_FORMS(RoundRect,
                              (int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight),
                              (left, top, right, bottom, ellipseWidth, ellipseHeight))
MM_OUTLINE_AND_CLEARING_FORMS(Pie,
                              (int left, int top, int right, int bottom, double startAngle, double endAngle),
                              (left, top, right, bottom, startAngle, endAngle))
MM_OUTLINE_AND_CLEARING_FORMS(Polygon, (const POINT* points, int count), (points, count))

#undef MM_OUTLINE_AND_CLEARING_FORMS

COLORREF DrawOnImg::getPixel(int x, int y) {
    return gdi.GetPixel(currentContext(), x, y);
}

void DrawOnImg::putPixel(int x, int y, COLORREF colour) {
    gdi.SetPixelV(currentContext(), x, y, colour);
}

void DrawOnImg::drawLine(int x1, int y1, int x2, int y2) {
    HDC dc = currentContext();
    gdi.MoveToEx(dc, x1, y1, nullptr);
    gdi.LineTo(dc, x2, y2);
}

void DrawOnImg::fillRectangle(int left, int top, int right, int bottom) {
    gdi.Rectangle(currentContext(), left, top, right, bottom);
}

void DrawOnImg::solidRectangle(int left, int top, int right, int bottom) {
    fillOnlyInBox(*this, left, top, right, bottom,
                  [&](int l, int t, int r, int b) { fillRectangle(l, t, r, b); });
}

void DrawOnImg::computeArcPoints(int left, int top, int right, int bottom, double startAngle, double endAngle,
                                 POINT* start, POINT* end) {
    const double centreX = (static_cast<double>(left) + right) / 2.0;
    const double centreY = (static_cast<double>(top) + bottom) / 2.0;
    const double radiusX = (static_cast<double>(right) - left) / 2.0;
    const double radiusY = (static_cast<double>(bottom) - top) / 2.0;
    // y grows downward: counter-clockwise on the screen subtracts the sine.
    start->x = static_cast<LONG>(std::lround(centreX + radiusX * std::cos(startAngle)));
    start->y = static_cast<LONG>(std::lround(centreY - radiusY * std::sin(startAngle)));
    end->x = static_cast<LONG>(std::lround(centreX + radiusX * std::cos(endAngle)));
    end->y = static_cast<LONG>(std::lround(centreY - radiusY * std::sin(endAngle)));
}

void DrawOnImg::fillCircle(int x, int y, int radius) {
    gdi.Ellipse(currentContext(), x - radius, y - radius, x + radius, y + radius);
}

void DrawOnImg::solidCircle(int x, int y, int radius) {
    withoutOutline(*this,
                   [&] { fillEllipse(x - radius, y - radius, widened(x + radius), widened(y + radius)); });
}

void DrawOnImg::fillEllipse(int left, int top, int right, int bottom) {
    gdi.Ellipse(currentContext(), left, top, right, bottom);
}

void DrawOnImg::solidEllipse(int left, int top, int right, int bottom) {
    fillOnlyInBox(*this, left, top, right, bottom,
                  [&](int l, int t, int r, int b) { fillEllipse(l, t, r, b); });
}

void DrawOnImg::fillRoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight) {
    gdi.RoundRect(currentContext(), left, top, right, bottom, ellipseWidth, ellipseHeight);
}

void DrawOnImg::solidRoundRect(int left, int top, int right, int bottom, int ellipseWidth,
                               int ellipseHeight) {
    fillOnlyInBox(*this, left, top, right, bottom, [&](int l, int t, int r, int b) {
        fillRoundRect(l, t, r, b, ellipseWidth, ellipseHeight);
    });
}

void DrawOnImg::drawArc(int left, int top, int right, int bottom, double startAngle, double endAngle) {
    POINT start = {};
    POINT end = {};
    computeArcPoints(left, top, right, bottom, startAngle, endAngle, &start, &end);
    gdi.Arc(currentContext(), left, top, right, bottom, start.x, start.y, end.x, end.y);
}

void DrawOnImg::fillPie(int left, int top, int right, int bottom, double startAngle, double endAngle) {
    POINT start = {};
    POINT end = {};
    computeArcPoints(left, top, right, bottom, startAngle, endAngle, &start, &end);
    gdi.Pie(currentContext(), left, top, right, bottom, start.x, start.y, end.x, end.y);
}

void DrawOnImg::solidPie(int left, int top, int right, int bottom, double startAngle, double endAngle) {
    fillOnlyInBox(*this, left, top, right, bottom,
                  [&](int l, int t, int r, int b) { fillPie(l, t, r, b, startAngle, endAngle); });
}

void DrawOnImg::drawPolyline(const POINT* points, int count) {
    if (points == nullptr || count <= 0) return;
    gdi.Polyline(currentContext(), points, count);
}

void DrawOnImg::fillPolygon(const POINT* points, int count) {
    if (points == nullptr || count <= 0) return;
    gdi.Polygon(currentContext(), points, count);
}

void DrawOnImg::solidPolygon(const POINT* points, int count) {
    withoutOutline(*this, [&] { fillPolygon(points, count); });
}

void DrawOnImg::drawPolyBezier(const POINT* points, int count) {
    if (points == nullptr || count <= 0) return;
    gdi.PolyBezier(currentContext(), points, static_cast<DWORD>(count));
}

void DrawOnImg::floodFill(int x, int y, COLORREF colour, int fillType) {
    gdi.ExtFloodFill(currentContext(), x, y, colour, static_cast<UINT>(fillType));
}

}  // namespace Gfx
