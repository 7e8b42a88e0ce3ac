// GraphWnd, the window object, on both of its threads. On the program's thread: construction,
// the create and close steps, resizing, mouse capture (with the API's captureMouse and
// releaseMouse), the text caret's place and the blocking input take. On the window thread,
// which it starts: registering the class "GfxWnd", creating the window, pumping its messages
// and, while no batch is in progress, copying a changed back buffer to the screen at most 60
// times a second; the window procedure turns input into InputMessage records. The thread
// sleeps until a message or a change arrives: an idle window costs nothing.
#include "graphics/graph_wnd.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include "graphics/gdi_binding.h"
#include "graphics/graphics.h"
#include "graphics/library_state.h"

namespace Gfx {

std::atomic<HWND> consoleWindow{nullptr};
std::atomic<GraphWnd*> activeWindow{nullptr};

namespace {

std::atomic<void (*)()> userCloseHandler{nullptr};

const WCHAR* const kClassName = TEXT("GfxWnd");
// The window's frame; a minimise button, where there is one, does not change its size.
constexpr DWORD kFrameStyle = WS_CAPTION | WS_SYSMENU;
constexpr DWORD kCopyIntervalMs = 16;

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
      inputEvent(nullptr),
      backBufferChanged(false),
      windowThreadWakes(0),
      periodicCopies(0),
      windowThread(nullptr),
      changeEvent(nullptr),
      closingForProgram(false) {
    queue.clear();
    activeWindow = this;
    wakeEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    inputEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    changeEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
}

GraphWnd::~GraphWnd() {
    close();
    if (wakeEvent != nullptr) CloseHandle(wakeEvent);
    if (inputEvent != nullptr) CloseHandle(inputEvent);
    if (changeEvent != nullptr) CloseHandle(changeEvent);
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
    AdjustWindowRectEx(&outer, kFrameStyle, FALSE, 0);
    {
        DeviceLock lock;
        IMAGE::resize(newWidth, newHeight);
        noteBackBufferChanged();
    }
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

void captureMouse() {
    if (GraphWnd* window = library.graphWindow) window->captureMouse();
}

void releaseMouse() {
    if (GraphWnd* window = library.graphWindow) window->releaseMouse();
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

// Both threads: the copy of the back buffer (or a part of it) to the window.
void GraphWnd::copyToWindow() {
    DeviceLock lock;
    copyToWindow(0, 0, width, height);
}

void GraphWnd::copyToWindow(int left, int top, int copyWidth, int copyHeight) {
    DeviceLock lock;
    if (windowDC == nullptr || memoryDC == nullptr) return;
    if (left <= 0 && top <= 0 && left + copyWidth >= width && top + copyHeight >= height) {
        windowLostPixels = false;
        backBufferChanged = false;
    }
    // The pixels go out as they are, whatever origin or aspect ratio the drawing uses.
    gdi.SetWorldTransform(memoryDC, &kIdentityTransform);
    gdi.BitBlt(windowDC, left, top, copyWidth, copyHeight, memoryDC, left, top, SRCCOPY);
    gdi.SetWorldTransform(memoryDC, &transform);
}

void GraphWnd::noteBackBufferChanged() {
    // Every drawing call of a frame comes here: the first one after a copy is the news.
    if (backBufferChanged.load(std::memory_order_relaxed)) return;
    if (!backBufferChanged.exchange(true) && !batchActive.load()) SetEvent(changeEvent);
}

void GraphWnd::beginBatch() {
    DeviceLock lock;
    if (!batchActive.load()) changedBeforeBatch = backBufferChanged.load();
    batchActive = true;
}

void GraphWnd::copyChangedParts(const RECT* parts, int count) {
    DeviceLock lock;
    if (changedBeforeBatch || windowLostPixels.load() || parts == nullptr) {
        copyToWindow();
        return;
    }
    for (int i = 0; i < count; ++i) {
        const RECT& part = parts[i];
        copyToWindow(part.left, part.top, part.right - part.left, part.bottom - part.top);
    }
    backBufferChanged = false;
    // Exposed meanwhile: the window thread's next copy puts the whole buffer back.
    if (windowLostPixels.load()) backBufferChanged = true;
}

void GraphWnd::endBatch() {
    batchActive = false;
#ifdef _WIN32
    // The window's thread runs once after each batch, whether or not a copy is still due: Wine
    // puts what was drawn on a window on the screen only when the window's own thread next asks
    // for its messages. The Linux stand-in presents at the copy itself.
    SetEvent(changeEvent);
#else
    if (backBufferChanged.load()) SetEvent(changeEvent);
#endif
}

// The window thread: from here on, everything runs there.

DWORD WINAPI GraphWnd::windowThreadMain(LPVOID parameter) {
    const auto* params = static_cast<const WindowThreadParams*>(parameter);
    GraphWnd* self = activeWindow.load();

    const int x = params->x == -1 ? CW_USEDEFAULT : params->x;
    const int y = params->y == -1 ? CW_USEDEFAULT : params->y;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WCHAR path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    HICON icon = ExtractIconW(instance, path, 0);

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = (params->noCloseButton ? CS_NOCLOSE : 0u) | (params->doubleClicks ? CS_DBLCLKS : 0u);
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(gdi.GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);

    const DWORD style = params->noMinimizeButton ? kFrameStyle : (kFrameStyle | WS_MINIMIZEBOX);
    RECT outer = {0, 0, params->width, params->height};
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    HWND window = CreateWindowExW(0, kClassName, reinterpret_cast<LPCWSTR>(params->title.c_str()), style, x,
                                  y, outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                                  instance, nullptr);
    self->hwnd = window;
    if (icon != nullptr) DestroyIcon(icon);
    if (window != nullptr) {
        HWND console = consoleWindow.load();
        if (x != static_cast<int>(CW_USEDEFAULT) && console != nullptr) ShowWindow(console, SW_HIDE);
        ShowWindow(window, SW_SHOW);
    }
    // From here on the parameters on the program's stack are gone.
    SetEvent(self->wakeEvent);
    if (window != nullptr) self->runMessageLoop();
    UnregisterClassW(kClassName, instance);
    return 0;
}

void GraphWnd::runMessageLoop() {
    DWORD lastCopy = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        // Only a change made outside a batch is copied here; a batch's end copies its own.
        DWORD timeout = INFINITE;
        if (backBufferChanged.load() && !batchActive.load()) {
            const DWORD since = GetTickCount() - lastCopy;
            if (since > kCopyIntervalMs) {
                copyToWindow();
                ++periodicCopies;
                lastCopy = GetTickCount();
                continue;
            }
            timeout = kCopyIntervalMs + 1 - since;
        }
        MsgWaitForMultipleObjectsEx(1, &changeEvent, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        ++windowThreadWakes;
    }
}

void GraphWnd::queueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEWHEEL) {
        POINT position = {static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
        ScreenToClient(window, &position);
        lParam = MAKELPARAM(position.x, position.y);
    }
    if (queue.deliver(makeInputRecord(message, wParam, lParam))) SetEvent(wakeEvent);
    SetEvent(inputEvent);
}

// The user's close button: the window thread owns the window and destroys it itself; the
// process then ends in WM_DESTROY.
void GraphWnd::closeByUser(HWND window) {
    if (hwnd.load() == nullptr) return;
    RECT consolePlace = {};
    bool consoleReappears = false;
    releaseWindowResources(&consolePlace, &consoleReappears);
    ShowWindow(window, SW_HIDE);
    DestroyWindow(window);
    hwnd = nullptr;
    if (consoleReappears) showConsoleAt(consolePlace);
}

LRESULT CALLBACK GraphWnd::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    GraphWnd* self = activeWindow.load();
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case WM_DESTROY: {
            PostQuitMessage(0);
            if (!self->closingForProgram.load()) {
                if (void (*handler)() = userCloseHandler.load()) handler();
                HWND console = consoleWindow.load();
                if (console == nullptr) {
                    ExitProcess(0);
                } else {
                    SendMessageW(console, WM_CLOSE, 0, 0);
                }
            }
            return 0;
        }
        case WM_CLOSE:
            self->closeByUser(window);
            return 0;
        // Log-off and shutdown reach a program with windows here, not through the console's
        // handler. The work is kept while the session asks, and the session's end ends the
        // program as the close button does: the process may be stopped once this returns.
        case WM_QUERYENDSESSION:
            if (void (*handler)() = userCloseHandler.load()) handler();
            return TRUE;
        case WM_ENDSESSION:
            if (wParam != FALSE) self->closeByUser(window);
            return 0;
        case WM_PAINT:
            // The screen lost pixels: the next copy puts the back buffer back.
            ValidateRect(window, nullptr);
            self->windowLostPixels = true;
            self->backBufferChanged = true;
            return 0;
        case WM_MOVE:
        case WM_SIZE:
        case WM_ACTIVATE: {
            const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
            self->queueMessage(window, message, wParam, lParam);
            return result;
        }
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP: {
            HWND console = consoleWindow.load();
            if (console != nullptr && wParam != VK_CANCEL) PostMessageW(console, message, wParam, lParam);
            self->queueMessage(window, message, wParam, lParam);
            return 0;
        }
        case WM_CHAR:
            self->queueMessage(window, message, wParam, lParam);
            return 0;
        case kArmTakeMessage:
            if (self->queue.armTake(LOBYTE(wParam))) SetEvent(self->wakeEvent);
            return 0;
        case kCaptureMouseMessage:
            SetCapture(window);
            return 0;
        case kReleaseMouseMessage:
            ReleaseCapture();
            return 0;
        case kTextCaretMessage:
            self->textCaret.apply(window);
            return 0;
        case kDestroyForProgramMessage:
            self->closingForProgram = true;
            ShowWindow(window, SW_HIDE);
            DestroyWindow(window);
            return 0;
        default:
            if (message >= WM_MOUSEMOVE && message <= WM_MOUSEWHEEL) {
                self->queueMessage(window, message, wParam, lParam);
                return 0;
            }
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

void setUserCloseHandler(void (*handler)()) {
    userCloseHandler.store(handler);
}

}  // namespace Gfx
