#include "platform/gdi32/text_raster.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "unicode/utf.h"

namespace platform::gdi32 {
namespace {

// Ink reaches this far beyond Pango's ink rectangle (anti-aliasing, rounding).
constexpr int kInkPad = 2;

int toPixels(int pangoUnits) {
    return (pangoUnits + PANGO_SCALE / 2) / PANGO_SCALE;
}

// A line's ink with the pad, relative to the rectangle's left and first line's top, and where
// its logical origin sits; false when the line has no ink.
bool lineInk(const FontFace& face, PangoLayoutLine* line, int lineX, std::int64_t lineTop, std::int64_t& left,
             std::int64_t& top, std::int64_t& right, std::int64_t& bottom, int& logicalX) {
    PangoRectangle ink, logical;
    pango_layout_line_get_pixel_extents(line, &ink, &logical);
    logicalX = logical.x;
    if (ink.width <= 0 || ink.height <= 0) return false;
    const std::int64_t ox = std::int64_t{lineX} - logical.x, oy = lineTop + face.baseline;
    left = ox + ink.x - kInkPad;
    top = oy + ink.y - kInkPad;
    right = ox + ink.x + ink.width + kInkPad;
    bottom = oy + ink.y + ink.height + kInkPad;
    return true;
}

// Draws the lines whose ink meets the area into an A8 surface the area's size and keeps its
// coverage, row extents and solid runs in `out` (whose maskX..maskHeight are the area).
void rasteriseInto(const FontFace& face, PangoLayout* layout, const std::vector<int>& lineX, int cellHeight,
                   const TextArea& area, TextBlock& out) {
    out.maskX = area.x;
    out.maskY = area.y;
    out.maskWidth = area.width;
    out.maskHeight = area.height;
    out.mask.clear();
    out.rowFirst.clear();
    out.rowEnd.clear();
    out.solidRuns.clear();
    out.partial = false;
    if (area.width <= 0 || area.height <= 0) return;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, area.width, area.height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {  // out of memory: nothing shows
        cairo_surface_destroy(surface);
        return;
    }
    cairo_t* cr = cairo_create(surface);
    cairo_set_antialias(cr, face.antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, face.antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    const std::int64_t areaRight = std::int64_t{area.x} + area.width,
                       areaBottom = std::int64_t{area.y} + area.height;
    const int count = static_cast<int>(lineX.size());
    GSList* lines = pango_layout_get_lines_readonly(layout);
    for (int i = 0; i < count && lines != nullptr; ++i, lines = lines->next) {
        auto* line = static_cast<PangoLayoutLine*>(lines->data);
        std::int64_t left = 0, top = 0, right = 0, bottom = 0;
        int logicalX = 0;
        const std::int64_t lineTop = std::int64_t{i} * cellHeight;
        if (!lineInk(face, line, lineX[i], lineTop, left, top, right, bottom, logicalX)) continue;
        if (right <= area.x || left >= areaRight || bottom <= area.y || top >= areaBottom) continue;
        // Whole-pixel offsets: a glyph rasterises the same in every piece and in a whole mask.
        cairo_move_to(cr, static_cast<double>(std::int64_t{lineX[i]} - logicalX - area.x),
                      static_cast<double>(lineTop + face.baseline - area.y));
        pango_cairo_show_layout_line(cr, line);
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const std::size_t width = static_cast<std::size_t>(area.width);
    out.mask.assign(width * static_cast<std::size_t>(area.height), 0);
    out.rowFirst.assign(static_cast<std::size_t>(area.height), 0);
    out.rowEnd.assign(static_cast<std::size_t>(area.height), 0);
    for (int r = 0; r < area.height; ++r) {
        const unsigned char* src = data + static_cast<std::ptrdiff_t>(r) * stride;
        std::uint8_t* dst = out.mask.data() + static_cast<std::size_t>(r) * width;
        int first = area.width, end = 0;
        for (int c = 0; c < area.width; ++c) {
            dst[c] = src[c];
            if (src[c]) {
                first = std::min(first, c);
                end = c + 1;
            }
        }
        out.rowFirst[r] = first < end ? first : 0;
        out.rowEnd[r] = end;
        for (int c = first; c < end;) {
            if (dst[c] != 255) {
                out.partial = out.partial || dst[c] != 0;
                ++c;
                continue;
            }
            int e = c;
            while (e < end && dst[e] == 255) ++e;
            out.solidRuns.push_back({r, c, e});
            c = e;
        }
    }
    cairo_surface_destroy(surface);
}

}  // namespace

PangoLayout* makeLayout(const FontFace& face, std::u16string_view text, unsigned flags, int width) {
    std::u16string shown;
    std::vector<std::size_t> underlined;  // indices into `shown`
    const bool prefixes = !(flags & DT_NOPREFIX);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if ((flags & DT_SINGLELINE) && (c == u'\r' || c == u'\n')) continue;
        if (prefixes && c == u'&') {
            if (i + 1 >= text.size()) break;
            c = text[++i];
            if (c != u'&' && !(flags & DT_HIDEPREFIX)) underlined.push_back(shown.size());
        }
        shown.push_back(c);
    }
    std::string utf8;
    std::vector<std::size_t> byteAt(shown.size() + 1, 0);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        byteAt[i] = utf8.size();
        std::size_t n = (shown[i] >= 0xD800 && shown[i] < 0xDC00 && i + 1 < shown.size()) ? 2 : 1;
        unicode::appendUtf8(utf8, std::u16string_view(shown.data() + i, n));
        if (n == 2) byteAt[++i] = utf8.size();
    }
    byteAt[shown.size()] = utf8.size();

    PangoLayout* layout = pango_layout_new(pangoContext(face.antialias));
    pango_layout_set_font_description(layout, face.description);
    pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));
    if (flags & DT_SINGLELINE) pango_layout_set_single_paragraph_mode(layout, TRUE);
    if ((flags & DT_WORDBREAK) && !(flags & DT_SINGLELINE)) {
        pango_layout_set_width(layout, std::max(width, 1) * PANGO_SCALE);
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD);
    }
    PangoAttrList* attrs = pango_attr_list_new();
    if (face.underline || face.strikeOut) {
        PangoAttribute* a = face.underline ? pango_attr_underline_new(PANGO_UNDERLINE_SINGLE)
                                           : pango_attr_strikethrough_new(TRUE);
        pango_attr_list_insert(attrs, a);
        if (face.underline && face.strikeOut)
            pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
    }
    for (std::size_t index : underlined) {
        PangoAttribute* a = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
        a->start_index = static_cast<guint>(byteAt[index]);
        a->end_index = static_cast<guint>(byteAt[index + 1]);
        pango_attr_list_insert(attrs, a);
    }
    pango_layout_set_attributes(layout, attrs);
    pango_attr_list_unref(attrs);
    return layout;
}

void measureLines(const FontFace& face, PangoLayout* layout, unsigned flags, int width, bool empty,
                  TextBlock& b) {
    b.cellHeight = face.cellHeight;
    if (empty) return;
    // Walked as a list: fetching line i by its index walks the list from the start each time.
    for (GSList* lines = pango_layout_get_lines_readonly(layout); lines != nullptr; lines = lines->next) {
        auto* line = static_cast<PangoLayoutLine*>(lines->data);
        PangoRectangle logical;
        pango_layout_line_get_extents(line, nullptr, &logical);
        int w = toPixels(logical.width);
        // GDI centres with integer division of the spare width (truncating).
        int x = 0;
        if (flags & DT_CENTER)
            x = (width - w) / 2;
        else if (flags & DT_RIGHT)
            x = width - w;
        b.lineX.push_back(x);
        b.lineWidth.push_back(w);
        b.maxWidth = std::max(b.maxWidth, w);
    }
}

void rasteriseLines(const FontFace& face, PangoLayout* layout, TextBlock& b) {
    const int count = b.lineCount();
    std::int64_t left = 0, top = 0, right = 0, bottom = 0;
    bool any = false;
    GSList* lines = pango_layout_get_lines_readonly(layout);
    for (int i = 0; i < count && lines != nullptr; ++i, lines = lines->next) {
        std::int64_t l = 0, t = 0, r = 0, btm = 0;
        int logicalX = 0;
        auto* line = static_cast<PangoLayoutLine*>(lines->data);
        if (!lineInk(face, line, b.lineX[i], std::int64_t{i} * b.cellHeight, l, t, r, btm, logicalX))
            continue;
        left = any ? std::min(left, l) : l;
        top = any ? std::min(top, t) : t;
        right = any ? std::max(right, r) : r;
        bottom = any ? std::max(bottom, btm) : btm;
        any = true;
    }
    if (!any) return;
    const std::int64_t width = right - left, height = bottom - top;
    // Ink beyond int (Pango's own units run out first) is left undrawn rather than wrapped.
    if (left < INT32_MIN / 2 || top < INT32_MIN / 2 || width > INT32_MAX / 2 || height > INT32_MAX / 2)
        return;
    const TextArea ink{static_cast<int>(left), static_cast<int>(top), static_cast<int>(width),
                       static_cast<int>(height)};
    if (width > kMaxMaskSide || height > kMaxMaskSide ||
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxMaskBytes) {
        b.maskX = ink.x;
        b.maskY = ink.y;
        b.maskWidth = ink.width;
        b.maskHeight = ink.height;
        b.windowed = true;
        return;
    }
    rasteriseInto(face, layout, b.lineX, b.cellHeight, ink, b);
}

void rasteriseArea(const FontFace& face, PangoLayout* layout, const TextBlock& whole, const TextArea& area,
                   TextBlock& piece) {
    rasteriseInto(face, layout, whole.lineX, whole.cellHeight, area, piece);
}

}  // namespace platform::gdi32
