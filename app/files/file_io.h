// Whole-file reading and safe replacement, by the path the user typed (UTF-16): opened by
// that name on Windows and by its UTF-8 form elsewhere.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/files/file_result.h"

// Files larger than this are refused as if they could not be opened. 256 MiB is some forty
// times the map file of a 100,000-node map.
inline constexpr std::uint64_t kMaxFileBytes = std::uint64_t{256} << 20;

// A failure of either function gives as its reason the system's own error text in UTF-8
// ("Permission denied"), or for a refusal that is no system error "Invalid path", "Not a
// regular file" or "File too large".

// Reads the whole file into bytes. Fails (bytes then hold anything) when the path names no
// regular file (a directory, a device, a FIFO), cannot be read, or is larger than
// kMaxFileBytes. Never waits for a writer.
FileResult readFileBytes(const std::u16string& path, std::string& bytes);

// Replaces the file's contents so that a failure at any moment leaves the old ones. Where the
// folder may be written and the file is the user's own with a single name, a temporary file
// beside it gets the file's owner, mode, access control list and extended attributes and is
// renamed over it once completely written and flushed (a save killed half-way leaves only a
// temporary file, which a later save in that folder removes). Anywhere else the file itself is
// rewritten, after a flushed backup of its content in the user's state folder that puts it
// back on failure. A symbolic link stays a link (the file it points to is replaced); a
// read-only file, a directory and a device are refused. The way is chosen once from what the
// target is; a file put in the target's place meanwhile is neither written nor replaced (the
// save fails), and a new file never takes the name of one that appeared meanwhile.
FileResult replaceFileContents(const std::u16string& path, std::string_view bytes);

// Whether the two paths name one file (the same device and inode, or volume and file index),
// however each is spelt: "./", "a/../", a linked folder, another hard link. False when either
// names no file.
bool isSameFile(const std::u16string& a, const std::u16string& b);

// The read loop both systems share: `readSome(buffer, count)` reads at most count bytes and
// answers how many (0 at the end of the file, -1 on an error). The size is a hint only: the
// file may grow or shrink while it is read, and one that passes kMaxFileBytes is refused.
template <class ReadSome>
bool readWholeFile(std::uint64_t sizeHint, std::string& bytes, ReadSome readSome) {
    bytes.assign(static_cast<std::size_t>(sizeHint) + 1, '\0');
    std::size_t got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got > kMaxFileBytes) return false;
            bytes.resize(std::min<std::size_t>(2 * got, kMaxFileBytes + 1));
        }
        const long long n = readSome(bytes.data() + got, bytes.size() - got);
        if (n < 0) return false;
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    if (got > kMaxFileBytes) return false;
    bytes.resize(got);
    return true;
}
