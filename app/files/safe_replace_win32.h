// Rewriting a file in place on Windows, where ReplaceFileW cannot replace it.
#pragma once

#include <string>
#include <string_view>

#include "app/files/save_plan.h"

// Rewrites the existing file itself, which keeps everything about it, after copying its
// content to a backup in the user's state folder that puts it back on failure. The name is
// opened without following a link and must still name the file `expected`.
bool rewriteInPlace(const std::u16string& target, const FileIdentity& expected, std::string_view bytes,
                    std::string& reason);
