// Keys held across a wait, for the editor run by Wine.
#pragma once

#include <X11/Xlib.h>

// Presses or releases one key through XTest.
void setKey(Display* display, unsigned long keysym, bool down);
