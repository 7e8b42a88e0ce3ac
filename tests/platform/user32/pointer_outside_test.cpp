// A drag that leaves the window, with real X input: without the capture the window hears of the
// pointer only over its client area, as on Windows (X itself would report the whole drag to it);
// with the capture it hears everything, in client coordinates beyond the area.
#include <gtest/gtest.h>
// Xlib's macros (None, Bool, Status) would break gtest's headers: Xlib comes after.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>

#include "tests/platform/user32/input_fixture.h"

namespace {

using wintest::Input;
using wintest::isMouse;
using wintest::Received;

// Inside the 320 × 200 client area, left and above it, right of and below it.
constexpr POINT kInside{10, 10};
constexpr POINT kAboveLeft{-20, -30};
constexpr POINT kBeyond{350, 230};

auto mouseAt(UINT message, POINT at) {
    return [message, at](const Received& r) {
        return r.message == message && static_cast<short>(LOWORD(r.lParam)) == at.x &&
               static_cast<short>(HIWORD(r.lParam)) == at.y;
    };
}

class PointerOutside : public Input {
  protected:
    void moveTo(POINT client) {
        const POINT at = screen(client.x, client.y);
        input_->movePointerOnScreen(at.x, at.y);
    }

    // Moves to `client` and waits for the window to hear of it; its index in the log.
    std::optional<std::size_t> moveAndWait(POINT client, std::size_t from) {
        moveTo(client);
        const auto index = window_->log().waitFor(mouseAt(WM_MOUSEMOVE, client), from);
        EXPECT_TRUE(index) << "no WM_MOUSEMOVE at (" << client.x << ", " << client.y
                           << "); the window received: " << window_->log().describe(from);
        return index;
    }

    // The left button pressed inside; the index of its WM_LBUTTONDOWN.
    std::optional<std::size_t> pressInside() {
        const auto moved = moveAndWait(kInside, from_);
        if (!moved) return std::nullopt;
        input_->button(1, true);
        const auto down = window_->log().waitFor(mouseAt(WM_LBUTTONDOWN, kInside), *moved);
        EXPECT_TRUE(down) << "the press did not arrive; the window received: "
                          << window_->log().describe(*moved);
        return down;
    }

    // The mouse messages in the log strictly between two indices, named for a failure message.
    std::string mouseMessagesBetween(std::size_t after, std::size_t before) {
        std::string found;
        for (std::size_t i = after + 1; i < before; ++i) {
            const Received r = window_->log().at(i);
            if (!isMouse(r.message)) continue;
            char item[48];
            std::snprintf(item, sizeof item, " 0x%04x(%d, %d)", r.message,
                          static_cast<short>(LOWORD(r.lParam)), static_cast<short>(HIWORD(r.lParam)));
            found += item;
        }
        return found;
    }
};

// Moving back in with the button held reports it held; the release inside arrives. Nothing of
// the moves, clicks and wheel turns outside does.
TEST_F(PointerOutside, DragReturningInsideIsHeardOnlyInside) {
    const auto down = pressInside();
    ASSERT_TRUE(down);
    moveTo(kAboveLeft);
    input_->click(3);
    input_->click(2);
    input_->click(4);
    moveTo(kBeyond);
    const POINT back{15, 16};
    const auto reentry = moveAndWait(back, *down);
    ASSERT_TRUE(reentry);
    EXPECT_EQ(window_->log().at(*reentry).wParam, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(mouseMessagesBetween(*down, *reentry), "") << "messages arrived while the pointer was outside";
    input_->button(1, false);
    const auto up = window_->log().waitFor(mouseAt(WM_LBUTTONUP, back), *reentry);
    ASSERT_TRUE(up) << "the release inside did not arrive; the window received: "
                    << window_->log().describe(*reentry);
    EXPECT_EQ(window_->log().at(*up).wParam, 0u);
}

// Released outside, the window gets no WM_LBUTTONUP, as on Windows; the button's real state is
// still global (GetAsyncKeyState) and the next move inside reports it up.
TEST_F(PointerOutside, ReleaseOutsideIsNotReportedButTheButtonIsUp) {
    const auto down = pressInside();
    ASSERT_TRUE(down);
    moveTo(kAboveLeft);
    moveTo(kBeyond);
    EXPECT_NE(GetAsyncKeyState(VK_LBUTTON) & 0x8000, 0) << "the button is down while outside";
    input_->button(1, false);
    EXPECT_TRUE(mmtest::waitUntil([] { return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) == 0; }))
        << "the release outside never reached the process's key state";
    const auto inside = moveAndWait(kInside, *down);
    ASSERT_TRUE(inside);
    EXPECT_EQ(window_->log().at(*inside).wParam, 0u) << "the move inside still reports the button held";
    EXPECT_EQ(mouseMessagesBetween(*down, *inside), "") << "messages arrived while the pointer was outside";
}

// With the capture taken at the press, as a window that follows a drag does, the moves and the
// release outside all arrive, in client coordinates left of and beyond the client area; with no
// button held the pointer outside is not the window's, as SetCapture's documentation says.
TEST_F(PointerOutside, CapturedDragIsHeardOutsideInClientCoordinates) {
    const auto down = pressInside();
    ASSERT_TRUE(down);
    window_->run([this] { SetCapture(window_->hwnd()); });
    const auto left = moveAndWait(kAboveLeft, *down);
    ASSERT_TRUE(left);
    EXPECT_EQ(window_->log().at(*left).wParam, static_cast<WPARAM>(MK_LBUTTON));
    const auto beyond = moveAndWait(kBeyond, *left);
    ASSERT_TRUE(beyond);
    input_->button(1, false);
    const auto up = window_->log().waitFor(mouseAt(WM_LBUTTONUP, kBeyond), *beyond);
    ASSERT_TRUE(up) << "the release outside did not reach the capturing window; it received: "
                    << window_->log().describe(*beyond);
    EXPECT_EQ(window_->log().at(*up).wParam, 0u);
    // The capture outlives the release, but with no button held the pointer outside is over
    // another window, which Windows gives it to; inside it still comes.
    moveTo(POINT{-40, 100});
    const auto inside = moveAndWait(kInside, *up);
    ASSERT_TRUE(inside);
    EXPECT_EQ(mouseMessagesBetween(*up, *inside), "") << "a move outside arrived with no button held";
    // A press outside then is another window's click.
    moveTo(kBeyond);
    input_->click(1);
    const auto last = moveAndWait(POINT{12, 12}, *inside);
    ASSERT_TRUE(last);
    EXPECT_EQ(mouseMessagesBetween(*inside, *last), "") << "a click outside reached the window";
    HWND captured = nullptr;
    window_->run([&captured] {
        captured = GetCapture();
        ReleaseCapture();
    });
    EXPECT_EQ(captured, window_->hwnd());
}

}  // namespace
