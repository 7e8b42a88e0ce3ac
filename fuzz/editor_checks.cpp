#include "fuzz/editor_checks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unordered_set>
#include <utility>
#include <vector>

#include "unicode/utf.h"

namespace editor_fuzz {

void fail(const char* what) {
    std::fprintf(stderr, "editor invariant broken: %s\n", what);
    std::abort();
}

void checkEditor(const MindMap& map) {
    require(map.root != nullptr && map.root->parent == nullptr, "the root has no parent");
    std::unordered_set<const Node*> seen;
    std::unordered_set<std::uint64_t> ids;
    bool selectionFound = map.selectedNode == nullptr;
    std::vector<std::pair<const Node*, int>> pending{{map.root, 0}};
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        require(depth < kMaxDepth, "every depth is below the limit");
        require(seen.insert(node).second, "no node is reached twice");
        require(ids.insert(node->id).second, "identities are unique");
        selectionFound = selectionFound || node == map.selectedNode;
        for (const Node* child : node->children) {
            require(child != nullptr && child->parent == node, "every child names its parent");
            pending.emplace_back(child, depth + 1);
        }
    }
    require(selectionFound, "the selection lies in the tree");

    require(map.buttons.size() == kPanelButtons.size(), "the panel keeps its buttons");
    int hovered = 0;
    for (const Button& button : map.buttons) hovered += button.isHovered ? 1 : 0;
    require(hovered <= 1, "at most one button is hovered");

    require(!map.isEditing || map.selectedNode != nullptr, "an open edit has a node to commit to");
    for (char16_t unit : map.filePath) require(unit >= 32 && unit <= 126, "the path holds printable ASCII");
}

Modes modesOf(const MindMap& map) {
    return {map.isEditing, map.showHelp, map.showFileDialog, map.isSaveDialog};
}

void checkModeChange(const Modes& before, const Modes& after, MessageKind kind) {
    const bool editing = before.editing != after.editing;
    const bool help = before.help != after.help;
    const bool dialog = before.dialog != after.dialog;
    require((editing ? 1 : 0) + (help ? 1 : 0) + (dialog ? 1 : 0) <= 1, "a message changes at most one mode");
    if (before.dialog && after.dialog)
        require(before.saveDialog == after.saveDialog, "an open dialog keeps its kind");
    switch (kind) {
        case MessageKind::Other:
            require(!editing && !help && !dialog, "only key-downs and left presses change modes");
            return;
        case MessageKind::Key:
            if (before.editing) {
                require(!help && !dialog, "while editing, keys only end the edit");
            } else if (before.dialog) {
                require(!editing && !help, "with the dialog open, keys only close it");
            } else if (before.help) {
                require(!editing && !dialog, "the help screen blocks editing and the dialog");
            }
            return;
        case MessageKind::LeftPress:
            if (before.dialog) {
                require(!editing && !help, "a press on the dialog only closes it");
            } else {
                require(!editing || after.editing, "a press never ends an edit");
                require(!dialog || after.dialog, "a press outside the dialog never closes one");
            }
            return;
    }
}

namespace {

// A caption as the file stores it: UTF-8, a lone surrogate replaced.
std::string stored(const std::u16string& text) {
    std::string out;
    unicode::appendUtf8(out, text);
    return out;
}

bool sameTree(const Node* a, const Node* b) {
    std::vector<std::pair<const Node*, const Node*>> pending{{a, b}};
    while (!pending.empty()) {
        const auto [x, y] = pending.back();
        pending.pop_back();
        if (x->x != y->x || x->y != y->y || x->width != y->width || x->height != y->height ||
            x->fillColor != y->fillColor || x->textColor != y->textColor || x->collapsed != y->collapsed ||
            x->children.size() != y->children.size() || stored(x->text) != stored(y->text)) {
            return false;
        }
        for (std::size_t i = 0; i < x->children.size(); ++i)
            pending.emplace_back(x->children[i], y->children[i]);
    }
    return true;
}

}  // namespace

void checkRoundTrip(const MindMap& map) {
    const std::string first = map.saveToBytes();
    MindMap reopened;
    require(reopened.loadFromBytes(first), "a saved map opens");
    checkEditor(reopened);
    require(sameTree(map.root, reopened.root), "a saved map opens into the same tree");
    require(reopened.saveToBytes() == first, "a reopened map saves the same bytes");
}

SavedState savedStateOf(const MindMap& map) {
    return {map.saveToBytes(), map.changeCount};
}

void checkChangeCounted(const SavedState& before, const MindMap& after) {
    if (after.changeCount == before.changeCount) {
        require(after.saveToBytes() == before.bytes, "the saved bytes changed without the change count");
    }
}

std::string openedAndSaved(const std::string& fileBytes) {
    MindMap opened;
    opened.loadFromBytes(fileBytes);
    return opened.saveToBytes();
}

}  // namespace editor_fuzz
