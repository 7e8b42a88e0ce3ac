// Reference counting, first-use initialisation and last-release teardown of the layer.
#include "graphics/library_state.h"

#include "graphics/draw_on_wnd.h"
#include "graphics/gdi_binding.h"
#include "graphics/graph_wnd.h"

namespace Gfx {

LibraryState library;

namespace {

void initialiseLibrary() {
    bindOle32();
    ole32.CoInitialize(nullptr);
    InitializeCriticalSection(&library.deviceLock);
    bindGdi();
    bindGdiplus();
    GdiplusStartupInputRecord input = {1, nullptr, FALSE, FALSE};
    gdiplus.token = 0;
    gdiplus.GdiplusStartup(&gdiplus.token, &input, nullptr);
    library.windowDC = nullptr;
    library.currentDC = nullptr;
    library.currentTarget = nullptr;
    library.currentDevice = nullptr;
    library.imageDevice = new DrawOnImg();
    library.windowDevice = new DrawOnWnd();
    // An IMAGE itself: takes the second reference without initialising again.
    library.graphWindow = new GraphWnd();
}

void tearDownLibrary() {
    delete library.graphWindow;  // releases the last reference; the count reaches 0
    library.graphWindow = nullptr;
    delete library.windowDevice;
    library.windowDevice = nullptr;
    delete library.imageDevice;
    library.imageDevice = nullptr;
    library.currentDevice = nullptr;
    library.currentTarget = nullptr;
    library.currentDC = nullptr;
    library.windowDC = nullptr;
    gdiplus.GdiplusShutdown(gdiplus.token);
    DeleteCriticalSection(&library.deviceLock);
    ole32.CoUninitialize();
}

}  // namespace

void addLibraryReference() {
    const int previous = library.openCount++;
    if (previous == 0) initialiseLibrary();
}

void releaseLibraryReference() {
    const int previous = library.openCount--;
    if (previous == 2) tearDownLibrary();
}

}  // namespace Gfx
