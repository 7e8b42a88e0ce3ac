// Whole-file reading and safe replacement, by the path the user typed (UTF-16): opened by
// that name on Windows and by its UTF-8 form elsewhere.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/storage/map_file_format.h"

// Reads the whole file into bytes. False (bytes then hold anything) when the path names no
// regular file (a directory, a device, a FIFO), cannot be read, or is larger than
// kMaxMapFileBytes. Never waits for a writer.
bool readFileBytes(const std::u16string& path, std::string& bytes);

// Replaces the file's contents: writes a temporary file beside it and renames it over the
// target only after every write, the flush and the close succeeded. A symbolic link stays a
// link (the file it points to is replaced); a replaced file keeps its permission bits. On any
// failure the temporary file is removed, the target is left as it was and the result is false.
// A target that exists but is not a regular file is refused.
bool replaceFileContents(const std::u16string& path, std::string_view bytes);

// The read loop both systems share: `readSome(buffer, count)` reads at most count bytes and
// answers how many (0 at the end of the file, -1 on an error). The size is a hint only: the
// file may grow or shrink while it is read, and one that passes kMaxMapFileBytes is refused.
template <class ReadSome>
bool readWholeFile(std::uint64_t sizeHint, std::string& bytes, ReadSome readSome) {
    bytes.assign(static_cast<std::size_t>(sizeHint) + 1, '\0');
    std::size_t got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got > kMaxMapFileBytes) return false;
            bytes.resize(std::min<std::size_t>(2 * got, kMaxMapFileBytes + 1));
        }
        const long long n = readSome(bytes.data() + got, bytes.size() - got);
        if (n < 0) return false;
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    if (got > kMaxMapFileBytes) return false;
    bytes.resize(got);
    return true;
}
