// The window thread at rest: it sleeps until a message or a change of the back buffer comes,
// copies a change made outside a batch once, and leaves a batch's frame to the batch's end.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <thread>

#include "graphics/graph_wnd.h"
#include "tests/graphics/window_fixture.h"

namespace Gfx::testing {
namespace {

constexpr COLORREF kBlue = 0xFF0000;  // 0x00BBGGRR

std::uint64_t wakes() {
    return library.graphWindow->windowThreadWakes.load();
}
std::uint64_t copies() {
    return library.graphWindow->periodicCopies.load();
}

// Lets the window thread finish what it was woken for (the window showing, a copy).
void settle() {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

TEST_F(WindowTest, AnUntouchedWindowNeitherWakesNorCopies) {
    settle();
    const std::uint64_t wakesBefore = wakes();
    const std::uint64_t copiesBefore = copies();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_LE(wakes() - wakesBefore, 2u) << "the idle window thread woke up";
    EXPECT_EQ(copies(), copiesBefore);
}

TEST_F(WindowTest, DrawingOutsideABatchIsCopiedOnceAndThenNothingMore) {
    settle();
    const std::uint64_t copiesBefore = copies();
    setFillColor(kBlue);
    solidRectangle(20, 20, 80, 60);
    ASSERT_TRUE(x.waitForPixel(window, 50, 50, 0x0000FFul));
    settle();
    EXPECT_EQ(copies() - copiesBefore, 1u);
    const std::uint64_t wakesBefore = wakes();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_LE(wakes() - wakesBefore, 1u);
    EXPECT_EQ(copies() - copiesBefore, 1u);
}

TEST_F(WindowTest, ABatchsFrameIsCopiedByItsEndAlone) {
    settle();
    const std::uint64_t copiesBefore = copies();
    const std::uint64_t wakesBefore = wakes();
    for (int frame = 0; frame < 20; ++frame) {
        beginBatchDraw();
        setFillColor(frame % 2 == 0 ? kBlue : 0x00FF00);
        solidRectangle(0, 0, kWidth - 1, kHeight - 1);
        endBatchDraw();
    }
    ASSERT_TRUE(x.waitForPixel(window, 50, 50, 0x00FF00ul));
    settle();
    EXPECT_EQ(copies(), copiesBefore);
    EXPECT_LE(wakes() - wakesBefore, 2u) << "batch frames woke the window thread";
}

TEST_F(WindowTest, ARepaintTheWindowAsksForPutsTheBackBufferBack) {
    setFillColor(kBlue);
    solidRectangle(0, 0, kWidth - 1, kHeight - 1);
    ASSERT_TRUE(x.waitForPixel(window, 50, 50, 0x0000FFul));
    settle();
    const std::uint64_t copiesBefore = copies();
    InvalidateRect(handle, nullptr, FALSE);
    EXPECT_TRUE(waitUntil([&] { return copies() > copiesBefore; }));
    settle();
    EXPECT_EQ(copies() - copiesBefore, 1u);
}

}  // namespace
}  // namespace Gfx::testing
