// The editor as a user meets it, on the X display: the time from starting the process to the
// first complete frame on screen, and from an X input event to the frame that shows it.
// Prints the median and the spread of several runs. With a map file, the editor starts with it
// opened (mindmap FILE) and only the start is timed.
// Usage: startup_bench [RUNS] [MAP]
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/editor_session.h"
#include "tests/support/scratch_dir.h"

namespace {

using mmtest::EditorSession;
using mmtest::kEditorPatience;

using Ms = std::chrono::duration<double, std::milli>;

void report(const char* what, std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    std::printf("%-34s median %7.2f ms   min %7.2f ms   max %7.2f ms   (%zu runs)\n", what,
                samples[samples.size() / 2], samples.front(), samples.back(), samples.size());
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        std::puts("startup_bench: skipped, no X display (set DISPLAY or start Xvfb)");
        return 0;
    }
    const mmtest::ScratchDir dir("mm_startup");
    std::vector<std::string> args;
    if (argc > 2) args.push_back(argv[2]);

    std::vector<double> toFirstFrame;
    std::vector<double> inputToFrame;
    for (int run = 0; run < runs; ++run) {
        EditorSession session;
        if (!session.connected() || !session.start(MM_EDITOR_PATH, dir.path().string(), {}, args) ||
            !session.waitForWindow(kEditorPatience) || !session.waitForFirstFrame(kEditorPatience)) {
            std::puts("startup_bench: the editor did not show its first frame");
            return 1;
        }
        toFirstFrame.push_back(Ms(EditorSession::Clock::now() - session.startTime()).count());
        if (!args.empty()) {
            session.tap(XK_Escape);
            session.waitForExit(kEditorPatience);
            continue;
        }

        // Each right-click adds a child straight below the last one; time until it shows.
        for (int i = 0; i < 3; ++i) {
            const int childY = 375 + 100 * (i + 1);
            session.moveTo(1300, 60);
            const auto sent = EditorSession::Clock::now();
            session.click(1300, 60, 3);
            if (!session.waitForColour(mmtest::probeX(800), mmtest::probeY(childY), mmtest::kSelected,
                                       kEditorPatience)) {
                std::puts("startup_bench: a right-click did not show");
                return 1;
            }
            inputToFrame.push_back(Ms(EditorSession::Clock::now() - sent).count());
        }
        session.tap(XK_Escape);
        if (session.waitForExit(kEditorPatience) != 0) {
            std::puts("startup_bench: the editor did not end cleanly");
            return 1;
        }
    }
    report(args.empty() ? "process start -> first frame" : "process start -> first frame of the map", toFirstFrame);
    if (!inputToFrame.empty()) report("X input event -> frame showing it", inputToFrame);
    return 0;
}
