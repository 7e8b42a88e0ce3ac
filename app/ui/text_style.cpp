#include "app/ui/text_style.h"

#include <cstddef>

#include "graphics/graphics.h"

void copyFaceName(LOGFONTW& font, const char16_t* face) {
    constexpr std::size_t capacity = sizeof(font.lfFaceName) / sizeof(font.lfFaceName[0]);
    std::size_t i = 0;
    for (; i + 1 < capacity && face[i] != u'\0'; ++i) font.lfFaceName[i] = static_cast<WCHAR>(face[i]);
    font.lfFaceName[i] = 0;
}

void applyEditorTextStyle() {
    LOGFONTW font;
    Gfx::getTextStyle(&font);
    copyFaceName(font, kEditorFontFace);
    font.lfHeight = kEditorFontHeight;
    Gfx::setTextStyle(&font);
}
