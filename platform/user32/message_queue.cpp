#include "platform/user32/message_queue.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <unordered_map>

#include "platform/user32/window.h"
#include "platform/user32/window_registry.h"
#include "platform/x11/display.h"

namespace platform::user32 {

namespace {

struct Queues {
    std::mutex mutex;
    std::unordered_map<DWORD, std::weak_ptr<ThreadQueue>> byThread;
};

Queues& queues() {
    static auto* instance = new Queues;
    return *instance;
}

std::atomic<std::int64_t> cursor{0};

// Ends the thread's queue when the thread ends: waiting senders get 0, and the windows it
// still owns are destroyed, as Windows does when a thread exits.
struct QueueHolder {
    std::shared_ptr<ThreadQueue> queue;
    ~QueueHolder() {
        if (!queue) return;
        {
            std::lock_guard lock(queues().mutex);
            queues().byThread.erase(queue->threadId);
        }
        std::deque<std::shared_ptr<SentMessage>> pending;
        {
            std::lock_guard lock(queue->mutex);
            queue->alive = false;
            pending.swap(queue->sent);
        }
        for (auto& sent : pending) {
            if (!sent->sender) continue;
            {
                std::lock_guard lock(sent->sender->mutex);
                sent->done = true;
            }
            sent->sender->wake();
        }
        destroyWindowsOfThread(queue->threadId);
    }
};

thread_local QueueHolder holder;

}  // namespace

ThreadQueue::ThreadQueue(DWORD id) : threadId(id), wakeFd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

ThreadQueue::~ThreadQueue() {
    if (wakeFd >= 0) close(wakeFd);
}

void ThreadQueue::wake() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = write(wakeFd, &one, sizeof one);
}

void ThreadQueue::drainWake() {
    std::uint64_t count = 0;
    [[maybe_unused]] const auto got = read(wakeFd, &count, sizeof count);
}

std::shared_ptr<ThreadQueue> currentQueue() {
    if (!holder.queue) {
        holder.queue = std::make_shared<ThreadQueue>(GetCurrentThreadId());
        std::lock_guard lock(queues().mutex);
        queues().byThread[holder.queue->threadId] = holder.queue;
    }
    return holder.queue;
}

std::shared_ptr<ThreadQueue> queueOf(DWORD threadId) {
    std::lock_guard lock(queues().mutex);
    const auto it = queues().byThread.find(threadId);
    return it == queues().byThread.end() ? nullptr : it->second.lock();
}

void wakeThread(DWORD threadId) {
    if (const auto queue = queueOf(threadId)) queue->wake();
}

void wakeWindowThreads() {
    // Called with x11::XLock held, so the window table is stable.
    DWORD last = 0;
    for (const WindowRecord* window : allWindows()) {
        if (window->ownerThread != last) wakeThread(window->ownerThread);
        last = window->ownerThread;
    }
}

bool postMessageTo(DWORD threadId, const MSG& msg) {
    const auto queue = queueOf(threadId);
    if (!queue) return false;
    MSG stamped = msg;
    if (stamped.time == 0) stamped.time = GetTickCount();
    if (stamped.pt.x == 0 && stamped.pt.y == 0) stamped.pt = cursorPosition();
    {
        std::lock_guard lock(queue->mutex);
        if (!queue->alive) return false;
        queue->posted.push_back(stamped);
        ++queue->arrivals;
    }
    queue->wake();
    return true;
}

void notifyMessage(DWORD threadId, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto queue = queueOf(threadId);
    if (!queue) return;
    auto sent = std::make_shared<SentMessage>();
    sent->hwnd = hwnd;
    sent->message = message;
    sent->wParam = wParam;
    sent->lParam = lParam;
    {
        std::lock_guard lock(queue->mutex);
        if (!queue->alive) return;
        queue->sent.push_back(std::move(sent));
    }
    queue->wake();
}

DWORD storeKeyText(DWORD threadId, std::u16string text) {
    const auto queue = queueOf(threadId);
    if (!queue) return 0;
    std::lock_guard lock(queue->mutex);
    const DWORD id = queue->nextKeyTextId++;
    if (queue->nextKeyTextId == 0) queue->nextKeyTextId = 1;
    queue->keyTexts[id % queue->keyTexts.size()] = KeyText{id, std::move(text)};
    return id;
}

LRESULT callWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc = nullptr;
    {
        x11::XLock lock;
        const WindowRecord* window = findWindowOrFail(hwnd);
        if (window == nullptr) return 0;
        proc = window->proc;
    }
    return proc != nullptr ? proc(hwnd, message, wParam, lParam) : 0;
}

void setCursorPosition(int x, int y) {
    cursor.store((static_cast<std::int64_t>(x) << 32) | static_cast<std::uint32_t>(y));
}

POINT cursorPosition() {
    const std::int64_t packed = cursor.load();
    return POINT{static_cast<LONG>(packed >> 32), static_cast<LONG>(static_cast<std::int32_t>(packed))};
}

}  // namespace platform::user32
