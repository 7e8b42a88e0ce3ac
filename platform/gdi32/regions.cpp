// Rectangular regions and the DC's clip region. Regions hold device coordinates with the
// right and bottom edges excluded, as CreateRectRgn documents.
#include <algorithm>
#include <utility>

#include "platform/gdi32/dc_transform.h"
#include "platform/gdi32/gdi_objects.h"
#include "platform/gdi32/span_painter.h"

using namespace platform::gdi32;

HRGN WINAPI CreateRectRgn(int left, int top, int right, int bottom) {
    const XFORM identity{1, 0, 0, 1, 0, 0};
    if (!boxInDeviceSpace(identity, left, top, right, bottom)) return nullptr;
    auto region = std::make_unique<Region>();
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    region->rect = {left, top, right, bottom};
    return static_cast<HRGN>(registerObject(std::move(region)));
}

int WINAPI GetRgnBox(HRGN hrgn, LPRECT rect) {
    auto* region = lookupAs<Region>(hrgn, OBJ_REGION);
    if (!region || !rect) return ERROR;
    if (region->empty()) {
        *rect = {0, 0, 0, 0};
        return NULLREGION;
    }
    *rect = region->rect;
    return SIMPLEREGION;
}

int WINAPI SelectClipRgn(HDC hdc, HRGN hrgn) {
    DeviceContext* dc = lookupDC(hdc);
    if (!dc) return ERROR;
    if (!hrgn) {
        dc->clip.reset();
        return SIMPLEREGION;
    }
    auto* region = lookupAs<Region>(hrgn, OBJ_REGION);
    if (!region) return ERROR;
    dc->clip = region->rect;  // the DC keeps a copy; the region may be deleted afterwards
    return region->empty() ? NULLREGION : SIMPLEREGION;
}

int WINAPI GetClipRgn(HDC hdc, HRGN hrgn) {
    DeviceContext* dc = lookupDC(hdc);
    auto* region = lookupAs<Region>(hrgn, OBJ_REGION);
    if (!dc || !region) return -1;
    if (!dc->clip) return 0;
    region->rect = *dc->clip;
    return 1;
}

BOOL WINAPI FillRgn(HDC hdc, HRGN hrgn, HBRUSH hbrush) {
    DeviceContext* dc = lookupDC(hdc);
    auto* region = lookupAs<Region>(hrgn, OBJ_REGION);
    auto* brush = lookupAs<Brush>(hbrush, OBJ_BRUSH);
    if (!dc || !region || !brush) return FALSE;
    PaintTarget target;
    if (!makeTarget(*dc, target) || region->empty()) return TRUE;
    Paint paint = brushPaint(*dc, brush);
    const int top = std::max(region->rect.top, target.clip.top);
    const int bottom = std::min(region->rect.bottom, target.clip.bottom);
    for (int y = top; y < bottom; ++y) fillSpan(target, paint, y, region->rect.left, region->rect.right);
    return TRUE;
}
