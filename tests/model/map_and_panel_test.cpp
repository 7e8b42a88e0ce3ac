// The editor object as built, the hit test on nodes and the panel's buttons.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "app/model/mind_map.h"
#include "app/model/scene_layout.h"
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
        a = placed(addChildOf(map, map.root), 820, 400);
        b = placed(addChildOf(map, map.root), 1000, 600);
        c = placed(addChildOf(map, b), 300, 100);
    }
    static Node* placed(Node* node, int x, int y) {
        node->x = x;
        node->y = y;
        return node;
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

TEST(Panel, ButtonsComeFromThePanelTableInCommandOrder) {
    MindMap map;
    ASSERT_EQ(map.buttons.size(), kPanelButtons.size());
    for (std::size_t i = 0; i < kPanelButtons.size(); ++i) {
        const Button& b = map.buttons[i];
        const SceneRect r = panelButtonRect(kPanelWidth, static_cast<int>(i));
        EXPECT_EQ(b.label, kPanelButtons[i].label) << i;
        EXPECT_TRUE(b.rect.left == r.left && b.rect.top == r.top && b.rect.right == r.right &&
                    b.rect.bottom == r.bottom)
            << i;
        EXPECT_EQ(b.fillColor, kPanelButtons[i].fillColor) << i;
        EXPECT_EQ(b.textColor, kPanelButtons[i].textColor) << i;
        EXPECT_FALSE(b.isHovered);
    }
}

// A few entries stated literally: the table is the panel users know, in the order the commands
// are numbered.
TEST(Panel, TableHoldsTheTenKnownButtons) {
    ASSERT_EQ(kPanelButtons.size(), 10u);
    EXPECT_EQ(std::u16string(kPanelButtons[0].label), u"添加子节点");
    EXPECT_EQ(std::u16string(kPanelButtons[2].label), u"删除节点");
    EXPECT_EQ(kPanelButtons[2].fillColor, 0x6464DCu);
    EXPECT_EQ(kPanelButtons[6].textColor, 0x000000u);
    EXPECT_EQ(std::u16string(kPanelButtons[9].label), u"帮助");
    EXPECT_EQ(kPanelButtons[9].fillColor, 0xC86496u);
}

TEST(SceneLayout, WindowAndPanelWhereTheyHaveAlwaysBeen) {
    EXPECT_EQ(kWindowWidth, 1380);
    EXPECT_EQ(kWindowHeight, 750);
    EXPECT_EQ(kPanelWidth, 220);
    const SceneRect ok = pathDialogLayout(kPanelWidth).ok;
    EXPECT_TRUE(ok.left == 470 && ok.top == 270 && ok.right == 570 && ok.bottom == 310);
    const WideRect marker = collapseMarkerBox(800, 375, 140);
    EXPECT_TRUE(marker.left == 915 && marker.top == 385 && marker.right == 930 && marker.bottom == 405);
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
