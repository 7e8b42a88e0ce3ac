// IMAGE: construction, copying, the default drawing state, the pixel store and its resizing.
// LINESTYLE and FILLSTYLE: defaults, copying (deep only where the style uses the pattern) and
// release of what they own. Font descriptions and the pixel store's format.
#include "graphics/image.h"

#include <algorithm>

#include "dib/format.h"
#include "graphics/gdi_binding.h"
#include "graphics/library_state.h"

namespace Gfx {

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;

}  // namespace

LOGFONTW fontDescription(int height, const char16_t* face) {
    LOGFONTW font = {};
    font.lfHeight = height;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = NONANTIALIASED_QUALITY;
    copyFaceName(font.lfFaceName, face);
    return font;
}

void copyFaceName(WCHAR (&destination)[LF_FACESIZE], const char16_t* face) {
    int i = 0;
    if (face != nullptr) {
        for (; i < LF_FACESIZE - 1 && face[i] != 0; ++i) destination[i] = static_cast<WCHAR>(face[i]);
    }
    for (; i < LF_FACESIZE; ++i) destination[i] = 0;
}

LINESTYLE::LINESTYLE() : style(PS_SOLID), thickness(1), userPattern(nullptr), patternCount(0) {}

LINESTYLE::LINESTYLE(const LINESTYLE& other) : LINESTYLE() {
    *this = other;
}

LINESTYLE& LINESTYLE::operator=(const LINESTYLE& other) {
    if (this != &other) assign(other.style, other.thickness, other.userPattern, other.patternCount);
    return *this;
}

LINESTYLE::~LINESTYLE() {
    delete[] userPattern;
}

// The copy is made before the old pattern goes, so a pattern may be assigned from itself.
void LINESTYLE::assign(int newStyle, int newThickness, const DWORD* pattern, DWORD count) {
    DWORD* copy = nullptr;
    DWORD copyCount = 0;
    if (isUserStyle(newStyle) && pattern != nullptr && count != 0) {
        copy = new DWORD[count];
        std::copy(pattern, pattern + count, copy);
        copyCount = count;
    }
    delete[] userPattern;
    style = newStyle;
    thickness = newThickness;
    userPattern = copy;
    patternCount = copyCount;
}

FILLSTYLE::FILLSTYLE() : style(BS_SOLID), hatch(0), patternImage(nullptr) {}

FILLSTYLE::FILLSTYLE(const FILLSTYLE& other) : FILLSTYLE() {
    *this = other;
}

FILLSTYLE& FILLSTYLE::operator=(const FILLSTYLE& other) {
    if (this == &other) return *this;
    style = other.style;
    hatch = other.hatch;
    if (isPatternStyle(other.style) && other.patternImage != nullptr) {
        if (patternImage == nullptr) patternImage = new IMAGE();
        *patternImage = *other.patternImage;
    } else {
        delete patternImage;
        patternImage = nullptr;
    }
    return *this;
}

FILLSTYLE::~FILLSTYLE() {
    delete patternImage;
}

BITMAPINFO pixelStoreFormat(int width, int height) {
    return dib::topDownFormat(width, height);
}

HBITMAP createPixelStore(HDC dc, int width, int height, DWORD** pixels) {
    const BITMAPINFO info = pixelStoreFormat(width, height);
    void* bits = nullptr;
    DeviceLock lock;
    HBITMAP bitmap = gdi.CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    *pixels = bitmap != nullptr ? static_cast<DWORD*>(bits) : nullptr;
    return bitmap;
}

void fillPixels(DWORD* pixels, int width, int height, DWORD pixel) {
    if (pixels == nullptr || width <= 0 || height <= 0) return;
    std::fill(pixels, pixels + static_cast<std::size_t>(width) * static_cast<std::size_t>(height), pixel);
}

IMAGE::IMAGE(int width, int height) {
    addLibraryReference();
    createDrawingContext();
    if (width != 0 && height != 0) {
        IMAGE::resize(width, height);
    } else {
        this->width = width;
        this->height = height;
    }
}

IMAGE::IMAGE(const IMAGE& other) {
    addLibraryReference();
    createDrawingContext();
    copyPixelsFrom(other);
}

IMAGE& IMAGE::operator=(const IMAGE& other) {
    if (this == &other) return *this;
    if (memoryDC == nullptr) createDrawingContext();
    copyPixelsFrom(other);
    return *this;
}

void IMAGE::createDrawingContext() {
    {
        DeviceLock lock;
        memoryDC = gdi.CreateCompatibleDC(library.windowDC);
    }
    IMAGE::resetDefaults();
}

void IMAGE::copyPixelsFrom(const IMAGE& other) {
    resize(other.width, other.height);
    DeviceLock lock;
    gdi.BitBlt(memoryDC, 0, 0, other.width, other.height, other.memoryDC, 0, 0, SRCCOPY);
}

IMAGE::~IMAGE() {
    {
        DeviceLock lock;
        if (memoryDC != nullptr) {
            selectReplacing(memoryDC, gdi.GetStockObject(WHITE_PEN));
            selectReplacing(memoryDC, gdi.GetStockObject(BLACK_BRUSH));
            selectReplacing(memoryDC, gdi.GetStockObject(SYSTEM_FONT));
            // The store is still selected into the context: the context goes first.
            gdi.DeleteDC(memoryDC);
        }
        if (bitmap != nullptr) gdi.DeleteObject(bitmap);
        // Drawing on a destroyed image must not reach freed memory: it leaves no target.
        if (library.currentTarget == this) {
            library.currentTarget = nullptr;
            library.currentDevice = nullptr;
            library.currentDC = nullptr;
        }
    }
    releaseLibraryReference();
}

void IMAGE::resetDefaults() {
    const LOGFONTW font = fontDescription(16, u"System");
    // The window thread reads the transform under the lock when it copies the back buffer.
    DeviceLock lock;
    lineColor = kWhite;
    fillColor = kWhite;
    textColor = kWhite;
    backgroundColor = kBlack;
    transform = kIdentityTransform;
    lineStyle = LINESTYLE();
    fillStyle = FILLSTYLE();
    gdi.SetGraphicsMode(memoryDC, GM_ADVANCED);
    gdi.SetBkMode(memoryDC, OPAQUE);
    gdi.SetBkColor(memoryDC, backgroundColor);
    selectReplacing(memoryDC, gdi.CreatePen(PS_SOLID, 1, kWhite));
    selectReplacing(memoryDC, gdi.CreateSolidBrush(kWhite));
    gdi.SetTextColor(memoryDC, textColor);
    gdi.SetWorldTransform(memoryDC, &transform);
    gdi.SelectClipRgn(memoryDC, nullptr);
    selectReplacing(memoryDC, gdi.CreateFontIndirectW(&font));
}

void IMAGE::resize(int newWidth, int newHeight) {
    if (newWidth <= 0 || newHeight <= 0) return;
    DeviceLock lock;
    DWORD* newPixels = nullptr;
    HBITMAP newBitmap = createPixelStore(memoryDC, newWidth, newHeight, &newPixels);
    // A store that cannot be made (out of memory) leaves the image as it was.
    if (newBitmap == nullptr || newPixels == nullptr) {
        if (newBitmap != nullptr) gdi.DeleteObject(newBitmap);
        return;
    }
    if (bitmap != nullptr) {
        HDC temporary = gdi.CreateCompatibleDC(library.windowDC);
        HGDIOBJ initial = gdi.SelectObject(temporary, newBitmap);
        fillPixels(newPixels, newWidth, newHeight, colorToPixel(backgroundColor));
        gdi.BitBlt(temporary, 0, 0, newWidth, newHeight, memoryDC, 0, 0, SRCCOPY);
        gdi.SelectObject(temporary, initial);
        gdi.DeleteDC(temporary);
        selectReplacing(memoryDC, newBitmap);
    } else {
        selectReplacing(memoryDC, newBitmap);
        fillPixels(newPixels, newWidth, newHeight, colorToPixel(backgroundColor));
    }
    bitmap = newBitmap;
    pixels = newPixels;
    width = newWidth;
    height = newHeight;
}

}  // namespace Gfx
