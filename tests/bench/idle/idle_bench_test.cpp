#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/model/mind_map.h"
#include "app/model/scene_layout.h"
#include "bench/idle/frame_reading.h"
#include "bench/idle/idle_map.h"
#include "tests/support/scratch_dir.h"

namespace {

std::u16string widen(const std::string& text) {
    return {text.begin(), text.end()};
}

std::vector<const Node*> allNodes(const Node* root) {
    std::vector<const Node*> nodes{root};
    for (std::size_t i = 0; i < nodes.size(); ++i)
        for (const Node* child : nodes[i]->children) nodes.push_back(child);
    return nodes;
}

struct Written {
    MindMap map;
    bool ok = false;
};

void writeAndLoad(IdleMapKind kind, int count, Written& written) {
    const mmtest::ScratchDir dir("idle_map_test");
    const std::string path = (dir.path() / "map.mind").string();
    ASSERT_TRUE(writeIdleBenchMap(count, path, kind));
    written.ok = written.map.loadFromFile(widen(path));
}

// The lane's node is the last one drawn and the only one a click in the lane can find; the
// other nodes are all in the window or partly beyond it, as the kind says, and every caption
// differs (the frames draw text, not copies of one cached caption).
TEST(IdleBenchMap, LaneIsClearAndTheKindDecidesWhereTheNodesGo) {
    for (IdleMapKind kind : {IdleMapKind::Spread, IdleMapKind::InView}) {
        SCOPED_TRACE(kind == IdleMapKind::Spread ? "spread" : "in view");
        Written written;
        writeAndLoad(kind, 5000, written);
        ASSERT_TRUE(written.ok);
        const std::vector<const Node*> nodes = allNodes(written.map.root);
        ASSERT_EQ(nodes.size(), 5000u);

        const Node* lane = written.map.root->children.back();
        EXPECT_EQ(lane->x, kLaneNodeX);
        EXPECT_EQ(lane->y, kLaneNodeY);
        EXPECT_TRUE(lane->children.empty());
        EXPECT_EQ(MindMap::findNodeAt(written.map.root, kLaneNodeX + 20, kLaneNodeY + 20), lane);
        EXPECT_EQ(MindMap::findNodeAt(written.map.root, kLaneNodeX + 420, kLaneNodeY + 20), nullptr);

        std::set<std::u16string> captions;
        int beyond = 0;
        for (const Node* n : nodes) {
            captions.insert(n->text);
            if (n == lane) continue;
            EXPECT_FALSE(reachesLane(n->x, n->y, n->width, n->height)) << n->x << "," << n->y;
            EXPECT_GE(n->x, kPanelWidth);
            if (n->x + n->width > kWindowWidth || n->y + n->height > kWindowHeight - 30) ++beyond;
        }
        EXPECT_EQ(captions.size(), nodes.size());
        if (kind == IdleMapKind::InView) {
            EXPECT_EQ(beyond, 0);
        } else {
            EXPECT_GT(beyond, 1000);
        }
    }
}

TEST(IdleBenchMap, LaneReachIsTheOverlapOfBoxes) {
    EXPECT_TRUE(reachesLane(kLaneLeft - 10, kLaneTop - 10, 11, 11));
    EXPECT_FALSE(reachesLane(kLaneLeft - 10, kLaneTop - 10, 10, 100));  // ends where the lane starts
    EXPECT_FALSE(reachesLane(kLaneRight, kLaneTop, 50, 45));
    EXPECT_FALSE(reachesLane(kLaneLeft, kLaneBottom, 50, 45));
    EXPECT_TRUE(reachesLane(kLaneLeft - 500, kLaneTop - 500, 2000, 2000));  // around it
}

// A drag's frames as the bench reads them: every change of the edge is one frame, a reading
// that sees the same edge or no box at all is none, and the frame's time is when it was seen.
TEST(IdleBenchFrames, ChangesOfTheEdgeAreFrames) {
    MoveFrames frames(300);
    frames.read(300, 1.0);
    EXPECT_EQ(frames.frames(), 0);
    frames.read(304, 12.0);
    frames.read(304, 13.0);
    frames.read(-1, 14.0);
    frames.read(310, 25.0);
    frames.read(304, 37.0);
    EXPECT_EQ(frames.frames(), 3);
    EXPECT_EQ(frames.edge(), 304);
    EXPECT_DOUBLE_EQ(frames.lastFrameMs(), 37.0);

    EXPECT_EQ(firstPixelOf({1, 2, 3, 2}, 2), 1);
    EXPECT_EQ(firstPixelOf({1, 2, 3}, 7), -1);
    EXPECT_EQ(firstPixelOf({}, 7), -1);
}

}  // namespace
