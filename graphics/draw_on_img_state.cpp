// DrawOnImg: the drawing state (colours, background mode, origin, clipping, line and fill
// styles, aspect ratio, raster and polygon modes, defaults, size). Each setter makes its pen or
// brush at once and deletes the one it replaces; nothing is cached.
#include <algorithm>
#include <vector>

#include "graphics/draw_on_img.h"
#include "graphics/draw_on_img_target.h"
#include "graphics/gdi_binding.h"

namespace Gfx {

namespace {

// A monochrome bitmap of the pattern: a bit is set where the pattern's pixel is not black.
HBITMAP monochromePattern(const IMAGE& pattern) {
    if (pattern.pixels == nullptr || pattern.width <= 0 || pattern.height <= 0) return nullptr;
    const int rowBytes = ((pattern.width + 15) / 16) * 2;  // rows are WORD-aligned
    std::vector<BYTE> bits(static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(pattern.height), 0);
    for (int y = 0; y < pattern.height; ++y) {
        for (int x = 0; x < pattern.width; ++x) {
            if ((pattern.pixels[y * pattern.width + x] & 0xFFFFFFu) != 0) {
                bits[static_cast<std::size_t>(y * rowBytes + x / 8)] |= static_cast<BYTE>(0x80u >> (x % 8));
            }
        }
    }
    return gdi.CreateBitmap(pattern.width, pattern.height, 1, 1, bits.data());
}

// A packed device-independent bitmap of the pattern (header, then top-down 32-bit rows).
std::vector<BYTE> packedPattern(const IMAGE& pattern) {
    std::vector<BYTE> packed;
    if (pattern.pixels == nullptr || pattern.width <= 0 || pattern.height <= 0) return packed;
    const BITMAPINFOHEADER header = pixelStoreFormat(pattern.width, pattern.height).bmiHeader;
    const std::size_t pixelBytes =
        static_cast<std::size_t>(pattern.width) * static_cast<std::size_t>(pattern.height) * sizeof(DWORD);
    packed.resize(sizeof(header) + pixelBytes);
    std::copy_n(reinterpret_cast<const BYTE*>(&header), sizeof(header), packed.data());
    std::copy_n(reinterpret_cast<const BYTE*>(pattern.pixels), pixelBytes, packed.data() + sizeof(header));
    return packed;
}

}  // namespace

DrawOnImg::~DrawOnImg() = default;

void DrawOnImg::clearDevice() {
    IMAGE& image = currentImage();
    fillPixels(image.pixels, image.width, image.height, colorToPixel(image.backgroundColor));
}

void DrawOnImg::clearDevicePart(int left, int top, int right, int bottom) {
    IMAGE& image = currentImage();
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, image.width);
    bottom = std::min(bottom, image.height);
    if (image.pixels == nullptr || left >= right || top >= bottom) return;
    const DWORD pixel = colorToPixel(image.backgroundColor);
    for (int y = top; y < bottom; ++y) {
        DWORD* row = image.pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width);
        std::fill(row + left, row + right, pixel);
    }
}

COLORREF DrawOnImg::getLineColor() {
    return currentImage().lineColor;
}

void DrawOnImg::setLineColor(COLORREF colour) {
    IMAGE& image = currentImage();
    image.lineColor = colour;
    setLineStyle(&image.lineStyle);
}

COLORREF DrawOnImg::getTextColor() {
    return currentImage().textColor;
}

void DrawOnImg::setTextColor(COLORREF colour) {
    currentImage().textColor = colour;
    gdi.SetTextColor(currentContext(), colour);
}

COLORREF DrawOnImg::getBackgroundColor() {
    return currentImage().backgroundColor;
}

void DrawOnImg::setBackgroundColor(COLORREF colour) {
    currentImage().backgroundColor = colour;
    gdi.SetBkColor(currentContext(), colour);
}

int DrawOnImg::getBackgroundMode() {
    return gdi.GetBkMode(currentContext());
}

void DrawOnImg::setBackgroundMode(int mode) {
    gdi.SetBkMode(currentContext(), mode);
}

void DrawOnImg::setOrigin(int x, int y) {
    IMAGE& image = currentImage();
    image.transform.eDx = static_cast<FLOAT>(x);
    image.transform.eDy = static_cast<FLOAT>(y);
    gdi.SetWorldTransform(currentContext(), &image.transform);
}

void DrawOnImg::setClipRegion(HRGN region) {
    gdi.SelectClipRgn(currentContext(), region);
}

void DrawOnImg::setClipRectangle(int left, int top, int right, int bottom) {
    // The context keeps its own copy of the region.
    HRGN region = gdi.CreateRectRgn(left, top, right, bottom);
    if (region == nullptr) return;
    gdi.SelectClipRgn(currentContext(), region);
    gdi.DeleteObject(region);
}

void DrawOnImg::clearClipRegion() {
    gdi.SelectClipRgn(currentContext(), nullptr);
}

void DrawOnImg::getLineStyle(LINESTYLE* out) {
    if (out != nullptr) *out = currentImage().lineStyle;
}

void DrawOnImg::setLineStyle(int style, int thickness, const DWORD* userPattern, DWORD patternCount) {
    LINESTYLE& lineStyle = currentImage().lineStyle;
    lineStyle.assign(style, thickness, userPattern, patternCount);
    setLineStyle(&lineStyle);
}

void DrawOnImg::setLineStyle(const LINESTYLE* style) {
    IMAGE& image = currentImage();
    if (style == nullptr) return;
    if (style != &image.lineStyle) image.lineStyle = *style;
    LINESTYLE& lineStyle = image.lineStyle;

    DWORD penStyle = static_cast<DWORD>(lineStyle.style) | PS_GEOMETRIC;
    const bool userStyle = isUserStyle(lineStyle.style);
    const bool hasPattern = lineStyle.userPattern != nullptr && lineStyle.patternCount != 0;
    if (userStyle && !hasPattern) penStyle = (penStyle & ~static_cast<DWORD>(PS_STYLE_MASK)) | PS_NULL;
    if (!userStyle) {
        delete[] lineStyle.userPattern;
        lineStyle.userPattern = nullptr;
        lineStyle.patternCount = 0;
    }
    LOGBRUSH brush = {};
    brush.lbStyle = BS_SOLID;
    brush.lbColor = image.lineColor;
    const bool passPattern = userStyle && hasPattern;
    HPEN pen = gdi.ExtCreatePen(penStyle, static_cast<DWORD>(lineStyle.thickness), &brush,
                                passPattern ? lineStyle.patternCount : 0,
                                passPattern ? lineStyle.userPattern : nullptr);
    selectReplacing(currentContext(), pen);
}

void DrawOnImg::getFillStyle(FILLSTYLE* out) {
    if (out != nullptr) *out = currentImage().fillStyle;
}

void DrawOnImg::setFillStyle(int style, int hatch, IMAGE* pattern) {
    FILLSTYLE& fillStyle = currentImage().fillStyle;
    fillStyle.style = style;
    if (style == BS_HATCHED) fillStyle.hatch = hatch;
    if (isPatternStyle(style)) {
        if (fillStyle.patternImage == nullptr) fillStyle.patternImage = new IMAGE();
        if (pattern != nullptr) *fillStyle.patternImage = *pattern;
    }
    setFillStyle(&fillStyle);
}

void DrawOnImg::setFillStyle(const BYTE* patternBytes) {
    if (patternBytes == nullptr) return;
    IMAGE pattern(8, 8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            pattern.pixels[y * 8 + x] = (patternBytes[y] & (0x80u >> x)) != 0 ? 0xFFFFFFu : 0u;
        }
    }
    setFillStyle(BS_PATTERN, 0, &pattern);
}

void DrawOnImg::setFillStyle(const FILLSTYLE* style) {
    IMAGE& image = currentImage();
    if (style == nullptr) return;
    if (style != &image.fillStyle) image.fillStyle = *style;
    const FILLSTYLE& fillStyle = image.fillStyle;

    // A style that cannot be made (a pattern style without a pattern, an unknown style) leaves
    // the brush as it was.
    LOGBRUSH brush = {};
    brush.lbStyle = static_cast<UINT>(fillStyle.style);
    HBITMAP patternBits = nullptr;  // a monochrome pattern, deleted once the brush is made
    std::vector<BYTE> packed;       // a packed pattern, freed on return
    switch (fillStyle.style) {
        case BS_SOLID:
            brush.lbColor = image.fillColor;
            break;
        case BS_NULL:
            break;
        case BS_HATCHED:
            brush.lbColor = image.fillColor;
            brush.lbHatch = static_cast<ULONG_PTR>(fillStyle.hatch);
            break;
        case BS_PATTERN:
            if (fillStyle.patternImage == nullptr) return;
            patternBits = monochromePattern(*fillStyle.patternImage);
            if (patternBits == nullptr) return;
            brush.lbHatch = reinterpret_cast<ULONG_PTR>(patternBits);
            break;
        case BS_DIBPATTERN:
            if (fillStyle.patternImage == nullptr) return;
            packed = packedPattern(*fillStyle.patternImage);
            if (packed.empty()) return;
            // The pointer form of the packed bitmap: the memory is ours.
            brush.lbStyle = BS_DIBPATTERNPT;
            brush.lbColor = DIB_RGB_COLORS;
            brush.lbHatch = reinterpret_cast<ULONG_PTR>(packed.data());
            break;
        default:
            return;
    }
    selectReplacing(currentContext(), gdi.CreateBrushIndirect(&brush));
    if (patternBits != nullptr) gdi.DeleteObject(patternBits);
}

COLORREF DrawOnImg::getFillColor() {
    return currentImage().fillColor;
}

void DrawOnImg::setFillColor(COLORREF colour) {
    IMAGE& image = currentImage();
    image.fillColor = colour;
    if (image.fillStyle.style == BS_SOLID) {
        selectReplacing(currentContext(), gdi.CreateSolidBrush(colour));
    } else if (image.fillStyle.style == BS_HATCHED) {
        setFillStyle(&image.fillStyle);
    }
}

void DrawOnImg::getAspectRatio(float* x, float* y) {
    const IMAGE& image = currentImage();
    if (x != nullptr) *x = image.transform.eM11;
    if (y != nullptr) *y = image.transform.eM22;
}

void DrawOnImg::setAspectRatio(float x, float y) {
    IMAGE& image = currentImage();
    image.transform.eM11 = x;
    image.transform.eM22 = y;
    gdi.SetWorldTransform(currentContext(), &image.transform);
}

int DrawOnImg::getRop2() {
    return gdi.GetROP2(currentContext());
}

void DrawOnImg::setRop2(int mode) {
    gdi.SetROP2(currentContext(), mode);
}

int DrawOnImg::getPolyFillMode() {
    return gdi.GetPolyFillMode(currentContext());
}

void DrawOnImg::setPolyFillMode(int mode) {
    gdi.SetPolyFillMode(currentContext(), mode);
}

void DrawOnImg::resetDefaults() {
    currentImage().resetDefaults();
}

int DrawOnImg::getWidth() {
    return currentImage().width;
}

int DrawOnImg::getHeight() {
    return currentImage().height;
}

}  // namespace Gfx
