// PeekMessageW, GetMessageW, DispatchMessageW, PostMessageW, SendMessageW and friends.
#include <poll.h>
#include <windows.h>

#include <algorithm>
#include <chrono>

#include "platform/kernel32/signal_watch.h"
#include "platform/user32/key_state.h"
#include "platform/user32/message_queue.h"
#include "platform/user32/paint.h"
#include "platform/user32/window.h"
#include "platform/user32/window_registry.h"
#include "platform/x11/display.h"
#include "platform/x11/events.h"

namespace platform::user32 {

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
    if (!x11::inputReaderRunning() && threadOwnsWindows(queue.threadId)) {
        x11::pumpXEvents();
        handleSentMessages(queue);
    }
    {
        std::lock_guard lock(queue.mutex);
        queue.arrivalsSeen = queue.arrivals;
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
    if (!x11::inputReaderRunning() && threadOwnsWindows(queue.threadId) && x11::xDisplayOpened()) {
        x11::XLock lock;
        Display* display = x11::xDisplay();
        if (XQLength(display) > 0) return;
        fds[1].fd = ConnectionNumber(display);
        count = 2;
    }
    poll(fds, count, timeout == INFINITE ? -1 : static_cast<int>(timeout));
    queue.drainWake();
}

// The queue-status bit of a posted message.
DWORD statusOf(UINT message) {
    if (message >= WM_KEYFIRST && message <= WM_KEYLAST) return QS_KEY;
    if (message == WM_MOUSEMOVE) return QS_MOUSEMOVE;
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) return QS_MOUSEBUTTON;
    if (message == WM_TIMER) return QS_TIMER;
    return QS_POSTMESSAGE | QS_ALLPOSTMESSAGE;
}

// Whether the queue holds what the wake mask asks for: anything of it, or with `onlyNew` only
// messages posted since the thread last looked (sent messages always count).
bool queueWakes(ThreadQueue& queue, DWORD wakeMask, bool onlyNew) {
    if (!x11::inputReaderRunning() && threadOwnsWindows(queue.threadId)) x11::pumpXEvents();
    {
        std::lock_guard lock(queue.mutex);
        if ((wakeMask & QS_SENDMESSAGE) && !queue.sent.empty()) return true;
        if ((wakeMask & (QS_POSTMESSAGE | QS_ALLPOSTMESSAGE)) && queue.quit) return true;
        const bool fresh = queue.arrivals != queue.arrivalsSeen;
        queue.arrivalsSeen = queue.arrivals;
        if (!onlyNew || fresh) {
            for (const MSG& msg : queue.posted) {
                if (statusOf(msg.message) & wakeMask) return true;
            }
        }
    }
    return (wakeMask & QS_PAINT) && paintDueIn(queue.threadId) == 0;
}

}  // namespace

}  // namespace platform::user32

using namespace platform::user32;
namespace x11 = platform::x11;

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

DWORD WINAPI MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE* handles, DWORD milliseconds,
                                         DWORD wakeMask, DWORD flags) {
    // Waiting for all the handles at once is not offered by this stand-in.
    if (count >= MAXIMUM_WAIT_OBJECTS || (count > 0 && handles == nullptr) || (flags & MWMO_WAITALL)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    const auto queue = currentQueue();
    DWORD watched = 0;
    for (; watched < count; ++watched) {
        if (!platform::kernel32::watchSignal(handles[watched], queue->wakeFd)) break;
    }
    DWORD result = WAIT_FAILED;
    if (watched == count) {
        using Clock = std::chrono::steady_clock;
        const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
        const bool onlyNew = (flags & MWMO_INPUTAVAILABLE) == 0;
        for (;;) {
            for (DWORD i = 0; i < count && result == WAIT_FAILED; ++i) {
                if (platform::kernel32::takeSignal(handles[i]) == 1) result = WAIT_OBJECT_0 + i;
            }
            if (result != WAIT_FAILED) break;
            if (queueWakes(*queue, wakeMask, onlyNew)) {
                result = WAIT_OBJECT_0 + count;
                break;
            }
            DWORD wait = paintDueIn(queue->threadId);
            if (milliseconds != INFINITE) {
                const auto left =
                    std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
                if (left <= 0) {
                    result = WAIT_TIMEOUT;
                    break;
                }
                wait = std::min(wait, static_cast<DWORD>(left));
            }
            waitForInput(*queue, wait);
        }
    }
    for (DWORD i = 0; i < watched; ++i) platform::kernel32::unwatchSignal(handles[i], queue->wakeFd);
    return result;
}

LRESULT WINAPI DispatchMessageW(const MSG* msg) {
    if (msg == nullptr || msg->hwnd == nullptr) return 0;
    return callWindowProcedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT WINAPI CallWindowProcW(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return proc != nullptr ? proc(window, message, wParam, lParam) : 0;
}

namespace {

BOOL postTo(DWORD threadId, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    if (!postMessageTo(threadId, msg)) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    return TRUE;
}

}  // namespace

BOOL WINAPI PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD owner = 0;
    if (window == nullptr) {
        owner = currentQueue()->threadId;
    } else {
        x11::XLock lock;
        const WindowRecord* record = findWindowOrFail(window);
        if (record == nullptr) return FALSE;
        owner = record->ownerThread;
    }
    return postTo(owner, window, message, wParam, lParam);
}

BOOL WINAPI PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
    return postTo(threadId, nullptr, message, wParam, lParam);
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
        x11::XLock lock;
        const WindowRecord* record = findWindowOrFail(window);
        if (record == nullptr) return 0;
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
