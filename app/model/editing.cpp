// Structural editing, selection and dragging.
#include <algorithm>
#include <cstdint>

#include "app/model/mind_map.h"
#include "app/model/wrap_int32.h"

namespace {
constexpr int kChildStepX = 80;
constexpr int kChildStepY = 100;

// The k-th node added under a parent goes 80·k right of and 100 below the parent's corner.
Node* appendNewChild(Node* parent, const char16_t* caption) {
    const std::int64_t n = static_cast<std::int64_t>(parent->children.size());
    Node* node = new Node(caption, wrapToInt32(parent->x + kChildStepX * n),
                          wrapToInt32(parent->y + std::int64_t{kChildStepY}));
    node->parent = parent;
    parent->children.push_back(node);
    return node;
}
}  // namespace

void MindMap::addChildNode() {
    if (selectedNode == nullptr) return;
    // The child would lie below the deepest level the renderer and the file support.
    if (nodeDepth(selectedNode) + 1 >= kMaxDepth) return;
    saveState();
    selectedNode = appendNewChild(selectedNode, u"新节点");
}

void MindMap::addSiblingNode() {
    if (selectedNode == nullptr || selectedNode == root) return;
    // The entry captures the parent's children, so undo takes the new sibling away again.
    recordState(selectedNode->parent);
    selectedNode = appendNewChild(selectedNode->parent, u"同级节点");
}

void MindMap::deleteSelectedNode() {
    if (selectedNode == nullptr || selectedNode == root) return;
    Node* doomed = selectedNode;
    Node* parent = doomed->parent;
    // The entry captures the parent's children, so undo puts the subtree back in its place.
    recordState(parent);
    auto it = std::find(parent->children.begin(), parent->children.end(), doomed);
    if (it == parent->children.end()) return;
    selectedNode = parent;
    parent->children.erase(it);
    delete doomed;
}

void MindMap::setNodeFillColor(Colour colour) {
    if (selectedNode == nullptr) return;
    saveState();
    selectedNode->fillColor = colour;
}

void MindMap::setNodeTextColor(Colour colour) {
    if (selectedNode == nullptr) return;
    saveState();
    selectedNode->textColor = colour;
}

void MindMap::toggleCollapse() {
    if (selectedNode == nullptr || selectedNode->children.empty()) return;
    selectedNode->collapsed = !selectedNode->collapsed;
}

void MindMap::selectNodeAt(int px, int py) {
    selectedNode = findNodeAt(root, px, py);
}

void MindMap::startDrag(int px, int py) {
    if (selectedNode == nullptr) return;
    isDragging = true;
    dragOffsetX = wrapToInt32(std::int64_t{px} - selectedNode->x);
    dragOffsetY = wrapToInt32(std::int64_t{py} - selectedNode->y);
}

void MindMap::dragTo(int px, int py) {
    if (!isDragging || selectedNode == nullptr) return;
    selectedNode->x = wrapToInt32(std::int64_t{px} - dragOffsetX);
    selectedNode->y = wrapToInt32(std::int64_t{py} - dragOffsetY);
}

void MindMap::endDrag() {
    isDragging = false;
}
