// The shown nodes: the root and every node no collapsed ancestor hides, in pre-order.
#pragma once

#include <vector>

#include "app/model/node.h"

// Calls visit(node) for each shown node in pre-order (iteratively: any depth is safe).
template <typename Visit>
void forEachShownNode(Node* root, Visit&& visit) {
    std::vector<Node*> pending;
    if (root != nullptr) pending.push_back(root);
    while (!pending.empty()) {
        Node* n = pending.back();
        pending.pop_back();
        visit(n);
        if (!n->collapsed) pending.insert(pending.end(), n->children.rbegin(), n->children.rend());
    }
}
