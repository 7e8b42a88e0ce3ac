// What the window, message and input files ask of each other.
#pragma once

#include <X11/Xlib.h>
#include <windows.h>

namespace platform::win {

struct ThreadQueue;
struct WindowRecord;

// Destroys, without messages, the windows a thread still owns when it ends.
void destroyWindowsOfThread(DWORD threadId);

// Reads every X event that has arrived and turns it into messages for the windows' owners.
void pumpXEvents();
// The input reader: a thread of the library that reads X events the moment they arrive, as
// Windows' raw input thread does, so input reaches the queues (and the asynchronous key
// state) whether or not the window's thread is pumping. Started when the display opens.
void startInputReader(Display* display);
bool inputReaderRunning();
void wakeInputReader();  // with XLock held: events wait in Xlib's queue
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
