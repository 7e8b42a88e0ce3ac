// The library's reference count with images only (no display): the first image starts the
// layer, the last one tears it down, and the next one starts it afresh.
#include <gtest/gtest.h>

#include <cstdlib>

#include "graphics/graphics.h"
#include "graphics/image.h"
#include "graphics/library_state.h"

namespace Gfx {
namespace {

TEST(LibraryLife, FirstImageStartsTheLayerAndTheLastTearsItDown) {
    ASSERT_EQ(libraryOpenCount(), 0);
    {
        IMAGE first(4, 4);
        EXPECT_EQ(libraryOpenCount(), 2);  // the image and the window object
        EXPECT_NE(library.graphWindow, nullptr);
        EXPECT_NE(library.imageDevice, nullptr);
        EXPECT_NE(library.windowDevice, nullptr);
        {
            IMAGE second;
            EXPECT_EQ(libraryOpenCount(), 3);
        }
        EXPECT_EQ(libraryOpenCount(), 2);
        EXPECT_NE(library.graphWindow, nullptr);
    }
    EXPECT_EQ(libraryOpenCount(), 0);
    EXPECT_EQ(library.graphWindow, nullptr);
    EXPECT_EQ(library.currentDevice, nullptr);

    IMAGE again(2, 2);
    EXPECT_EQ(libraryOpenCount(), 2);
    setWorkingImage(&again);
    putPixel(1, 1, RGB(1, 2, 3));
    EXPECT_EQ(getPixel(1, 1), RGB(1, 2, 3));
}

TEST(LibraryLife, PatternImageOfAFillStyleHoldsItsOwnReference) {
    IMAGE target(8, 8);
    IMAGE pattern(2, 2);
    setWorkingImage(&target);
    setFillStyle(BS_PATTERN, 0, &pattern);
    EXPECT_EQ(libraryOpenCount(), 4);  // target, pattern, the target's copy, window object
    setFillStyle(BS_SOLID, 0, nullptr);
    FILLSTYLE solid;
    setFillStyle(&solid);
    EXPECT_EQ(libraryOpenCount(), 3);
}

TEST(LibraryLife, CloseWithoutWindowChangesNothing) {
    closeGraphWindow();
    EXPECT_EQ(libraryOpenCount(), 0);
    IMAGE image(2, 2);
    closeGraphWindow();
    EXPECT_EQ(libraryOpenCount(), 2);
}

#ifndef _WIN32
// Without an X server no window can be made; each failed open still holds its reference until
// its own close, so two failed opens and two closes leave nothing behind.
TEST(LibraryLifeDeathTest, FailedOpensAreBalancedByTheirCloses) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");
            if (openGraphWindow(100, 80, 1) != nullptr) std::exit(10);
            if (openGraphWindow(100, 80, 1) != nullptr) std::exit(11);
            if (libraryOpenCount() != 3) std::exit(12);
            closeGraphWindow();
            if (libraryOpenCount() != 2) std::exit(13);
            closeGraphWindow();
            std::exit(libraryOpenCount() == 0 ? 0 : 14);
        },
        ::testing::ExitedWithCode(0), "");
}
#endif

TEST(LibraryLife, WithoutTargetTheApiDoesNothing) {
    ASSERT_EQ(libraryOpenCount(), 0);
    clearDevice();
    drawLine(0, 0, 10, 10);
    EXPECT_EQ(getWidth(), 0);
    EXPECT_EQ(getWorkingImage(), nullptr);
    EXPECT_FALSE(peekInputMessage(nullptr));
    beginBatchDraw();
    endBatchDraw();
    EXPECT_EQ(getImageBuffer(), nullptr);
}

TEST(LibraryLife, DestroyedWorkingImageLeavesNoTarget) {
    IMAGE keeper(2, 2);
    {
        IMAGE shortLived(10, 10);
        setWorkingImage(&shortLived);
        EXPECT_EQ(getWorkingImage(), &shortLived);
    }
    EXPECT_EQ(getWorkingImage(), nullptr);
    drawRectangle(0, 0, 5, 5);  // nothing to draw on: must not touch the freed image
    EXPECT_EQ(getWidth(), 0);
}

}  // namespace
}  // namespace Gfx
