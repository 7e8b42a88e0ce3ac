// The function panel's buttons as data: their layout, hit test and hover state.
#include <utility>

#include "app/model/button.h"
#include "app/model/mind_map.h"

Button::Button(std::u16string label, int x, int y, int width, int height, Colour fillColor, Colour textColor)
    : label(std::move(label)),
      rect{x, y, x + width, y + height},
      fillColor(fillColor),
      textColor(textColor),
      isHovered(false) {}

bool Button::contains(int x, int y) const {
    return rect.left <= x && x <= rect.right && rect.top <= y && y <= rect.bottom;
}

void MindMap::initPanelButtons() {
    struct ButtonRow {
        const char16_t* label;
        Colour fillColor;
        Colour textColor;
    };
    static const ButtonRow kButtons[] = {
        {u"添加子节点", 0x64B464, 0xFFFFFF}, {u"添加同级节点", 0xDC9664, 0xFFFFFF},
        {u"删除节点", 0x6464DC, 0xFFFFFF},   {u"编辑文本", 0x64B4B4, 0xFFFFFF},
        {u"折叠/展开", 0xC89696, 0xFFFFFF},  {u"撤销", 0xC8C8C8, 0x000000},
        {u"重做", 0xC8C8C8, 0x000000},       {u"保存", 0xC89664, 0xFFFFFF},
        {u"打开", 0xC89664, 0xFFFFFF},       {u"帮助", 0xC86496, 0xFFFFFF},
    };
    buttons.clear();
    const int btnWidth = panelWidth - 20;
    const int btnHeight = 35;
    const int startY = 80;
    const int spacing = 10;
    int i = 0;
    for (const ButtonRow& row : kButtons) {
        buttons.emplace_back(row.label, 10, startY + i * (btnHeight + spacing), btnWidth, btnHeight,
                             row.fillColor, row.textColor);
        ++i;
    }
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
