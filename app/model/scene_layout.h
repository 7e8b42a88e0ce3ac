// Where things are in the editor's one scene: the window, the function panel and its button
// table, a node's collapse marker and the path dialog. The model hit-tests these areas, the
// frame draws them, the program opens its window at this size, and the tests read them from
// here: this is their one home.
#pragma once

#include <array>
#include <cstdint>

#include "app/model/colour.h"

// A rectangle of the scene; all four edges belong to it.
template <typename Int>
struct BasicRect {
    Int left;
    Int top;
    Int right;
    Int bottom;

    constexpr bool contains(Int x, Int y) const { return left <= x && x <= right && top <= y && y <= bottom; }
};

// A rectangle in window coordinates.
using SceneRect = BasicRect<std::int32_t>;

// A rectangle derived from a node's position and size, which may lie anywhere in the int range
// (a file can say so): computed in 64 bits. Hit tests take it as it is; drawing wraps each edge
// to 32 bits (wrapToInt32, app/model/wrap_int32.h), as every sum of positions it draws.
using WideRect = BasicRect<std::int64_t>;

// The window, and the scene drawn into it, in pixels.
inline constexpr int kWindowWidth = 1380;
inline constexpr int kWindowHeight = 750;

// The function panel takes x < kPanelWidth; the canvas with its grid takes the rest.
inline constexpr int kPanelWidth = 220;

// The panel's buttons from top to bottom. A button's index is its command id
// (runPanelCommand, app/ui/dispatch.h).
struct PanelButtonStyle {
    const char16_t* label;
    Colour fillColor;
    Colour textColor;
};

inline constexpr std::array<PanelButtonStyle, 10> kPanelButtons = {{
    {u"添加子节点", 0x64B464, 0xFFFFFF},
    {u"添加同级节点", 0xDC9664, 0xFFFFFF},
    {u"删除节点", 0x6464DC, 0xFFFFFF},
    {u"编辑文本", 0x64B4B4, 0xFFFFFF},
    {u"折叠/展开", 0xC89696, 0xFFFFFF},
    {u"撤销", 0xC8C8C8, 0x000000},
    {u"重做", 0xC8C8C8, 0x000000},
    {u"保存", 0xC89664, 0xFFFFFF},
    {u"打开", 0xC89664, 0xFFFFFF},
    {u"帮助", 0xC86496, 0xFFFFFF},
}};

// Button `index`'s box on a panel `panelWidth` wide: 10 pixels in from both of the panel's
// edges, 35 high, one below the other 10 apart from y = 80.
constexpr SceneRect panelButtonRect(int panelWidth, int index) {
    constexpr int kInset = 10;
    constexpr int kFirstTop = 80;
    constexpr int kHeight = 35;
    constexpr int kGap = 10;
    const int top = kFirstTop + index * (kHeight + kGap);
    return {kInset, top, panelWidth - kInset, top + kHeight};
}

// The "-" / "+" marker of a node with children, on the box at (x, y) `width` wide: 15 x 20
// pixels, 10 in from the box's right edge and 10 down from its top.
constexpr WideRect collapseMarkerBox(std::int64_t x, std::int64_t y, std::int64_t width) {
    const std::int64_t right = x + width;
    return {right - 25, y + 10, right - 10, y + 30};
}

// The path dialog of the open and save commands. A click is tested against the same areas
// that the frame draws.
struct PathDialogLayout {
    SceneRect box;
    SceneRect title;
    SceneRect pathBox;
    SceneRect pathText;  // the typed path, inside pathBox
    SceneRect ok;
    SceneRect cancel;
    SceneRect hint;
};

// The dialog beside a panel `panelWidth` wide: its x positions are measured from the panel's
// right edge.
constexpr PathDialogLayout pathDialogLayout(int panelWidth) {
    const auto at = [panelWidth](SceneRect r) {
        return SceneRect{panelWidth + r.left, r.top, panelWidth + r.right, r.bottom};
    };
    return {.box = at({200, 150, 600, 350}),
            .title = at({200, 160, 600, 190}),
            .pathBox = at({220, 200, 580, 230}),
            .pathText = at({225, 200, 575, 230}),
            .ok = at({250, 270, 350, 310}),
            .cancel = at({450, 270, 550, 310}),
            .hint = at({220, 330, 580, 350})};
}
