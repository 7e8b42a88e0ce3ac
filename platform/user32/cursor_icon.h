// Cursors: the standard ones LoadCursorW gives out, as X font cursors.
#pragma once

#include <X11/Xlib.h>
#include <windows.h>

namespace platform::user32 {

// With XLock held and the display open; None for a cursor that is not one of ours.
Cursor xCursorFor(HCURSOR cursor);

}  // namespace platform::user32
