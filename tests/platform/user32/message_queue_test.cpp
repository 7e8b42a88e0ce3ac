// Per-thread message queues: posting, filters, quitting, and SendMessageW across threads.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "tests/platform/user32/window_test_support.h"

namespace {

using wintest::Received;
using wintest::WindowOptions;
using wintest::WindowThread;

TEST(ThreadMessages, ComeBackInOrderAndQuitComesLast) {
    std::thread([] {
        MSG msg{};
        EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
        PostQuitMessage(3);
        EXPECT_TRUE(PostThreadMessageW(GetCurrentThreadId(), WM_APP + 1, 10, 11));
        EXPECT_TRUE(PostMessageW(nullptr, WM_APP + 2, 20, 21));
        // A range filter picks a later message and leaves the earlier one queued.
        ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_APP + 2, WM_APP + 2, PM_NOREMOVE));
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_APP + 2));
        ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_APP + 1));
        EXPECT_EQ(msg.wParam, 10u);
        EXPECT_EQ(msg.lParam, 11);
        EXPECT_EQ(msg.hwnd, nullptr);
        ASSERT_EQ(GetMessageW(&msg, nullptr, 0, 0), TRUE);
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_APP + 2));
        // WM_QUIT comes whatever the filter, once nothing else is queued.
        ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE));
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
        EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), FALSE);
        EXPECT_EQ(msg.wParam, 3u);
        EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    }).join();
}

TEST(ThreadMessages, GetMessageWaitsForAPostFromAnotherThread) {
    std::atomic<DWORD> receiverId{0};
    std::atomic<UINT> got{0};
    std::thread receiver([&] {
        MSG msg{};
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists from here on
        receiverId = GetCurrentThreadId();
        if (GetMessageW(&msg, nullptr, 0, 0) > 0) got = msg.message;
    });
    ASSERT_TRUE(mmtest::waitUntil([&] { return receiverId.load() != 0; }))
        << "the receiving thread never made its queue";
    EXPECT_TRUE(PostThreadMessageW(receiverId.load(), WM_APP + 5, 0, 0));
    receiver.join();
    EXPECT_EQ(got.load(), static_cast<UINT>(WM_APP + 5));
    // A thread that has ended has no queue any more.
    EXPECT_FALSE(PostThreadMessageW(receiverId.load(), WM_APP + 5, 0, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_THREAD_ID));
}

TEST(SendMessage, ReturnsOnlyAfterTheOwningThreadHandledIt) {
    REQUIRE_DISPLAY();
    std::atomic<bool> handled{false};
    std::atomic<bool> returned{false};
    std::atomic<bool> returnedWhileHandled{false};
    WindowOptions options;
    options.handler = [&](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_USER + 1) return std::nullopt;
        // The sender must still be waiting while its message is handled.
        returnedWhileHandled =
            mmtest::waitUntil([&] { return returned.load(); }, std::chrono::milliseconds(30));
        handled = true;
        return static_cast<LRESULT>(wParam * 2);
    };
    WindowThread window(options);
    ASSERT_NE(window.hwnd(), nullptr);
    const LRESULT result = SendMessageW(window.hwnd(), WM_USER + 1, 21, 0);
    const bool handledWhenReturned = handled.load();
    returned = true;
    EXPECT_EQ(result, 42);
    EXPECT_TRUE(handledWhenReturned);
    EXPECT_FALSE(returnedWhileHandled.load());
    const auto log = window.log().snapshot();
    const auto it =
        std::find_if(log.begin(), log.end(), [](const Received& r) { return r.message == WM_USER + 1; });
    ASSERT_NE(it, log.end());
    EXPECT_EQ(it->threadId, window.threadId());
    EXPECT_NE(it->threadId, GetCurrentThreadId());
}

TEST(SendMessage, BothWindowThreadLoopsAnswer) {
    REQUIRE_DISPLAY();
    WindowOptions options;
    options.blockingLoop = true;
    options.handler = [](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_USER + 7) return lParam + 1;
        return std::nullopt;
    };
    WindowThread window(options);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(SendMessageW(window.hwnd(), WM_USER + 7, 0, i), i + 1);
}

TEST(SendMessage, SendsBackAndForthDoNotDeadlock) {
    REQUIRE_DISPLAY();
    // The first window's procedure sends to the second while the test thread waits on the
    // first: each waiting thread keeps answering what is sent to it.
    WindowOptions second;
    second.handler = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_USER + 2) return 5;
        return std::nullopt;
    };
    WindowThread b(second);
    HWND bWindow = b.hwnd();
    WindowOptions first;
    first.handler = [bWindow](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_USER + 1) return SendMessageW(bWindow, WM_USER + 2, 0, 0) + 1;
        return std::nullopt;
    };
    WindowThread a(first);
    EXPECT_EQ(SendMessageW(a.hwnd(), WM_USER + 1, 0, 0), 6);
}

TEST(SendMessage, ToAWindowThatIsGoneReturnsZero) {
    REQUIRE_DISPLAY();
    HWND stale = nullptr;
    {
        WindowThread window;
        stale = window.hwnd();
    }
    SetLastError(0);
    EXPECT_EQ(SendMessageW(stale, WM_USER, 0, 0), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_FALSE(PostMessageW(stale, WM_USER, 0, 0));
    EXPECT_FALSE(IsWindow(stale));
}

TEST(PostMessage, ReachesTheWindowProcedureOnItsThread) {
    REQUIRE_DISPLAY();
    WindowThread window;
    ASSERT_TRUE(PostMessageW(window.hwnd(), WM_USER + 9, 1, 2));
    const auto index = window.log().waitForMessage(WM_USER + 9);
    ASSERT_TRUE(index);
    const Received r = window.log().at(*index);
    EXPECT_EQ(r.wParam, 1u);
    EXPECT_EQ(r.lParam, 2);
    EXPECT_EQ(r.threadId, window.threadId());
}

}  // namespace
