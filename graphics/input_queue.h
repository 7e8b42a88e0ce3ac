// The input queue: a ring of 64 InputMessage slots holding at most 63 messages, filled by the
// window thread (one producer) and read by the program's thread (one consumer). Both ring
// positions live in one 32-bit word (read position in bits 0-5, write position in bits 6-11)
// that each side changes only with an atomic read-modify-write.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <stdexcept>

#include "graphics/input_message.h"

namespace Gfx {

// The category bit of a message kind; 0 for kinds that never enter the queue.
BYTE inputCategory(unsigned kind);

// Filters whose low four bits are all set accept everything and never drop.
inline bool acceptsEveryCategory(BYTE filter) {
    return (filter & 0x0F) == 0x0F;
}

// The record for one window message, built from a zeroed record. The position of a wheel
// message must already be in client coordinates.
InputMessage makeInputRecord(UINT message, WPARAM wParam, LPARAM lParam);

// Taking from an empty ring: an internal error, unreachable through the API.
class InputQueueError : public std::logic_error {
  public:
    InputQueueError() : std::logic_error("take from an empty input queue"), code(4306) {}
    int code;
};

class InputQueue {
  public:
    static constexpr unsigned kSlots = 64;

    InputQueue();
    InputQueue(const InputQueue&) = delete;
    InputQueue& operator=(const InputQueue&) = delete;

    // Program's thread.
    bool peek(InputMessage* out, BYTE filter, bool remove);
    void take(InputMessage* out);  // throws InputQueueError when empty
    void flush(BYTE filter);
    void dropAtHead(BYTE filter);

    // Window thread. Both return true when a waiting blocking take must be woken.
    bool deliver(const InputMessage& record);
    bool armTake(BYTE filter);  // the blocking take's request (WM_USER + 1)

    void clear();
    bool empty() const;
    unsigned size() const;
    BYTE acceptFilter() const { return acceptFilter_.load(std::memory_order_relaxed); }
    // The packed position word: read position in bits 0-5, write position in bits 6-11.
    std::uint32_t positionWord() const { return positions.load(std::memory_order_acquire); }

  private:
    bool append(const InputMessage& record);
    bool advanceReadFrom(unsigned read);

    InputMessage entries[kSlots];
    std::atomic<std::uint32_t> positions;
    // Held by the producer while it appends and by flush while it rebuilds the ring, so a
    // rebuild never races a new message.
    std::mutex writerLock;
    std::atomic<BYTE> acceptFilter_;
    std::atomic<bool> takerWaiting;
};

// Program's thread: waits until an input message is queued or `timeout` milliseconds (or
// INFINITE) have passed; true when one is queued. Without an open window nothing can arrive:
// it waits at most 10 ms.
bool waitForInputMessage(DWORD timeout);

}  // namespace Gfx
