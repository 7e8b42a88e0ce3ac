// Presenting a 1380 × 750 frame to an X window (MIT-SHM and XPutImage), and the time from
// an X input event leaving a client to its message reaching the window thread.
#include <benchmark/benchmark.h>
// Xlib after benchmark's headers.
#include <X11/extensions/XTest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "platform/x11/presenter.h"

namespace {

constexpr int kWidth = 1380;
constexpr int kHeight = 750;

std::atomic<long long> lastMove{0};
std::atomic<int> lastMoveX{-1};

long long nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEMOVE) {
        lastMove.store(nowNs());
        lastMoveX.store(static_cast<short>(LOWORD(lParam)));
        return 0;
    }
    if (message == WM_PAINT) {
        ValidateRect(hwnd, nullptr);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The window and its thread, as the graphics layer runs them.
struct BenchWindow {
    explicit BenchWindow(bool blocking) {
        thread = std::thread([this, blocking] {
            WNDCLASSEXW wc{};
            wc.cbSize = sizeof wc;
            wc.lpfnWndProc = procedure;
            wc.lpszClassName = blocking ? u"BenchBlocking" : u"BenchPolling";
            RegisterClassExW(&wc);
            RECT outer{0, 0, kWidth, kHeight};
            AdjustWindowRectEx(&outer, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, FALSE, 0);
            HWND h = CreateWindowExW(0, wc.lpszClassName, u"bench", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                     0, 0, outer.right - outer.left, outer.bottom - outer.top, nullptr,
                                     nullptr, nullptr, nullptr);
            ShowWindow(h, SW_SHOW);
            hwnd.store(h);
            MSG msg{};
            if (blocking) {
                while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                    TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
            } else {
                for (;;) {
                    bool quit = false;
                    bool any = false;
                    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                        any = true;
                        if (msg.message == WM_QUIT) quit = true;
                        TranslateMessage(&msg);
                        DispatchMessageW(&msg);
                    }
                    if (quit) break;
                    if (!any) Sleep(1);
                }
            }
            UnregisterClassW(wc.lpszClassName, nullptr);
        });
        while (hwnd.load() == nullptr) Sleep(1);
        Sleep(100);  // let the server map it
    }
    ~BenchWindow() {
        PostMessageW(hwnd.load(), WM_CLOSE, 0, 0);
        thread.join();
    }
    std::atomic<HWND> hwnd{nullptr};
    std::thread thread;
};

void presentFrame(benchmark::State& state) {
    platform::x11::allowPresenterSharedMemory(state.range(0) != 0);
    BenchWindow window(true);
    std::vector<std::uint32_t> frame(static_cast<std::size_t>(kWidth) * kHeight);
    std::uint32_t colour = 0;
    // range(1): milliseconds between frames; the program draws a frame and sleeps 10 ms, so
    // the server has shown the previous frame by the time the next one comes. 0: back to back.
    const int gap = static_cast<int>(state.range(1));
    for (auto _ : state) {
        state.PauseTiming();
        std::fill(frame.begin(), frame.end(), colour += 0x010101);
        if (gap > 0) Sleep(static_cast<DWORD>(gap));
        state.ResumeTiming();
        platform::x11::presentPixels(window.hwnd.load(), frame.data(), kWidth, 0, 0, kWidth, kHeight, 0, 0);
    }
    state.SetLabel(std::string(platform::x11::presenterUsesSharedMemory() ? "MIT-SHM" : "XPutImage") +
                   (gap > 0 ? ", frames 10 ms apart" : ", back to back"));
    platform::x11::allowPresenterSharedMemory(true);
}
BENCHMARK(presentFrame)
    ->Args({1, 10})
    ->Args({0, 10})
    ->Args({1, 0})
    ->Args({0, 0})
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(2.0);

void inputLatency(benchmark::State& state) {
    BenchWindow window(state.range(0) != 0);
    Display* display = XOpenDisplay(nullptr);
    POINT origin{0, 0};
    ClientToScreen(window.hwnd.load(), &origin);
    int x = 0;
    for (auto _ : state) {
        x = (x + 1) % 500;
        const long long sent = nowNs();
        XTestFakeMotionEvent(display, DefaultScreen(display), origin.x + x, origin.y + 10, CurrentTime);
        XFlush(display);
        while (lastMoveX.load() != x) std::this_thread::yield();
        state.SetIterationTime(static_cast<double>(lastMove.load() - sent) * 1e-9);
    }
    state.SetLabel(state.range(0) != 0 ? "GetMessageW loop" : "PeekMessageW + Sleep(1) loop");
    XCloseDisplay(display);
}
BENCHMARK(inputLatency)->Arg(1)->Arg(0)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(1.0);

}  // namespace

BENCHMARK_MAIN();
