// What a replacement file must carry over from the file it replaces. Linux only.
#pragma once

#include <sys/stat.h>

#include <string>

// Gives the open file `to` the owner, group and mode in st and every extended attribute of
// the file named `from`, read without following a link (its access control list among them).
// False, with errno set, when any of them cannot be given: then only rewriting the file in
// place keeps them.
bool copyFileMetadata(const std::string& from, const struct stat& st, int to);
