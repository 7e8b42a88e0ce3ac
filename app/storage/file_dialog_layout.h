// The path dialog's rectangles, relative to the panel's right edge: the dialog's click
// handling tests the same areas that the frame draws. All four edges belong to a rectangle.
#pragma once

#include <cstdint>

struct DialogRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;

    constexpr bool contains(int x, int y) const { return left <= x && x <= right && top <= y && y <= bottom; }
};

constexpr DialogRect dialogBoxRect(int panelWidth) {
    return {panelWidth + 200, 150, panelWidth + 600, 350};
}
constexpr DialogRect dialogTitleRect(int panelWidth) {
    return {panelWidth + 200, 160, panelWidth + 600, 190};
}
constexpr DialogRect dialogPathBoxRect(int panelWidth) {
    return {panelWidth + 220, 200, panelWidth + 580, 230};
}
constexpr DialogRect dialogPathTextRect(int panelWidth) {
    return {panelWidth + 225, 200, panelWidth + 575, 230};
}
constexpr DialogRect dialogOkRect(int panelWidth) {
    return {panelWidth + 250, 270, panelWidth + 350, 310};
}
constexpr DialogRect dialogCancelRect(int panelWidth) {
    return {panelWidth + 450, 270, panelWidth + 550, 310};
}
constexpr DialogRect dialogHintRect(int panelWidth) {
    return {panelWidth + 220, 330, panelWidth + 580, 350};
}
