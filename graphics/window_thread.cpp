// The window thread: registers the class "GfxWnd", creates the window, pumps its messages and,
// while no batch is in progress, copies the back buffer to the screen about 60 times a
// second. The window procedure turns input into InputMessage records.
#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include "graphics/gdi_binding.h"
#include "graphics/graph_wnd.h"
#include "graphics/library_state.h"

namespace Gfx {

namespace {

const WCHAR* const kClassName = TEXT("GfxWnd");
constexpr DWORD kCopyIntervalMs = 16;

}  // namespace

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

    const DWORD style =
        params->noMinimizeButton ? (WS_CAPTION | WS_SYSMENU) : (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
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
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return;
            TranslateMessage(&message);
            DispatchMessageW(&message);
            continue;
        }
        const DWORD now = GetTickCount();
        if (!batchActive.load() && now - lastCopy > kCopyIntervalMs) {
            copyToWindow();
            lastCopy = now;
        } else {
            Sleep(1);
        }
    }
}

void GraphWnd::queueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEWHEEL) {
        POINT position = {static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
        ScreenToClient(window, &position);
        lParam = MAKELPARAM(position.x, position.y);
    }
    if (queue.deliver(makeInputRecord(message, wParam, lParam))) SetEvent(wakeEvent);
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
        case WM_PAINT:
            ValidateRect(window, nullptr);
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

}  // namespace Gfx
