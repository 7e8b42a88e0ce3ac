// The editor object as built, the hit test on nodes and the panel's buttons.
#include <gtest/gtest.h>

#include "app/model/mind_map.h"
#include "tests/model/tree_check.h"

TEST(NewMap, HoldsOneSelectedRootWithDefaults) {
    MindMap map;
    ASSERT_NE(map.root, nullptr);
    EXPECT_EQ(map.selectedNode, map.root);
    EXPECT_EQ(map.root->text, u"中心主题");
    EXPECT_EQ(map.root->x, 800);
    EXPECT_EQ(map.root->y, 375);
    EXPECT_EQ(map.root->width, 140);
    EXPECT_EQ(map.root->height, 45);
    EXPECT_EQ(map.root->fillColor, 0xDCDCDCu);
    EXPECT_EQ(map.root->textColor, 0u);
    EXPECT_FALSE(map.root->collapsed);
    EXPECT_EQ(map.root->parent, nullptr);
    EXPECT_TRUE(map.root->children.empty());
    EXPECT_TRUE(map.undoStack.empty() && map.redoStack.empty());
    EXPECT_FALSE(map.isDragging || map.isInEditMode() || map.isShowingHelp() || map.isInFileDialog());
    EXPECT_EQ(map.getPanelWidth(), 220);
}

TEST(NodeIdentity, EveryNewNodeHasItsOwn) {
    Node a(u"a", 0, 0);
    Node b(u"a", 0, 0);
    EXPECT_NE(a.id, b.id);
}

TEST(NodeDestruction, DeepChainIsFreedWithoutRecursion) {
    // Far deeper than any call stack would survive if destruction recursed.
    Node* top = new Node(u"top", 0, 0);
    Node* tip = top;
    for (int i = 0; i < 1000000; ++i) {
        Node* next = new Node(u"", 0, 0);
        next->parent = tip;
        tip->children.push_back(next);
        tip = next;
    }
    delete top;
}

class HitTest : public ::testing::Test {
  protected:
    // root (800,375) 140x45 with child A at (820,400) overlapping it and a far child B whose
    // child C sits elsewhere; B at (1000,600).
    void SetUp() override {
        map.addChildNode();
        a = map.selectedNode;
        a->x = 820;
        a->y = 400;
        map.selectedNode = map.root;
        map.addChildNode();
        b = map.selectedNode;
        b->x = 1000;
        b->y = 600;
        map.addChildNode();
        c = map.selectedNode;
        c->x = 300;
        c->y = 100;
    }
    MindMap map;
    Node* a = nullptr;
    Node* b = nullptr;
    Node* c = nullptr;
};

TEST_F(HitTest, BoxEdgesAreInsideAndOnePixelBeyondIsNot) {
    EXPECT_EQ(MindMap::findNodeAt(map.root, 1140, 645), b);
    EXPECT_EQ(MindMap::findNodeAt(map.root, 1000, 600), b);
    EXPECT_EQ(MindMap::findNodeAt(map.root, 1141, 645), nullptr);
    EXPECT_EQ(MindMap::findNodeAt(map.root, 1140, 646), nullptr);
    EXPECT_EQ(MindMap::findNodeAt(nullptr, 1000, 600), nullptr);
}

TEST_F(HitTest, ParentWinsWhereItsBoxOverlapsAChild) {
    EXPECT_EQ(MindMap::findNodeAt(map.root, 830, 410), map.root);
    EXPECT_EQ(MindMap::findNodeAt(map.root, 950, 430), a);  // outside the root, inside A
}

TEST_F(HitTest, EarlierSiblingWinsWhereSiblingsOverlap) {
    b->x = a->x + 50;
    b->y = a->y + 30;
    EXPECT_EQ(MindMap::findNodeAt(map.root, a->x + 100, a->y + 40), a);
}

TEST_F(HitTest, CollapsedNodeHidesDescendantsButKeepsItsMarker) {
    b->collapsed = true;
    EXPECT_EQ(MindMap::findNodeAt(map.root, 310, 110), nullptr);
    b->collapsed = false;
    EXPECT_EQ(MindMap::findNodeAt(map.root, 310, 110), c);
    // The marker square of a node with children counts even outside a box too small to hold it.
    b->width = 20;
    b->height = 5;
    b->collapsed = true;
    EXPECT_EQ(MindMap::findNodeAt(map.root, b->x + 20 - 25, b->y + 30), b);
    EXPECT_EQ(MindMap::findNodeAt(map.root, b->x + 20 - 26, b->y + 30), nullptr);
}

TEST_F(HitTest, LeafHasNoMarkerSquare) {
    c->width = 20;
    c->height = 5;
    EXPECT_EQ(MindMap::findNodeAt(map.root, c->x + 20 - 25, c->y + 20), nullptr);
}

TEST_F(HitTest, ExtremeCoordinatesDoNotWrapAround) {
    c->x = 2147483600;
    c->y = 2147483600;
    c->width = 2147483600;
    c->height = 100;
    EXPECT_EQ(MindMap::findNodeAt(map.root, 2147483647, 2147483647), c);
}

TEST(Panel, TenButtonsInCommandOrderWithTheirColours) {
    MindMap map;
    ASSERT_EQ(map.buttons.size(), 10u);
    const char16_t* labels[] = {u"添加子节点", u"添加同级节点", u"删除节点", u"编辑文本", u"折叠/展开",
                                u"撤销",       u"重做",         u"保存",     u"打开",     u"帮助"};
    const Colour fills[] = {0x64B464, 0xDC9664, 0x6464DC, 0x64B4B4, 0xC89696,
                            0xC8C8C8, 0xC8C8C8, 0xC89664, 0xC89664, 0xC86496};
    for (int i = 0; i < 10; ++i) {
        const Button& b = map.buttons[i];
        EXPECT_EQ(b.label, labels[i]) << i;
        EXPECT_EQ(b.rect.left, 10);
        EXPECT_EQ(b.rect.top, 80 + 45 * i);
        EXPECT_EQ(b.rect.right, 210);
        EXPECT_EQ(b.rect.bottom, 115 + 45 * i);
        EXPECT_EQ(b.fillColor, fills[i]) << i;
        EXPECT_EQ(b.textColor, (i == 5 || i == 6) ? 0x000000u : 0xFFFFFFu) << i;
        EXPECT_FALSE(b.isHovered);
    }
}

TEST(Panel, RebuildingFollowsThePanelWidthAndDoesNotDuplicate) {
    MindMap map;
    map.panelWidth = 300;
    map.initPanelButtons();
    ASSERT_EQ(map.buttons.size(), 10u);
    EXPECT_EQ(map.buttons[0].rect.right, 290);
}

TEST(Panel, HitTestEdgesAndGaps) {
    MindMap map;
    EXPECT_EQ(map.findButtonAt(10, 80), 0);
    EXPECT_EQ(map.findButtonAt(210, 115), 0);
    EXPECT_EQ(map.findButtonAt(9, 90), -1);
    EXPECT_EQ(map.findButtonAt(211, 90), -1);
    for (int y = 116; y <= 124; ++y) EXPECT_EQ(map.findButtonAt(100, y), -1) << y;
    EXPECT_EQ(map.findButtonAt(100, 125), 1);
    EXPECT_EQ(map.findButtonAt(100, 520), 9);
    EXPECT_EQ(map.findButtonAt(100, 521), -1);
    EXPECT_EQ(map.findButtonAt(100, 700), -1);
}

TEST(Panel, HoverMovesFromButtonToButtonInOneCall) {
    MindMap map;
    map.updateButtonHover(50, 90);
    EXPECT_TRUE(map.buttons[0].isHovered);
    map.updateButtonHover(50, 130);
    EXPECT_FALSE(map.buttons[0].isHovered);
    EXPECT_TRUE(map.buttons[1].isHovered);
    map.updateButtonHover(50, 120);  // the gap
    for (const Button& b : map.buttons) EXPECT_FALSE(b.isHovered);
}
