// Shaped-text cache. Laying out text with Pango and rasterising its glyphs is by far the
// dearest part of drawing text, and a program that redraws its window draws the same
// strings again and again, so each laid-out text is kept (as GDI keeps its glyphs): its
// lines, their widths and places, and a coverage mask of the glyphs. Entries are keyed by
// font, text, the layout flags and the width that wrapping and alignment depend on; once the
// entries hold more than 32 MiB, the least recently used are dropped down to 24 MiB. Text
// measured but never drawn (off-screen) keeps only its line measures. A text whose glyphs
// would not fit one mask (an unbroken caption tens of thousands of pixels wide, thousands of
// lines) is rasterised a piece at a time, only where it is drawn, and keeps its last piece; a
// text whose entry alone would pass the limit is not kept at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi32/font_face.h"

namespace platform::gdi32 {

struct TextBlock {
    int cellHeight = 0;
    std::vector<int> lineX;      // each line's left edge, relative to the rectangle's left
    std::vector<int> lineWidth;  // each line's advance width
    int maxWidth = 0;
    // Coverage of the glyphs (0..255), relative to the rectangle's left and the first line's
    // top; rowFirst/rowEnd bound the non-zero part of each row.
    int maskX = 0, maskY = 0, maskWidth = 0, maskHeight = 0;
    std::vector<std::uint8_t> mask;
    std::vector<int> rowFirst, rowEnd;
    // The fully covered pixels as runs (mask row, first column, end column), painted as spans;
    // partly covered ones (anti-aliased text only) are blended from the mask.
    struct Run {
        int row, x0, x1;
    };
    std::vector<Run> solidRuns;
    bool partial = false;
    // The glyphs' ink (maskX..maskHeight) is too large for one mask: `mask` stays empty and
    // rasteriseWindow draws the part that shows.
    bool windowed = false;

    int lineCount() const { return static_cast<int>(lineWidth.size()); }
};

// Part of a block, relative to its rectangle's left and first line's top.
struct TextArea {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const TextArea&) const = default;
};

// Cairo refuses image surfaces over 32767 pixels a side, and a mask costs a byte a pixel:
// larger ink is rasterised in pieces of at most kPieceWidth × kPieceHeight.
constexpr int kMaxMaskSide = 4096;
constexpr std::size_t kMaxMaskBytes = std::size_t{4} << 20;
constexpr int kPieceWidth = 4096;
constexpr int kPieceHeight = 1024;

// Flags that change a layout: alignment, wrapping, single line, prefix handling.
constexpr unsigned kLayoutFlags = 0x1u | 0x2u | 0x10u | 0x20u | 0x40u | 0x800u | 0x100000u;

// Lays out (and, with `rasterise`, rasterises) text; `width` is the rectangle's width, used for
// wrapping and alignment. The caller holds textMutex().
std::shared_ptr<const TextBlock> layoutText(const FontFace& face, std::u16string_view text, unsigned flags,
                                            int width, bool rasterise);

// For a `windowed` block laid out by layoutText with the same face, text, flags and width:
// rasterises its glyphs within `window` piece by piece and hands each piece (a block holding
// only its mask) to `paint`. The caller holds textMutex().
void rasteriseWindow(const FontFace& face, std::u16string_view text, unsigned flags, int width,
                     const TextBlock& whole, const TextArea& window,
                     const std::function<void(const TextBlock&)>& paint);

// The advance width of text as one line, with no prefix handling (GetTextExtentPoint32W).
int measureText(const FontFace& face, std::u16string_view text);

// Drops every cached layout (tests use it to compare cached and fresh results).
void clearTextCache();
// Test hook: the cache's memory limit in bytes (0: the normal 32 MiB). The caller holds textMutex().
void setTextCacheLimit(std::size_t bytes);
// Test hook: the bytes the cache's entries account for now. The caller holds textMutex().
std::size_t textCacheBytes();

}  // namespace platform::gdi32
