// The view's keys in the real editor under X, driven with XTest: zoom in and out (main row and
// keypad), Ctrl+0, Home, an arrow key to a node far beyond the window, and the find box with
// Enter and Escape; the wheel with and without Shift and Ctrl, and a middle-button drag. Every
// step waits for the frame that shows its effect.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <fstream>

#include "tests/e2e/editor_fixture.h"

namespace {

using namespace e2e;

class ViewE2E : public EditorFixture {
  protected:
    // The root where a fresh map has it, and a child "far" far below and to the right.
    void writeFarMap() {
        std::ofstream file(dir / "far.mind", std::ios::binary);
        file << "\xEF\xBB\xBFnode: 800 375 140 45 220 220 220 0 0 0 0 \"中心主题\"\n"
                "  node: 5000 3000 140 45 220 220 220 0 0 0 0 \"Far\"\n";
    }
    bool findBoxOpen() { return session.waitForColour(1100, 10, kTextBoxOutline, kEditorPatience); }
    bool findBoxClosed() { return session.waitForOtherColour(1100, 10, kTextBoxOutline, kEditorPatience); }
};

TEST_F(ViewE2E, ZoomKeysHomeArrowsAndFind) {
    writeFarMap();
    launch({}, {"far.mind"});
    ASSERT_TRUE(nodeShows(800, 375, kSelected));

    // Zooming in around the canvas centre (800, 365) stretches the root past its right end at
    // 940 (the probe lies right of and below the marker); zooming out again (keypad minus) gives
    // back its size.
    session.tap(XK_equal, {XK_Control_L});
    ASSERT_TRUE(session.waitForColour(968, 425, kSelected, kEditorPatience));
    session.tap(XK_KP_Subtract, {XK_Control_L});
    ASSERT_TRUE(session.waitForOtherColour(968, 425, kSelected, kEditorPatience));
    session.tap(XK_0, {XK_Control_L});
    ASSERT_TRUE(nodeShows(800, 375, kSelected));

    // Home: the whole map at 25 %, centred; the root is a small box near the canvas's top left.
    session.tap(XK_Home);
    ASSERT_TRUE(session.waitForColour(275, 37, kSelected, kEditorPatience));
    session.tap(XK_0, {XK_Control_L});
    ASSERT_TRUE(nodeShows(800, 375, kSelected));

    // Right: the far child, the view moved the least that shows it whole (bottom right).
    session.tap(XK_Right);
    ASSERT_TRUE(session.waitForColour(1300, 705, kSelected, kEditorPatience));

    // Find from the root: typed text, Enter selects the match and shows it; Escape closes the
    // box and nothing more.
    session.tap(XK_0, {XK_Control_L});
    ASSERT_TRUE(session.waitForOtherColour(1300, 705, kSelected, kEditorPatience));
    session.click(810, 380);
    ASSERT_TRUE(nodeShows(800, 375, kSelected));
    session.tap(XK_f, {XK_Control_L});
    ASSERT_TRUE(findBoxOpen());
    EXPECT_TRUE(nodeShows(800, 375, kSelected)) << "Ctrl+F does not collapse";
    session.tap(XK_a);
    session.tap(XK_R, {XK_Shift_L});
    session.tap(XK_Return);
    ASSERT_TRUE(session.waitForColour(1300, 705, kSelected, kEditorPatience));
    session.tap(XK_Escape);
    ASSERT_TRUE(findBoxClosed());
    quitWithEscape();
}

TEST_F(ViewE2E, WheelShiftWheelCtrlWheelAndMiddleDrag) {
    launch();
    ASSERT_TRUE(nodeShows(800, 375, kSelected));

    // A wheel step away from the user shows what lies above: the map moves down, and back.
    session.wheel(600, 200, 1);
    ASSERT_TRUE(nodeShows(800, 435, kSelected));
    session.wheel(600, 200, -1);
    ASSERT_TRUE(nodeShows(800, 375, kSelected));
    // With Shift, what lies to the left: the map moves right.
    session.wheel(600, 200, 1, {XK_Shift_L});
    ASSERT_TRUE(nodeShows(860, 375, kSelected));
    session.wheel(600, 200, -1, {XK_Shift_L});
    ASSERT_TRUE(nodeShows(800, 375, kSelected));

    // With Ctrl it zooms around the pointer: the box's top left stays, it grows to 125 %.
    session.wheel(800, 375, 1, {XK_Control_L});
    ASSERT_TRUE(session.waitForColour(955, 425, kSelected, kEditorPatience));
    session.tap(XK_0, {XK_Control_L});
    ASSERT_TRUE(session.waitForOtherColour(955, 425, kSelected, kEditorPatience));
    ASSERT_TRUE(nodeShows(800, 375, kSelected));

    // A middle-button drag on empty canvas: the map follows the pointer.
    session.drag(600, 200, 700, 300, 2);
    ASSERT_TRUE(nodeShows(900, 475, kSelected));
    session.tap(XK_0, {XK_Control_L});
    ASSERT_TRUE(nodeShows(800, 375, kSelected));
    quitWithEscape();
}

}  // namespace
