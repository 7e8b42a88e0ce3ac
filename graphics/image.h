// IMAGE, a drawing target: a 32-bit top-down pixel store, a memory drawing context and the
// drawing state that goes with it; LINESTYLE and FILLSTYLE, the style records it carries.
#pragma once

#include <windows.h>

namespace Gfx {

// The world transform of a context that draws pixels where their coordinates say.
inline constexpr XFORM kIdentityTransform = {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};

struct IMAGE;

struct LINESTYLE {
    LINESTYLE();
    LINESTYLE(const LINESTYLE& other);
    LINESTYLE& operator=(const LINESTYLE& other);
    virtual ~LINESTYLE();

    int style;  // PS_* in the low four bits, end-cap and join bits above
    int thickness;
    DWORD* userPattern;  // owned; only with PS_USERSTYLE
    DWORD patternCount;
};

struct FILLSTYLE {
    FILLSTYLE();
    FILLSTYLE(const FILLSTYLE& other);
    FILLSTYLE& operator=(const FILLSTYLE& other);
    virtual ~FILLSTYLE();

    int style;            // BS_*
    int hatch;            // HS_*, with BS_HATCHED
    IMAGE* patternImage;  // owned; with BS_PATTERN and BS_DIBPATTERN
};

struct IMAGE {
    // Takes a library reference (starting the layer on the first one). A zero size leaves the
    // image without a pixel store until it is resized.
    explicit IMAGE(int width = 0, int height = 0);
    // Copies size and pixels, not the drawing state.
    IMAGE(const IMAGE& other);
    IMAGE& operator=(const IMAGE& other);

    // Restores the drawing state to its defaults and applies it to the drawing context.
    virtual void resetDefaults();
    virtual ~IMAGE();
    // Keeps the old content at the top-left; a zero width or height changes nothing.
    virtual void resize(int width, int height);

    int width = 0;
    int height = 0;
    HBITMAP bitmap = nullptr;
    HDC memoryDC = nullptr;
    XFORM transform = kIdentityTransform;  // eM11/eM22 the aspect ratio, eDx/eDy the origin
    COLORREF lineColor = 0xFFFFFF;
    COLORREF fillColor = 0xFFFFFF;
    COLORREF textColor = 0xFFFFFF;
    COLORREF backgroundColor = 0x000000;
    DWORD* pixels = nullptr;  // width * height pixels 0x00RRGGBB, top row first
    LINESTYLE lineStyle;
    FILLSTYLE fillStyle;

  private:
    void createDrawingContext();
    void copyPixelsFrom(const IMAGE& other);
};

// A top-down 32-bit device-independent bitmap; its memory is returned in *pixels.
HBITMAP createPixelStore(HDC dc, int width, int height, DWORD** pixels);
void fillPixels(DWORD* pixels, int width, int height, DWORD pixel);

}  // namespace Gfx
