// Test support: a window owned by its own thread that pumps messages as the graphics layer
// does, and a log of what its window procedure received. X input comes from the X driver.
#pragma once

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/x_driver.h"

namespace wintest {

struct Received {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD threadId;
};

class MessageLog {
  public:
    void add(const Received& r);
    // Waits until a message after `from` matches; returns its index. Five seconds at most.
    std::optional<std::size_t> waitFor(const std::function<bool(const Received&)>& match,
                                       std::size_t from = 0,
                                       std::chrono::milliseconds limit = std::chrono::seconds(5));
    std::optional<std::size_t> waitForMessage(UINT message, std::size_t from = 0,
                                              std::chrono::milliseconds limit = std::chrono::seconds(5));
    std::vector<Received> snapshot() const;
    // What arrived from `from` on, for a wait's failure message: "WM_KEYDOWN(0x41) WM_CHAR(0x61) ...".
    std::string describe(std::size_t from = 0) const;
    std::size_t size() const;
    Received at(std::size_t index) const;

  private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Received> items_;
};

struct WindowOptions {
    UINT classStyle = 0;
    DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    int clientWidth = 320;
    int clientHeight = 200;
    int x = 100;  // outer position; CW_USEDEFAULT lets the system choose
    int y = 100;
    std::u16string title = u"window test";
    bool validatePaint = true;
    bool blockingLoop = false;  // GetMessageW instead of PeekMessageW + Sleep(1)
    // Called first for every message; return a value to answer it instead of the default.
    std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> handler;
};

// The window thread: registers a class, creates and shows the window, then pumps with
// PeekMessageW/TranslateMessage/DispatchMessageW until the window is gone or it is stopped.
class WindowThread {
  public:
    explicit WindowThread(WindowOptions options = {});
    ~WindowThread();
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;

    HWND hwnd() const { return hwnd_; }
    DWORD threadId() const { return threadId_; }
    MessageLog& log() { return log_; }
    // Runs a function on the window thread and waits for it.
    void run(const std::function<void()>& work);
    // Waits until the window has the keyboard focus (WM_ACTIVATE, WA_ACTIVE).
    bool waitActive();
    bool finished() const;
    // Waits until the thread's loop has ended (the window is gone); false when the time runs out.
    bool waitFinished(std::chrono::milliseconds limit = std::chrono::seconds(5));

  private:
    static LRESULT CALLBACK procedure(HWND, UINT, WPARAM, LPARAM);
    void main();

    WindowOptions options_;
    std::u16string className_;
    MessageLog log_;
    std::thread thread_;
    HWND hwnd_ = nullptr;
    DWORD threadId_ = 0;
    mutable std::mutex mutex_;
    std::condition_variable ready_;
    bool created_ = false;
    bool done_ = false;
};

// Screen position of a window's client-area point, as the window's own calls have it.
POINT screenPoint(HWND hwnd, int x, int y);

}  // namespace wintest

#define REQUIRE_DISPLAY()                                                  \
    do {                                                                   \
        if (!mmtest::XDriver::available()) GTEST_SKIP() << "no X display"; \
    } while (0)
