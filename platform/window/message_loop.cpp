// PeekMessageW, GetMessageW, DispatchMessageW, PostMessageW, SendMessageW and friends.
#include <poll.h>
#include <windows.h>

#include "platform/window/message_queue.h"
#include "platform/window/window_internal.h"
#include "platform/window/window_registry.h"
#include "platform/window/x11_display.h"

namespace platform::win {

namespace {

// Runs the messages other threads sent to this one; each sender is told its result.
void handleSentMessages(ThreadQueue& queue) {
    for (;;) {
        std::shared_ptr<SentMessage> sent;
        {
            std::lock_guard lock(queue.mutex);
            if (queue.sent.empty()) return;
            sent = std::move(queue.sent.front());
            queue.sent.pop_front();
        }
        const LRESULT result = callWindowProcedure(sent->hwnd, sent->message, sent->wParam, sent->lParam);
        if (sent->sender) {
            {
                std::lock_guard lock(sent->sender->mutex);
                sent->result = result;
                sent->done = true;
            }
            sent->sender->wake();
        }
    }
}

bool matches(const MSG& msg, HWND filter, UINT first, UINT last) {
    if (filter == reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1))) {
        if (msg.hwnd != nullptr) return false;
    } else if (filter != nullptr && msg.hwnd != filter) {
        return false;
    }
    if (first == 0 && last == 0) return true;
    return msg.message >= first && msg.message <= last;
}

bool peek(ThreadQueue& queue, MSG* out, HWND filter, UINT first, UINT last, UINT flags) {
    const bool remove = (flags & PM_REMOVE) != 0;
    handleSentMessages(queue);
    if (!inputReaderRunning() && threadOwnsWindows(queue.threadId)) {
        pumpXEvents();
        handleSentMessages(queue);
    }
    {
        std::lock_guard lock(queue.mutex);
        for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
            if (!matches(*it, filter, first, last)) continue;
            const MSG found = *it;
            if (remove) queue.posted.erase(it);
            if (out != nullptr) *out = found;
            if (remove) noteRetrievedMessage(queue, found);
            return true;
        }
        // WM_QUIT comes whatever the filter, once the posted messages are gone.
        if (queue.quit) {
            if (out != nullptr) {
                *out = MSG{};
                out->message = WM_QUIT;
                out->wParam = static_cast<WPARAM>(queue.quitCode);
                out->time = GetTickCount();
                out->pt = cursorPosition();
            }
            if (remove) queue.quit = false;
            return true;
        }
    }
    if ((first == 0 && last == 0) || (first <= WM_PAINT && last >= WM_PAINT)) {
        MSG paint{};
        if (takePaintMessage(queue.threadId, filter, remove, &paint)) {
            if (out != nullptr) *out = paint;
            return true;
        }
    }
    return false;
}

// Sleeps until something may have arrived for this thread: a wake of its queue, X input
// when it owns windows and nobody else reads it, or the given time-out.
void waitForInput(ThreadQueue& queue, DWORD timeout) {
    pollfd fds[2] = {{queue.wakeFd, POLLIN, 0}, {-1, POLLIN, 0}};
    nfds_t count = 1;
    if (!inputReaderRunning() && threadOwnsWindows(queue.threadId) && xDisplayOpened()) {
        XLock lock;
        Display* display = xDisplay();
        if (XQLength(display) > 0) return;
        fds[1].fd = ConnectionNumber(display);
        count = 2;
    }
    poll(fds, count, timeout == INFINITE ? -1 : static_cast<int>(timeout));
    queue.drainWake();
}

}  // namespace

}  // namespace platform::win

using namespace platform::win;

BOOL WINAPI PeekMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    return peek(*currentQueue(), msg, window, filterMin, filterMax, removeFlags) ? TRUE : FALSE;
}

BOOL WINAPI GetMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    if (msg == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    const auto queue = currentQueue();
    for (;;) {
        if (peek(*queue, msg, window, filterMin, filterMax, PM_REMOVE))
            return msg->message == WM_QUIT ? FALSE : TRUE;
        waitForInput(*queue, paintDueIn(queue->threadId));
    }
}

BOOL WINAPI WaitMessage() {
    const auto queue = currentQueue();
    if (peek(*queue, nullptr, nullptr, 0, 0, PM_NOREMOVE)) return TRUE;
    waitForInput(*queue, paintDueIn(queue->threadId));
    return TRUE;
}

LRESULT WINAPI DispatchMessageW(const MSG* msg) {
    if (msg == nullptr || msg->hwnd == nullptr) return 0;
    return callWindowProcedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT WINAPI CallWindowProcW(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return proc != nullptr ? proc(window, message, wParam, lParam) : 0;
}

BOOL WINAPI PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD owner = 0;
    if (window == nullptr) {
        owner = currentQueue()->threadId;
    } else {
        XLock lock;
        const WindowRecord* record = findWindow(window);
        if (record == nullptr) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        owner = record->ownerThread;
    }
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    if (!postMessageTo(owner, msg)) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    if (!postMessageTo(threadId, msg)) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    return TRUE;
}

void WINAPI PostQuitMessage(int exitCode) {
    const auto queue = currentQueue();
    {
        std::lock_guard lock(queue->mutex);
        queue->quit = true;
        queue->quitCode = exitCode;
    }
    queue->wake();
}

LRESULT WINAPI SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD owner = 0;
    {
        XLock lock;
        const WindowRecord* record = findWindow(window);
        if (record == nullptr) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        owner = record->ownerThread;
    }
    const auto self = currentQueue();
    if (owner == self->threadId) return callWindowProcedure(window, message, wParam, lParam);

    const auto target = queueOf(owner);
    if (!target) return 0;
    auto sent = std::make_shared<SentMessage>();
    sent->hwnd = window;
    sent->message = message;
    sent->wParam = wParam;
    sent->lParam = lParam;
    sent->sender = self;
    {
        std::lock_guard lock(target->mutex);
        if (!target->alive) return 0;
        target->sent.push_back(sent);
    }
    target->wake();
    // While waiting, this thread still answers what is sent to it, so two threads sending
    // to each other do not deadlock.
    for (;;) {
        handleSentMessages(*self);
        {
            std::lock_guard lock(self->mutex);
            if (sent->done) return sent->result;
        }
        pollfd fd{self->wakeFd, POLLIN, 0};
        poll(&fd, 1, -1);
        self->drainWake();
    }
}
