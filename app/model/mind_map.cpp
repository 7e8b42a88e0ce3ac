// Construction, destruction and the hit test of the editor object.
#include "app/model/mind_map.h"

#include <vector>

namespace {
constexpr int kWindowWidth = 1380;
constexpr int kRootY = 375;
}  // namespace

MindMap::MindMap() {
    panelWidth = 220;
    root = newRootNode();
    selectedNode = root;
    isDragging = false;
    isEditing = false;
    showHelp = false;
    showFileDialog = false;
    isSaveDialog = false;
    initPanelButtons();
}

Node* MindMap::newRootNode() const {
    return new Node(u"中心主题", (kWindowWidth - panelWidth) / 2 + panelWidth, kRootY);
}

MindMap::~MindMap() {
    selectedNode = nullptr;
    delete root;
    root = nullptr;
}

Node* MindMap::findNodeAt(Node* node, int px, int py) {
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
        const std::int64_t right = x + n->width;
        const std::int64_t bottom = y + n->height;
        if (!n->children.empty() && right - 25 <= px && px <= right - 10 && y + 10 <= py && py <= y + 30) {
            return n;
        }
        if (x <= px && px <= right && y <= py && py <= bottom) return n;
        if (n->collapsed) continue;
        pending.insert(pending.end(), n->children.rbegin(), n->children.rend());
    }
    return nullptr;
}
