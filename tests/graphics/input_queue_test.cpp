// The input queue on its own: capacity, filters, dropping at the head, flushing, the blocking
// take's producer side, and one producer thread against one consumer thread.
#include "graphics/input_queue.h"

#include <gtest/gtest.h>

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
    queue.deliver(keyDown('A'));
    queue.deliver(keyDown('B'));
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
        queue.deliver(mouseMove(1));
        queue.deliver(keyDown('K'));
        InputMessage message;
        ASSERT_TRUE(queue.peek(&message, filter, false));
        EXPECT_EQ(message.kind, WM_MOUSEMOVE) << int(filter);
        EXPECT_EQ(queue.size(), 2u);
    }
}

TEST(InputQueue, FilteredPeekDropsOnlyWhatStandsBeforeTheFirstMatch) {
    InputQueue queue;
    queue.deliver(mouseMove(1));
    queue.deliver(keyDown('K'));
    queue.deliver(mouseMove(2));
    InputMessage message;
    ASSERT_TRUE(queue.peek(&message, kInputKey, true));
    EXPECT_EQ(message.kind, WM_KEYDOWN);
    ASSERT_TRUE(queue.peek(&message, kInputAll, true));
    EXPECT_EQ(message.kind, WM_MOUSEMOVE);
    EXPECT_EQ(message.mouse.x, 2);
    EXPECT_FALSE(queue.peek(&message, kInputAll, true));

    // No match at all: everything of other categories is dropped.
    queue.deliver(mouseMove(3));
    queue.deliver(moved());
    EXPECT_FALSE(queue.peek(&message, kInputChar, false));
    EXPECT_TRUE(queue.empty());
}

TEST(InputQueue, FlushByCategoryKeepsTheOthersInOrder) {
    InputQueue queue;
    queue.deliver(mouseMove(1));
    queue.deliver(keyDown('A'));
    queue.deliver(mouseMove(2));
    queue.deliver(character(u'x'));
    queue.deliver(moved());
    queue.deliver(mouseMove(3));
    queue.flush(kInputMouse);
    EXPECT_EQ(drainKinds(queue), (std::vector<unsigned>{WM_KEYDOWN, WM_CHAR, WM_MOVE}));

    queue.deliver(keyDown('A'));
    queue.deliver(character(u'y'));
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
    queue.deliver(mouseMove(1));
    queue.deliver(keyDown('A'));
    queue.deliver(mouseMove(2));
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
    queue.deliver(mouseMove(1));
    queue.deliver(keyDown('K'));
    EXPECT_TRUE(queue.armTake(kInputKey));
    EXPECT_EQ(queue.acceptFilter(), kInputAll);
    InputMessage message;
    queue.take(&message);
    EXPECT_EQ(message.kind, WM_KEYDOWN);
}

// One producer thread (the window thread's role) and the consumer on this thread: every
// message arrives once, in order, whatever the interleaving.
TEST(InputQueueThreaded, ProducerAndConsumerKeepOrderWithoutLoss) {
    InputQueue queue;
    constexpr int kMessages = 100000;
    std::thread producer([&queue] {
        for (int i = 0; i < kMessages; ++i) {
            while (queue.size() == 63) std::this_thread::yield();
            queue.deliver(i % 3 == 0 ? keyDown(i % 256) : mouseMove(static_cast<std::int16_t>(i)));
        }
    });
    int received = 0;
    int passes = 0;
    InputMessage message;
    while (received < kMessages) {
        const bool remove = ++passes % 7 != 0;  // now and then only look
        if (!queue.peek(&message, kInputAll, remove)) {
            std::this_thread::yield();
            continue;
        }
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
    producer.join();
    EXPECT_TRUE(queue.empty());
}

// Flushing one category while the producer keeps appending: the other category's messages
// all stay, in order.
TEST(InputQueueThreaded, FlushDuringAppendsKeepsTheOtherCategory) {
    InputQueue queue;
    constexpr int kMessages = 100000;
    std::thread producer([&queue] {
        for (int i = 0; i < kMessages; ++i) {
            while (queue.size() >= 62) std::this_thread::yield();
            queue.deliver(i % 2 == 0 ? keyDown('K') : mouseMove(static_cast<std::int16_t>(i / 2)));
        }
    });
    int nextMouse = 0;
    InputMessage message;
    int passes = 0;
    while (nextMouse < kMessages / 2) {
        if (++passes % 5 == 0) queue.flush(kInputKey);
        if (!queue.peek(&message, kInputAll, true)) {
            std::this_thread::yield();
            continue;
        }
        if (message.kind == WM_KEYDOWN) continue;
        ASSERT_EQ(message.kind, WM_MOUSEMOVE);
        ASSERT_EQ(message.mouse.x, static_cast<std::int16_t>(nextMouse));
        ++nextMouse;
    }
    producer.join();
}

}  // namespace
}  // namespace Gfx
