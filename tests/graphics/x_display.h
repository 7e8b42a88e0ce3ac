// The test's own view of the X server: finds the graphics window by its title, reads its
// pixels back and sends real input through XTest, as a user's X server would deliver it.
#pragma once

#include <chrono>
#include <string>
#include <thread>

struct _XDisplay;  // Xlib's Display, kept out of the tests' namespace with its macros

namespace Gfx::testing {

using XWindow = unsigned long;

class XDisplay {
  public:
    XDisplay();
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    bool ok() const { return display_ != nullptr; }
    XWindow findWindow(const std::string& title, int timeoutMs = 5000);
    bool isViewable(XWindow window);
    void clientSize(XWindow window, int* width, int* height);
    // 0xRRGGBB of one pixel of the window.
    unsigned long pixel(XWindow window, int x, int y);
    bool waitForPixel(XWindow window, int x, int y, unsigned long expected, int timeoutMs = 5000);

    void movePointer(XWindow window, int x, int y);
    void button(unsigned int number, bool press);
    void key(unsigned long keysym, bool press);
    void tap(unsigned long keysym);
    // What a window manager sends when the close button is pressed.
    void sendCloseRequest(XWindow window);

  private:
    _XDisplay* display_;
};

// Polls a condition until it holds or the time is up.
template <typename Condition>
bool waitUntil(Condition condition, int timeoutMs = 5000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace Gfx::testing
