// Frames drawn off-screen: panel, grid, nodes, connectors and markers, and the drawing state
// that carries over from one frame to the next.
#include <gtest/gtest.h>

#include "tests/render/frame_fixture.h"

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kPanelFill = 0xF5F0F0;
constexpr std::uint32_t kGrid = 0xF0F0F0;
constexpr std::uint32_t kConnector = 0x646464;
constexpr std::uint32_t kSelectedFill = 0xB48246;
constexpr std::uint32_t kOutline = 0x505050;
constexpr std::uint32_t kMarkerFill = 0x969696;
constexpr std::uint32_t kDefaultFill = 0xDCDCDC;

TEST_F(FrameTest, FreshMapShowsPanelGridRootAndStatusBar) {
    draw();
    EXPECT_EQ(colourAt(5, 60), kPanelFill);
    EXPECT_EQ(colourAt(220, 5), kGrid);  // the first grid column covers the separator
    EXPECT_EQ(colourAt(240, 5), kGrid);
    EXPECT_EQ(colourAt(1360, 5), kGrid);
    EXPECT_EQ(colourAt(235, 20), kGrid);
    EXPECT_EQ(colourAt(231, 11), kWhite);
    EXPECT_EQ(colourAt(1375, 11), kWhite);  // no grid column at 1380

    // The root, selected, with its outline and no collapse marker.
    EXPECT_EQ(colourAt(803, 416), kSelectedFill);
    EXPECT_EQ(colourAt(870, 375), kOutline);
    EXPECT_EQ(colourAt(800, 400), kOutline);
    EXPECT_EQ(countColour(915, 385, 930, 405, kMarkerFill), 0);

    // Status bar over the canvas, outlined in the colour the node outline left.
    EXPECT_EQ(colourAt(1300, 740), 0xF0F0F0u);
    EXPECT_EQ(colourAt(1300, 730), kOutline);
}

TEST_F(FrameTest, PanelOutlineTakesTheLineColourOfThePreviousFrame) {
    draw();
    EXPECT_EQ(colourAt(0, 60), kWhite);  // the device's initial line colour
    draw();
    EXPECT_EQ(colourAt(0, 60), kOutline);  // left by the last node outline
    map->toggleHelp();
    draw();
    draw();
    EXPECT_EQ(colourAt(0, 60), 0x646464u);  // left by the help box
}

TEST_F(FrameTest, LinesAreOnePixelUntilTheFirstConnectorAndTwoAfter) {
    draw();
    EXPECT_EQ(countColour(235, 5, 245, 5, kGrid), 1);
    EXPECT_EQ(countColour(230, 15, 230, 25, kGrid), 1);

    map->addChildNode();  // (800, 475), straight below the root: connector at x = 870
    draw();
    EXPECT_EQ(countColour(860, 450, 880, 450, kConnector), 2);
    EXPECT_EQ(countColour(235, 5, 245, 5, kGrid), 1);  // the grid came before the connector
    draw();
    EXPECT_EQ(countColour(235, 5, 245, 5, kGrid), 2);
    EXPECT_EQ(countColour(230, 15, 230, 25, kGrid), 2);

    map->deleteSelectedNode();  // the pen stays wide for the rest of the run
    draw();
    EXPECT_EQ(countColour(235, 5, 245, 5, kGrid), 2);
    EXPECT_EQ(countColour(860, 450, 880, 450, kConnector), 0);
}

TEST_F(FrameTest, SelectionFillReplacesTheNodesOwnFill) {
    map->setNodeFillColor(0xB4DCB4);
    draw();
    EXPECT_EQ(colourAt(803, 416), kSelectedFill);
    map->selectNodeAt(1300, 50);
    draw();
    EXPECT_EQ(colourAt(803, 416), 0xB4DCB4u);
}

TEST_F(FrameTest, MarkersShowMinusWhenExpandedAndPlusWhenCollapsed) {
    map->addChildNode();
    map->selectedNode = nullptr;
    const Node& root = *map->root;
    draw();
    EXPECT_GT(countColour(root.x + root.width - 24, root.y + 11, root.x + root.width - 11, root.y + 29,
                          kMarkerFill),
              100);
    const int minusRows = whiteRowsInMarker(root);
    EXPECT_GE(minusRows, 1);
    EXPECT_LE(minusRows, 3);
    EXPECT_EQ(colourAt(803, 516), kDefaultFill);  // the child box

    map->root->collapsed = true;
    draw();
    EXPECT_GE(whiteRowsInMarker(root), 5);
    EXPECT_NE(colourAt(803, 516), kDefaultFill);  // hidden with its connector
    EXPECT_EQ(countColour(860, 450, 880, 450, kConnector), 0);

    // A leaf shows no marker, whatever its flag holds.
    Node& child = *map->root->children[0];
    child.collapsed = true;
    map->root->collapsed = false;
    draw();
    EXPECT_EQ(countColour(child.x + child.width - 24, child.y + 11, child.x + child.width - 11, child.y + 29,
                          kMarkerFill),
              0);
}

TEST_F(FrameTest, LaterSiblingsPaintOverEarlierSubtrees) {
    map->addChildNode();  // child 0 at (800, 475)
    map->selectedNode = map->root;
    map->addChildNode();  // child 1 at (880, 475), overlapping child 0
    map->setNodeFillColor(0xB4DCB4);
    map->selectedNode = nullptr;
    draw();
    EXPECT_EQ(colourAt(900, 516), 0xB4DCB4u);  // in the overlap
    EXPECT_EQ(colourAt(805, 516), kDefaultFill);
}

TEST_F(FrameTest, NodesCoverThePanelAndTheStatusBarCoversNodes) {
    map->root->x = 40;  // over the buttons
    map->addChildNode();
    map->selectedNode->x = 1200;  // under the status bar, clear of its text
    map->selectedNode->y = 720;
    map->selectedNode = nullptr;
    draw();
    EXPECT_EQ(colourAt(45, 416), kDefaultFill);
    EXPECT_EQ(colourAt(1203, 745), 0xF0F0F0u);
    EXPECT_EQ(colourAt(1203, 725), kDefaultFill);
}

TEST_F(FrameTest, HoveredButtonIsTenPercentDarker) {
    draw();
    EXPECT_EQ(colourAt(14, 157), 0xDC9664u);
    EXPECT_EQ(colourAt(14, 337), 0xC8C8C8u);
    map->updateButtonHover(100, 140);
    draw();
    EXPECT_EQ(colourAt(14, 157), 0xC6875Au);
    EXPECT_EQ(colourAt(14, 112), 0x64B464u);
    map->updateButtonHover(100, 320);  // a grey button
    draw();
    EXPECT_EQ(colourAt(14, 337), 0xB4B4B4u);
    EXPECT_EQ(colourAt(14, 157), 0xDC9664u);
}

TEST_F(FrameTest, DrawingChangesNothingInTheMap) {
    map->addChildNode();
    Node* child = map->selectedNode;
    map->root->collapsed = true;
    draw();
    EXPECT_EQ(map->selectedNode, child);
    EXPECT_TRUE(map->root->collapsed);
    EXPECT_EQ(child->x, 800);
    EXPECT_EQ(child->width, 140);
    EXPECT_EQ(map->editCaretCounter, 0);
    EXPECT_EQ(map->pathCaretCounter, 0);
}

}  // namespace
