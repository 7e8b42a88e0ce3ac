// The input a view is steered with, as real X input (XTest) reaching the program's queue: wheel
// steps with Ctrl and Shift, a middle-button drag, and the keys of the view commands.
#include <X11/keysym.h>

#include <cstdint>
#include <initializer_list>
#include <string>

#include "graphics/graph_wnd.h"
#include "tests/graphics/window_fixture.h"

namespace Gfx::testing {
namespace {

class WindowViewInputTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        if (HasFatalFailure()) return;
        // Away from the screen's origin, where screen and client coordinates would agree.
        SetWindowPos(handle, nullptr, 170, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ASSERT_TRUE(waitUntil([&] {
            const mmtest::ScreenRect rect = x.screenRect(window);
            return rect.x >= 170 && rect.y >= 90;
        })) << "the window did not move";
        x.releaseEverything();
        flushInputMessages(kInputAll);
    }

    static auto at(int px, int py) {
        return [px, py](const InputMessage& m) { return m.mouse.x == px && m.mouse.y == py; };
    }
};

TEST_F(WindowViewInputTest, WheelStepsCarryDirectionModifiersAndTheClientPosition) {
    x.movePointer(window, 70, 30);
    struct Step {
        int notches;
        std::initializer_list<unsigned long> modifiers;
        std::uint8_t flags;
    };
    const Step steps[] = {
        {1, {}, 0},
        {-1, {XK_Control_L}, kMouseCtrl},
        {1, {XK_Control_L}, kMouseCtrl},
        {-1, {XK_Shift_L}, kMouseShift},
        {1, {XK_Control_L, XK_Shift_L}, kMouseCtrl | kMouseShift},
    };
    for (const Step& step : steps) {
        x.wheel(step.notches, step.modifiers);
        InputMessage message;
        ASSERT_TRUE(waitForInput(WM_MOUSEWHEEL, &message));
        EXPECT_EQ(message.mouse.wheel, step.notches * WHEEL_DELTA);
        EXPECT_EQ(message.mouse.mouseFlags, step.flags);
        EXPECT_EQ(message.mouse.x, 70);
        EXPECT_EQ(message.mouse.y, 30);
    }
    // Several steps at once are one message each.
    x.wheel(-3);
    for (int i = 0; i < 3; ++i) {
        InputMessage message;
        ASSERT_TRUE(waitForInput(WM_MOUSEWHEEL, &message)) << i;
        EXPECT_EQ(message.mouse.wheel, -WHEEL_DELTA);
    }
}

TEST_F(WindowViewInputTest, MiddleButtonDragIsPressMovesHeldAndRelease) {
    x.drag(window, 40, 50, 120, 90, 2);
    InputMessage message;
    ASSERT_TRUE(waitForInput(WM_MBUTTONDOWN, &message));
    EXPECT_EQ(message.mouse.x, 40);
    EXPECT_EQ(message.mouse.y, 50);
    EXPECT_EQ(message.mouse.mouseFlags, kMouseMiddle);
    ASSERT_TRUE(waitForInput(WM_MOUSEMOVE, &message, at(80, 70)));
    EXPECT_EQ(message.mouse.mouseFlags, kMouseMiddle);
    ASSERT_TRUE(waitForInput(WM_MOUSEMOVE, &message, at(120, 90)));
    EXPECT_EQ(message.mouse.mouseFlags, kMouseMiddle);
    ASSERT_TRUE(waitForInput(WM_MBUTTONUP, &message));
    EXPECT_EQ(message.mouse.x, 120);
    EXPECT_EQ(message.mouse.y, 90);
    EXPECT_EQ(message.mouse.mouseFlags, 0);
    // Left outside without the capture, the drag's end is not the window's to hear: nothing
    // arrives between the press and the move back inside.
    x.movePointer(window, 60, 60);
    x.button(2, true);
    ASSERT_TRUE(waitForInput(WM_MBUTTONDOWN, &message));
    x.movePointer(window, kWidth + 40, 60);
    x.button(2, false);
    x.movePointer(window, 61, 61);
    std::string between;
    ASSERT_TRUE(waitUntil([&] {
        while (peekInputMessage(&message, kInputAll, true)) {
            if (message.kind == WM_MOUSEMOVE && message.mouse.x == 61 && message.mouse.y == 61) return true;
            between += " 0x" + hex(message.kind) + "(" + std::to_string(message.mouse.x) + ", " +
                       std::to_string(message.mouse.y) + ")";
        }
        return false;
    })) << "the move back inside did not arrive";
    EXPECT_EQ(message.mouse.mouseFlags, 0);
    EXPECT_EQ(between, "") << "messages arrived while the pointer was outside";
}

// A drag that keeps the capture is heard outside, in client coordinates beyond the area.
TEST_F(WindowViewInputTest, CapturedMiddleDragIsHeardOutside) {
    x.movePointer(window, 60, 60);
    x.button(2, true);
    InputMessage message;
    ASSERT_TRUE(waitForInput(WM_MBUTTONDOWN, &message));
    captureMouse();
    x.movePointer(window, -15, kHeight + 25);
    ASSERT_TRUE(waitForInput(WM_MOUSEMOVE, &message, at(-15, kHeight + 25)));
    EXPECT_EQ(message.mouse.mouseFlags, kMouseMiddle);
    x.button(2, false);
    ASSERT_TRUE(waitForInput(WM_MBUTTONUP, &message));
    EXPECT_EQ(message.mouse.x, -15);
    EXPECT_EQ(message.mouse.y, kHeight + 25);
    releaseMouse();
}

TEST_F(WindowViewInputTest, ViewKeysArriveAsTheirVirtualKeys) {
    x.movePointer(window, 20, 20);
    struct KeyStep {
        unsigned long keysym;
        std::initializer_list<unsigned long> modifiers;
        std::uint8_t vk;
    };
    const KeyStep keys[] = {
        {XK_Home, {}, VK_HOME},
        {XK_Left, {}, VK_LEFT},
        {XK_Up, {}, VK_UP},
        {XK_Right, {}, VK_RIGHT},
        {XK_Down, {}, VK_DOWN},
        {XK_0, {XK_Control_L}, '0'},
        {XK_equal, {XK_Control_L}, VK_OEM_PLUS},
        {XK_minus, {XK_Control_L}, VK_OEM_MINUS},
        {XK_KP_Add, {XK_Control_L}, VK_ADD},
        {XK_KP_Subtract, {XK_Control_L}, VK_SUBTRACT},
        {XK_f, {XK_Control_L}, 'F'},
        {XK_Return, {XK_Shift_L}, VK_RETURN},
    };
    for (const KeyStep& step : keys) {
        GetAsyncKeyState(VK_CONTROL);  // forget earlier presses
        GetAsyncKeyState(VK_SHIFT);
        x.tap(step.keysym, step.modifiers);
        InputMessage message;
        ASSERT_TRUE(waitForInput(WM_KEYDOWN, &message,
                                 [&](const InputMessage& m) { return m.key.keyCode == step.vk; }))
            << "keysym 0x" << std::hex << step.keysym;
        // The program reads Ctrl as the editor does: held, or pressed since the last query.
        const bool ctrl = step.modifiers.size() > 0 && *step.modifiers.begin() == XK_Control_L;
        EXPECT_EQ(GetAsyncKeyState(VK_CONTROL) != 0, ctrl) << "keysym 0x" << std::hex << step.keysym;
        EXPECT_EQ(GetAsyncKeyState(VK_SHIFT) != 0, !ctrl && step.modifiers.size() > 0)
            << "keysym 0x" << std::hex << step.keysym;
    }
}

}  // namespace
}  // namespace Gfx::testing
