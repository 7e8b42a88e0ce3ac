// The input tests' fixture: a window of its own thread with the keyboard focus, the X driver
// sending real input, and waits for what the window receives after a mark.
#pragma once

#include <gtest/gtest.h>
// Xlib's macros (None, Bool, Status) would break gtest's headers: Xlib comes after.
#include <windows.h>

#include <memory>
#include <vector>

#include "tests/platform/user32/window_test_support.h"

namespace wintest {

inline bool isKey(UINT m) {
    return m == WM_KEYDOWN || m == WM_KEYUP || m == WM_SYSKEYDOWN || m == WM_SYSKEYUP || m == WM_CHAR ||
           m == WM_SYSCHAR;
}

inline bool isMouse(UINT m) {
    return m >= WM_MOUSEFIRST && m <= WM_MOUSELAST;
}

class Input : public ::testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_DISPLAY();
        window_ = std::make_unique<WindowThread>(options());
        ASSERT_NE(window_->hwnd(), nullptr);
        ASSERT_TRUE(window_->waitActive()) << "the window never got the keyboard focus";
        input_ = std::make_unique<mmtest::XDriver>();
        ASSERT_TRUE(input_->ok()) << "no X display";
        input_->releaseEverything();
        mark();
    }
    virtual WindowOptions options() { return {}; }

    // Everything before this point is ignored by the next wait.
    void mark() {
        PostMessageW(window_->hwnd(), WM_USER + 50, 0, 0);
        const auto index = window_->log().waitForMessage(WM_USER + 50, from_);
        ASSERT_TRUE(index) << "the posted mark never reached the window; it received: "
                           << window_->log().describe(from_);
        from_ = *index + 1;
    }

    // Waits for `count` messages of a kind (keys or mouse) after the mark; says what came
    // instead when they do not all arrive in time.
    std::vector<Received> collect(bool (*kind)(UINT), std::size_t count) {
        std::vector<Received> found;
        const std::size_t start = from_;
        std::size_t next = from_;
        while (found.size() < count) {
            const auto index =
                window_->log().waitFor([kind](const Received& r) { return kind(r.message); }, next);
            if (!index) break;
            found.push_back(window_->log().at(*index));
            next = *index + 1;
        }
        if (found.size() < count) {
            ADD_FAILURE() << "waited 5 s for " << count << " messages of the kind, " << found.size()
                          << " arrived; the window received: " << window_->log().describe(start);
        }
        from_ = next;
        return found;
    }

    POINT screen(int x, int y) { return wintest::screenPoint(window_->hwnd(), x, y); }

    // Clicks the left button `count` times at one place; the kinds of left-button messages.
    std::vector<UINT> leftClicks(std::size_t count) {
        const POINT at = screen(5, 5);
        input_->movePointerOnScreen(at.x, at.y);
        for (std::size_t i = 0; i < count; ++i) input_->click(1);
        std::vector<UINT> kinds;
        for (const Received& r :
             collect([](UINT m) { return m >= WM_LBUTTONDOWN && m <= WM_LBUTTONDBLCLK; }, 2 * count)) {
            kinds.push_back(r.message);
        }
        return kinds;
    }

    std::unique_ptr<WindowThread> window_;
    std::unique_ptr<mmtest::XDriver> input_;
    std::size_t from_ = 0;
};

}  // namespace wintest
