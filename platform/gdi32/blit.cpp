// BitBlt between memory DCs, and onto window DCs through the window half's presenter.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/gdi32/dc_transform.h"
#include "platform/gdi32/device_context.h"
#include "platform/gdi32/span_painter.h"
#include "platform/gdi32/window_surface.h"

using namespace platform::gdi32;

namespace {

std::atomic<platform::gdi32::WindowPresenter> gPresenter{nullptr};

bool needsSource(DWORD rop) {
    return rop != BLACKNESS && rop != WHITENESS && rop != DSTINVERT && rop != PATCOPY && rop != PATINVERT;
}

// Whole-pixel offset of a DC's transform; other transforms are applied by their translation.
POINT origin(const DeviceContext& dc) {
    int dx, dy;
    if (integerTranslation(dc.xform, dx, dy)) return {dx, dy};
    return toDevicePoint(dc.xform, 0, 0);
}

std::uint32_t combine(DWORD rop, std::uint32_t src, std::uint32_t dst, std::uint32_t pattern) {
    std::uint32_t r;
    switch (rop) {
        case SRCCOPY:
            r = src;
            break;
        case SRCPAINT:
            r = src | dst;
            break;
        case SRCAND:
            r = src & dst;
            break;
        case SRCINVERT:
            r = src ^ dst;
            break;
        case SRCERASE:
            r = src & ~dst;
            break;
        case NOTSRCCOPY:
            r = ~src;
            break;
        case NOTSRCERASE:
            r = ~(src | dst);
            break;
        case MERGEPAINT:
            r = ~src | dst;
            break;
        case PATCOPY:
            r = pattern;
            break;
        case PATINVERT:
            r = pattern ^ dst;
            break;
        case DSTINVERT:
            r = ~dst;
            break;
        case BLACKNESS:
            r = 0;
            break;
        case WHITENESS:
            r = 0xFFFFFF;
            break;
        default:
            r = src;
            break;
    }
    return r & 0xFFFFFFu;
}

bool knownRop(DWORD rop) {
    switch (rop) {
        case SRCCOPY:
        case SRCPAINT:
        case SRCAND:
        case SRCINVERT:
        case SRCERASE:
        case NOTSRCCOPY:
        case NOTSRCERASE:
        case MERGEPAINT:
        case PATCOPY:
        case PATINVERT:
        case DSTINVERT:
        case BLACKNESS:
        case WHITENESS:
            return true;
        default:
            return false;
    }
}

BOOL presentToWindow(DeviceContext& window, int x, int y, int cx, int cy, DeviceContext* src, int x1,
                     int y1) {
    platform::gdi32::WindowPresenter presenter = gPresenter.load();
    if (!src || src->window || !src->bitmap || src->bitmap->stock) return FALSE;
    Bitmap& bitmap = *src->bitmap;
    POINT so = origin(*src);
    x1 += so.x;
    y1 += so.y;
    // Clip the source rectangle to the bitmap, moving the destination along.
    clipCopyStart(x1, x, cx);
    clipCopyStart(y1, y, cy);
    cx = std::min(cx, bitmap.width - x1);
    cy = std::min(cy, bitmap.height - y1);
    if (cx <= 0 || cy <= 0) return TRUE;
    if (!presenter) return TRUE;  // no window half: nothing to show
    if (!bitmap.bottomUp) {
        presenter(window.window, bitmap.row(0), bitmap.width, x1, y1, cx, cy, x, y);
        return TRUE;
    }
    std::vector<std::uint32_t> rows(static_cast<std::size_t>(cx) * static_cast<std::size_t>(cy));
    for (int r = 0; r < cy; ++r) {
        std::memcpy(rows.data() + static_cast<std::size_t>(r) * cx, bitmap.row(y1 + r) + x1,
                    sizeof(std::uint32_t) * static_cast<std::size_t>(cx));
    }
    presenter(window.window, rows.data(), cx, 0, 0, cx, cy, x, y);
    return TRUE;
}

}  // namespace

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    DeviceContext* dst = lookupDC(hdc);
    if (!dst || cx < 0 || cy < 0 || !knownRop(rop)) return FALSE;
    DeviceContext* src = needsSource(rop) ? lookupDC(hdcSrc) : nullptr;
    if (needsSource(rop) && !src) return FALSE;
    // Both rectangles, after their DCs' origins, must lie in the device coordinate space;
    // that keeps every sum below well inside int.
    auto inSpace = [](const DeviceContext& dc, int left, int top, int width, int height) {
        const POINT o = origin(dc);
        const double l = static_cast<double>(left) + o.x, t = static_cast<double>(top) + o.y;
        return std::fabs(l) < kDeviceCoordinateLimit && std::fabs(t) < kDeviceCoordinateLimit &&
               std::fabs(l + width) < kDeviceCoordinateLimit &&
               std::fabs(t + height) < kDeviceCoordinateLimit;
    };
    if (!inSpace(*dst, x, y, cx, cy) || (src && !inSpace(*src, x1, y1, cx, cy))) return FALSE;
    POINT dOrigin = origin(*dst);
    x += dOrigin.x;
    y += dOrigin.y;
    if (dst->window) {
        if (rop != SRCCOPY) return FALSE;
        return presentToWindow(*dst, x, y, cx, cy, src, x1, y1);
    }
    PaintTarget target;
    if (!makeTarget(*dst, target)) return dst->bitmap ? TRUE : FALSE;
    Bitmap* source = nullptr;
    if (src) {
        if (src->window || !src->bitmap) return FALSE;
        source = src->bitmap;
        POINT so = origin(*src);
        x1 += so.x;
        y1 += so.y;
    }
    // Destination pixels that are clipped, or whose source lies outside the source bitmap,
    // keep their value.
    int left = std::max(x, static_cast<int>(target.clip.left));
    int top = std::max(y, static_cast<int>(target.clip.top));
    int right = std::min(x + cx, static_cast<int>(target.clip.right));
    int bottom = std::min(y + cy, static_cast<int>(target.clip.bottom));
    if (source) {
        left = std::max(left, x - x1);
        top = std::max(top, y - y1);
        right = std::min(right, x - x1 + source->width);
        bottom = std::min(bottom, y - y1 + source->height);
    }
    if (left >= right || top >= bottom) return TRUE;
    std::uint32_t pattern = 0;
    if (rop == PATCOPY || rop == PATINVERT) {
        Paint paint = brushPaint(*dst, dst->brush);
        if (paint.kind != Paint::Kind::Solid) {
            // Non-solid brushes paint through the span writer (PATCOPY only).
            if (rop != PATCOPY) return FALSE;
            target.rop2 = R2_COPYPEN;
            for (int row = top; row < bottom; ++row) fillSpan(target, paint, row, left, right);
            return TRUE;
        }
        pattern = paint.fg;
    }
    int width = right - left;
    bool sameBitmap = source == dst->bitmap;
    bool downward = !(sameBitmap && y - y1 > 0);  // overlapping copy within one bitmap
    std::vector<std::uint32_t> scratch;
    for (int i = 0; i < bottom - top; ++i) {
        int row = downward ? top + i : bottom - 1 - i;
        std::uint32_t* d = target.row(row) + left;
        if (rop == SRCCOPY) {
            std::memmove(d, source->row(row - y + y1) + (left - x + x1), sizeof(std::uint32_t) * width);
            continue;
        }
        const std::uint32_t* s = nullptr;
        if (source) {
            const std::uint32_t* from = source->row(row - y + y1) + (left - x + x1);
            scratch.assign(from, from + width);
            s = scratch.data();
        }
        for (int k = 0; k < width; ++k) d[k] = combine(rop, s ? s[k] : 0, d[k], pattern);
    }
    return TRUE;
}

namespace platform::gdi32 {

void setWindowPresenter(WindowPresenter presenter) {
    gPresenter.store(presenter);
}

HDC createWindowDC(HWND window) {
    if (!window) return nullptr;
    auto dc = gdi32::newDeviceContext();
    dc->type = OBJ_DC;
    dc->window = window;
    return static_cast<HDC>(gdi32::registerObject(std::move(dc)));
}

void destroyWindowDC(HDC hdc) {
    gdi32::DeviceContext* dc = gdi32::lookupDC(hdc);
    if (!dc || !dc->window) return;
    gdi32::releaseSelections(*dc);
    gdi32::destroyObject(hdc);
}

HWND windowFromDC(HDC hdc) {
    gdi32::DeviceContext* dc = gdi32::lookupDC(hdc);
    return dc ? dc->window : nullptr;
}

}  // namespace platform::gdi32
