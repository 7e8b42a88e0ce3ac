// Positions for a tree read from a file that carries none of ours: a tidy tree growing
// downwards from its root near the top left of the canvas, as the editor's connectors run
// (from the bottom middle of a parent to the top middle of a child).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/model/node.h"

// Space between two boxes side by side, and between a parent's bottom and its children's tops.
inline constexpr int kImportSiblingGap = 20;
inline constexpr int kImportLevelGap = 40;
// Where the leftmost shown box and the root's top go: this far into the canvas.
inline constexpr int kImportCanvasMargin = 20;

// The width of a caption in pixels, as the editor measures it.
using CaptionWidth = std::function<std::int64_t(const std::u16string& caption)>;

// Fits every box's width to its caption (fittedNodeWidth; left as it is when captionWidth is
// empty) and places every node. Children stand side by side below their parent, in order from
// left to right, and the parent is centred over them; subtrees are packed level by level as
// close as kImportSiblingGap allows. Only shown nodes take room: a collapsed node's subtree is
// laid out below it, where expanding it shows it, but pushes nothing shown aside. The root's top
// and the leftmost shown box are kImportCanvasMargin inside the canvas. Iterative and linear in
// the number of nodes: any depth is safe.
void layoutImportedTree(Node& root, const CaptionWidth& captionWidth);
