// Per-thread message queues, as Windows keeps them: posted and input messages in arrival
// order, messages sent from other threads (handled inside PeekMessageW/GetMessageW and
// while the thread itself waits for a reply), the quit flag, and an eventfd that wakes the
// thread when any of these arrive.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

namespace platform::user32 {

struct ThreadQueue;

struct SentMessage {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;
    bool done = false;                    // under the sender's queue mutex
    std::shared_ptr<ThreadQueue> sender;  // null: a notification nobody waits for
};

// Typed text that belongs to one key-down message, for TranslateMessage.
struct KeyText {
    DWORD id = 0;
    std::u16string text;
};

struct ThreadQueue {
    explicit ThreadQueue(DWORD id);
    ~ThreadQueue();
    ThreadQueue(const ThreadQueue&) = delete;
    ThreadQueue& operator=(const ThreadQueue&) = delete;
    void wake();
    void drainWake();

    const DWORD threadId;
    int wakeFd = -1;

    std::mutex mutex;
    std::deque<MSG> posted;
    // Messages posted so far, and that count when the thread last looked at its queue: what
    // MsgWaitForMultipleObjectsEx without MWMO_INPUTAVAILABLE calls new.
    std::uint64_t arrivals = 0;
    std::uint64_t arrivalsSeen = 0;
    std::deque<std::shared_ptr<SentMessage>> sent;
    bool quit = false;
    int quitCode = 0;
    bool alive = true;
    std::array<KeyText, 32> keyTexts{};
    DWORD nextKeyTextId = 1;

    // Touched only by the owning thread: key state as of the messages it has retrieved.
    std::array<BYTE, 256> keyState{};
};

std::shared_ptr<ThreadQueue> currentQueue();
std::shared_ptr<ThreadQueue> queueOf(DWORD threadId);
void wakeThread(DWORD threadId);
void wakeWindowThreads();  // every thread that owns a window

// Queues a posted message (time and cursor position filled in); false if the thread is gone.
bool postMessageTo(DWORD threadId, const MSG& msg);
// Hands a message to the owner's window procedure without waiting for it.
void notifyMessage(DWORD threadId, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Records typed text of a key-down; returns the id to carry in MSG::lPrivate.
DWORD storeKeyText(DWORD threadId, std::u16string text);

// Calls the window's procedure on this thread; 0 for a window that no longer exists.
LRESULT callWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Last known pointer position in screen coordinates, stamped on posted messages.
void setCursorPosition(int x, int y);
POINT cursorPosition();

}  // namespace platform::user32
