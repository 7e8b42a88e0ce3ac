// The X input method (XIM) behind typed text: fcitx, ibus or Xlib's own. Everything here is
// called with XLock held.
#pragma once

#include <X11/Xlib.h>
#include <windows.h>

namespace platform::win {

struct WindowRecord;

// At the connection's start: opens the input method the user chose (XMODIFIERS) and watches
// the root window for input method servers that start later or again.
void startInputMethod(Display* display);
XIM xInputMethod();  // null when none could be opened

// Gives a new window its input context and asks for the events the input method filters.
void attachInputContext(Display* display, WindowRecord& window);

// True for the root window's change of the list of input method servers. Then, and when a
// window takes the focus, the program connects to the chosen server if it is not yet (it was
// not running, not answering, or went away); nothing happens when it is.
bool isInputMethodServersChange(const XEvent& event);
void reconnectInputMethod(Display* display);

// Where the window's caret is (client coordinates of its bottom left): the input method
// opens its candidate window there.
void setInputSpot(WindowRecord& window, POINT spot);

}  // namespace platform::win
