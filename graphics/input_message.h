// The input record the graphics window's thread delivers to the program's thread.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Gfx {

struct MouseInput {
    std::uint8_t mouseFlags;  // bit 0 Ctrl, 1 Shift, 2 left, 3 middle, 4 right button held
    std::int16_t x;           // client coordinates
    std::int16_t y;
    std::int16_t wheel;  // multiples of 120, positive away from the user; 0 for other kinds
};

struct KeyInput {
    std::uint8_t keyCode;  // virtual-key code
    std::uint8_t scanCode;
    std::uint8_t keyFlags;  // bit 0 extended key, bit 1 key was already down
};

struct CharInput {
    std::uint16_t character;  // one UTF-16 code unit
};

struct WindowInput {
    std::uint64_t wParam;
    std::int64_t lParam;
};

// kind is the platform window-message number; the variant follows from its category.
// Records are built from a zeroed record.
struct InputMessage {
    std::uint16_t kind;
    union {
        MouseInput mouse;
        KeyInput key;
        CharInput text;
        WindowInput window;
    };
};

// The record's layout is fixed: 24 bytes, the variant at offset 8.
static_assert(sizeof(InputMessage) == 24);
static_assert(offsetof(InputMessage, mouse) == 8);
static_assert(offsetof(MouseInput, x) == 2);
static_assert(offsetof(MouseInput, wheel) == 6);
static_assert(offsetof(WindowInput, lParam) == 8);

// Message categories, as filter bits.
enum : std::uint8_t { kInputMouse = 1, kInputKey = 2, kInputChar = 4, kInputWindow = 8, kInputAll = 255 };

// Mouse flag bits of InputMessage::mouse.mouseFlags.
enum : std::uint8_t { kMouseCtrl = 1, kMouseShift = 2, kMouseLeft = 4, kMouseMiddle = 8, kMouseRight = 16 };

}  // namespace Gfx
