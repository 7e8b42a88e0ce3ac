// A memory DC with a top-down 32-bit DIB section, and pixel helpers for the tests.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "dib/format.h"

namespace gdi_test {

class Canvas {
  public:
    Canvas(int width, int height, COLORREF background = RGB(255, 255, 255)) : width_(width), height_(height) {
        dc_ = CreateCompatibleDC(nullptr);
        const BITMAPINFO info = dib::topDownFormat(width, height);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels_ = static_cast<std::uint32_t*>(bits);
        oldBitmap_ = SelectObject(dc_, bitmap_);
        SetGraphicsMode(dc_, GM_ADVANCED);
        clear(background);
    }
    ~Canvas() {
        // Put the DC's original objects back so the test's own objects can be deleted.
        SelectObject(dc_, oldBitmap_);
        SelectObject(dc_, GetStockObject(BLACK_PEN));
        SelectObject(dc_, GetStockObject(WHITE_BRUSH));
        SelectObject(dc_, GetStockObject(SYSTEM_FONT));
        for (HGDIOBJ object : owned_) DeleteObject(object);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    std::uint32_t* pixels() const { return pixels_; }

    void clear(COLORREF color) {
        std::uint32_t p = ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
        for (int i = 0; i < width_ * height_; ++i) pixels_[i] = p;
    }
    COLORREF at(int x, int y) const {
        std::uint32_t p = pixels_[y * width_ + x];
        return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
    }
    bool is(int x, int y, COLORREF color) const { return at(x, y) == color; }
    int count(COLORREF color) const {
        int n = 0;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) n += is(x, y, color);
        return n;
    }
    // Smallest rectangle (inclusive) holding every pixel of the colour; left > right when none.
    RECT bounds(COLORREF color) const {
        RECT r{width_, height_, -1, -1};
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                if (!is(x, y, color)) continue;
                if (x < r.left) r.left = x;
                if (y < r.top) r.top = y;
                if (x > r.right) r.right = x;
                if (y > r.bottom) r.bottom = y;
            }
        }
        return r;
    }
    bool same(const Canvas& other) const {
        for (int i = 0; i < width_ * height_; ++i) {
            if (pixels_[i] != other.pixels_[i]) return false;
        }
        return true;
    }
    // Selects an object the canvas deletes at the end.
    HGDIOBJ use(HGDIOBJ object) {
        owned_.push_back(object);
        SelectObject(dc_, object);
        return object;
    }
    void pen(int style, int width, COLORREF color) { use(CreatePen(style, width, color)); }
    void geometricPen(int width, COLORREF color, DWORD extra = 0) {
        LOGBRUSH lb{BS_SOLID, color, 0};
        use(ExtCreatePen(PS_GEOMETRIC | PS_SOLID | extra, static_cast<DWORD>(width), &lb, 0, nullptr));
    }
    void brush(COLORREF color) { use(CreateSolidBrush(color)); }
    // A one-pixel solid outline and a solid fill, the set-up most shape tests start from.
    void outlineAndFill(COLORREF outline, COLORREF fill) {
        pen(PS_SOLID, 1, outline);
        brush(fill);
    }
    void nullBrush() { SelectObject(dc_, GetStockObject(NULL_BRUSH)); }
    void nullPen() { SelectObject(dc_, GetStockObject(NULL_PEN)); }
    void font(LONG height, const char16_t* face = u"微软雅黑") {
        LOGFONTW lf{};
        lf.lfHeight = height;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfQuality = NONANTIALIASED_QUALITY;
        for (int i = 0; face[i] && i < LF_FACESIZE - 1; ++i) lf.lfFaceName[i] = face[i];
        use(CreateFontIndirectW(&lf));
    }

  private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ oldBitmap_;
    std::uint32_t* pixels_ = nullptr;
    std::vector<HGDIOBJ> owned_;
};

// The edges of a painted area (right and bottom excluded), each checked on its own.
inline void expectBounds(const RECT& r, int left, int top, int right, int bottom) {
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right, right);
    EXPECT_EQ(r.bottom, bottom);
}

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);

}  // namespace gdi_test
