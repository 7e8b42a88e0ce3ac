// DrawOnWnd: the locked forwarders. Each holds the device lock for one platform operation.
#include "graphics/draw_on_wnd.h"

#include "graphics/library_state.h"

namespace Gfx {

DrawOnWnd::~DrawOnWnd() = default;

void DrawOnWnd::clearDevice() {
    DeviceLock lock;
    DrawOnImg::clearDevice();
}

void DrawOnWnd::setTextColor(COLORREF colour) {
    DeviceLock lock;
    DrawOnImg::setTextColor(colour);
}

void DrawOnWnd::setBackgroundColor(COLORREF colour) {
    DeviceLock lock;
    DrawOnImg::setBackgroundColor(colour);
}

int DrawOnWnd::getBackgroundMode() {
    DeviceLock lock;
    return DrawOnImg::getBackgroundMode();
}

void DrawOnWnd::setBackgroundMode(int mode) {
    DeviceLock lock;
    DrawOnImg::setBackgroundMode(mode);
}

void DrawOnWnd::setOrigin(int x, int y) {
    DeviceLock lock;
    DrawOnImg::setOrigin(x, y);
}

void DrawOnWnd::setClipRegion(HRGN region) {
    DeviceLock lock;
    DrawOnImg::setClipRegion(region);
}

void DrawOnWnd::clearClipRegion() {
    DeviceLock lock;
    DrawOnImg::clearClipRegion();
}

void DrawOnWnd::setLineStyle(const LINESTYLE* style) {
    DeviceLock lock;
    DrawOnImg::setLineStyle(style);
}

void DrawOnWnd::setFillStyle(const FILLSTYLE* style) {
    DeviceLock lock;
    DrawOnImg::setFillStyle(style);
}

void DrawOnWnd::setFillColor(COLORREF colour) {
    DeviceLock lock;
    DrawOnImg::setFillColor(colour);
}

void DrawOnWnd::setAspectRatio(float x, float y) {
    DeviceLock lock;
    DrawOnImg::setAspectRatio(x, y);
}

int DrawOnWnd::getRop2() {
    DeviceLock lock;
    return DrawOnImg::getRop2();
}

void DrawOnWnd::setRop2(int mode) {
    DeviceLock lock;
    DrawOnImg::setRop2(mode);
}

int DrawOnWnd::getPolyFillMode() {
    DeviceLock lock;
    return DrawOnImg::getPolyFillMode();
}

void DrawOnWnd::setPolyFillMode(int mode) {
    DeviceLock lock;
    DrawOnImg::setPolyFillMode(mode);
}

COLORREF DrawOnWnd::getPixel(int x, int y) {
    DeviceLock lock;
    return DrawOnImg::getPixel(x, y);
}

void DrawOnWnd::putPixel(int x, int y, COLORREF colour) {
    DeviceLock lock;
    DrawOnImg::putPixel(x, y, colour);
}

void DrawOnWnd::drawLine(int x1, int y1, int x2, int y2) {
    DeviceLock lock;
    DrawOnImg::drawLine(x1, y1, x2, y2);
}

void DrawOnWnd::fillRectangle(int left, int top, int right, int bottom) {
    DeviceLock lock;
    DrawOnImg::fillRectangle(left, top, right, bottom);
}

void DrawOnWnd::fillCircle(int x, int y, int radius) {
    DeviceLock lock;
    DrawOnImg::fillCircle(x, y, radius);
}

void DrawOnWnd::fillEllipse(int left, int top, int right, int bottom) {
    DeviceLock lock;
    DrawOnImg::fillEllipse(left, top, right, bottom);
}

void DrawOnWnd::fillRoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight) {
    DeviceLock lock;
    DrawOnImg::fillRoundRect(left, top, right, bottom, ellipseWidth, ellipseHeight);
}

void DrawOnWnd::drawArc(int left, int top, int right, int bottom, double startAngle, double endAngle) {
    DeviceLock lock;
    DrawOnImg::drawArc(left, top, right, bottom, startAngle, endAngle);
}

void DrawOnWnd::fillPie(int left, int top, int right, int bottom, double startAngle, double endAngle) {
    DeviceLock lock;
    DrawOnImg::fillPie(left, top, right, bottom, startAngle, endAngle);
}

void DrawOnWnd::drawPolyline(const POINT* points, int count) {
    DeviceLock lock;
    DrawOnImg::drawPolyline(points, count);
}

void DrawOnWnd::fillPolygon(const POINT* points, int count) {
    DeviceLock lock;
    DrawOnImg::fillPolygon(points, count);
}

void DrawOnWnd::drawPolyBezier(const POINT* points, int count) {
    DeviceLock lock;
    DrawOnImg::drawPolyBezier(points, count);
}

void DrawOnWnd::floodFill(int x, int y, COLORREF colour, int fillType) {
    DeviceLock lock;
    DrawOnImg::floodFill(x, y, colour, fillType);
}

void DrawOnWnd::drawTextAt(int x, int y, const char16_t* text) {
    DeviceLock lock;
    DrawOnImg::drawTextAt(x, y, text);
}

int DrawOnWnd::drawTextInRect(const char16_t* text, RECT* rect, UINT format) {
    DeviceLock lock;
    return DrawOnImg::drawTextInRect(text, rect, format);
}

int DrawOnWnd::getTextWidth(const char16_t* text) {
    DeviceLock lock;
    return DrawOnImg::getTextWidth(text);
}

int DrawOnWnd::getTextHeight(const char16_t* text) {
    DeviceLock lock;
    return DrawOnImg::getTextHeight(text);
}

void DrawOnWnd::setTextStyle(const LOGFONTW* font) {
    DeviceLock lock;
    DrawOnImg::setTextStyle(font);
}

void DrawOnWnd::getTextStyle(LOGFONTW* out) {
    DeviceLock lock;
    DrawOnImg::getTextStyle(out);
}

}  // namespace Gfx
