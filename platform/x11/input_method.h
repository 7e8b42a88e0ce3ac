// The X input method (XIM) behind typed text: fcitx, ibus or Xlib's own. Everything here is
// called with XLock held.
#pragma once

#include <X11/Xlib.h>
#include <windows.h>

namespace platform::user32 {
struct WindowRecord;
}

namespace platform::x11 {

using user32::WindowRecord;

// At the connection's start: opens the input method the user chose (XMODIFIERS) and watches
// the root window for input method servers that start later or again.
void startInputMethod(Display* display);
XIM xInputMethod();  // null when none could be opened

// Gives a new window its input context and asks for the events the input method filters.
void attachInputContext(Display* display, WindowRecord& window);

// XOpenIM waits without a limit for the server's answers, so a server that hangs, or is still
// starting, would hang the program with it. The chosen server (XMODIFIERS) is first asked for
// its locales, as XOpenIM will ask, and opened only once it has answered; meanwhile Xlib's own
// input method stands by. The program asks at its start, when the root window's list of
// servers changes and when a window takes the focus; nothing is asked while connected.
bool isInputMethodServersChange(const XEvent& event);
void askChosenServer(Display* display);
bool isChosenServerAnswer(const XEvent& event);
void connectAnsweringServer(Display* display, const XEvent& answer);

// Before a key goes to the input method: a chosen server that has gone away is let go first
// (Xlib would wait for its answer forever); keys then type through the keyboard map alone.
void noticeServerGone(Display* display);

// Where the window's caret is (client coordinates of its bottom left): the input method
// opens its candidate window there.
void setInputSpot(WindowRecord& window, POINT spot);

}  // namespace platform::x11
