// Span-filling paths for the axis-aligned shapes that dominate a frame: rectangles and
// rounded rectangles with small corners, drawn with a null pen or a solid pen a few pixels
// wide. They produce exactly the pixels of the general (Cairo) path: rectangles by the same
// arithmetic, rounded rectangles by reusing corners that the general path rasterised once.
#pragma once

#include "platform/gdi32/cairo_raster.h"

namespace platform::gdi32 {

// A box shape in device pixels: the path runs around [left, right] x [top, bottom] (plus the
// pen's offset), as the general path gets it.
struct DeviceBox {
    int left, top, right, bottom;
};

// False when the shape is not one the fast path takes; the caller then uses the general path.
bool fastRectangle(const PaintTarget& target, const DeviceBox& box, const PenGeometry& pen,
                   const Pen* penObject, const Paint& fill, const Paint& stroke);
bool fastRoundRect(const PaintTarget& target, const DeviceBox& box, int ellipseWidth, int ellipseHeight,
                   const PenGeometry& pen, const Pen* penObject, const Paint& fill, const Paint& stroke);

// Test hook: with false every shape takes the general path.
void setFastPathsEnabled(bool enabled);
bool fastPathsEnabled();

// The smooth rounded-rectangle path, for corners not drawn from pixels (see round_corners.h);
// logical coordinates, corners clamped to the box.
void roundRectPath(cairo_t* cr, double left, double top, double right, double bottom, double ellipseWidth,
                   double ellipseHeight);

}  // namespace platform::gdi32
