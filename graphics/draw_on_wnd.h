// DrawOnWnd, the window device: the image device with every operation that touches the
// drawing context taken under the device lock (the window thread copies the same back buffer
// to the screen), plus the window-only operations: opening and closing the window and batch
// drawing.
#pragma once

#include "graphics/draw_on_img.h"

namespace Gfx {

class DrawOnWnd : public DrawOnImg {
  public:
    using DrawOnImg::setFillStyle;
    using DrawOnImg::setLineStyle;
    using DrawOnImg::setTextStyle;

    ~DrawOnWnd() override;
    void clearDevice() override;
    void setTextColor(COLORREF colour) override;
    void setBackgroundColor(COLORREF colour) override;
    int getBackgroundMode() override;
    void setBackgroundMode(int mode) override;
    void setOrigin(int x, int y) override;
    void setClipRegion(HRGN region) override;
    void clearClipRegion() override;
    void setClipRectangle(int left, int top, int right, int bottom) override;
    void clearDevicePart(int left, int top, int right, int bottom) override;
    void setLineStyle(const LINESTYLE* style) override;
    void setFillStyle(const FILLSTYLE* style) override;
    void setFillColor(COLORREF colour) override;
    void setAspectRatio(float x, float y) override;
    int getRop2() override;
    void setRop2(int mode) override;
    int getPolyFillMode() override;
    void setPolyFillMode(int mode) override;
    COLORREF getPixel(int x, int y) override;
    void putPixel(int x, int y, COLORREF colour) override;
    void drawLine(int x1, int y1, int x2, int y2) override;
    void fillRectangle(int left, int top, int right, int bottom) override;
    void fillCircle(int x, int y, int radius) override;
    void fillEllipse(int left, int top, int right, int bottom) override;
    void fillRoundRect(int left, int top, int right, int bottom, int ellipseWidth,
                       int ellipseHeight) override;
    void drawArc(int left, int top, int right, int bottom, double startAngle, double endAngle) override;
    void fillPie(int left, int top, int right, int bottom, double startAngle, double endAngle) override;
    void drawPolyline(const POINT* points, int count) override;
    void fillPolygon(const POINT* points, int count) override;
    void drawPolyBezier(const POINT* points, int count) override;
    void floodFill(int x, int y, COLORREF colour, int fillType) override;
    void drawTextAt(int x, int y, const char16_t* text) override;
    int drawTextInRect(const char16_t* text, RECT* rect, UINT format) override;
    int getTextWidth(const char16_t* text) override;
    int getTextHeight(const char16_t* text) override;
    void setTextStyle(const LOGFONTW* font) override;
    void getTextStyle(LOGFONTW* out) override;

    virtual HWND openWindow(int width, int height, int flags);
    virtual void closeWindow();
    virtual void beginBatchDraw();
    virtual void flushBatchDraw(int left, int top, int right, int bottom);
    virtual void flushBatchDraw();
    virtual void endBatchDraw(int left, int top, int right, int bottom);
    virtual void endBatchDraw();
    virtual void endChangedBatchDraw(const RECT* parts, int count);
};

}  // namespace Gfx
