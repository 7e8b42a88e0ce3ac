// A graphics window opened for a test, and the same window as the X server sees it.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "graphics/graphics.h"
#include "graphics/library_state.h"
#include "tests/support/x_driver.h"

namespace Gfx::testing {

// The window is titled after the test executable.
inline const std::string kTitle = "graphics_window_tests";

class WindowTest : public ::testing::Test {
  protected:
    static constexpr int kWidth = 200;
    static constexpr int kHeight = 120;

    void SetUp() override {
        ASSERT_TRUE(x.ok()) << "no X display";
        ASSERT_EQ(libraryOpenCount(), 0);
        handle = openGraphWindow(kWidth, kHeight, 1);
        ASSERT_NE(handle, nullptr);
        window = x.findWindow(kTitle);
        ASSERT_NE(window, 0u);
    }

    void TearDown() override {
        closeGraphWindow();
        EXPECT_EQ(libraryOpenCount(), 0);
    }

    // Takes messages until one of `kind` (and, if given, matching `accept`) arrives; the
    // others are dropped.
    template <typename Accept>
    bool waitForInput(unsigned kind, InputMessage* out, Accept accept, int timeoutMs = 5000) {
        std::string dropped;
        const bool found = waitUntil(
            [&] {
                InputMessage message;
                while (peekInputMessage(&message, kInputAll, true)) {
                    if (message.kind == kind && accept(message)) {
                        *out = message;
                        return true;
                    }
                    dropped += " 0x" + hex(message.kind);
                }
                return false;
            },
            timeoutMs);
        if (!found) {
            ADD_FAILURE() << "waited " << timeoutMs << " ms for input message 0x" << hex(kind)
                          << "; the queue gave instead:" << (dropped.empty() ? " nothing" : dropped);
        }
        return found;
    }

    static std::string hex(unsigned value) {
        char text[16];
        std::snprintf(text, sizeof text, "%04x", value);
        return text;
    }

    bool waitForInput(unsigned kind, InputMessage* out) {
        return waitForInput(kind, out, [](const InputMessage&) { return true; });
    }

    XDisplay x;
    HWND handle = nullptr;
    XWindow window = 0;
};

}  // namespace Gfx::testing
