// The input queue on its own: capacity, filters, dropping at the head, flushing, the blocking
// take's producer side, and one producer thread against one consumer thread.
#include "graphics/input_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

namespace Gfx {
namespace {

InputMessage mouseMove(int x) {
    return makeInputRecord(WM_MOUSEMOVE, 0, MAKELPARAM(x, 0));
}
InputMessage keyDown(int code) {
    return makeInputRecord(WM_KEYDOWN, static_cast<WPARAM>(code), 0);
}
InputMessage character(char16_t c) {
    return makeInputRecord(WM_CHAR, c, 0);
}
InputMessage moved() {
    return makeInputRecord(WM_MOVE, 0, MAKELPARAM(10, 20));
}

// Delivers each message in turn, as the window thread would.
void deliverAll(InputQueue& queue, std::initializer_list<InputMessage> messages) {
    for (const InputMessage& message : messages) queue.deliver(message);
}

std::vector<unsigned> drainKinds(InputQueue& queue) {
    std::vector<unsigned> kinds;
    InputMessage message;
    while (queue.peek(&message, kInputAll, true)) kinds.push_back(message.kind);
    return kinds;
}

TEST(InputQueue, HoldsSixtyThreeAndLosesTheSixtyFourth) {
    InputQueue queue;
    for (int i = 0; i < 64; ++i) queue.deliver(mouseMove(i));
    EXPECT_EQ(queue.size(), 63u);
    InputMessage message;
    for (int i = 0; i < 63; ++i) {
        ASSERT_TRUE(queue.peek(&message, kInputAll, true));
        EXPECT_EQ(message.mouse.x, i);
    }
    EXPECT_FALSE(queue.peek(&message, kInputAll, true));
    // The ring keeps working across the wrap.
    queue.deliver(keyDown('A'));
    ASSERT_TRUE(queue.peek(&message, kInputAll, true));
    EXPECT_EQ(message.key.keyCode, 'A');
}

TEST(InputQueue, PeekWithoutRemovingAndRemovingWithoutRecord) {
    InputQueue queue;
    deliverAll(queue, {keyDown('A'), keyDown('B')});
    InputMessage message;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(queue.peek(&message, kInputAll, false));
        EXPECT_EQ(message.key.keyCode, 'A');
    }
    EXPECT_TRUE(queue.peek(nullptr, kInputAll, true));  // discards 'A'
    ASSERT_TRUE(queue.peek(&message, kInputAll, true));
    EXPECT_EQ(message.key.keyCode, 'B');
}

TEST(InputQueue, EmptyPeekLeavesTheRecordUntouched) {
    InputQueue queue;
    InputMessage message = keyDown('Z');
    EXPECT_FALSE(queue.peek(&message, kInputAll, true));
    EXPECT_EQ(message.key.keyCode, 'Z');
    EXPECT_THROW(queue.take(&message), InputQueueError);
}

TEST(InputQueue, FiltersThatAcceptEverythingNeverDiscard) {
    for (BYTE filter : {BYTE{15}, BYTE{255}, BYTE{0x1F}}) {
        InputQueue queue;
        deliverAll(queue, {mouseMove(1), keyDown('K')});
        InputMessage message;
        ASSERT_TRUE(queue.peek(&message, filter, false));
        EXPECT_EQ(message.kind, WM_MOUSEMOVE) << int(filter);
        EXPECT_EQ(queue.size(), 2u);
    }
}

TEST(InputQueue, FilteredPeekDropsOnlyWhatStandsBeforeTheFirstMatch) {
    InputQueue queue;
    deliverAll(queue, {mouseMove(1), keyDown('K'), mouseMove(2)});
    InputMessage message;
    ASSERT_TRUE(queue.peek(&message, kInputKey, true));
    EXPECT_EQ(message.kind, WM_KEYDOWN);
    ASSERT_TRUE(queue.peek(&message, kInputAll, true));
    EXPECT_EQ(message.kind, WM_MOUSEMOVE);
    EXPECT_EQ(message.mouse.x, 2);
    EXPECT_FALSE(queue.peek(&message, kInputAll, true));

    // No match at all: everything of other categories is dropped.
    deliverAll(queue, {mouseMove(3), moved()});
    EXPECT_FALSE(queue.peek(&message, kInputChar, false));
    EXPECT_TRUE(queue.empty());
}

TEST(InputQueue, FlushByCategoryKeepsTheOthersInOrder) {
    InputQueue queue;
    deliverAll(queue, {mouseMove(1), keyDown('A'), mouseMove(2), character(u'x'), moved(), mouseMove(3)});
    queue.flush(kInputMouse);
    EXPECT_EQ(drainKinds(queue), (std::vector<unsigned>{WM_KEYDOWN, WM_CHAR, WM_MOVE}));

    deliverAll(queue, {keyDown('A'), character(u'y')});
    queue.flush(kInputKey | kInputChar);
    EXPECT_TRUE(queue.empty());

    queue.deliver(keyDown('A'));
    queue.flush(kInputAll);
    EXPECT_TRUE(queue.empty());
    // Still usable after a flush that rebuilt the ring around its end.
    for (int i = 0; i < 70; ++i) queue.deliver(i % 2 ? mouseMove(i) : keyDown('A'));
    queue.flush(kInputKey);
    EXPECT_EQ(queue.size(), 31u);
}

// Read position in bits 0-5, write position in bits 6-11. A filtered flush takes every
// message out and appends the kept ones again behind them.
TEST(InputQueue, PositionWordAfterReadsAndFlushes) {
    InputQueue queue;
    deliverAll(queue, {mouseMove(1), keyDown('A'), mouseMove(2)});
    ASSERT_TRUE(queue.peek(nullptr, kInputAll, true));
    EXPECT_EQ(queue.positionWord(), 1u | (3u << 6));
    queue.flush(kInputMouse);
    EXPECT_EQ(queue.positionWord(), 3u | (4u << 6));
    InputMessage message;
    ASSERT_TRUE(queue.peek(&message, kInputAll, false));
    EXPECT_EQ(message.key.keyCode, 'A');

    // Across the end of the ring.
    for (int i = 0; i < 59; ++i) queue.deliver(mouseMove(i));
    queue.deliver(character(u'z'));
    EXPECT_EQ(queue.positionWord(), 3u | (0u << 6));
    queue.flush(kInputMouse);
    EXPECT_EQ(queue.positionWord(), 0u | (2u << 6));
    queue.flush(kInputAll);
    EXPECT_EQ(queue.positionWord(), 0u);
}

TEST(InputQueue, PendingTakeAcceptsOnlyItsCategoriesAndWakes) {
    InputQueue queue;
    queue.deliver(mouseMove(1));
    EXPECT_FALSE(queue.armTake(kInputKey));  // the mouse move before it is dropped
    EXPECT_TRUE(queue.empty());
    EXPECT_EQ(queue.acceptFilter(), kInputKey);

    EXPECT_FALSE(queue.deliver(mouseMove(2)));  // not queued, nobody woken
    EXPECT_TRUE(queue.empty());
    EXPECT_TRUE(queue.deliver(keyDown('K')));  // queued, the taker is woken
    EXPECT_EQ(queue.acceptFilter(), kInputAll);
    EXPECT_FALSE(queue.deliver(mouseMove(3)));  // accepted again, nobody waiting
    EXPECT_EQ(queue.size(), 2u);

    InputMessage message;
    queue.take(&message);
    EXPECT_EQ(message.kind, WM_KEYDOWN);
}

TEST(InputQueue, TakeArmedAfterAMatchArrivedIsWokenAtOnce) {
    InputQueue queue;
    deliverAll(queue, {mouseMove(1), keyDown('K')});
    EXPECT_TRUE(queue.armTake(kInputKey));
    EXPECT_EQ(queue.acceptFilter(), kInputAll);
    InputMessage message;
    queue.take(&message);
    EXPECT_EQ(message.kind, WM_KEYDOWN);
}

// The threaded tests give up after this long, with a failure that says what they waited for.
constexpr std::chrono::seconds kPatience{60};

// Yields until `ready` holds; false, with a failure naming what `describe` says was awaited,
// once `deadline` has passed.
template <typename Ready, typename Describe>
bool yieldUntil(Ready ready, std::chrono::steady_clock::time_point deadline, Describe describe) {
    while (!ready()) {
        if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << "waited " << kPatience.count() << " s for " << describe();
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}

// The window thread's role: on a thread of its own, delivers message(0) to message(count - 1),
// each once the queue holds fewer than `limit`. The destructor stops and joins the thread, so a
// consumer that fails or gives up never leaves it running.
class Producer {
  public:
    template <typename MakeMessage>
    Producer(InputQueue& queue, int count, unsigned limit, std::chrono::steady_clock::time_point deadline,
             MakeMessage message)
        : thread_([this, &queue, count, limit, deadline, message] {
              for (int i = 0; i < count; ++i) {
                  const bool room =
                      yieldUntil([&] { return stop_ || queue.size() < limit; }, deadline,
                                 [i] { return "room in the queue for message " + std::to_string(i); });
                  if (!room || stop_) return;
                  queue.deliver(message(i));
              }
          }) {}
    ~Producer() {
        stop_ = true;
        thread_.join();
    }
    Producer(const Producer&) = delete;
    Producer& operator=(const Producer&) = delete;

  private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// One producer thread and the consumer on this thread: every message arrives once, in order,
// whatever the interleaving.
TEST(InputQueueThreaded, ProducerAndConsumerKeepOrderWithoutLoss) {
    InputQueue queue;
    constexpr int kMessages = 100000;
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    Producer producer(queue, kMessages, 63, deadline, [](int i) {
        return i % 3 == 0 ? keyDown(i % 256) : mouseMove(static_cast<std::int16_t>(i));
    });
    int received = 0;
    int passes = 0;
    InputMessage message;
    while (received < kMessages) {
        const bool remove = ++passes % 7 != 0;  // now and then only look
        const bool arrived =
            yieldUntil([&] { return queue.peek(&message, kInputAll, remove); }, deadline,
                       [received] {
                           return "message " + std::to_string(received) + " of " + std::to_string(kMessages);
                       });
        if (!arrived) return;
        if (!remove) continue;
        if (received % 3 == 0) {
            ASSERT_EQ(message.kind, WM_KEYDOWN) << received;
            ASSERT_EQ(message.key.keyCode, received % 256);
        } else {
            ASSERT_EQ(message.kind, WM_MOUSEMOVE) << received;
            ASSERT_EQ(message.mouse.x, static_cast<std::int16_t>(received));
        }
        ++received;
    }
    EXPECT_TRUE(queue.empty());
}

// Flushing one category while the producer keeps appending: the other category's messages
// all stay, in order.
TEST(InputQueueThreaded, FlushDuringAppendsKeepsTheOtherCategory) {
    InputQueue queue;
    constexpr int kMessages = 100000;
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    Producer producer(queue, kMessages, 62, deadline, [](int i) {
        return i % 2 == 0 ? keyDown('K') : mouseMove(static_cast<std::int16_t>(i / 2));
    });
    int nextMouse = 0;
    InputMessage message;
    int passes = 0;
    while (nextMouse < kMessages / 2) {
        if (++passes % 5 == 0) queue.flush(kInputKey);
        const bool arrived = yieldUntil([&] { return queue.peek(&message, kInputAll, true); }, deadline,
                                        [nextMouse] {
                                            return "mouse move " + std::to_string(nextMouse) + " of " +
                                                   std::to_string(kMessages / 2);
                                        });
        if (!arrived) return;
        if (message.kind == WM_KEYDOWN) continue;
        ASSERT_EQ(message.kind, WM_MOUSEMOVE);
        ASSERT_EQ(message.mouse.x, static_cast<std::int16_t>(nextMouse));
        ++nextMouse;
    }
}

}  // namespace
}  // namespace Gfx
