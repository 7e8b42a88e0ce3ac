// The end of a batch that changed only some rectangles, on the real window: only those reach
// it. The window keeps its old pixels everywhere else, which is what shows that nothing more
// was copied; a change made before the batch and not yet copied makes the whole buffer go.
#include <chrono>
#include <cstdint>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "graphics/graph_wnd.h"
#include "tests/graphics/window_fixture.h"
// After the fixture (gtest first): X's macros would break its templates.
#include <X11/Xlib.h>

namespace Gfx::testing {
namespace {

constexpr std::uint32_t kOldColour = 0xFF0000;
constexpr std::uint32_t kNewColour = 0x00FF00;

class ChangedPartsTest : public WindowTest {
  protected:
    // A whole frame of kOldColour, on the window.
    void showWholeFrame() {
        beginBatchDraw();
        setFillColor(RGB(255, 0, 0));
        solidRectangle(0, 0, kWidth - 1, kHeight - 1);
        endBatchDraw();
        ASSERT_TRUE(x.waitForPixel(window, kWidth - 1, kHeight - 1, kOldColour));
        ASSERT_TRUE(x.waitForPixel(window, 0, 0, kOldColour));
        // A window just mapped may still get exposed, and an exposed window is given the whole
        // buffer, rightly: let those late repaints pass before a batch that copies parts.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }

    // Paints the whole back buffer kNewColour, with a pattern of its own in each part, so that
    // a part copied from the wrong place shows.
    static void drawEverywhere(const std::vector<RECT>& parts) {
        setFillColor(RGB(0, 255, 0));
        solidRectangle(0, 0, kWidth - 1, kHeight - 1);
        int shade = 40;
        for (const RECT& part : parts) {
            setFillColor(RGB(0, 0, shade));
            solidRectangle(part.left, part.top, part.right - 1, part.bottom - 1);
            setFillColor(RGB(shade, shade, 0));
            solidRectangle(part.left, part.top, part.left, part.top);  // the part's corner
            shade += 40;
        }
    }

    static bool inside(const std::vector<RECT>& parts, int px, int py) {
        for (const RECT& part : parts) {
            if (px >= part.left && px < part.right && py >= part.top && py < part.bottom) return true;
        }
        return false;
    }

    // The back buffer as it is now, as 0xRRGGBB.
    static std::vector<std::uint32_t> backBuffer() {
        const DWORD* pixels = getImageBuffer();
        std::vector<std::uint32_t> out(pixels, pixels + kWidth * kHeight);
        for (std::uint32_t& pixel : out) pixel &= 0xFFFFFF;
        return out;
    }

    // Gives the window thread many chances for a copy it should not make, then compares the
    // whole window with `expected`; the first differing pixel is named.
    void expectWindowShows(const std::vector<std::uint32_t>& expected, const std::string& what) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const std::vector<std::uint32_t> shown = x.pixels(window, 0, 0, kWidth, kHeight);
        ASSERT_EQ(shown.size(), expected.size()) << "the window could not be read";
        int differing = 0;
        std::ostringstream first;
        for (int i = 0; i < kWidth * kHeight; ++i) {
            if (shown[i] == expected[i]) continue;
            if (differing++ == 0) {
                first << " first at (" << i % kWidth << ", " << i / kWidth << "): the window shows "
                      << mmtest::describeRgb(shown[i]) << ", expected " << mmtest::describeRgb(expected[i]);
            }
        }
        EXPECT_EQ(differing, 0) << what << ":" << first.str();
    }

    // What the window must show after a batch that drew `buffer` and copied only `parts`.
    static std::vector<std::uint32_t> partsOver(const std::vector<std::uint32_t>& buffer,
                                                const std::vector<RECT>& parts, std::uint32_t rest) {
        std::vector<std::uint32_t> out(buffer.size(), rest);
        for (int i = 0; i < kWidth * kHeight; ++i) {
            if (inside(parts, i % kWidth, i / kWidth)) out[i] = buffer[i];
        }
        return out;
    }
};

TEST_F(ChangedPartsTest, OneRectangleGoesAndTheOldPixelsStayAroundIt) {
    showWholeFrame();
    const std::vector<RECT> part = {{40, 30, 90, 60}};
    beginBatchDraw();
    drawEverywhere(part);
    const std::vector<std::uint32_t> buffer = backBuffer();
    endChangedBatchDraw(40, 30, 89, 59);  // right and bottom included
    EXPECT_FALSE(library.graphWindow->batchActive.load());
    ASSERT_TRUE(x.waitForPixel(window, 89, 59, buffer[59 * kWidth + 89]));
    expectWindowShows(partsOver(buffer, part, kOldColour), "only the part should have been copied");

    // The next whole frame brings everything up to date again.
    beginBatchDraw();
    endBatchDraw();
    expectWindowShows(buffer, "a whole frame after the part");
}

TEST_F(ChangedPartsTest, SeveralRectanglesGoAtTheEdgesOverlappingAndEmpty) {
    showWholeFrame();
    const std::vector<RECT> parts = {
        {0, 0, 30, 20},                                // the top left corner
        {150, 10, 150, 50},                            // empty: nothing
        {kWidth - 25, kHeight - 15, kWidth, kHeight},  // the bottom right corner
        {60, 40, 120, 80},                             // in the middle
        {100, 70, 140, 100},                           // overlapping the one before
    };
    beginBatchDraw();
    drawEverywhere(parts);
    const std::vector<std::uint32_t> buffer = backBuffer();
    endChangedBatchDraw(parts.data(), static_cast<int>(parts.size()));
    ASSERT_TRUE(x.waitForPixel(window, kWidth - 1, kHeight - 1, buffer.back()));
    expectWindowShows(partsOver(buffer, parts, kOldColour), "only the five parts should have been copied");
}

// A change drawn outside a batch is copied by the window thread at most every 17 ms: right
// after one such copy, the next change waits there long enough for the batch to begin first.
// A run in which the thread copied anyway proves nothing and is repeated.
TEST_F(ChangedPartsTest, AChangeNotYetCopiedBeforeTheBatchMakesTheWholeBufferGo) {
    showWholeFrame();
    GraphWnd& graphWindow = *library.graphWindow;
    bool conclusive = false;
    for (int attempt = 0; attempt < 20 && !conclusive; ++attempt) {
        const std::uint32_t primer = attempt % 2 == 0 ? 0x0000FF : 0x000080;
        setFillColor(RGB(0, 0, primer & 0xFF));
        solidRectangle(0, 0, 0, 0);
        ASSERT_TRUE(x.waitForPixel(window, 0, 0, primer));
        const std::uint64_t copiesBefore = graphWindow.periodicCopies.load();

        setFillColor(RGB(attempt * 10, 255, 0));
        solidRectangle(0, 0, kWidth - 1, kHeight - 1);  // outside the batch, not yet copied
        beginBatchDraw();
        const std::vector<RECT> part = {{10, 10, 20, 20}};
        setFillColor(RGB(0, 0, 200));
        solidRectangle(10, 10, 19, 19);
        const std::vector<std::uint32_t> buffer = backBuffer();
        endChangedBatchDraw(part.data(), 1);
        ASSERT_TRUE(x.waitForPixel(window, 15, 15, 0x0000C8));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        conclusive = graphWindow.periodicCopies.load() == copiesBefore;
        if (conclusive) expectWindowShows(buffer, "the change made before the batch");
    }
    if (!conclusive) GTEST_SKIP() << "the window thread copied the change before every batch began";
}

// Pixels the screen lost while a batch was drawn (another window over this one) come back
// with the batch's end, although only a part changed.
TEST_F(ChangedPartsTest, AWindowExposedDuringTheBatchGetsTheWholeBufferBack) {
    showWholeFrame();
    beginBatchDraw();
    XClearArea(x.display(), window, 0, 0, 0, 0, True);  // cleared and exposed, as if uncovered
    XFlush(x.display());
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the expose has arrived
    const std::vector<RECT> part = {{40, 30, 90, 60}};
    drawEverywhere(part);
    const std::vector<std::uint32_t> buffer = backBuffer();
    endChangedBatchDraw(part.data(), 1);
    expectWindowShows(buffer, "the exposed window");
}

}  // namespace
}  // namespace Gfx::testing
