// The asynchronous key state behind GetAsyncKeyState: updated as X input is read, before
// any message reaches a window, so a key pressed and released before the program looks at
// its message still counts as "pressed since the last query".
#pragma once

#include <windows.h>

namespace platform::user32 {

struct ThreadQueue;

// vk is the side-specific code for Shift, Ctrl and Alt (VK_LSHIFT ...); the generic code
// follows from both sides.
// A press also marks the key as pressed since the last query; `pressed` false only records
// where the key is (when the state is read back from the server after a focus change).
void noteAsyncKey(UINT vk, bool down, bool pressed = true);

// VK_SHIFT, VK_CONTROL or VK_MENU for a side-specific modifier code; 0 for any other key.
UINT genericModifierOf(UINT vk);
void clearAsyncKeys();

// The control character Enter, Backspace, Tab and Escape type (Ctrl changes the first two
// and makes Tab type nothing), or null for any other key.
const char16_t* controlKeyText(UINT vk, bool ctrl);

// Updates the thread's GetKeyState view from a message it retrieved.
void noteRetrievedMessage(ThreadQueue& queue, const MSG& msg);

}  // namespace platform::user32
