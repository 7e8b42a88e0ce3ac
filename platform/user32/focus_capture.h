// Keyboard focus (activation) and mouse capture bookkeeping, as the window functions and the
// X event handling ask for it.
#pragma once

#include <windows.h>

namespace platform::user32 {

struct WindowRecord;

// With XLock held for all but the first.
void forgetFocus(HWND hwnd);
void requestFocusOnMap(WindowRecord& window);
void focusMappedWindow(WindowRecord& window);
// The window that has the keyboard focus changed; sends WM_ACTIVATE and focus messages.
void noteFocus(WindowRecord& window, bool focused);
// Whether the window has the mouse capture (SetCapture).
bool hasCapture(const WindowRecord& window);

}  // namespace platform::user32
