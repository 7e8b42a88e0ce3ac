// What the window functions offer the message queues and the message loop.
#pragma once

#include <windows.h>

namespace platform::user32 {

// Destroys, without messages, the windows a thread still owns when it ends.
void destroyWindowsOfThread(DWORD threadId);
// True when the calling thread should also watch the X socket while it waits.
bool threadOwnsWindows(DWORD threadId);

}  // namespace platform::user32
