// Open figures: LineTo, Polyline and PolyBezier. Cosmetic pens step Bresenham lines with
// the end point excluded; solid geometric pens with round ends draw GDI's own one- and
// two-pixel lines, or exact round-capped strokes when wider; every other pen goes through
// Cairo.
#include <algorithm>
#include <vector>

#include "platform/gdi32/cairo_raster.h"
#include "platform/gdi32/dc_transform.h"
#include "platform/gdi32/fast_shapes.h"
#include "platform/gdi32/line_raster.h"

using namespace platform::gdi32;

namespace {

bool withinCapsuleLimit(POINT p) {
    return p.x > -kCapsuleLimit && p.x < kCapsuleLimit && p.y > -kCapsuleLimit && p.y < kCapsuleLimit;
}

// Strokes the polyline points[0..count) with the DC's pen; false if the DC is not drawable.
void strokePolyline(DeviceContext& dc, const PaintTarget& target, const POINT* points, int count,
                    bool bezier) {
    PenGeometry pen = penGeometry(dc.pen);
    if (!pen.visible || count < 2) return;
    Paint stroke = solidPaint(dc.pen->color);
    int dx = 0, dy = 0;
    const bool translation = integerTranslation(dc.xform, dx, dy);
    if (!bezier && pen.stroke.cosmetic) {
        Paint gap;
        if (!pen.stroke.dashes.empty() && dc.bkMode == OPAQUE) gap = solidPaint(dc.bkColor);
        SpanEmitter on = [&](int y, int x0, int x1) { fillSpan(target, stroke, y, x0, x1); };
        SpanEmitter off = [&](int y, int x0, int x1) { fillSpan(target, gap, y, x0, x1); };
        for (int i = 0; i + 1 < count; ++i) {
            POINT a = toDevicePoint(dc.xform, points[i].x, points[i].y);
            POINT b = toDevicePoint(dc.xform, points[i + 1].x, points[i + 1].y);
            rasterizeCosmeticLine(a, b, target.clip, pen.stroke.dashes.data(),
                                  static_cast<int>(pen.stroke.dashes.size()), on, off);
        }
        return;
    }
    // Round caps and joins make a polyline the union of its segments' strokes; painting the
    // overlaps twice only matters to raster operations other than copying. One- and two-pixel
    // lines have whole-pixel shapes of their own that no path stroke gives, so they take this
    // road whether or not the fast paths are on.
    bool capsules = !bezier && translation && (fastPathsEnabled() || pen.width <= 2) && dc.pen->solid() &&
                    pen.stroke.dashes.empty() && dc.pen->roundCapsAndJoins() &&
                    (count == 2 || target.rop2 == R2_COPYPEN);
    std::vector<POINT> device(points, points + count);
    for (POINT& p : device) {
        p.x += dx;
        p.y += dy;
        capsules = capsules && withinCapsuleLimit(p);
    }
    if (capsules) {
        for (int i = 0; i + 1 < count; ++i) {
            if (device[i].x == device[i + 1].x && device[i].y == device[i + 1].y) continue;
            if (pen.width == 1)
                rasterizeThinGeometricLine(device[i], device[i + 1], target, stroke);
            else if (pen.width == 2)
                rasterizeTwoPixelLine(device[i], device[i + 1], target, stroke);
            else
                rasterizeCapsule(device[i], device[i + 1], pen.width, target, stroke);
        }
        return;
    }
    ShapeJob job;
    job.boundPoints(points, count);
    job.path = [&](cairo_t* cr) {
        cairo_move_to(cr, points[0].x, points[0].y);
        if (bezier) {
            for (int i = 1; i + 2 < count; i += 3) {
                cairo_curve_to(cr, points[i].x, points[i].y, points[i + 1].x, points[i + 1].y,
                               points[i + 2].x, points[i + 2].y);
            }
        } else {
            for (int i = 1; i < count; ++i) cairo_line_to(cr, points[i].x, points[i].y);
        }
    };
    job.stroke = &pen.stroke;
    job.offset = pen.offset;
    ShapeMasks masks;
    if (rasterizeShape(dc.xform, target.clip, job, masks)) paintMasks(target, masks, Paint{}, stroke);
}

}  // namespace

BOOL WINAPI LineTo(HDC hdc, int x, int y) {
    DeviceContext* dc = lookupDC(hdc);
    if (!dc) return FALSE;
    POINT points[2] = {dc->position, {x, y}};
    // The transform may have changed since MoveToEx, so the start is checked too.
    if (!pointsInDeviceSpace(dc->xform, points, 2)) return FALSE;
    dc->position = {x, y};
    PaintTarget target;
    if (!makeTarget(*dc, target)) return TRUE;
    if (points[0].x == x && points[0].y == y) return TRUE;  // a line of no length draws nothing
    strokePolyline(*dc, target, points, 2, false);
    return TRUE;
}

BOOL WINAPI Polyline(HDC hdc, const POINT* points, int count) {
    DeviceContext* dc = lookupDC(hdc);
    if (!dc || !points || count < 2) return FALSE;
    if (!pointsInDeviceSpace(dc->xform, points, static_cast<std::size_t>(count))) return FALSE;
    PaintTarget target;
    if (makeTarget(*dc, target)) strokePolyline(*dc, target, points, count, false);
    return TRUE;
}

BOOL WINAPI PolyBezier(HDC hdc, const POINT* points, DWORD count) {
    DeviceContext* dc = lookupDC(hdc);
    if (!dc || !points || count < 4 || (count - 1) % 3 != 0 || count > 0x7FFFFFFF) return FALSE;
    if (!pointsInDeviceSpace(dc->xform, points, count)) return FALSE;
    PaintTarget target;
    if (makeTarget(*dc, target)) strokePolyline(*dc, target, points, static_cast<int>(count), true);
    return TRUE;
}
