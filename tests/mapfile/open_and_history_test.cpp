// Opening a file while the histories hold entries of the map it replaces.
#include <gtest/gtest.h>

#include "app/model/mind_map.h"
#include "tests/model/tree_check.h"

TEST(OpenAndHistory, EntriesOfTheReplacedMapAreDroppedWhenReached) {
    MindMap map;
    map.addChildNode();
    map.addChildNode();
    map.undo();
    const std::string file = map.saveToBytes();
    ASSERT_TRUE(map.loadFromBytes(file));
    EXPECT_EQ(map.undoStack.size(), 1u);
    EXPECT_EQ(map.redoStack.size(), 1u);
    const std::string loaded = dumpTree(map.root);
    map.undo();
    map.redo();
    EXPECT_EQ(dumpTree(map.root), loaded);
    EXPECT_TRUE(map.undoStack.empty());
    EXPECT_TRUE(map.redoStack.empty());
    EXPECT_EQ(map.selectedNode, map.root);
}

TEST(OpenAndHistory, NewEntriesWorkAndStaleOnesBelowThemAreSkipped) {
    MindMap map;
    for (int i = 0; i < 5; ++i) map.addChildNode();
    ASSERT_TRUE(map.loadFromBytes(map.saveToBytes()));
    map.selectedNode = map.root;
    map.setNodeFillColor(0x123456);
    map.addChildNode();
    map.undo();
    map.undo();
    EXPECT_EQ(map.root->fillColor, 0xDCDCDCu);
    EXPECT_EQ(map.root->children.size(), 1u);
    EXPECT_EQ(map.undoStack.size(), 5u);
    map.undo();  // the five stale entries go, nothing changes
    EXPECT_TRUE(map.undoStack.empty());
    EXPECT_EQ(checkLinks(map.root), 6);
    map.redo();
    map.redo();
    EXPECT_EQ(map.root->fillColor, 0x123456u);
    EXPECT_EQ(map.root->children.size(), 2u);
}

TEST(OpenAndHistory, FailedParseStillLeavesEntriesHarmless) {
    MindMap map;
    map.addChildNode();
    map.addChildNode();
    EXPECT_FALSE(map.loadFromBytes("\xEF\xBB\xBF"));
    map.undo();
    map.redo();
    EXPECT_EQ(checkLinks(map.root), 1);
    EXPECT_EQ(map.selectedNode, map.root);
}
