// DrawTextW: text formatted in a rectangle. Lines break at line feeds and carriage returns
// (unless DT_SINGLELINE) and, with DT_WORDBREAK, between words at the rectangle's width; a
// word longer than the line is not split. Each line is a font cell high. Vertical placement
// (DT_VCENTER, DT_BOTTOM) applies to single lines only; without DT_NOCLIP the text is
// clipped to the rectangle.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "platform/gdi32/dc_transform.h"
#include "platform/gdi32/text_paint.h"

using namespace platform::gdi32;

namespace {

int clampToInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

}  // namespace

int WINAPI DrawTextW(HDC hdc, LPCWSTR text, int length, LPRECT rect, UINT format) {
    DeviceContext* dc = lookupDC(hdc);
    if (!dc || !rect || (!text && length != 0)) return 0;
    std::size_t count =
        length < 0 ? std::char_traits<char16_t>::length(text) : static_cast<std::size_t>(length);
    if (count == 0) {
        if (format & DT_CALCRECT) {
            rect->right = rect->left;
            rect->bottom = rect->top;
        }
        return 0;
    }
    const bool calc = format & DT_CALCRECT;
    // Measuring draws nothing, so only a rectangle to draw in must lie in the device space.
    if (!calc && !boxInDeviceSpace(dc->xform, rect->left, rect->top, rect->right, rect->bottom)) return 0;
    // Where the text may paint: nothing at all lets the layout skip rasterising its glyphs,
    // so text outside the clip costs only its (cached) measure, which the result needs.
    PaintTarget target;
    bool paints = !calc && makeTarget(*dc, target);
    if (paints && !(format & DT_NOCLIP)) {
        POINT corner = toDevicePoint(dc->xform, rect->left, rect->top);
        POINT far = toDevicePoint(dc->xform, rect->right, rect->bottom);
        target.clip.left = std::max(target.clip.left, std::min(corner.x, far.x));
        target.clip.top = std::max(target.clip.top, std::min(corner.y, far.y));
        target.clip.right = std::min(target.clip.right, std::max(corner.x, far.x));
        target.clip.bottom = std::min(target.clip.bottom, std::max(corner.y, far.y));
        paints = target.clip.left < target.clip.right && target.clip.top < target.clip.bottom;
    }
    std::lock_guard<std::mutex> lock(textMutex());
    const FontFace& face = selectedFace(*dc);
    // Logical sums in 64 bits: under a scaling transform the rectangle may span all of int.
    const std::int64_t left = rect->left, right = rect->right, rectTop = rect->top, rectBottom = rect->bottom;
    const int width = clampToInt(right - left);
    auto block = layoutText(face, std::u16string_view(text, count), format, width, paints);
    const int height = block->lineCount() * block->cellHeight;
    if (calc) {
        rect->right = clampToInt(left + block->maxWidth);
        rect->bottom = clampToInt(rectTop + height);
        return height;
    }
    std::int64_t top = rectTop;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            top = rectTop + (rectBottom - rectTop - height) / 2;
        else if (format & DT_BOTTOM)
            top = rectBottom - height;
    }
    if (paints) {
        POINT origin = toDevicePoint(dc->xform, rect->left, static_cast<double>(top));
        const TextSource source{face, std::u16string_view(text, count), format, width};
        paintTextBlock(*dc, target, source, *block, origin.x, origin.y);
    }
    // With vertical placement the result is the offset from the top to the text's bottom.
    if ((format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM)))
        return clampToInt(top - rectTop + height);
    return height;
}
