// The map as the view shows it: node boxes in window pixels, the hit test against them, and
// the view changes that follow the map (fit, showing a node, placing the view after an open).
#pragma once

#include <cstdint>

#include "app/model/node.h"
#include "app/model/scene_layout.h"
#include "app/model/view.h"

// A node's box and its collapse marker in window pixels, as drawn.
WideRect nodeWindowBox(const Node& node, const View& view);
WideRect markerWindowBox(const Node& node, const View& view);

// The node drawn at window pixel (x, y), tested as findNodeAt tests map positions (a node's
// marker and box before its descendants); none when there is none.
Node* findNodeAtWindow(Node* root, const View& view, std::int64_t x, std::int64_t y);

// Home: the view that shows every shown node, centred in the canvas, at the largest zoom up to
// 100 % at which it fits (and never below the least zoom).
void fitShownMap(Node* root, View& view);

// Moves the view the least that shows the node's whole box in the canvas (its top left corner
// when it is larger than the canvas).
void showNodeWhole(const Node& node, View& view);

// Whether some shown node's box reaches into the canvas.
bool canvasShowsAnyNode(Node* root, const View& view);

// The view after an open: the original one, unless it shows no node at all; then, at 100 %,
// the root in the canvas centre.
void placeViewAfterOpen(Node* root, View& view);
