// Nodes that lie wholly beyond the window are not drawn, yet the frame must come out exactly as
// if they were: same pixels, and the same drawing state left for what is drawn after them.
#include <climits>
#include <random>

#include "app/render/scene.h"
#include "tests/render/frame_fixture.h"

namespace {

// Boxes and connectors around every edge of the window: inside, across an edge, just beyond,
// far beyond and near the 32-bit wrap; boxes of every size, some narrower than their caption
// inset or of negative size; some collapsed, some recoloured, one selected.
void buildSpreadMap(MindMap& map, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<Node*> nodes{map.root};
    const int spots[] = {-100000, -2000, -160, -150,  -139,         -30,         -5,  0,
                         3,       400,   700,  745,   749,          750,         760, 1375,
                         1380,    1390,  1500, 40000, INT_MAX - 60, INT_MIN + 10};
    auto coordinate = [&](int extent) {
        if (rng() % 3 == 0) return static_cast<int>(rng() % static_cast<unsigned>(extent));
        return spots[rng() % std::size(spots)];
    };
    for (int i = 0; i < 300; ++i) {
        Node* parent = nodes[rng() % nodes.size()];
        std::u16string caption = u"节点";
        caption += static_cast<char16_t>(u'A' + i % 26);
        if (i % 3 == 0) caption += u" wrapped caption text";
        Node* child = new Node(caption, coordinate(kWindowWidth), coordinate(kWindowHeight));
        child->width = -40 + static_cast<int>(rng() % 260);
        child->height = -20 + static_cast<int>(rng() % 90);
        if (rng() % 5 == 0) child->fillColor = 0x3070F0;
        if (rng() % 7 == 0) child->textColor = 0x0000FF;
        child->parent = parent;
        parent->children.push_back(child);
        nodes.push_back(child);
    }
    for (Node* n : nodes) n->collapsed = !n->children.empty() && rng() % 9 == 0;
    map.selectedNode = nodes[rng() % nodes.size()];
}

class NodeCulling : public FrameTest {
  protected:
    // Draws the tree into a fresh image on a device taken to be window-sized or unbounded, then
    // a rectangle and a caption with whatever state the tree left behind.
    std::vector<std::uint32_t> drawTree(bool windowSized, bool selfDrawnEnd) {
        image = std::make_unique<Gfx::IMAGE>(kWidth, kHeight);
        Gfx::setWorkingImage(image.get());
        applyEditorTextStyle();
        const std::int64_t unbounded = std::int64_t{1} << 40;
        NodeTreeView view{.offsetX = 0,
                          .offsetY = 0,
                          .highlighted = map->selectedNode,
                          .deviceWidth = windowSized ? kWidth : unbounded,
                          .deviceHeight = windowSized ? kHeight : unbounded};
        drawNodeTree(map->root, view);
        if (selfDrawnEnd) {
            Gfx::drawRoundRect(600, 300, 700, 360, 5, 5);
            Gfx::fillRoundRect(720, 300, 820, 360, 5, 5);
            RECT r{600, 380, 820, 420};
            Gfx::drawTextInRect(u"状态 state", &r, DT_CENTER | DT_VCENTER);
        }
        const auto* pixels = Gfx::getImageBuffer(image.get());
        return std::vector<std::uint32_t>(pixels, pixels + kWidth * kHeight);
    }
};

TEST_F(NodeCulling, DrawsWhatTheWholeTreeWouldAndLeavesTheSameState) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        map = std::make_unique<MindMap>();
        buildSpreadMap(*map, seed);
        for (bool end : {false, true}) {
            const auto culled = drawTree(true, end);
            const auto whole = drawTree(false, end);
            ASSERT_EQ(culled.size(), whole.size());
            std::size_t differing = 0;
            for (std::size_t i = 0; i < culled.size(); ++i) differing += culled[i] != whole[i];
            EXPECT_EQ(differing, 0u) << "seed " << seed << (end ? " with shapes drawn after the tree" : "");
        }
    }
}

TEST_F(NodeCulling, ATreeWhollyBeyondTheWindowStillLeavesItsState) {
    // Every node off to the right: nothing of the tree is drawn, but the shapes drawn after it
    // take the tree's last colours and its 2-pixel lines.
    map = std::make_unique<MindMap>();
    map->root->x = 5000;
    for (int i = 0; i < 3; ++i) {
        Node* child = new Node(u"远处", 5200 + 200 * i, 300);
        child->parent = map->root;
        child->fillColor = 0x30A030 + static_cast<Colour>(i);
        map->root->children.push_back(child);
    }
    map->selectedNode = nullptr;
    const auto culled = drawTree(true, true);
    const auto whole = drawTree(false, true);
    EXPECT_EQ(culled, whole);
    // The rectangle's left side is drawn in the outline colour, 2 pixels wide.
    EXPECT_EQ(countColour(597, 310, 602, 350, palette::kOutline), 2 * 41);
}

}  // namespace
