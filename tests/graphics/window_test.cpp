// The graphics window under an X server: the library's life with a window, the state right
// after opening, presentation with and without batches, resizing and the close button.
#include <cstdlib>

#include "graphics/graph_wnd.h"
#include "graphics/image.h"
#include "tests/graphics/drawing_state.h"
#include "tests/graphics/window_fixture.h"

namespace Gfx::testing {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);

TEST(WindowLife, OpenTakesTwoReferencesCloseTearsDownAndReopenStartsAfresh) {
    ASSERT_EQ(libraryOpenCount(), 0);
    HWND first = openGraphWindow(160, 90, 1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(libraryOpenCount(), 2);
    EXPECT_EQ(getWindowHandle(), first);
    EXPECT_EQ(getWorkingImage(), nullptr);  // the window is the working target
    closeGraphWindow();
    EXPECT_EQ(libraryOpenCount(), 0);
    EXPECT_EQ(library.graphWindow, nullptr);

    ASSERT_NE(openGraphWindow(160, 90, 1), nullptr);
    EXPECT_EQ(libraryOpenCount(), 2);
    EXPECT_EQ(getWidth(), 160);
    closeGraphWindow();
    EXPECT_EQ(libraryOpenCount(), 0);
}

TEST(WindowLife, SecondOpenClosesTheFirstAndOneCloseEndsAll) {
    XDisplay x;
    ASSERT_NE(openGraphWindow(160, 90, 1), nullptr);
    ASSERT_NE(openGraphWindow(180, 100, 1), nullptr);
    EXPECT_EQ(libraryOpenCount(), 2);
    EXPECT_EQ(getWidth(), 180);
    const XWindow window = x.findWindow(kTitle);
    ASSERT_NE(window, 0u);
    int width = 0;
    int height = 0;
    x.clientSize(window, &width, &height);
    EXPECT_EQ(width, 180);
    EXPECT_EQ(height, 100);
    closeGraphWindow();
    EXPECT_EQ(libraryOpenCount(), 0);
}

TEST(WindowLife, AnImageMadeBeforeTheWindowKeepsTheLibraryAlive) {
    IMAGE image(4, 4);
    EXPECT_EQ(libraryOpenCount(), 2);
    ASSERT_NE(openGraphWindow(160, 90, 1), nullptr);
    EXPECT_EQ(libraryOpenCount(), 3);
    closeGraphWindow();
    EXPECT_EQ(libraryOpenCount(), 2);
    ASSERT_NE(library.graphWindow, nullptr);
    setWorkingImage(&image);
    putPixel(0, 0, kRed);
    EXPECT_EQ(image.pixels[0], 0xFF0000u);
}

TEST_F(WindowTest, RightAfterOpenEverythingIsBlackAndTheStateHasItsDefaults) {
    DWORD* pixels = getImageBuffer();
    ASSERT_NE(pixels, nullptr);
    for (int i = 0; i < kWidth * kHeight; ++i) ASSERT_EQ(pixels[i], 0u) << i;
    EXPECT_EQ(getWidth(), kWidth);
    EXPECT_EQ(getHeight(), kHeight);
    expectDefaultDrawingState();

    int width = 0;
    int height = 0;
    x.clientSize(window, &width, &height);
    EXPECT_EQ(width, kWidth);
    EXPECT_EQ(height, kHeight);
    EXPECT_EQ(x.pixel(window, 0, 0), 0u);
    EXPECT_EQ(x.pixel(window, kWidth - 1, kHeight - 1), 0u);
}

TEST_F(WindowTest, DrawingInABatchStaysOffScreenUntilItEnds) {
    beginBatchDraw();
    setFillColor(kRed);
    solidRectangle(0, 0, kWidth - 1, kHeight - 1);
    // Outside a batch the window thread would copy within 17 ms; give it many chances.
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    EXPECT_EQ(x.pixel(window, 50, 50), 0u);
    endBatchDraw();
    EXPECT_TRUE(x.waitForPixel(window, 50, 50, 0xFF0000ul));
    EXPECT_EQ(x.pixel(window, kWidth - 1, kHeight - 1), 0xFF0000ul);
}

TEST_F(WindowTest, DrawingOutsideABatchReachesTheScreenByItself) {
    setFillColor(kGreen);
    solidRectangle(10, 10, 60, 40);
    EXPECT_TRUE(x.waitForPixel(window, 60, 40, 0x00FF00ul));
    EXPECT_EQ(x.pixel(window, 61, 41), 0u);
}

TEST_F(WindowTest, EndingABatchWithARectangleCopiesThatBlockAndEndsTheBatch) {
    beginBatchDraw();
    setFillColor(kRed);
    solidRectangle(0, 0, kWidth - 1, kHeight - 1);
    endBatchDraw(10, 10, 19, 19);
    EXPECT_TRUE(x.waitForPixel(window, 19, 19, 0xFF0000ul));
    EXPECT_FALSE(library.graphWindow->batchActive.load());
    // The rest follows with the next periodic copy.
    EXPECT_TRUE(x.waitForPixel(window, 150, 100, 0xFF0000ul));
}

TEST_F(WindowTest, ResizingTheWindowImageResizesTheWindow) {
    setFillColor(kGreen);
    solidRectangle(0, 0, 9, 9);
    resizeImage(nullptr, 240, 150);
    EXPECT_EQ(getWidth(), 240);
    EXPECT_EQ(getImageBuffer()[9 * 240 + 9], 0x00FF00u);
    int width = 0;
    int height = 0;
    EXPECT_TRUE(waitUntil([&] {
        x.clientSize(window, &width, &height);
        return width == 240 && height == 150;
    })) << "waited for the window's client area to become 240 x 150; it is "
        << width << " x " << height;
    EXPECT_TRUE(x.waitForPixel(window, 5, 5, 0x00FF00ul));
}

TEST_F(WindowTest, SwitchingToAnImageAndBack) {
    IMAGE image(8, 8);
    setWorkingImage(&image);
    EXPECT_EQ(getWorkingImage(), &image);
    beginBatchDraw();  // ignored while the image is the target
    EXPECT_FALSE(library.graphWindow->batchActive.load());
    setWorkingImage(nullptr);
    EXPECT_EQ(getWorkingImage(), nullptr);
    EXPECT_EQ(getWidth(), kWidth);
    EXPECT_EQ(library.windowDC, library.graphWindow->windowDC);
}

// Captured, the window gets the pointer's moves outside it while a button pressed in it is held,
// in its client coordinates; released, those go elsewhere again.
TEST_F(WindowTest, MouseCaptureRoundTripsThroughTheWindowThread) {
    captureMouse();
    x.movePointer(window, 20, 20);
    x.button(1, true);
    x.movePointer(window, kWidth + 30, kHeight + 20);
    InputMessage message;
    EXPECT_TRUE(waitForInput(WM_MOUSEMOVE, &message, [](const InputMessage& m) {
        return m.mouse.x == kWidth + 30 && m.mouse.y == kHeight + 20;
    })) << "a move outside did not reach the capturing window";

    releaseMouse();
    x.movePointer(window, kWidth + 40, kHeight + 20);
    x.button(1, false);
    x.movePointer(window, 10, 10);
    bool outsideAfterRelease = false;
    ASSERT_TRUE(waitForInput(WM_MOUSEMOVE, &message, [&](const InputMessage& m) {
        outsideAfterRelease = outsideAfterRelease || m.mouse.x == kWidth + 40;
        return m.mouse.x == 10 && m.mouse.y == 10;
    }));
    EXPECT_FALSE(outsideAfterRelease) << "a move outside reached the window after the release";
    EXPECT_EQ(getWindowHandle(), handle);
}

TEST(WindowCloseDeathTest, TheCloseButtonEndsTheProcessWithCodeZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            openGraphWindow(160, 90, 1);
            XDisplay x;
            const XWindow window = x.findWindow(kTitle);
            if (window == 0) std::exit(5);
            x.sendCloseRequest(window);
            std::this_thread::sleep_for(std::chrono::seconds(20));
            std::exit(6);  // still running: the close button did not end the process
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace Gfx::testing
