// One button of the function panel; its index in MindMap::buttons is its command id. Its
// label, colours and box come from the panel's table (app/model/scene_layout.h).
#pragma once

#include <string>
#include <vector>

#include "app/model/colour.h"
#include "app/model/scene_layout.h"

struct Button {
    Button(const PanelButtonStyle& style, const SceneRect& box);

    void draw() const;                  // drawn with the graphics layer (app/render)
    bool contains(int x, int y) const;  // all four edges inclusive

    std::u16string label;
    SceneRect rect;
    Colour fillColor;
    Colour textColor;
    bool isHovered = false;
};

// The panel's buttons as its table lists them, on a panel `panelWidth` wide; none hovered.
std::vector<Button> panelButtons(int panelWidth);
