// The drawing state read back through the API: the current line style, fill style and font,
// a font's face, and the state every target starts with (a new image, the window right after
// opening, any target after resetDefaults).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "graphics/graphics.h"
#include "graphics/image.h"

namespace Gfx {

inline LINESTYLE currentLineStyle() {
    LINESTYLE style;
    getLineStyle(&style);
    return style;
}

inline FILLSTYLE currentFillStyle() {
    FILLSTYLE style;
    getFillStyle(&style);
    return style;
}

inline LOGFONTW currentFont() {
    LOGFONTW font = {};
    getTextStyle(&font);
    return font;
}

inline std::u16string faceOf(const LOGFONTW& font) {
    std::u16string face;
    for (int i = 0; i < LF_FACESIZE && font.lfFaceName[i] != 0; ++i)
        face.push_back(static_cast<char16_t>(font.lfFaceName[i]));
    return face;
}

// White pen, brush and text on black, opaque; a solid one-pixel pen and a solid brush; the
// 16-pixel non-antialiased "System" font; no origin offset or scaling.
inline void expectDefaultDrawingState() {
    EXPECT_EQ(getLineColor(), 0xFFFFFFu);
    EXPECT_EQ(getFillColor(), 0xFFFFFFu);
    EXPECT_EQ(getTextColor(), 0xFFFFFFu);
    EXPECT_EQ(getBackgroundColor(), 0u);
    EXPECT_EQ(getBackgroundMode(), OPAQUE);
    const LINESTYLE line = currentLineStyle();
    EXPECT_EQ(line.style, PS_SOLID);
    EXPECT_EQ(line.thickness, 1);
    EXPECT_EQ(currentFillStyle().style, BS_SOLID);
    const LOGFONTW font = currentFont();
    EXPECT_EQ(font.lfHeight, 16);
    EXPECT_EQ(font.lfQuality, NONANTIALIASED_QUALITY);
    EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(faceOf(font), u"System");
    EXPECT_EQ(font.lfWidth, 0);
    EXPECT_EQ(font.lfEscapement, 0);
    EXPECT_EQ(font.lfOrientation, 0);
    EXPECT_EQ(font.lfWeight, 0);
    EXPECT_EQ(font.lfItalic + font.lfUnderline + font.lfStrikeOut, 0);
    EXPECT_EQ(font.lfOutPrecision + font.lfClipPrecision + font.lfPitchAndFamily, 0);
    EXPECT_EQ(GetGraphicsMode(getImageDC(getWorkingImage())), GM_ADVANCED);
    float x = 0;
    float y = 0;
    getAspectRatio(&x, &y);
    EXPECT_EQ(x, 1.0f);
    EXPECT_EQ(y, 1.0f);
}

}  // namespace Gfx
