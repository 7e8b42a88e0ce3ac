// What the window, message and input files ask of each other.
#pragma once

#include <windows.h>

namespace platform::win {

struct ThreadQueue;
struct WindowRecord;

// Destroys, without messages, the windows a thread still owns when it ends.
void destroyWindowsOfThread(DWORD threadId);

// Reads every X event that has arrived and turns it into messages for the windows' owners.
void pumpXEvents();
// True when the calling thread should also watch the X socket while it waits.
bool threadOwnsWindows(DWORD threadId);

// WM_PAINT for a window of this thread that needs one (and whose repeat pause is over).
bool takePaintMessage(DWORD threadId, HWND filter, bool remove, MSG* msg);
// Milliseconds until a held WM_PAINT is due again, or INFINITE.
DWORD paintDueIn(DWORD threadId);

// Focus and capture bookkeeping, with XLock held for the last three.
void forgetFocus(HWND hwnd);
void requestFocusOnMap(WindowRecord& window);
void focusMappedWindow(WindowRecord& window);
// The window that has the keyboard focus changed; sends WM_ACTIVATE and focus messages.
void noteFocus(WindowRecord& window, bool focused);

// Updates the thread's GetKeyState view from a message it retrieved.
void noteRetrievedMessage(ThreadQueue& queue, const MSG& msg);

}  // namespace platform::win
