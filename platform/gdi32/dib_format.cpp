#include "platform/gdi32/dib_format.h"

#include <cstring>

namespace platform::gdi32 {
namespace {

std::uint32_t readPixel(const BYTE* row, int x, int bitsPerPixel, const RGBQUAD* table, DWORD tableSize) {
    switch (bitsPerPixel) {
        case 1: {
            unsigned index = (row[x / 8] >> (7 - x % 8)) & 1u;
            if (!table) return index ? 0xFFFFFFu : 0;
            if (index >= tableSize) return 0;
            const RGBQUAD& q = table[index];
            return (static_cast<std::uint32_t>(q.rgbRed) << 16) | (q.rgbGreen << 8) | q.rgbBlue;
        }
        case 24: {
            const BYTE* p = row + x * 3;
            return (static_cast<std::uint32_t>(p[2]) << 16) | (p[1] << 8) | p[0];
        }
        default: {
            std::uint32_t v;
            std::memcpy(&v, row + x * 4, 4);
            return v & 0xFFFFFFu;
        }
    }
}

}  // namespace

bool readPackedDib(const void* dib, std::vector<std::uint32_t>& pixels, int& width, int& height) {
    BITMAPINFOHEADER h;
    std::memcpy(&h, dib, sizeof h);
    if (h.biSize < sizeof h || h.biWidth <= 0 || h.biHeight == 0 || h.biPlanes != 1 ||
        h.biCompression != BI_RGB)
        return false;
    if (h.biBitCount != 1 && h.biBitCount != 24 && h.biBitCount != 32) return false;
    long long w = h.biWidth, rows = h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight;
    if (w * rows > kMaxBitmapPixels) return false;
    DWORD tableSize = h.biBitCount == 1 ? (h.biClrUsed ? h.biClrUsed : 2) : h.biClrUsed;
    const auto* base = static_cast<const BYTE*>(dib);
    const auto* table = reinterpret_cast<const RGBQUAD*>(base + h.biSize);
    const BYTE* bits = base + h.biSize + tableSize * sizeof(RGBQUAD);
    std::size_t stride = static_cast<std::size_t>(((w * h.biBitCount + 31) / 32) * 4);
    width = static_cast<int>(w);
    height = static_cast<int>(rows);
    pixels.assign(static_cast<std::size_t>(w * rows), 0);
    for (int y = 0; y < height; ++y) {
        int source = h.biHeight < 0 ? y : height - 1 - y;
        const BYTE* row = bits + stride * static_cast<std::size_t>(source);
        for (int x = 0; x < width; ++x) {
            pixels[static_cast<std::size_t>(y) * width + x] =
                readPixel(row, x, h.biBitCount, h.biBitCount == 1 ? table : nullptr, tableSize);
        }
    }
    return true;
}

bool readDeviceBits(const void* bits, int width, int height, int bitsPerPixel,
                    std::vector<std::uint32_t>& pixels) {
    pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    if (!bits) return true;
    std::size_t stride = static_cast<std::size_t>(((width * bitsPerPixel + 15) / 16) * 2);
    const auto* base = static_cast<const BYTE*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels[static_cast<std::size_t>(y) * width + x] =
                readPixel(base + stride * y, x, bitsPerPixel, nullptr, 0);
        }
    }
    return true;
}

}  // namespace platform::gdi32
