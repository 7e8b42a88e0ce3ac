// Opening and closing the window, the working target and the batch functions of the API.
#include "graphics/draw_on_wnd.h"
#include "graphics/graph_wnd.h"
#include "graphics/graphics.h"
#include "graphics/library_state.h"

namespace Gfx {

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
    if (image == nullptr) image = library.graphWindow;
    return image != nullptr ? image->pixels : nullptr;
}

HDC getImageDC(IMAGE* image) {
    if (image == nullptr) image = library.graphWindow;
    return image != nullptr ? image->memoryDC : nullptr;
}

void resizeImage(IMAGE* image, int width, int height) {
    if (image == nullptr) image = library.graphWindow;
    if (image != nullptr) image->resize(width, height);
}

// The batch functions belong to the window: with an off-screen image as the working target
// they do nothing.
namespace {

DrawOnWnd* windowDeviceIfCurrent() {
    DrawOnImg* device = library.currentDevice;
    return device != nullptr && device == library.windowDevice ? library.windowDevice : nullptr;
}

}  // namespace

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

}  // namespace Gfx
