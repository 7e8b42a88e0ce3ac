// The pixel memory everything here draws into and reads back: a device-independent bitmap of
// 32 bits a pixel (0x00RRGGBB), rows top to bottom. Plain Win32 and header-only, so the
// graphics layer, the stand-in's tests and the benchmarks that also run on Windows' GDI share
// one description of it.
#pragma once

#include <windows.h>

namespace dib {

inline BITMAPINFO topDownFormat(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: the first row is the top one
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace dib
