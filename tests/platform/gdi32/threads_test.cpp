// The window thread copies to a window DC while the program's thread creates, selects and
// deletes other objects: the handle tables must stay consistent.
#include <atomic>
#include <thread>

#include "platform/gdi32/gdi_objects.h"
#include "platform/gdi32/window_surface.h"
#include "tests/platform/gdi32/canvas.h"

using namespace gdi_test;

namespace {

std::atomic<int> gPresents{0};
void countPresent(HWND, const std::uint32_t*, int, int, int, int, int, int, int) {
    ++gPresents;
}

TEST(HandleTables, SurviveConcurrentBlitsAndObjectChurn) {
    std::size_t before = platform::gdi32::liveObjectCount();
    platform::gdi32::setWindowPresenter(&countPresent);
    HDC windowDC = platform::gdi32::createWindowDC(reinterpret_cast<HWND>(0x77));
    Canvas back(64, 64);
    std::atomic<bool> done{false};
    std::thread presenter([&] {
        while (!done) BitBlt(windowDC, 0, 0, 64, 64, back.dc(), 0, 0, SRCCOPY);
    });
    // The churn uses its own DC; the back buffer is only read by the other thread.
    HDC scratch = CreateCompatibleDC(nullptr);
    for (int i = 0; i < 3000; ++i) {
        HPEN pen = CreatePen(PS_SOLID, 1 + i % 3, RGB(i, 0, 0));
        HBRUSH brush = CreateSolidBrush(RGB(0, i, 0));
        HRGN region = CreateRectRgn(0, 0, i % 50, 10);
        DeleteObject(SelectObject(scratch, pen));
        DeleteObject(SelectObject(scratch, brush));
        DeleteObject(region);
    }
    DeleteObject(SelectObject(scratch, GetStockObject(BLACK_PEN)));
    DeleteObject(SelectObject(scratch, GetStockObject(WHITE_BRUSH)));
    while (gPresents.load() == 0) std::this_thread::yield();
    done = true;
    presenter.join();
    DeleteDC(scratch);
    platform::gdi32::destroyWindowDC(windowDC);
    platform::gdi32::setWindowPresenter(nullptr);
    EXPECT_GT(gPresents.load(), 0);
    // Only the canvas's own DC and bitmap are left of what this test made.
    EXPECT_EQ(platform::gdi32::liveObjectCount(), before + 2);
}

}  // namespace
