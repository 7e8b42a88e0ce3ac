// GraphWnd on the program's thread: construction, the create and close steps, resizing,
// mouse capture and the blocking input take.
#include "graphics/graph_wnd.h"

#include <algorithm>
#include <cstring>

#include "graphics/gdi_binding.h"
#include "graphics/graphics.h"
#include "graphics/library_state.h"

namespace Gfx {

std::atomic<HWND> consoleWindow{nullptr};
std::atomic<GraphWnd*> activeWindow{nullptr};

namespace {

constexpr DWORD kResizeStyle = WS_CAPTION | WS_SYSMENU;

}  // namespace

std::u16string windowTitleFromPath(std::u16string_view path) {
    const std::size_t separator = path.find_last_of(u"\\/");
    std::u16string_view name = separator == std::u16string_view::npos ? path : path.substr(separator + 1);
    const std::size_t dot = name.find_last_of(u'.');
    if (dot != std::u16string_view::npos) name = name.substr(0, dot);
    return std::u16string(name);
}

GraphWnd::GraphWnd()
    : IMAGE(0, 0),
      hadConsole(false),
      wakeEvent(nullptr),
      consoleOut(nullptr),
      consoleIn(nullptr),
      hwnd(nullptr),
      windowDC(nullptr),
      batchActive(false),
      windowThread(nullptr),
      closingForProgram(false) {
    queue.clear();
    activeWindow = this;
    wakeEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
}

GraphWnd::~GraphWnd() {
    close();
    if (wakeEvent != nullptr) CloseHandle(wakeEvent);
    activeWindow = nullptr;
}

HWND GraphWnd::create(int width, int height, const std::u16string& title, bool showConsole,
                      bool noCloseButton, bool noMinimizeButton, bool doubleClicks) {
    if (hwnd.load() != nullptr) closeGraphWindow();

    HWND console = GetConsoleWindow();
    hadConsole = console != nullptr;
    if (!hadConsole && showConsole && AllocConsole()) {
        console = GetConsoleWindow();
        // Only a console with a window of its own has streams to reopen.
        if (console != nullptr) {
            consoleOut = std::freopen("CONOUT$", "w+t", stdout);
            consoleIn = std::freopen("CONIN$", "r+t", stdin);
        }
    }
    consoleWindow = console;
    if (console != nullptr) SetConsoleCtrlHandler(nullptr, TRUE);

    WindowThreadParams params;
    params.x = -1;
    params.y = -1;
    if (hadConsole && !showConsole) {
        RECT place = {};
        GetWindowRect(console, &place);
        params.x = std::max<LONG>(place.left, 0);
        params.y = std::max<LONG>(place.top, 0);
    }
    params.width = width;
    params.height = height;
    params.noCloseButton = noCloseButton;
    params.noMinimizeButton = noMinimizeButton;
    params.doubleClicks = doubleClicks;
    params.title = title;

    closingForProgram = false;
    ResetEvent(wakeEvent);
    windowThread = CreateThread(nullptr, 0, windowThreadMain, &params, 0, nullptr);
    if (windowThread == nullptr) return nullptr;
    WaitForSingleObject(wakeEvent, INFINITE);
    if (hwnd.load() == nullptr) {
        // No window: the thread ends by itself.
        WaitForSingleObject(windowThread, INFINITE);
        CloseHandle(windowThread);
        windowThread = nullptr;
        return nullptr;
    }
    {
        DeviceLock lock;
        windowDC = GetDC(hwnd.load());
        IMAGE::resize(width, height);
    }
    setWorkingImage(nullptr);
    return hwnd.load();
}

// Steps shared by both closes: give the screen context back and settle the console.
void GraphWnd::releaseWindowResources(RECT* consolePlace, bool* consoleReappears) {
    HWND window = hwnd.load();
    {
        DeviceLock lock;
        ReleaseDC(window, windowDC);
        windowDC = nullptr;
        library.windowDC = nullptr;
    }
    *consoleReappears = false;
    HWND console = consoleWindow.load();
    if (hadConsole) {
        if (console != nullptr && !IsWindowVisible(console)) {
            GetWindowRect(window, consolePlace);
            *consoleReappears = true;
        }
    } else if (console != nullptr) {
        if (consoleOut != nullptr) std::fclose(consoleOut);
        if (consoleIn != nullptr) std::fclose(consoleIn);
        consoleOut = nullptr;
        consoleIn = nullptr;
        FreeConsole();
        consoleWindow = nullptr;
    }
}

void GraphWnd::close() {
    HWND window = hwnd.load();
    if (window == nullptr) return;
    RECT consolePlace = {};
    bool consoleReappears = false;
    releaseWindowResources(&consolePlace, &consoleReappears);
    // The window belongs to the window thread: it destroys it there and its loop ends.
    SendMessageW(window, kDestroyForProgramMessage, 0, 0);
    if (windowThread != nullptr) {
        WaitForSingleObject(windowThread, INFINITE);
        CloseHandle(windowThread);
        windowThread = nullptr;
    }
    hwnd = nullptr;
    if (consoleReappears) showConsoleAt(consolePlace);
}

// The hidden console comes back where the graphics window was, in front, keeping its size.
void GraphWnd::showConsoleAt(const RECT& place) {
    HWND console = consoleWindow.load();
    if (console == nullptr) return;
    SetWindowPos(console, nullptr, place.left, place.top, 0, 0, SWP_NOSIZE);
    ShowWindow(console, SW_SHOW);
}

void GraphWnd::resize(int newWidth, int newHeight) {
    if (newWidth <= 0 || newHeight <= 0) return;
    RECT outer = {0, 0, newWidth, newHeight};
    AdjustWindowRectEx(&outer, kResizeStyle, FALSE, 0);
    IMAGE::resize(newWidth, newHeight);
    HWND window = hwnd.load();
    if (window == nullptr) return;
    RECT previous = {};
    GetWindowRect(window, &previous);
    const int outerWidth = outer.right - outer.left;
    const int outerHeight = outer.bottom - outer.top;
    SetWindowPos(window, nullptr, 0, 0, outerWidth, outerHeight, SWP_NOZORDER | SWP_NOMOVE);
    if (previous.right - previous.left + 1 < outerWidth || previous.bottom - previous.top + 1 < outerHeight) {
        copyToWindow();
    }
}

void GraphWnd::captureMouse() {
    HWND window = hwnd.load();
    if (window != nullptr) SendMessageW(window, kCaptureMouseMessage, 0, 0);
}

void GraphWnd::releaseMouse() {
    HWND window = hwnd.load();
    if (window != nullptr) SendMessageW(window, kReleaseMouseMessage, 0, 0);
}

void GraphWnd::placeTextCaret(const CaretPlace& place) {
    HWND window = hwnd.load();
    if (window != nullptr && textCaret.request(place)) PostMessageW(window, kTextCaretMessage, 0, 0);
}

void GraphWnd::takeInput(InputMessage* out, BYTE filter) {
    for (;;) {
        if (!acceptsEveryCategory(filter)) queue.dropAtHead(filter);
        if (!queue.empty()) break;
        HWND window = hwnd.load();
        if (window == nullptr) {
            // No window, nothing will ever arrive: an empty record instead of waiting forever.
            if (out != nullptr) std::memset(out, 0, sizeof(*out));
            return;
        }
        ResetEvent(wakeEvent);
        SendMessageW(window, kArmTakeMessage, filter, 0);
        WaitForSingleObject(wakeEvent, INFINITE);
    }
    queue.take(out);
}

}  // namespace Gfx
