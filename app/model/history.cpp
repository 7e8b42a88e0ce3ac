// Undo and redo. Each entry takes back exactly what its command changed: add child swaps the
// selected node's colours and children with frozen copies; a colour command swaps the node's
// colours; delete puts the removed subtree back at its place; add sibling takes the added
// sibling away. Applying an entry yields the entry for the opposite direction; only children
// that changed since they were last frozen are copied for it.
#include <algorithm>
#include <memory>
#include <utility>

#include "app/model/frozen_node.h"
#include "app/model/history_state.h"
#include "app/model/mind_map.h"

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

namespace {
// An entry that names node by its identity path.
HistoryState entryFor(const Node* node, HistoryState::Change change) {
    HistoryState state;
    state.change = change;
    for (const Node* p = node->parent; p != nullptr; p = p->parent) state.ancestorIds.push_back(p->id);
    std::reverse(state.ancestorIds.begin(), state.ancestorIds.end());
    state.nodeId = node->id;
    state.fillColor = node->fillColor;
    state.textColor = node->textColor;
    return state;
}
}  // namespace

void MindMap::recordState(Node* node) {
    HistoryState state = entryFor(node, HistoryState::Change::Children);
    state.children = freezeChildren(*node);
    pushUndo(std::move(state));
}

void MindMap::recordColours(Node* node) {
    pushUndo(entryFor(node, HistoryState::Change::Colours));
}

void MindMap::recordRemoval(Node* parent, std::size_t index, Node* subtree) {
    HistoryState state = entryFor(parent, HistoryState::Change::Insert);
    state.index = index;
    subtree->parent = nullptr;
    state.subtree.reset(subtree);
    pushUndo(std::move(state));
}

void MindMap::recordInsertion(Node* parent, std::size_t index, const Node* child) {
    HistoryState state = entryFor(parent, HistoryState::Change::Remove);
    state.index = index;
    state.childId = child->id;
    pushUndo(std::move(state));
}

void MindMap::pushUndo(HistoryState&& state) {
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

namespace {
// Applies state to its node and answers the entry for the opposite direction, or nothing when
// the entry no longer fits the tree (its child is gone).
bool applyEntry(Node* node, HistoryState& state, HistoryState& opposite) {
    opposite.change = state.change;
    opposite.ancestorIds = std::move(state.ancestorIds);
    opposite.nodeId = state.nodeId;
    switch (state.change) {
        case HistoryState::Change::Children:
            // The present children, frozen, go into the opposite entry and the recorded ones
            // take their place.
            opposite.children = replaceChildren(*node, state.children);
            [[fallthrough]];
        case HistoryState::Change::Colours:
            opposite.fillColor = node->fillColor;
            opposite.textColor = node->textColor;
            node->fillColor = state.fillColor;
            node->textColor = state.textColor;
            return true;
        case HistoryState::Change::Insert: {
            if (state.subtree == nullptr) return false;
            const std::size_t at = std::min(state.index, node->children.size());
            Node* subtree = state.subtree.get();
            node->children.insert(node->children.begin() + static_cast<std::ptrdiff_t>(at), subtree);
            state.subtree.release();
            subtree->parent = node;
            opposite.change = HistoryState::Change::Remove;
            opposite.index = at;
            opposite.childId = subtree->id;
            return true;
        }
        case HistoryState::Change::Remove: {
            auto it = std::find_if(node->children.begin(), node->children.end(),
                                   [&](const Node* child) { return child->id == state.childId; });
            if (it == node->children.end()) return false;
            Node* subtree = *it;
            opposite.change = HistoryState::Change::Insert;
            opposite.index = static_cast<std::size_t>(it - node->children.begin());
            node->children.erase(it);
            subtree->parent = nullptr;
            opposite.subtree.reset(subtree);
            return true;
        }
    }
    return false;
}
}  // namespace

void MindMap::applyHistory(std::deque<HistoryState>& from, std::deque<HistoryState>& to) {
    if (from.empty() || selectedNode == nullptr) return;
    while (!from.empty()) {
        HistoryState state = std::move(from.back());
        from.pop_back();
        Node* node = findRecordedNode(state);
        if (node == nullptr) continue;  // its node is gone (an open replaced the map): drop it
        HistoryState opposite;
        if (!applyEntry(node, state, opposite)) continue;  // its child is gone: drop it
        to.push_back(std::move(opposite));
        selectedNode = node;
        noteChange();
        return;
    }
}

void MindMap::undo() {
    applyHistory(undoStack, redoStack);
}

void MindMap::redo() {
    applyHistory(redoStack, undoStack);
}
