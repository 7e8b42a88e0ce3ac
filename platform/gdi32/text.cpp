// Fonts, TextOutW and GetTextExtentPoint32W.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/gdi32/dc_transform.h"
#include "platform/gdi32/text_paint.h"

using namespace platform::gdi32;

namespace platform::gdi32 {

const FontFace& selectedFace(DeviceContext& dc) {
    Font* font = dc.font ? dc.font : static_cast<Font*>(stockObject(SYSTEM_FONT));
    if (!font->face) font->face = resolveFont(font->logFont);
    return *font->face;
}

namespace {

void paintGlyphs(const DeviceContext& dc, const PaintTarget& target, const TextBlock& block, int originX,
                 int originY) {
    if (block.mask.empty()) return;
    const std::uint32_t pixel = toPixel(dc.textColor);
    const int maskTop = originY + block.maskY, maskLeft = originX + block.maskX;
    if (!block.partial) {
        const Paint ink = solidPaint(dc.textColor);
        for (const TextBlock::Run& run : block.solidRuns)
            fillSpan(target, ink, maskTop + run.row, maskLeft + run.x0, maskLeft + run.x1);
        return;
    }
    // Anti-aliased glyphs: each row's covered part straight from the mask, full coverage
    // painted and partial blended.
    const int firstRow = std::max(0, static_cast<int>(target.clip.top) - maskTop);
    const int endRow = std::min(block.maskHeight, static_cast<int>(target.clip.bottom) - maskTop);
    for (int r = firstRow; r < endRow; ++r) {
        const int first = block.rowFirst[r], end = block.rowEnd[r];
        if (first >= end) continue;
        const std::uint8_t* row = block.mask.data() + static_cast<std::size_t>(r) * block.maskWidth;
        paintCoverageRow(target, pixel, maskTop + r, maskLeft + first, row + first, end - first);
    }
}

// The part of a windowed block's ink within the clip, relative to the block's origin.
TextArea visibleInk(const PaintTarget& target, const TextBlock& block, int originX, int originY) {
    const std::int64_t left = std::max<std::int64_t>(std::int64_t{target.clip.left} - originX, block.maskX);
    const std::int64_t top = std::max<std::int64_t>(std::int64_t{target.clip.top} - originY, block.maskY);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{target.clip.right} - originX,
                                                      std::int64_t{block.maskX} + block.maskWidth);
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{target.clip.bottom} - originY,
                                                       std::int64_t{block.maskY} + block.maskHeight);
    if (left >= right || top >= bottom) return {};
    return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
            static_cast<int>(bottom - top)};
}

}  // namespace

void paintTextBlock(const DeviceContext& dc, PaintTarget target, const TextSource& source,
                    const TextBlock& block, int originX, int originY) {
    target.rop2 = R2_COPYPEN;
    if (dc.bkMode == OPAQUE) {
        Paint background = solidPaint(dc.bkColor);
        for (int i = 0; i < block.lineCount(); ++i) {
            int top = originY + i * block.cellHeight;
            int left = originX + block.lineX[i];
            for (int y = std::max(top, static_cast<int>(target.clip.top));
                 y < std::min(top + block.cellHeight, static_cast<int>(target.clip.bottom)); ++y)
                fillSpan(target, background, y, left, left + block.lineWidth[i]);
        }
    }
    if (!block.windowed) {
        paintGlyphs(dc, target, block, originX, originY);
        return;
    }
    rasteriseWindow(source.face, source.text, source.flags, source.width, block,
                    visibleInk(target, block, originX, originY),
                    [&](const TextBlock& piece) { paintGlyphs(dc, target, piece, originX, originY); });
}

}  // namespace platform::gdi32

HFONT WINAPI CreateFontIndirectW(const LOGFONTW* logFont) {
    if (!logFont) return nullptr;
    auto font = std::make_unique<Font>();
    font->logFont = *logFont;
    return static_cast<HFONT>(registerObject(std::move(font)));
}

BOOL WINAPI GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int length, LPSIZE size) {
    DeviceContext* dc = lookupDC(hdc);
    if (!dc || !size || length < 0 || (!text && length > 0)) return FALSE;
    std::lock_guard<std::mutex> lock(textMutex());
    const FontFace& face = selectedFace(*dc);
    std::u16string_view view(text ? text : u"", static_cast<std::size_t>(length));
    // Line breaks measure nothing: the text is one line.
    size->cx = measureText(face, view);
    size->cy = face.cellHeight;
    return TRUE;
}

BOOL WINAPI TextOutW(HDC hdc, int x, int y, LPCWSTR text, int length) {
    DeviceContext* dc = lookupDC(hdc);
    if (!dc || length < 0 || (!text && length > 0) || !inDeviceSpace(dc->xform, x, y)) return FALSE;
    PaintTarget target;
    if (!makeTarget(*dc, target) || length == 0) return TRUE;
    std::lock_guard<std::mutex> lock(textMutex());
    const FontFace& face = selectedFace(*dc);
    auto block = layoutText(face, std::u16string_view(text, static_cast<std::size_t>(length)),
                            DT_SINGLELINE | DT_NOPREFIX, 0, true);
    POINT origin = toDevicePoint(dc->xform, x, y);
    const TextSource source{face, std::u16string_view(text, static_cast<std::size_t>(length)),
                            DT_SINGLELINE | DT_NOPREFIX, 0};
    paintTextBlock(*dc, target, source, *block, origin.x, origin.y);
    return TRUE;
}
