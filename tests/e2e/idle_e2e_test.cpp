// The real editor left alone: it sleeps until input comes and still answers it at once.
// Wake-ups are the process's context switches, summed over its threads.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "tests/e2e/editor_fixture.h"

namespace e2e {
namespace {

long long voluntarySwitches(pid_t pid) {
    long long total = 0;
    std::error_code error;
    for (const auto& task : fs::directory_iterator(fs::path("/proc") / std::to_string(pid) / "task", error)) {
        std::ifstream status(task.path() / "status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0) total += std::atoll(line.c_str() + 24);
        }
    }
    return total;
}

// Wake-ups of the editor over one second with nothing happening.
long long wakeUpsInASecond(EditorSession& session) {
    const long long before = voluntarySwitches(session.pid());
    std::this_thread::sleep_for(std::chrono::seconds(1));
    return voluntarySwitches(session.pid()) - before;
}

using IdleEditor = EditorFixture;

TEST_F(IdleEditor, SleepsUntilInputAndStillAnswersIt) {
    launch();
    ASSERT_TRUE(session.settle(kEditorPatience));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_LE(wakeUpsInASecond(session), 5) << "the idle editor keeps waking up";

    session.click(1300, 650, 3);  // a child under the selected root, after the idle second
    EXPECT_TRUE(nodeShows(800, 475, kSelected));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_LE(wakeUpsInASecond(session), 5) << "the editor kept waking after the input";

    session.tap(XK_Escape);
    EXPECT_EQ(session.waitForExit(kEditorPatience), 0);
}

}  // namespace
}  // namespace e2e
