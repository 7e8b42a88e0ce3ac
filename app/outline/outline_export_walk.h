// Walks a tree in pre-order with an explicit stack (maps nest up to kMaxDepth levels), telling
// the visitor when a node is entered and when its subtree is done, with the node's depth.
#pragma once

#include <cstddef>
#include <vector>

#include "app/model/node.h"

template <class Enter, class Leave>
void walkOutline(const Node& root, Enter&& enter, Leave&& leave) {
    struct Open {
        const Node* node;
        std::size_t nextChild;
    };
    std::vector<Open> open;
    enter(root, 0);
    open.push_back({&root, 0});
    while (!open.empty()) {
        Open& top = open.back();
        if (top.nextChild < top.node->children.size()) {
            const Node* child = top.node->children[top.nextChild++];
            enter(*child, static_cast<int>(open.size()));
            open.push_back({child, 0});  // `top` is not used past this point
        } else {
            leave(*top.node, static_cast<int>(open.size()) - 1);
            open.pop_back();
        }
    }
}
