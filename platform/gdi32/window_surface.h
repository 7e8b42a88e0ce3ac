// The seam between the two halves of the Linux stand-in. The window half (user32 on Xlib)
// gets a drawing context for a window from the drawing half, and hands the drawing half the
// function that puts pixels on an X window. A BitBlt whose destination is a window DC calls
// that function with the source memory DC's pixels; nothing else is drawn on a window DC.
#pragma once

#include <windows.h>

#include <cstdint>

namespace platform::gdi32 {

// Pixels are 0x00RRGGBB, rows top to bottom, stride in pixels.
using WindowPresenter = void (*)(HWND window, const std::uint32_t* pixels, int stride, int srcX, int srcY,
                                 int width, int height, int dstX, int dstY);

void setWindowPresenter(WindowPresenter presenter);

HDC createWindowDC(HWND window);  // what GetDC returns
void destroyWindowDC(HDC dc);     // what ReleaseDC does
HWND windowFromDC(HDC dc);        // null for a DC that is not a window DC

// Clips one axis of a copy at 0 on one side (`start`), moving the other side's corner and the
// length along: both ends of a BitBlt onto a window clip this way.
inline void clipCopyStart(int& start, int& otherStart, int& length) {
    if (start < 0) {
        otherStart -= start;
        length += start;
        start = 0;
    }
}

}  // namespace platform::gdi32
