// Structural editing, selection and dragging.
#include <algorithm>
#include <cstdint>

#include "app/model/mind_map.h"
#include "app/model/wrap_int32.h"

namespace {
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
    noteChange();
}

void MindMap::addSiblingNode() {
    if (selectedNode == nullptr || selectedNode == root) return;
    Node* parent = selectedNode->parent;
    selectedNode = appendNewChild(parent, u"同级节点");
    // Undo takes this sibling away again and nothing else.
    recordInsertion(parent, parent->children.size() - 1, selectedNode);
    noteChange();
}

void MindMap::deleteSelectedNode() {
    if (selectedNode == nullptr || selectedNode == root) return;
    Node* doomed = selectedNode;
    Node* parent = doomed->parent;
    auto it = std::find(parent->children.begin(), parent->children.end(), doomed);
    if (it == parent->children.end()) return;
    const auto index = static_cast<std::size_t>(it - parent->children.begin());
    selectedNode = parent;
    parent->children.erase(it);
    // The entry keeps the subtree itself, so undo puts it back in its place as it was.
    recordRemoval(parent, index, doomed);
    noteChange();
}

void MindMap::setNodeFillColor(Colour colour) {
    if (selectedNode == nullptr) return;
    recordColours(selectedNode);
    selectedNode->fillColor = colour;
    noteChange();
}

void MindMap::setNodeTextColor(Colour colour) {
    if (selectedNode == nullptr) return;
    recordColours(selectedNode);
    selectedNode->textColor = colour;
    noteChange();
}

void MindMap::toggleCollapse() {
    if (selectedNode == nullptr || selectedNode->children.empty()) return;
    selectedNode->collapsed = !selectedNode->collapsed;
    noteChange();
}

void MindMap::selectNodeAt(std::int64_t px, std::int64_t py) {
    selectedNode = findNodeAt(root, px, py);
}

void MindMap::startDrag(std::int64_t px, std::int64_t py) {
    if (selectedNode == nullptr) return;
    isDragging = true;
    dragOffsetX = wrapToInt32(px - selectedNode->x);
    dragOffsetY = wrapToInt32(py - selectedNode->y);
}

void MindMap::dragTo(std::int64_t px, std::int64_t py) {
    if (!isDragging || selectedNode == nullptr) return;
    const std::int32_t x = wrapToInt32(px - dragOffsetX);
    const std::int32_t y = wrapToInt32(py - dragOffsetY);
    if (x == selectedNode->x && y == selectedNode->y) return;
    selectedNode->x = x;
    selectedNode->y = y;
    noteChange();
}

void MindMap::endDrag() {
    isDragging = false;
}
