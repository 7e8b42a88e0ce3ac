#include "app/model/node.h"

#include <atomic>
#include <utility>

namespace {
std::atomic<std::uint64_t> nextNodeId{1};
}

Node::Node(std::u16string text, std::int32_t x, std::int32_t y)
    : text(std::move(text)), x(x), y(y), id(nextNodeId.fetch_add(1, std::memory_order_relaxed)) {}

Node::~Node() {
    // Detach every descendant before deleting it, so each delete is shallow and no walk
    // recurses however deep the tree is.
    std::vector<Node*> pending(children.rbegin(), children.rend());
    children.clear();
    while (!pending.empty()) {
        Node* node = pending.back();
        pending.pop_back();
        pending.insert(pending.end(), node->children.rbegin(), node->children.rend());
        node->children.clear();
        delete node;
    }
}

int nodeDepth(const Node* node) {
    int depth = 0;
    for (const Node* p = node->parent; p != nullptr; p = p->parent) ++depth;
    return depth;
}
