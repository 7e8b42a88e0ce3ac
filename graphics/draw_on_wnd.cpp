// DrawOnWnd, the window device, with the API's openGraphWindow and closeGraphWindow: opening
// and closing the window, the image device's operations that touch the drawing context taken
// under the device lock, and batch drawing.
#include "graphics/draw_on_wnd.h"

#include <windows.h>

#include <string>

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

// Notes the back buffer's change when the drawing operation in its scope has returned.
class ChangeNote {
  public:
    ChangeNote() = default;
    ~ChangeNote() { library.graphWindow->noteBackBufferChanged(); }
    ChangeNote(const ChangeNote&) = delete;
    ChangeNote& operator=(const ChangeNote&) = delete;
};

}  // namespace

HWND openGraphWindow(int width, int height, int flags) {
    addLibraryReference();
    HWND window = library.windowDevice->openWindow(width, height, flags);
    ++library.windowReferences;
    return window;
}

// Without an open window's reference there is nothing to give back: nothing happens.
void closeGraphWindow() {
    if (library.windowReferences <= 0) return;
    --library.windowReferences;
    if (library.windowDevice != nullptr) library.windowDevice->closeWindow();
    releaseLibraryReference();
}

DrawOnWnd::~DrawOnWnd() = default;

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

// Each of these holds the device lock for the image device's operation of the same name: the
// window thread copies the same back buffer to the screen.
#define MM_UNDER_DEVICE_LOCK(Result, name, parameters, arguments) \
    Result DrawOnWnd::name parameters {                           \
        DeviceLock lock;                                          \
        return DrawOnImg::name arguments;                         \
    }

// The same for operations that change pixels: the window thread learns that there is
// something to copy (a result, where there is one, is kept across the note).
#define MM_DRAWING_UNDER_DEVICE_LOCK(Result, name, parameters, arguments) \
    Result DrawOnWnd::name parameters {                                   \
        DeviceLock lock;                                                  \
        ChangeNote note;                                                  \
        return DrawOnImg::name arguments;                                 \
    }

MM_DRAWING_UNDER_DEVICE_LOCK(void, clearDevice, (), ())
MM_DRAWING_UNDER_DEVICE_LOCK(void, clearDevicePart, (int left, int top, int right, int bottom),
                             (left, top, right, bottom))
MM_UNDER_DEVICE_LOCK(void, setTextColor, (COLORREF colour), (colour))
MM_UNDER_DEVICE_LOCK(void, setBackgroundColor, (COLORREF colour), (colour))
MM_UNDER_DEVICE_LOCK(int, getBackgroundMode, (), ())
MM_UNDER_DEVICE_LOCK(void, setBackgroundMode, (int mode), (mode))
MM_UNDER_DEVICE_LOCK(void, setOrigin, (int x, int y), (x, y))
MM_UNDER_DEVICE_LOCK(void, setClipRegion, (HRGN region), (region))
MM_UNDER_DEVICE_LOCK(void, clearClipRegion, (), ())
MM_UNDER_DEVICE_LOCK(void, setClipRectangle, (int left, int top, int right, int bottom),
                     (left, top, right, bottom))
MM_UNDER_DEVICE_LOCK(void, setLineStyle, (const LINESTYLE* style), (style))
MM_UNDER_DEVICE_LOCK(void, setFillStyle, (const FILLSTYLE* style), (style))
MM_UNDER_DEVICE_LOCK(void, setFillColor, (COLORREF colour), (colour))
MM_UNDER_DEVICE_LOCK(void, setAspectRatio, (float x, float y), (x, y))
MM_UNDER_DEVICE_LOCK(int, getRop2, (), ())
MM_UNDER_DEVICE_LOCK(void, setRop2, (int mode), (mode))
MM_UNDER_DEVICE_LOCK(int, getPolyFillMode, (), ())
MM_UNDER_DEVICE_LOCK(void, setPolyFillMode, (int mode), (mode))
MM_UNDER_DEVICE_LOCK(COLORREF, getPixel, (int x, int y), (x, y))
MM_DRAWING_UNDER_DEVICE_LOCK(void, putPixel, (int x, int y, COLORREF colour), (x, y, colour))
MM_DRAWING_UNDER_DEVICE_LOCK(void, drawLine, (int x1, int y1, int x2, int y2), (x1, y1, x2, y2))
MM_DRAWING_UNDER_DEVICE_LOCK(void, fillRectangle, (int left, int top, int right, int bottom),
                             (left, top, right, bottom))
MM_DRAWING_UNDER_DEVICE_LOCK(void, fillCircle, (int x, int y, int radius), (x, y, radius))
MM_DRAWING_UNDER_DEVICE_LOCK(void, fillEllipse, (int left, int top, int right, int bottom),
                             (left, top, right, bottom))
MM_DRAWING_UNDER_DEVICE_LOCK(void, fillRoundRect,
                             (int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight),
                             (left, top, right, bottom, ellipseWidth, ellipseHeight))
MM_DRAWING_UNDER_DEVICE_LOCK(void, drawArc,
                             (int left, int top, int right, int bottom, double startAngle, double endAngle),
                             (left, top, right, bottom, startAngle, endAngle))
MM_DRAWING_UNDER_DEVICE_LOCK(void, fillPie,
                             (int left, int top, int right, int bottom, double startAngle, double endAngle),
                             (left, top, right, bottom, startAngle, endAngle))
MM_DRAWING_UNDER_DEVICE_LOCK(void, drawPolyline, (const POINT* points, int count), (points, count))
MM_DRAWING_UNDER_DEVICE_LOCK(void, fillPolygon, (const POINT* points, int count), (points, count))
MM_DRAWING_UNDER_DEVICE_LOCK(void, drawPolyBezier, (const POINT* points, int count), (points, count))
MM_DRAWING_UNDER_DEVICE_LOCK(void, floodFill, (int x, int y, COLORREF colour, int fillType),
                             (x, y, colour, fillType))
MM_DRAWING_UNDER_DEVICE_LOCK(void, drawTextAt, (int x, int y, const char16_t* text), (x, y, text))
MM_DRAWING_UNDER_DEVICE_LOCK(int, drawTextInRect, (const char16_t* text, RECT* rect, UINT format),
                             (text, rect, format))
MM_UNDER_DEVICE_LOCK(int, getTextWidth, (const char16_t* text), (text))
MM_UNDER_DEVICE_LOCK(int, getTextHeight, (const char16_t* text), (text))
MM_UNDER_DEVICE_LOCK(void, setTextStyle, (const LOGFONTW* font), (font))
MM_UNDER_DEVICE_LOCK(void, getTextStyle, (LPLOGFONTW out), (out))

#undef MM_UNDER_DEVICE_LOCK
#undef MM_DRAWING_UNDER_DEVICE_LOCK

// While a batch is on, the window thread makes no periodic copies, so the window shows only
// finished frames.
void DrawOnWnd::beginBatchDraw() {
    library.graphWindow->beginBatch();
}

void DrawOnWnd::flushBatchDraw(int left, int top, int right, int bottom) {
    library.graphWindow->copyToWindow(left, top, right - left + 1, bottom - top + 1);
}

void DrawOnWnd::flushBatchDraw() {
    library.graphWindow->copyToWindow();
}

void DrawOnWnd::endBatchDraw(int left, int top, int right, int bottom) {
    flushBatchDraw(left, top, right, bottom);
    library.graphWindow->endBatch();
}

void DrawOnWnd::endBatchDraw() {
    flushBatchDraw();
    library.graphWindow->endBatch();
}

void DrawOnWnd::endChangedBatchDraw(const RECT* parts, int count) {
    library.graphWindow->copyChangedParts(parts, count);
    library.graphWindow->endBatch();
}

}  // namespace Gfx
