// A save killed at any moment leaves the target holding one complete map, and whatever
// temporary file the killed save left is gone after the next save.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <random>
#include <thread>

#include "app/mapformat/map_file_format.h"
#include "tests/mapfile/save_files_fixture.h"

namespace {
// 100,000 nodes, 100 under each of 1,000 first-level nodes, every caption different.
std::string hundredThousandNodeMap(const std::u16string& tag) {
    auto root = std::make_unique<Node>(u"中心主题 " + tag, 800, 375);
    for (int i = 0; i < 999; ++i) {
        Node* branch =
            new Node(tag + u" 分支 " + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)), i, 100);
        branch->parent = root.get();
        root->children.push_back(branch);
        for (int j = 0; j < 99; ++j) {
            Node* leaf =
                new Node(tag + u" 节点 " + std::u16string(1, static_cast<char16_t>(0x4E00 + i * 99 + j)),
                         i * 10 + j, 200 + j);
            leaf->parent = branch;
            branch->children.push_back(leaf);
        }
    }
    return writeMapFile(*root);
}

// Reads in one block: a character-by-character read of 6 MB two hundred times takes minutes.
std::string wholeFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(fs::file_size(p)), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return in ? bytes : std::string();
}
}  // namespace

using KilledSaves = SaveFiles;

TEST_F(KilledSaves, TargetAlwaysHoldsOneCompleteMapAndLeftoversAreCleanedUp) {
    const std::string first = hundredThousandNodeMap(u"一");
    const std::string second = hundredThousandNodeMap(u"二");
    ASSERT_NE(first, second);
    const std::u16string target = path(u"map.mind");
    ASSERT_TRUE(replaceFileContents(target, first));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(replaceFileContents(target, second));
    const auto oneSave =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    ASSERT_TRUE(replaceFileContents(target, first));

    // Kill moments spread over the first three saves of each child, whichever phase they hit.
    std::mt19937 random(20240613);
    std::uniform_int_distribution<long long> delay(0, 3 * oneSave.count() + 1000);
    int killedMidSave = 0;
    for (int round = 0; round < 200; ++round) {
        const pid_t saver = ::fork();
        ASSERT_GE(saver, 0);
        if (saver == 0) {
            for (unsigned n = 0;; ++n) replaceFileContents(target, n % 2 == 0 ? second : first);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(saver, SIGKILL);
        int status = 0;
        ::waitpid(saver, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));

        const std::string found = wholeFile(dir / "map.mind");
        ASSERT_TRUE(found == first || found == second)
            << "round " << round << ": the target holds " << found.size() << " bytes of neither map";
        if (entries() > 1) ++killedMidSave;
        ASSERT_TRUE(replaceFileContents(target, first));
        ASSERT_EQ(entries(), 1u) << "round " << round << ": a temporary file survived the next save";
    }
    // Most kills must land inside a save, or the loop proves little.
    EXPECT_GT(killedMidSave, 50);
}
