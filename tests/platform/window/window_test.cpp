// Windows on X: client size, title, frame hints, the close button, painting, classes.
#include <gtest/gtest.h>
// Xlib's macros (None, Bool, Status) would break gtest's headers: Xlib comes after.
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <windows.h>

#include <clocale>
#include <cstring>
#include <thread>

#include "tests/platform/window/window_test_support.h"

namespace {

using wintest::FakeInput;
using wintest::Received;
using wintest::WindowOptions;
using wintest::WindowThread;

long motifFunctions(Display* display, ::Window window) {
    const Atom hints = XInternAtom(display, "_MOTIF_WM_HINTS", False);
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    long functions = -1;
    if (XGetWindowProperty(display, window, hints, 0, 5, False, hints, &type, &format, &items, &after,
                           &data) == Success &&
        data != nullptr && items >= 2) {
        functions = reinterpret_cast<long*>(data)[1];
    }
    if (data != nullptr) XFree(data);
    return functions;
}

TEST(Window, GraphicsWindowHasExactlyTheClientSizeAndCannotBeResized) {
    REQUIRE_DISPLAY();
    WindowOptions options;
    options.clientWidth = 1380;
    options.clientHeight = 750;
    options.title = u"思维导图 mapper";
    WindowThread window(options);
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

    FakeInput x;
    const ::Window xid = x.findWindow("思维导图 mapper");
    ASSERT_NE(xid, 0u) << "no X window with the UTF-8 title";
    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(x.display(), xid, &attributes));
    EXPECT_EQ(attributes.width, 1380);
    EXPECT_EQ(attributes.height, 750);

    XSizeHints hints{};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(x.display(), xid, &hints, &supplied));
    ASSERT_TRUE(hints.flags & PMinSize);
    ASSERT_TRUE(hints.flags & PMaxSize);
    EXPECT_EQ(hints.min_width, 1380);
    EXPECT_EQ(hints.max_width, 1380);
    EXPECT_EQ(hints.min_height, 750);
    EXPECT_EQ(hints.max_height, 750);

    const long functions = motifFunctions(x.display(), xid);
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
    options.title = u"no buttons";
    WindowThread window(options);
    FakeInput x;
    const ::Window xid = x.findWindow("no buttons");
    ASSERT_NE(xid, 0u);
    const long functions = motifFunctions(x.display(), xid);
    EXPECT_FALSE(functions & 8);
    EXPECT_FALSE(functions & 32);
}

TEST(Window, CloseButtonAsksWithWmCloseAndDefaultHandlingDestroys) {
    REQUIRE_DISPLAY();
    WindowOptions options;
    options.title = u"closing";
    WindowThread window(options);
    FakeInput x;
    const ::Window xid = x.findWindow("closing");
    ASSERT_NE(xid, 0u);
    // What a window manager sends when its close button is pressed.
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = xid;
    event.xclient.message_type = XInternAtom(x.display(), "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(x.display(), "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(x.display(), xid, False, NoEventMask, &event);
    x.sync();
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
    options.title = u"cannot close";
    WindowThread window(options);
    FakeInput x;
    const ::Window xid = x.findWindow("cannot close");
    ASSERT_NE(xid, 0u);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = xid;
    event.xclient.message_type = XInternAtom(x.display(), "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(x.display(), "WM_DELETE_WINDOW", False));
    XSendEvent(x.display(), xid, False, NoEventMask, &event);
    x.sync();
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
    // The program never set a locale: it runs in "C", also after the display and its input
    // method opened (under a UTF-8 locale, for the time of the opening only).
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
    WindowOptions options;
    options.title = u"resized";
    WindowThread window(options);
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
    FakeInput x;
    const ::Window xid = x.findWindow("resized");
    XWindowAttributes attributes{};
    XGetWindowAttributes(x.display(), xid, &attributes);
    EXPECT_EQ(attributes.width, 400);
    EXPECT_EQ(attributes.height, 300);
    XSizeHints hints{};
    long supplied = 0;
    XGetWMNormalHints(x.display(), xid, &hints, &supplied);
    EXPECT_EQ(hints.max_width, 400);
    EXPECT_EQ(hints.min_height, 300);
}

TEST(Window, ScreenAndClientCoordinatesAgreeWithTheServer) {
    REQUIRE_DISPLAY();
    WindowOptions options;
    options.title = u"coordinates";
    WindowThread window(options);
    FakeInput x;
    const ::Window xid = x.findWindow("coordinates");
    int rootX = 0, rootY = 0;
    ::Window child = 0;
    XTranslateCoordinates(x.display(), xid, DefaultRootWindow(x.display()), 0, 0, &rootX, &rootY, &child);
    POINT point{rootX + 5, rootY + 7};
    ASSERT_TRUE(ScreenToClient(window.hwnd(), &point));
    EXPECT_EQ(point.x, 5);
    EXPECT_EQ(point.y, 7);
    ClientToScreen(window.hwnd(), &point);
    EXPECT_EQ(point.x, rootX + 5);
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
