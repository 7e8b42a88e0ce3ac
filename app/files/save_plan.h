// How a save replaces a file, decided once from what the target is, the same on every system.
// The system's own code gathers the facts, follows the plan and checks, before it writes or
// renames, that the file is still the one the facts were gathered from.
#pragma once

#include <cstdint>

// What makes one file the same file under any of its names: the device and inode on POSIX
// systems, the volume serial number and file index on Windows.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    friend bool operator==(const FileIdentity& a, const FileIdentity& b) {
        return a.device == b.device && a.file == b.file;
    }
    friend bool operator!=(const FileIdentity& a, const FileIdentity& b) { return !(a == b); }
};

struct SaveTargetFacts {
    bool exists = false;
    bool regular = true;   // not a folder, a device, a FIFO
    bool writable = true;  // the user may write the file itself (false: a read-only file)
    bool ownedByUser = true;
    std::uint64_t links = 1;  // names the file has; a rename would split them
    bool folderWritable = true;
    FileIdentity identity;
};

enum class SaveWay {
    createNew,        // a new file, renamed to the name only while the name is still free
    replaceByRename,  // a temporary beside the target renamed over it
    rewriteInPlace,   // the file itself rewritten, after a backup of its content
    refuseReadOnly,
    refuseNotRegular,
};

SaveWay planSave(const SaveTargetFacts& facts);

// The reason a save gives when the target stopped being the file the plan was made for.
inline constexpr char kTargetChanged[] = "The file was changed by someone else during the save";
