// The find box at the top of the canvas, drawn as the caption edit box is, with its label, and
// the count of matches at the status bar's right end.
#include <cstdint>
#include <string>

#include "app/model/find.h"
#include "app/model/wrap_int32.h"
#include "app/render/palette.h"
#include "app/render/scene.h"
#include "app/render/text_caret.h"
#include "graphics/graphics.h"

namespace {

using namespace palette;

// At the canvas's right end, clear of the caption edit box at its left end.
constexpr SceneRect kLabelRect{kWindowWidth - 480, 10, kWindowWidth - 420, 50};
constexpr SceneRect kBoxRect{kWindowWidth - 420, 10, kWindowWidth - 20, 50};
constexpr SceneRect kTextRect{kBoxRect.left + 5, 10, kBoxRect.right - 5, 50};
constexpr SceneRect kCountRect{10, 730, kWindowWidth - 10, 750};
constexpr int kCaretIndent = 2;
constexpr int kCaretInset = 5;

void drawText(const char16_t* text, const SceneRect& r, Colour colour, UINT format) {
    Gfx::setTextColor(colour);
    RECT rect{r.left, r.top, r.right, r.bottom};
    Gfx::drawTextInRect(text, &rect, format);
}

int caretX(const std::u16string& text) {
    return wrapToInt32(std::int64_t{kTextRect.left} + kCaretIndent + Gfx::getTextWidth(text.c_str()));
}

}  // namespace

void drawFindBox(MindMap& mindMap) {
    drawText(u"查找:", kLabelRect, kOverlayText, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    Gfx::setFillColor(kTextBoxFill);
    Gfx::fillRectangle(kBoxRect.left, kBoxRect.top, kBoxRect.right, kBoxRect.bottom);
    Gfx::setLineColor(kTextBoxOutline);
    Gfx::drawRectangle(kBoxRect.left, kBoxRect.top, kBoxRect.right, kBoxRect.bottom);
    drawText(mindMap.find.text.c_str(), kTextRect, kOverlayText, DT_VCENTER);
    mindMap.find.caretCounter = nextCaretCount(mindMap.find.caretCounter);
    if (caretShownAt(mindMap.find.caretCounter)) {
        const int x = caretX(mindMap.find.text);
        Gfx::drawLine(x, kBoxRect.top + kCaretInset, x, kBoxRect.bottom - kCaretInset);
    }
}

void drawFindCount(const MindMap& mindMap) {
    const MatchCount count = countMatches(mindMap.root, mindMap.selectedNode, mindMap.find.text);
    const std::string digits = std::to_string(count.place) + "/" + std::to_string(count.total);
    const std::u16string text(digits.begin(), digits.end());
    drawText(text.c_str(), kCountRect, kStatusText, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
}

void placeFindCaret(const MindMap& mindMap) {
    Gfx::setTextCaret(caretX(mindMap.find.text), kBoxRect.top + kCaretInset,
                      kBoxRect.bottom - kBoxRect.top - 2 * kCaretInset);
}
