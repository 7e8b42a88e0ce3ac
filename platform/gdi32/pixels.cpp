// Single pixels and flood fill.
#include <vector>

#include "platform/gdi32/dc_transform.h"
#include "platform/gdi32/span_painter.h"

using namespace platform::gdi32;

namespace {

bool insideClip(const PaintTarget& t, POINT p) {
    return p.x >= t.clip.left && p.x < t.clip.right && p.y >= t.clip.top && p.y < t.clip.bottom;
}

}  // namespace

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
    DeviceContext* dc = lookupDC(hdc);
    PaintTarget target;
    if (!dc || !makeTarget(*dc, target)) return CLR_INVALID;
    POINT p = toDevicePoint(dc->xform, x, y);
    if (!insideClip(target, p)) return CLR_INVALID;
    return toColor(target.row(p.y)[p.x]);
}

BOOL WINAPI SetPixelV(HDC hdc, int x, int y, COLORREF color) {
    DeviceContext* dc = lookupDC(hdc);
    PaintTarget target;
    if (!dc || !makeTarget(*dc, target)) return FALSE;
    POINT p = toDevicePoint(dc->xform, x, y);
    if (!insideClip(target, p)) return FALSE;
    target.row(p.y)[p.x] = toPixel(color);
    return TRUE;
}

// Fills, with the current brush, the 4-connected area around (x, y) that is bounded by
// `color` (FLOODFILLBORDER) or that has `color` (FLOODFILLSURFACE), inside the clip.
BOOL WINAPI ExtFloodFill(HDC hdc, int x, int y, COLORREF color, UINT type) {
    DeviceContext* dc = lookupDC(hdc);
    PaintTarget target;
    if (!dc || (type != FLOODFILLBORDER && type != FLOODFILLSURFACE) || !makeTarget(*dc, target))
        return FALSE;
    POINT seed = toDevicePoint(dc->xform, x, y);
    if (!insideClip(target, seed)) return FALSE;
    const std::uint32_t key = toPixel(color);
    auto fillable = [&](int px, int py) {
        bool same = (target.row(py)[px] & 0xFFFFFFu) == key;
        return type == FLOODFILLSURFACE ? same : !same;
    };
    if (!fillable(seed.x, seed.y)) return FALSE;
    const RECT& c = target.clip;
    const int w = c.right - c.left, h = c.bottom - c.top;
    std::vector<bool> seen(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), false);
    auto mark = [&](int px, int py) {
        return seen[static_cast<std::size_t>(py - c.top) * w + (px - c.left)];
    };
    struct Span {
        int y, x0, x1;  // x1 exclusive
    };
    std::vector<Span> spans;
    std::vector<POINT> stack{seed};
    // Scan-line fill: find the whole run around each seed, then seed the rows above and below.
    while (!stack.empty()) {
        POINT p = stack.back();
        stack.pop_back();
        if (mark(p.x, p.y) || !fillable(p.x, p.y)) continue;
        int x0 = p.x, x1 = p.x + 1;
        while (x0 > c.left && !mark(x0 - 1, p.y) && fillable(x0 - 1, p.y)) --x0;
        while (x1 < c.right && !mark(x1, p.y) && fillable(x1, p.y)) ++x1;
        for (int i = x0; i < x1; ++i) seen[static_cast<std::size_t>(p.y - c.top) * w + (i - c.left)] = true;
        spans.push_back({static_cast<int>(p.y), x0, x1});
        for (int ny : {static_cast<int>(p.y) - 1, static_cast<int>(p.y) + 1}) {
            if (ny < c.top || ny >= c.bottom) continue;
            bool inRun = false;
            for (int i = x0; i < x1; ++i) {
                bool ok = !mark(i, ny) && fillable(i, ny);
                if (ok && !inRun) stack.push_back({i, ny});
                inRun = ok;
            }
        }
    }
    Paint paint = brushPaint(*dc, dc->brush);
    for (const Span& s : spans) fillSpan(target, paint, s.y, s.x0, s.x1);
    return TRUE;
}
