#include "platform/gdi32/fast_shapes.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>

#include "platform/gdi32/round_corners.h"

namespace platform::gdi32 {
namespace {

std::atomic<bool> gFastPaths{true};

constexpr int kMaxCorner = 64;
constexpr int kMaxPenWidth = 8;

// The rows of a rounded rectangle's top and bottom bands as runs of fill (1) and outline
// (2), each run anchored to the left edge, the middle or the right edge of the box.
struct Run {
    int kind;
    int anchor;  // 0 left, 1 middle (spans from the left anchor's end to the right anchor's start), 2 right
    int x0, x1;  // offsets from the anchor edge (left: from box.left; right: from box.right)
};
struct TemplateRow {
    int dy;  // offset from the anchor edge (top rows: from box.top; bottom rows: from box.bottom)
    std::vector<Run> runs;
};
struct CornerTemplate {
    int bandX = 0, bandY = 0;  // the corner zone's width and height from the box edge
    std::vector<TemplateRow> top, bottom;
    TemplateRow middle;
};

void appendRuns(const ShapeMasks& m, int r, int boxRight, int bandX, TemplateRow& row) {
    const std::size_t base = static_cast<std::size_t>(r) * m.width;
    auto kindAt = [&](int c) {
        return m.stroke.size() && m.stroke[base + c] ? 2 : (m.fill[base + c] ? 1 : 0);
    };
    // Device column x of the template maps to: left zone x < bandX, right zone x > boxRight - bandX.
    int c = 0;
    while (c < m.width) {
        int x = m.x + c;
        int kind = kindAt(c);
        int anchor = x < bandX ? 0 : (x > boxRight - bandX ? 2 : 1);
        int end = c + 1;
        while (end < m.width) {
            int xe = m.x + end;
            int a = xe < bandX ? 0 : (xe > boxRight - bandX ? 2 : 1);
            if (a != anchor || kindAt(end) != kind) break;
            ++end;
        }
        if (kind) {
            int origin = anchor == 2 ? boxRight : 0;
            row.runs.push_back({kind, anchor, x - origin, m.x + end - origin});
        }
        c = end;
    }
}

std::shared_ptr<const CornerTemplate> buildTemplate(int ew, int eh, const PenGeometry& pen) {
    auto t = std::make_shared<CornerTemplate>();
    int w = pen.visible ? pen.width : 0;
    t->bandX = (ew + 1) / 2 + w + 2;
    t->bandY = (eh + 1) / 2 + w + 2;
    const int boxRight = 2 * t->bandX + 2, boxBottom = 2 * t->bandY + 2;
    // Only solid pens come here, so the corners are the general path's pixel corners.
    ShapeJob job;
    roundRectJob(job, 0, 0, boxRight, boxBottom, ew, eh, pen, true);
    XFORM identity{1, 0, 0, 1, 0, 0};
    RECT clip{-1000, -1000, 1000, 1000};
    ShapeMasks masks;
    rasterizeShape(identity, clip, job, masks);
    for (int r = 0; r < masks.height; ++r) {
        int y = masks.y + r;
        TemplateRow row;
        appendRuns(masks, r, boxRight, t->bandX, row);
        if (y < t->bandY) {
            row.dy = y;
            t->top.push_back(row);
        } else if (y > boxBottom - t->bandY) {
            row.dy = y - boxBottom;
            t->bottom.push_back(row);
        } else if (y == t->bandY) {
            row.dy = 0;
            t->middle = row;
        }
    }
    return t;
}

std::shared_ptr<const CornerTemplate> cornerTemplate(int ew, int eh, const PenGeometry& pen) {
    static std::mutex mutex;
    static std::map<std::tuple<int, int, int>, std::shared_ptr<const CornerTemplate>> cache;
    auto key = std::make_tuple(ew, eh, pen.visible ? pen.width : 0);
    std::lock_guard<std::mutex> lock(mutex);
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    auto t = buildTemplate(ew, eh, pen);
    cache.emplace(key, t);
    return t;
}

bool simplePen(const PenGeometry& pen, const Pen* penObject, int maxWidth) {
    if (!pen.visible) return true;
    if (pen.width > maxWidth || !penObject->solid() || !pen.stroke.dashes.empty()) return false;
    return pen.stroke.cosmetic || pen.stroke.join != CAIRO_LINE_JOIN_BEVEL;
}

}  // namespace

void setFastPathsEnabled(bool enabled) {
    gFastPaths = enabled;
}
bool fastPathsEnabled() {
    return gFastPaths;
}

void roundRectPath(cairo_t* cr, double l, double t, double r, double b, double ew, double eh) {
    ew = std::min(ew, r - l);
    eh = std::min(eh, b - t);
    if (ew <= 0 || eh <= 0) {
        cairo_rectangle(cr, l, t, r - l, b - t);
        return;
    }
    double rx = ew / 2, ry = eh / 2;
    auto corner = [&](double cx, double cy, double from, double to) {
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_scale(cr, rx, ry);
        cairo_arc(cr, 0, 0, 1, from, to);
        cairo_restore(cr);
    };
    cairo_new_sub_path(cr);
    corner(r - rx, t + ry, -M_PI / 2, 0);
    corner(r - rx, b - ry, 0, M_PI / 2);
    corner(l + rx, b - ry, M_PI / 2, M_PI);
    corner(l + rx, t + ry, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

bool fastRectangle(const PaintTarget& target, const DeviceBox& box, const PenGeometry& pen,
                   const Pen* penObject, const Paint& fill, const Paint& stroke) {
    if (!simplePen(pen, penObject, 3) || box.right < box.left || box.bottom < box.top) return false;
    // A box of no width or height is a line of the outline: always spans, since a stroked
    // path of no area loses its end pixels.
    const bool degenerate = box.right == box.left || box.bottom == box.top;
    if (!gFastPaths && !degenerate) return false;
    const int top = std::max(static_cast<int>(target.clip.top), box.top - pen.width);
    const int bottom = std::min(static_cast<int>(target.clip.bottom), box.bottom + pen.width + 1);
    if (!pen.visible) {
        // The path runs along pixel edges: columns left .. right - 1 are inside.
        for (int y = std::max(top, box.top); y < std::min(bottom, box.bottom); ++y)
            fillSpan(target, fill, y, box.left, box.right);
        return true;
    }
    // An outline w wide around coordinate c covers c - w/2 .. c - w/2 + w - 1.
    const int w = pen.width, h = w / 2;
    const int outerL = box.left - h, outerR = box.right - h + w;  // exclusive
    const int outerT = box.top - h, outerB = box.bottom - h + w;
    const int innerL = box.left - h + w, innerR = box.right - h;  // the fill between the rings
    const int innerT = box.top - h + w, innerB = box.bottom - h;
    for (int y = std::max(top, outerT); y < std::min(bottom, outerB); ++y) {
        if (y < innerT || y >= innerB || innerL >= innerR) {
            fillSpan(target, stroke, y, outerL, outerR);
        } else {
            fillSpan(target, stroke, y, outerL, innerL);
            fillSpan(target, fill, y, innerL, innerR);
            fillSpan(target, stroke, y, innerR, outerR);
        }
    }
    return true;
}

bool fastRoundRect(const PaintTarget& target, const DeviceBox& box, int ew, int eh, const PenGeometry& pen,
                   const Pen* penObject, const Paint& fill, const Paint& stroke) {
    if (!gFastPaths || !simplePen(pen, penObject, kMaxPenWidth)) return false;
    if (ew < 0 || eh < 0 || ew > kMaxCorner || eh > kMaxCorner) return false;
    const int w = pen.visible ? pen.width : 0;
    const int bandX = (ew + 1) / 2 + w + 2, bandY = (eh + 1) / 2 + w + 2;
    if (box.right - box.left < 2 * bandX + 2 || box.bottom - box.top < 2 * bandY + 2) return false;
    auto t = cornerTemplate(ew, eh, pen);
    auto paintRow = [&](int y, const TemplateRow& row) {
        if (y < target.clip.top || y >= target.clip.bottom) return;
        for (const Run& run : row.runs) {
            int x0, x1;
            if (run.anchor == 0) {
                x0 = box.left + run.x0;
                x1 = box.left + run.x1;
            } else if (run.anchor == 2) {
                x0 = box.right + run.x0;
                x1 = box.right + run.x1;
            } else {
                x0 = box.left + t->bandX;
                x1 = box.right - t->bandX + 1;
            }
            fillSpan(target, run.kind == 2 ? stroke : fill, y, x0, x1);
        }
    };
    for (const TemplateRow& row : t->top) paintRow(box.top + row.dy, row);
    const int midTop = box.top + t->bandY, midBottom = box.bottom - t->bandY;  // inclusive
    for (int y = std::max(midTop, static_cast<int>(target.clip.top));
         y <= std::min(midBottom, static_cast<int>(target.clip.bottom) - 1); ++y) {
        paintRow(y, t->middle);
    }
    for (const TemplateRow& row : t->bottom) paintRow(box.bottom + row.dy, row);
    return true;
}

}  // namespace platform::gdi32
