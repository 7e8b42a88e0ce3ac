// The keys a view is steered with, typed on the X keyboard, reach the window as Windows' virtual
// keys, with Ctrl and Shift seen as Windows shows them: in the thread's key state as of the key
// message (GetKeyState) and in the keyboard's state now (GetAsyncKeyState).
#include <gtest/gtest.h>
// Xlib's macros (None, Bool, Status) would break gtest's headers: Xlib comes after.
#include <X11/keysym.h>
#include <windows.h>

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "tests/platform/user32/input_fixture.h"

namespace {

using wintest::Input;
using wintest::Received;
using wintest::WindowOptions;

// A key-down as the window procedure saw it.
struct SeenKey {
    WPARAM vk;
    LPARAM lParam;
    bool ctrl;
    bool shift;
};

struct SeenKeys {
    std::mutex mutex;
    std::vector<SeenKey> downs;
};

class KeyCodes : public Input {
  protected:
    WindowOptions options() override {
        WindowOptions o;
        o.handler = [seen = seen_](HWND, UINT message, WPARAM wParam,
                                   LPARAM lParam) -> std::optional<LRESULT> {
            if (message == WM_KEYDOWN) {
                std::lock_guard lock(seen->mutex);
                seen->downs.push_back(
                    {wParam, lParam, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_SHIFT) < 0});
            }
            return std::nullopt;
        };
        return o;
    }

    // The log hears a message as it is posted; the window procedure sees it a moment later.
    std::optional<SeenKey> seenDown(WPARAM vk) {
        std::optional<SeenKey> found;
        mmtest::waitUntil([&] {
            std::lock_guard lock(seen_->mutex);
            for (const SeenKey& key : seen_->downs) {
                if (key.vk == vk) found = key;
            }
            return found.has_value();
        });
        return found;
    }

    std::shared_ptr<SeenKeys> seen_ = std::make_shared<SeenKeys>();
};

struct KeyCase {
    const char* name;
    unsigned long keysym;
    bool ctrl;
    bool shift;
    UINT vk;
    bool extended;
};

constexpr KeyCase kKeys[] = {
    {"Home", XK_Home, false, false, VK_HOME, true},
    {"Left", XK_Left, false, false, VK_LEFT, true},
    {"Up", XK_Up, false, false, VK_UP, true},
    {"Right", XK_Right, false, false, VK_RIGHT, true},
    {"Down", XK_Down, false, false, VK_DOWN, true},
    {"Ctrl+0", XK_0, true, false, '0', false},
    {"Ctrl+=", XK_equal, true, false, VK_OEM_PLUS, false},
    {"Ctrl+Shift+= (Ctrl++)", XK_equal, true, true, VK_OEM_PLUS, false},
    {"Ctrl+-", XK_minus, true, false, VK_OEM_MINUS, false},
    {"Ctrl+keypad +", XK_KP_Add, true, false, VK_ADD, false},
    {"Ctrl+keypad -", XK_KP_Subtract, true, false, VK_SUBTRACT, false},
    {"Ctrl+F", XK_f, true, false, 'F', false},
    {"Shift+Enter", XK_Return, false, true, VK_RETURN, false},
};

TEST_F(KeyCodes, ViewKeysAreWindowsVirtualKeysWithCtrlAndShiftState) {
    for (const KeyCase& k : kKeys) {
        SCOPED_TRACE(k.name);
        if (k.ctrl) input_->key(XK_Control_L, true);
        if (k.shift) input_->key(XK_Shift_L, true);
        input_->key(k.keysym, true);
        const auto down = window_->log().waitFor(
            [&k](const Received& r) { return r.message == WM_KEYDOWN && r.wParam == k.vk; }, from_);
        // Held now, while the key is down, whatever the window has handled.
        EXPECT_EQ((GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0, k.ctrl);
        EXPECT_EQ((GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0, k.shift);
        input_->key(k.keysym, false);
        if (k.shift) input_->key(XK_Shift_L, false);
        if (k.ctrl) input_->key(XK_Control_L, false);
        ASSERT_TRUE(down) << "no WM_KEYDOWN of 0x" << std::hex << k.vk
                          << "; the window received: " << window_->log().describe(from_);
        const std::optional<SeenKey> seen = seenDown(k.vk);
        ASSERT_TRUE(seen);
        EXPECT_EQ((seen->lParam >> 24) & 1, k.extended ? 1 : 0) << "extended-key bit";
        EXPECT_EQ(seen->ctrl, k.ctrl) << "GetKeyState(VK_CONTROL) in the key's message";
        EXPECT_EQ(seen->shift, k.shift) << "GetKeyState(VK_SHIFT) in the key's message";
        mark();
        {
            std::lock_guard lock(seen_->mutex);
            seen_->downs.clear();
        }
    }
    EXPECT_TRUE(mmtest::waitUntil([] { return (GetAsyncKeyState(VK_CONTROL) & 0x8000) == 0; }));
}

// On layouts where '+' is a key's own symbol (the German one), that key is VK_OEM_PLUS, as
// Windows has it for every layout: Ctrl++ zooms there too.
TEST_F(KeyCodes, PlusKeyOfAnotherLayoutIsVkOemPlus) {
    ASSERT_TRUE(input_->mapKeysym(XK_plus));
    ASSERT_TRUE(input_->tapMapped(XK_plus, {XK_Control_L}));
    const auto down = window_->log().waitFor(
        [](const Received& r) { return r.message == WM_KEYDOWN && r.wParam != VK_CONTROL; }, from_);
    ASSERT_TRUE(down) << "no key-down; the window received: " << window_->log().describe(from_);
    EXPECT_EQ(window_->log().at(*down).wParam, static_cast<WPARAM>(VK_OEM_PLUS));
    const std::optional<SeenKey> seen = seenDown(VK_OEM_PLUS);
    ASSERT_TRUE(seen);
    EXPECT_TRUE(seen->ctrl);
}

}  // namespace
