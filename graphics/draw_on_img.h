// DrawOnImg, the drawing device: every drawing operation of the layer, applied to the current
// target (`library.currentTarget`) and its drawing context (`library.currentDC`), without
// locking. The order of the virtual operations is part of the device's contract.
#pragma once

#include <windows.h>

namespace Gfx {

struct IMAGE;
struct LINESTYLE;
struct FILLSTYLE;

class DrawOnImg {
  public:
    DrawOnImg() = default;
    DrawOnImg(const DrawOnImg&) = delete;
    DrawOnImg& operator=(const DrawOnImg&) = delete;

    virtual ~DrawOnImg();
    virtual void clearDevice();
    virtual COLORREF getLineColor();
    virtual void setLineColor(COLORREF colour);
    virtual COLORREF getTextColor();
    virtual void setTextColor(COLORREF colour);
    virtual COLORREF getBackgroundColor();
    virtual void setBackgroundColor(COLORREF colour);
    virtual int getBackgroundMode();
    virtual void setBackgroundMode(int mode);
    virtual void setOrigin(int x, int y);
    virtual void setClipRegion(HRGN region);
    virtual void clearClipRegion();
    virtual void setClipRectangle(int left, int top, int right, int bottom);
    virtual void clearDevicePart(int left, int top, int right, int bottom);
    virtual void getLineStyle(LINESTYLE* out);
    virtual void setLineStyle(int style, int thickness, const DWORD* userPattern, DWORD patternCount);
    virtual void setLineStyle(const LINESTYLE* style);
    virtual void getFillStyle(FILLSTYLE* out);
    virtual void setFillStyle(int style, int hatch, IMAGE* pattern);
    virtual void setFillStyle(const BYTE* patternBytes);
    virtual void setFillStyle(const FILLSTYLE* style);
    virtual COLORREF getFillColor();
    virtual void setFillColor(COLORREF colour);
    virtual void getAspectRatio(float* x, float* y);
    virtual void setAspectRatio(float x, float y);
    virtual int getRop2();
    virtual void setRop2(int mode);
    virtual int getPolyFillMode();
    virtual void setPolyFillMode(int mode);
    virtual void resetDefaults();
    virtual COLORREF getPixel(int x, int y);
    virtual void putPixel(int x, int y, COLORREF colour);
    virtual void drawLine(int x1, int y1, int x2, int y2);
    virtual void drawRectangle(int left, int top, int right, int bottom);
    virtual void fillRectangle(int left, int top, int right, int bottom);
    virtual void solidRectangle(int left, int top, int right, int bottom);
    virtual void clearRectangle(int left, int top, int right, int bottom);
    // End points of an arc of the ellipse in the bounding box, angles in radians
    // counter-clockwise from the positive x axis.
    virtual void computeArcPoints(int left, int top, int right, int bottom, double startAngle,
                                  double endAngle, POINT* start, POINT* end);
    virtual void drawCircle(int x, int y, int radius);
    virtual void fillCircle(int x, int y, int radius);
    virtual void solidCircle(int x, int y, int radius);
    virtual void clearCircle(int x, int y, int radius);
    virtual void drawEllipse(int left, int top, int right, int bottom);
    virtual void fillEllipse(int left, int top, int right, int bottom);
    virtual void solidEllipse(int left, int top, int right, int bottom);
    virtual void clearEllipse(int left, int top, int right, int bottom);
    virtual void drawRoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
    virtual void fillRoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
    virtual void solidRoundRect(int left, int top, int right, int bottom, int ellipseWidth,
                                int ellipseHeight);
    virtual void clearRoundRect(int left, int top, int right, int bottom, int ellipseWidth,
                                int ellipseHeight);
    virtual void drawArc(int left, int top, int right, int bottom, double startAngle, double endAngle);
    virtual void drawPie(int left, int top, int right, int bottom, double startAngle, double endAngle);
    virtual void fillPie(int left, int top, int right, int bottom, double startAngle, double endAngle);
    virtual void solidPie(int left, int top, int right, int bottom, double startAngle, double endAngle);
    virtual void clearPie(int left, int top, int right, int bottom, double startAngle, double endAngle);
    virtual void drawPolyline(const POINT* points, int count);
    virtual void drawPolygon(const POINT* points, int count);
    virtual void fillPolygon(const POINT* points, int count);
    virtual void solidPolygon(const POINT* points, int count);
    virtual void clearPolygon(const POINT* points, int count);
    virtual void drawPolyBezier(const POINT* points, int count);
    virtual void floodFill(int x, int y, COLORREF colour, int fillType);
    virtual void drawTextAt(int x, int y, const char16_t* text);
    virtual int drawTextInRect(const char16_t* text, RECT* rect, UINT format);
    virtual int getTextWidth(const char16_t* text);
    virtual int getTextHeight(const char16_t* text);
    virtual void setTextStyle(const LOGFONTW* font);
    virtual void setTextStyle(int height, int width, const char16_t* face, int escapement, int orientation,
                              int weight, bool italic, bool underline, bool strikeOut, BYTE charSet,
                              BYTE outPrecision, BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily);
    virtual void setTextStyle(int height, int width, const char16_t* face, int escapement, int orientation,
                              int weight, bool italic, bool underline, bool strikeOut);
    virtual void setTextStyle(int height, int width, const char16_t* face);
    virtual void getTextStyle(LOGFONTW* out);
    virtual int getWidth();
    virtual int getHeight();
};

}  // namespace Gfx
