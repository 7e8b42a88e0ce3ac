// Structural editing, selection and dragging.
#include <gtest/gtest.h>

#include "app/model/mind_map.h"
#include "app/model/wrap_int32.h"
#include "tests/model/tree_check.h"

TEST(AddChild, EachNewChildBecomesTheSelectionAndTheNextParent) {
    MindMap map;
    map.addChildNode();
    map.addChildNode();
    map.addChildNode();
    const Node* n = map.root;
    for (int y : {475, 575, 675}) {
        ASSERT_EQ(n->children.size(), 1u);
        n = n->children[0];
        EXPECT_EQ(n->text, u"新节点");
        EXPECT_EQ(n->x, 800);
        EXPECT_EQ(n->y, y);
        EXPECT_EQ(n->width, 140);
        EXPECT_EQ(n->fillColor, 0xDCDCDCu);
    }
    EXPECT_EQ(map.selectedNode, n);
    EXPECT_EQ(map.undoStack.size(), 3u);
    EXPECT_EQ(checkLinks(map.root), 4);
}

TEST(AddChild, ChildrenOfOneParentStepRightByEighty) {
    MindMap map;
    for (int i = 0; i < 3; ++i) addChildOf(map, map.root);
    ASSERT_EQ(map.root->children.size(), 3u);
    EXPECT_EQ(map.root->children[0]->x, 800);
    EXPECT_EQ(map.root->children[1]->x, 880);
    EXPECT_EQ(map.root->children[2]->x, 960);
    for (const Node* c : map.root->children) EXPECT_EQ(c->y, 475);
}

TEST(AddChild, UnderACollapsedNodeLeavesItCollapsed) {
    MindMap map;
    map.addChildNode();
    map.selectedNode = map.root;
    map.toggleCollapse();
    map.addChildNode();
    EXPECT_TRUE(map.root->collapsed);
    EXPECT_EQ(map.selectedNode, map.root->children[1]);
}

TEST(AddChild, StopsAtTheDeepestLevel) {
    MindMap map;
    for (int i = 0; i < kMaxDepth + 10; ++i) map.addChildNode();
    EXPECT_EQ(nodeDepth(map.selectedNode), kMaxDepth - 1);
    EXPECT_EQ(map.undoStack.size(), static_cast<std::size_t>(kMaxDepth - 1));  // refusals record nothing
    EXPECT_EQ(checkLinks(map.root), kMaxDepth);
}

TEST(AddSibling, GoesToTheEndOfTheParentsListPlacedAsAChild) {
    MindMap map;
    for (int i = 0; i < 3; ++i) addChildOf(map, map.root);
    map.selectedNode = map.root->children[0];
    map.addSiblingNode();
    ASSERT_EQ(map.root->children.size(), 4u);
    const Node* s = map.root->children[3];
    EXPECT_EQ(s->text, u"同级节点");
    EXPECT_EQ(s->x, 800 + 240);
    EXPECT_EQ(s->y, 475);
    EXPECT_EQ(s->parent, map.root);
    EXPECT_EQ(map.selectedNode, s);
}

TEST(AddSiblingAndDelete, DoNothingOnTheRootOrWithoutSelection) {
    MindMap map;
    map.addSiblingNode();
    map.deleteSelectedNode();
    EXPECT_TRUE(map.root->children.empty());
    EXPECT_TRUE(map.undoStack.empty());
    map.selectedNode = nullptr;
    map.addChildNode();
    map.addSiblingNode();
    map.deleteSelectedNode();
    map.setNodeFillColor(1);
    map.setNodeTextColor(1);
    map.toggleCollapse();
    EXPECT_TRUE(map.root->children.empty());
    EXPECT_TRUE(map.undoStack.empty());
    EXPECT_EQ(map.root->fillColor, 0xDCDCDCu);
}

TEST(Delete, RemovesTheWholeSubtreeAndSelectsTheParent) {
    MindMap map;
    map.addChildNode();
    Node* doomed = map.selectedNode;
    map.addChildNode();
    map.addChildNode();
    Node* kept = addChildOf(map, map.root);
    map.selectedNode = doomed;
    map.deleteSelectedNode();
    ASSERT_EQ(map.root->children.size(), 1u);
    EXPECT_EQ(map.root->children[0], kept);
    EXPECT_EQ(map.selectedNode, map.root);
    EXPECT_EQ(checkLinks(map.root), 2);
}

TEST(Delete, AfterDeletionANewChildMayLandOnAnExistingOne) {
    MindMap map;
    for (int i = 0; i < 2; ++i) addChildOf(map, map.root);
    map.selectedNode = map.root->children[0];
    map.deleteSelectedNode();
    map.addChildNode();
    EXPECT_EQ(map.root->children[1]->x, map.root->children[0]->x);
}

TEST(Colours, ChangeOnlyTheSelectedNodeAndAlwaysRecord) {
    MindMap map;
    map.addChildNode();
    map.selectedNode = map.root;
    map.setNodeFillColor(0xDCDCDC);  // unchanged colour still records
    EXPECT_EQ(map.undoStack.size(), 2u);
    map.setNodeFillColor(0xB4DCB4);
    map.setNodeTextColor(0xFFFFFF);
    EXPECT_EQ(map.root->fillColor, 0xB4DCB4u);
    EXPECT_EQ(map.root->textColor, 0xFFFFFFu);
    EXPECT_EQ(map.root->children[0]->fillColor, 0xDCDCDCu);
    EXPECT_EQ(map.undoStack.size(), 4u);
}

TEST(Collapse, LeafNeverCollapsesAndAParentToggles) {
    MindMap map;
    map.toggleCollapse();
    EXPECT_FALSE(map.root->collapsed);
    map.addChildNode();
    map.selectedNode = map.root;
    map.toggleCollapse();
    EXPECT_TRUE(map.root->collapsed);
    map.toggleCollapse();
    EXPECT_FALSE(map.root->collapsed);
    EXPECT_EQ(map.undoStack.size(), 1u);  // only the add recorded
}

TEST(Drag, KeepsThePressOffsetAndMovesOnlyThatNode) {
    MindMap map;
    map.addChildNode();
    const Node* child = map.selectedNode;
    map.selectNodeAt(830, 385);
    ASSERT_EQ(map.selectedNode, map.root);
    map.startDrag(830, 385);
    map.dragTo(500, 300);
    EXPECT_EQ(map.root->x, 470);
    EXPECT_EQ(map.root->y, 290);
    EXPECT_EQ(child->x, 800);
    EXPECT_EQ(child->y, 475);
    map.endDrag();
    map.dragTo(0, 0);
    EXPECT_EQ(map.root->x, 470);
    EXPECT_TRUE(map.undoStack.size() == 1u);
}

TEST(Drag, PressOnEmptyCanvasClearsSelectionAndMovesNothing) {
    MindMap map;
    map.selectNodeAt(300, 700);
    EXPECT_EQ(map.selectedNode, nullptr);
    map.startDrag(300, 700);
    EXPECT_FALSE(map.isDragging);
    map.dragTo(10, 10);
    EXPECT_EQ(map.root->x, 800);
}

TEST(Drag, FollowsTheSelectionWhenItChangesMidDrag) {
    MindMap map;
    map.addChildNode();
    map.selectNodeAt(810, 385);
    map.startDrag(810, 385);
    map.addSiblingNode();  // root selected: no sibling, selection unchanged
    map.addChildNode();    // the new child becomes the selection
    Node* fresh = map.selectedNode;
    map.dragTo(110, 20);
    EXPECT_EQ(fresh->x, 100);
    EXPECT_EQ(fresh->y, 10);
    EXPECT_EQ(map.root->x, 800);
}

TEST(Drag, OffsetsWrapInsteadOfOverflowing) {
    MindMap map;
    map.root->x = -2147483647 - 1;
    map.startDrag(2147483647, 0);
    map.dragTo(2147483647, 0);
    EXPECT_EQ(map.root->x, -2147483647 - 1);
}

TEST(WrapToInt32, KeepsTheLowThirtyTwoBitsAsTwosComplement) {
    EXPECT_EQ(wrapToInt32(0), 0);
    EXPECT_EQ(wrapToInt32(-5), -5);
    EXPECT_EQ(wrapToInt32(2147483647), 2147483647);
    EXPECT_EQ(wrapToInt32(2147483648LL), -2147483647 - 1);
    EXPECT_EQ(wrapToInt32(-2147483649LL), 2147483647);
    EXPECT_EQ(wrapToInt32(2147483647LL + 301 - 100), -2147483448);  // a box's right edge past the top
    EXPECT_EQ(wrapToInt32(4294967296LL + 600), 600);
    EXPECT_EQ(wrapToInt32(-4294967296LL - 1), -1);
    static_assert(wrapToInt32(2147483647LL + 1) == -2147483647 - 1);
}

namespace {
// A branch of three: a top at (10, 20) with a green child 50 right, 100 below, collapsed, and a
// grandchild under that.
std::unique_ptr<Node> smallBranch() {
    auto top = std::make_unique<Node>(u"top", 10, 20);
    Node* child = new Node(u"child", 60, 120);
    child->fillColor = 0xB4DCB4;
    child->parent = top.get();
    top->children.push_back(child);
    Node* grandchild = new Node(u"grand", -5, 300);
    grandchild->parent = child;
    child->children.push_back(grandchild);
    child->collapsed = true;
    return top;
}
}  // namespace

TEST(Paste, GoesWhereANewChildWouldKeepingItsShape) {
    MindMap map;
    addChildOf(map, map.root);
    map.selectedNode = map.root;
    ASSERT_TRUE(map.pasteBranch(smallBranch()));
    ASSERT_EQ(map.root->children.size(), 2u);
    const Node* top = map.root->children[1];
    EXPECT_EQ(map.selectedNode, top);
    EXPECT_EQ(top->x, 880);
    EXPECT_EQ(top->y, 475);
    const Node* child = top->children.at(0);
    EXPECT_EQ(child->x, 930);
    EXPECT_EQ(child->y, 575);
    EXPECT_EQ(child->fillColor, 0xB4DCB4u);
    EXPECT_TRUE(child->collapsed);
    EXPECT_EQ(child->children.at(0)->x, 865);
    EXPECT_EQ(child->children.at(0)->y, 755);
    EXPECT_EQ(checkLinks(map.root), 5);
}

TEST(Paste, WithoutSelectionGoesUnderTheRoot) {
    MindMap map;
    map.selectedNode = nullptr;
    ASSERT_TRUE(map.pasteBranch(std::make_unique<Node>(u"one", 0, 0)));
    ASSERT_EQ(map.root->children.size(), 1u);
    EXPECT_EQ(map.selectedNode, map.root->children[0]);
    EXPECT_EQ(map.selectedNode->x, 800);
}

TEST(Paste, OneUndoTakesTheWholeBranchAwayAndRedoBringsTheSameNodesBack) {
    MindMap map;
    Node* first = addChildOf(map, map.root);
    map.selectedNode = first;
    ASSERT_TRUE(map.pasteBranch(smallBranch()));
    const std::string pasted = dumpTree(map.root);
    const Node* top = map.selectedNode;
    map.undo();
    EXPECT_TRUE(first->children.empty());
    EXPECT_EQ(map.selectedNode, first);
    map.redo();
    ASSERT_EQ(first->children.size(), 1u);
    EXPECT_EQ(first->children[0], top);
    EXPECT_EQ(dumpTree(map.root), pasted);
    map.undo();
    map.undo();  // the add child before it
    EXPECT_TRUE(map.root->children.empty());
}

TEST(Paste, RefusesABranchThatWouldNestTooDeep) {
    MindMap map;
    // A chain of kMaxDepth - 1 levels below its top fits under the root only.
    auto chain = std::make_unique<Node>(u"0", 0, 0);
    Node* last = chain.get();
    for (int i = 1; i < kMaxDepth - 1; ++i) {
        last->children.push_back(new Node(u"n", 0, i));
        last->children.back()->parent = last;
        last = last->children.back();
    }
    Node* child = addChildOf(map, map.root);
    const std::size_t entries = map.undoStack.size();
    EXPECT_FALSE(map.pasteBranch(std::unique_ptr<Node>(MindMap::copyNodeTree(chain.get(), nullptr))));
    EXPECT_TRUE(child->children.empty());
    EXPECT_EQ(map.selectedNode, child);
    EXPECT_EQ(map.undoStack.size(), entries);
    map.selectedNode = map.root;
    EXPECT_TRUE(map.pasteBranch(std::move(chain)));
    EXPECT_FALSE(map.pasteBranch(nullptr));
}
