// The input queue: categories, records, the ring and its two positions, filtering and the
// producer's side of the blocking take; and the API's input functions, which read the window
// object's queue (program's thread only).
#include "graphics/input_queue.h"

#include <chrono>
#include <cstring>

#include "graphics/graph_wnd.h"
#include "graphics/graphics.h"
#include "graphics/library_state.h"

namespace Gfx {

namespace {

constexpr std::uint32_t kPositionMask = 63;
constexpr unsigned kWriteShift = 6;
constexpr std::uint32_t kReadBits = kPositionMask;
constexpr std::uint32_t kWriteBits = kPositionMask << kWriteShift;

unsigned readOf(std::uint32_t word) {
    return word & kPositionMask;
}
unsigned writeOf(std::uint32_t word) {
    return (word >> kWriteShift) & kPositionMask;
}
unsigned next(unsigned position) {
    return (position + 1) & kPositionMask;
}

std::uint8_t mouseFlagsOf(WPARAM keyState) {
    std::uint8_t flags = 0;
    if (keyState & MK_CONTROL) flags |= kMouseCtrl;
    if (keyState & MK_SHIFT) flags |= kMouseShift;
    if (keyState & MK_LBUTTON) flags |= kMouseLeft;
    if (keyState & MK_MBUTTON) flags |= kMouseMiddle;
    if (keyState & MK_RBUTTON) flags |= kMouseRight;
    return flags;
}

}  // namespace

BYTE inputCategory(unsigned kind) {
    if (kind >= WM_MOUSEMOVE && kind <= WM_MOUSEWHEEL) return kInputMouse;
    if (kind == WM_KEYDOWN || kind == WM_KEYUP) return kInputKey;
    if (kind == WM_CHAR) return kInputChar;
    if (kind == WM_MOVE || kind == WM_SIZE || kind == WM_ACTIVATE) return kInputWindow;
    return 0;
}

InputMessage makeInputRecord(UINT message, WPARAM wParam, LPARAM lParam) {
    InputMessage record;
    std::memset(&record, 0, sizeof(record));
    if (message >= WM_MOUSEMOVE && message <= WM_MOUSEWHEEL) {
        record.kind = static_cast<std::uint16_t>(message);
        record.mouse.mouseFlags = mouseFlagsOf(wParam);
        record.mouse.x = static_cast<std::int16_t>(LOWORD(lParam));
        record.mouse.y = static_cast<std::int16_t>(HIWORD(lParam));
        record.mouse.wheel = static_cast<std::int16_t>(HIWORD(wParam));
    } else if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN || message == WM_KEYUP ||
               message == WM_SYSKEYUP) {
        const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
        const auto bits = static_cast<std::uint32_t>(lParam);
        record.kind = static_cast<std::uint16_t>(down ? WM_KEYDOWN : WM_KEYUP);
        record.key.keyCode = static_cast<std::uint8_t>(wParam);
        record.key.scanCode = static_cast<std::uint8_t>((bits >> 16) & 0xFF);
        record.key.keyFlags = static_cast<std::uint8_t>(((bits >> 24) & 1) | (((bits >> 30) & 1) << 1));
    } else if (message == WM_CHAR) {
        record.kind = WM_CHAR;
        record.text.character = static_cast<std::uint16_t>(wParam);
    } else {
        record.kind = static_cast<std::uint16_t>(message);
        record.window.wParam = static_cast<std::uint64_t>(wParam);
        record.window.lParam = static_cast<std::int64_t>(lParam);
    }
    return record;
}

InputQueue::InputQueue() : entries(), positions(0), acceptFilter_(kInputAll), takerWaiting(false) {}

bool InputQueue::empty() const {
    const std::uint32_t word = positions.load(std::memory_order_acquire);
    return readOf(word) == writeOf(word);
}

unsigned InputQueue::size() const {
    const std::uint32_t word = positions.load(std::memory_order_acquire);
    return (writeOf(word) - readOf(word)) & kPositionMask;
}

// Moves the read position one slot on, provided nobody else moved it from `read` meanwhile.
bool InputQueue::advanceReadFrom(unsigned read) {
    std::uint32_t word = positions.load(std::memory_order_acquire);
    while (readOf(word) == read) {
        const std::uint32_t moved = (word & ~kReadBits) | next(read);
        if (positions.compare_exchange_weak(word, moved, std::memory_order_acq_rel,
                                            std::memory_order_acquire)) {
            return true;
        }
    }
    return false;
}

void InputQueue::dropAtHead(BYTE filter) {
    for (;;) {
        const std::uint32_t word = positions.load(std::memory_order_acquire);
        const unsigned read = readOf(word);
        if (read == writeOf(word)) return;
        if ((inputCategory(entries[read].kind) & filter) != 0) return;
        advanceReadFrom(read);
    }
}

bool InputQueue::peek(InputMessage* out, BYTE filter, bool remove) {
    if (!acceptsEveryCategory(filter)) dropAtHead(filter);
    for (;;) {
        const std::uint32_t word = positions.load(std::memory_order_acquire);
        const unsigned read = readOf(word);
        if (read == writeOf(word)) return false;
        const InputMessage head = entries[read];
        if (!remove || advanceReadFrom(read)) {
            if (out != nullptr) *out = head;
            return true;
        }
    }
}

void InputQueue::take(InputMessage* out) {
    for (;;) {
        const std::uint32_t word = positions.load(std::memory_order_acquire);
        const unsigned read = readOf(word);
        if (read == writeOf(word)) throw InputQueueError();
        const InputMessage head = entries[read];
        if (advanceReadFrom(read)) {
            if (out != nullptr) *out = head;
            return;
        }
    }
}

void InputQueue::clear() {
    std::lock_guard<std::mutex> guard(writerLock);
    std::uint32_t word = positions.load(std::memory_order_acquire);
    while (!positions.compare_exchange_weak(word, word & ~(kReadBits | kWriteBits), std::memory_order_acq_rel,
                                            std::memory_order_acquire)) {
    }
}

void InputQueue::flush(BYTE filter) {
    if (acceptsEveryCategory(filter)) {
        clear();
        return;
    }
    std::lock_guard<std::mutex> guard(writerLock);
    // Every message is taken out (the read position catches up with the write position) and
    // the kept ones are appended again from there, in order.
    InputMessage kept[kSlots - 1];
    unsigned keptCount = 0;
    const std::uint32_t word = positions.load(std::memory_order_acquire);
    const unsigned write = writeOf(word);
    for (unsigned at = readOf(word); at != write; at = next(at)) {
        if ((inputCategory(entries[at].kind) & filter) == 0) kept[keptCount++] = entries[at];
    }
    unsigned at = write;
    for (unsigned i = 0; i < keptCount; ++i, at = next(at)) entries[at] = kept[i];
    std::uint32_t current = word;
    while (!positions.compare_exchange_weak(
        current, (current & ~(kReadBits | kWriteBits)) | write | (at << kWriteShift),
        std::memory_order_acq_rel, std::memory_order_acquire)) {
    }
}

bool InputQueue::append(const InputMessage& record) {
    std::lock_guard<std::mutex> guard(writerLock);
    std::uint32_t word = positions.load(std::memory_order_acquire);
    const unsigned write = writeOf(word);
    if (next(write) == readOf(word)) return false;  // 63 queued: the new message is lost
    entries[write] = record;
    while (!positions.compare_exchange_weak(word, (word & ~kWriteBits) | (next(write) << kWriteShift),
                                            std::memory_order_acq_rel, std::memory_order_acquire)) {
    }
    return true;
}

bool InputQueue::deliver(const InputMessage& record) {
    const BYTE filter = acceptFilter_.load(std::memory_order_relaxed);
    if ((inputCategory(record.kind) & filter) == 0) return false;
    if (!acceptsEveryCategory(filter)) dropAtHead(filter);
    append(record);
    const bool wake = takerWaiting.exchange(false);
    acceptFilter_.store(kInputAll, std::memory_order_relaxed);
    return wake;
}

bool InputQueue::armTake(BYTE filter) {
    takerWaiting.store(true);
    acceptFilter_.store(filter, std::memory_order_relaxed);
    // A matching message may have arrived between the taker's look at the queue and this
    // request; it would otherwise wait for the next one.
    if (!acceptsEveryCategory(filter)) dropAtHead(filter);
    if (!empty()) {
        takerWaiting.store(false);
        acceptFilter_.store(kInputAll, std::memory_order_relaxed);
        return true;
    }
    return false;
}

bool peekInputMessage(InputMessage* message, BYTE filter, bool remove) {
    GraphWnd* window = library.graphWindow;
    return window != nullptr && window->queue.peek(message, filter, remove);
}

void getInputMessage(InputMessage* message, BYTE filter) {
    if (GraphWnd* window = library.graphWindow) {
        window->takeInput(message, filter);
    } else if (message != nullptr) {
        *message = InputMessage{};
    }
}

InputMessage getInputMessage(BYTE filter) {
    InputMessage message{};
    getInputMessage(&message, filter);
    return message;
}

bool waitForInputMessage(DWORD timeout) {
    GraphWnd* window = library.graphWindow;
    if (window == nullptr || window->hwnd.load() == nullptr) {
        Sleep(timeout < 10 ? timeout : 10);
        return false;
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout);
    // The event may still be set by a message taken since: a wake with an empty queue waits on.
    while (window->queue.empty()) {
        DWORD left = INFINITE;
        if (timeout != INFINITE) {
            const auto remaining =
                std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (remaining <= 0) return false;
            left = static_cast<DWORD>(remaining);
        }
        WaitForSingleObject(window->inputEvent, left);
    }
    return true;
}

void flushInputMessages(BYTE filter) {
    if (GraphWnd* window = library.graphWindow) window->queue.flush(filter);
}

}  // namespace Gfx
