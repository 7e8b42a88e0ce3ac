// The recovery offer over the canvas, in the path dialog's look: its box, title, white text
// boxes for the rows (the selected one filled as a selected node is) and grey buttons.
#include <windows.h>

#include "app/model/recovery_offer.h"
#include "app/render/palette.h"
#include "app/render/scene.h"
#include "graphics/graphics.h"

namespace {

void drawBox(const SceneRect& r, Colour fill, Colour outline) {
    Gfx::setFillColor(fill);
    Gfx::fillRectangle(r.left, r.top, r.right, r.bottom);
    Gfx::setLineColor(outline);
    Gfx::drawRectangle(r.left, r.top, r.right, r.bottom);
}

void drawText(const char16_t* text, const SceneRect& r, Colour colour, UINT format) {
    Gfx::setTextColor(colour);
    RECT rect{r.left, r.top, r.right, r.bottom};
    Gfx::drawTextInRect(text, &rect, format);
}

}  // namespace

void drawRecoveryOffer(const RecoveryOffer& offer, int panelWidth) {
    using namespace palette;
    const RecoveryOfferLayout layout = recoveryOfferLayout(panelWidth, offer.entries.size());
    Gfx::setFillColor(kOverlayFill);
    Gfx::solidRectangle(layout.box.left, layout.box.top, layout.box.right, layout.box.bottom);
    Gfx::setLineColor(kOverlayOutline);
    Gfx::drawRectangle(layout.box.left, layout.box.top, layout.box.right, layout.box.bottom);
    drawText(u"发现未保存的工作", layout.title, kOverlayText, DT_CENTER | DT_VCENTER);

    const std::size_t first = firstOfferRow(offer.selected);
    for (std::size_t shown = 0; shown < layout.rows && first + shown < offer.entries.size(); ++shown) {
        const std::size_t index = first + shown;
        const bool selected = index == offer.selected;
        const SceneRect row = offerRow(layout, shown);
        drawBox(row, selected ? kSelectedFill : kTextBoxFill, kTextBoxOutline);
        const SceneRect text{row.left + 5, row.top, row.right - 5, row.bottom};
        drawText(offer.entries[index].label.c_str(), text, selected ? kBackground : kOverlayText,
                 DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    }

    drawBox(layout.open, kDialogButtonFill, kOverlayOutline);
    drawBox(layout.ignore, kDialogButtonFill, kOverlayOutline);
    drawBox(layout.discard, kDialogButtonFill, kOverlayOutline);
    drawText(u"打开", layout.open, kOverlayText, DT_CENTER | DT_VCENTER);
    drawText(u"忽略", layout.ignore, kOverlayText, DT_CENTER | DT_VCENTER);
    drawText(u"删除", layout.discard, kOverlayText, DT_CENTER | DT_VCENTER);
    drawText(u"↑↓ 选择  Enter 打开  Esc 忽略（下次再问）  Delete 删除", layout.hint, kHintText, DT_VCENTER);
}
