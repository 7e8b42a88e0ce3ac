// Closed shapes: Rectangle, RoundRect, Ellipse, Pie, Polygon. A shape's box follows GDI: the
// corners are ordered; in GM_COMPATIBLE the right and bottom edges are excluded, in
// GM_ADVANCED included; without a pen the filled area loses one more column and row.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "platform/gdi32/cairo_raster.h"
#include "platform/gdi32/dc_transform.h"
#include "platform/gdi32/fast_shapes.h"
#include "platform/gdi32/round_corners.h"

using namespace platform::gdi32;

namespace {

struct ShapeContext {
    DeviceContext* dc = nullptr;
    PaintTarget target;
    PenGeometry pen;
    Paint fill, stroke;
};

// False when there is nothing to draw on (the result then says whether the DC is valid and
// the shape's coordinates lie in the device coordinate space).
template <typename InSpace>
bool begin(HDC hdc, ShapeContext& s, BOOL& result, InSpace inSpace) {
    s.dc = lookupDC(hdc);
    result = s.dc && inSpace(s.dc->xform) ? TRUE : FALSE;
    if (!result || !makeTarget(*s.dc, s.target)) return false;
    s.pen = penGeometry(s.dc->pen);
    s.fill = brushPaint(*s.dc, s.dc->brush);
    if (s.pen.visible) s.stroke = solidPaint(s.dc->pen->color);
    return true;
}

// The logical box the path runs around, inside-frame pens pulled in to fit.
// In 64 bits: under a scaling transform the logical corners may be anywhere in int.
void shapeBox(const ShapeContext& s, std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b,
              double& x0, double& y0, double& x1, double& y1) {
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    if (s.dc->graphicsMode == GM_COMPATIBLE) {
        --r;
        --b;
    }
    if (s.pen.visible && s.dc->pen->kind() == PS_INSIDEFRAME && s.pen.width > 1) {
        std::int64_t w = s.pen.width;
        l += w / 2;
        t += w / 2;
        r -= w - w / 2 - 1;
        b -= w - w / 2 - 1;
    }
    // Without an outline the path runs along pixel edges (no offset), so l .. r - 1 are filled.
    x0 = static_cast<double>(l);
    y0 = static_cast<double>(t);
    x1 = static_cast<double>(std::max(l, r));
    y1 = static_cast<double>(std::max(t, b));
}

// Whether a shape in the box (outline included) surely misses the clip, so that it costs no
// path or span work. Decided only under a whole-pixel translation, which is how a frame draws.
bool outsideClip(const ShapeContext& s, std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
    int dx, dy;
    if (!integerTranslation(s.dc->xform, dx, dy)) return false;
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    const std::int64_t reach = (s.pen.visible ? s.pen.width : 0) + 2;
    const RECT& clip = s.target.clip;
    return r + dx + reach <= clip.left || l + dx - reach >= clip.right || b + dy + reach <= clip.top ||
           t + dy - reach >= clip.bottom;
}

// A shape drawn in a box: `draw(s, x0, y0, x1, y1)` runs with the DC's state and the path box,
// unless there is nothing to draw.
template <class Draw>
BOOL drawInBox(HDC hdc, int l, int t, int r, int b, Draw draw) {
    ShapeContext s;
    BOOL result;
    if (!begin(hdc, s, result, [&](const XFORM& x) { return boxInDeviceSpace(x, l, t, r, b); }))
        return result;
    if (outsideClip(s, l, t, r, b)) return TRUE;
    double x0, y0, x1, y1;
    shapeBox(s, l, t, r, b, x0, y0, x1, y1);
    return draw(s, x0, y0, x1, y1);
}

// The path box in device pixels, for the fast paths: a whole-pixel translation, and a box
// that a pen of any width pulled it to still within int.
bool fastBox(const ShapeContext& s, double x0, double y0, double x1, double y1, DeviceBox& box) {
    int dx, dy;
    if (!integerTranslation(s.dc->xform, dx, dy)) return false;
    const double limit = 1 << 30;
    const double v[4] = {x0 + dx, y0 + dy, x1 + dx, y1 + dy};
    for (double c : v) {
        if (std::fabs(c) >= limit) return false;
    }
    box = {static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]), static_cast<int>(v[3])};
    return true;
}

void paintJob(ShapeContext& s, const ShapeJob& job) {
    ShapeMasks masks;
    if (rasterizeShape(s.dc->xform, s.target.clip, job, masks)) paintMasks(s.target, masks, s.fill, s.stroke);
}

// A path the pen strokes.
void drawGeneral(ShapeContext& s, ShapeJob& job) {
    job.stroke = s.pen.visible ? &s.pen.stroke : nullptr;
    job.offset = s.pen.visible ? s.pen.offset : 0;
    paintJob(s, job);
}

// Ellipse angle (in the ellipse's own unit circle) of the radial through a point.
double radialAngle(double cx, double cy, double rx, double ry, double px, double py) {
    return std::atan2((py - cy) / (ry > 0 ? ry : 1), (px - cx) / (rx > 0 ? rx : 1));
}

BOOL arcShape(HDC hdc, int l, int t, int r, int b, int xs, int ys, int xe, int ye, bool pie) {
    return drawInBox(
        hdc, l, t, r, b, [&](ShapeContext& s, double x0, double y0, double x1, double y1) -> BOOL {
            double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2, rx = (x1 - x0) / 2, ry = (y1 - y0) / 2;
            double a0 = radialAngle(cx, cy, rx, ry, xs, ys), a1 = radialAngle(cx, cy, rx, ry, xe, ye);
            // GDI draws counter-clockwise on the screen, which with y pointing down is Cairo's
            // negative direction; equal radials make a whole ellipse.
            if (a1 >= a0) a1 -= 2 * M_PI;
            ShapeJob job;
            job.path = [&](cairo_t* cr) {
                if (rx <= 0 || ry <= 0) return;
                if (pie) cairo_move_to(cr, cx, cy);
                cairo_save(cr);
                cairo_translate(cr, cx, cy);
                cairo_scale(cr, rx, ry);
                cairo_arc_negative(cr, 0, 0, 1, a0, a1);
                cairo_restore(cr);
                if (pie) cairo_close_path(cr);
            };
            job.setBounds(x0, y0, x1, y1);
            job.fill = pie;
            if (!pie) s.fill = Paint{};
            drawGeneral(s, job);
            return TRUE;
        });
}

}  // namespace

BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    return drawInBox(hdc, left, top, right, bottom,
                     [&](ShapeContext& s, double x0, double y0, double x1, double y1) -> BOOL {
                         DeviceBox box;
                         if (fastBox(s, x0, y0, x1, y1, box)) {
                             if (fastRectangle(s.target, box, s.pen, s.dc->pen, s.fill, s.stroke))
                                 return TRUE;
                         }
                         ShapeJob job;
                         job.path = [&](cairo_t* cr) { cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0); };
                         job.setBounds(x0, y0, x1, y1);
                         job.fill = true;
                         drawGeneral(s, job);
                         return TRUE;
                     });
}

BOOL WINAPI RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height) {
    return drawInBox(
        hdc, left, top, right, bottom,
        [&](ShapeContext& s, double x0, double y0, double x1, double y1) -> BOOL {
            // The corner is clamped to the box anyway, so the one size without a positive twin is
            // simply the largest.
            width = width == INT_MIN ? INT_MAX : std::abs(width);
            height = height == INT_MIN ? INT_MAX : std::abs(height);
            DeviceBox box;
            int dx, dy;
            if (fastBox(s, x0, y0, x1, y1, box)) {
                if (fastRoundRect(s.target, box, width, height, s.pen, s.dc->pen, s.fill, s.stroke))
                    return TRUE;
            }
            // GDI steps small corners in whole pixels; under a transform that scales or turns, and
            // for styled or wide pens, the corners stay smooth arcs.
            const bool pixelCorners = integerTranslation(s.dc->xform, dx, dy) &&
                                      (!s.pen.visible || (s.dc->pen->solid() && s.pen.stroke.dashes.empty()));
            ShapeJob job;
            roundRectJob(job, static_cast<std::int64_t>(x0), static_cast<std::int64_t>(y0),
                         static_cast<std::int64_t>(x1), static_cast<std::int64_t>(y1), width, height, s.pen,
                         pixelCorners);
            paintJob(s, job);
            return TRUE;
        });
}

BOOL WINAPI Ellipse(HDC hdc, int left, int top, int right, int bottom) {
    return drawInBox(hdc, left, top, right, bottom,
                     [&](ShapeContext& s, double x0, double y0, double x1, double y1) -> BOOL {
                         ShapeJob job;
                         job.path = [&](cairo_t* cr) {
                             if (x1 <= x0 || y1 <= y0) return;
                             cairo_save(cr);
                             cairo_translate(cr, (x0 + x1) / 2, (y0 + y1) / 2);
                             cairo_scale(cr, (x1 - x0) / 2, (y1 - y0) / 2);
                             cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
                             cairo_restore(cr);
                             cairo_close_path(cr);
                         };
                         job.setBounds(x0, y0, x1, y1);
                         job.fill = true;
                         drawGeneral(s, job);
                         return TRUE;
                     });
}

BOOL WINAPI Arc(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
                int yEnd) {
    return arcShape(hdc, left, top, right, bottom, xStart, yStart, xEnd, yEnd, false);
}

BOOL WINAPI Pie(HDC hdc, int left, int top, int right, int bottom, int xr1, int yr1, int xr2, int yr2) {
    return arcShape(hdc, left, top, right, bottom, xr1, yr1, xr2, yr2, true);
}

BOOL WINAPI Polygon(HDC hdc, const POINT* points, int count) {
    if (!points || count < 2) return FALSE;
    ShapeContext s;
    BOOL result;
    if (!begin(hdc, s, result, [&](const XFORM& x) {
            return pointsInDeviceSpace(x, points, static_cast<std::size_t>(count));
        }))
        return result;
    ShapeJob job;
    job.boundPoints(points, count);
    job.path = [&](cairo_t* cr) {
        cairo_move_to(cr, points[0].x, points[0].y);
        for (int i = 1; i < count; ++i) cairo_line_to(cr, points[i].x, points[i].y);
        cairo_close_path(cr);
    };
    job.fill = true;
    job.fillRule = s.dc->polyFillMode == WINDING ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD;
    drawGeneral(s, job);
    return TRUE;
}
