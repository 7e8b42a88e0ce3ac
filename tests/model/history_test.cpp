// Undo and redo: each recording command is taken back in full and re-applied by redo.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "app/model/mind_map.h"
#include "tests/model/tree_check.h"

namespace {
// A root with two children; the first has a child of its own.
void buildSmallMap(MindMap& map) {
    map.addChildNode();
    map.addChildNode();
    addChildOf(map, map.root);
    map.root->children[1]->fillColor = 0xB4DCB4;
    map.root->children[0]->collapsed = true;
    map.selectedNode = map.root;
    map.undoStack.clear();
}

std::vector<Node*> allNodes(Node* root) {
    std::vector<Node*> nodes{root};
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        for (Node* c : nodes[i]->children) nodes.push_back(c);
    }
    return nodes;
}
}  // namespace

TEST(CopyNodeTree, CopiesEveryFieldAndIdentityAndSharesNothing) {
    MindMap map;
    buildSmallMap(map);
    map.root->children[0]->text = u"a\"b";
    map.root->children[0]->width = 7;
    Node* copy = MindMap::copyNodeTree(map.root->children[0], nullptr);
    EXPECT_EQ(dumpTree(copy), dumpTree(map.root->children[0]));
    EXPECT_EQ(copy->parent, nullptr);
    EXPECT_EQ(copy->id, map.root->children[0]->id);
    EXPECT_EQ(copy->children[0]->parent, copy);
    EXPECT_NE(copy->children[0], map.root->children[0]->children[0]);
    EXPECT_EQ(checkLinks(copy), 2);
    delete copy;
    EXPECT_EQ(MindMap::copyNodeTree(nullptr, map.root), nullptr);
}

TEST(UndoAddChild, RestoresFormerChildrenThenRedoSelectsTheParent) {
    MindMap map;
    buildSmallMap(map);
    const std::string before = dumpTree(map.root);
    map.addChildNode();
    const std::string after = dumpTree(map.root);
    map.undo();
    EXPECT_EQ(dumpTree(map.root), before);
    EXPECT_EQ(map.selectedNode, map.root);
    EXPECT_EQ(checkLinks(map.root), 4);
    map.selectedNode = map.root->children[1];
    map.redo();
    EXPECT_EQ(dumpTree(map.root), after);
    EXPECT_EQ(map.selectedNode, map.root);  // the parent, not the new child
    EXPECT_EQ(map.root->children.back()->text, u"新节点");
    EXPECT_EQ(checkLinks(map.root), 5);
}

TEST(Undo, NeedsSomeSelectionButRestoresTheEntrysOwnNode) {
    MindMap map;
    buildSmallMap(map);
    Node* first = map.root->children[0];
    map.selectedNode = first;
    map.addChildNode();
    map.selectedNode = nullptr;
    map.undo();
    EXPECT_EQ(first->children.size(), 2u);
    EXPECT_EQ(map.undoStack.size(), 1u);
    map.selectedNode = map.root->children[1];
    map.undo();
    EXPECT_EQ(first->children.size(), 1u);
    EXPECT_EQ(map.selectedNode, first);
}

TEST(Undo, ANewRecordingEmptiesRedo) {
    MindMap map;
    map.addChildNode();
    map.undo();
    ASSERT_EQ(map.redoStack.size(), 1u);
    map.setNodeTextColor(0xFFFFFF);
    EXPECT_TRUE(map.redoStack.empty());
    const std::string now = dumpTree(map.root);
    map.redo();
    EXPECT_EQ(dumpTree(map.root), now);
}

TEST(Undo, ThreeAddsUnderOneNodeComeOffNewestFirstAndBackInOrder) {
    MindMap map;
    for (int i = 0; i < 3; ++i) {
        addChildOf(map, map.root)->text = std::u16string(1, static_cast<char16_t>(u'a' + i));
    }
    for (std::size_t left = 2; left + 1 > 0; --left) {
        map.undo();
        ASSERT_EQ(map.root->children.size(), left);
    }
    for (std::size_t n = 1; n <= 3; ++n) {
        map.redo();
        ASSERT_EQ(map.root->children.size(), n);
        EXPECT_EQ(map.root->children.back()->text, std::u16string(1, static_cast<char16_t>(u'a' + n - 1)));
    }
}

TEST(Undo, TakesBackUnrecordedChangesBelowTheRecordedNode) {
    MindMap map;
    buildSmallMap(map);
    const std::string before = dumpTree(map.root);
    map.addChildNode();
    Node* grandchild = map.root->children[0]->children[0];
    grandchild->text = u"renamed";
    grandchild->x = 5;
    map.selectedNode = map.root->children[0];
    map.toggleCollapse();
    map.undo();
    EXPECT_EQ(dumpTree(map.root), before);
}

TEST(Undo, LeavesTheRecordedNodesOwnFieldsButColours) {
    MindMap map;
    buildSmallMap(map);
    map.addChildNode();
    map.root->text = u"new caption";
    map.root->x = 1;
    map.root->width = 99;
    map.undo();
    EXPECT_EQ(map.root->text, u"new caption");
    EXPECT_EQ(map.root->x, 1);
    EXPECT_EQ(map.root->width, 99);
}

TEST(UndoDelete, PutsTheSubtreeBackInItsPlace) {
    MindMap map;
    buildSmallMap(map);
    addChildOf(map, map.root);  // a third child, so the deleted one sits in the middle
    map.selectedNode = map.root->children[0];
    map.addSiblingNode();
    const std::string before = dumpTree(map.root);
    const std::uint64_t middleId = map.root->children[1]->id;
    map.selectedNode = map.root->children[1];
    map.deleteSelectedNode();
    EXPECT_EQ(map.root->children.size(), 3u);
    map.undo();
    EXPECT_EQ(dumpTree(map.root), before);
    EXPECT_EQ(map.root->children[1]->id, middleId);
    EXPECT_EQ(map.selectedNode, map.root);
    map.redo();
    EXPECT_EQ(map.root->children.size(), 3u);
    EXPECT_NE(map.root->children[1]->id, middleId);
    EXPECT_EQ(checkLinks(map.root), 5);
}

TEST(UndoDelete, OfAGrandchildThenUndoOfItsAddChain) {
    MindMap map;
    map.addChildNode();
    map.addChildNode();
    map.addChildNode();  // root > a > b > c, each add recorded on its parent
    Node* b = map.selectedNode->parent;
    map.selectedNode = b;
    map.deleteSelectedNode();  // records a's children
    map.undo();
    ASSERT_EQ(checkLinks(map.root), 4);
    map.undo();  // add of c, recorded on b (a copy of b now): resolved by identity
    EXPECT_EQ(checkLinks(map.root), 3);
    map.undo();
    map.undo();
    EXPECT_EQ(checkLinks(map.root), 1);
    for (int i = 0; i < 4; ++i) map.redo();
    EXPECT_EQ(checkLinks(map.root), 2);  // the delete is redone too: b and c are gone
}

TEST(UndoAddSibling, RemovesTheSiblingAndRedoAddsItBack) {
    MindMap map;
    buildSmallMap(map);
    map.selectedNode = map.root->children[0]->children[0];
    const std::string before = dumpTree(map.root);
    map.addSiblingNode();
    const std::string after = dumpTree(map.root);
    map.undo();
    EXPECT_EQ(dumpTree(map.root), before);
    EXPECT_EQ(map.selectedNode, map.root->children[0]);
    map.redo();
    EXPECT_EQ(dumpTree(map.root), after);
}

TEST(UndoColour, RestoresTheColourAndRedoReappliesIt) {
    MindMap map;
    buildSmallMap(map);
    Node* second = map.root->children[1];
    map.selectedNode = second;
    map.setNodeFillColor(0xDCB4B4);
    map.setNodeTextColor(0xFFFFFF);
    map.undo();
    EXPECT_EQ(second->fillColor, 0xDCB4B4u);
    EXPECT_EQ(second->textColor, 0u);
    map.undo();
    EXPECT_EQ(second->fillColor, 0xB4DCB4u);
    map.redo();
    map.redo();
    EXPECT_EQ(second->fillColor, 0xDCB4B4u);
    EXPECT_EQ(second->textColor, 0xFFFFFFu);
}

// Random recording commands on random nodes, then random walks through the history: every
// undo must give back exactly the tree before the command, every redo the tree after it.
TEST(HistoryChains, RandomCommandsUndoAndRedoExactly) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 rng(seed);
        MindMap map;
        std::vector<std::string> states{dumpTree(map.root)};
        std::size_t at = 0;  // states[at] is the present tree
        for (int step = 0; step < 300; ++step) {
            const unsigned action = rng() % 10;
            if (action < 6) {
                std::vector<Node*> nodes = allNodes(map.root);
                map.selectedNode = nodes[rng() % nodes.size()];
                const std::size_t recorded = map.undoStack.size();
                switch (rng() % 5) {
                    case 0:
                        map.addChildNode();
                        break;
                    case 1:
                        map.addSiblingNode();
                        break;
                    case 2:
                        map.deleteSelectedNode();
                        break;
                    case 3:
                        map.setNodeFillColor(rng() % 0x1000000);
                        break;
                    default:
                        map.setNodeTextColor(rng() % 0x1000000);
                        break;
                }
                if (map.undoStack.size() == recorded) continue;  // a no-op on the root
                states.resize(at + 1);
                states.push_back(dumpTree(map.root));
                ++at;
            } else if (action < 8) {
                map.undo();
                if (at > 0) --at;
            } else {
                map.redo();
                if (at + 1 < states.size()) ++at;
            }
            ASSERT_EQ(dumpTree(map.root), states[at]) << "seed " << seed << " step " << step;
            ASSERT_EQ(map.undoStack.size(), at);
            ASSERT_EQ(map.redoStack.size(), states.size() - 1 - at);
            ASSERT_GT(checkLinks(map.root), 0);
            ASSERT_TRUE(map.selectedNode != nullptr && isInTree(map.root, map.selectedNode));
        }
    }
}

// Add sibling, delete and the colour commands take back only what they changed: edits made
// since then elsewhere under the same parent (captions, positions, collapse) stay.
TEST(UndoScope, AddSiblingKeepsEditsMadeSinceAnywhereUnderTheParent) {
    MindMap map;
    buildSmallMap(map);
    Node* first = map.root->children[0];
    Node* second = map.root->children[1];
    map.selectedNode = first;
    map.addSiblingNode();
    const std::uint64_t siblingId = map.selectedNode->id;
    second->text = u"renamed";
    second->x = 1234;
    first->children[0]->y = -40;
    first->collapsed = false;
    const std::string edited = dumpTree(map.root);

    map.undo();
    ASSERT_EQ(map.root->children.size(), 2u);
    EXPECT_EQ(second->text, u"renamed");  // the very nodes stay: nothing was copied back
    EXPECT_EQ(second->x, 1234);
    EXPECT_EQ(first->children[0]->y, -40);
    EXPECT_FALSE(first->collapsed);
    EXPECT_EQ(map.selectedNode, map.root);

    map.redo();
    EXPECT_EQ(dumpTree(map.root), edited);
    EXPECT_EQ(map.root->children.back()->id, siblingId);
    EXPECT_EQ(checkLinks(map.root), 5);
}

TEST(UndoScope, DeleteRestoresTheSubtreeAtItsPlaceAndKeepsLaterEdits) {
    MindMap map;
    buildSmallMap(map);
    addChildOf(map, map.root);
    Node* doomed = map.root->children[1];
    doomed->text = u"doomed";
    const std::string doomedTree = dumpTree(doomed);
    map.selectedNode = doomed;
    map.deleteSelectedNode();
    map.root->children[0]->text = u"kept";
    map.root->children[1]->x = -7;

    map.undo();
    ASSERT_EQ(map.root->children.size(), 3u);
    EXPECT_EQ(dumpTree(map.root->children[1]), doomedTree);
    EXPECT_EQ(map.root->children[1]->parent, map.root);
    EXPECT_EQ(map.root->children[0]->text, u"kept");
    EXPECT_EQ(map.root->children[2]->x, -7);

    map.redo();
    ASSERT_EQ(map.root->children.size(), 2u);
    EXPECT_EQ(map.root->children[0]->text, u"kept");
    EXPECT_EQ(checkLinks(map.root), 4);
}

TEST(UndoScope, ColourUndoLeavesTheChildrenAlone) {
    MindMap map;
    buildSmallMap(map);
    Node* first = map.root->children[0];
    map.selectedNode = map.root;
    map.setNodeFillColor(0xB4DCB4);
    first->text = u"renamed";
    first->children[0]->x = 99;
    map.undo();
    EXPECT_EQ(map.root->fillColor, kDefaultNodeFill);
    EXPECT_EQ(map.root->children[0], first);
    EXPECT_EQ(first->text, u"renamed");
    EXPECT_EQ(first->children[0]->x, 99);
    map.redo();
    EXPECT_EQ(map.root->fillColor, 0xB4DCB4u);
}

// Entries whose node or child is gone are dropped, and the next one applies.
TEST(UndoScope, StaleEntriesAreSkipped) {
    MindMap map;
    buildSmallMap(map);
    map.selectedNode = map.root->children[0];
    map.addSiblingNode();  // entry: take the sibling away again
    map.selectedNode = map.root;
    map.addChildNode();  // entry: the root's children as they were, the sibling among them
    const std::string beforeAdd = dumpTree(map.root);
    map.selectedNode = map.root->children[2];
    map.deleteSelectedNode();  // the sibling itself
    map.undoStack.erase(map.undoStack.end() - 2, map.undoStack.end());  // forget the add child and the delete
    map.undo();  // the sibling's entry finds no sibling: dropped; nothing else to apply
    EXPECT_TRUE(map.undoStack.empty());
    EXPECT_NE(dumpTree(map.root), beforeAdd);
    EXPECT_EQ(checkLinks(map.root), 5);
}

// The change counter: every change to the map moves it, nothing else does.
TEST(ChangeCount, MovesWithEveryChangeAndOnlyThen) {
    MindMap map;
    auto changed = [&](auto&& action) {
        const std::uint64_t before = map.changeCount;
        action();
        return map.changeCount != before;
    };
    EXPECT_TRUE(changed([&] { map.addChildNode(); }));
    EXPECT_TRUE(changed([&] { map.addSiblingNode(); }));
    EXPECT_TRUE(changed([&] { map.setNodeFillColor(1); }));
    EXPECT_TRUE(changed([&] { map.setNodeTextColor(1); }));
    EXPECT_TRUE(changed([&] { map.deleteSelectedNode(); }));
    EXPECT_TRUE(changed([&] { map.undo(); }));
    EXPECT_TRUE(changed([&] { map.redo(); }));
    EXPECT_TRUE(changed([&] { map.toggleCollapse(); }));
    map.selectNodeAt(map.root->x + 1, map.root->y + 1);
    map.startDrag(map.root->x + 1, map.root->y + 1);
    EXPECT_FALSE(changed([&] { map.dragTo(map.root->x + 1, map.root->y + 1); }));
    EXPECT_TRUE(changed([&] { map.dragTo(map.root->x + 11, map.root->y + 1); }));
    map.endDrag();
    while (!map.undoStack.empty()) map.undo();
    EXPECT_FALSE(changed([&] { map.undo(); }));  // nothing left to undo
    EXPECT_FALSE(changed([&] { map.selectNodeAt(-5000, -5000); }));
    EXPECT_TRUE(map.hasUnsavedChanges());
}
