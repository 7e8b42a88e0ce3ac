// DrawOnImg: text output, measurement and the text style (font).
#include <string>

#include "graphics/draw_on_img.h"
#include "graphics/draw_on_img_target.h"
#include "graphics/gdi_binding.h"

namespace Gfx {

namespace {

// The text API is UTF-16 on every system; WCHAR is 16 bits wide on both.
LPCWSTR wide(const char16_t* text) {
    return reinterpret_cast<LPCWSTR>(text);
}

int length(const char16_t* text) {
    return static_cast<int>(std::char_traits<char16_t>::length(text));
}

}  // namespace

void DrawOnImg::drawTextAt(int x, int y, const char16_t* text) {
    if (text == nullptr) return;
    gdi.TextOutW(currentContext(), x, y, wide(text), length(text));
}

int DrawOnImg::drawTextInRect(const char16_t* text, RECT* rect, UINT format) {
    if (text == nullptr || rect == nullptr) return 0;
    return DrawTextW(currentContext(), wide(text), -1, rect, format);
}

int DrawOnImg::getTextWidth(const char16_t* text) {
    if (text == nullptr) return 0;
    SIZE size = {};
    gdi.GetTextExtentPoint32W(currentContext(), wide(text), length(text), &size);
    return size.cx;
}

int DrawOnImg::getTextHeight(const char16_t* text) {
    if (text == nullptr) return 0;
    SIZE size = {};
    gdi.GetTextExtentPoint32W(currentContext(), wide(text), length(text), &size);
    return size.cy;
}

void DrawOnImg::setTextStyle(const LOGFONTW* font) {
    if (font == nullptr) return;
    selectReplacing(currentContext(), gdi.CreateFontIndirectW(font));
}

void DrawOnImg::setTextStyle(int height, int width, const char16_t* face, int escapement, int orientation,
                             int weight, bool italic, bool underline, bool strikeOut, BYTE charSet,
                             BYTE outPrecision, BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily) {
    LOGFONTW font = {};
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfEscapement = escapement;
    font.lfOrientation = orientation;
    font.lfWeight = weight;
    font.lfItalic = italic ? TRUE : FALSE;
    font.lfUnderline = underline ? TRUE : FALSE;
    font.lfStrikeOut = strikeOut ? TRUE : FALSE;
    font.lfCharSet = charSet;
    font.lfOutPrecision = outPrecision;
    font.lfClipPrecision = clipPrecision;
    font.lfQuality = quality;
    font.lfPitchAndFamily = pitchAndFamily;
    copyFaceName(font.lfFaceName, face);
    setTextStyle(&font);
}

// The shorter forms keep the remaining fields of the current font.
void DrawOnImg::setTextStyle(int height, int width, const char16_t* face, int escapement, int orientation,
                             int weight, bool italic, bool underline, bool strikeOut) {
    LOGFONTW current = {};
    getTextStyle(&current);
    setTextStyle(height, width, face, escapement, orientation, weight, italic, underline, strikeOut,
                 current.lfCharSet, current.lfOutPrecision, current.lfClipPrecision, current.lfQuality,
                 current.lfPitchAndFamily);
}

void DrawOnImg::setTextStyle(int height, int width, const char16_t* face) {
    LOGFONTW current = {};
    getTextStyle(&current);
    setTextStyle(height, width, face, current.lfEscapement, current.lfOrientation, current.lfWeight,
                 current.lfItalic != 0, current.lfUnderline != 0, current.lfStrikeOut != 0, current.lfCharSet,
                 current.lfOutPrecision, current.lfClipPrecision, current.lfQuality,
                 current.lfPitchAndFamily);
}

void DrawOnImg::getTextStyle(LOGFONTW* out) {
    if (out == nullptr) return;
    HGDIOBJ font = gdi.GetCurrentObject(currentContext(), OBJ_FONT);
    gdi.GetObjectW(font, sizeof(LOGFONTW), out);
}

}  // namespace Gfx
