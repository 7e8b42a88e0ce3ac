// The recovery copy: written once the map has been still for a while and holds unsaved
// changes, byte for byte what a save would write; removed by a save or open that leaves nothing
// unsaved, but never one that a run before this one left and this run has not taken up; and
// failed saves and opens say so on the console.
#include "app/storage/recovery_copy.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/model/mind_map.h"
#include "app/storage/state_folder.h"
#include "tests/support/scratch_dir.h"
#include "unicode/utf.h"

#ifdef _WIN32
#include <windows.h>
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

    fs::path copyFile() const {
        return fs::path(copyPath);
    }
    bool copyExists() const {
        return fs::exists(copyFile());
    }

    // Runs passes from t0 on until `seconds` have gone by, a pass each 10 ms of that time.
    void passFor(RecoveryCopy& copy, const MindMap& map, double seconds) {
        const auto end =
            now + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
        for (; now <= end; now += std::chrono::milliseconds(10)) copy.afterPass(map, now);
        copy.waitIdle();
    }

    mmtest::ScratchDir scratch{"recovery_copy"};
    std::u16string copyPath;
    Clock::time_point now = Clock::time_point{} + std::chrono::hours(1);
};

TEST_F(RecoveryCopyTest, LivesInTheStateFolderMadeOwnerOnly) {
#ifdef _WIN32
    EXPECT_EQ(copyFile(), scratch.path() / "mindmap" / "recovery.mind");
#else
    EXPECT_EQ(copyFile(), scratch.path() / "state" / "mindmap" / "recovery.mind");
    const auto perms = fs::status(copyFile().parent_path()).permissions();
    EXPECT_EQ(perms & (fs::perms::group_all | fs::perms::others_all), fs::perms::none);
#endif
    EXPECT_TRUE(isRecoveryCopyPath(copyPath));
    EXPECT_FALSE(isRecoveryCopyPath(copyPath + u"x"));
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

TEST_F(RecoveryCopyTest, ACopyFromAnEarlierRunStaysUntilThisRunReplacesIt) {
    {
        RecoveryCopy earlier(copyPath);
        MindMap lost;
        lost.addChildNode();
        ASSERT_TRUE(earlier.writeNow(lost));
    }
    const std::string earlierBytes = mmtest::readBytes(copyFile());
    RecoveryCopy copy(copyPath);
    MindMap map;
    ASSERT_TRUE(map.saveToFile(wide(scratch.path() / "b.mind")));  // a clean save of other work
    passFor(copy, map, 6);
    EXPECT_EQ(mmtest::readBytes(copyFile()), earlierBytes);

    // Opened again, it is unsaved work: a save elsewhere ends its need.
    ASSERT_TRUE(map.loadFromFile(copyPath));
    EXPECT_TRUE(map.hasUnsavedChanges());
    passFor(copy, map, 6);
    EXPECT_EQ(mmtest::readBytes(copyFile()), earlierBytes);
    ASSERT_TRUE(map.saveToFile(wide(scratch.path() / "kept.mind")));
    passFor(copy, map, 1);
    EXPECT_FALSE(copyExists());
    EXPECT_EQ(mmtest::readBytes(scratch.path() / "kept.mind"), earlierBytes);
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
    MindMap map;
    map.addChildNode();
    const std::string before = map.saveToBytes();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(map.loadFromFile(wide(scratch.path() / "nothing-here.mind")));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.rfind("打开失败: ", 0), 0u) << said;
    EXPECT_EQ(said.back(), '\n');
    EXPECT_EQ(map.saveToBytes(), before);
    EXPECT_TRUE(map.hasUnsavedChanges());
}

TEST_F(RecoveryCopyTest, ASaveOntoTheCopyByAnotherSpellingKeepsItAsTheUsersFile) {
    const fs::path folder = copyFile().parent_path();
    std::vector<fs::path> spellings = {folder / "." / "recovery.mind",
                                       folder / ".." / folder.filename() / "recovery.mind"};
#ifndef _WIN32
    fs::create_directory_symlink(folder, scratch.path() / "linked");
    spellings.push_back(scratch.path() / "linked" / "recovery.mind");
#endif
    for (const fs::path& spelling : spellings) {
        SCOPED_TRACE(spelling.string());
        {
            RecoveryCopy earlier(copyPath);
            MindMap lost;
            lost.addChildNode();
            ASSERT_TRUE(earlier.writeNow(lost));
        }
        RecoveryCopy copy(copyPath);
        MindMap map;
        ASSERT_TRUE(map.loadFromFile(wide(spelling)));
        EXPECT_TRUE(map.hasUnsavedChanges()) << "the copy opened by another name is still unsaved work";
        map.addSiblingNode();
        passFor(copy, map, 6);
        ASSERT_TRUE(map.saveToFile(wide(spelling)));
        const std::string saved = map.saveToBytes();
        EXPECT_FALSE(map.hasUnsavedChanges());
        passFor(copy, map, 1);
        ASSERT_TRUE(copyExists()) << "the file just saved was removed";
        EXPECT_EQ(mmtest::readBytes(copyFile()), saved);

        // Later work is not written over it, neither after a while nor at the end.
        map.addChildNode();
        passFor(copy, map, 6);
        EXPECT_FALSE(copy.writeNow(map));
        EXPECT_EQ(mmtest::readBytes(copyFile()), saved);
    }
}

}  // namespace
