// Construction, destruction and the hit test of the editor object.
#include "app/model/mind_map.h"

#include <utility>
#include <vector>

#include "app/model/scene_layout.h"

namespace {
constexpr int kRootY = kWindowHeight / 2;
}  // namespace

MindMap::MindMap() : root(newRootNode()), selectedNode(root), buttons(panelButtons(panelWidth)) {}

Node* MindMap::newRootNode() const {
    return new Node(u"中心主题", (kWindowWidth - panelWidth) / 2 + panelWidth, kRootY);
}

void MindMap::setNodeText(Node* node, std::u16string text) {
    node->text = std::move(text);
    noteChange();
}

void MindMap::replaceTree(Node* newRoot) {
    selectedNode = nullptr;
    delete root;
    root = newRoot;
    selectedNode = root;
    noteChange();
}

MindMap::~MindMap() {
    selectedNode = nullptr;
    delete root;
    root = nullptr;
}

Node* MindMap::findNodeAt(Node* node, std::int64_t px, std::int64_t py) {
    // Pre-order walk with an explicit stack: a node before its descendants, an earlier child's
    // subtree before a later child.
    std::vector<Node*> pending;
    if (node != nullptr) pending.push_back(node);
    while (!pending.empty()) {
        Node* n = pending.back();
        pending.pop_back();
        // 64-bit sums: positions and sizes read from a file may be anywhere in the int range.
        const std::int64_t x = n->x;
        const std::int64_t y = n->y;
        if (!n->children.empty() && collapseMarkerBox(x, y, n->width).contains(px, py)) return n;
        if (WideRect{x, y, x + n->width, y + n->height}.contains(px, py)) return n;
        if (n->collapsed) continue;
        pending.insert(pending.end(), n->children.rbegin(), n->children.rend());
    }
    return nullptr;
}
