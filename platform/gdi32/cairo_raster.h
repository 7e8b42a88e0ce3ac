// The general path for shapes: Cairo rasterises the fill and the outline, without
// anti-aliasing, into two coverage masks over the visible part of the shape; the span writer
// then paints the fill where the outline is not, and the outline.
#pragma once

#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/gdi32/span_painter.h"

namespace platform::gdi32 {

struct StrokeStyle {
    double width = 1;
    bool cosmetic = true;  // width in device pixels whatever the transform
    cairo_line_cap_t cap = CAIRO_LINE_CAP_BUTT;
    cairo_line_join_t join = CAIRO_LINE_JOIN_MITER;
    std::vector<double> dashes;
};

// How a pen strokes: null when the pen draws nothing. `offset` is where a whole logical
// coordinate lands inside its pixel: 0.5 (the pixel's centre) for odd widths, 0 (its top-left
// corner) for even widths, so that the outline's edges fall on pixel boundaries.
struct PenGeometry {
    bool visible = false;
    int width = 1;
    double offset = 0;
    StrokeStyle stroke;
};
PenGeometry penGeometry(const Pen* pen);

struct ShapeMasks {
    int x = 0, y = 0, width = 0, height = 0;
    std::vector<std::uint8_t> fill, stroke;  // 0 or 255 per pixel
};

struct ShapeJob {
    std::function<void(cairo_t*)> path;             // adds the path, in logical coordinates
    double minX = 0, minY = 0, maxX = 0, maxY = 0;  // logical bounds of the path
    bool fill = false;
    cairo_fill_rule_t fillRule = CAIRO_FILL_RULE_EVEN_ODD;
    const StrokeStyle* stroke = nullptr;
    double offset = 0;  // added in device space (see PenGeometry)
    // When set, the outline is this area (filled even-odd) instead of `path` stroked: for
    // outlines GDI builds from whole pixels.
    std::function<void(cairo_t*)> outlineArea;

    void setBounds(double x0, double y0, double x1, double y1) {
        minX = x0;
        minY = y0;
        maxX = x1;
        maxY = y1;
    }
    // The bounds of a point list; count is at least 1.
    void boundPoints(const POINT* points, int count) {
        setBounds(points[0].x, points[0].y, points[0].x, points[0].y);
        for (int i = 1; i < count; ++i) {
            minX = std::min(minX, static_cast<double>(points[i].x));
            maxX = std::max(maxX, static_cast<double>(points[i].x));
            minY = std::min(minY, static_cast<double>(points[i].y));
            maxY = std::max(maxY, static_cast<double>(points[i].y));
        }
    }
};

// Rasterises within `clip` (device pixels); false when nothing of the shape is visible.
bool rasterizeShape(const XFORM& xform, const RECT& clip, const ShapeJob& job, ShapeMasks& masks);
void paintMasks(const PaintTarget& target, const ShapeMasks& masks, const Paint& fill, const Paint& stroke);

}  // namespace platform::gdi32
