// Positions for a tree read from a file that carries none of ours: a tidy tree growing to the
// right of the root, one column per level and one row per leaf.
#pragma once

#include "app/model/node.h"

// Gaps between columns and between rows, in pixels, around the default 140 x 45 box.
inline constexpr int kImportColumnGap = 40;
inline constexpr int kImportRowGap = 10;

// Places every node of the tree (collapsed or not): x by depth, y by order. Leaves take
// successive rows; a parent stands level with the middle of its children, so no two boxes of
// one column overlap. A tree shorter than the canvas is centred on it vertically, a taller one
// starts at its top. Iterative: any depth is safe.
void layoutImportedTree(Node& root);
