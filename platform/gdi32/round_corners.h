// Rounded-rectangle corners as GDI rasterises them. The corner ellipse is stepped in whole
// pixels (one integer quadrant, mirrored to the four corners); pens one pixel wide draw the
// stepped curve itself, two pixels wide draw it the way two-pixel lines run along it, and a
// shape without a pen fills the curve's area. Wider, styled or transformed outlines keep
// the smooth path (roundRectPath).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi32/cairo_raster.h"

namespace platform::gdi32 {

// The widest pen whose corners are drawn from pixels; wider pens stroke smooth arcs.
constexpr int kMaxPixelCornerPen = 2;
// Larger ellipses (after clamping to the box) are smooth arcs too.
constexpr int kMaxPixelCorner = 1024;

// The integer points of an ellipse `width` x `height` pixels in its top-left quadrant, from
// the left edge up to the top edge, relative to the ellipse's top-left pixel.
std::vector<POINT> ellipseQuadrant(int width, int height);

// One row of the top-left corner, counted from the shape's outer top row: its first painted
// column, and its first column inside the outline, both from the outer left column.
struct CornerRow {
    int outer;
    int inner;  // kOutlineRow where the outline covers the row from side to side
};
constexpr int kOutlineRow = 1 << 30;

// The corner's rows down to where it meets the straight sides (outer 0, inner penWidth).
// penWidth 0 is a shape without an outline; at most kMaxPixelCornerPen.
std::vector<CornerRow> cornerRows(int ellipseWidth, int ellipseHeight, int penWidth);

// Sets up a rounded rectangle around the path box (l, t) .. (r, b) in logical coordinates:
// with pixel corners (pen at most kMaxPixelCornerPen wide and solid, transform moving by
// whole pixels) the fill and the outline are areas along pixel edges, otherwise the smooth
// path that the pen strokes. Both the general and the fast path take their corners here.
void roundRectJob(ShapeJob& job, std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b,
                  int ellipseWidth, int ellipseHeight, const PenGeometry& pen, bool pixelCorners);

}  // namespace platform::gdi32
