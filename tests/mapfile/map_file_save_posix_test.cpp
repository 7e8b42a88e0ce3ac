// Saving where the temporary file and rename cannot keep everything about the target: foreign
// owners, folders the user may not write, hard links, access lists, extended attributes, a
// full disk, and the temporary files of killed saves.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "tests/mapfile/save_files_fixture.h"

namespace {
struct SaveResult {
    bool ok = false;
    std::string reason;
};

bool isRoot() {
    return ::geteuid() == 0;
}

// Saves as the user nobody when the suite runs as root (a child process that drops its
// rights), as the present user otherwise; backups go to stateHome, which that user may write.
SaveResult saveUnprivileged(const fs::path& target, const std::string& bytes, const fs::path& stateHome) {
    SaveResult result;
    const std::u16string path = target.u16string();
    if (!isRoot()) {
        result.ok = kept(replaceFileContents(path, bytes), result.reason);
        return result;
    }
    const passwd* nobody = ::getpwnam("nobody");
    if (nobody == nullptr) {
        result.reason = "no user nobody";
        return result;
    }
    const uid_t uid = nobody->pw_uid;
    const gid_t gid = nobody->pw_gid;
    [[maybe_unused]] const int owned = ::chown(stateHome.c_str(), uid, gid);
    int channel[2];
    if (::pipe(channel) != 0) return result;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        ::setenv("XDG_STATE_HOME", stateHome.c_str(), 1);
        std::string reason;
        bool ok = false;
        if (::setgroups(0, nullptr) == 0 && ::setgid(gid) == 0 && ::setuid(uid) == 0) {
            ok = kept(replaceFileContents(path, bytes), reason);
        } else {
            reason = "could not become nobody";
        }
        const std::string message = (ok ? "1" : "0") + reason;
        [[maybe_unused]] const ssize_t sent = ::write(channel[1], message.data(), message.size());
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string message;
    char buffer[256];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        message.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    result.ok = !message.empty() && message[0] == '1';
    result.reason = message.empty() ? "child failed" : message.substr(1);
    return result;
}

struct stat statOf(const fs::path& p) {
    struct stat st {};
    EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
    return st;
}

std::string attribute(const fs::path& p, const char* name) {
    char value[512];
    const ssize_t n = ::getxattr(p.c_str(), name, value, sizeof value);
    return n < 0 ? std::string("<none>") : std::string(value, static_cast<std::size_t>(n));
}

// The kernel's binary form of an access list: version 2, then (tag, permissions, id) entries.
std::string accessList(uid_t extraUser) {
    struct Entry {
        std::uint16_t tag, perm;
        std::uint32_t id;
    };
    const Entry entries[] = {{0x01, 6, 0xFFFFFFFF},
                             {0x02, 6, extraUser},
                             {0x04, 4, 0xFFFFFFFF},
                             {0x10, 6, 0xFFFFFFFF},
                             {0x20, 0, 0xFFFFFFFF}};
    std::string bytes(4, '\0');
    const std::uint32_t version = 2;
    std::memcpy(bytes.data(), &version, 4);
    for (const Entry& e : entries) {
        char raw[8];
        std::memcpy(raw, &e.tag, 2);
        std::memcpy(raw + 2, &e.perm, 2);
        std::memcpy(raw + 4, &e.id, 4);
        bytes.append(raw, 8);
    }
    return bytes;
}
}  // namespace

using UnprivilegedSave = SaveFiles;

TEST_F(UnprivilegedSave, WritableFileInAFolderTheUserMayNotWriteIsRewrittenInPlace) {
    const fs::path folder = dir / "shared";
    fs::create_directory(folder);
    write(folder / "map.mind", "old map");
    ::chmod((folder / "map.mind").c_str(), 0666);
    ::chmod(folder.c_str(), isRoot() ? 0755 : 0555);
    const struct stat before = statOf(folder / "map.mind");

    const std::string bytes = bigMap(50);
    const SaveResult saved = saveUnprivileged(folder / "map.mind", bytes, state);
    ASSERT_TRUE(saved.ok) << saved.reason;
    EXPECT_EQ(contents(folder / "map.mind"), bytes);
    const struct stat after = statOf(folder / "map.mind");
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(backups(), 0u);

    // A new file there cannot be made, and the user is told why.
    const SaveResult refused = saveUnprivileged(folder / "new.mind", bytes, state);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.reason, "Permission denied");
    EXPECT_FALSE(fs::exists(folder / "new.mind"));
    ::chmod(folder.c_str(), 0755);
}

TEST_F(UnprivilegedSave, AnotherUsersWritableFileKeepsItsOwnerInOpenAndStickyFolders) {
    if (!isRoot()) GTEST_SKIP() << "needs root to give the file to another user than the saving one";
    for (const mode_t folderMode : {mode_t{01777}, mode_t{0777}}) {
        SCOPED_TRACE(folderMode);
        const fs::path folder = dir / std::to_string(folderMode);
        fs::create_directory(folder);
        ::chmod(folder.c_str(), folderMode);
        write(folder / "map.mind", "root's map");
        ::chmod((folder / "map.mind").c_str(), 0666);

        const SaveResult saved = saveUnprivileged(folder / "map.mind", "nobody's edit", state);
        ASSERT_TRUE(saved.ok) << saved.reason;
        EXPECT_EQ(contents(folder / "map.mind"), "nobody's edit");
        const struct stat st = statOf(folder / "map.mind");
        EXPECT_EQ(st.st_uid, 0u);
        EXPECT_EQ(st.st_gid, 0u);
        EXPECT_EQ(st.st_mode & 07777, 0666u);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    }
    EXPECT_EQ(backups(), 0u);
}

TEST_F(UnprivilegedSave, ReadOnlyFileIsRefusedWithTheSystemsReason) {
    fs::permissions(dir, fs::perms::all);
    write(dir / "map.mind", "read only");
    ::chmod((dir / "map.mind").c_str(), 0444);
    const SaveResult saved = saveUnprivileged(dir / "map.mind", "new", state);
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.reason, "Permission denied");
    EXPECT_EQ(contents(dir / "map.mind"), "read only");
}

TEST_F(SaveFiles, HardLinkedFileStaysOneFileUnderEveryName) {
    write(dir / "a.mind", "old");
    fs::create_hard_link(dir / "a.mind", dir / "b.mind");
    const std::string bytes = bigMap(20);
    std::string reason;
    ASSERT_TRUE(kept(replaceFileContents(path(u"a.mind"), bytes), reason)) << reason;
    EXPECT_EQ(contents(dir / "b.mind"), bytes);
    EXPECT_EQ(statOf(dir / "a.mind").st_ino, statOf(dir / "b.mind").st_ino);
    EXPECT_EQ(statOf(dir / "a.mind").st_nlink, 2u);
    EXPECT_EQ(entries(), 2u);
    EXPECT_EQ(backups(), 0u);
    // A shorter map leaves no tail of the longer one.
    ASSERT_TRUE(kept(replaceFileContents(path(u"b.mind"), "short"), reason)) << reason;
    EXPECT_EQ(contents(dir / "a.mind"), "short");
}

TEST_F(SaveFiles, RenamedFileKeepsItsAccessListAndExtendedAttributes) {
    write(dir / "map.mind", "old");
    ::chmod((dir / "map.mind").c_str(), 0640);
    const std::string acl = accessList(65534);
    if (::setxattr((dir / "map.mind").c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0) {
        GTEST_SKIP() << "this file system takes no access lists: " << std::strerror(errno);
    }
    if (::setxattr((dir / "map.mind").c_str(), "user.mindmap.note", "keep me", 7, 0) != 0) {
        GTEST_SKIP() << "this file system takes no user attributes: " << std::strerror(errno);
    }
    const std::string aclBefore = attribute(dir / "map.mind", "system.posix_acl_access");
    const struct stat before = statOf(dir / "map.mind");

    std::string reason;
    ASSERT_TRUE(kept(replaceFileContents(path(u"map.mind"), "new"), reason)) << reason;
    const struct stat after = statOf(dir / "map.mind");
    EXPECT_NE(after.st_ino, before.st_ino) << "the file was meant to be replaced by a rename";
    EXPECT_EQ(contents(dir / "map.mind"), "new");
    EXPECT_EQ(attribute(dir / "map.mind", "system.posix_acl_access"), aclBefore);
    EXPECT_EQ(attribute(dir / "map.mind", "user.mindmap.note"), "keep me");
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(entries(), 1u);
}

TEST_F(SaveFiles, FullDiskLeavesTheOldContentWhicheverWayTheFileIsWritten) {
    if (!isRoot()) GTEST_SKIP() << "needs root to mount a small tmpfs as the full disk";
    const fs::path disk = dir / "disk";
    fs::create_directory(disk);
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    }
    const std::string old = bigMap(100);  // some 8 KB, while the new one cannot fit
    write(disk / "map.mind", old);
    write(disk / "second.mind", old);
    fs::create_hard_link(disk / "second.mind", disk / "link.mind");
    const std::string huge(200000, 'x');

    std::string reason;
    EXPECT_FALSE(kept(replaceFileContents((disk / "map.mind").u16string(), huge), reason));
    EXPECT_EQ(reason, "No space left on device");
    EXPECT_EQ(contents(disk / "map.mind"), old);
    // In place: the backup lives elsewhere and puts the old content back.
    reason.clear();
    EXPECT_FALSE(kept(replaceFileContents((disk / "second.mind").u16string(), huge), reason));
    EXPECT_EQ(reason, "No space left on device");
    EXPECT_EQ(contents(disk / "link.mind"), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(disk), fs::directory_iterator()), 3);
    EXPECT_EQ(backups(), 0u);
    ::umount2(disk.c_str(), MNT_DETACH);
}

TEST_F(SaveFiles, TemporaryFilesOfDeadOrLongGoneSavesAreRemoved) {
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string deadName = ".mindmap-" + std::to_string(gone) + "-0-0.tmp";
    write(dir / deadName, "killed save");
    write(dir / ".mindmap-1-0-0.tmp", "a save still running");
    write(dir / ".mindmap-1-1-0.tmp", "a save stuck for minutes");
    fs::last_write_time(dir / ".mindmap-1-1-0.tmp",
                        fs::file_time_type::clock::now() - std::chrono::minutes(2));
    write(dir / "notes.tmp", "not ours");

    ASSERT_TRUE(replaceFileContents(path(u"map.mind"), "map"));
    EXPECT_FALSE(fs::exists(dir / deadName));
    EXPECT_FALSE(fs::exists(dir / ".mindmap-1-1-0.tmp"));
    EXPECT_TRUE(fs::exists(dir / ".mindmap-1-0-0.tmp"));
    EXPECT_TRUE(fs::exists(dir / "notes.tmp"));
}

TEST_F(SaveFiles, FailuresNameTheirReason) {
    std::string bytes, reason;
    EXPECT_FALSE(kept(readFileBytes(path(u"missing.mind"), bytes), reason));
    EXPECT_EQ(reason, "No such file or directory");
    EXPECT_FALSE(kept(replaceFileContents(path(u"missing/map.mind"), "x"), reason));
    EXPECT_EQ(reason, "No such file or directory");
    EXPECT_FALSE(kept(readFileBytes(path(u"."), bytes), reason));
    EXPECT_EQ(reason, "Not a regular file");
    EXPECT_FALSE(kept(replaceFileContents(u"/dev/null", "x"), reason));
    EXPECT_EQ(reason, "Not a regular file");
    EXPECT_FALSE(kept(replaceFileContents(path(u"a") + u"\xDC00", "x"), reason));
    EXPECT_EQ(reason, "Invalid path");
    fs::create_symlink("loop", dir / "loop");
    EXPECT_FALSE(kept(replaceFileContents(path(u"loop"), "x"), reason));
    EXPECT_EQ(reason, "Too many levels of symbolic links");
    write(dir / "huge.mind", "");
    fs::resize_file(dir / "huge.mind", kMaxFileBytes + 1);
    EXPECT_FALSE(kept(readFileBytes(path(u"huge.mind"), bytes), reason));
    EXPECT_EQ(reason, "File too large");
}
