// What both systems' saves share: a file with a second hard link is rewritten in place so that
// both names keep seeing one file, and a new file never takes the name of one that appeared
// after the save looked.
#include <gtest/gtest.h>

#include "app/files/save_plan.h"
#include "tests/mapfile/save_files_fixture.h"

namespace {
fs::path appearingFile;

void makeItAppear(FileStep step) {
    if (step == FileStep::decided) std::ofstream(appearingFile, std::ios::binary) << "theirs";
}
}  // namespace

class SharedSaveRaces : public SaveFiles {
  protected:
    void TearDown() override {
        setFileStepHook(nullptr);
        SaveFiles::TearDown();
    }
};

TEST_F(SharedSaveRaces, AHardLinkedFileStaysOneFileUnderBothNames) {
    const fs::path first = dir / "first.mind";
    write(first, "old");
    fs::create_hard_link(first, dir / "second.mind");
    const std::string bytes = bigMap(20);
    std::string reason;
    ASSERT_TRUE(kept(replaceFileContents(first.u16string(), bytes), reason)) << reason;
    EXPECT_EQ(contents(first), bytes);
    EXPECT_EQ(contents(dir / "second.mind"), bytes) << "the save split the hard link";
    EXPECT_EQ(backups(), 0u);
}

TEST_F(SharedSaveRaces, ANewFileLeavesOneThatAppearedMeanwhileAlone) {
    appearingFile = dir / "new.mind";
    setFileStepHook(makeItAppear);
    std::string reason;
    EXPECT_FALSE(kept(replaceFileContents(appearingFile.u16string(), bigMap(20)), reason));
    setFileStepHook(nullptr);
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(contents(appearingFile), "theirs");
    EXPECT_EQ(entries(), 1u) << "a temporary file was left behind";
}

TEST(SavePlan, RenamesOnlyWhatARenameKeepsWhole) {
    SaveTargetFacts facts;
    EXPECT_EQ(planSave(facts), SaveWay::createNew);
    facts.exists = true;
    EXPECT_EQ(planSave(facts), SaveWay::replaceByRename);
    SaveTargetFacts linked = facts;
    linked.links = 2;
    EXPECT_EQ(planSave(linked), SaveWay::rewriteInPlace);
    SaveTargetFacts foreign = facts;
    foreign.ownedByUser = false;
    EXPECT_EQ(planSave(foreign), SaveWay::rewriteInPlace);
    SaveTargetFacts lockedFolder = facts;
    lockedFolder.folderWritable = false;
    EXPECT_EQ(planSave(lockedFolder), SaveWay::rewriteInPlace);
    SaveTargetFacts readOnly = linked;
    readOnly.writable = false;
    EXPECT_EQ(planSave(readOnly), SaveWay::refuseReadOnly);
    SaveTargetFacts folder = readOnly;
    folder.regular = false;
    EXPECT_EQ(planSave(folder), SaveWay::refuseNotRegular);
}
