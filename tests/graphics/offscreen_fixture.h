// Drawing on an off-screen IMAGE with no display: the image is the working target, cleared to
// black, and the tests read its pixels and drawing state back.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "graphics/graphics.h"
#include "graphics/image.h"
#include "tests/graphics/drawing_state.h"

#ifndef _WIN32
#include "platform/gdi32/gdi_objects.h"
#endif

namespace Gfx {

inline constexpr COLORREF kRed = RGB(255, 0, 0);
inline constexpr COLORREF kGreen = RGB(0, 255, 0);
inline constexpr COLORREF kBlue = RGB(0, 0, 255);
inline constexpr DWORD kRedPixel = 0xFF0000;
inline constexpr DWORD kGreenPixel = 0x00FF00;
inline constexpr DWORD kBluePixel = 0x0000FF;

// Drawing objects the process holds: a leak shows as a growing count.
inline std::size_t liveDrawingObjects() {
#ifdef _WIN32
    return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
#else
    return platform::gdi32::liveObjectCount();
#endif
}

class OffscreenTest : public ::testing::Test {
  protected:
    static constexpr int kSize = 40;

    void SetUp() override {
        setWorkingImage(&image);
        clearDevice();
    }

    DWORD at(int x, int y) const { return image.pixels[y * image.width + x]; }

    int countPixels(DWORD pixel) const {
        int count = 0;
        for (int i = 0; i < image.width * image.height; ++i) count += image.pixels[i] == pixel ? 1 : 0;
        return count;
    }

    // Smallest rectangle (both edges included) around the pixels that are not `background`.
    RECT paintedArea(DWORD background = 0) const {
        RECT area = {image.width, image.height, -1, -1};
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                if (at(x, y) == background) continue;
                if (x < area.left) area.left = x;
                if (y < area.top) area.top = y;
                if (x > area.right) area.right = x;
                if (y > area.bottom) area.bottom = y;
            }
        }
        return area;
    }

    IMAGE image{kSize, kSize};
};

}  // namespace Gfx

// Global, where argument-dependent lookup finds them for RECT.
inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline std::ostream& operator<<(std::ostream& out, const RECT& r) {
    return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
