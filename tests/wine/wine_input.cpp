#include "tests/wine/wine_input.h"

#include <X11/extensions/XTest.h>

void setKey(Display* display, unsigned long keysym, bool down) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), down ? True : False, CurrentTime);
    XSync(display, False);
}
