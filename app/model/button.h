// One button of the function panel; its index in MindMap::buttons is its command id.
#pragma once

#include <cstdint>
#include <string>

#include "app/model/colour.h"

struct ButtonRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

struct Button {
    Button(std::u16string label, int x, int y, int width, int height, Colour fillColor, Colour textColor);

    void draw() const;                   // drawn with the graphics layer (app/render)
    bool contains(int x, int y) const;  // all four edges inclusive

    std::u16string label;
    ButtonRect rect;
    Colour fillColor;
    Colour textColor;
    bool isHovered = false;
};
