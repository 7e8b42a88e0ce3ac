// Rewriting a file in place on Windows, where ReplaceFileW cannot replace it.
#pragma once

#include <string>
#include <string_view>

// Rewrites the existing file itself, which keeps everything about it, after copying its
// content to a backup in the user's state folder that puts it back on failure.
bool rewriteInPlace(const std::u16string& target, std::string_view bytes, std::string& reason);
