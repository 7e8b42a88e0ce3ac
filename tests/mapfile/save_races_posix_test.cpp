// Files changed under a save between its decision and its writing: a link put in the target's
// place, a file appearing under a new name, and a signal while an in-place rewrite has the
// file emptied.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <system_error>
#include <thread>

#include "app/files/rewrite_window.h"
#include "app/files/save_plan.h"
#include "tests/mapfile/save_files_fixture.h"

namespace {
// What the hooks do, set by each test before its save (hooks are plain functions).
fs::path swapTarget;  // replaced by a link to swapOther once the save has decided
fs::path swapOther;
fs::path appearing;  // made with "theirs" once the save has decided

void swapForLink(FileStep step) {
    if (step != FileStep::decided) return;
    fs::remove(swapTarget);
    fs::create_symlink(swapOther, swapTarget);
}

void makeAppear(FileStep step) {
    if (step != FileStep::decided) return;
    std::ofstream(appearing, std::ios::binary) << "theirs";
}

void terminateSelf(FileStep step) {
    if (step == FileStep::rewriting) ::kill(::getpid(), SIGTERM);
}
}  // namespace

class SaveRaces : public SaveFiles {
  protected:
    void TearDown() override {
        setFileStepHook(nullptr);
        failFileStep(FileStep::renameFlags, 0);
        SaveFiles::TearDown();
    }
};

TEST_F(SaveRaces, LinkPutInTheTargetsPlaceAfterTheDecisionLeavesTheFileItNamesAlone) {
    // Two ways: a file of one name (renamed over) and one with a second hard link (in place).
    for (const bool hardLinked : {false, true}) {
        SCOPED_TRACE(hardLinked ? "in place" : "by rename");
        swapTarget = dir / (hardLinked ? "linked.mind" : "single.mind");
        swapOther = dir / (hardLinked ? "other-a.mind" : "other-b.mind");
        write(swapTarget, "mine");
        write(swapOther, "other");
        if (hardLinked) fs::create_hard_link(swapTarget, dir / "second-name.mind");
        setFileStepHook(swapForLink);
        std::string reason;
        EXPECT_FALSE(kept(replaceFileContents(swapTarget.u16string(), bigMap(50)), reason));
        setFileStepHook(nullptr);
        EXPECT_EQ(reason, kTargetChanged);
        EXPECT_EQ(contents(swapOther), "other");
        EXPECT_TRUE(fs::is_symlink(swapTarget));
        if (hardLinked) {
            EXPECT_EQ(contents(dir / "second-name.mind"), "mine");
        }
        EXPECT_EQ(backups(), 0u);
    }
    EXPECT_EQ(entries(), 5u);  // no temporary file left behind
}

TEST_F(SaveRaces, NewFileNeverReplacesOneThatAppearedMeanwhileEvenWhereRenameFlagsAreRefused) {
    for (const bool flagsRefused : {false, true}) {
        SCOPED_TRACE(flagsRefused ? "link fallback" : "renameat2");
        appearing = dir / (flagsRefused ? "b.mind" : "a.mind");
        setFileStepHook(makeAppear);
        if (flagsRefused) failFileStep(FileStep::renameFlags, 1, true);
        std::string reason;
        EXPECT_FALSE(kept(replaceFileContents(appearing.u16string(), bigMap(50)), reason));
        setFileStepHook(nullptr);
        EXPECT_EQ(reason, std::generic_category().message(EEXIST));
        EXPECT_EQ(contents(appearing), "theirs");
        // With nothing in the way the same save makes the file.
        const fs::path fresh = dir / (flagsRefused ? "d.mind" : "c.mind");
        EXPECT_TRUE(kept(replaceFileContents(fresh.u16string(), "new"), reason)) << reason;
        EXPECT_EQ(contents(fresh), "new");
        failFileStep(FileStep::renameFlags, 0);
    }
    EXPECT_EQ(entries(), 4u);
}

TEST_F(SaveRaces, SignalDuringAnInPlaceRewriteArrivesOnlyOnceTheFileIsWhole) {
    const fs::path target = dir / "map.mind";
    write(target, bigMap(10));
    fs::create_hard_link(target, dir / "second.mind");  // rewritten in place
    const std::string bytes = bigMap(3000);
    const pid_t saver = ::fork();
    ASSERT_GE(saver, 0);
    if (saver == 0) {
        setFileStepHook(terminateSelf);
        const bool saved = replaceFileContents(target.u16string(), bytes).ok;
        ::_exit(saved ? 3 : 4);  // reached only when the signal never came
    }
    int status = 0;
    ASSERT_EQ(::waitpid(saver, &status, 0), saver);
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit code " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
    EXPECT_EQ(contents(target), bytes);
    EXPECT_EQ(backups(), 0u);
}

TEST(RewriteWindowGate, AnEndElsewhereWaitsUntilTheWindowCloses) {
    std::atomic<bool> opened{false}, closing{false}, waited{false};
    std::thread saver([&] {
        RewriteWindow window;
        waitForRewritesInPlace();  // its own window does not hold the saving thread up
        opened = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        closing = true;
    });
    while (!opened) std::this_thread::yield();
    waitForRewritesInPlace();
    waited = closing.load();
    saver.join();
    EXPECT_TRUE(waited);
}
