// X events become Windows messages: the input reader and the pump.
#pragma once

#include <X11/Xlib.h>

namespace platform::x11 {

// Reads every X event that has arrived and turns it into messages for the windows' owners.
void pumpXEvents();
// The input reader: a thread of the library that reads X events the moment they arrive, as
// Windows' raw input thread does, so input reaches the queues (and the asynchronous key
// state) whether or not the window's thread is pumping. Started when the display opens.
void startInputReader(Display* display);
bool inputReaderRunning();
void wakeInputReader();  // with XLock held: events wait in Xlib's queue

}  // namespace platform::x11
