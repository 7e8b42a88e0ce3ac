// The two ways replaceFileContents rewrites a file on POSIX systems. Both take the final
// name (no symbolic link left in it) and the identity of the file the save was planned for.
#pragma once

#include <sys/stat.h>

#include <string>
#include <string_view>

#include "app/files/save_plan.h"

enum class RenameOutcome { done, failed, notPossible };

FileIdentity identityOf(const struct stat& st);

// Writes a temporary file beside the target, gives it the target's owner, mode, access
// control list and extended attributes, and renames it over the target once the name still
// names the file in existing. notPossible (the target untouched, nothing left behind) when
// the folder or the target's attributes do not allow that, so that the caller can rewrite the
// file in place instead. existing is null for a target that does not exist yet: the new file
// then takes the name only while no other file has it.
RenameOutcome replaceByRename(const std::string& target, const struct stat* existing, std::string_view bytes,
                              std::string& reason);

// Rewrites the existing file itself, which keeps its inode and so everything about it, after
// copying its content to a backup in the user's state folder that puts it back on failure.
// The name is opened without following a link and must still name the file `expected`.
bool rewriteInPlace(const std::string& target, const FileIdentity& expected, std::string_view bytes,
                    std::string& reason);

// Removes the temporary files that killed saves left in the folder (given as a prefix ending
// in a slash, or empty for the current folder): those whose process is gone or that are
// older than a minute.
void removeStaleTemporaries(const std::string& folderPrefix);
