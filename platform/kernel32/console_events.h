// Console control events inside the stand-in: the X back-end raises CTRL_LOGOFF_EVENT when the
// session's connection is gone.
#pragma once

#include <windows.h>

namespace platform::kernel32 {

// Calls the routines SetConsoleCtrlHandler registered, newest first, on the calling thread,
// until one answers TRUE; answers whether one did.
bool callConsoleHandlers(DWORD event);

}  // namespace platform::kernel32
