// Pango's side of the text cache: laying a text out with GDI's prefix and line rules, measuring
// its lines and rasterising its glyphs into coverage masks. The caller holds textMutex().
#pragma once

#include <pango/pango.h>

#include <string_view>

#include "platform/gdi32/text_layout.h"

namespace platform::gdi32 {

// The text as Pango lays it out: prefix characters taken out (unless DT_NOPREFIX), mnemonics
// underlined, line breaks dropped for DT_SINGLELINE, wrapped at `width` for DT_WORDBREAK.
PangoLayout* makeLayout(const FontFace& face, std::u16string_view text, unsigned flags, int width);

// Fills the block's line places and widths.
void measureLines(const FontFace& face, PangoLayout* layout, unsigned flags, int width, bool empty,
                  TextBlock& b);

// Sets the block's ink bounds (maskX..maskHeight) and, when they fit one mask, rasterises
// the whole text into it; a larger text is marked `windowed` and left for rasteriseArea.
void rasteriseLines(const FontFace& face, PangoLayout* layout, TextBlock& b);

// Rasterises what of the block's glyphs lies within the area (relative to the rectangle's left
// and the first line's top, at most kPieceWidth × kPieceHeight) into a block of its own.
void rasteriseArea(const FontFace& face, PangoLayout* layout, const TextBlock& whole, const TextArea& area,
                   TextBlock& piece);

}  // namespace platform::gdi32
