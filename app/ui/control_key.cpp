// The Control test of the key commands, on the platform's asynchronous key state.
#include <windows.h>

#include "app/ui/dispatch.h"

bool isControlKeyDown() {
    // A key message is handled up to a frame after it arrived, when a quick Ctrl+S may already
    // have let go of Ctrl; only the "pressed since the last query" bit still tells. Some
    // platforms (Wine) keep that bit for the left and right keys alone, so all three are asked,
    // every time, which also clears each bit for the next command.
    const bool either = GetAsyncKeyState(VK_CONTROL) != 0;
    const bool left = GetAsyncKeyState(VK_LCONTROL) != 0;
    const bool right = GetAsyncKeyState(VK_RCONTROL) != 0;
    return either || left || right;
}

bool isShiftKeyDown() {
    const bool either = GetAsyncKeyState(VK_SHIFT) != 0;
    const bool left = GetAsyncKeyState(VK_LSHIFT) != 0;
    const bool right = GetAsyncKeyState(VK_RSHIFT) != 0;
    return either || left || right;
}
