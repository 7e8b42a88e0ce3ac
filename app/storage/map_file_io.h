// Whole-file reading and safe replacement, by the path the user typed (UTF-16): opened by
// that name on Windows and by its UTF-8 form elsewhere.
#pragma once

#include <string>
#include <string_view>

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
