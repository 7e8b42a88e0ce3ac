// A failure at any single step of a save, struck through the file layer's seam, leaves the old
// content in place and nothing behind.
#include <gtest/gtest.h>

#include "tests/mapfile/save_files_fixture.h"

namespace {
const char* stepName(FileStep step) {
    switch (step) {
        case FileStep::write:
            return "write";
        case FileStep::sync:
            return "sync";
        case FileStep::rename:
            return "rename";
        case FileStep::truncate:
            return "truncate";
        default:
            return "other";
    }
    return "?";
}
}  // namespace

class SaveFaults : public SaveFiles {
  protected:
    // Strikes the first, second, ... call of step until a save runs without reaching the
    // struck call; every struck save must fail and leave `old` under each of `names`.
    void strikeEachCall(FileStep step, const std::u16string& target, const std::vector<fs::path>& names,
                        const std::string& old, int& struckSaves) {
        const std::string bytes = bigMap(400);
        for (int nth = 1; nth < 1000; ++nth) {
            SCOPED_TRACE(std::string(stepName(step)) + " #" + std::to_string(nth));
            failFileStep(step, nth);
            std::string reason;
            const bool saved = kept(replaceFileContents(target, bytes), reason);
            if (!fileStepFailed()) {
                EXPECT_TRUE(saved) << reason;
                for (const fs::path& name : names) EXPECT_EQ(contents(name), bytes);
                // Back to the old content for the next step's round.
                failFileStep(step, 0);
                ASSERT_TRUE(replaceFileContents(target, old));
                return;
            }
            ++struckSaves;
            EXPECT_FALSE(saved);
            EXPECT_FALSE(reason.empty());
            for (const fs::path& name : names) EXPECT_EQ(contents(name), old);
            EXPECT_EQ(entries(), names.size()) << "a temporary file was left behind";
            EXPECT_EQ(backups(), 0u);
        }
        ADD_FAILURE() << "the save never got past the struck calls";
    }
};

TEST_F(SaveFaults, RenamedSaveSurvivesAFailureAtEveryStep) {
    write(dir / "map.mind", "precious");
    int struck = 0;
    for (const FileStep step : {FileStep::write, FileStep::sync, FileStep::rename}) {
        strikeEachCall(step, path(u"map.mind"), {dir / "map.mind"}, "precious", struck);
    }
    EXPECT_GE(struck, 3);  // at least the write, the flush and the rename were struck
}

TEST_F(SaveFaults, NewFileIsNotCreatedWhenAStepFails) {
    failFileStep(FileStep::sync, 1);
    EXPECT_FALSE(replaceFileContents(path(u"map.mind"), bigMap(10)));
    EXPECT_EQ(entries(), 0u);
}

#ifndef _WIN32
// A second name makes the save rewrite the file in place.
TEST_F(SaveFaults, InPlaceRewriteSurvivesAFailureAtEveryStep) {
    write(dir / "map.mind", "precious");
    fs::create_hard_link(dir / "map.mind", dir / "other-name.mind");
    int struck = 0;
    for (const FileStep step : {FileStep::write, FileStep::sync, FileStep::truncate}) {
        strikeEachCall(step, path(u"map.mind"), {dir / "map.mind", dir / "other-name.mind"}, "precious",
                       struck);
    }
    // The backup's write and flush, the truncation, the target's write and flush.
    EXPECT_GE(struck, 5);
}

TEST_F(SaveFaults, BackupIsKeptAndNamedWhenTheOldContentCannotBePutBack) {
    write(dir / "map.mind", "precious");
    fs::create_hard_link(dir / "map.mind", dir / "other-name.mind");
    failFileStep(FileStep::write, 2, true);  // the target's write and every write after it
    std::string reason;
    EXPECT_FALSE(kept(replaceFileContents(path(u"map.mind"), bigMap(10)), reason));
    ASSERT_EQ(backups(), 1u);
    const fs::path backup = fs::directory_iterator(state / "mindmap")->path();
    EXPECT_EQ(contents(backup), "precious");
    EXPECT_NE(reason.find(backup.string()), std::string::npos) << reason;
}
#endif
