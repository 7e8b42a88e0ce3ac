// Batch drawing and the copy of the back buffer to the window. While a batch is on, the
// window thread makes no periodic copies, so the window shows only finished frames.
#include "graphics/draw_on_wnd.h"
#include "graphics/gdi_binding.h"
#include "graphics/graph_wnd.h"
#include "graphics/library_state.h"

namespace Gfx {

void GraphWnd::copyToWindow() {
    DeviceLock lock;
    copyToWindow(0, 0, width, height);
}

void GraphWnd::copyToWindow(int left, int top, int copyWidth, int copyHeight) {
    DeviceLock lock;
    if (windowDC == nullptr || memoryDC == nullptr) return;
    // The pixels go out as they are, whatever origin or aspect ratio the drawing uses.
    gdi.SetWorldTransform(memoryDC, &kIdentityTransform);
    gdi.BitBlt(windowDC, left, top, copyWidth, copyHeight, memoryDC, left, top, SRCCOPY);
    gdi.SetWorldTransform(memoryDC, &transform);
}

void DrawOnWnd::beginBatchDraw() {
    library.graphWindow->batchActive = true;
}

void DrawOnWnd::flushBatchDraw(int left, int top, int right, int bottom) {
    library.graphWindow->copyToWindow(left, top, right - left + 1, bottom - top + 1);
}

void DrawOnWnd::flushBatchDraw() {
    library.graphWindow->copyToWindow();
}

void DrawOnWnd::endBatchDraw(int left, int top, int right, int bottom) {
    flushBatchDraw(left, top, right, bottom);
    library.graphWindow->batchActive = false;
}

void DrawOnWnd::endBatchDraw() {
    flushBatchDraw();
    library.graphWindow->batchActive = false;
}

}  // namespace Gfx
