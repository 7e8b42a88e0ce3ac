// One function-panel button: rounded box, outline and centred caption; a hovered button is
// filled 10 % darker.
#include "app/model/button.h"
#include "app/render/palette.h"
#include "graphics/graphics.h"

namespace {

constexpr int kCorner = 5;
constexpr int kTextInset = 5;

COLORREF hoverFill(Colour fill) {
    const auto darker = [](Colour channel) {
        return static_cast<Colour>(static_cast<double>(channel) * 0.9);
    };
    const Colour red = darker(fill & 0xFF);
    const Colour green = darker((fill >> 8) & 0xFF);
    const Colour blue = darker((fill >> 16) & 0xFF);
    return red | green << 8 | blue << 16;
}

}  // namespace

void Button::draw() const {
    Gfx::setFillColor(isHovered ? hoverFill(fillColor) : fillColor);
    Gfx::fillRoundRect(rect.left, rect.top, rect.right, rect.bottom, kCorner, kCorner);
    Gfx::setLineColor(palette::kOutline);
    Gfx::drawRoundRect(rect.left, rect.top, rect.right, rect.bottom, kCorner, kCorner);
    Gfx::setBackgroundMode(TRANSPARENT);
    Gfx::setTextColor(textColor);
    RECT textRect{rect.left + kTextInset, rect.top, rect.right - kTextInset, rect.bottom};
    Gfx::drawTextInRect(label.c_str(), &textRect, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
}
