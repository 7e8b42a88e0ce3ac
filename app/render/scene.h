// Shared by the frame's drawing files: the overlay steps of one frame. Where things are is in
// app/model/scene_layout.h, their colours in app/render/palette.h.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "app/model/mind_map.h"

// How the node tree is drawn: shifted by an offset (the frame draws at window coordinates, a
// picture of the map at its own), with one node filled as the selection, or none, onto a
// device of the given size: what lies wholly beyond it is not drawn at all. A frame drawn in
// part culls against its clip as well: the part from (clipLeft, clipTop) to the device's size.
struct NodeTreeView {
    std::int64_t offsetX;
    std::int64_t offsetY;
    const Node* highlighted;
    std::int64_t deviceWidth;
    std::int64_t deviceHeight;
    std::int64_t clipLeft = 0;
    std::int64_t clipTop = 0;
};

// The tree from node down, as the frame draws it: connectors, boxes, captions and collapse
// markers; collapsed subtrees stay hidden.
void drawNodeTree(const Node* node, const NodeTreeView& view);

// Below this zoom captions are too small to read: boxes are drawn plain, without them.
inline constexpr int kLegibleZoomPercent = 35;

// The tree and the canvas grid as `view` shows them, for every view but the original one (the
// frame draws that as drawNodeTree does at no offset), onto a window-sized device. What lies
// wholly beyond the window (or beyond `clip`, window pixels with right and bottom excluded, when
// given) is not drawn, unless `cull` is false (the tests compare with that).
void drawNodeTreeInView(const Node* root, const View& view, const Node* highlighted, bool cull = true,
                        const RECT* clip = nullptr);
void drawGridInView(int panelWidth, const View& view);

// Overlays of the modes, each drawn only by a frame whose mode is on; they advance the caret
// counters of their boxes.
void drawEditBox(MindMap& mindMap);
void drawHelpScreen(const MindMap& mindMap);
void drawPathDialog(MindMap& mindMap);
// Where the overlays' text boxes are and where their carets stand (x of the caret's line), for
// the damage of a frame.
SceneRect editTextBox(int panelWidth);
int editCaretColumn(const MindMap& mindMap);
int pathCaretColumn(const MindMap& mindMap);

// The recovery offer (app/model/recovery_offer.h), over everything but the status bar.
struct RecoveryOffer;
void drawRecoveryOffer(const RecoveryOffer& offer, int panelWidth);

// The find box, drawn after the other overlays while it is open (it advances its caret
// counter), its count of matches drawn over the status bar, and its caret for the input method.
void drawFindBox(MindMap& mindMap);
void drawFindCount(const MindMap& mindMap);
void placeFindCaret(const MindMap& mindMap);

// The status bar, drawn last in every frame.
void drawStatusBar(const MindMap& mindMap);

// The caption as the status line shows it: its lines joined by kLineBreakMark.
inline constexpr std::u16string_view kLineBreakMark = u" ↵ ";
std::u16string oneLineCaption(std::u16string_view caption);

// The status line for the selected node, at most 255 UTF-16 units (a longer line is cut
// without splitting a surrogate pair).
std::u16string formatStatusLine(const MindMap& mindMap);
