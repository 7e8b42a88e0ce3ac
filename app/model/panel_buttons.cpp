// The function panel's buttons as data: their layout, hit test and hover state.
#include <cstddef>
#include <vector>

#include "app/model/button.h"
#include "app/model/mind_map.h"
#include "app/model/scene_layout.h"

Button::Button(const PanelButtonStyle& style, const SceneRect& box)
    : label(style.label), rect(box), fillColor(style.fillColor), textColor(style.textColor) {}

bool Button::contains(int x, int y) const {
    return rect.contains(x, y);
}

std::vector<Button> panelButtons(int panelWidth) {
    std::vector<Button> buttons;
    buttons.reserve(kPanelButtons.size());
    for (std::size_t i = 0; i < kPanelButtons.size(); ++i) {
        buttons.emplace_back(kPanelButtons[i], panelButtonRect(panelWidth, static_cast<int>(i)));
    }
    return buttons;
}

void MindMap::initPanelButtons() {
    buttons = panelButtons(panelWidth);
}

int MindMap::findButtonAt(int x, int y) const {
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (buttons[i].contains(x, y)) return static_cast<int>(i);
    }
    return -1;
}

void MindMap::updateButtonHover(int x, int y) {
    for (Button& button : buttons) button.isHovered = button.contains(x, y);
}
