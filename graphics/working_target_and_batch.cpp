// The working target and the batch functions of the API: which image (or the window's back
// buffer) the drawing goes to, the window's handle, an image's pixels, drawing context and size,
// and batch drawing on the window.
#include "graphics/draw_on_wnd.h"
#include "graphics/graph_wnd.h"
#include "graphics/graphics.h"
#include "graphics/library_state.h"

namespace Gfx {

namespace {

// No image given: the window's back buffer, if the layer is running.
IMAGE* imageOrWindow(IMAGE* image) {
    return image != nullptr ? image : library.graphWindow;
}

// The batch functions belong to the window: with an off-screen image as the working target
// they do nothing.
DrawOnWnd* windowDeviceIfCurrent() {
    DrawOnImg* device = library.currentDevice;
    return device != nullptr && device == library.windowDevice ? library.windowDevice : nullptr;
}

}  // namespace

void setWorkingImage(IMAGE* image) {
    if (library.graphWindow == nullptr) return;  // the layer is not running
    DeviceLock lock;
    if (image != nullptr) {
        library.currentDevice = library.imageDevice;
        library.currentTarget = image;
        library.windowDC = nullptr;
        library.currentDC = image->memoryDC;
    } else {
        GraphWnd* window = library.graphWindow;
        library.currentTarget = window;
        library.currentDevice = library.windowDevice;
        library.windowDC = window->windowDC;
        library.currentDC = window->memoryDC;
    }
}

IMAGE* getWorkingImage() {
    if (library.currentDevice != library.imageDevice) return nullptr;
    return library.currentTarget;
}

HWND getWindowHandle() {
    return library.graphWindow != nullptr ? library.graphWindow->hwnd.load() : nullptr;
}

DWORD* getImageBuffer(IMAGE* image) {
    IMAGE* target = imageOrWindow(image);
    return target != nullptr ? target->pixels : nullptr;
}

HDC getImageDC(IMAGE* image) {
    IMAGE* target = imageOrWindow(image);
    return target != nullptr ? target->memoryDC : nullptr;
}

void resizeImage(IMAGE* image, int width, int height) {
    if (IMAGE* target = imageOrWindow(image)) target->resize(width, height);
}

void beginBatchDraw() {
    if (DrawOnWnd* device = windowDeviceIfCurrent()) device->beginBatchDraw();
}

void flushBatchDraw() {
    if (DrawOnWnd* device = windowDeviceIfCurrent()) device->flushBatchDraw();
}

void flushBatchDraw(int left, int top, int right, int bottom) {
    if (DrawOnWnd* device = windowDeviceIfCurrent()) device->flushBatchDraw(left, top, right, bottom);
}

void endBatchDraw() {
    if (DrawOnWnd* device = windowDeviceIfCurrent()) device->endBatchDraw();
}

void endBatchDraw(int left, int top, int right, int bottom) {
    if (DrawOnWnd* device = windowDeviceIfCurrent()) device->endBatchDraw(left, top, right, bottom);
}

void endChangedBatchDraw(int left, int top, int right, int bottom) {
    const RECT part{left, top, right + 1, bottom + 1};
    if (DrawOnWnd* device = windowDeviceIfCurrent()) device->endChangedBatchDraw(&part, 1);
}

void endChangedBatchDraw(const RECT* parts, int count) {
    if (DrawOnWnd* device = windowDeviceIfCurrent()) device->endChangedBatchDraw(parts, count);
}

}  // namespace Gfx
