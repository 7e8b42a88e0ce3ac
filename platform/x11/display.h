// The process's one X connection. The window thread pumps events on it while the program's
// thread presents frames, so every use of it, and of the window and class tables, happens
// under XLock: one re-entrant lock, always taken before a thread queue's own lock.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace platform::x11 {

class XLock {
  public:
    XLock();
    ~XLock();
    XLock(const XLock&) = delete;
    XLock& operator=(const XLock&) = delete;
};

struct XAtoms {
    Atom wmProtocols;
    Atom wmDeleteWindow;
    Atom wmState;
    Atom netWmName;
    Atom netWmIconName;
    Atom netWmPid;
    Atom netWmPing;
    Atom utf8String;
    Atom motifWmHints;
};

// With XLock held. Opens the connection on first use; null when no X server answers.
Display* xDisplay();
// With XLock held and the display open.
const XAtoms& xAtoms();
unsigned xAltMask();
void xRefreshModifiers();
// Catches the X errors of the requests made between the two calls (with XLock held);
// the end waits for the server and tells whether any request failed.
void xBeginErrorTrap();
bool xEndErrorTrap();
// True once the connection is open; lets callers skip X work when it never was.
bool xDisplayOpened();

}  // namespace platform::x11
