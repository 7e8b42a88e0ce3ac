// Windows on X: client size, title, frame hints, the close button, painting, classes.
#include <gtest/gtest.h>
// Xlib's macros (None, Bool, Status) would break gtest's headers: Xlib comes after.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <windows.h>

#include <algorithm>
#include <clocale>
#include <string>
#include <utility>
#include <vector>

#include "tests/platform/user32/window_test_support.h"
#include "unicode/utf.h"

namespace {

using mmtest::XDriver;
using wintest::Received;
using wintest::WindowOptions;
using wintest::WindowThread;

// A window of the test's and the X window behind it, found by its title once it shows.
struct ShownWindow {
    ShownWindow(const std::u16string& title, WindowOptions options = {})
        : window(titled(std::move(options), title)), xid(x.findWindow(unicode::toUtf8(title))) {}
    static WindowOptions titled(WindowOptions options, const std::u16string& title) {
        options.title = title;
        return options;
    }
    WindowThread window;
    XDriver x;
    mmtest::XWindow xid;
};

// The functions the window asks its frame to offer; -1 without _MOTIF_WM_HINTS.
long motifFunctions(XDriver& x, mmtest::XWindow window) {
    const std::vector<long> hints = x.longProperty(window, "_MOTIF_WM_HINTS", "_MOTIF_WM_HINTS");
    return hints.size() >= 2 ? hints[1] : -1;
}

// The X window has this size, and its size hints keep it there.
void expectFixedSize(XDriver& x, mmtest::XWindow window, int width, int height) {
    int actualWidth = 0, actualHeight = 0;
    x.clientSize(window, &actualWidth, &actualHeight);
    EXPECT_EQ(actualWidth, width);
    EXPECT_EQ(actualHeight, height);
    XSizeHints hints{};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(x.display(), window, &hints, &supplied));
    ASSERT_TRUE(hints.flags & PMinSize);
    ASSERT_TRUE(hints.flags & PMaxSize);
    EXPECT_EQ(hints.min_width, width);
    EXPECT_EQ(hints.max_width, width);
    EXPECT_EQ(hints.min_height, height);
    EXPECT_EQ(hints.max_height, height);
}

TEST(Window, GraphicsWindowHasExactlyTheClientSizeAndCannotBeResized) {
    REQUIRE_DISPLAY();
    WindowOptions options;
    options.clientWidth = 1380;
    options.clientHeight = 750;
    ShownWindow shown(u"思维导图 mapper", options);
    auto& [window, x, xid] = shown;
    ASSERT_NE(window.hwnd(), nullptr);

    RECT client{};
    ASSERT_TRUE(GetClientRect(window.hwnd(), &client));
    EXPECT_EQ(client.right, 1380);
    EXPECT_EQ(client.bottom, 750);
    RECT outer{};
    ASSERT_TRUE(GetWindowRect(window.hwnd(), &outer));
    RECT adjusted{0, 0, 1380, 750};
    AdjustWindowRectEx(&adjusted, options.style, FALSE, 0);
    EXPECT_EQ(outer.right - outer.left, adjusted.right - adjusted.left);
    EXPECT_EQ(outer.bottom - outer.top, adjusted.bottom - adjusted.top);
    EXPECT_EQ(outer.left, 100);
    EXPECT_EQ(outer.top, 100);

    ASSERT_NE(xid, 0u) << "no X window with the UTF-8 title";
    expectFixedSize(x, xid, 1380, 750);

    const long functions = motifFunctions(x, xid);
    EXPECT_TRUE(functions & 8) << "minimise offered";
    EXPECT_FALSE(functions & 16) << "maximise not offered";
    EXPECT_FALSE(functions & 2) << "resize not offered";
    EXPECT_TRUE(functions & 32) << "close offered";

    WCHAR title[64] = {};
    EXPECT_EQ(GetWindowTextW(window.hwnd(), title, 64), 11);
    EXPECT_EQ(std::u16string(title), u"思维导图 mapper");
}

TEST(Window, StylesDecideTheFrameButtons) {
    REQUIRE_DISPLAY();
    WindowOptions options;
    options.classStyle = CS_NOCLOSE;
    options.style = WS_CAPTION | WS_SYSMENU;
    ShownWindow shown(u"no buttons", options);
    auto& [window, x, xid] = shown;
    ASSERT_NE(xid, 0u);
    const long functions = motifFunctions(x, xid);
    EXPECT_FALSE(functions & 8);
    EXPECT_FALSE(functions & 32);
}

TEST(Window, CloseButtonAsksWithWmCloseAndDefaultHandlingDestroys) {
    REQUIRE_DISPLAY();
    ShownWindow shown(u"closing");
    auto& [window, x, xid] = shown;
    ASSERT_NE(xid, 0u);
    x.sendCloseRequest(xid);
    const auto close = window.log().waitForMessage(WM_CLOSE);
    ASSERT_TRUE(close);
    const auto destroy = window.log().waitForMessage(WM_DESTROY, *close);
    ASSERT_TRUE(destroy);
    ASSERT_TRUE(window.waitFinished()) << "the window thread is still running after WM_DESTROY";
    EXPECT_FALSE(IsWindow(window.hwnd()));
}

TEST(Window, CloseButtonOfAClassWithoutOneIsIgnored) {
    REQUIRE_DISPLAY();
    WindowOptions options;
    options.classStyle = CS_NOCLOSE;
    ShownWindow shown(u"cannot close", options);
    auto& [window, x, xid] = shown;
    ASSERT_NE(xid, 0u);
    x.sendCloseRequest(xid);
    // The event is at the window's connection once the server answered XSync; a WM_CLOSE
    // would reach the window thread about when this marker does, and surely within 100 ms.
    PostMessageW(window.hwnd(), WM_USER + 3, 0, 0);
    ASSERT_TRUE(window.log().waitForMessage(WM_USER + 3));
    EXPECT_FALSE(window.log().waitForMessage(WM_CLOSE, 0, std::chrono::milliseconds(100)));
    EXPECT_TRUE(IsWindow(window.hwnd()));
}

TEST(Window, OnlyTheOwningThreadDestroysIt) {
    REQUIRE_DISPLAY();
    WindowThread window;
    EXPECT_FALSE(DestroyWindow(window.hwnd()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(IsWindow(window.hwnd()));
    BOOL destroyed = FALSE;
    window.run([&] { destroyed = DestroyWindow(window.hwnd()); });
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(IsWindow(window.hwnd()));
}

TEST(Window, TheInputMethodOpensWithoutChangingTheProgramsLocale) {
    REQUIRE_DISPLAY();
    // This test program never set a locale: it runs in "C", also after the display and its
    // input method opened. Only the program's start sets one, before any thread runs.
    WindowThread window;
    const char* locale = std::setlocale(LC_CTYPE, nullptr);
    ASSERT_NE(locale, nullptr);
    EXPECT_STREQ(locale, "C");
}

TEST(Caret, OneForTheThreadOfItsWindowAndNeverWithoutOne) {
    REQUIRE_DISPLAY();
    WindowThread window;
    EXPECT_FALSE(CreateCaret(window.hwnd(), nullptr, 1, 30));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(SetCaretPos(1, 2)) << "this thread has no caret";
    BOOL created = FALSE, moved = FALSE, destroyed = FALSE, movedAfter = TRUE, destroyedTwice = TRUE;
    POINT at{};
    window.run([&] {
        created = CreateCaret(window.hwnd(), nullptr, 1, 30);
        moved = SetCaretPos(40, 15);
        GetCaretPos(&at);
        destroyed = DestroyCaret();
        movedAfter = SetCaretPos(50, 15);
        destroyedTwice = DestroyCaret();
    });
    EXPECT_TRUE(created);
    EXPECT_TRUE(moved);
    EXPECT_EQ(at.x, 40);
    EXPECT_EQ(at.y, 15);
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(movedAfter);
    EXPECT_FALSE(destroyedTwice);
}

TEST(Window, CreationSendsCreateSizeAndMoveAndShowingActivates) {
    REQUIRE_DISPLAY();
    WindowThread window;
    ASSERT_TRUE(window.waitActive());
    const auto log = window.log().snapshot();
    std::vector<UINT> order;
    for (const Received& r : log) order.push_back(r.message);
    const auto position = [&](UINT m) { return std::find(order.begin(), order.end(), m) - order.begin(); };
    EXPECT_LT(position(WM_NCCREATE), position(WM_CREATE));
    EXPECT_LT(position(WM_CREATE), position(WM_SIZE));
    EXPECT_LT(position(WM_SIZE), position(WM_SHOWWINDOW));
    const auto size =
        std::find_if(log.begin(), log.end(), [](const Received& r) { return r.message == WM_SIZE; });
    EXPECT_EQ(LOWORD(size->lParam), 320);
    EXPECT_EQ(HIWORD(size->lParam), 200);
    EXPECT_EQ(GetForegroundWindow(), window.hwnd());
}

TEST(Window, ExposeBringsWmPaintOnceValidated) {
    REQUIRE_DISPLAY();
    WindowThread window;
    ASSERT_TRUE(window.log().waitForMessage(WM_PAINT));
    PostMessageW(window.hwnd(), WM_USER + 4, 0, 0);
    const auto mark = window.log().waitForMessage(WM_USER + 4);
    ASSERT_TRUE(mark);
    // Validated: no second WM_PAINT until something is invalid again.
    EXPECT_FALSE(window.log().waitFor([](const Received& r) { return r.message == WM_PAINT; }, *mark,
                                      std::chrono::milliseconds(100)));
    RECT part{10, 10, 20, 20};
    InvalidateRect(window.hwnd(), &part, FALSE);
    EXPECT_TRUE(window.log().waitForMessage(WM_PAINT, *mark));
}

TEST(Window, UnvalidatedPaintKeepsComingWithoutSpinning) {
    REQUIRE_DISPLAY();
    WindowOptions options;
    options.validatePaint = false;
    WindowThread window(options);
    const auto first = window.log().waitForMessage(WM_PAINT);
    ASSERT_TRUE(first);
    const auto start = std::chrono::steady_clock::now();
    std::size_t from = *first + 1;
    int repeats = 0;
    while (repeats < 3) {
        const auto next = window.log().waitForMessage(WM_PAINT, from);
        ASSERT_TRUE(next) << "WM_PAINT stopped coming for an invalid window";
        from = *next + 1;
        ++repeats;
    }
    // Three repeats take at least three pauses: the thread is not handed WM_PAINT in a loop.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(40));
    window.run([&] { ValidateRect(window.hwnd(), nullptr); });
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(window.hwnd(), &update, FALSE));
}

TEST(Window, ResizingKeepsTheSizeFixedAtTheNewValue) {
    REQUIRE_DISPLAY();
    ShownWindow shown(u"resized");
    auto& [window, x, xid] = shown;
    ASSERT_NE(xid, 0u);
    RECT outer{0, 0, 400, 300};
    AdjustWindowRectEx(&outer, WS_CAPTION | WS_SYSMENU, FALSE, 0);
    // From the program's thread, as the graphics layer resizes its window.
    ASSERT_TRUE(SetWindowPos(window.hwnd(), nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                             SWP_NOZORDER | SWP_NOMOVE));
    const auto size = window.log().waitFor([](const Received& r) {
        return r.message == WM_SIZE && LOWORD(r.lParam) == 400 && HIWORD(r.lParam) == 300;
    });
    ASSERT_TRUE(size);
    EXPECT_EQ(window.log().at(*size).threadId, window.threadId());
    RECT client{};
    GetClientRect(window.hwnd(), &client);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 300);
    expectFixedSize(x, xid, 400, 300);
}

TEST(Window, ScreenAndClientCoordinatesAgreeWithTheServer) {
    REQUIRE_DISPLAY();
    ShownWindow shown(u"coordinates");
    auto& [window, x, xid] = shown;
    ASSERT_NE(xid, 0u);
    const mmtest::ScreenRect onScreen = x.screenRect(xid);
    POINT point{onScreen.x + 5, onScreen.y + 7};
    ASSERT_TRUE(ScreenToClient(window.hwnd(), &point));
    EXPECT_EQ(point.x, 5);
    EXPECT_EQ(point.y, 7);
    ClientToScreen(window.hwnd(), &point);
    EXPECT_EQ(point.x, onScreen.x + 5);
}

TEST(WindowClass, RegistrationRulesFollowWindows) {
    REQUIRE_DISPLAY();
    WNDCLASSEXW description{};
    description.cbSize = sizeof description;
    description.lpfnWndProc = DefWindowProcW;
    description.lpszClassName = u"MmClassRules";
    const ATOM atom = RegisterClassExW(&description);
    ASSERT_NE(atom, 0);
    EXPECT_EQ(RegisterClassExW(&description), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
    description.lpszClassName = u"mmclassRULES";  // names ignore case
    EXPECT_EQ(RegisterClassExW(&description), 0);

    HWND hwnd = CreateWindowExW(0, MAKEINTATOM(atom), u"by atom", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_FALSE(UnregisterClassW(u"MmClassRules", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
    EXPECT_TRUE(DestroyWindow(hwnd));
    EXPECT_TRUE(UnregisterClassW(u"MmClassRules", nullptr));
    EXPECT_EQ(
        CreateWindowExW(0, u"MmClassRules", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
        nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
}

TEST(WindowClass, CreateReturningMinusOneAbortsCreation) {
    REQUIRE_DISPLAY();
    static int destroyed = 0;
    WNDCLASSEXW description{};
    description.cbSize = sizeof description;
    description.lpfnWndProc = [](HWND hwnd, UINT message, WPARAM w, LPARAM l) -> LRESULT {
        if (message == WM_CREATE) return -1;
        if (message == WM_DESTROY) ++destroyed;
        return DefWindowProcW(hwnd, message, w, l);
    };
    description.lpszClassName = u"MmRefusesCreation";
    ASSERT_NE(RegisterClassExW(&description), 0);
    EXPECT_EQ(CreateWindowExW(0, u"MmRefusesCreation", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr);
    EXPECT_EQ(destroyed, 1);
    EXPECT_TRUE(UnregisterClassW(u"MmRefusesCreation", nullptr));
}

TEST(WindowData, UserDataProcedureAndExtraBytes) {
    REQUIRE_DISPLAY();
    WNDCLASSEXW description{};
    description.cbSize = sizeof description;
    description.lpfnWndProc = DefWindowProcW;
    description.cbWndExtra = 16;
    description.lpszClassName = u"MmWindowData";
    ASSERT_NE(RegisterClassExW(&description), 0);
    HWND hwnd = CreateWindowExW(0, u"MmWindowData", u"data", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(SetWindowLongPtrW(hwnd, GWLP_USERDATA, 1234), 0);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), 1234);
    EXPECT_EQ(SetWindowLongPtrW(hwnd, 8, 99), 0);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, 8), 99);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, 9), 0);  // would read past the extra bytes
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)), &DefWindowProcW);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_POPUP, static_cast<LONG_PTR>(WS_POPUP));
    DestroyWindow(hwnd);
    UnregisterClassW(u"MmWindowData", nullptr);
}

}  // namespace
