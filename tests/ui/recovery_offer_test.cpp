// The recovery offer's choices by key and by press, on files in a state folder of the test's
// own; and the ends of the program, which write the published snapshot after a save under way.
#include "app/model/recovery_offer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/files/file_io_faults.h"
#include "app/recovery/map_snapshot.h"
#include "app/recovery/recovery_copy.h"
#include "app/ui/dispatch.h"
#include "app/ui/program_end.h"
#include "app/ui/recovery_offer_input.h"
#include "tests/support/scratch_dir.h"
#include "tests/ui/input_helpers.h"
#include "unicode/utf.h"

#ifdef _WIN32
#include <windows.h>
#endif

using namespace test_input;

namespace {

namespace fs = std::filesystem;

class OfferTest : public ::testing::Test {
  protected:
    void SetUp() override {
#ifdef _WIN32
        ::SetEnvironmentVariableW(L"LOCALAPPDATA", scratch.path().wstring().c_str());
        folder = scratch.path() / "mindmap";
#else
        ::setenv("XDG_STATE_HOME", (scratch.path() / "state").c_str(), 1);
        folder = scratch.path() / "state" / "mindmap";
#endif
        fs::create_directories(folder);
    }
    void TearDown() override {
        holdFileStep(FileStep::write, nullptr);
        clearPublishedSnapshot();
    }

    fs::path leave(const std::string& name, int children, int hoursAgo) {
        MindMap map;
        for (int i = 0; i < children; ++i) map.addChildNode();
        const fs::path path = folder / name;
        std::ofstream(path, std::ios::binary) << map.saveToBytes();
        fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(hoursAgo));
        return path;
    }
    void send(const Gfx::InputMessage& message) {
        dispatchInput(map, message, running);
    }
    void press(const SceneRect& r) {
        send(mouse(WM_LBUTTONDOWN, r.left + 3, r.top + 3));
    }

    mmtest::ScratchDir scratch{"recovery_offer"};
    fs::path folder;
    MindMap map;
    bool running = true;
};

TEST_F(OfferTest, RowsSayTimeNodesAndKindNewestFirst) {
    leave("recovery-1-999999.mind", 2, 1);
    leave("plan.mind.999998-4.backup", 0, 2);
    const RecoveryOffer offer = makeRecoveryOffer(leftRecoveryFiles());
    ASSERT_TRUE(offer.shown);
    ASSERT_EQ(offer.entries.size(), 2u);
    const std::string first = unicode::toUtf8(offer.entries[0].label);
    const std::string second = unicode::toUtf8(offer.entries[1].label);
    EXPECT_NE(first.find("3 个节点"), std::string::npos) << first;
    EXPECT_NE(first.find("未保存的修改"), std::string::npos) << first;
    EXPECT_NE(second.find("1 个节点"), std::string::npos) << second;
    EXPECT_NE(second.find("plan.mind"), std::string::npos) << second;
    EXPECT_EQ(second.find("999998"), std::string::npos) << second;
    EXPECT_FALSE(makeRecoveryOffer({}).shown);
}

TEST_F(OfferTest, KeysChooseAndTheOfferTakesEveryInput) {
    const fs::path newer = leave("recovery-1-999999.mind", 1, 1);
    const fs::path older = leave("recovery-1-999998.mind", 2, 2);
    const fs::path oldest = leave("recovery-1-999997.mind", 3, 3);
    RecoveryOffer offer = makeRecoveryOffer(leftRecoveryFiles());
    map.recoveryOffer = &offer;
    // Map commands do not reach the map while it is shown.
    send(mouse(WM_RBUTTONDOWN, 900, 600));
    send(key(VK_SPACE));
    EXPECT_TRUE(map.root->children.empty());
    send(key(VK_UP));
    EXPECT_EQ(offer.selected, 0u);
    send(key(VK_DOWN));
    send(key(VK_DOWN));
    send(key(VK_DOWN));
    EXPECT_EQ(offer.selected, 2u) << "stops at the last";
    send(key(VK_DELETE));
    EXPECT_FALSE(fs::exists(oldest));
    EXPECT_TRUE(fs::exists(folder / "discarded" / oldest.filename()));
    EXPECT_EQ(offer.entries.size(), 2u);
    EXPECT_EQ(offer.selected, 1u);
    EXPECT_TRUE(offer.shown);
    send(key(VK_ESCAPE));
    EXPECT_FALSE(offer.shown);
    EXPECT_TRUE(running) << "Escape on the offer ends nothing";
    EXPECT_TRUE(fs::exists(newer) && fs::exists(older)) << "ignored: kept for later";
    send(key(VK_ESCAPE));
    EXPECT_FALSE(running) << "once it is gone, Escape is the map's again";
}

TEST_F(OfferTest, PressesSelectOpenAndDiscard) {
    const fs::path newer = leave("recovery-1-999999.mind", 1, 1);
    const fs::path older = leave("recovery-1-999998.mind", 2, 2);
    RecoveryOffer offer = makeRecoveryOffer(leftRecoveryFiles());
    map.recoveryOffer = &offer;
    RecoveryOfferLayout layout = recoveryOfferLayout(map.panelWidth, 2);
    press(offerRow(layout, 1));
    EXPECT_EQ(offer.selected, 1u);
    press(layout.discard);
    EXPECT_FALSE(fs::exists(older));
    layout = recoveryOfferLayout(map.panelWidth, 1);
    press(layout.open);
    EXPECT_FALSE(offer.shown);
    ASSERT_EQ(map.root->children.size(), 1u);
    EXPECT_TRUE(map.hasUnsavedChanges()) << "opened work is still unsaved";
    EXPECT_EQ(fs::path(map.recoveredFrom), newer);
}

TEST_F(OfferTest, ManyRowsScrollWithTheSelection) {
    for (int i = 0; i < 8; ++i) leave("recovery-1-99990" + std::to_string(i) + ".mind", 0, i + 1);
    RecoveryOffer offer = makeRecoveryOffer(leftRecoveryFiles());
    map.recoveryOffer = &offer;
    const RecoveryOfferLayout layout = recoveryOfferLayout(map.panelWidth, 8);
    EXPECT_EQ(layout.rows, kOfferRows);
    for (int i = 0; i < 7; ++i) send(key(VK_DOWN));
    EXPECT_EQ(firstOfferRow(offer.selected), 3u);
    press(offerRow(layout, 0));
    EXPECT_EQ(offer.selected, 3u) << "the top row shown is the fourth";
}

// A save that takes long (its write held) is waited for by an end; what it saved is not
// written again, and a failed save's work is.
TEST_F(OfferTest, AnEndWaitsForTheSaveUnderWay) {
    RecoveryCopy copy(recoveryCopyPath());
    keepWorkAtEveryEnd(copy);
    map.addChildNode();
    publishSnapshot(map);
    std::atomic<bool> held{true};
    holdFileStep(FileStep::write, &held);
    std::thread save([&] { EXPECT_TRUE(map.saveToFile((scratch.path() / "slow.mind").u16string())); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::atomic<bool> ended{false};
    std::thread end([&] {
        keepUnsavedWork();
        ended = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(ended.load()) << "the end did not wait for the save";
    held = false;
    save.join();
    end.join();
    EXPECT_FALSE(fs::exists(fs::path(recoveryCopyPath()))) << "the save holds the work";
    stopKeepingWork();
}

TEST_F(OfferTest, AnEndKeepsWorkAFailedSaveLeft) {
    RecoveryCopy copy(recoveryCopyPath());
    keepWorkAtEveryEnd(copy);
    map.addChildNode();
    publishSnapshot(map);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(map.saveToFile((scratch.path() / "missing" / "a.mind").u16string()));
    keepUnsavedWork();
    const std::string said = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(fs::exists(fs::path(recoveryCopyPath()))) << said;
    EXPECT_EQ(mmtest::readBytes(fs::path(recoveryCopyPath())), map.saveToBytes());
    EXPECT_NE(said.find("未保存的修改已存入 "), std::string::npos) << said;
    stopKeepingWork();
}

}  // namespace
