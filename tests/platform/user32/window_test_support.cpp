#include "tests/platform/user32/window_test_support.h"

#include <atomic>
#include <cstdio>
#include <utility>

namespace wintest {

void MessageLog::add(const Received& r) {
    {
        std::lock_guard lock(mutex_);
        items_.push_back(r);
    }
    changed_.notify_all();
}

std::optional<std::size_t> MessageLog::waitFor(const std::function<bool(const Received&)>& match,
                                               std::size_t from, std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::size_t next = from;
    for (;;) {
        for (; next < items_.size(); ++next) {
            if (match(items_[next])) return next;
        }
        if (changed_.wait_until(lock, deadline) == std::cv_status::timeout && next == items_.size()) {
            return std::nullopt;
        }
    }
}

std::optional<std::size_t> MessageLog::waitForMessage(UINT message, std::size_t from,
                                                      std::chrono::milliseconds limit) {
    return waitFor([message](const Received& r) { return r.message == message; }, from, limit);
}

std::vector<Received> MessageLog::snapshot() const {
    std::lock_guard lock(mutex_);
    return items_;
}

std::size_t MessageLog::size() const {
    std::lock_guard lock(mutex_);
    return items_.size();
}

std::string MessageLog::describe(std::size_t from) const {
    static const std::pair<UINT, const char*> kNames[] = {
        {WM_KEYDOWN, "WM_KEYDOWN"},     {WM_KEYUP, "WM_KEYUP"},
        {WM_CHAR, "WM_CHAR"},           {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"},
        {WM_SYSKEYUP, "WM_SYSKEYUP"},   {WM_SYSCHAR, "WM_SYSCHAR"},
        {WM_MOUSEMOVE, "WM_MOUSEMOVE"}, {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
        {WM_LBUTTONUP, "WM_LBUTTONUP"}, {WM_PAINT, "WM_PAINT"},
        {WM_ACTIVATE, "WM_ACTIVATE"},   {WM_SETFOCUS, "WM_SETFOCUS"},
        {WM_KILLFOCUS, "WM_KILLFOCUS"}, {WM_CLOSE, "WM_CLOSE"},
        {WM_DESTROY, "WM_DESTROY"},     {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
        {WM_SIZE, "WM_SIZE"},           {WM_MOVE, "WM_MOVE"},
    };
    std::lock_guard lock(mutex_);
    std::string text;
    for (std::size_t i = from; i < items_.size(); ++i) {
        const Received& r = items_[i];
        const char* name = nullptr;
        for (const auto& [message, label] : kNames) {
            if (message == r.message) name = label;
        }
        char item[64];
        if (name != nullptr) {
            std::snprintf(item, sizeof item, "%s(0x%llx) ", name, static_cast<unsigned long long>(r.wParam));
        } else {
            std::snprintf(item, sizeof item, "0x%04x(0x%llx) ", r.message,
                          static_cast<unsigned long long>(r.wParam));
        }
        text += item;
    }
    return text.empty() ? "nothing" : text;
}

Received MessageLog::at(std::size_t index) const {
    std::lock_guard lock(mutex_);
    return items_.at(index);
}

namespace {
std::atomic<int> classCounter{0};
constexpr UINT kRunWork = WM_APP + 1;
constexpr UINT kStop = WM_APP + 2;
}  // namespace

WindowThread::WindowThread(WindowOptions options) : options_(std::move(options)) {
    const std::string name = "WindowTest" + std::to_string(classCounter.fetch_add(1));
    className_.assign(name.begin(), name.end());
    thread_ = std::thread([this] { main(); });
    std::unique_lock lock(mutex_);
    ready_.wait(lock, [this] { return created_; });
}

WindowThread::~WindowThread() {
    if (!finished()) PostMessageW(hwnd_, kStop, 0, 0);
    thread_.join();
}

bool WindowThread::finished() const {
    std::lock_guard lock(mutex_);
    return done_;
}

bool WindowThread::waitFinished(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return ready_.wait_for(lock, limit, [this] { return done_; });
}

void WindowThread::run(const std::function<void()>& work) {
    SendMessageW(hwnd_, kRunWork, 0, reinterpret_cast<LPARAM>(&work));
}

bool WindowThread::waitActive() {
    return log_
        .waitFor(
            [](const Received& r) { return r.message == WM_ACTIVATE && LOWORD(r.wParam) != WA_INACTIVE; })
        .has_value();
}

LRESULT CALLBACK WindowThread::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<WindowThread*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    self->log_.add(Received{hwnd, message, wParam, lParam, GetCurrentThreadId()});
    if (message == kRunWork) {
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return 0;
    }
    if (message == kStop) {
        DestroyWindow(hwnd);
        return 0;
    }
    if (self->options_.handler) {
        if (const auto answer = self->options_.handler(hwnd, message, wParam, lParam)) return *answer;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    if (message == WM_PAINT) {
        if (self->options_.validatePaint) ValidateRect(hwnd, nullptr);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void WindowThread::main() {
    threadId_ = GetCurrentThreadId();
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = options_.classStyle;
    windowClass.lpfnWndProc = &WindowThread::procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className_.c_str();
    RegisterClassExW(&windowClass);
    RECT outer{0, 0, options_.clientWidth, options_.clientHeight};
    AdjustWindowRectEx(&outer, options_.style, FALSE, 0);
    hwnd_ = CreateWindowExW(0, className_.c_str(), options_.title.c_str(), options_.style, options_.x,
                            options_.y, outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                            GetModuleHandleW(nullptr), this);
    if (hwnd_ == nullptr) std::fprintf(stderr, "CreateWindowExW failed: %u\n", GetLastError());
    if (hwnd_ != nullptr) ShowWindow(hwnd_, SW_SHOW);
    {
        std::lock_guard lock(mutex_);
        created_ = true;
    }
    ready_.notify_all();
    bool running = hwnd_ != nullptr;
    MSG msg{};
    while (running) {
        if (options_.blockingLoop) {
            if (GetMessageW(&msg, nullptr, 0, 0) <= 0) break;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            continue;
        }
        bool any = false;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            any = true;
            if (msg.message == WM_QUIT) {
                running = false;
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (!any) Sleep(1);
    }
    UnregisterClassW(className_.c_str(), GetModuleHandleW(nullptr));
    {
        std::lock_guard lock(mutex_);
        done_ = true;
    }
    ready_.notify_all();
}

POINT screenPoint(HWND hwnd, int x, int y) {
    POINT point{x, y};
    ClientToScreen(hwnd, &point);
    return point;
}

}  // namespace wintest
