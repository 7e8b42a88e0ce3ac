// Real X input through XTest becomes Windows' messages with Windows' parameters.
#include <gtest/gtest.h>
// Xlib's macros (None, Bool, Status) would break gtest's headers: Xlib comes after.
#include <X11/keysym.h>
#include <windows.h>

#include <optional>
#include <vector>

#include "tests/platform/user32/input_fixture.h"

namespace {

using wintest::Input;
using wintest::isKey;
using wintest::isMouse;
using wintest::Received;
using wintest::WindowOptions;

TEST_F(Input, LetterKeyGivesKeyDownCharAndKeyUpWithWindowsParameters) {
    input_->tap(XK_a);
    const auto messages = collect(isKey, 3);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(messages[0].wParam, static_cast<WPARAM>('A'));
    EXPECT_EQ(messages[0].lParam, 0x001E0001);  // one press, scan code 0x1E, no flags
    EXPECT_EQ(messages[1].message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(messages[1].wParam, static_cast<WPARAM>(u'a'));
    EXPECT_EQ(messages[2].message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(messages[2].wParam, static_cast<WPARAM>('A'));
    EXPECT_EQ(static_cast<DWORD>(messages[2].lParam), 0xC01E0001u);  // previous state and transition set
}

TEST_F(Input, TranslateMessageGivesWindowsControlCharacters) {
    input_->key(XK_Shift_L, true);
    input_->tap(XK_b);
    input_->key(XK_Shift_L, false);
    input_->tap(XK_Return);
    input_->tap(XK_BackSpace);
    input_->tap(XK_Tab);
    input_->tap(XK_Escape);
    input_->key(XK_Control_L, true);
    input_->tap(XK_j);
    input_->tap(XK_s);
    input_->key(XK_Control_L, false);
    input_->tap(XK_Delete);
    input_->tap(XK_1);
    std::vector<WPARAM> chars;
    // Shift, B, Enter, Backspace, Tab, Esc, Ctrl, J, S, Delete, 1: 11 keys down and up, and 8
    // characters (Shift, Ctrl and Delete type nothing).
    const auto messages = collect(isKey, 22 + 8);
    ASSERT_EQ(messages.size(), 30u);
    for (const Received& r : messages) {
        if (r.message == WM_CHAR) chars.push_back(r.wParam);
    }
    EXPECT_EQ(chars, (std::vector<WPARAM>{u'B', 13, 8, 9, 27, 10, 19, u'1'}));
}

TEST_F(Input, ArrowAndRightControlKeysAreExtended) {
    input_->tap(XK_Left);
    input_->tap(XK_Control_R);
    const auto messages = collect(isKey, 4);
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0].wParam, static_cast<WPARAM>(VK_LEFT));
    EXPECT_EQ(messages[0].lParam, 0x014B0001);
    EXPECT_EQ(messages[2].wParam, static_cast<WPARAM>(VK_CONTROL));
    EXPECT_EQ(messages[2].lParam, 0x011D0001);
}

TEST_F(Input, AltMakesSystemKeysAndF10IsOne) {
    input_->key(XK_Alt_L, true);
    input_->tap(XK_x);
    input_->key(XK_Alt_L, false);
    input_->tap(XK_F10);
    const auto messages = collect(isKey, 7);
    ASSERT_EQ(messages.size(), 7u);
    EXPECT_EQ(messages[0].message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(messages[0].wParam, static_cast<WPARAM>(VK_MENU));
    EXPECT_EQ(messages[0].lParam, 0x20380001);  // context bit: Alt is down
    EXPECT_EQ(messages[1].message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(messages[1].wParam, static_cast<WPARAM>('X'));
    EXPECT_EQ(messages[1].lParam, 0x202D0001);
    EXPECT_EQ(messages[2].message, static_cast<UINT>(WM_SYSCHAR));
    EXPECT_EQ(messages[2].wParam, static_cast<WPARAM>(u'x'));
    EXPECT_EQ(messages[3].message, static_cast<UINT>(WM_SYSKEYUP));
    EXPECT_EQ(static_cast<DWORD>(messages[3].lParam), 0xE02D0001u);
    EXPECT_EQ(messages[4].message, static_cast<UINT>(WM_SYSKEYUP));
    EXPECT_EQ(messages[4].wParam, static_cast<WPARAM>(VK_MENU));
    EXPECT_EQ(messages[5].message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(messages[5].wParam, static_cast<WPARAM>(VK_F10));
    EXPECT_EQ(messages[5].lParam & (1L << 29), 0);
    EXPECT_EQ(messages[6].message, static_cast<UINT>(WM_SYSKEYUP));
}

TEST_F(Input, AltF4PassedOnToDefWindowProcClosesTheWindow) {
    // Windows' default handling closes the window at the F4 press; whatever key comes after
    // it has no window to go to.
    input_->key(XK_Alt_L, true);
    input_->key(XK_F4, true);
    const auto close = window_->log().waitForMessage(WM_CLOSE, from_);
    input_->key(XK_F4, false);
    input_->key(XK_Alt_L, false);
    ASSERT_TRUE(close) << "Alt+F4 did not close the window; it received: " << window_->log().describe(from_);
    EXPECT_TRUE(window_->log().waitForMessage(WM_DESTROY, *close));
    EXPECT_TRUE(window_->waitFinished()) << "the window thread is still running";
    EXPECT_FALSE(IsWindow(window_->hwnd()));
}

// A window whose procedure consumes every key message, as the graphics window does.
class KeysConsumed : public Input {
  protected:
    WindowOptions options() override {
        WindowOptions o;
        o.handler = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (isKey(message)) return 0;
            return std::nullopt;
        };
        return o;
    }
};

TEST_F(KeysConsumed, AltF4IsAKeyNotAClose) {
    input_->key(XK_Alt_L, true);
    input_->tap(XK_F4);
    input_->key(XK_Alt_L, false);
    const auto messages = collect(isKey, 4);
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[1].message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(messages[1].wParam, static_cast<WPARAM>(VK_F4));
    EXPECT_EQ(messages[3].message, static_cast<UINT>(WM_SYSKEYUP));
    EXPECT_EQ(messages[3].wParam, static_cast<WPARAM>(VK_MENU));
    mark();
    EXPECT_TRUE(IsWindow(window_->hwnd()));
    const auto log = window_->log().snapshot();
    for (const Received& r : log) EXPECT_NE(r.message, static_cast<UINT>(WM_CLOSE));
}

TEST_F(Input, QuickCtrlStillCountsWhenTheKeyMessageIsHandledLater) {
    for (int vk : {VK_CONTROL, VK_LCONTROL, VK_RCONTROL}) GetAsyncKeyState(vk);  // forget earlier presses
    GetAsyncKeyState('S');
    input_->key(XK_Control_L, true);
    input_->tap(XK_s);
    input_->key(XK_Control_L, false);
    // Handle the S key-down only after Ctrl is up again, as a polling program may.
    const auto messages = collect(isKey, 5);
    ASSERT_EQ(messages.size(), 5u);
    EXPECT_EQ(messages[1].wParam, static_cast<WPARAM>('S'));
    const SHORT ctrl = GetAsyncKeyState(VK_CONTROL);
    EXPECT_NE(ctrl, 0) << "Ctrl pressed since the last query";
    EXPECT_EQ(ctrl & 0x8000, 0) << "but not down now";
    EXPECT_EQ(GetAsyncKeyState(VK_CONTROL), 0) << "the press is reported once";
    EXPECT_EQ(GetAsyncKeyState(VK_LCONTROL) & 1, 1);
    EXPECT_EQ(GetAsyncKeyState(VK_RCONTROL), 0);
    EXPECT_EQ(GetAsyncKeyState('S') & 1, 1);
}

TEST_F(Input, HeldKeyReadsAsDownNow) {
    input_->key(XK_Shift_L, true);
    ASSERT_EQ(collect(isKey, 1).size(), 1u);
    EXPECT_NE(GetAsyncKeyState(VK_SHIFT) & 0x8000, 0);
    EXPECT_NE(GetAsyncKeyState(VK_LSHIFT) & 0x8000, 0);
    input_->key(XK_Shift_L, false);
    ASSERT_EQ(collect(isKey, 1).size(), 1u);
    EXPECT_EQ(GetAsyncKeyState(VK_SHIFT) & 0x8000, 0);
}

TEST_F(Input, AutoRepeatIsRepeatedKeyDownsWithThePreviousStateBit) {
    // Hold the key until the server repeats it; the wait is for messages, not for time.
    input_->key(XK_d, true);
    std::vector<Received> downs;
    std::size_t next = from_;
    while (downs.size() < 3) {
        const auto index =
            window_->log().waitFor([](const Received& r) { return r.message == WM_KEYDOWN; }, next);
        if (!index) break;
        downs.push_back(window_->log().at(*index));
        next = *index + 1;
    }
    input_->key(XK_d, false);
    ASSERT_EQ(downs.size(), 3u) << "the held key did not repeat";
    EXPECT_EQ(downs[0].lParam & (1L << 30), 0);
    EXPECT_NE(downs[1].lParam & (1L << 30), 0);
    EXPECT_NE(downs[2].lParam & (1L << 30), 0);
    // No key-ups between the repeats.
    const auto log = window_->log().snapshot();
    for (std::size_t i = from_; i < next; ++i) EXPECT_NE(log[i].message, static_cast<UINT>(WM_KEYUP));
    const auto up = window_->log().waitForMessage(WM_KEYUP, next);
    ASSERT_TRUE(up);
}

TEST_F(Input, ChineseAndCharactersBeyondTheBmpArriveAsUtf16CodeUnits) {
    // Keys of their own whose symbols type the code points, through the input method.
    ASSERT_TRUE(input_->mapCharacters(U"中😀"));
    ASSERT_TRUE(input_->typeCharacter(U'中'));
    auto messages = collect(isKey, 3);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[1].message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(messages[1].wParam, 0x4E2Du);

    ASSERT_TRUE(input_->typeCharacter(U'😀'));  // outside the BMP
    messages = collect(isKey, 4);
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[1].message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(messages[1].wParam, 0xD83Du);
    EXPECT_EQ(messages[2].message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(messages[2].wParam, 0xDE00u);
}

TEST_F(Input, MouseButtonsCarryClientPositionAndKeyFlags) {
    const POINT at = screen(10, 20);
    input_->movePointerOnScreen(at.x, at.y);
    input_->click(1);
    input_->key(XK_Control_L, true);
    input_->click(3);
    input_->key(XK_Control_L, false);
    input_->click(2);
    std::vector<Received> buttons;
    for (const Received& r : collect(isMouse, 7)) {
        if (r.message != WM_MOUSEMOVE) buttons.push_back(r);
    }
    ASSERT_EQ(buttons.size(), 6u);
    const UINT expected[] = {WM_LBUTTONDOWN, WM_LBUTTONUP,   WM_RBUTTONDOWN,
                             WM_RBUTTONUP,   WM_MBUTTONDOWN, WM_MBUTTONUP};
    const WPARAM flags[] = {MK_LBUTTON, 0, MK_RBUTTON | MK_CONTROL, MK_CONTROL, MK_MBUTTON, 0};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(buttons[i].message, expected[i]) << i;
        EXPECT_EQ(buttons[i].wParam, flags[i]) << i;
        EXPECT_EQ(LOWORD(buttons[i].lParam), 10) << i;
        EXPECT_EQ(HIWORD(buttons[i].lParam), 20) << i;
    }
}

TEST_F(Input, MouseMoveReportsTheClientPositionAndHeldButtons) {
    const POINT a = screen(30, 40);
    input_->movePointerOnScreen(a.x, a.y);
    const auto move = window_->log().waitFor(
        [](const Received& r) { return r.message == WM_MOUSEMOVE && r.lParam == MAKELPARAM(30, 40); }, from_);
    ASSERT_TRUE(move);
    EXPECT_EQ(window_->log().at(*move).wParam, 0u);
    input_->button(1, true);
    const POINT b = screen(35, 41);
    input_->movePointerOnScreen(b.x, b.y);
    const auto drag = window_->log().waitFor(
        [](const Received& r) { return r.message == WM_MOUSEMOVE && r.lParam == MAKELPARAM(35, 41); }, *move);
    input_->button(1, false);
    ASSERT_TRUE(drag);
    EXPECT_EQ(window_->log().at(*drag).wParam, static_cast<WPARAM>(MK_LBUTTON));
}

TEST_F(Input, WheelNotchesAre120WithScreenCoordinates) {
    const POINT at = screen(50, 60);
    input_->movePointerOnScreen(at.x, at.y);
    input_->click(4);
    input_->click(5);
    std::vector<Received> wheels;
    for (const Received& r : collect([](UINT m) { return m == WM_MOUSEWHEEL; }, 2)) wheels.push_back(r);
    ASSERT_EQ(wheels.size(), 2u);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[0].wParam), 120);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[1].wParam), -120);
    EXPECT_EQ(static_cast<short>(LOWORD(wheels[0].lParam)), at.x);
    EXPECT_EQ(static_cast<short>(HIWORD(wheels[0].lParam)), at.y);
    POINT client{static_cast<short>(LOWORD(wheels[0].lParam)), static_cast<short>(HIWORD(wheels[0].lParam))};
    ScreenToClient(window_->hwnd(), &client);
    EXPECT_EQ(client.x, 50);
    EXPECT_EQ(client.y, 60);
}

TEST_F(Input, DoubleClicksOnlyForClassesThatAskForThem) {
    EXPECT_EQ(leftClicks(2), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));
}

class DoubleClickInput : public Input {
  protected:
    WindowOptions options() override {
        WindowOptions o;
        o.classStyle = CS_DBLCLKS;
        return o;
    }
};

TEST_F(DoubleClickInput, SecondQuickClickIsADoubleClickAndTheThirdAPress) {
    EXPECT_EQ(leftClicks(3), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP,
                                                WM_LBUTTONDOWN, WM_LBUTTONUP}));
}

// Captured, the window gets the pointer wherever a held button takes it, in its client
// coordinates; released, it is told so and moves outside go elsewhere again. GetCapture answers
// for the calling thread.
TEST_F(Input, CapturedMouseIsReportedOutsideTheWindowUntilReleased) {
    HWND previous = reinterpret_cast<HWND>(1);
    HWND captured = nullptr;
    window_->run([&] {
        previous = SetCapture(window_->hwnd());
        captured = GetCapture();
    });
    EXPECT_EQ(previous, nullptr);
    EXPECT_EQ(captured, window_->hwnd());
    const auto movedTo = [](int x, int y) {
        return [x, y](const Received& r) {
            return r.message == WM_MOUSEMOVE && static_cast<short>(LOWORD(r.lParam)) == x &&
                   static_cast<short>(HIWORD(r.lParam)) == y;
        };
    };
    const POINT start = screen(10, 10);
    input_->movePointerOnScreen(start.x, start.y);
    input_->button(1, true);
    const POINT outside = screen(-20, -30);
    input_->movePointerOnScreen(outside.x, outside.y);
    const auto move = window_->log().waitFor(movedTo(-20, -30), from_);
    ASSERT_TRUE(move) << "no move outside reached the capturing window; it received: "
                      << window_->log().describe(from_);

    HWND afterRelease = window_->hwnd();
    window_->run([&] {
        ReleaseCapture();
        afterRelease = GetCapture();
    });
    EXPECT_EQ(afterRelease, nullptr);
    const auto changed = window_->log().waitForMessage(WM_CAPTURECHANGED, *move);
    ASSERT_TRUE(changed) << "no WM_CAPTURECHANGED; the window received: " << window_->log().describe(*move);
    EXPECT_EQ(window_->log().at(*changed).lParam, 0) << "no window gains the capture";

    const POINT further = screen(-25, -30);
    input_->movePointerOnScreen(further.x, further.y);
    input_->button(1, false);
    const POINT inside = screen(10, 10);
    input_->movePointerOnScreen(inside.x, inside.y);
    const auto back = window_->log().waitFor(movedTo(10, 10), *changed);
    ASSERT_TRUE(back) << "the move back inside did not arrive; the window received: "
                      << window_->log().describe(*changed);
    for (std::size_t i = *changed; i < *back; ++i) {
        EXPECT_FALSE(movedTo(-25, -30)(window_->log().at(i))) << "a move outside arrived after the release";
    }
}

}  // namespace
