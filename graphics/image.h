// IMAGE, a drawing target: a 32-bit top-down pixel store, a memory drawing context and the
// drawing state that goes with it; LINESTYLE and FILLSTYLE, the style records it carries; font
// descriptions; the pixel store's format and the helpers that make and fill one.
#pragma once

#include <windows.h>

namespace Gfx {

// The world transform of a context that draws pixels where their coordinates say.
inline constexpr XFORM kIdentityTransform = {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};

struct IMAGE;

// A pen style that dashes after a pattern of its own (PS_USERSTYLE in the low four bits).
inline bool isUserStyle(int style) {
    return (style & PS_STYLE_MASK) == PS_USERSTYLE;
}

// A brush style that fills with an image.
inline bool isPatternStyle(int style) {
    return style == BS_PATTERN || style == BS_DIBPATTERN;
}

struct LINESTYLE {
    LINESTYLE();
    LINESTYLE(const LINESTYLE& other);
    LINESTYLE& operator=(const LINESTYLE& other);
    virtual ~LINESTYLE();
    // Sets every field. The pattern is copied, and only for a user style with a pattern of at
    // least one entry; otherwise none is kept.
    void assign(int newStyle, int newThickness, const DWORD* pattern, DWORD count);

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

// A font description with the given height and face, the default character set and no
// antialiasing, everything else zero: an image's default font is fontDescription(16, u"System").
LOGFONTW fontDescription(int height, const char16_t* face);
// Puts a face name into a font description, cut to LF_FACESIZE - 1 characters and zero-filled;
// no face: an empty one.
void copyFaceName(WCHAR (&destination)[LF_FACESIZE], const char16_t* face);

// The format of a pixel store: a device-independent bitmap of 32-bit pixels, top row first.
BITMAPINFO pixelStoreFormat(int width, int height);
// A pixel store of that format; its memory is returned in *pixels.
HBITMAP createPixelStore(HDC dc, int width, int height, DWORD** pixels);
void fillPixels(DWORD* pixels, int width, int height, DWORD pixel);

// A colour 0x00BBGGRR as a pixel 0x00RRGGBB.
inline DWORD colorToPixel(COLORREF colour) {
    return ((colour & 0xFFu) << 16) | ((colour >> 16) & 0xFFu) | (colour & 0xFF00FF00u);
}

}  // namespace Gfx
