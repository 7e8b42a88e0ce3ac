// Rasterisers for lines that GDI draws with its own rules rather than as general paths.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/gdi/span_painter.h"

namespace platform::gdi {

using SpanEmitter = std::function<void(int y, int x0, int x1)>;  // x1 exclusive

// A cosmetic (one pixel) line from a to b, b itself excluded, as Bresenham steps it. Pixel i
// along the line (counting from 0 at a) goes to `on` or `off` by the dash pattern (in pixels,
// alternating on and off; empty means solid).
void rasterizeCosmeticLine(POINT a, POINT b, const double* dashes, int dashCount, const SpanEmitter& on,
                           const SpanEmitter& off);

// A geometric solid line with round caps: every pixel whose centre lies within width / 2 of
// the segment, decided in exact integer arithmetic. Odd widths centre the segment on the
// pixels' centres, even widths on their top-left corners (see PenGeometry). Coordinates must
// lie within +-kCapsuleLimit.
constexpr int kCapsuleLimit = 1 << 20;
void rasterizeCapsule(POINT a, POINT b, int width, const PaintTarget& target, const Paint& paint);

}  // namespace platform::gdi
