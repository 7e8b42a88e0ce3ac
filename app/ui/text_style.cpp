#include "app/ui/text_style.h"

#include "graphics/graphics.h"
#include "graphics/image.h"

void applyEditorTextStyle() {
    LOGFONTW font;
    Gfx::getTextStyle(&font);
    Gfx::copyFaceName(font.lfFaceName, kEditorFontFace);
    font.lfHeight = kEditorFontHeight;
    Gfx::setTextStyle(&font);
}
