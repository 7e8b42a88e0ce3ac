// A memory drawing context with a top-down 32-bit DIB section selected, whose pixels the
// benchmarks read directly. Plain Win32, so it builds against the stand-in and Windows alike.
#pragma once

#include <windows.h>

#include <cstdint>

#include "dib/format.h"

namespace frame_bench {

class PixelDC {
  public:
    PixelDC(int width, int height) {
        dc = CreateCompatibleDC(nullptr);
        const BITMAPINFO info = dib::topDownFormat(width, height);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels = static_cast<std::uint32_t*>(bits);
        if (dc != nullptr && bitmap_ != nullptr) old_ = SelectObject(dc, bitmap_);
    }
    ~PixelDC() {
        if (old_ != nullptr) SelectObject(dc, old_);
        if (bitmap_ != nullptr) DeleteObject(bitmap_);
        if (dc != nullptr) DeleteDC(dc);
    }
    PixelDC(const PixelDC&) = delete;
    PixelDC& operator=(const PixelDC&) = delete;

    bool ok() const { return dc != nullptr && pixels != nullptr; }

    HDC dc = nullptr;
    std::uint32_t* pixels = nullptr;

  private:
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

}  // namespace frame_bench
