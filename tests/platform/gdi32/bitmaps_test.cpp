// DIB sections, pixels and block copies.
#include <vector>

#include "platform/gdi32/window_surface.h"
#include "tests/platform/gdi32/canvas.h"

using namespace gdi_test;

namespace {

TEST(DibSections, PixelsAreRgbWithBlueLowest) {
    Canvas c(8, 4);
    EXPECT_TRUE(SetPixelV(c.dc(), 3, 2, RGB(255, 0, 0)));
    EXPECT_EQ(c.pixels()[2 * 8 + 3], 0x00FF0000u);
    SetPixelV(c.dc(), 0, 0, RGB(0, 0, 255));
    EXPECT_EQ(c.pixels()[0], 0x000000FFu);
    EXPECT_EQ(GetPixel(c.dc(), 3, 2), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(c.dc(), 8, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(c.dc(), -1, 0), CLR_INVALID);
    // Writing the memory directly shows through the DC.
    c.pixels()[1] = 0x0000FF00;
    EXPECT_EQ(GetPixel(c.dc(), 1, 0), RGB(0, 255, 0));

    BITMAPINFO bad{};
    bad.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bad.bmiHeader.biWidth = 4;
    bad.bmiHeader.biHeight = -4;
    bad.bmiHeader.biPlanes = 1;
    bad.bmiHeader.biBitCount = 8;
    void* bits = &bad;
    EXPECT_EQ(CreateDIBSection(nullptr, &bad, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
    bad.bmiHeader.biBitCount = 32;
    bad.bmiHeader.biWidth = 1 << 20;
    bad.bmiHeader.biHeight = -(1 << 20);
    EXPECT_EQ(CreateDIBSection(nullptr, &bad, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
}

TEST(DibSections, GetDIBitsReadsRowsInEitherOrder) {
    Canvas c(3, 2);
    SetPixelV(c.dc(), 0, 0, kRed);
    SetPixelV(c.dc(), 2, 1, kBlue);
    HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(c.dc(), OBJ_BITMAP));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    EXPECT_EQ(GetDIBits(c.dc(), bitmap, 0, 2, nullptr, &info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(info.bmiHeader.biWidth, 3);
    EXPECT_EQ(info.bmiHeader.biBitCount, 32);
    std::vector<std::uint32_t> rows(6);
    info.bmiHeader.biHeight = 2;  // bottom-up: the last row first
    EXPECT_EQ(GetDIBits(c.dc(), bitmap, 0, 2, rows.data(), &info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(rows[2], 0x000000FFu);
    EXPECT_EQ(rows[3], 0x00FF0000u);
}

TEST(BitBlt, CopiesBetweenMemoryDcsWithClipping) {
    Canvas src(20, 20, kBlue), dst(20, 20);
    SetPixelV(src.dc(), 0, 0, kRed);
    EXPECT_TRUE(BitBlt(dst.dc(), 5, 5, 10, 10, src.dc(), 0, 0, SRCCOPY));
    EXPECT_TRUE(dst.is(5, 5, kRed));
    EXPECT_EQ(dst.count(kBlue), 99);
    // Parts beyond either bitmap are left alone.
    Canvas far(20, 20);
    EXPECT_TRUE(BitBlt(far.dc(), 15, 15, 10, 10, src.dc(), 15, 15, SRCCOPY));
    EXPECT_EQ(far.count(kBlue), 25);
    EXPECT_TRUE(BitBlt(far.dc(), 0, 0, 20, 20, nullptr, 0, 0, BLACKNESS));
    EXPECT_EQ(far.count(kBlack), 400);
    EXPECT_FALSE(BitBlt(far.dc(), 0, 0, 5, 5, nullptr, 0, 0, SRCCOPY));
    // Overlapping copies within one bitmap behave like a copy through a buffer.
    Canvas self(10, 10);
    SetPixelV(self.dc(), 0, 0, kRed);
    SetPixelV(self.dc(), 1, 1, kBlue);
    BitBlt(self.dc(), 1, 1, 5, 5, self.dc(), 0, 0, SRCCOPY);
    EXPECT_TRUE(self.is(1, 1, kRed));
    EXPECT_TRUE(self.is(2, 2, kBlue));
}

struct Presented {
    HWND window = nullptr;
    int stride = 0, srcX = 0, srcY = 0, width = 0, height = 0, dstX = 0, dstY = 0;
    std::uint32_t first = 0;
    int calls = 0;
};
Presented gPresented;

void recordPresent(HWND window, const std::uint32_t* pixels, int stride, int srcX, int srcY, int width,
                   int height, int dstX, int dstY) {
    gPresented = {window,
                  stride,
                  srcX,
                  srcY,
                  width,
                  height,
                  dstX,
                  dstY,
                  pixels[srcY * stride + srcX],
                  gPresented.calls + 1};
}

TEST(WindowSurface, BitBltToAWindowDcPresentsTheSourcePixels) {
    auto window = reinterpret_cast<HWND>(0x5000);
    HDC windowDC = platform::gdi32::createWindowDC(window);
    ASSERT_NE(windowDC, nullptr);
    EXPECT_EQ(platform::gdi32::windowFromDC(windowDC), window);
    platform::gdi32::setWindowPresenter(&recordPresent);
    Canvas back(40, 30);
    SetPixelV(back.dc(), 10, 5, kRed);
    // The back buffer's transform does not move the copy when reset to the identity first.
    EXPECT_TRUE(BitBlt(windowDC, 10, 5, 10, 10, back.dc(), 10, 5, SRCCOPY));
    EXPECT_EQ(gPresented.calls, 1);
    EXPECT_EQ(gPresented.window, window);
    EXPECT_EQ(gPresented.stride, 40);
    EXPECT_EQ(gPresented.width, 10);
    EXPECT_EQ(gPresented.dstX, 10);
    EXPECT_EQ(gPresented.first, 0x00FF0000u);
    // A copy reaching past the back buffer is cut to it.
    BitBlt(windowDC, 0, 0, 100, 100, back.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(gPresented.width, 40);
    EXPECT_EQ(gPresented.height, 30);
    // Nothing else draws on a window DC, and a memory DC is no window.
    EXPECT_TRUE(Rectangle(windowDC, 0, 0, 5, 5));
    EXPECT_EQ(platform::gdi32::windowFromDC(back.dc()), nullptr);
    platform::gdi32::setWindowPresenter(nullptr);
    platform::gdi32::destroyWindowDC(windowDC);
    EXPECT_EQ(platform::gdi32::windowFromDC(windowDC), nullptr);
}

TEST(WorldTransform, TranslatesShapesAndText) {
    Canvas plain(60, 60), moved(60, 60);
    XFORM shift{1, 0, 0, 1, 7, 3};
    SetWorldTransform(moved.dc(), &shift);
    for (Canvas* c : {&plain, &moved}) {
        c->pen(PS_SOLID, 1, kRed);
        c->brush(kBlue);
    }
    Rectangle(plain.dc(), 17, 13, 40, 30);
    RoundRect(plain.dc(), 7, 33, 50, 55, 5, 5);
    Rectangle(moved.dc(), 10, 10, 33, 27);
    RoundRect(moved.dc(), 0, 30, 43, 52, 5, 5);
    EXPECT_TRUE(plain.same(moved));
    // A scaling transform goes through the general path and scales the shape.
    Canvas scaled(60, 60);
    XFORM twice{2, 0, 0, 2, 0, 0};
    SetWorldTransform(scaled.dc(), &twice);
    scaled.nullPen();
    scaled.brush(kBlue);
    Rectangle(scaled.dc(), 5, 5, 15, 15);
    RECT r = scaled.bounds(kBlue);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.right, 29);
}

}  // namespace
