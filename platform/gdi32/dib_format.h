// Reading device-independent bitmap memory (packed DIBs, CreateBitmap bits) into 0x00RRGGBB
// pixels, top row first.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace platform::gdi32 {

constexpr long long kMaxBitmapPixels = 1LL << 28;

// A packed DIB: BITMAPINFOHEADER, colour table, bits. 1, 24 and 32 bits per pixel, BI_RGB.
bool readPackedDib(const void* dib, std::vector<std::uint32_t>& pixels, int& width, int& height);
// CreateBitmap's bits: rows padded to 16 bits; 1 bit (0 black, 1 white) or 32 bits per pixel.
bool readDeviceBits(const void* bits, int width, int height, int bitsPerPixel,
                    std::vector<std::uint32_t>& pixels);

}  // namespace platform::gdi32
