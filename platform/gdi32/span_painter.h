// Writing horizontal spans of pixels into a DC's bitmap: the one place where shapes, lines and
// text meet the pixel memory, so clipping, the binary raster operation and brush patterns are
// handled once for every rasteriser.
#pragma once

#include <cstdint>
#include <cstring>

#include "platform/gdi32/gdi_objects.h"

namespace platform::gdi32 {

struct PaintTarget {
    std::uint32_t* pixels = nullptr;  // the top row
    std::ptrdiff_t stride = 0;        // pixels from one row to the next (negative: bottom-up)
    int width = 0;
    int height = 0;

    std::uint32_t* row(int y) const { return pixels + static_cast<std::ptrdiff_t>(y) * stride; }
    RECT clip{0, 0, 0, 0};  // device pixels, right/bottom exclusive, inside the bitmap
    int rop2 = R2_COPYPEN;
};

struct Paint {
    enum class Kind { None, Solid, Hatch, Pattern };
    Kind kind = Kind::None;
    std::uint32_t fg = 0;  // pixel
    std::uint32_t bg = 0;  // pixel for hatch gaps and monochrome pattern 1 bits
    bool opaque = false;   // hatch gaps painted in bg
    int hatch = 0;
    const Brush* pattern = nullptr;
    std::uint32_t patternFg = 0;  // monochrome pattern 0 bits
};

// False for a DC without drawable pixels (a window DC, an empty clip).
bool makeTarget(const DeviceContext& dc, PaintTarget& target);
Paint brushPaint(const DeviceContext& dc, const Brush* brush);
Paint solidPaint(COLORREF color);

// Sixteen bytes per step: the compiler turns the copies into wide stores.
inline void fillPixels(std::uint32_t* p, int n, std::uint32_t value) {
    const std::uint32_t quad[4] = {value, value, value, value};
    for (; n >= 8; n -= 8, p += 8) {
        std::memcpy(p, quad, sizeof quad);
        std::memcpy(p + 4, quad, sizeof quad);
    }
    for (; n > 0; --n) *p++ = value;
}

void fillSpanGeneral(const PaintTarget& target, const Paint& paint, int y, int x0, int x1);

// Paints pixels x0 <= x < x1 of row y, clipped. Solid copies, most of a frame, stay inline.
inline void fillSpan(const PaintTarget& target, const Paint& paint, int y, int x0, int x1) {
    if (paint.kind != Paint::Kind::Solid || target.rop2 != R2_COPYPEN) {
        fillSpanGeneral(target, paint, y, x0, x1);
        return;
    }
    if (y < target.clip.top || y >= target.clip.bottom) return;
    if (x0 < target.clip.left) x0 = target.clip.left;
    if (x1 > target.clip.right) x1 = target.clip.right;
    if (x0 < x1) fillPixels(target.row(y) + x0, x1 - x0, paint.fg);
}
// Paints an 8-bit coverage row (0 = untouched; for R2_COPYPEN anything between 0 and 255 is
// blended, other raster operations treat non-zero as covered).
void paintCoverageRow(const PaintTarget& target, std::uint32_t pixel, int y, int x0,
                      const std::uint8_t* alpha, int count);

// The binary raster operation of SetROP2 on one pixel (24-bit RGB, top byte kept 0).
std::uint32_t applyRop2(int rop2, std::uint32_t pen, std::uint32_t dst);

}  // namespace platform::gdi32
