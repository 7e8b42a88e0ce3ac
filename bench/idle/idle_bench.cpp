// What the editor costs while nobody touches it, and what single actions cost: the real program
// on the X display opens maps of 1, 1,000 and 5,000 nodes spread beyond the window, and 5,000
// all in view, and is left alone with the pointer still; over a measuring window the process's
// CPU time (utime + stime of every thread) and its context switches (its wake-ups) are read
// from /proc. Then, the editor idle before each: the time from a hover change on a panel button
// to the frame that shows it and the CPU it costs; on 5,000 nodes the CPU of a recolour key on
// the selected node, a drag of it (frames a second, last move to end frame), a wheel step (a
// whole frame) and the path dialog open with its caret blinking.
//   idle_bench [--editor <program>] [--wine] [--seconds <n>] [--repeats <n>]
// --editor takes any build of the program, e.g. an older one to compare against (run both
// back to back on a quiet machine under Xvfb: `source scripts/xvfb.sh; ensure_display`).
// --wine starts the program (mindmap.exe) through Wine; the figures are those of the process
// that owns the window.
#include <X11/keysym.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/idle/editor_actions.h"
#include "bench/idle/idle_map.h"
#include "bench/idle/process_usage.h"
#include "tests/support/editor_session.h"
#include "tests/support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using mmtest::EditorSession;
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

// The panel's "撤销" button and its fills: hovering it is the latency probe.
constexpr int kUndoX = 14;
constexpr int kUndoY = 337;
constexpr std::uint32_t kUndoFill = 0xC8C8C8;
constexpr std::uint32_t kUndoHover = 0xB4B4B4;

struct Options {
    std::string editor = MM_EDITOR_PATH;
    bool wine = false;
    int seconds = 10;
    int repeats = 40;
    std::chrono::milliseconds patience{20000};
};

void measureIdle(const char* what, pid_t pid, int seconds) {
    const ProcessUsage before = readProcessUsage(pid);
    const auto start = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const ProcessUsage after = readProcessUsage(pid);
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    if (!before.ok || !after.ok) {
        std::printf("%-36s the process could not be read\n", what);
        return;
    }
    const double cpu = 100.0 * tickMsBetween(before, after) / 1000.0 / elapsed;
    const double voluntary =
        static_cast<double>(after.voluntarySwitches - before.voluntarySwitches) / elapsed;
    const double involuntary =
        static_cast<double>(after.involuntarySwitches - before.involuntarySwitches) / elapsed;
    std::printf("%-36s CPU %6.2f %% of a core   wake-ups %7.1f /s   (+ %.1f /s preempted)\n", what, cpu,
                voluntary, involuntary);
}

// A pointer move onto the undo button and off it again, each timed until the frame shows it,
// and the CPU it cost up to 30 ms after.
void measureLatency(const char* what, EditorSession& session, pid_t pid, int samples) {
    std::vector<double> times;
    double cpuMs = 0;
    for (int i = 0; i < samples; ++i) {
        const bool onto = i % 2 == 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the editor goes idle
        const ProcessUsage before = readProcessUsage(pid);
        const auto sent = Clock::now();
        session.moveTo(onto ? kUndoX + 80 : 1300, onto ? kUndoY - 10 : 700);
        if (!session.waitForColour(kUndoX, kUndoY, onto ? kUndoHover : kUndoFill, std::chrono::seconds(10))) {
            std::printf("%-36s a pointer move did not show\n", what);
            return;
        }
        times.push_back(Ms(Clock::now() - sent).count());
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        cpuMs += cpuMsBetween(before, readProcessUsage(pid));
    }
    std::sort(times.begin(), times.end());
    std::printf("%-36s median %6.2f ms   min %6.2f ms   max %6.2f ms   CPU %5.2f ms a move   (%zu moves)\n",
                what, times[times.size() / 2], times.front(), times.back(), cpuMs / samples, times.size());
}

// The process that owns the editor's window: the started one, or Wine's.
pid_t windowOwner(EditorSession& session) {
    const std::vector<long> pid = session.x.longProperty(session.window(), "_NET_WM_PID", "CARDINAL");
    return pid.empty() ? session.pid() : static_cast<pid_t>(pid.front());
}

bool openMap(EditorSession& session, const std::string& file, std::chrono::milliseconds patience) {
    session.x.key(XK_Control_L, true);
    session.tap(XK_o);
    const bool shown = session.waitForPathDialog(patience);
    session.x.key(XK_Control_L, false);
    return shown && session.enterPath(file, patience) && session.waitForPathDialogClosed(patience) &&
           session.settle(patience);
}

int runMap(const Options& options, const fs::path& dir, const fs::path& program, int nodes,
           IdleMapKind kind) {
    const std::string name = std::to_string(nodes) + (kind == IdleMapKind::InView ? " in view" : " nodes");
    const std::string file =
        "idle" + std::to_string(nodes) + (kind == IdleMapKind::InView ? "v" : "") + ".mind";
    if (!writeIdleBenchMap(nodes, (dir / file).string(), kind)) {
        std::printf("idle_bench: could not write %s\n", file.c_str());
        return 1;
    }
    EditorSession session;
    const auto owner =
        options.wine ? EditorSession::WindowOwner::Anyone : EditorSession::WindowOwner::StartedProcess;
    // A state folder of its own: the recovery copy an earlier run's changes left is not offered.
    const std::string state = "XDG_STATE_HOME=" + (dir / ("state-" + file)).string();
    if (!session.connected() || !session.start(program.string(), dir.string(), {state}) ||
        !session.waitForWindow(options.patience, owner) || !session.waitForFirstFrame(options.patience)) {
        std::puts("idle_bench: the editor did not show its first frame");
        return 1;
    }
    if (!openMap(session, file, options.patience)) {
        std::printf("idle_bench: the %d-node map did not open\n", nodes);
        return 1;
    }
    const pid_t pid = windowOwner(session);
    session.moveTo(1300, 700);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    measureIdle((name + ", idle").c_str(), pid, options.seconds);
    measureLatency((name + ", hover -> frame").c_str(), session, pid, options.repeats);
    if (nodes >= 5000) {
        session.x.key(XK_Control_L, true);
        session.tap(XK_o);
        const bool shown = session.waitForPathDialog(options.patience);
        session.x.key(XK_Control_L, false);
        if (!shown) {
            std::puts("idle_bench: the path dialog did not open");
            return 1;
        }
        session.moveTo(1300, 700);
        std::this_thread::sleep_for(std::chrono::seconds(1));
        measureIdle((name + ", dialog caret blinking").c_str(), pid, options.seconds);
        session.tap(XK_Escape);
        if (!session.waitForPathDialogClosed(options.patience)) return 1;
        // After the dialog: the recovery copy that a change brings five seconds later stays out of
        // its measurement.
        if (!selectLaneNode(session)) {
            std::puts("idle_bench: the lane's node could not be selected");
            return 1;
        }
        if (!measureRecolour((name + ", recolour key").c_str(), session, pid, options.repeats) ||
            !measureDrag((name + ", drag").c_str(), session, pid, 200) ||
            !measureWholeFrames((name + ", whole frame").c_str(), session, pid, options.repeats))
            return 1;
    }
    session.tap(XK_Escape);
    if (!session.waitForExit(options.patience).has_value()) {
        std::puts("idle_bench: the editor did not end");
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--editor" && i + 1 < argc) {
            options.editor = argv[++i];
        } else if (arg == "--wine") {
            options.wine = true;
        } else if (arg == "--seconds" && i + 1 < argc) {
            options.seconds = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--repeats" && i + 1 < argc) {
            options.repeats = std::max(2, std::atoi(argv[++i]));
        } else {
            std::puts("usage: idle_bench [--editor <program>] [--wine] [--seconds <n>] [--repeats <n>]");
            return 2;
        }
    }
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        std::puts("idle_bench: skipped, no X display (set DISPLAY or start Xvfb)");
        return 0;
    }
    const mmtest::ScratchDir scratch("mm_idle");
    fs::path program = fs::absolute(options.editor);
    if (options.wine) {
        // The session starts a program without arguments: a launcher hands the editor to Wine.
        program = scratch.path() / "run-mindmap.sh";
        std::ofstream(program) << "#!/bin/sh\nexec wine '" << fs::absolute(options.editor).string() << "'\n";
        fs::permissions(program, fs::perms::owner_all);
    }
    std::printf("idle_bench: %s%s, %d s a measurement\n", options.editor.c_str(),
                options.wine ? " under Wine" : "", options.seconds);
    for (int nodes : {1, 1000, 5000}) {
        if (runMap(options, scratch.path(), program, nodes, IdleMapKind::Spread) != 0) return 1;
    }
    if (runMap(options, scratch.path(), program, 5000, IdleMapKind::InView) != 0) return 1;
    return 0;
}
