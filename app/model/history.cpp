// Undo and redo. An entry holds one node's colours and copies of its children; applying it
// swaps both with the node's present ones, and the displaced set becomes the entry for the
// opposite direction. Commands whose change lies outside the selected node's children record
// the node they do change: add sibling and delete record the parent.
#include <algorithm>
#include <memory>
#include <utility>

#include "app/model/history_state.h"
#include "app/model/mind_map.h"

HistoryState::~HistoryState() {
    for (Node* node : childrenCopy) delete node;
}

HistoryState::HistoryState(HistoryState&& other) noexcept
    : ancestorIds(std::move(other.ancestorIds)),
      nodeId(other.nodeId),
      childrenCopy(std::move(other.childrenCopy)),
      fillColor(other.fillColor),
      textColor(other.textColor) {
    other.childrenCopy.clear();
}

HistoryState& HistoryState::operator=(HistoryState&& other) noexcept {
    if (this != &other) {
        for (Node* node : childrenCopy) delete node;
        ancestorIds = std::move(other.ancestorIds);
        nodeId = other.nodeId;
        childrenCopy = std::move(other.childrenCopy);
        other.childrenCopy.clear();
        fillColor = other.fillColor;
        textColor = other.textColor;
    }
    return *this;
}

namespace {
Node* copyOneNode(const Node* source, Node* parent) {
    Node* copy = new Node(source->text, source->x, source->y);
    copy->width = source->width;
    copy->height = source->height;
    copy->fillColor = source->fillColor;
    copy->textColor = source->textColor;
    copy->collapsed = source->collapsed;
    copy->parent = parent;
    copy->id = source->id;
    return copy;
}
}  // namespace

Node* MindMap::copyNodeTree(const Node* source, Node* parent) {
    if (source == nullptr) return nullptr;
    std::unique_ptr<Node> top(copyOneNode(source, parent));
    // Each copy is linked into its parent as soon as it exists, so a failed allocation frees
    // everything through `top`.
    std::vector<std::pair<const Node*, Node*>> pending{{source, top.get()}};
    while (!pending.empty()) {
        auto [from, to] = pending.back();
        pending.pop_back();
        to->children.reserve(from->children.size());
        for (const Node* child : from->children) {
            to->children.push_back(nullptr);
            to->children.back() = copyOneNode(child, to);
            pending.emplace_back(child, to->children.back());
        }
    }
    return top.release();
}

void MindMap::saveState() {
    if (selectedNode == nullptr) return;
    recordState(selectedNode);
}

void MindMap::recordState(Node* node) {
    HistoryState state;
    for (const Node* p = node->parent; p != nullptr; p = p->parent) state.ancestorIds.push_back(p->id);
    std::reverse(state.ancestorIds.begin(), state.ancestorIds.end());
    state.nodeId = node->id;
    state.fillColor = node->fillColor;
    state.textColor = node->textColor;
    state.childrenCopy.reserve(node->children.size());
    for (const Node* child : node->children) {
        state.childrenCopy.push_back(nullptr);
        state.childrenCopy.back() = copyNodeTree(child, nullptr);
    }
    undoStack.push_back(std::move(state));
    redoStack.clear();
}

Node* MindMap::findRecordedNode(const HistoryState& state) const {
    if (root == nullptr) return nullptr;
    auto childWithId = [](const Node* node, std::uint64_t id) -> Node* {
        for (Node* child : node->children) {
            if (child->id == id) return child;
        }
        return nullptr;
    };
    if (state.ancestorIds.empty()) return root->id == state.nodeId ? root : nullptr;
    if (root->id != state.ancestorIds.front()) return nullptr;
    Node* node = root;
    for (std::size_t i = 1; i < state.ancestorIds.size() && node != nullptr; ++i) {
        node = childWithId(node, state.ancestorIds[i]);
    }
    return node == nullptr ? nullptr : childWithId(node, state.nodeId);
}

void MindMap::applyHistory(std::deque<HistoryState>& from, std::deque<HistoryState>& to) {
    if (from.empty() || selectedNode == nullptr) return;
    while (!from.empty()) {
        HistoryState state = std::move(from.back());
        from.pop_back();
        Node* node = findRecordedNode(state);
        if (node == nullptr) continue;  // its node is gone (an open replaced the map): drop it

        // The present children move into the opposite entry and the recorded copies take
        // their place: the same result as copying both ways, without copying anything.
        to.emplace_back();
        HistoryState& displaced = to.back();
        displaced.ancestorIds = std::move(state.ancestorIds);
        displaced.nodeId = state.nodeId;
        displaced.fillColor = node->fillColor;
        displaced.textColor = node->textColor;
        displaced.childrenCopy = std::move(node->children);
        for (Node* child : displaced.childrenCopy) child->parent = nullptr;

        node->children = std::move(state.childrenCopy);
        state.childrenCopy.clear();
        for (Node* child : node->children) child->parent = node;
        node->fillColor = state.fillColor;
        node->textColor = state.textColor;
        selectedNode = node;
        return;
    }
}

void MindMap::undo() {
    applyHistory(undoStack, redoStack);
}

void MindMap::redo() {
    applyHistory(redoStack, undoStack);
}
