#include "bench/idle/editor_actions.h"

#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "bench/idle/frame_reading.h"
#include "bench/idle/idle_map.h"
#include "bench/idle/process_usage.h"

namespace {

using mmtest::EditorSession;
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

constexpr std::uint32_t kSelectedFill = 0xB48246;
constexpr int kStep = 2;  // pixels a pointer move goes
constexpr std::chrono::milliseconds kMovePace{10};
constexpr std::chrono::seconds kPatience{10};

// The lane's row that crosses the node boxes clear of their captions.
constexpr int kRowY = kLaneNodeY + 42;

int laneEdge(EditorSession& session) {
    const int edge =
        firstPixelOf(session.colours(kLaneLeft, kRowY, kLaneRight - kLaneLeft, 1), kSelectedFill);
    return edge < 0 ? -1 : kLaneLeft + edge;
}

struct Cost {
    double cpuMs = 0;
    double tickMs = 0;
    void add(const ProcessUsage& before, const ProcessUsage& after) {
        cpuMs += cpuMsBetween(before, after);
        tickMs += tickMsBetween(before, after);
    }
};

}  // namespace

bool selectLaneNode(EditorSession& session) {
    session.click(kLaneNodeX + 20, kLaneNodeY + 20);
    return session.waitForColour(mmtest::probeX(kLaneNodeX), mmtest::probeY(kLaneNodeY), kSelectedFill,
                                 kPatience);
}

bool measureRecolour(const char* what, EditorSession& session, pid_t pid, int presses) {
    // The caption's part of the box, where its colour shows.
    const auto caption = [&] {
        return session.colours(kLaneNodeX + 4, kLaneNodeY + 4, kLaneNodeWidth - 8, 30);
    };
    Cost captionCost;
    Cost fillCost;
    for (int i = 0; i < presses; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the editor goes idle
        const std::vector<std::uint32_t> shown = caption();
        ProcessUsage before = readProcessUsage(pid);
        session.tap(i % 2 == 0 ? XK_5 : XK_4);
        const auto deadline = Clock::now() + kPatience;
        while (caption() == shown) {
            if (Clock::now() > deadline) {
                std::printf("%-36s a caption colour key did not show\n", what);
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(30));  // the pass ends
        captionCost.add(before, readProcessUsage(pid));

        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        before = readProcessUsage(pid);
        session.tap(i % 2 == 0 ? XK_2 : XK_1);
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        fillCost.add(before, readProcessUsage(pid));
    }
    std::printf(
        "%-36s caption key %5.2f ms CPU (utime+stime %5.2f)   fill key %5.2f ms (%5.2f)   (%d each)\n", what,
        captionCost.cpuMs / presses, captionCost.tickMs / presses, fillCost.cpuMs / presses,
        fillCost.tickMs / presses, presses);
    return true;
}

bool measureWholeFrames(const char* what, EditorSession& session, pid_t pid, int steps) {
    // A column across the lane's node and the grid: any pan changes it.
    const auto column = [&] { return session.colours(kLaneNodeX + 3, kLaneTop - 40, 1, 200); };
    Cost cost;
    for (int i = 0; i < steps; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const std::vector<std::uint32_t> shown = column();
        const ProcessUsage before = readProcessUsage(pid);
        session.wheel(800, 300, i % 2 == 0 ? -1 : 1);
        const auto deadline = Clock::now() + kPatience;
        while (column() == shown) {
            if (Clock::now() > deadline) {
                std::printf("%-36s a wheel step did not show\n", what);
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        cost.add(before, readProcessUsage(pid));
    }
    std::printf("%-36s %6.2f ms CPU a wheel step (utime+stime %6.2f)   (%d steps)\n", what,
                cost.cpuMs / steps, cost.tickMs / steps, steps);
    return true;
}

namespace {

bool dragOnce(const char* what, EditorSession& session, pid_t pid, int moves, int direction) {
    const int startEdge = laneEdge(session);
    if (startEdge < 0) {
        std::printf("%-36s the lane's node is not selected\n", what);
        return false;
    }
    const int endEdge = startEdge + direction * kStep * moves;
    // Grabbed by its caption's end, a point inside the box wherever the box is.
    const int grabX = startEdge + 20;
    const int grabY = kLaneNodeY + 20;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const ProcessUsage before = readProcessUsage(pid);
    session.press(grabX, grabY);
    const auto start = Clock::now();
    MoveFrames frames(startEdge);
    int sent = 0;
    double lastMoveMs = 0;
    double finalMs = -1;
    while (finalMs < 0) {
        const auto now = Clock::now();
        if (now - start > kPatience) {
            std::printf("%-36s the node did not reach its end place\n", what);
            session.release(grabX + direction * kStep * moves, grabY);
            return false;
        }
        if (sent < moves && now >= start + kMovePace * (sent + 1)) {
            ++sent;
            session.moveTo(grabX + direction * kStep * sent, grabY);
            lastMoveMs = Ms(Clock::now() - start).count();
            if (sent == moves) session.release(grabX + direction * kStep * moves, grabY);
        }
        const int edge = laneEdge(session);
        const double readMs = Ms(Clock::now() - start).count();
        frames.read(edge, readMs);
        if (sent == moves && edge == endEdge) finalMs = readMs;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const ProcessUsage after = readProcessUsage(pid);
    const double fps = frames.frames() * 1000.0 / std::max(1.0, frames.lastFrameMs());
    std::printf(
        "%-36s %5.1f frames/s   last move -> end frame %6.1f ms   %d frames, %d moves in %.0f ms,"
        "   CPU %5.2f ms a frame\n",
        what, fps, finalMs - lastMoveMs, frames.frames(), moves, lastMoveMs,
        cpuMsBetween(before, after) / std::max(1, frames.frames()));
    return true;
}

}  // namespace

bool measureDrag(const char* what, EditorSession& session, pid_t pid, int moves) {
    return dragOnce(what, session, pid, moves, 1) && dragOnce(what, session, pid, moves, -1);
}
