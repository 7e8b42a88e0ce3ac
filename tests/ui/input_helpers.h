// Builds input records as the window thread queues them, and a switchable Control key. Message
// kinds and key codes are the platform's own (WM_*, VK_* from <windows.h>), as in the records.
#pragma once

#include <windows.h>

#include <cstdint>

#include "graphics/input_message.h"

namespace test_input {

inline Gfx::InputMessage mouse(std::uint16_t kind, int x, int y, std::uint8_t flags = 0) {
    Gfx::InputMessage m{};
    m.kind = kind;
    m.mouse.mouseFlags = flags;
    m.mouse.x = static_cast<std::int16_t>(x);
    m.mouse.y = static_cast<std::int16_t>(y);
    return m;
}

inline Gfx::InputMessage key(std::uint8_t code) {
    Gfx::InputMessage m{};
    m.kind = WM_KEYDOWN;
    m.key.keyCode = code;
    return m;
}

inline Gfx::InputMessage character(char16_t ch) {
    Gfx::InputMessage m{};
    m.kind = WM_CHAR;
    m.text.character = ch;
    return m;
}

// The Control test handed to the dispatch instead of the platform's key state.
inline bool controlDown = false;
inline int controlQueries = 0;
inline bool fakeControl() {
    ++controlQueries;
    return controlDown;
}

}  // namespace test_input
