// Refits a node's box width to its caption, measured in the text style set at start-up.
#include "app/model/mind_map.h"
#include "graphics/graphics.h"

namespace {

constexpr int kPadding = 40;
constexpr int kMinWidth = 120;
constexpr int kMaxWidth = 300;

}  // namespace

void MindMap::updateNodeWidth(Node* node) {
    if (node == nullptr) return;
    const int w = Gfx::getTextWidth(node->text.c_str()) + kPadding;
    if (w >= kMaxWidth) {
        node->width = kMaxWidth;
    } else if (w < kMinWidth) {
        node->width = kMinWidth;
    } else {
        node->width = w;
    }
}
