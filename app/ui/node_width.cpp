// Refits a node's box width to its caption, measured in the text style set at start-up.
#include "app/model/node_width.h"

#include "app/model/mind_map.h"
#include "graphics/graphics.h"

void MindMap::updateNodeWidth(Node* node) {
    if (node == nullptr) return;
    node->width = fittedNodeWidth(Gfx::getTextWidth(node->text.c_str()));
}
