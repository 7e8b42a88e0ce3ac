// Painting laid-out text into a DC, shared by TextOutW and DrawTextW.
#pragma once

#include <string_view>

#include "platform/gdi32/span_painter.h"
#include "platform/gdi32/text_layout.h"

namespace platform::gdi32 {

// The DC's font, resolved on first use. The caller holds textMutex().
const FontFace& selectedFace(DeviceContext& dc);

// What a block was laid out from: a windowed block is rasterised again where it shows.
struct TextSource {
    const FontFace& face;
    std::u16string_view text;
    unsigned flags;
    int width;
};

// Paints the block with its rectangle's left edge at originX and its first line's top at
// originY (device pixels): the line cells in the background colour when the DC is OPAQUE,
// then the glyphs in the text colour. Text ignores the binary raster operation.
void paintTextBlock(const DeviceContext& dc, PaintTarget target, const TextSource& source,
                    const TextBlock& block, int originX, int originY);

}  // namespace platform::gdi32
