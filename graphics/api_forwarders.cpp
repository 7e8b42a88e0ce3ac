// The drawing functions of the flat graphics API: each calls the same operation on the current
// device. With no working target (before the first window or image, after a teardown) they do
// nothing. The API's other functions live with what they serve: the window's opening in
// draw_on_wnd.cpp, the working target and batches in working_target_and_batch.cpp, input in
// input_queue.cpp, mouse capture in graph_wnd.cpp, the caret in text_caret.cpp.
#include "graphics/draw_on_img.h"
#include "graphics/graphics.h"
#include "graphics/library_state.h"

namespace Gfx {

namespace {

// The one-character forms pass the character in a zero-filled buffer of 16.
struct CharacterText {
    explicit CharacterText(char16_t character) : text{character} {}
    char16_t text[16];
};

}  // namespace

void clearDevice() {
    if (DrawOnImg* device = library.currentDevice) device->clearDevice();
}

COLORREF getLineColor() {
    DrawOnImg* device = library.currentDevice;
    return device != nullptr ? device->getLineColor() : 0;
}

void setLineColor(COLORREF colour) {
    if (DrawOnImg* device = library.currentDevice) device->setLineColor(colour);
}

COLORREF getTextColor() {
    DrawOnImg* device = library.currentDevice;
    return device != nullptr ? device->getTextColor() : 0;
}

void setTextColor(COLORREF colour) {
    if (DrawOnImg* device = library.currentDevice) device->setTextColor(colour);
}

COLORREF getBackgroundColor() {
    DrawOnImg* device = library.currentDevice;
    return device != nullptr ? device->getBackgroundColor() : 0;
}

void setBackgroundColor(COLORREF colour) {
    if (DrawOnImg* device = library.currentDevice) device->setBackgroundColor(colour);
}

int getBackgroundMode() {
    DrawOnImg* device = library.currentDevice;
    return device != nullptr ? device->getBackgroundMode() : 0;
}

void setBackgroundMode(int mode) {
    if (DrawOnImg* device = library.currentDevice) device->setBackgroundMode(mode);
}

void setOrigin(int x, int y) {
    if (DrawOnImg* device = library.currentDevice) device->setOrigin(x, y);
}

void setClipRegion(HRGN region) {
    if (DrawOnImg* device = library.currentDevice) device->setClipRegion(region);
}

void setClipRectangle(int left, int top, int right, int bottom) {
    if (DrawOnImg* device = library.currentDevice) device->setClipRectangle(left, top, right, bottom);
}

void clearDevicePart(int left, int top, int right, int bottom) {
    if (DrawOnImg* device = library.currentDevice) device->clearDevicePart(left, top, right, bottom);
}

void clearClipRegion() {
    if (DrawOnImg* device = library.currentDevice) device->clearClipRegion();
}

void getLineStyle(LINESTYLE* out) {
    if (DrawOnImg* device = library.currentDevice) device->getLineStyle(out);
}

void setLineStyle(int style, int thickness, const DWORD* userPattern, DWORD patternCount) {
    if (DrawOnImg* device = library.currentDevice)
        device->setLineStyle(style, thickness, userPattern, patternCount);
}

void setLineStyle(const LINESTYLE* style) {
    if (DrawOnImg* device = library.currentDevice) device->setLineStyle(style);
}

void getFillStyle(FILLSTYLE* out) {
    if (DrawOnImg* device = library.currentDevice) device->getFillStyle(out);
}

void setFillStyle(int style, int hatch, IMAGE* pattern) {
    if (DrawOnImg* device = library.currentDevice) device->setFillStyle(style, hatch, pattern);
}

void setFillStyle(const BYTE* patternBytes) {
    if (DrawOnImg* device = library.currentDevice) device->setFillStyle(patternBytes);
}

void setFillStyle(const FILLSTYLE* style) {
    if (DrawOnImg* device = library.currentDevice) device->setFillStyle(style);
}

COLORREF getFillColor() {
    DrawOnImg* device = library.currentDevice;
    return device != nullptr ? device->getFillColor() : 0;
}

void setFillColor(COLORREF colour) {
    if (DrawOnImg* device = library.currentDevice) device->setFillColor(colour);
}

void getAspectRatio(float* x, float* y) {
    if (DrawOnImg* device = library.currentDevice) device->getAspectRatio(x, y);
}

void setAspectRatio(float x, float y) {
    if (DrawOnImg* device = library.currentDevice) device->setAspectRatio(x, y);
}

int getRop2() {
    DrawOnImg* device = library.currentDevice;
    return device != nullptr ? device->getRop2() : 0;
}

void setRop2(int mode) {
    if (DrawOnImg* device = library.currentDevice) device->setRop2(mode);
}

int getPolyFillMode() {
    DrawOnImg* device = library.currentDevice;
    return device != nullptr ? device->getPolyFillMode() : 0;
}

void setPolyFillMode(int mode) {
    if (DrawOnImg* device = library.currentDevice) device->setPolyFillMode(mode);
}

void resetDefaults() {
    if (DrawOnImg* device = library.currentDevice) device->resetDefaults();
}

COLORREF getPixel(int x, int y) {
    DrawOnImg* device = library.currentDevice;
    return device != nullptr ? device->getPixel(x, y) : 0;
}

void putPixel(int x, int y, COLORREF colour) {
    if (DrawOnImg* device = library.currentDevice) device->putPixel(x, y, colour);
}

void drawLine(int x1, int y1, int x2, int y2) {
    if (DrawOnImg* device = library.currentDevice) device->drawLine(x1, y1, x2, y2);
}

void drawRectangle(int left, int top, int right, int bottom) {
    if (DrawOnImg* device = library.currentDevice) device->drawRectangle(left, top, right, bottom);
}

void fillRectangle(int left, int top, int right, int bottom) {
    if (DrawOnImg* device = library.currentDevice) device->fillRectangle(left, top, right, bottom);
}

void solidRectangle(int left, int top, int right, int bottom) {
    if (DrawOnImg* device = library.currentDevice) device->solidRectangle(left, top, right, bottom);
}

void clearRectangle(int left, int top, int right, int bottom) {
    if (DrawOnImg* device = library.currentDevice) device->clearRectangle(left, top, right, bottom);
}

void drawCircle(int x, int y, int radius) {
    if (DrawOnImg* device = library.currentDevice) device->drawCircle(x, y, radius);
}

void fillCircle(int x, int y, int radius) {
    if (DrawOnImg* device = library.currentDevice) device->fillCircle(x, y, radius);
}

void solidCircle(int x, int y, int radius) {
    if (DrawOnImg* device = library.currentDevice) device->solidCircle(x, y, radius);
}

void clearCircle(int x, int y, int radius) {
    if (DrawOnImg* device = library.currentDevice) device->clearCircle(x, y, radius);
}

void drawEllipse(int left, int top, int right, int bottom) {
    if (DrawOnImg* device = library.currentDevice) device->drawEllipse(left, top, right, bottom);
}

void fillEllipse(int left, int top, int right, int bottom) {
    if (DrawOnImg* device = library.currentDevice) device->fillEllipse(left, top, right, bottom);
}

void solidEllipse(int left, int top, int right, int bottom) {
    if (DrawOnImg* device = library.currentDevice) device->solidEllipse(left, top, right, bottom);
}

void clearEllipse(int left, int top, int right, int bottom) {
    if (DrawOnImg* device = library.currentDevice) device->clearEllipse(left, top, right, bottom);
}

void drawRoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight) {
    if (DrawOnImg* device = library.currentDevice)
        device->drawRoundRect(left, top, right, bottom, ellipseWidth, ellipseHeight);
}

void fillRoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight) {
    if (DrawOnImg* device = library.currentDevice)
        device->fillRoundRect(left, top, right, bottom, ellipseWidth, ellipseHeight);
}

void solidRoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight) {
    if (DrawOnImg* device = library.currentDevice)
        device->solidRoundRect(left, top, right, bottom, ellipseWidth, ellipseHeight);
}

void clearRoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight) {
    if (DrawOnImg* device = library.currentDevice)
        device->clearRoundRect(left, top, right, bottom, ellipseWidth, ellipseHeight);
}

void drawArc(int left, int top, int right, int bottom, double startAngle, double endAngle) {
    if (DrawOnImg* device = library.currentDevice)
        device->drawArc(left, top, right, bottom, startAngle, endAngle);
}

void drawPie(int left, int top, int right, int bottom, double startAngle, double endAngle) {
    if (DrawOnImg* device = library.currentDevice)
        device->drawPie(left, top, right, bottom, startAngle, endAngle);
}

void fillPie(int left, int top, int right, int bottom, double startAngle, double endAngle) {
    if (DrawOnImg* device = library.currentDevice)
        device->fillPie(left, top, right, bottom, startAngle, endAngle);
}

void solidPie(int left, int top, int right, int bottom, double startAngle, double endAngle) {
    if (DrawOnImg* device = library.currentDevice)
        device->solidPie(left, top, right, bottom, startAngle, endAngle);
}

void clearPie(int left, int top, int right, int bottom, double startAngle, double endAngle) {
    if (DrawOnImg* device = library.currentDevice)
        device->clearPie(left, top, right, bottom, startAngle, endAngle);
}

void drawPolyline(const POINT* points, int count) {
    if (DrawOnImg* device = library.currentDevice) device->drawPolyline(points, count);
}

void drawPolygon(const POINT* points, int count) {
    if (DrawOnImg* device = library.currentDevice) device->drawPolygon(points, count);
}

void fillPolygon(const POINT* points, int count) {
    if (DrawOnImg* device = library.currentDevice) device->fillPolygon(points, count);
}

void solidPolygon(const POINT* points, int count) {
    if (DrawOnImg* device = library.currentDevice) device->solidPolygon(points, count);
}

void clearPolygon(const POINT* points, int count) {
    if (DrawOnImg* device = library.currentDevice) device->clearPolygon(points, count);
}

void drawPolyBezier(const POINT* points, int count) {
    if (DrawOnImg* device = library.currentDevice) device->drawPolyBezier(points, count);
}

void floodFill(int x, int y, COLORREF colour, int fillType) {
    if (DrawOnImg* device = library.currentDevice) device->floodFill(x, y, colour, fillType);
}

void drawTextAt(int x, int y, const char16_t* text) {
    if (DrawOnImg* device = library.currentDevice) device->drawTextAt(x, y, text);
}

int drawTextInRect(const char16_t* text, RECT* rect, UINT format) {
    DrawOnImg* device = library.currentDevice;
    return device != nullptr ? device->drawTextInRect(text, rect, format) : 0;
}

int getTextWidth(const char16_t* text) {
    DrawOnImg* device = library.currentDevice;
    return device != nullptr ? device->getTextWidth(text) : 0;
}

int getTextHeight(const char16_t* text) {
    DrawOnImg* device = library.currentDevice;
    return device != nullptr ? device->getTextHeight(text) : 0;
}

void setTextStyle(const LOGFONTW* font) {
    if (DrawOnImg* device = library.currentDevice) device->setTextStyle(font);
}

void setTextStyle(int height, int width, const char16_t* face, int escapement, int orientation, int weight,
                  bool italic, bool underline, bool strikeOut, BYTE charSet, BYTE outPrecision,
                  BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily) {
    if (DrawOnImg* device = library.currentDevice)
        device->setTextStyle(height, width, face, escapement, orientation, weight, italic, underline,
                             strikeOut, charSet, outPrecision, clipPrecision, quality, pitchAndFamily);
}

void setTextStyle(int height, int width, const char16_t* face, int escapement, int orientation, int weight,
                  bool italic, bool underline, bool strikeOut) {
    if (DrawOnImg* device = library.currentDevice)
        device->setTextStyle(height, width, face, escapement, orientation, weight, italic, underline,
                             strikeOut);
}

void setTextStyle(int height, int width, const char16_t* face) {
    if (DrawOnImg* device = library.currentDevice) device->setTextStyle(height, width, face);
}

void getTextStyle(LOGFONTW* out) {
    if (DrawOnImg* device = library.currentDevice) device->getTextStyle(out);
}

int getWidth() {
    DrawOnImg* device = library.currentDevice;
    return device != nullptr ? device->getWidth() : 0;
}

int getHeight() {
    DrawOnImg* device = library.currentDevice;
    return device != nullptr ? device->getHeight() : 0;
}

void drawTextAt(int x, int y, char16_t character) {
    drawTextAt(x, y, CharacterText(character).text);
}

int drawTextInRect(char16_t character, RECT* rect, UINT format) {
    return drawTextInRect(CharacterText(character).text, rect, format);
}

int getTextWidth(char16_t character) {
    return getTextWidth(CharacterText(character).text);
}

int getTextHeight(char16_t character) {
    return getTextHeight(CharacterText(character).text);
}

}  // namespace Gfx
