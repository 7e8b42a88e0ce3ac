// Real X input (XTest) reaching the program as InputMessage records, the blocking take, and
// keys that must not close the window.
#include <X11/keysym.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "graphics/graph_wnd.h"
#include "tests/graphics/window_fixture.h"

namespace Gfx::testing {
namespace {

using WindowInputTest = WindowTest;

TEST_F(WindowInputTest, PointerAndButtonsArriveWithClientPositionAndFlags) {
    x.movePointer(window, 50, 40);
    InputMessage message;
    ASSERT_TRUE(waitForInput(WM_MOUSEMOVE, &message,
                             [](const InputMessage& m) { return m.mouse.x == 50 && m.mouse.y == 40; }));
    EXPECT_EQ(message.mouse.wheel, 0);

    x.button(1, true);
    ASSERT_TRUE(waitForInput(WM_LBUTTONDOWN, &message));
    EXPECT_EQ(message.mouse.x, 50);
    EXPECT_EQ(message.mouse.y, 40);
    EXPECT_TRUE(message.mouse.mouseFlags & kMouseLeft);
    x.button(1, false);
    ASSERT_TRUE(waitForInput(WM_LBUTTONUP, &message));
    EXPECT_FALSE(message.mouse.mouseFlags & kMouseLeft);

    x.key(XK_Control_L, true);
    x.button(3, true);
    x.button(3, false);
    x.key(XK_Control_L, false);
    ASSERT_TRUE(waitForInput(WM_RBUTTONDOWN, &message));
    EXPECT_EQ(message.mouse.mouseFlags & (kMouseCtrl | kMouseRight), kMouseCtrl | kMouseRight);
}

TEST_F(WindowInputTest, WheelAwayFromTheUserIsPlus120AtTheClientPosition) {
    x.movePointer(window, 70, 30);
    x.button(4, true);
    x.button(4, false);
    InputMessage message;
    ASSERT_TRUE(waitForInput(WM_MOUSEWHEEL, &message));
    EXPECT_EQ(message.mouse.wheel, 120);
    EXPECT_EQ(message.mouse.x, 70);
    EXPECT_EQ(message.mouse.y, 30);
}

TEST_F(WindowInputTest, KeysAndCharactersArriveInOrder) {
    x.movePointer(window, 20, 20);
    flushInputMessages(kInputAll);
    x.tap(XK_a);
    InputMessage message;
    ASSERT_TRUE(waitForInput(WM_KEYDOWN, &message));
    EXPECT_EQ(message.key.keyCode, 'A');
    EXPECT_NE(message.key.scanCode, 0);
    ASSERT_TRUE(waitForInput(WM_CHAR, &message));
    EXPECT_EQ(message.text.character, u'a');
    ASSERT_TRUE(waitForInput(WM_KEYUP, &message));
    EXPECT_EQ(message.key.keyCode, 'A');
}

TEST_F(WindowInputTest, AltF4IsQueuedAsAKeyAndDoesNotCloseTheWindow) {
    x.movePointer(window, 20, 20);
    x.key(XK_Alt_L, true);
    x.tap(XK_F4);
    x.key(XK_Alt_L, false);
    InputMessage message;
    ASSERT_TRUE(
        waitForInput(WM_KEYDOWN, &message, [](const InputMessage& m) { return m.key.keyCode == VK_F4; }));
    EXPECT_EQ(message.kind, WM_KEYDOWN);  // not WM_SYSKEYDOWN
    EXPECT_EQ(message.key.keyCode, VK_F4);
    // A frame drawn afterwards still reaches a window that is still there.
    setFillColor(RGB(0, 0, 255));
    solidRectangle(0, 0, 9, 9);
    EXPECT_TRUE(x.waitForPixel(window, 5, 5, 0x0000FFul));
    EXPECT_TRUE(x.isViewable(window));
    EXPECT_EQ(getWindowHandle(), handle);
}

TEST_F(WindowInputTest, BlockingTakeIsWokenByAMatchingMessageAndSkipsOthers) {
    x.movePointer(window, 20, 20);
    x.movePointer(window, 30, 20);
    std::thread typist([] {
        XDisplay other;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        other.movePointer(other.findWindow(kTitle), 40, 25);
        other.tap(XK_b);
    });
    // Should the typed key never arrive, a posted F24 ends the wait so the test fails instead of
    // hanging.
    std::atomic<bool> taken{false};
    std::thread watchdog([&taken, hwnd = handle] {
        for (int i = 0; i < 200 && !taken; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (!taken) PostMessageW(hwnd, WM_KEYDOWN, VK_F24, 0);
    });
    InputMessage message;
    getInputMessage(&message, kInputKey);
    taken = true;
    typist.join();
    watchdog.join();
    EXPECT_EQ(message.kind, WM_KEYDOWN);
    ASSERT_EQ(message.key.keyCode, 'B');
    // The mouse moves that stood before the key were dropped.
    const InputMessage next = getInputMessage(kInputKey | kInputChar);
    EXPECT_NE(inputCategory(next.kind) & (kInputKey | kInputChar), 0);
}

TEST_F(WindowInputTest, FlushByCategoryKeepsTheOthers) {
    x.movePointer(window, 20, 20);
    flushInputMessages(kInputAll);
    x.tap(XK_c);
    // Key-down, character and key-up.
    ASSERT_TRUE(waitUntil([&] { return library.graphWindow->queue.size() >= 3; }))
        << "waited for the key-down, character and key-up of 'c' in the input queue; it holds "
        << library.graphWindow->queue.size() << " messages";
    flushInputMessages(kInputKey | kInputMouse | kInputWindow);
    InputMessage message;
    ASSERT_TRUE(peekInputMessage(&message, kInputAll, true));
    EXPECT_EQ(message.kind, WM_CHAR);
    EXPECT_EQ(message.text.character, u'c');
    EXPECT_FALSE(peekInputMessage(&message, kInputAll, true));
}

}  // namespace
}  // namespace Gfx::testing
