#include "platform/user32/key_state.h"

#include <array>
#include <atomic>
#include <cstdint>

#include "platform/user32/message_queue.h"

namespace platform::user32 {

namespace {

constexpr std::uint8_t kDown = 1;
constexpr std::uint8_t kPressed = 2;  // pressed since the last GetAsyncKeyState for the key

std::array<std::atomic<std::uint8_t>, 256>& asyncKeys() {
    static std::array<std::atomic<std::uint8_t>, 256> keys{};
    return keys;
}

void set(UINT vk, bool down, bool pressed) {
    auto& key = asyncKeys()[vk & 0xFF];
    if (down) {
        key.fetch_or(pressed ? kDown | kPressed : kDown);
    } else {
        key.fetch_and(static_cast<std::uint8_t>(~kDown));
    }
}

bool isDown(UINT vk) {
    return (asyncKeys()[vk & 0xFF].load() & kDown) != 0;
}

}  // namespace

void noteAsyncKey(UINT vk, bool down, bool pressed) {
    set(vk, down, pressed);
    const UINT generic = genericModifierOf(vk);
    if (generic == 0) return;
    const UINT left = generic == VK_SHIFT ? VK_LSHIFT : generic == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
    if (down) {
        set(generic, true, pressed);
    } else if (!isDown(left) && !isDown(left + 1)) {
        set(generic, false, false);
    }
}

void clearAsyncKeys() {
    for (auto& key : asyncKeys()) key.fetch_and(static_cast<std::uint8_t>(~kDown));
}

namespace {

// The mouse button messages and the button state each leaves.
struct ButtonMessage {
    UINT message;
    UINT vk;
    bool down;
};

constexpr ButtonMessage kButtonMessages[] = {
    {WM_LBUTTONDOWN, VK_LBUTTON, true},   {WM_LBUTTONDBLCLK, VK_LBUTTON, true},
    {WM_LBUTTONUP, VK_LBUTTON, false},    {WM_RBUTTONDOWN, VK_RBUTTON, true},
    {WM_RBUTTONDBLCLK, VK_RBUTTON, true}, {WM_RBUTTONUP, VK_RBUTTON, false},
    {WM_MBUTTONDOWN, VK_MBUTTON, true},   {WM_MBUTTONDBLCLK, VK_MBUTTON, true},
    {WM_MBUTTONUP, VK_MBUTTON, false},
};

}  // namespace

void noteRetrievedMessage(ThreadQueue& queue, const MSG& msg) {
    auto press = [&](UINT vk, bool down, bool repeat) {
        BYTE& state = queue.keyState[vk & 0xFF];
        if (down) {
            if (!repeat) state ^= 0x01;
            state |= 0x80;
        } else {
            state &= 0x7F;
        }
    };
    switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP: {
            const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
            const bool repeat = down && (msg.lParam & (1L << 30)) != 0;
            const UINT vk = static_cast<UINT>(msg.wParam & 0xFF);
            const bool extended = (msg.lParam & (1L << 24)) != 0;
            const UINT scan = static_cast<UINT>((msg.lParam >> 16) & 0xFF);
            press(vk, down, repeat);
            if (vk == VK_SHIFT) press(scan == 0x36 ? VK_RSHIFT : VK_LSHIFT, down, repeat);
            if (vk == VK_CONTROL) press(extended ? VK_RCONTROL : VK_LCONTROL, down, repeat);
            if (vk == VK_MENU) press(extended ? VK_RMENU : VK_LMENU, down, repeat);
            break;
        }
        default:
            for (const ButtonMessage& button : kButtonMessages) {
                if (button.message == msg.message) press(button.vk, button.down, false);
            }
            break;
    }
}

UINT genericModifierOf(UINT vk) {
    switch (vk) {
        case VK_LSHIFT:
        case VK_RSHIFT:
            return VK_SHIFT;
        case VK_LCONTROL:
        case VK_RCONTROL:
            return VK_CONTROL;
        case VK_LMENU:
        case VK_RMENU:
            return VK_MENU;
        default:
            return 0;
    }
}

const char16_t* controlKeyText(UINT vk, bool ctrl) {
    switch (vk) {
        case VK_RETURN:
            return ctrl ? u"\n" : u"\r";
        case VK_BACK:
            return ctrl ? u"\x7f" : u"\b";
        case VK_TAB:
            return ctrl ? u"" : u"\t";
        case VK_ESCAPE:
            return u"\x1b";
        default:
            return nullptr;
    }
}

}  // namespace platform::user32

SHORT WINAPI GetAsyncKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) return 0;
    const std::uint8_t state = platform::user32::asyncKeys()[static_cast<std::size_t>(virtualKey)].fetch_and(
        static_cast<std::uint8_t>(~platform::user32::kPressed));
    int result = 0;
    if (state & platform::user32::kDown) result |= 0x8000;
    if (state & platform::user32::kPressed) result |= 0x0001;
    return static_cast<SHORT>(result);
}

SHORT WINAPI GetKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) return 0;
    const BYTE state = platform::user32::currentQueue()->keyState[static_cast<std::size_t>(virtualKey)];
    // As on Windows: the down bit shows as a negative value, the toggle in bit 0.
    return static_cast<SHORT>(static_cast<signed char>(state & 0x81));
}
