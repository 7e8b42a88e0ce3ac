// Frames seen through a view other than the original: the way back gives the original frame
// exactly, culling against the view draws what an unculled drawing shows, hit tests and drags
// follow the drawn pixels, an open that would show nothing centres the root, and low zooms
// draw plain boxes.
#include <climits>
#include <random>

#include "app/model/map_view.h"
#include "app/render/scene.h"
#include "app/ui/dispatch.h"
#include "tests/render/frame_fixture.h"
#include "tests/ui/input_helpers.h"

namespace {

using palette::kSelectedFill;

Node* addChild(Node* parent, const char16_t* caption, int x, int y) {
    Node* child = new Node(caption, x, y);
    child->parent = parent;
    parent->children.push_back(child);
    return child;
}

class ViewFrame : public FrameTest {
  protected:
    // A small tree with connectors, a collapse marker and captions.
    void buildTree() {
        Node* a = addChild(map->root, u"左边 Left", 300, 520);
        addChild(a, u"叶子", 320, 640);
        addChild(map->root, u"右边 Right", 1100, 520);
        addChild(map->root, u"远处", 3000, 2000);
    }

    void dispatch(const Gfx::InputMessage& message) {
        bool running = true;
        dispatchInput(*map, message, running, test_input::fakeControl);
    }

    // The selected node's fill as drawn.
    Ink selectedInk() const { return inkIn({0, 0, kWidth - 1, 729}, kSelectedFill); }
};

TEST_F(ViewFrame, PanningBackAndResettingTheZoomGiveTheOriginalFrameExactly) {
    buildTree();
    draw();
    draw();  // the drawing state of a frame after one with connectors
    const auto original = pixels();

    map->view.panBy(37, -55);
    draw();
    EXPECT_NE(pixels(), original);
    map->view.panBy(-37, 55);
    EXPECT_TRUE(map->view.isOriginal());
    draw();
    EXPECT_EQ(pixels(), original);

    for (int zoom : {10, 25, 50, 150, 400}) {
        map->view.zoomAround(zoom, 700, 300);
        draw();
        EXPECT_NE(pixels(), original) << zoom;
        map->view.reset();
        draw();
        EXPECT_EQ(pixels(), original) << "after " << zoom << " %";
    }
}

TEST_F(ViewFrame, ANodeIsHitAndDraggedWhereItIsDrawnAtEveryView) {
    buildTree();
    Node* target = map->root->children[1];  // "右边 Right", no children
    struct Case {
        int zoom;
        int panX, panY;
    };
    for (const Case c : {Case{100, -300, 40}, Case{50, 200, 100}, Case{200, -1500, -900},
                         Case{400, -3800, -1900}, Case{15, 300, 200}}) {
        map->view.reset();
        map->view.zoomAround(c.zoom, 0, 0);
        map->view.panBy(c.panX, c.panY);
        map->selectedNode = target;
        draw();
        const Ink ink = selectedInk();
        ASSERT_GT(ink.count, 0) << c.zoom;
        // Every corner just inside the drawn fill hits it; a point just outside does not.
        map->selectedNode = nullptr;
        dispatch(test_input::mouse(WM_LBUTTONDOWN, ink.bounds.left + 1, ink.bounds.top + 1));
        EXPECT_EQ(map->selectedNode, target) << c.zoom;
        dispatch(test_input::mouse(WM_LBUTTONUP, 0, 0));
        dispatch(test_input::mouse(WM_LBUTTONDOWN, ink.bounds.right - 1, ink.bounds.bottom - 1));
        EXPECT_EQ(map->selectedNode, target) << c.zoom;
        dispatch(test_input::mouse(WM_LBUTTONUP, 0, 0));
        dispatch(test_input::mouse(WM_LBUTTONDOWN, ink.bounds.right + 12, ink.centreY()));
        EXPECT_EQ(map->selectedNode, nullptr) << c.zoom;

        // A drag: the box follows the pointer on the screen.
        dispatch(test_input::mouse(WM_LBUTTONDOWN, ink.centreX(), ink.centreY()));
        dispatch(test_input::mouse(WM_MOUSEMOVE, ink.centreX() - 60, ink.centreY() + 30, Gfx::kMouseLeft));
        dispatch(test_input::mouse(WM_LBUTTONUP, 0, 0));
        draw();
        const Ink moved = selectedInk();
        EXPECT_NEAR(moved.centreX(), ink.centreX() - 60, 2) << c.zoom;
        EXPECT_NEAR(moved.centreY(), ink.centreY() + 30, 2) << c.zoom;
        target->x = 1100, target->y = 520;
    }
}

TEST_F(ViewFrame, TheCollapseMarkerAndRightClickWorkAtAnyView) {
    buildTree();
    Node* withChild = map->root->children[0];
    map->view.zoomAround(200, 400, 400);
    map->view.panBy(90, -260);
    const WideRect mark = markerWindowBox(*withChild, map->view);
    ASSERT_GT(mark.left, kPanelWidth);
    ASSERT_LT(mark.bottom, 729);
    map->selectedNode = nullptr;
    dispatch(test_input::mouse(WM_LBUTTONDOWN, static_cast<int>(mark.left + mark.right) / 2,
                               static_cast<int>(mark.top + mark.bottom) / 2));
    EXPECT_EQ(map->selectedNode, withChild);
    dispatch(test_input::mouse(WM_LBUTTONUP, 0, 0));
    dispatch(test_input::mouse(WM_RBUTTONDOWN, 900, 100));
    ASSERT_EQ(withChild->children.size(), 2u);
    EXPECT_EQ(map->selectedNode, withChild->children[1]);
    // The new child is placed in map positions, as at the original view.
    EXPECT_EQ(map->selectedNode->x, withChild->x + 80);
    EXPECT_EQ(map->selectedNode->y, withChild->y + 100);
}

// Nodes all around the window's edges, near the 32-bit limits too.
void buildSpreadMap(MindMap& map, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<Node*> nodes{map.root};
    const int spots[] = {-100000, -2000, -300, -160, -139,  -30,          -5,
                         0,       3,     400,  700,  745,   750,          760,
                         1375,    1380,  1390, 1500, 40000, INT_MAX - 60, INT_MIN + 10};
    for (int i = 0; i < 300; ++i) {
        Node* parent = nodes[rng() % nodes.size()];
        std::u16string caption = u"节点";
        caption += static_cast<char16_t>(u'A' + i % 26);
        const int x = rng() % 3 == 0 ? static_cast<int>(rng() % 1400) : spots[rng() % std::size(spots)];
        const int y = rng() % 3 == 0 ? static_cast<int>(rng() % 800) : spots[rng() % std::size(spots)];
        Node* child = addChild(parent, caption.c_str(), x, y);
        child->width = 20 + static_cast<int>(rng() % 240);
        child->height = 10 + static_cast<int>(rng() % 80);
        if (rng() % 5 == 0) child->fillColor = 0x3070F0;
        nodes.push_back(child);
    }
    for (Node* n : nodes) n->collapsed = !n->children.empty() && rng() % 9 == 0;
    map.selectedNode = nodes[rng() % nodes.size()];
}

TEST_F(ViewFrame, CullingAgainstTheViewDrawsWhatAnUnculledDrawingShowsAtEveryEdge) {
    // The reference draws with culling switched off: every node the culled drawing might wrongly
    // leave out, beyond the left and top edges as much as beyond the right and bottom ones.
    for (unsigned seed : {1u, 2u, 3u}) {
        map = std::make_unique<MindMap>();
        buildSpreadMap(*map, seed);
        for (int zoom : {20, 50, 100, 170, 400}) {
            View view;
            view.zoomAround(zoom, 500, 300);
            view.panBy(static_cast<int>(seed) * 37 - 80, -static_cast<int>(seed) * 23);
            std::vector<std::uint32_t> drawn[2];
            for (int culled = 0; culled < 2; ++culled) {
                image = std::make_unique<Gfx::IMAGE>(kWidth, kHeight);
                Gfx::setWorkingImage(image.get());
                applyEditorTextStyle();
                if (culled != 0) {
                    drawNodeTreeInView(map->root, view, map->selectedNode);
                } else {
                    drawNodeTreeInView(map->root, view, map->selectedNode, false);
                }
                // What is drawn next takes the state the tree left.
                Gfx::drawRoundRect(600, 300, 700, 360, 5, 5);
                Gfx::fillRoundRect(720, 300, 820, 360, 5, 5);
                RECT r{600, 380, 820, 420};
                Gfx::drawTextInRect(u"状态 state", &r, DT_CENTER);
                drawn[culled] = pixels();
            }
            EXPECT_TRUE(drawn[0] == drawn[1]) << "seed " << seed << ", zoom " << zoom;
        }
    }
}

TEST_F(ViewFrame, AnOpenThatWouldShowNothingPutsTheRootInTheCanvasCentre) {
    const char distantMap[] =
        "\xEF\xBB\xBFnode: -5000 -7000 140 45 220 220 220 0 0 0 0 \"远\"\n"
        "  node: -4900 -6900 140 45 220 220 220 0 0 0 0 \"子\"\n";
    ASSERT_TRUE(map->loadFromBytes(distantMap));
    EXPECT_FALSE(map->view.isOriginal());
    EXPECT_EQ(map->view.zoomPercent(), 100);
    draw();
    const Ink root = selectedInk();
    EXPECT_NEAR(root.centreX(), 800, 2);
    EXPECT_NEAR(root.centreY(), 365, 2);

    // A map with a node in the canvas keeps the original view, also after a moved one.
    const char nearbyMap[] =
        "\xEF\xBB\xBFnode: -5000 -7000 140 45 220 220 220 0 0 0 0 \"远\"\n"
        "  node: 1300 700 140 45 220 220 220 0 0 0 0 \"近\"\n";
    ASSERT_TRUE(map->loadFromBytes(nearbyMap));
    EXPECT_TRUE(map->view.isOriginal());
}

TEST_F(ViewFrame, BelowTheLegibleZoomBoxesArePlainAndCaptionless) {
    Node* n = addChild(map->root, u"黑字黑字黑字", 2000, 1200);
    n->fillColor = 0x30A0F0;
    n->width = 400;
    n->height = 200;
    map->selectedNode = nullptr;
    for (int zoom : {25, 50}) {
        map->view.reset();
        map->view.zoomAround(zoom, kPanelWidth, 0);
        draw();
        const WideRect box = nodeWindowBox(*n, map->view);
        const SceneRect inside{static_cast<int>(box.left) + 2, static_cast<int>(box.top) + 2,
                               static_cast<int>(box.right) - 2, static_cast<int>(box.bottom) - 2};
        const int area = (inside.right - inside.left + 1) * (inside.bottom - inside.top + 1);
        const int filled = inkIn(inside, 0x30A0F0).count;
        if (zoom < kLegibleZoomPercent) {
            EXPECT_EQ(filled, area) << "a plain box, no caption";
        } else {
            EXPECT_LT(filled, area) << "the caption is drawn";
            EXPECT_GT(inkIn(inside, 0x000000).count, 0);
        }
    }
}

}  // namespace
