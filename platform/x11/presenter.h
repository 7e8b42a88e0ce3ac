// Puts pixels on an X window: what a BitBlt to a window's drawing context ends in.
#pragma once

#include <windows.h>

#include <cstdint>

namespace platform::x11 {

// Pixels 0x00RRGGBB, rows top to bottom, `stride` pixels apart; the block (srcX, srcY,
// width, height) lands at (dstX, dstY) of the window's client area, clipped to it.
void presentPixels(HWND window, const std::uint32_t* pixels, int stride, int srcX, int srcY, int width,
                   int height, int dstX, int dstY);

// MIT-SHM is used when the server offers it; disallowing it (to compare or to test the
// other road) makes every frame go through XPutImage.
void allowPresenterSharedMemory(bool allowed);
// Whether frames go through MIT-SHM; decided on the first frame.
bool presenterUsesSharedMemory();

}  // namespace platform::x11
