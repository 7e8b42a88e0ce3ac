// Device contexts: creation and deletion, object selection, and the DC's plain state.
#include "platform/gdi32/device_context.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>
#include <utility>

#include "platform/gdi32/dc_transform.h"
#include "platform/gdi32/gdi_objects.h"

using namespace platform::gdi32;

namespace {

template <class T>
void swapSelection(DeviceContext& dc, T*& slot, T* next) {
    if (slot) --slot->selectedCount;
    slot = next;
    ++next->selectedCount;
}

bool isIdentity(const XFORM& x) {
    return x.eM11 == 1 && x.eM12 == 0 && x.eM21 == 0 && x.eM22 == 1 && x.eDx == 0 && x.eDy == 0;
}

}  // namespace

namespace platform::gdi32 {

std::unique_ptr<DeviceContext> newDeviceContext() {
    auto dc = std::make_unique<DeviceContext>();
    dc->pen = static_cast<Pen*>(stockObject(BLACK_PEN));
    dc->brush = static_cast<Brush*>(stockObject(WHITE_BRUSH));
    dc->font = static_cast<Font*>(stockObject(SYSTEM_FONT));
    dc->palette = static_cast<Palette*>(stockObject(DEFAULT_PALETTE));
    ++dc->pen->selectedCount;
    ++dc->brush->selectedCount;
    ++dc->font->selectedCount;
    return dc;
}

void releaseSelections(DeviceContext& dc) {
    for (GdiObject* object : {static_cast<GdiObject*>(dc.pen), static_cast<GdiObject*>(dc.brush),
                              static_cast<GdiObject*>(dc.font), static_cast<GdiObject*>(dc.bitmap)}) {
        if (object) --object->selectedCount;
    }
    if (dc.bitmap) dc.bitmap->selectedInto = nullptr;
    dc.pen = nullptr;
    dc.brush = nullptr;
    dc.font = nullptr;
    dc.bitmap = nullptr;
}

}  // namespace platform::gdi32

HDC WINAPI CreateCompatibleDC(HDC) {
    auto dc = newDeviceContext();
    auto* bitmap = static_cast<Bitmap*>(stockObject(9));
    dc->bitmap = bitmap;  // the shared 1 x 1 default; never counted as taken
    ++bitmap->selectedCount;
    return static_cast<HDC>(registerObject(std::move(dc)));
}

BOOL WINAPI DeleteDC(HDC hdc) {
    DeviceContext* dc = lookupDC(hdc);
    if (!dc || dc->window) return FALSE;
    releaseSelections(*dc);
    return destroyObject(hdc) ? TRUE : FALSE;
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ object) {
    DeviceContext* dc = lookupDC(hdc);
    GdiObject* next = lookupObject(object);
    if (!dc || !next) return nullptr;
    HGDIOBJ previous = nullptr;
    switch (next->type) {
        case OBJ_PEN:
        case OBJ_EXTPEN:
            previous = dc->pen ? dc->pen->handle : nullptr;
            swapSelection(*dc, dc->pen, static_cast<Pen*>(next));
            return previous;
        case OBJ_BRUSH:
            previous = dc->brush ? dc->brush->handle : nullptr;
            swapSelection(*dc, dc->brush, static_cast<Brush*>(next));
            return previous;
        case OBJ_FONT:
            previous = dc->font ? dc->font->handle : nullptr;
            swapSelection(*dc, dc->font, static_cast<Font*>(next));
            return previous;
        case OBJ_BITMAP: {
            auto* bitmap = static_cast<Bitmap*>(next);
            if (dc->window) return nullptr;
            if (bitmap == dc->bitmap) return bitmap->handle;
            // A bitmap can be selected into one DC at a time (the shared default excepted).
            if (!bitmap->stock && bitmap->selectedInto) return nullptr;
            previous = dc->bitmap ? dc->bitmap->handle : nullptr;
            if (dc->bitmap) dc->bitmap->selectedInto = nullptr;
            swapSelection(*dc, dc->bitmap, bitmap);
            if (!bitmap->stock) bitmap->selectedInto = hdc;
            return previous;
        }
        case OBJ_REGION: {
            int result = SelectClipRgn(hdc, static_cast<HRGN>(object));
            return reinterpret_cast<HGDIOBJ>(static_cast<LONG_PTR>(result == ERROR ? -1 : result));
        }
        default:
            return nullptr;
    }
}

HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type) {
    DeviceContext* dc = lookupDC(hdc);
    if (!dc) return nullptr;
    GdiObject* object = nullptr;
    switch (type) {
        case OBJ_PEN:
        case OBJ_EXTPEN:
            object = dc->pen;
            break;
        case OBJ_BRUSH:
            object = dc->brush;
            break;
        case OBJ_FONT:
            object = dc->font;
            break;
        case OBJ_BITMAP:
            object = dc->bitmap;
            break;
        case OBJ_PAL:
            object = dc->palette;
            break;
        default:
            break;
    }
    return object ? object->handle : nullptr;
}

HGDIOBJ WINAPI GetStockObject(int index) {
    if (index == 9) return nullptr;  // the default bitmap is not handed out
    GdiObject* object = stockObject(index);
    return object ? object->handle : nullptr;
}

BOOL WINAPI DeleteObject(HGDIOBJ handle) {
    GdiObject* object = lookupObject(handle);
    if (!object || object->type == OBJ_MEMDC || object->type == OBJ_DC) return FALSE;
    if (object->stock) return TRUE;  // harmless, as documented
    return destroyObject(handle) ? TRUE : FALSE;
}

DWORD WINAPI GetObjectType(HGDIOBJ handle) {
    GdiObject* object = lookupObject(handle);
    return object ? object->type : 0;
}

int WINAPI GetObjectW(HANDLE handle, int size, LPVOID buffer) {
    GdiObject* object = lookupObject(handle);
    if (!object || size < 0) return 0;
    auto copyOut = [&](const void* data, int needed) {
        if (!buffer) return needed;
        int n = std::min(size, needed);
        std::memcpy(buffer, data, static_cast<std::size_t>(n));
        return n;
    };
    switch (object->type) {
        case OBJ_FONT: {
            const auto* font = static_cast<Font*>(object);
            return copyOut(&font->logFont, static_cast<int>(sizeof(LOGFONTW)));
        }
        case OBJ_BRUSH: {
            const auto* brush = static_cast<Brush*>(object);
            LOGBRUSH lb{brush->style, brush->color, brush->hatch};
            return copyOut(&lb, static_cast<int>(sizeof lb));
        }
        case OBJ_PEN: {
            const auto* pen = static_cast<Pen*>(object);
            LOGPEN lp{pen->style, {pen->width, 0}, pen->color};
            return copyOut(&lp, static_cast<int>(sizeof lp));
        }
        case OBJ_EXTPEN: {
            const auto* pen = static_cast<Pen*>(object);
            std::size_t entries = pen->userStyle.size();
            std::vector<unsigned char> bytes(sizeof(EXTLOGPEN) + (entries ? entries - 1 : 0) * sizeof(DWORD));
            auto* elp = reinterpret_cast<EXTLOGPEN*>(bytes.data());
            elp->elpPenStyle = pen->style;
            elp->elpWidth = static_cast<DWORD>(pen->width);
            elp->elpBrushStyle = pen->brushStyle;
            elp->elpColor = pen->color;
            elp->elpHatch = pen->hatch;
            elp->elpNumEntries = static_cast<DWORD>(entries);
            if (entries) std::memcpy(elp->elpStyleEntry, pen->userStyle.data(), entries * sizeof(DWORD));
            return copyOut(bytes.data(), static_cast<int>(bytes.size()));
        }
        case OBJ_BITMAP: {
            const auto* bitmap = static_cast<Bitmap*>(object);
            BITMAP bm{};
            bm.bmWidth = bitmap->width;
            bm.bmHeight = bitmap->height;
            bm.bmPlanes = 1;
            bm.bmBitsPixel = static_cast<WORD>(bitmap->bitsPerPixel);
            bm.bmWidthBytes = bitmap->bitsPerPixel == 1 ? ((bitmap->width + 15) / 16) * 2 : bitmap->width * 4;
            bm.bmBits = bitmap->dibSection ? const_cast<std::uint32_t*>(bitmap->pixels.data()) : nullptr;
            return copyOut(&bm, static_cast<int>(sizeof bm));
        }
        case OBJ_PAL: {
            WORD entries = 0;
            return copyOut(&entries, static_cast<int>(sizeof entries));
        }
        default:
            return 0;
    }
}

namespace {

// The DC's plain attributes. A getter answers `failed` for a handle that is no DC; a setter
// stores a value `accepted` allows and answers the previous one.
template <class T>
T getAttribute(HDC hdc, T DeviceContext::*field, std::type_identity_t<T> failed) {
    const DeviceContext* dc = lookupDC(hdc);
    return dc ? dc->*field : failed;
}

template <class T, class Accept>
T setAttribute(HDC hdc, T DeviceContext::*field, std::type_identity_t<T> value,
               std::type_identity_t<T> failed, Accept accepted) {
    DeviceContext* dc = lookupDC(hdc);
    if (!dc || !accepted(*dc, value)) return failed;
    return std::exchange(dc->*field, value);
}

bool anyValue(const DeviceContext&, COLORREF) {
    return true;
}

}  // namespace

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) {
    return setAttribute(hdc, &DeviceContext::bkColor, color & 0xFFFFFFu, CLR_INVALID, anyValue);
}

COLORREF WINAPI GetBkColor(HDC hdc) {
    return getAttribute(hdc, &DeviceContext::bkColor, CLR_INVALID);
}

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
    return setAttribute(hdc, &DeviceContext::textColor, color & 0xFFFFFFu, CLR_INVALID, anyValue);
}

COLORREF WINAPI GetTextColor(HDC hdc) {
    return getAttribute(hdc, &DeviceContext::textColor, CLR_INVALID);
}

int WINAPI SetBkMode(HDC hdc, int mode) {
    return setAttribute(hdc, &DeviceContext::bkMode, mode, 0,
                        [](const DeviceContext&, int m) { return m == TRANSPARENT || m == OPAQUE; });
}

int WINAPI GetBkMode(HDC hdc) {
    return getAttribute(hdc, &DeviceContext::bkMode, 0);
}

int WINAPI SetROP2(HDC hdc, int rop2) {
    return setAttribute(hdc, &DeviceContext::rop2, rop2, 0,
                        [](const DeviceContext&, int r) { return r >= R2_BLACK && r <= R2_WHITE; });
}

int WINAPI GetROP2(HDC hdc) {
    return getAttribute(hdc, &DeviceContext::rop2, 0);
}

int WINAPI SetPolyFillMode(HDC hdc, int mode) {
    return setAttribute(hdc, &DeviceContext::polyFillMode, mode, 0,
                        [](const DeviceContext&, int m) { return m == ALTERNATE || m == WINDING; });
}

int WINAPI GetPolyFillMode(HDC hdc) {
    return getAttribute(hdc, &DeviceContext::polyFillMode, 0);
}

int WINAPI SetGraphicsMode(HDC hdc, int mode) {
    // Leaving the advanced mode requires the identity transform, as on Windows.
    return setAttribute(hdc, &DeviceContext::graphicsMode, mode, 0, [](const DeviceContext& dc, int m) {
        return m == GM_ADVANCED || (m == GM_COMPATIBLE && isIdentity(dc.xform));
    });
}

int WINAPI GetGraphicsMode(HDC hdc) {
    return getAttribute(hdc, &DeviceContext::graphicsMode, 0);
}

BOOL WINAPI SetWorldTransform(HDC hdc, const XFORM* xform) {
    DeviceContext* dc = lookupDC(hdc);
    if (!dc || !xform || dc->graphicsMode != GM_ADVANCED) return FALSE;
    const float values[] = {xform->eM11, xform->eM12, xform->eM21, xform->eM22, xform->eDx, xform->eDy};
    for (float v : values) {
        if (!std::isfinite(v)) return FALSE;
    }
    if (xform->eM11 * xform->eM22 - xform->eM12 * xform->eM21 == 0) return FALSE;  // not invertible
    dc->xform = *xform;
    return TRUE;
}

BOOL WINAPI GetWorldTransform(HDC hdc, LPXFORM xform) {
    DeviceContext* dc = lookupDC(hdc);
    if (!dc || !xform) return FALSE;
    *xform = dc->xform;
    return TRUE;
}

BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT previous) {
    DeviceContext* dc = lookupDC(hdc);
    if (!dc || !inDeviceSpace(dc->xform, x, y)) return FALSE;
    if (previous) *previous = dc->position;
    dc->position = {x, y};
    return TRUE;
}

BOOL WINAPI GetCurrentPositionEx(HDC hdc, LPPOINT point) {
    DeviceContext* dc = lookupDC(hdc);
    if (!dc || !point) return FALSE;
    *point = dc->position;
    return TRUE;
}

HPALETTE WINAPI SelectPalette(HDC hdc, HPALETTE palette, BOOL) {
    DeviceContext* dc = lookupDC(hdc);
    auto* next = lookupAs<Palette>(palette, OBJ_PAL);
    if (!dc || !next) return nullptr;
    HGDIOBJ previous = dc->palette ? dc->palette->handle : nullptr;
    dc->palette = next;
    return static_cast<HPALETTE>(previous);
}

UINT WINAPI RealizePalette(HDC hdc) {
    return lookupDC(hdc) ? 0 : GDI_ERROR;
}

DWORD WINAPI GdiSetBatchLimit(DWORD limit) {
    static DWORD current = 20;
    if (limit == 0) limit = 20;
    return std::exchange(current, limit);
}

BOOL WINAPI GdiFlush() {
    return TRUE;
}
