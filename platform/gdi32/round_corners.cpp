#include "platform/gdi32/round_corners.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "platform/gdi32/fast_shapes.h"

namespace platform::gdi32 {
namespace {

// Pixel corners work in int; boxes beyond this take the smooth path.
constexpr std::int64_t kPixelCoordinateLimit = std::int64_t{1} << 28;

// Rows y0 .. y1 - 1 each covering columns x0 .. x1 - 1.
struct Band {
    int y0, y1, x0, x1;
};
using Contour = std::vector<Band>;

// Closed staircase paths along pixel edges, one per run of consecutive bands.
void addContour(cairo_t* cr, const Contour& bands) {
    std::size_t i = 0;
    while (i < bands.size()) {
        std::size_t end = i + 1;
        while (end < bands.size() && bands[end].y0 == bands[end - 1].y1) ++end;
        cairo_move_to(cr, bands[i].x0, bands[i].y0);
        for (std::size_t k = i; k < end; ++k) {
            cairo_line_to(cr, bands[k].x0, bands[k].y0);
            cairo_line_to(cr, bands[k].x0, bands[k].y1);
        }
        for (std::size_t k = end; k-- > i;) {
            cairo_line_to(cr, bands[k].x1, bands[k].y1);
            cairo_line_to(cr, bands[k].x1, bands[k].y0);
        }
        cairo_close_path(cr);
        i = end;
    }
}

void appendRow(Contour& bands, int y, int x0, int x1) {
    if (x0 >= x1) return;
    if (!bands.empty()) {
        Band& last = bands.back();
        if (last.y1 == y && last.x0 == x0 && last.x1 == x1) {
            ++last.y1;
            return;
        }
    }
    bands.push_back({y, y + 1, x0, x1});
}

// The outer and inner contours of the shape whose outer pixels are L .. R, T .. B.
void contours(const std::vector<CornerRow>& rows, int penWidth, int L, int T, int R, int B, Contour& outer,
              Contour& inner) {
    const int n = static_cast<int>(rows.size());
    const CornerRow straight{0, penWidth};
    auto rowAt = [&](int k) { return k < n ? rows[k] : straight; };
    auto addRows = [&](int y0, int y1) {
        for (int y = y0; y <= y1; ++y) {
            CornerRow a = rowAt(y - T), b = rowAt(B - y);
            int o = std::max(a.outer, b.outer), in = std::max(a.inner, b.inner);
            appendRow(outer, y, L + o, R + 1 - o);
            if (in < kOutlineRow) appendRow(inner, y, L + in, R + 1 - in);
        }
    };
    // The straight middle is one band; only the corner rows go row by row.
    if (B - T + 1 <= 2 * n + 2) {
        addRows(T, B);
        return;
    }
    addRows(T, T + n - 1);
    auto middle = [&](Contour& bands, int x0, int x1) {
        appendRow(bands, T + n, x0, x1);
        if (!bands.empty() && bands.back().y1 == T + n + 1) bands.back().y1 = B - n + 1;
    };
    middle(outer, L, R + 1);
    if (penWidth) middle(inner, L + penWidth, R + 1 - penWidth);
    addRows(B - n + 1, B);
}

}  // namespace

std::vector<POINT> ellipseQuadrant(int width, int height) {
    // Stepped by the error of the ellipse equation (after Alois Zingl's ellipse in a
    // rectangle), from the right edge's middle down to the bottom edge, then mirrored.
    std::vector<POINT> points;
    if (width < 1 || height < 1) return points;
    const std::int64_t a = width - 1, b = height - 1;
    const std::int64_t asq = 8 * a * a, bsq = 8 * b * b;
    std::int64_t dx = 4 * b * b * (1 - a), dy = 4 * a * a * (1 + b % 2), err = dx + dy + a * a * (b % 2);
    std::int64_t x = a, y = height / 2;
    for (int guard = width + height + 2; x >= width / 2 && guard > 0; --guard) {
        std::int64_t e2 = 2 * err;
        points.push_back({static_cast<LONG>(a - x), static_cast<LONG>(std::max<std::int64_t>(b - y, 0))});
        if (e2 >= dx) {
            --x;
            err += dx += bsq;
        }
        if (e2 <= dy) {
            ++y;
            err += dy += asq;
        }
    }
    // Narrow ellipses stop short of their top; their tip goes straight up.
    while (!points.empty() && points.back().y > 0) points.push_back({points.back().x, points.back().y - 1});
    return points;
}

std::vector<CornerRow> cornerRows(int ew, int eh, int penWidth) {
    std::vector<CornerRow> rows;
    const int w = std::clamp(penWidth, 0, kMaxPixelCornerPen), h = w / 2;
    if (ew > 2 && eh > 2) {
        // The stepped curve with the straight sides beyond it, as points from the left side
        // up to the top; grid cell (x, y) is pixel (x - 1, y - 1) from the path's corner.
        std::vector<POINT> curve = ellipseQuadrant(ew, eh);
        const int maxX = static_cast<int>(curve.back().x), maxY = static_cast<int>(curve.front().y);
        const int gw = maxX + 4, gh = maxY + 4;
        std::vector<POINT> line;
        for (int y = gh - 2; y > maxY; --y) line.push_back({0, y});
        line.insert(line.end(), curve.begin(), curve.end());
        for (int x = maxX + 1; x <= gw - 2; ++x) line.push_back({x, 0});
        std::vector<std::uint8_t> grid(static_cast<std::size_t>(gw) * gh, 0);
        auto set = [&](int x, int y) {
            if (x >= -1 && y >= -1 && x < gw - 1 && y < gh - 1)
                grid[static_cast<std::size_t>(y + 1) * gw + (x + 1)] = 1;
        };
        for (std::size_t i = 0; i < line.size(); ++i) {
            const int x = line[i].x, y = line[i].y;
            if (w <= 1) {
                set(x, y);
                continue;
            }
            // A two-pixel line covers x - 1 .. x, y - 1 .. y at each point, and a diagonal
            // step also the pixel inside it.
            set(x - 1, y - 1);
            set(x, y - 1);
            set(x - 1, y);
            set(x, y);
            if (i + 1 < line.size() && line[i + 1].x == x + 1 && line[i + 1].y == y - 1) set(x + 1, y);
        }
        for (int gy = 1 - h; gy < gh; ++gy) {
            const std::uint8_t* cells = &grid[static_cast<std::size_t>(gy) * gw];
            int c = 0;
            while (c < gw && !cells[c]) ++c;
            int e = c;
            while (e < gw && cells[e]) ++e;
            CornerRow row{c - 1 + h, e >= gw ? kOutlineRow : e - 1 + h};
            if (w == 0) row.inner = row.outer;
            rows.push_back(row);
        }
        const CornerRow straight{0, w};
        while (!rows.empty() && rows.back().outer == straight.outer && rows.back().inner == straight.inner)
            rows.pop_back();
    } else {
        rows.assign(static_cast<std::size_t>(w), CornerRow{0, kOutlineRow});
    }
    return rows;
}

void roundRectJob(ShapeJob& job, std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b, int ew,
                  int eh, const PenGeometry& pen, bool pixelCorners) {
    r = std::max(l, r);
    b = std::max(t, b);
    job.minX = static_cast<double>(l);
    job.minY = static_cast<double>(t);
    job.maxX = static_cast<double>(r);
    job.maxY = static_cast<double>(b);
    job.fill = true;
    job.stroke = pen.visible ? &pen.stroke : nullptr;
    job.outlineArea = nullptr;
    const int w = pen.visible ? pen.width : 0;
    // The ellipse is at most as large as the box GDI measures: the outline's pixels, or
    // without one the filled pixels.
    const std::int64_t boxW = r - l + (w ? 1 : 0);
    const std::int64_t boxH = b - t + (w ? 1 : 0);
    const int cw = static_cast<int>(std::min<std::int64_t>(ew, boxW));
    const int ch = static_cast<int>(std::min<std::int64_t>(eh, boxH));
    const bool onScreen =
        std::max({std::abs(l), std::abs(t), std::abs(r), std::abs(b)}) < kPixelCoordinateLimit;
    if (!pixelCorners || !onScreen || w > kMaxPixelCornerPen || cw > kMaxPixelCorner ||
        ch > kMaxPixelCorner) {
        job.offset = pen.visible ? pen.offset : 0;
        job.path = [=](cairo_t* cr) {
            roundRectPath(cr, static_cast<double>(l), static_cast<double>(t), static_cast<double>(r),
                          static_cast<double>(b), ew, eh);
        };
        return;
    }
    job.offset = 0;
    const int h = w / 2;
    const int L = static_cast<int>(l) - h, T = static_cast<int>(t) - h;
    const int R = static_cast<int>(w ? r - h + w - 1 : r - 1),
              B = static_cast<int>(w ? b - h + w - 1 : b - 1);
    auto outer = std::make_shared<Contour>(), inner = std::make_shared<Contour>();
    if (R >= L && B >= T) contours(cornerRows(cw, ch, w), w, L, T, R, B, *outer, *inner);
    if (!w) {
        job.path = [outer](cairo_t* cr) { addContour(cr, *outer); };
        return;
    }
    job.path = [inner](cairo_t* cr) { addContour(cr, *inner); };
    job.outlineArea = [outer, inner](cairo_t* cr) {
        addContour(cr, *outer);
        addContour(cr, *inner);
    };
}

}  // namespace platform::gdi32
