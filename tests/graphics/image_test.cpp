// IMAGE: the default drawing state, the pixel layout, clearing, resizing and copying.
#include "graphics/graph_wnd.h"
#include "graphics/library_state.h"
#include "tests/graphics/offscreen_fixture.h"

namespace Gfx {
namespace {

using ImageTest = OffscreenTest;

TEST_F(ImageTest, NewImageHasTheDefaultDrawingState) {
    expectDefaultDrawingState();
    EXPECT_EQ(countPixels(0), kSize * kSize);
    EXPECT_EQ(getWidth(), kSize);
    EXPECT_EQ(getHeight(), kSize);
    EXPECT_EQ(getImageBuffer(&image), image.pixels);
    EXPECT_EQ(getImageDC(&image), image.memoryDC);
}

TEST_F(ImageTest, ResetDefaultsUndoesEveryChange) {
    setLineColor(kRed);
    setFillColor(kGreen);
    setTextColor(kBlue);
    setBackgroundColor(kRed);
    setBackgroundMode(TRANSPARENT);
    setLineStyle(PS_DASH, 3);
    setFillStyle(BS_NULL);
    setTextStyle(30, 0, u"Serif");
    setOrigin(5, 5);
    setAspectRatio(2.0f, 3.0f);
    resetDefaults();
    expectDefaultDrawingState();
    // The origin is back at the corner and the default pen and brush are white.
    fillRectangle(0, 0, 3, 3);
    EXPECT_EQ(at(0, 0), 0xFFFFFFu);
    EXPECT_EQ(at(2, 2), 0xFFFFFFu);
}

TEST_F(ImageTest, ColoursAreStoredWithRedAndBlueSwapped) {
    setBackgroundColor(0x00FF0000);  // blue
    clearDevice();
    EXPECT_EQ(countPixels(0x000000FF), kSize * kSize);
    EXPECT_EQ(getPixel(3, 3), 0x00FF0000u);
    putPixel(1, 2, RGB(0x12, 0x34, 0x56));
    EXPECT_EQ(at(1, 2), 0x123456u);
}

TEST_F(ImageTest, ResizeKeepsTheContentAtTheTopLeft) {
    IMAGE small(4, 4);
    setWorkingImage(&small);
    setBackgroundColor(kBlue);
    for (int i = 0; i < 16; ++i) small.pixels[i] = 0x010101u * static_cast<DWORD>(i + 1);
    resizeImage(&small, 8, 8);
    EXPECT_EQ(getWidth(), 8);
    EXPECT_EQ(getHeight(), 8);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(small.pixels[y * 8 + x], 0x010101u * static_cast<DWORD>(y * 4 + x + 1));
    }
    // The image draws into the new store.
    putPixel(7, 7, kRed);
    EXPECT_EQ(small.pixels[63], kRedPixel);

    DWORD* before = small.pixels;
    resizeImage(&small, 0, 8);
    resizeImage(&small, 8, 0);
    resizeImage(&small, -3, 8);
    EXPECT_EQ(small.width, 8);
    EXPECT_EQ(small.height, 8);
    EXPECT_EQ(small.pixels, before);
}

TEST_F(ImageTest, EmptyImageGetsItsFirstStoreFilledWithTheBackground) {
    IMAGE empty;
    EXPECT_EQ(empty.pixels, nullptr);
    setWorkingImage(&empty);
    setBackgroundColor(kGreen);
    empty.resize(3, 2);
    ASSERT_NE(empty.pixels, nullptr);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(empty.pixels[i], kGreenPixel);
}

TEST_F(ImageTest, CopyTakesPixelsButNotTheDrawingState) {
    setLineColor(kRed);
    setBackgroundColor(kBlue);
    putPixel(5, 6, kGreen);
    IMAGE copy(image);
    EXPECT_EQ(copy.width, kSize);
    EXPECT_EQ(copy.height, kSize);
    EXPECT_EQ(copy.pixels[6 * kSize + 5], kGreenPixel);
    EXPECT_EQ(copy.lineColor, 0xFFFFFFu);
    EXPECT_EQ(copy.backgroundColor, 0u);

    IMAGE assigned(2, 2);
    assigned = image;
    EXPECT_EQ(assigned.width, kSize);
    EXPECT_EQ(assigned.pixels[6 * kSize + 5], kGreenPixel);
    assigned = assigned;
    EXPECT_EQ(assigned.pixels[6 * kSize + 5], kGreenPixel);
}

TEST_F(ImageTest, WorkingTargetSwitchesBetweenImages) {
    IMAGE other(10, 10);
    setWorkingImage(&other);
    EXPECT_EQ(getWorkingImage(), &other);
    EXPECT_EQ(getWidth(), 10);
    EXPECT_EQ(library.windowDC, nullptr);
    setLineColor(kRed);
    setWorkingImage(&image);
    EXPECT_EQ(getLineColor(), 0xFFFFFFu);  // each image keeps its own state
    setWorkingImage(&other);
    EXPECT_EQ(getLineColor(), kRed);
}

TEST_F(ImageTest, BatchCallsOnAnImageDoNothing) {
    putPixel(1, 1, kRed);
    beginBatchDraw();
    flushBatchDraw();
    flushBatchDraw(0, 0, 5, 5);
    endBatchDraw(0, 0, 5, 5);
    endBatchDraw();
    EXPECT_EQ(getWorkingImage(), &image);
    EXPECT_FALSE(library.graphWindow->batchActive.load());
    EXPECT_EQ(at(1, 1), kRedPixel);
}

}  // namespace
}  // namespace Gfx
