// Rasterisers for lines that GDI draws with its own rules rather than as general paths.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/gdi32/span_painter.h"

namespace platform::gdi32 {

using SpanEmitter = std::function<void(int y, int x0, int x1)>;  // x1 exclusive

constexpr int kCapsuleLimit = 1 << 20;

// A cosmetic (one pixel) line from a to b, b itself excluded, as Bresenham steps it; where the
// line passes exactly halfway between two pixels, the one with the smaller coordinate is taken,
// so a line and its reverse differ only in their excluded end. Pixel i
// along the line (counting from 0 at a) goes to `on` or `off` by the dash pattern (in pixels,
// alternating on and off; empty means solid). Steps whose major coordinate falls outside
// `bounds` are skipped, not walked, so a long line costs only its visible part.
void rasterizeCosmeticLine(POINT a, POINT b, const RECT& bounds, const double* dashes, int dashCount,
                           const SpanEmitter& on, const SpanEmitter& off);

// A geometric solid round-capped line one pixel wide: the cosmetic line's pixels, with the end
// point included unless the line is horizontal or vertical.
void rasterizeThinGeometricLine(POINT a, POINT b, const PaintTarget& target, const Paint& paint);

// A geometric solid round-capped line two pixels wide, as GDI builds it from whole pixels. The
// body is a parallelogram between the segment moved by (+1, -1) and by (-nx, +ny) for a line
// falling to the right, (+1, +1) and (-nx, -ny) for one rising to the right, where nx is 1 for
// lines steeper than 30 degrees and ny for lines flatter than 60; it is filled with pixel
// centres on whole coordinates, top and left edges inclusive. Each end adds the 2 x 2 block
// x - 1 .. x, y - 1 .. y; a horizontal or vertical line covers rows y - 1 .. y (or columns
// x - 1 .. x) from end to end. Coordinates must lie within +-kCapsuleLimit.
void rasterizeTwoPixelLine(POINT a, POINT b, const PaintTarget& target, const Paint& paint);

// A geometric solid line with round caps (three pixels and wider): every pixel whose centre
// lies within width / 2 of the segment, decided in exact integer arithmetic. Odd widths centre
// the segment on the pixels' centres, even widths on their top-left corners (see PenGeometry).
// Coordinates must lie within +-kCapsuleLimit.
void rasterizeCapsule(POINT a, POINT b, int width, const PaintTarget& target, const Paint& paint);

}  // namespace platform::gdi32
