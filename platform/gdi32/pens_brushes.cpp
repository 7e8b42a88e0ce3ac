// Pens and brushes. A pen made by CreatePen wider than one pixel is a geometric pen with
// round caps and joins; ExtCreatePen makes cosmetic or geometric pens with any caps, joins
// and user dash pattern.
#include <climits>
#include <cstring>

#include "platform/gdi32/dib_format.h"
#include "platform/gdi32/gdi_objects.h"

using namespace platform::gdi32;

HPEN WINAPI CreatePen(int style, int width, COLORREF color) {
    if (style < PS_SOLID || style > PS_INSIDEFRAME) return nullptr;
    auto pen = std::make_unique<Pen>();
    pen->color = color & 0xFFFFFFu;
    pen->width = width < 0 ? (width == INT_MIN ? INT_MAX : -width) : width;
    if (pen->width > 1) {
        // Wide pens are solid whatever dash style was asked for.
        pen->geometric = true;
        pen->style =
            static_cast<DWORD>(style == PS_NULL ? PS_NULL : (style == PS_INSIDEFRAME ? style : PS_SOLID));
    } else {
        pen->style = static_cast<DWORD>(style);
    }
    return static_cast<HPEN>(registerObject(std::move(pen)));
}

HPEN WINAPI ExtCreatePen(DWORD penStyle, DWORD width, const LOGBRUSH* brush, DWORD styleCount,
                         const DWORD* style) {
    if (!brush) return nullptr;
    DWORD kind = penStyle & PS_STYLE_MASK;
    DWORD type = penStyle & PS_TYPE_MASK;
    if (kind > PS_ALTERNATE || (type != PS_COSMETIC && type != PS_GEOMETRIC)) return nullptr;
    if ((penStyle & PS_ENDCAP_MASK) > PS_ENDCAP_FLAT || (penStyle & PS_JOIN_MASK) > PS_JOIN_MITER)
        return nullptr;
    if (type == PS_COSMETIC && (width != 1 || brush->lbStyle != BS_SOLID)) return nullptr;
    if (type == PS_GEOMETRIC && kind == PS_ALTERNATE) return nullptr;
    if (kind == PS_USERSTYLE) {
        if (styleCount == 0 || styleCount > 16 || !style) return nullptr;
        DWORD total = 0;
        for (DWORD i = 0; i < styleCount; ++i) total += style[i];
        if (total == 0) return nullptr;
    } else if (styleCount != 0 || style) {
        return nullptr;
    }
    if (width > 0x7FFF) return nullptr;
    auto pen = std::make_unique<Pen>();
    pen->type = OBJ_EXTPEN;
    pen->extended = true;
    pen->style = penStyle;
    pen->width = static_cast<int>(width);
    pen->geometric = type == PS_GEOMETRIC;
    pen->color = brush->lbColor & 0xFFFFFFu;
    pen->brushStyle = brush->lbStyle;
    pen->hatch = brush->lbHatch;
    if (kind == PS_USERSTYLE) pen->userStyle.assign(style, style + styleCount);
    return static_cast<HPEN>(registerObject(std::move(pen)));
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    LOGBRUSH lb{BS_SOLID, color, 0};
    return CreateBrushIndirect(&lb);
}

HBRUSH WINAPI CreateHatchBrush(int hatch, COLORREF color) {
    LOGBRUSH lb{BS_HATCHED, color, static_cast<ULONG_PTR>(hatch)};
    return CreateBrushIndirect(&lb);
}

HBRUSH WINAPI CreateBrushIndirect(const LOGBRUSH* lb) {
    if (!lb) return nullptr;
    auto brush = std::make_unique<Brush>();
    brush->style = lb->lbStyle;
    brush->color = lb->lbColor & 0xFFFFFFu;
    brush->hatch = lb->lbHatch;
    switch (lb->lbStyle) {
        case BS_SOLID:
        case BS_NULL:
            brush->hatch = 0;
            break;
        case BS_HATCHED:
            if (lb->lbHatch > HS_DIAGCROSS) return nullptr;
            break;
        case BS_PATTERN: {
            // The brush keeps its own copy: the bitmap may be deleted right after.
            auto* bitmap = lookupAs<Bitmap>(reinterpret_cast<HGDIOBJ>(lb->lbHatch), OBJ_BITMAP);
            if (!bitmap || bitmap->pixels.empty()) return nullptr;
            brush->pattern = bitmap->pixels;
            brush->patternWidth = bitmap->width;
            brush->patternHeight = bitmap->height;
            brush->monochrome = bitmap->bitsPerPixel == 1;
            brush->color = 0;
            break;
        }
        case BS_DIBPATTERNPT: {
            if (!lb->lbHatch || !readPackedDib(reinterpret_cast<const void*>(lb->lbHatch), brush->pattern,
                                               brush->patternWidth, brush->patternHeight)) {
                return nullptr;
            }
            brush->color = 0;
            break;
        }
        default:
            // BS_DIBPATTERN takes an HGLOBAL, which belongs to the memory manager of the
            // window half: not supported here (the creation fails, nothing is selected).
            return nullptr;
    }
    return static_cast<HBRUSH>(registerObject(std::move(brush)));
}
