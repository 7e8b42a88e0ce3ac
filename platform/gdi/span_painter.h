// Writing horizontal spans of pixels into a DC's bitmap: the one place where shapes, lines and
// text meet the pixel memory, so clipping, the binary raster operation and brush patterns are
// handled once for every rasteriser.
#pragma once

#include <cstdint>

#include "platform/gdi/gdi_objects.h"

namespace platform::gdi {

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

// Paints pixels x0 <= x < x1 of row y, clipped.
void fillSpan(const PaintTarget& target, const Paint& paint, int y, int x0, int x1);
// Paints an 8-bit coverage row (0 = untouched; for R2_COPYPEN anything between 0 and 255 is
// blended, other raster operations treat non-zero as covered).
void paintCoverageRow(const PaintTarget& target, std::uint32_t pixel, int y, int x0,
                      const std::uint8_t* alpha, int count);

// The binary raster operation of SetROP2 on one pixel (24-bit RGB, top byte kept 0).
std::uint32_t applyRop2(int rop2, std::uint32_t pen, std::uint32_t dst);

}  // namespace platform::gdi
