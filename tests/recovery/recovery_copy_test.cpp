// The recovery copy: this editor's own, written once the map has been still for a while and
// holds unsaved changes, byte for byte what a save would write; removed by a save that leaves
// nothing unsaved; a failed write tried again until it succeeds; failed saves and opens say so
// on the console and to the window.
#include "app/recovery/recovery_copy.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/files/file_io_faults.h"
#include "app/files/state_folder.h"
#include "app/model/mind_map.h"
#include "app/recovery/recovery_files.h"
#include "tests/support/scratch_dir.h"
#include "unicode/utf.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using Clock = RecoveryCopy::Clock;

void setEnvironment(const char* name, const std::string& value) {
#ifdef _WIN32
    ::SetEnvironmentVariableW(reinterpret_cast<const wchar_t*>(unicode::fromUtf8(name).c_str()),
                              reinterpret_cast<const wchar_t*>(unicode::fromUtf8(value).c_str()));
#else
    ::setenv(name, value.c_str(), 1);
#endif
}

std::u16string wide(const fs::path& path) {
    return path.u16string();
}

class RecoveryCopyTest : public ::testing::Test {
  protected:
    void SetUp() override {
#ifdef _WIN32
        setEnvironment("LOCALAPPDATA", scratch.path().string());
#else
        setEnvironment("XDG_STATE_HOME", (scratch.path() / "state").string());
#endif
        copyPath = recoveryCopyPath();
        ASSERT_FALSE(copyPath.empty());
    }

    void TearDown() override {
        failFileStep(FileStep::write, 0);
    }

    fs::path copyFile() const {
        return fs::path(copyPath);
    }
    bool copyExists() const {
        return fs::exists(copyFile());
    }

    // Runs passes from t0 on until `seconds` have gone by, a pass each 10 ms of that time.
    void passFor(RecoveryCopy& copy, MindMap& map, double seconds) {
        const auto end =
            now + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
        for (; now <= end; now += std::chrono::milliseconds(10)) copy.afterPass(map, now);
        copy.waitIdle();
    }

    mmtest::ScratchDir scratch{"recovery_copy"};
    std::u16string copyPath;
    Clock::time_point now = Clock::time_point{} + std::chrono::hours(1);
};

TEST_F(RecoveryCopyTest, EachEditorHasItsOwnCopyInTheStateFolderMadeOwnerOnly) {
#ifdef _WIN32
    const fs::path folder = scratch.path() / "mindmap";
#else
    const fs::path folder = scratch.path() / "state" / "mindmap";
    const auto perms = fs::status(folder).permissions();
    EXPECT_EQ(perms & (fs::perms::group_all | fs::perms::others_all), fs::perms::none);
#endif
    EXPECT_EQ(copyFile().parent_path(), folder);
    const std::string name = copyFile().filename().string();
    // recovery-<start>-<pid>.mind: no other running editor has the same.
#ifdef _WIN32
    const std::string pid = std::to_string(::GetCurrentProcessId());
#else
    const std::string pid = std::to_string(::getpid());
#endif
    EXPECT_EQ(name.rfind("recovery-", 0), 0u) << name;
    EXPECT_NE(name.find("-" + pid + ".mind"), std::string::npos) << name;
    EXPECT_EQ(recoveryCopyPath(), copyPath) << "the same name for the whole run";

    EXPECT_TRUE(isRecoveryCopyPath(copyPath));
    EXPECT_TRUE(isRecoveryCopyPath(wide(folder / "recovery-1-2.mind")));
    EXPECT_TRUE(isRecoveryCopyPath(wide(folder / "a.mind.77-1.backup")));
    EXPECT_TRUE(isRecoveryCopyPath(wide(folder / "." / "recovery.mind"))) << "spelled another way";
    EXPECT_FALSE(isRecoveryCopyPath(copyPath + u"x"));
    EXPECT_FALSE(isRecoveryCopyPath(wide(scratch.path() / "recovery-1-2.mind"))) << "not in the state folder";
}

TEST_F(RecoveryCopyTest, WrittenAfterFiveStillSecondsWithWhatASaveWouldWrite) {
    RecoveryCopy copy(copyPath);
    MindMap map;
    passFor(copy, map, 10);
    EXPECT_FALSE(copyExists()) << "a map without changes needs no copy";

    map.addChildNode();
    passFor(copy, map, 4.5);
    EXPECT_FALSE(copyExists()) << "written before the map was still for five seconds";
    map.addSiblingNode();  // a further change starts the wait again
    passFor(copy, map, 4.5);
    EXPECT_FALSE(copyExists());
    passFor(copy, map, 1);
    ASSERT_TRUE(copyExists());
    EXPECT_EQ(mmtest::readBytes(copyFile()), map.saveToBytes());
    EXPECT_FALSE(copy.nextDeadline().has_value());
}

TEST_F(RecoveryCopyTest, ACleanSaveRemovesTheCopyAndAFailedOneKeepsIt) {
    RecoveryCopy copy(copyPath);
    MindMap map;
    map.addChildNode();
    passFor(copy, map, 6);
    ASSERT_TRUE(copyExists());

    testing::internal::CaptureStderr();
    EXPECT_FALSE(map.saveToFile(wide(scratch.path() / "missing" / "a.mind")));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("保存失败: "), std::string::npos) << said;
    EXPECT_NE(said.find("a.mind: "), std::string::npos) << said;
    passFor(copy, map, 1);
    EXPECT_TRUE(copyExists()) << "a failed save keeps the copy";

    ASSERT_TRUE(map.saveToFile(wide(scratch.path() / "a.mind")));
    passFor(copy, map, 1);
    EXPECT_FALSE(copyExists());
    EXPECT_FALSE(map.hasUnsavedChanges());
}

TEST_F(RecoveryCopyTest, ALeftCopyOpenedBecomesThisEditorsOwnAndGoesWhenSaved) {
    const fs::path folder = copyFile().parent_path();
    MindMap lost;
    lost.addChildNode();
    lost.addChildNode();
    const std::string lostBytes = lost.saveToBytes();
    const fs::path left = folder / "recovery-100-999999.mind";
    {
        std::ofstream out(left, std::ios::binary);
        out << lostBytes;
    }
    RecoveryCopy copy(copyPath);
    MindMap map;
    map.addChildNode();
    ASSERT_TRUE(copy.writeNow(map));
    const auto found = leftRecoveryFiles();
    ASSERT_EQ(found.size(), 1u) << "this editor's own copy is held, so not offered";
    EXPECT_EQ(fs::path(found[0].path), left);
    EXPECT_EQ(found[0].nodes, 3u);

    // Opened, it is unsaved work and the editor's own: the left file is gone, the own copy
    // holds it, and no other editor is offered it.
    ASSERT_TRUE(map.loadFromFile(found[0].path));
    EXPECT_TRUE(map.hasUnsavedChanges());
    passFor(copy, map, 0.1);
    EXPECT_FALSE(fs::exists(left));
    EXPECT_EQ(mmtest::readBytes(copyFile()), lostBytes);
    EXPECT_TRUE(leftRecoveryFiles().empty());
    passFor(copy, map, 6);
    EXPECT_EQ(mmtest::readBytes(copyFile()), lostBytes);

    ASSERT_TRUE(map.saveToFile(wide(scratch.path() / "kept.mind")));
    passFor(copy, map, 0.1);
    EXPECT_FALSE(copyExists());
    EXPECT_EQ(mmtest::readBytes(scratch.path() / "kept.mind"), lostBytes);
}

TEST_F(RecoveryCopyTest, ACopyIsLeftOnlyOnceItsLockIsFree) {
    const fs::path folder = copyFile().parent_path();
    MindMap map;
    map.addChildNode();
    {
        RecoveryCopy copy(copyPath);
        ASSERT_TRUE(copy.writeNow(map));
        EXPECT_TRUE(fs::exists(fs::path(recoveryLockPath(copyPath))));
        EXPECT_TRUE(leftRecoveryFiles().empty()) << "its editor still runs";
        // A backup of this editor's save under way is not left either.
        std::ofstream(folder / ("a.mind." + std::to_string(getpid()) + "-1.backup")) << "node: 1";
        EXPECT_TRUE(leftRecoveryFiles().empty());
    }
    // The editor went (its lock with it): its copy waits for the next start, as does a
    // backup of an editor that no longer runs.
    std::ofstream(folder / "b.mind.999998-3.backup") << "\xEF\xBB\xBFnode: 1 2 3 4 5 6 7 8 9 10 0 \"x\"\n";
    const auto found = leftRecoveryFiles();
    ASSERT_EQ(found.size(), 3u);
    int copies = 0;
    for (const auto& file : found) {
        if (file.kind == LeftRecoveryFile::Kind::copy) {
            ++copies;
            EXPECT_EQ(fs::path(file.path), copyFile());
            EXPECT_EQ(file.nodes, 2u);
        }
    }
    EXPECT_EQ(copies, 1);
}

TEST_F(RecoveryCopyTest, AnOpenOverUnsavedWorkLeavesItsCopyForLater) {
    const fs::path other = scratch.path() / "other.mind";
    {
        MindMap saved;
        ASSERT_TRUE(saved.saveToFile(wide(other)));
    }
    RecoveryCopy copy(copyPath);
    MindMap map;
    map.addChildNode();
    const std::string unsavedBytes = map.saveToBytes();
    passFor(copy, map, 6);
    ASSERT_TRUE(copyExists());
    ASSERT_TRUE(map.loadFromFile(wide(other)));
    passFor(copy, map, 0.1);
    EXPECT_FALSE(copyExists()) << "the copy is this map's no more";
    const auto found = leftRecoveryFiles();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(mmtest::readBytes(found[0].path), unsavedBytes);
}

TEST_F(RecoveryCopyTest, AFailedBackgroundWriteIsTriedAgainUntilItSucceeds) {
    RecoveryCopy copy(copyPath);
    copy.setRetryTime(std::chrono::milliseconds(50));
    MindMap map;
    map.addChildNode();
    failFileStep(FileStep::write, 1, true);
    passFor(copy, map, 6);
    EXPECT_TRUE(copy.retrying());
    EXPECT_FALSE(copyExists());
    EXPECT_EQ(copy.changeOnDisk(), 0u) << "not marked written before it is";
    // Still failing a few tries later; then the disk has room again. No pass runs meanwhile.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(copyExists());
    failFileStep(FileStep::write, 0);
    for (int i = 0; i < 400 && copy.changeOnDisk() != map.changeCount; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(copy.changeOnDisk(), map.changeCount);
    EXPECT_EQ(mmtest::readBytes(copyFile()), map.saveToBytes());
    EXPECT_FALSE(copy.retrying());
}

TEST_F(RecoveryCopyTest, WriteNowSaysTruthfullyWhetherTheWorkWasKept) {
    RecoveryCopy copy(copyPath);
    MindMap map;
    map.addChildNode();
    failFileStep(FileStep::write, 1, true);
    std::string reason;
    EXPECT_FALSE(copy.writeNow(takeSnapshot(map), &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_FALSE(copyExists());
    failFileStep(FileStep::write, 0);
    EXPECT_TRUE(copy.writeNow(takeSnapshot(map)));
    EXPECT_EQ(mmtest::readBytes(copyFile()), map.saveToBytes());
}

TEST_F(RecoveryCopyTest, TheStateFolderGoneIsMadeAgainWithTheLock) {
#ifdef _WIN32
    GTEST_SKIP() << "a lock held there keeps Windows from removing the folder";
#endif
    RecoveryCopy copy(copyPath);
    MindMap map;
    map.addChildNode();
    fs::remove_all(copyFile().parent_path());
    EXPECT_TRUE(copy.writeNow(map));
    EXPECT_EQ(mmtest::readBytes(copyFile()), map.saveToBytes());
    EXPECT_TRUE(leftRecoveryFiles().empty()) << "its lock is held again";
}

TEST_F(RecoveryCopyTest, DiscardedCopiesWaitSevenDays) {
    const fs::path folder = copyFile().parent_path();
    const fs::path left = folder / "recovery-5-999997.mind";
    std::ofstream(left) << "node: 1";
    ASSERT_TRUE(discardRecoveryFile(left.u16string()));
    EXPECT_FALSE(fs::exists(left));
    const fs::path kept = folder / "discarded" / left.filename();
    ASSERT_TRUE(fs::exists(kept));
    EXPECT_TRUE(leftRecoveryFiles().empty()) << "not offered again";
    const fs::path old = folder / "discarded" / "recovery-4-999996.mind";
    std::ofstream(old) << "node: 1";
    fs::last_write_time(old, fs::file_time_type::clock::now() - std::chrono::hours(24 * 8));
    fs::last_write_time(kept, fs::file_time_type::clock::now() - std::chrono::hours(24 * 6));
    sweepDiscardedRecoveryFiles();
    EXPECT_FALSE(fs::exists(old));
    EXPECT_TRUE(fs::exists(kept));
}

TEST_F(RecoveryCopyTest, ASnapshotWritesWhatASaveWrites) {
    MindMap map;
    map.addChildNode();
    map.addSiblingNode();
    map.setNodeFillColor(0xB4DCB4);
    map.toggleCollapse();
    const MapSnapshot first = takeSnapshot(map);
    EXPECT_EQ(snapshotBytes(first), map.saveToBytes());
    map.undo();
    map.selectedNode->text = u"a\"b\\c\nd";
    ++map.changeCount;
    const MapSnapshot second = takeSnapshot(map);
    EXPECT_EQ(snapshotBytes(second), map.saveToBytes());
    EXPECT_NE(snapshotBytes(first), snapshotBytes(second)) << "a snapshot is not changed by later edits";
    EXPECT_TRUE(second.unsaved());
}

TEST_F(RecoveryCopyTest, WriteNowKeepsOnlyUnsavedWork) {
    RecoveryCopy copy(copyPath);
    MindMap map;
    EXPECT_FALSE(copy.writeNow(map));
    EXPECT_FALSE(copyExists());
    map.setNodeFillColor(0xB4DCB4);
    EXPECT_TRUE(copy.writeNow(map));
    EXPECT_EQ(mmtest::readBytes(copyFile()), map.saveToBytes());
    map.undo();
    EXPECT_TRUE(copy.writeNow(map)) << "undo is a change too";
    EXPECT_EQ(mmtest::readBytes(copyFile()), map.saveToBytes());
}

TEST_F(RecoveryCopyTest, AFailedOpenSaysWhyAndKeepsTheMap) {
    // The window's line too, until the next command clears it.
    MindMap map;
    map.addChildNode();
    const std::string before = map.saveToBytes();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(map.loadFromFile(wide(scratch.path() / "nothing-here.mind")));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.rfind("打开失败: ", 0), 0u) << said;
    EXPECT_EQ(said.back(), '\n');
    EXPECT_EQ(unicode::toUtf8(map.fileFailure) + "\n", said);
    EXPECT_EQ(map.saveToBytes(), before);
    EXPECT_TRUE(map.hasUnsavedChanges());
}

TEST_F(RecoveryCopyTest, ASaveOntoTheCopyByAnotherSpellingKeepsItAsTheUsersFile) {
    const fs::path folder = copyFile().parent_path();
    const fs::path name = copyFile().filename();
    std::vector<fs::path> spellings = {folder / "." / name, folder / ".." / folder.filename() / name};
#ifndef _WIN32
    fs::create_directory_symlink(folder, scratch.path() / "linked");
    spellings.push_back(scratch.path() / "linked" / name);
#endif
    for (const fs::path& spelling : spellings) {
        SCOPED_TRACE(spelling.string());
        fs::remove(copyFile());
        RecoveryCopy copy(copyPath);
        MindMap map;
        map.addChildNode();
        passFor(copy, map, 6);
        ASSERT_TRUE(copyExists());
        map.addSiblingNode();
        ASSERT_TRUE(map.saveToFile(wide(spelling)));
        const std::string saved = map.saveToBytes();
        passFor(copy, map, 0.1);
        ASSERT_TRUE(copyExists()) << "the file just saved was removed";
        EXPECT_EQ(mmtest::readBytes(copyFile()), saved);

        // Later work goes to a copy of another name; the user's file is never written over.
        EXPECT_NE(fs::path(copy.path()), copyFile());
        map.addChildNode();
        passFor(copy, map, 6);
        EXPECT_EQ(mmtest::readBytes(copyFile()), saved);
        ASSERT_TRUE(fs::exists(fs::path(copy.path())));
        EXPECT_EQ(mmtest::readBytes(fs::path(copy.path())), map.saveToBytes());
        EXPECT_TRUE(isRecoveryCopyPath(copy.path()));
        map.addChildNode();
        ASSERT_TRUE(copy.writeNow(map));
        EXPECT_EQ(mmtest::readBytes(copyFile()), saved);
        EXPECT_EQ(mmtest::readBytes(fs::path(copy.path())), map.saveToBytes());
    }
}

}  // namespace
