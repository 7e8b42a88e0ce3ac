// Damage: which part of the window a frame can change. A frame is a function of what it shows
// and of the drawing state the previous frame left, so where what it shows is the same, its
// pixels are the ones on screen. What a frame shows is summed up after each drawn frame; the
// next one compares and redraws only the rectangle where the two summaries differ, with the
// same drawing calls clipped to it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/model/mind_map.h"

struct FrameSummary {
    // One shown node in drawing order.
    struct NodeMark {
        std::size_t parent = 0;  // index of its parent here; the root's is its own
        std::int32_t x = 0, y = 0, width = 0, height = 0;
        COLORREF fill = 0, text = 0;
        bool collapsed = false, hasChildren = false;
        std::u16string caption;
        // Window pixels: the box with its marker, widened by the ink margin; the connector from
        // the parent (none when the parent is the node itself).
        WideRect footprint{};
        WideRect connector{};
    };
    struct ButtonMark {
        SceneRect rect{};
        std::u16string label;
        Colour fill = 0, text = 0;
        bool hovered = false;
    };

    bool drawn = false;  // false: no frame to compare with
    // Any change of these can move pixels anywhere.
    int panelWidth = 0;
    std::int64_t viewX = 0, viewY = 0;
    int zoom = 0;
    bool help = false, editing = false, dialog = false, saveDialog = false, findOpen = false,
         offerShown = false;

    std::vector<NodeMark> nodes;
    std::vector<ButtonMark> buttons;
    // Open text boxes: their text, whether the next frame shows the caret, and where it stands.
    std::u16string editText, path;
    bool editCaret = false, pathCaret = false;
    std::int64_t editCaretX = 0, pathCaretX = 0;
    std::u16string status;
};

// What the next frame of mindMap would show; `out` keeps its storage from pass to pass.
void summarizeFrame(const MindMap& mindMap, FrameSummary& out);

struct Damage {
    enum class Kind { None, Part, Whole };
    Kind kind = Kind::None;
    RECT rect{};  // window pixels, right and bottom excluded; the whole window for Whole
    // For Part: the damaged rectangles, apart from one another, within `rect`, which bounds
    // them; at most kMostParts.
    std::vector<RECT> parts;
    static constexpr std::size_t kMostParts = 6;
};

// Where a frame showing `after` can differ from the frame that showed `before` (both drawn
// from the same drawing state).
Damage frameDamage(const FrameSummary& before, const FrameSummary& after);

// The frame of drawFrame, drawn and presented in each of the parts alone (each time from the
// drawing state the frame starts from): the same pixels inside, the window's as they were
// outside, the same drawing state left behind.
void drawFramePart(MindMap& mindMap, const std::vector<RECT>& parts);
