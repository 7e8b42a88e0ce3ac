#include "app/storage/import_layout.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "app/model/scene_layout.h"

namespace {
constexpr std::int32_t kMargin = 20;
constexpr std::int32_t kStatusBarHeight = 20;

template <class Visit>
void forEachNode(Node& root, Visit visit) {
    std::vector<Node*> pending{&root};
    while (!pending.empty()) {
        Node* node = pending.back();
        pending.pop_back();
        visit(*node);
        for (Node* child : node->children) pending.push_back(child);
    }
}
}  // namespace

void layoutImportedTree(Node& root) {
    // Post-order walk with an explicit stack of (node, next child); a node's y is known once
    // all its children have theirs. Rows count from 0 here and are shifted at the end.
    const std::int64_t left = kPanelWidth + kMargin;
    std::int64_t nextRowTop = 0;
    std::int64_t bottom = 0;
    std::vector<std::pair<Node*, std::size_t>> stack{{&root, 0}};
    root.x = static_cast<std::int32_t>(left);
    while (!stack.empty()) {
        auto& [node, next] = stack.back();
        if (next < node->children.size()) {
            Node* child = node->children[next++];
            child->x = node->x + node->width + kImportColumnGap;
            stack.emplace_back(child, 0);
            continue;
        }
        if (node->children.empty()) {
            node->y = static_cast<std::int32_t>(nextRowTop);
            bottom = nextRowTop + node->height;
            nextRowTop += node->height + kImportRowGap;
        } else {
            node->y = node->children.front()->y + (node->children.back()->y - node->children.front()->y) / 2;
        }
        stack.pop_back();
    }
    const std::int64_t canvasHeight = kWindowHeight - kStatusBarHeight;
    const std::int64_t top = bottom + 2 * kMargin <= canvasHeight ? (canvasHeight - bottom) / 2 : kMargin;
    forEachNode(root, [top](Node& node) { node.y = static_cast<std::int32_t>(node.y + top); });
}
