#include "platform/gdi32/cairo_raster.h"

#include <algorithm>
#include <cmath>

namespace platform::gdi32 {

PenGeometry penGeometry(const Pen* pen) {
    PenGeometry g;
    if (!pen || pen->isNull()) return g;
    g.visible = true;
    g.width = pen->strokeWidth();
    g.offset = (g.width % 2) ? 0.5 : 0.0;
    StrokeStyle& s = g.stroke;
    s.width = g.width;
    s.cosmetic = !pen->geometric;
    int kind = pen->kind();
    double unit = s.cosmetic ? 1.0 : g.width;
    if (!s.cosmetic) {
        const DWORD cap = pen->style & PS_ENDCAP_MASK;
        const DWORD join = pen->style & PS_JOIN_MASK;
        s.cap = cap == PS_ENDCAP_SQUARE ? CAIRO_LINE_CAP_SQUARE
                : cap == PS_ENDCAP_FLAT ? CAIRO_LINE_CAP_BUTT
                                        : CAIRO_LINE_CAP_ROUND;
        s.join = join == PS_JOIN_BEVEL   ? CAIRO_LINE_JOIN_BEVEL
                 : join == PS_JOIN_MITER ? CAIRO_LINE_JOIN_MITER
                                         : CAIRO_LINE_JOIN_ROUND;
    }
    // Cosmetic dashes are in pixels; geometric ones scale with the width.
    switch (kind) {
        case PS_DASH:
            s.dashes = s.cosmetic ? std::vector<double>{18, 6} : std::vector<double>{3 * unit, unit};
            break;
        case PS_DOT:
            s.dashes = s.cosmetic ? std::vector<double>{3, 3} : std::vector<double>{unit, unit};
            break;
        case PS_DASHDOT:
            s.dashes = s.cosmetic ? std::vector<double>{9, 6, 3, 6}
                                  : std::vector<double>{3 * unit, unit, unit, unit};
            break;
        case PS_DASHDOTDOT:
            s.dashes = s.cosmetic ? std::vector<double>{9, 3, 3, 3, 3, 3}
                                  : std::vector<double>{3 * unit, unit, unit, unit, unit, unit};
            break;
        case PS_ALTERNATE:
            s.dashes = {1, 1};
            break;
        case PS_USERSTYLE:
            // An odd count repeats with dashes and gaps swapped, in Cairo as in GDI.
            for (DWORD v : pen->userStyle) s.dashes.push_back(static_cast<double>(v));
            break;
        default:
            break;
    }
    return g;
}

bool rasterizeShape(const XFORM& xf, const RECT& clip, const ShapeJob& job, ShapeMasks& masks) {
    double margin = (job.stroke ? job.stroke->width : 0) + 2;
    if (job.stroke && job.stroke->join == CAIRO_LINE_JOIN_MITER) margin += 10 * job.stroke->width;
    // Device bounds of the logical bounds' corners.
    double xs[4], ys[4];
    const double cx[4] = {job.minX, job.maxX, job.minX, job.maxX};
    const double cy[4] = {job.minY, job.minY, job.maxY, job.maxY};
    double scale =
        std::max({std::fabs(static_cast<double>(xf.eM11)) + std::fabs(static_cast<double>(xf.eM21)),
                  std::fabs(static_cast<double>(xf.eM12)) + std::fabs(static_cast<double>(xf.eM22)), 1.0});
    if (job.stroke && !job.stroke->cosmetic) margin *= scale;
    for (int i = 0; i < 4; ++i) {
        xs[i] = cx[i] * xf.eM11 + cy[i] * xf.eM21 + xf.eDx;
        ys[i] = cx[i] * xf.eM12 + cy[i] * xf.eM22 + xf.eDy;
    }
    double x0 = std::floor(*std::min_element(xs, xs + 4) - margin);
    double y0 = std::floor(*std::min_element(ys, ys + 4) - margin);
    double x1 = std::ceil(*std::max_element(xs, xs + 4) + margin + 1);
    double y1 = std::ceil(*std::max_element(ys, ys + 4) + margin + 1);
    x0 = std::max(x0, static_cast<double>(clip.left));
    y0 = std::max(y0, static_cast<double>(clip.top));
    x1 = std::min(x1, static_cast<double>(clip.right));
    y1 = std::min(y1, static_cast<double>(clip.bottom));
    if (!(x0 < x1 && y0 < y1)) return false;
    masks.x = static_cast<int>(x0);
    masks.y = static_cast<int>(y0);
    masks.width = static_cast<int>(x1 - x0);
    masks.height = static_cast<int>(y1 - y0);

    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, masks.width, masks.height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return false;
    }
    cairo_t* cr = cairo_create(surface);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_matrix_t m;
    cairo_matrix_init(&m, xf.eM11, xf.eM12, xf.eM21, xf.eM22, xf.eDx + job.offset - x0,
                      xf.eDy + job.offset - y0);
    auto grab = [&](std::vector<std::uint8_t>& out) {
        cairo_surface_flush(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        int stride = cairo_image_surface_get_stride(surface);
        out.resize(static_cast<std::size_t>(masks.width) * masks.height);
        for (int r = 0; r < masks.height; ++r) {
            std::copy(data + static_cast<std::ptrdiff_t>(r) * stride,
                      data + static_cast<std::ptrdiff_t>(r) * stride + masks.width,
                      out.begin() + static_cast<std::ptrdiff_t>(r) * masks.width);
        }
        cairo_set_source_rgba(cr, 0, 0, 0, 0);
        cairo_paint(cr);
    };
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    if (job.fill) {
        cairo_set_matrix(cr, &m);
        cairo_new_path(cr);
        job.path(cr);
        cairo_identity_matrix(cr);
        cairo_set_fill_rule(cr, job.fillRule);
        cairo_fill(cr);
        grab(masks.fill);
    }
    if (job.stroke && job.outlineArea) {
        cairo_set_source_rgba(cr, 0, 0, 0, 1);
        cairo_set_matrix(cr, &m);
        cairo_new_path(cr);
        job.outlineArea(cr);
        cairo_identity_matrix(cr);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_fill(cr);
        grab(masks.stroke);
    } else if (job.stroke) {
        const StrokeStyle& s = *job.stroke;
        cairo_set_source_rgba(cr, 0, 0, 0, 1);
        cairo_set_matrix(cr, &m);
        cairo_new_path(cr);
        job.path(cr);
        if (s.cosmetic) cairo_identity_matrix(cr);  // one device pixel wide whatever the transform
        cairo_set_line_width(cr, s.width);
        cairo_set_line_cap(cr, s.cap);
        cairo_set_line_join(cr, s.join);
        cairo_set_miter_limit(cr, 10.0);
        if (!s.dashes.empty()) cairo_set_dash(cr, s.dashes.data(), static_cast<int>(s.dashes.size()), 0);
        cairo_stroke(cr);
        grab(masks.stroke);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return true;
}

void paintMasks(const PaintTarget& target, const ShapeMasks& masks, const Paint& fill, const Paint& stroke) {
    const bool hasFill = !masks.fill.empty() && fill.kind != Paint::Kind::None;
    const bool hasStroke = !masks.stroke.empty() && stroke.kind != Paint::Kind::None;
    for (int r = 0; r < masks.height; ++r) {
        const std::size_t base = static_cast<std::size_t>(r) * masks.width;
        const int y = masks.y + r;
        // Runs of one kind: 1 fill (where no outline), 2 outline.
        int runStart = 0, runKind = 0;
        for (int c = 0; c <= masks.width; ++c) {
            int kind = 0;
            if (c < masks.width) {
                bool s = !masks.stroke.empty() && masks.stroke[base + c];
                bool f = !masks.fill.empty() && masks.fill[base + c];
                kind = s ? 2 : (f ? 1 : 0);
            }
            if (kind == runKind) continue;
            if (runKind == 1 && hasFill) fillSpan(target, fill, y, masks.x + runStart, masks.x + c);
            if (runKind == 2 && hasStroke) fillSpan(target, stroke, y, masks.x + runStart, masks.x + c);
            runKind = kind;
            runStart = c;
        }
    }
}

}  // namespace platform::gdi32
