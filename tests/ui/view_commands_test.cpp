// The view's bindings through the dispatch, with input records and no window: wheel and
// middle-button panning, zoom keys and Ctrl+wheel, Home, Ctrl+0, the arrow keys and the find box.
#include "app/ui/view_commands.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "app/model/map_view.h"
#include "app/model/mind_map.h"
#include "app/ui/dispatch.h"
#include "tests/ui/input_helpers.h"

using namespace test_input;

namespace {

bool shiftDown = false;
bool fakeShift() {
    return shiftDown;
}

Gfx::InputMessage wheel(int x, int y, int delta, std::uint8_t flags = 0) {
    Gfx::InputMessage m = mouse(WM_MOUSEWHEEL, x, y, flags);
    m.mouse.wheel = static_cast<std::int16_t>(delta);
    return m;
}

Node* addChild(Node* parent, const char16_t* caption, int x, int y) {
    Node* child = new Node(caption, x, y);
    child->parent = parent;
    parent->children.push_back(child);
    return child;
}

class ViewCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        controlDown = false;
        shiftDown = false;
    }
    void send(const Gfx::InputMessage& message) {
        dispatchInput(map, message, running, fakeControl, fakeShift);
    }
    void press(std::uint8_t code) { send(key(code)); }
    void ctrl(std::uint8_t code) {
        controlDown = true;
        press(code);
        controlDown = false;
    }
    void type(std::u16string_view text) {
        for (char16_t ch : text) send(character(ch));
    }
    // The map position under a window pixel, exactly (before rounding).
    double mapXAt(int x) const {
        return static_cast<double>(x - map.view.offsetX()) * 100.0 / map.view.zoomPercent();
    }
    double mapYAt(int y) const {
        return static_cast<double>(y - map.view.offsetY()) * 100.0 / map.view.zoomPercent();
    }

    MindMap map;
    bool running = true;
};

TEST_F(ViewCommands, WheelAndMiddleDragPanAndGiveBackTheOriginalView) {
    send(wheel(600, 300, -120));
    EXPECT_EQ(map.view.offsetY(), -kWheelPanStep);
    EXPECT_EQ(map.view.offsetX(), 0);
    send(wheel(600, 300, 240, Gfx::kMouseShift));
    EXPECT_EQ(map.view.offsetX(), 2 * kWheelPanStep);
    send(wheel(600, 300, 120));
    send(wheel(600, 300, -240, Gfx::kMouseShift));
    EXPECT_TRUE(map.view.isOriginal());

    // The map follows the pointer while the middle button is held, and only then.
    send(mouse(WM_MBUTTONDOWN, 500, 400, Gfx::kMouseMiddle));
    send(mouse(WM_MOUSEMOVE, 530, 380, Gfx::kMouseMiddle));
    send(mouse(WM_MOUSEMOVE, 560, 350, Gfx::kMouseMiddle));
    EXPECT_EQ(map.view.offsetX(), 60);
    EXPECT_EQ(map.view.offsetY(), -50);
    send(mouse(WM_MBUTTONUP, 560, 350));
    send(mouse(WM_MOUSEMOVE, 700, 700, Gfx::kMouseMiddle));
    EXPECT_EQ(map.view.offsetX(), 60);
    // A release that never came: the next move without the button ends the pan.
    send(mouse(WM_MBUTTONDOWN, 560, 350, Gfx::kMouseMiddle));
    send(mouse(WM_MOUSEMOVE, 500, 400, 0));
    send(mouse(WM_MOUSEMOVE, 300, 100, Gfx::kMouseMiddle));
    EXPECT_EQ(map.view.offsetX(), 60);
    // Panning moves nothing in the map.
    EXPECT_EQ(map.root->x, 800);
    EXPECT_EQ(map.changeCount, 0u);
}

TEST_F(ViewCommands, ZoomKeepsThePointUnderThePointerOrTheCanvasCentreAndStaysInRange) {
    const double beforeX = mapXAt(1000);
    const double beforeY = mapYAt(200);
    send(wheel(1000, 200, 120, Gfx::kMouseCtrl));
    EXPECT_GT(map.view.zoomPercent(), 100);
    EXPECT_NEAR(mapXAt(1000), beforeX, 1.0);
    EXPECT_NEAR(mapYAt(200), beforeY, 1.0);
    send(wheel(1000, 200, -360, Gfx::kMouseCtrl));
    EXPECT_LT(map.view.zoomPercent(), 100);
    EXPECT_NEAR(mapXAt(1000), beforeX, 2.0);

    map.view.reset();
    const double centreX = mapXAt(800);
    for (std::uint8_t plus : {std::uint8_t{VK_OEM_PLUS}, std::uint8_t{VK_ADD}}) {
        const int zoom = map.view.zoomPercent();
        ctrl(plus);
        EXPECT_GT(map.view.zoomPercent(), zoom);
    }
    EXPECT_NEAR(mapXAt(800), centreX, 1.0);
    press(VK_OEM_PLUS);  // without Ctrl: nothing
    const int zoomed = map.view.zoomPercent();
    EXPECT_EQ(map.view.zoomPercent(), zoomed);
    for (int i = 0; i < 30; ++i) ctrl(VK_OEM_PLUS);
    EXPECT_EQ(map.view.zoomPercent(), View::kMaxZoom);
    for (int i = 0; i < 30; ++i) ctrl(i % 2 == 0 ? VK_OEM_MINUS : VK_SUBTRACT);
    EXPECT_EQ(map.view.zoomPercent(), View::kMinZoom);
    press('0');
    EXPECT_FALSE(map.view.isOriginal());
    ctrl('0');
    EXPECT_TRUE(map.view.isOriginal());
}

TEST_F(ViewCommands, HomeFitsEveryShownNodeIntoTheCanvasAtMostAtFullSize) {
    // A small map: shown at 100 %, centred.
    press(VK_HOME);
    EXPECT_EQ(map.view.zoomPercent(), 100);
    const WideRect root = nodeWindowBox(*map.root, map.view);
    EXPECT_NEAR((root.left + root.right) / 2.0, 800, 1);
    EXPECT_NEAR((root.top + root.bottom) / 2.0, 365, 1);

    // A wide one, a hidden far node left out.
    Node* a = addChild(map.root, u"a", -3000, 200);
    addChild(map.root, u"b", 4000, 900);
    Node* hidden = addChild(a, u"hidden", 90000, 90000);
    a->collapsed = true;
    (void)hidden;
    press(VK_HOME);
    EXPECT_LT(map.view.zoomPercent(), 100);
    EXPECT_GE(map.view.zoomPercent(), View::kMinZoom);
    for (Node* n : {map.root, a, map.root->children[1]}) {
        const WideRect r = nodeWindowBox(*n, map.view);
        EXPECT_GE(r.left, kCanvasRect.left);
        EXPECT_LE(r.right, kCanvasRect.right);
        EXPECT_GE(r.top, kCanvasRect.top);
        EXPECT_LE(r.bottom, kCanvasRect.bottom);
    }
    // The fit uses the room: a step further in would not fit.
    const WideRect left = nodeWindowBox(*a, map.view);
    const WideRect right = nodeWindowBox(*map.root->children[1], map.view);
    EXPECT_GT(right.right - left.left, (kCanvasRect.right - kCanvasRect.left) * 8 / 10);
}

// A hand-made layout around a centre node C at (600, 300):
//   U above, D below, L and far-left FL to its left, R1 right and a little down, R2 right
//   and much further across, and T1/T2 at equal distance up-right and down-right.
class ArrowLayout : public ViewCommands {
  protected:
    void SetUp() override {
        ViewCommands::SetUp();
        c = addChild(map.root, u"C", 600, 300);
        u = addChild(map.root, u"U", 600, 150);
        d = addChild(map.root, u"D", 620, 460);
        l = addChild(map.root, u"L", 380, 320);
        fl = addChild(map.root, u"FL", -4000, 300);
        r1 = addChild(map.root, u"R1", 900, 340);
        r2 = addChild(map.root, u"R2", 780, 520);
        map.root->x = 3000;  // the root out of the way, far right
        map.root->y = 3000;
        map.selectedNode = c;
    }
    Node *c, *u, *d, *l, *fl, *r1, *r2;
};

TEST_F(ArrowLayout, ArrowsGoToTheNearestNodeThatWayWeightingAcrossOverAlong) {
    press(VK_RIGHT);
    EXPECT_EQ(map.selectedNode, r1);  // R2 is nearer along, but much further across
    press(VK_LEFT);
    EXPECT_EQ(map.selectedNode, c);
    press(VK_LEFT);
    EXPECT_EQ(map.selectedNode, l);
    press(VK_LEFT);
    EXPECT_EQ(map.selectedNode, fl);  // beyond the window: the view follows it
    const WideRect shown = nodeWindowBox(*fl, map.view);
    EXPECT_EQ(shown.left, kCanvasRect.left);  // the least move: just inside the left edge
    EXPECT_EQ(map.view.zoomPercent(), 100);
    press(VK_LEFT);
    EXPECT_EQ(map.selectedNode, fl);  // nothing further: the selection stays
    press(VK_RIGHT);
    EXPECT_EQ(map.selectedNode, l);
    press(VK_RIGHT);
    press(VK_UP);
    EXPECT_EQ(map.selectedNode, u);
    press(VK_DOWN);
    press(VK_DOWN);
    EXPECT_EQ(map.selectedNode, d);
    // Nothing selected: the root, and the view moves to show it.
    map.selectedNode = nullptr;
    press(VK_UP);
    EXPECT_EQ(map.selectedNode, map.root);
    const WideRect root = nodeWindowBox(*map.root, map.view);
    EXPECT_LE(root.right, kCanvasRect.right);
    EXPECT_LE(root.bottom, kCanvasRect.bottom);
}

TEST_F(ArrowLayout, TiesGoToTheFirstInPreOrderAndGuardsHoldTheArrows) {
    // Two nodes at the same distance up-left and down-left of C.
    Node* t1 = addChild(map.root, u"T1", 450, 200);
    Node* t2 = addChild(map.root, u"T2", 450, 400);
    l->x = -9000;  // out of the race
    fl->x = -9000;
    press(VK_LEFT);
    EXPECT_EQ(map.selectedNode, t1);
    (void)t2;

    map.selectedNode = c;
    map.showHelp = true;
    press(VK_LEFT);
    map.showHelp = false;
    map.isEditing = true;
    press(VK_LEFT);
    map.isEditing = false;
    map.showFileDialog = true;
    press(VK_LEFT);
    map.showFileDialog = false;
    EXPECT_EQ(map.selectedNode, c);
    EXPECT_TRUE(map.view.isOriginal());
}

class FindBoxTest : public ViewCommands {
  protected:
    void SetUp() override {
        ViewCommands::SetUp();
        a = addChild(map.root, u"Apple pie", 300, 500);
        b = addChild(a, u"苹果", 350, 620);
        c = addChild(map.root, u"PINEAPPLE", 9000, 500);
        hidden = addChild(c, u"apple hidden", 9100, 620);
        c->collapsed = true;
        map.selectedNode = map.root;
    }
    Node *a, *b, *c, *hidden;
};

TEST_F(FindBoxTest, CtrlFOpensTheBoxAndFAloneStillCollapses) {
    map.selectedNode = a;
    press('F');
    EXPECT_TRUE(a->collapsed);
    EXPECT_FALSE(map.find.open);
    ctrl('F');
    EXPECT_TRUE(map.find.open);
    EXPECT_TRUE(a->collapsed);
    // Typed keys go to the box, not to their commands.
    send(key('F'));
    send(character(u'f'));
    send(key(VK_SPACE));
    send(character(u' '));
    EXPECT_EQ(map.find.text, u"f ");
    EXPECT_TRUE(a->collapsed);
    EXPECT_EQ(a->children.size(), 1u);
}

TEST_F(FindBoxTest, EnterWalksTheMatchesInPreOrderBothWaysAndWraps) {
    ctrl('F');
    type(u"aPPle");
    press(VK_RETURN);
    EXPECT_EQ(map.selectedNode, a);
    press(VK_RETURN);
    EXPECT_EQ(map.selectedNode, c);  // far beyond the window: shown whole
    const WideRect r = nodeWindowBox(*c, map.view);
    EXPECT_GE(r.left, kCanvasRect.left);
    EXPECT_LE(r.right, kCanvasRect.right);
    press(VK_RETURN);
    EXPECT_EQ(map.selectedNode, a);  // wraps; the collapsed subtree's match is not shown
    EXPECT_EQ(countMatches(map.root, map.selectedNode, map.find.text).total, 2u);
    EXPECT_EQ(countMatches(map.root, map.selectedNode, map.find.text).place, 1u);
    shiftDown = true;
    press(VK_RETURN);
    EXPECT_EQ(map.selectedNode, c);
    press(VK_RETURN);
    EXPECT_EQ(map.selectedNode, a);
    shiftDown = false;

    // Chinese; then no match leaves the selection; Backspace erases.
    for (int i = 0; i < 5; ++i) press(VK_BACK);
    EXPECT_TRUE(map.find.text.empty());
    type(u"苹果");
    press(VK_RETURN);
    EXPECT_EQ(map.selectedNode, b);
    type(u"汁");
    press(VK_RETURN);
    EXPECT_EQ(map.selectedNode, b);
    EXPECT_EQ(countMatches(map.root, map.selectedNode, map.find.text).total, 0u);
}

TEST_F(FindBoxTest, EscapeClosesOnlyTheBox) {
    ctrl('F');
    type(u"x");
    press(VK_ESCAPE);
    EXPECT_FALSE(map.find.open);
    EXPECT_TRUE(running);
    press(VK_ESCAPE);
    EXPECT_FALSE(running);
}

TEST(ViewArithmetic, PansAndZoomsAtTheLimitsStayExactAndBounded) {
    // Every operation at its extremes: UBSan reports any overflow in these sums.
    View v;
    for (int i = 0; i < 100; ++i) v.panBy(INT64_MAX / 2, INT64_MIN / 2);
    EXPECT_EQ(v.offsetX(), View::kMaxOffset);
    EXPECT_EQ(v.offsetY(), -View::kMaxOffset);
    v.zoomAround(View::kMaxZoom, INT32_MIN, INT32_MAX);
    v.zoomAround(View::kMinZoom, INT64_MAX, INT64_MIN);
    v.zoomAround(View::kMaxZoom, 0, 0);
    for (std::int64_t coordinate : {std::int64_t{INT32_MIN}, std::int64_t{INT32_MAX} + INT32_MAX}) {
        const std::int64_t wx = v.toWindowX(coordinate);
        EXPECT_EQ(v.toMapX(wx), coordinate);  // exact at 400 %: each map unit is 4 pixels
        (void)v.toWindowY(coordinate);
    }
    // The round trip map -> window -> map holds at every zoom, for the extremes too.
    for (int zoom = View::kMinZoom; zoom <= View::kMaxZoom; zoom = View::steppedZoom(zoom, 1)) {
        View w;
        w.set(zoom, -View::kMaxOffset, View::kMaxOffset);
        for (std::int64_t c :
             {std::int64_t{INT32_MIN}, std::int64_t{-1}, std::int64_t{0}, std::int64_t{INT32_MAX}}) {
            const std::int64_t back = w.toMapX(w.toWindowX(c));
            EXPECT_LE(back, c);
            EXPECT_GE(back, c - 1 - 100 / zoom);
        }
        if (zoom == View::kMaxZoom) break;
    }
    View fit;
    MindMap map;
    map.root->x = INT32_MIN;
    Node* distant = addChild(map.root, u"distant", INT32_MAX, INT32_MAX);
    distant->width = INT32_MAX;
    fitShownMap(map.root, fit);
    EXPECT_EQ(fit.zoomPercent(), View::kMinZoom);
    showNodeWhole(*distant, fit);
    EXPECT_EQ(nodeWindowBox(*distant, fit).left, kCanvasRect.left);
}

}  // namespace
