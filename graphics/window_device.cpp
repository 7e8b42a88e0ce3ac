// DrawOnWnd: opening and closing the graphics window.
#include <windows.h>

#include "graphics/draw_on_wnd.h"
#include "graphics/graph_wnd.h"
#include "graphics/graphics.h"
#include "graphics/library_state.h"

namespace Gfx {

namespace {

std::u16string executableTitle() {
    WCHAR path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::u16string text;
    for (DWORD i = 0; i < length && i < MAX_PATH && path[i] != 0; ++i)
        text.push_back(static_cast<char16_t>(path[i]));
    return windowTitleFromPath(text);
}

}  // namespace

HWND DrawOnWnd::openWindow(int width, int height, int flags) {
    GraphWnd& window = *library.graphWindow;
    HWND handle = window.create(width, height, executableTitle(), (flags & 1) != 0, (flags & 2) != 0,
                                (flags & 4) != 0, (flags & 8) != 0);
    setWorkingImage(nullptr);
    window.resetDefaults();
    {
        DeviceLock lock;
        fillPixels(window.pixels, window.width, window.height, 0);
    }
    flushBatchDraw();
    return handle;
}

void DrawOnWnd::closeWindow() {
    library.graphWindow->close();
}

}  // namespace Gfx
