// Moving the selection with the arrow keys: to the nearest shown node in the arrow's direction
// as the canvas shows the map.
#pragma once

#include "app/model/node.h"

enum class ArrowDirection { Left, Up, Right, Down };

// The shown node whose centre lies beyond `from`'s centre in the direction and nearest to it,
// distance across the arrow counting twice as much as distance along it; nodes within 45
// degrees of the arrow come before all others; among equals the first in pre-order. None when
// no shown node lies that way.
Node* nodeInDirection(Node* root, const Node* from, ArrowDirection direction);
