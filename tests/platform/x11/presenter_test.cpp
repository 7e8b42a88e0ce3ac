// Pixels reach the X window: directly through the presenter (MIT-SHM and XPutImage) and
// through BitBlt from a memory DC to the window's DC. Read back with XGetImage.
#include "platform/x11/presenter.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "tests/platform/user32/window_test_support.h"

namespace {

using mmtest::XDriver;
using wintest::WindowOptions;
using wintest::WindowThread;

constexpr int kWidth = 160;
constexpr int kHeight = 120;

std::uint32_t patternAt(int x, int y) {
    return static_cast<std::uint32_t>(((x * 7) & 0xFF) << 16 | ((y * 5) & 0xFF) << 8 | ((x + y) & 0xFF));
}

class Presenting : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        REQUIRE_DISPLAY();
        WindowOptions options;
        options.clientWidth = kWidth;
        options.clientHeight = kHeight;
        options.title = u"presenting";
        window_ = std::make_unique<WindowThread>(options);
        // Mapped and exposed: what is drawn now stays on the window.
        ASSERT_TRUE(window_->log().waitForMessage(WM_PAINT));
        x_ = std::make_unique<XDriver>();
        xid_ = x_->findWindow("presenting");
        ASSERT_NE(xid_, 0u);
        platform::x11::allowPresenterSharedMemory(GetParam());
    }
    void TearDown() override { platform::x11::allowPresenterSharedMemory(true); }

    std::uint32_t pixelAt(int x, int y) { return x_->pixel(xid_, x, y); }

    // Frames travel on another connection: wait until the server shows the expected pixel.
    bool waitForPixel(int x, int y, std::uint32_t expected) { return x_->waitForPixel(xid_, x, y, expected); }

    std::vector<std::uint32_t> readAll() { return x_->pixels(xid_, 0, 0, kWidth, kHeight); }

    std::unique_ptr<WindowThread> window_;
    std::unique_ptr<XDriver> x_;
    mmtest::XWindow xid_ = 0;
};

TEST_P(Presenting, WholeFrameArrivesPixelForPixel) {
    EXPECT_EQ(platform::x11::presenterUsesSharedMemory(), GetParam());
    std::vector<std::uint32_t> frame(kWidth * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) frame[y * kWidth + x] = patternAt(x, y);
    }
    platform::x11::presentPixels(window_->hwnd(), frame.data(), kWidth, 0, 0, kWidth, kHeight, 0, 0);
    ASSERT_TRUE(waitForPixel(kWidth - 1, kHeight - 1, patternAt(kWidth - 1, kHeight - 1)));
    EXPECT_EQ(readAll(), frame);
}

TEST_P(Presenting, BlockLandsAtItsPlaceAndClipsToTheClientArea) {
    std::vector<std::uint32_t> black(kWidth * kHeight, 0);
    platform::x11::presentPixels(window_->hwnd(), black.data(), kWidth, 0, 0, kWidth, kHeight, 0, 0);
    // A 300-wide source; its block (5, 6, 10 × 10) goes to (100, 50).
    constexpr int kStride = 300;
    std::vector<std::uint32_t> source(kStride * 40);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < kStride; ++x) source[y * kStride + x] = patternAt(x, y);
    }
    platform::x11::presentPixels(window_->hwnd(), source.data(), kStride, 5, 6, 10, 10, 100, 50);
    ASSERT_TRUE(waitForPixel(109, 59, patternAt(14, 15)));
    EXPECT_EQ(pixelAt(100, 50), patternAt(5, 6));
    EXPECT_EQ(pixelAt(110, 50), 0u);
    EXPECT_EQ(pixelAt(99, 50), 0u);
    EXPECT_EQ(pixelAt(100, 60), 0u);
    // Partly outside on every side: only the part inside is drawn, nothing crashes.
    platform::x11::presentPixels(window_->hwnd(), source.data(), kStride, 20, 10, 30, 30, -10, -20);
    ASSERT_TRUE(waitForPixel(0, 0, patternAt(30, 30)));
    platform::x11::presentPixels(window_->hwnd(), source.data(), kStride, 0, 0, 30, 30, kWidth - 5,
                                 kHeight - 5);
    ASSERT_TRUE(waitForPixel(kWidth - 1, kHeight - 1, patternAt(4, 4)));
    platform::x11::presentPixels(window_->hwnd(), source.data(), kStride, 0, 0, 30, 30, kWidth + 5, 0);
    platform::x11::presentPixels(nullptr, source.data(), kStride, 0, 0, 30, 30, 0, 0);
}

TEST_P(Presenting, BitBltFromAMemoryDcPutsItsPixelsOnTheWindow) {
    HDC windowDC = GetDC(window_->hwnd());
    ASSERT_NE(windowDC, nullptr);
    HDC memory = CreateCompatibleDC(windowDC);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) pixels[y * kWidth + x] = patternAt(x, y);
    }
    ASSERT_TRUE(BitBlt(windowDC, 0, 0, kWidth, kHeight, memory, 0, 0, SRCCOPY));
    ASSERT_TRUE(waitForPixel(kWidth - 1, kHeight - 1, patternAt(kWidth - 1, kHeight - 1)));
    std::vector<std::uint32_t> expected(pixels, pixels + kWidth * kHeight);
    EXPECT_EQ(readAll(), expected);

    // A rectangle of the buffer only, as a partial flush copies it.
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) pixels[y * kWidth + x] = 0x00FF0000;  // red
    }
    ASSERT_TRUE(BitBlt(windowDC, 10, 10, 10, 10, memory, 10, 10, SRCCOPY));
    ASSERT_TRUE(waitForPixel(19, 19, 0xFF0000));
    EXPECT_EQ(pixelAt(10, 10), 0xFF0000u);
    EXPECT_EQ(pixelAt(20, 20), patternAt(20, 20));
    EXPECT_EQ(pixelAt(9, 9), patternAt(9, 9));

    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    EXPECT_EQ(ReleaseDC(window_->hwnd(), windowDC), 1);
}

INSTANTIATE_TEST_SUITE_P(SharedMemoryAndPlain, Presenting, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "SharedMemory" : "PutImage";
                         });

TEST(PresentingFromTheProgramThread, FramesWhileTheWindowThreadPumpsInput) {
    REQUIRE_DISPLAY();
    // The window thread reads X input while this thread presents frames on the same
    // connection, as the graphics layer's two threads do.
    WindowOptions options;
    options.clientWidth = kWidth;
    options.clientHeight = kHeight;
    options.title = u"busy presenting";
    WindowThread window(options);
    ASSERT_TRUE(window.waitActive());
    XDriver input;
    const POINT origin = wintest::screenPoint(window.hwnd(), 0, 0);
    std::vector<std::uint32_t> frame(kWidth * kHeight);
    for (int i = 0; i < 200; ++i) {
        std::fill(frame.begin(), frame.end(), static_cast<std::uint32_t>(i * 0x010203) & 0xFFFFFF);
        platform::x11::presentPixels(window.hwnd(), frame.data(), kWidth, 0, 0, kWidth, kHeight, 0, 0);
        input.movePointerOnScreen(origin.x + i % kWidth, origin.y + 1);
    }
    const auto last = window.log().waitFor([](const wintest::Received& r) {
        return r.message == WM_MOUSEMOVE && LOWORD(r.lParam) == 199 % kWidth;
    });
    EXPECT_TRUE(last);
}

}  // namespace
