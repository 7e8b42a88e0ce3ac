// The history against a model that keeps plain deep copies: random commands, unrecorded edits
// (captions and sizes written directly, drags, collapse, reordering) and opens of other maps
// in between, so entries share copies, go stale and are skipped; copy, cut and paste of branches
// through the map file's lines, as the clipboard carries them. Every undo and redo must give
// exactly the tree, identities included, that the model's copies give.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/model/mind_map.h"
#include "app/model/wrap_int32.h"
#include "app/mapformat/map_file_format.h"

namespace {
// A value copy of a subtree.
struct Tree {
    std::u16string text;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    Colour fill = 0;
    Colour textColour = 0;
    bool collapsed = false;
    std::uint64_t id = 0;
    std::vector<Tree> children;
    bool operator==(const Tree&) const = default;
};

Tree copyOf(const Node& node) {
    Tree tree{node.text,      node.x,         node.y,         node.width, node.height,
              node.fillColor, node.textColor, node.collapsed, node.id,    {}};
    for (const Node* child : node.children) tree.children.push_back(copyOf(*child));
    return tree;
}

void describe(std::ostringstream& out, const Tree& tree, int depth) {
    out << std::string(2 * depth, ' ') << '#' << tree.id << ' ' << tree.x << ',' << tree.y << ' '
        << tree.width << 'x' << tree.height << ' ' << tree.fill << '/' << tree.textColour
        << (tree.collapsed ? " collapsed" : "") << " [" << tree.text.size() << " units]\n";
    for (const Tree& child : tree.children) describe(out, child, depth + 1);
}

std::string describe(const Tree& tree) {
    std::ostringstream out;
    describe(out, tree, 0);
    return out.str();
}

using Change = HistoryState::Change;

// An entry as the history without sharing would keep it.
struct Entry {
    Change change = Change::Children;
    std::vector<std::uint64_t> path;  // identities from the root down to the node
    std::vector<Tree> trees;          // Children: the children; Insert: the one subtree
    Colour fill = 0;
    Colour textColour = 0;
    std::size_t index = 0;
    std::uint64_t childId = 0;
};

std::vector<std::uint64_t> pathTo(const Node* node) {
    std::vector<std::uint64_t> path;
    for (; node != nullptr; node = node->parent) path.push_back(node->id);
    std::reverse(path.begin(), path.end());
    return path;
}

Tree* find(Tree& root, const std::vector<std::uint64_t>& path) {
    if (root.id != path.front()) return nullptr;
    Tree* tree = &root;
    for (std::size_t i = 1; i < path.size() && tree != nullptr; ++i) {
        auto it = std::find_if(tree->children.begin(), tree->children.end(),
                               [&](const Tree& child) { return child.id == path[i]; });
        tree = it == tree->children.end() ? nullptr : &*it;
    }
    return tree;
}

// What each command means: add child puts back the node's colours and children as they were,
// a colour command its colours, delete the subtree at its place, add sibling takes the sibling
// away. False when the entry's node or child is gone.
bool apply(Tree& root, const Entry& entry, Entry& opposite) {
    Tree* tree = find(root, entry.path);
    if (tree == nullptr) return false;
    opposite = Entry{entry.change, entry.path, {}, tree->fill, tree->textColour, 0, 0};
    switch (entry.change) {
        case Change::Children:
            opposite.trees = tree->children;
            tree->children = entry.trees;
            [[fallthrough]];
        case Change::Colours:
            tree->fill = entry.fill;
            tree->textColour = entry.textColour;
            return true;
        case Change::Insert: {
            const std::size_t at = std::min(entry.index, tree->children.size());
            tree->children.insert(tree->children.begin() + static_cast<std::ptrdiff_t>(at),
                                  entry.trees.front());
            opposite.change = Change::Remove;
            opposite.index = at;
            opposite.childId = entry.trees.front().id;
            return true;
        }
        case Change::Remove: {
            auto it = std::find_if(tree->children.begin(), tree->children.end(),
                                   [&](const Tree& child) { return child.id == entry.childId; });
            if (it == tree->children.end()) return false;
            opposite.change = Change::Insert;
            opposite.index = static_cast<std::size_t>(it - tree->children.begin());
            opposite.trees = {*it};
            tree->children.erase(it);
            return true;
        }
    }
    return false;
}

std::vector<Node*> allNodes(Node* root) {
    std::vector<Node*> nodes{root};
    for (std::size_t i = 0; i < nodes.size(); ++i)
        nodes.insert(nodes.end(), nodes[i]->children.begin(), nodes[i]->children.end());
    return nodes;
}

class HistoryModel {
  public:
    explicit HistoryModel(unsigned seed) : rng(seed) {}

    void step() {
        const unsigned action = rng() % 44;
        if (action >= 40) {
            clipboardCommand();
        } else if (action < 16) {
            command();
        } else if (action < 26) {
            unrecordedEdit();
        } else if (action < 32) {
            takeBack(map.undoStack, undo, redo, [&] { map.undo(); });
        } else if (action < 39) {
            takeBack(map.redoStack, redo, undo, [&] { map.redo(); });
        } else if (rng() % 2 == 0) {
            open();
        } else {
            // A long way back and part of the way forward again.
            const unsigned back = 1 + rng() % 8;
            for (unsigned i = 0; i < back; ++i) takeBack(map.undoStack, undo, redo, [&] { map.undo(); });
            for (unsigned i = rng() % (back + 1); i > 0; --i)
                takeBack(map.redoStack, redo, undo, [&] { map.redo(); });
        }
    }

    MindMap map;

  private:
    Node* anyNode() {
        std::vector<Node*> nodes = allNodes(map.root);
        return nodes[rng() % nodes.size()];
    }

    // A recording command on a random node, with the entry a plain copy would make.
    void command() {
        Node* node = anyNode();
        map.selectedNode = node;
        Entry entry;
        entry.path = pathTo(node);
        entry.fill = node->fillColor;
        entry.textColour = node->textColor;
        // Mostly adds, so the tree grows: add child, add sibling, delete, fill, text colour.
        constexpr unsigned kMix[] = {0, 0, 0, 0, 1, 1, 2, 3, 3, 4};
        const unsigned which = kMix[rng() % std::size(kMix)];
        if (which == 0) {
            entry.change = Change::Children;
            for (const Node* child : node->children) entry.trees.push_back(copyOf(*child));
        } else if (which == 1 || which == 2) {
            if (node == map.root) return;  // neither applies to the root
            Node* parent = node->parent;
            entry.path.pop_back();
            entry.fill = parent->fillColor;
            entry.textColour = parent->textColor;
            if (which == 1) {
                entry.change = Change::Remove;
                entry.index = parent->children.size();
            } else {
                entry.change = Change::Insert;
                entry.index = static_cast<std::size_t>(
                    std::find(parent->children.begin(), parent->children.end(), node) -
                    parent->children.begin());
                entry.trees.push_back(copyOf(*node));
            }
        } else {
            entry.change = Change::Colours;
        }
        const std::size_t recorded = map.undoStack.size();
        switch (which) {
            case 0:
                map.addChildNode();
                break;
            case 1:
                map.addSiblingNode();
                entry.childId = map.selectedNode->id;
                break;
            case 2:
                map.deleteSelectedNode();
                break;
            case 3:
                map.setNodeFillColor(rng() % 4 == 0 ? node->fillColor : rng() % 0x1000000);
                break;
            default:
                map.setNodeTextColor(rng() % 0x1000000);
                break;
        }
        ASSERT_EQ(map.undoStack.size(), recorded + 1);
        undo.push_back(std::move(entry));
        redo.clear();
        ASSERT_TRUE(map.redoStack.empty());
    }

    // Copy (recorded nowhere), cut (a copy and a delete) or paste (one entry that takes the
    // pasted branch away again).
    void clipboardCommand() {
        Node* node = anyNode();
        const unsigned which = rng() % 3;
        // A paste with nothing selected goes under the root (and selects what it pasted).
        map.selectedNode = which == 2 && rng() % 8 == 0 ? nullptr : node;
        if (which < 2) {
            clipboard = writeMapFile(*node);
            copied = copyOf(*node);
            if (which == 0 || node == map.root) return;
            Entry entry;
            entry.change = Change::Insert;
            entry.path = pathTo(node->parent);
            entry.fill = node->parent->fillColor;
            entry.textColour = node->parent->textColor;
            entry.index = static_cast<std::size_t>(
                std::find(node->parent->children.begin(), node->parent->children.end(), node) -
                node->parent->children.begin());
            entry.trees.push_back(copyOf(*node));
            map.deleteSelectedNode();
            undo.push_back(std::move(entry));
            redo.clear();
            return;
        }
        if (clipboard.empty()) {
            map.selectedNode = node;
            return;
        }
        Node* parent = map.selectedNode == nullptr ? map.root : map.selectedNode;
        const std::int32_t topX =
            wrapToInt32(parent->x + 80 * static_cast<std::int64_t>(parent->children.size()));
        const std::int32_t topY = wrapToInt32(parent->y + std::int64_t{100});
        Entry entry;
        entry.change = Change::Remove;
        entry.path = pathTo(parent);
        entry.fill = parent->fillColor;
        entry.textColour = parent->textColor;
        entry.index = parent->children.size();
        const std::size_t recorded = map.undoStack.size();
        ASSERT_TRUE(map.pasteBranch(readMapFile(clipboard)));
        ASSERT_EQ(map.undoStack.size(), recorded + 1);
        ASSERT_EQ(parent->children.size(), entry.index + 1);
        const Node* top = parent->children.back();
        ASSERT_EQ(map.selectedNode, top);
        // The copied branch again: new identities, and moved as a whole to the new child's place.
        Tree expected = copied;
        std::vector<Tree*> pending{&expected};
        std::vector<const Node*> pasted{top};
        while (!pending.empty()) {
            Tree* tree = pending.back();
            const Node* node = pasted.back();
            pending.pop_back();
            pasted.pop_back();
            ASSERT_EQ(tree->children.size(), node->children.size());
            tree->id = node->id;
            tree->x = wrapToInt32(std::int64_t{tree->x} - copied.x + topX);
            tree->y = wrapToInt32(std::int64_t{tree->y} - copied.y + topY);
            for (std::size_t i = 0; i < node->children.size(); ++i) {
                pending.push_back(&tree->children[i]);
                pasted.push_back(node->children[i]);
            }
        }
        EXPECT_EQ(copyOf(*top), expected) << "pasted:\n"
                                          << describe(copyOf(*top)) << "copied:\n"
                                          << describe(expected);
        entry.childId = top->id;
        undo.push_back(std::move(entry));
        redo.clear();
    }

    // Changes the history knows nothing of.
    void unrecordedEdit() {
        Node* node = anyNode();
        switch (rng() % 7) {
            case 0:
                node->text =
                    u"caption " + std::u16string(1 + rng() % 12, static_cast<char16_t>(u'a' + rng() % 26));
                break;
            case 1:
                if (!node->text.empty()) node->text.back() = static_cast<char16_t>(u'A' + rng() % 3);
                break;
            case 2:
                (rng() % 2 == 0 ? node->width : node->height) = static_cast<std::int32_t>(40 + rng() % 3);
                break;
            case 3: {
                map.selectedNode = node;
                map.startDrag(node->x + 1, node->y + 1);
                map.dragTo(node->x + 1 + static_cast<int>(rng() % 5),
                           node->y + 1 - static_cast<int>(rng() % 5));
                map.endDrag();
                break;
            }
            case 4:
                map.selectedNode = node;
                map.toggleCollapse();
                break;
            case 5:
                if (node->children.size() > 1) std::swap(node->children.front(), node->children.back());
                break;
            default:  // often the same again
                (rng() % 2 == 0 ? node->fillColor : node->textColor) =
                    rng() % 2 == 0 ? kDefaultNodeFill : 0xB4DCB4;
                break;
        }
    }

    // An open replaces the map: every entry recorded so far is stale. Sometimes the map opened
    // is an earlier one.
    void open() {
        const std::string bytes =
            saved.empty() || rng() % 2 == 0 ? map.saveToBytes() : saved[rng() % saved.size()];
        saved.push_back(map.saveToBytes());
        ASSERT_TRUE(map.loadFromBytes(bytes));
    }

    template <typename Act>
    void takeBack(const std::deque<HistoryState>& real, std::vector<Entry>& from, std::vector<Entry>& to,
                  Act act) {
        ASSERT_EQ(real.size(), from.size());
        Tree expected = copyOf(*map.root);
        const Node* expectedSelection = map.selectedNode;
        std::uint64_t selectedId = 0;
        while (!from.empty()) {
            Entry entry = std::move(from.back());
            from.pop_back();
            Entry opposite;
            if (!apply(expected, entry, opposite)) continue;
            selectedId = entry.path.back();
            expectedSelection = nullptr;
            to.push_back(std::move(opposite));
            break;
        }
        act();
        const Tree now = copyOf(*map.root);
        ASSERT_TRUE(now == expected) << "now:\n" << describe(now) << "expected:\n" << describe(expected);
        if (expectedSelection != nullptr) {
            EXPECT_EQ(map.selectedNode, expectedSelection);
        } else {
            ASSERT_NE(map.selectedNode, nullptr);
            EXPECT_EQ(map.selectedNode->id, selectedId);
        }
    }

    std::mt19937 rng;
    std::vector<Entry> undo;
    std::vector<Entry> redo;
    std::vector<std::string> saved;
    std::string clipboard;  // the map file lines of the last copied branch
    Tree copied;            // that branch as it was copied
};

// Every child names its parent and no identity appears twice.
void expectSound(const MindMap& map) {
    std::vector<const Node*> pending{map.root};
    std::vector<std::uint64_t> ids;
    bool selectionFound = false;
    while (!pending.empty()) {
        const Node* node = pending.back();
        pending.pop_back();
        ids.push_back(node->id);
        selectionFound = selectionFound || node == map.selectedNode;
        for (const Node* child : node->children) {
            ASSERT_EQ(child->parent, node);
            pending.push_back(child);
        }
    }
    std::sort(ids.begin(), ids.end());
    EXPECT_TRUE(std::adjacent_find(ids.begin(), ids.end()) == ids.end());
    EXPECT_TRUE(selectionFound);
}
}  // namespace

TEST(HistoryAgainstPlainCopies, RandomCommandsEditsAndOpensGiveTheSameTrees) {
    for (unsigned seed = 1; seed <= 30; ++seed) {
        HistoryModel model(seed);
        for (int step = 0; step < 500; ++step) {
            model.step();
            if (testing::Test::HasFatalFailure()) {
                ADD_FAILURE() << "seed " << seed << " step " << step;
                return;
            }
            expectSound(model.map);
        }
    }
}
