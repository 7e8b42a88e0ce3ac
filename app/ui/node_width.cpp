// Refits a node's box width to its caption, measured in the text style set at start-up.
#include <cstdint>

#include "app/model/mind_map.h"
#include "graphics/graphics.h"

namespace {

constexpr int kPadding = 40;
constexpr int kMinWidth = 120;
constexpr int kMaxWidth = 300;

}  // namespace

void MindMap::updateNodeWidth(Node* node) {
    if (node == nullptr) return;
    // 64 bits: a caption read from a file may measure close to the largest int.
    const std::int64_t w = std::int64_t{Gfx::getTextWidth(node->text.c_str())} + kPadding;
    if (w >= kMaxWidth) {
        node->width = kMaxWidth;
    } else if (w < kMinWidth) {
        node->width = kMinWidth;
    } else {
        node->width = static_cast<std::int32_t>(w);
    }
}
