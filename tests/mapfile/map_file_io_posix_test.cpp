// Saving and opening on POSIX systems: links, permission bits, devices, FIFOs, failed writes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include "app/model/mind_map.h"
#include "tests/mapfile/map_files_fixture.h"
#include "tests/model/tree_check.h"

using PosixMapFiles = MapFiles;

TEST_F(PosixMapFiles, OverwriteKeepsPermissionBits) {
    write(dir / "map.mind", "old");
    ::chmod((dir / "map.mind").c_str(), 0640);
    MindMap map;
    ASSERT_TRUE(map.saveToFile(path(u"map.mind")));
    struct stat st;
    ASSERT_EQ(::stat((dir / "map.mind").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(contents(dir / "map.mind"), map.saveToBytes());
}

TEST_F(PosixMapFiles, ReadOnlyFileIsNotReplaced) {
    write(dir / "map.mind", "read only");
    ::chmod((dir / "map.mind").c_str(), 0444);
    if (::access((dir / "map.mind").c_str(), W_OK) == 0)
        GTEST_SKIP() << "running with rights that ignore modes";
    MindMap map;
    EXPECT_FALSE(map.saveToFile(path(u"map.mind")));
    EXPECT_EQ(contents(dir / "map.mind"), "read only");
}

TEST_F(PosixMapFiles, SymbolicLinkStaysALinkAndItsTargetIsReplaced) {
    fs::create_directory(dir / "real");
    write(dir / "real" / "map.mind", "old");
    fs::create_symlink("real/map.mind", dir / "link.mind");
    fs::create_symlink("link.mind", dir / "link2.mind");  // a chain of two links
    MindMap map;
    ASSERT_TRUE(map.saveToFile(path(u"link2.mind")));
    EXPECT_TRUE(fs::is_symlink(dir / "link.mind"));
    EXPECT_TRUE(fs::is_symlink(dir / "link2.mind"));
    EXPECT_EQ(contents(dir / "real" / "map.mind"), map.saveToBytes());
    // A dangling link gets its target created.
    fs::create_symlink("real/new.mind", dir / "dangling.mind");
    ASSERT_TRUE(map.saveToFile(path(u"dangling.mind")));
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.mind"));
    EXPECT_EQ(contents(dir / "real" / "new.mind"), map.saveToBytes());
}

TEST_F(PosixMapFiles, LoopOfLinksIsRefused) {
    fs::create_symlink("b", dir / "a");
    fs::create_symlink("a", dir / "b");
    MindMap map;
    EXPECT_FALSE(map.saveToFile(path(u"a")));
}

TEST_F(PosixMapFiles, NameWithUnpairedSurrogateIsRefusedNotRenamed) {
    MindMap map;
    EXPECT_FALSE(map.saveToFile(path(u"a") + u"\xD800"));
    EXPECT_FALSE(map.loadFromFile(path(u"a") + u"\xD800"));
    EXPECT_EQ(entries(), 0u);
    EXPECT_TRUE(map.saveToFile(path(u"\U0001F600")));  // a paired one is an ordinary character
}

TEST_F(PosixMapFiles, DevicesAreNeitherReplacedNorRead) {
    MindMap map;
    EXPECT_FALSE(map.saveToFile(u"/dev/null"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    const std::string before = dumpTree(map.root);
    EXPECT_FALSE(map.loadFromFile(u"/dev/zero"));
    EXPECT_EQ(dumpTree(map.root), before);
}

TEST_F(PosixMapFiles, OpeningAFifoDoesNotWaitForAWriter) {
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    MindMap map;
    EXPECT_FALSE(map.loadFromFile(path(u"fifo")));
    EXPECT_FALSE(map.saveToFile(path(u"fifo")));
    EXPECT_EQ(map.root->text, u"中心主题");
}

TEST_F(PosixMapFiles, FailedWriteLeavesTheTargetUntouchedAndNoTemporaryFile) {
    write(dir / "map.mind", "precious");
    MindMap map;
    growMap(map, 200);
    // Files may not grow past 1 KB: the write of the temporary file fails part-way.
    struct rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool savedOk = map.saveToFile(path(u"map.mind"));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(savedOk);
    EXPECT_EQ(contents(dir / "map.mind"), "precious");
    EXPECT_EQ(entries(), 1u);
}
