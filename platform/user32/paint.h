// WM_PAINT as the message loop retrieves it.
#pragma once

#include <windows.h>

namespace platform::user32 {

// WM_PAINT for a window of this thread that needs one (and whose repeat pause is over).
bool takePaintMessage(DWORD threadId, HWND filter, bool remove, MSG* msg);
// Milliseconds until a held WM_PAINT is due again, or INFINITE.
DWORD paintDueIn(DWORD threadId);

}  // namespace platform::user32
