#include "platform/gdi32/span_painter.h"

#include <algorithm>
#include <cstring>

namespace platform::gdi32 {
namespace {

// One byte per row of an 8 x 8 hatch cell, bit x set where the hatch line passes.
constexpr std::uint8_t kHatches[6][8] = {
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF},  // HS_HORIZONTAL
    {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80},  // HS_VERTICAL
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // HS_FDIAGONAL
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // HS_BDIAGONAL
    {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0xFF},  // HS_CROSS
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // HS_DIAGCROSS
};

inline void put(const PaintTarget& target, std::uint32_t* p, std::uint32_t value) {
    *p = target.rop2 == R2_COPYPEN ? value : applyRop2(target.rop2, value, *p);
}

}  // namespace

std::uint32_t applyRop2(int rop2, std::uint32_t pen, std::uint32_t dst) {
    std::uint32_t r;
    switch (rop2) {
        case R2_BLACK:
            r = 0;
            break;
        case R2_NOTMERGEPEN:
            r = ~(dst | pen);
            break;
        case R2_MASKNOTPEN:
            r = dst & ~pen;
            break;
        case R2_NOTCOPYPEN:
            r = ~pen;
            break;
        case R2_MASKPENNOT:
            r = pen & ~dst;
            break;
        case R2_NOT:
            r = ~dst;
            break;
        case R2_XORPEN:
            r = dst ^ pen;
            break;
        case R2_NOTMASKPEN:
            r = ~(dst & pen);
            break;
        case R2_MASKPEN:
            r = dst & pen;
            break;
        case R2_NOTXORPEN:
            r = ~(dst ^ pen);
            break;
        case R2_NOP:
            r = dst;
            break;
        case R2_MERGENOTPEN:
            r = dst | ~pen;
            break;
        case R2_MERGEPENNOT:
            r = pen | ~dst;
            break;
        case R2_MERGEPEN:
            r = dst | pen;
            break;
        case R2_WHITE:
            r = 0xFFFFFF;
            break;
        default:
            r = pen;
            break;
    }
    return r & 0xFFFFFFu;
}

bool makeTarget(const DeviceContext& dc, PaintTarget& target) {
    if (dc.window || !dc.bitmap || dc.bitmap->pixels.empty()) return false;
    target.pixels = dc.bitmap->row(0);
    target.stride = dc.bitmap->stride();
    target.width = dc.bitmap->width;
    target.height = dc.bitmap->height;
    target.clip = {0, 0, target.width, target.height};
    if (dc.clip) {
        target.clip.left = std::max(target.clip.left, dc.clip->left);
        target.clip.top = std::max(target.clip.top, dc.clip->top);
        target.clip.right = std::min(target.clip.right, dc.clip->right);
        target.clip.bottom = std::min(target.clip.bottom, dc.clip->bottom);
    }
    target.rop2 = dc.rop2;
    return target.clip.left < target.clip.right && target.clip.top < target.clip.bottom;
}

Paint solidPaint(COLORREF color) {
    Paint paint;
    paint.kind = Paint::Kind::Solid;
    paint.fg = toPixel(color);
    return paint;
}

Paint brushPaint(const DeviceContext& dc, const Brush* brush) {
    Paint paint;
    if (!brush) return paint;
    switch (brush->style) {
        case BS_SOLID:
            return solidPaint(brush->color);
        case BS_HATCHED:
            paint.kind = Paint::Kind::Hatch;
            paint.fg = toPixel(brush->color);
            paint.bg = toPixel(dc.bkColor);
            paint.opaque = dc.bkMode == OPAQUE;
            paint.hatch = static_cast<int>(brush->hatch <= HS_DIAGCROSS ? brush->hatch : HS_HORIZONTAL);
            return paint;
        case BS_PATTERN:
        case BS_DIBPATTERNPT:
            if (brush->pattern.empty()) return paint;
            paint.kind = Paint::Kind::Pattern;
            paint.pattern = brush;
            paint.patternFg = toPixel(dc.textColor);
            paint.bg = toPixel(dc.bkColor);
            return paint;
        default:
            return paint;  // BS_NULL
    }
}

void fillSpanGeneral(const PaintTarget& target, const Paint& paint, int y, int x0, int x1) {
    if (paint.kind == Paint::Kind::None || y < target.clip.top || y >= target.clip.bottom) return;
    x0 = std::max(x0, static_cast<int>(target.clip.left));
    x1 = std::min(x1, static_cast<int>(target.clip.right));
    if (x0 >= x1) return;
    std::uint32_t* row = target.row(y);
    switch (paint.kind) {
        case Paint::Kind::Solid:
            if (target.rop2 == R2_COPYPEN) {
                fillPixels(row + x0, x1 - x0, paint.fg);
            } else {
                for (int x = x0; x < x1; ++x) row[x] = applyRop2(target.rop2, paint.fg, row[x]);
            }
            break;
        case Paint::Kind::Hatch: {
            std::uint8_t bits = kHatches[paint.hatch][y & 7];
            for (int x = x0; x < x1; ++x) {
                if (bits & (0x80u >> (x & 7))) {
                    put(target, row + x, paint.fg);
                } else if (paint.opaque) {
                    put(target, row + x, paint.bg);
                }
            }
            break;
        }
        case Paint::Kind::Pattern: {
            const Brush& b = *paint.pattern;
            const std::uint32_t* prow =
                b.pattern.data() + static_cast<std::size_t>(y % b.patternHeight) * b.patternWidth;
            for (int x = x0; x < x1; ++x) {
                std::uint32_t value = prow[x % b.patternWidth];
                if (b.monochrome) value = value ? paint.bg : paint.patternFg;
                put(target, row + x, value);
            }
            break;
        }
        case Paint::Kind::None:
            break;
    }
}

void paintCoverageRow(const PaintTarget& target, std::uint32_t pixel, int y, int x0,
                      const std::uint8_t* alpha, int count) {
    if (y < target.clip.top || y >= target.clip.bottom) return;
    int begin = std::max(0, static_cast<int>(target.clip.left) - x0);
    int end = std::min(count, static_cast<int>(target.clip.right) - x0);
    std::uint32_t* row = target.row(y) + x0;
    for (int i = begin; i < end; ++i) {
        unsigned a = alpha[i];
        if (a == 0) continue;
        if (a == 255 || target.rop2 != R2_COPYPEN) {
            put(target, row + i, pixel);
            continue;
        }
        std::uint32_t d = row[i];
        std::uint32_t out = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            unsigned s = (pixel >> shift) & 0xFF, t = (d >> shift) & 0xFF;
            out |= ((s * a + t * (255 - a) + 127) / 255) << shift;
        }
        row[i] = out;
    }
}

}  // namespace platform::gdi32
