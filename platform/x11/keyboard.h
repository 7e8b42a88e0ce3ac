// X key events as Windows sees keys: virtual-key codes, scan codes and the typed text.
#pragma once

#include <X11/Xlib.h>
#include <windows.h>

#include <string>

namespace platform::x11 {

struct KeyInfo {
    UINT vk = 0;        // generic for Shift, Ctrl and Alt, as WM_KEYDOWN carries it
    UINT sideVk = 0;    // VK_LSHIFT ... for those, else equal to vk
    UINT scanCode = 0;  // PC set-1 scan code
    bool extended = false;
    KeySym keysym = NoSymbol;  // after the modifiers of the event
};

// With XLock held.
KeyInfo describeKey(Display* display, XKeyEvent& event);
KeyInfo describeKeycode(Display* display, unsigned keycode);

// The text a key press types, as WM_CHAR code units: Windows' control characters for
// Enter, Backspace, Tab, Escape and Ctrl+letter; nothing for keys that type nothing. Reads
// the input method's answer (Xutf8LookupString) when the window has an input context.
std::u16string typedText(XKeyEvent& event, XIC inputContext, const KeyInfo& key, bool ctrl, bool alt);

// Text an input method committed without a key (a KeyPress whose keycode is 0).
std::u16string committedText(XKeyEvent& event, XIC inputContext);

}  // namespace platform::x11
