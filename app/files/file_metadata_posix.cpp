#ifndef _WIN32

#include "app/files/file_metadata_posix.h"

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace {
// A listing or value that grows between the size query and the read is asked for again.
bool readAttributeList(const std::string& path, std::string& names) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        const ssize_t size = ::llistxattr(path.c_str(), nullptr, 0);
        if (size < 0) return errno == ENOTSUP;  // nothing to keep on such a file system
        names.assign(static_cast<std::size_t>(size), '\0');
        if (size == 0) return true;
        const ssize_t got = ::llistxattr(path.c_str(), names.data(), names.size());
        if (got >= 0) {
            names.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (errno != ERANGE) return false;
    }
    return false;
}

bool readAttribute(const std::string& path, const char* name, std::string& value) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        const ssize_t size = ::lgetxattr(path.c_str(), name, nullptr, 0);
        if (size < 0) return errno == ENODATA;  // removed meanwhile: nothing to copy
        value.assign(static_cast<std::size_t>(size), '\0');
        const ssize_t got = ::lgetxattr(path.c_str(), name, value.data(), value.size());
        if (got >= 0) {
            value.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (errno != ERANGE) return false;
    }
    return false;
}

// The copy's own value, to leave alone what it already has (a security label the system
// gave it, which an ordinary user may not set even to the same value).
bool hasAttributeValue(int fd, const char* name, const std::string& value) {
    std::string own(value.size() + 1, '\0');
    const ssize_t got = ::fgetxattr(fd, name, own.data(), own.size());
    return got >= 0 && static_cast<std::size_t>(got) == value.size() &&
           own.compare(0, value.size(), value) == 0;
}
}  // namespace

bool copyFileMetadata(const std::string& from, const struct stat& st, int to) {
    // Owner first: changing it clears the set-user-ID bits that the mode then puts back.
    struct stat own;
    if (::fstat(to, &own) != 0) return false;
    if ((own.st_uid != st.st_uid || own.st_gid != st.st_gid) && ::fchown(to, st.st_uid, st.st_gid) != 0) {
        return false;
    }
    if (::fchmod(to, st.st_mode & 07777) != 0) return false;

    // The access control list is the attribute system.posix_acl_access and travels with them.
    std::string names;
    if (!readAttributeList(from, names)) return false;
    std::string value;
    for (std::size_t at = 0; at < names.size(); at = names.find('\0', at) + 1) {
        const char* name = names.c_str() + at;
        if (*name == '\0') break;
        if (!readAttribute(from, name, value)) return false;
        if (hasAttributeValue(to, name, value)) continue;
        if (::fsetxattr(to, name, value.data(), value.size(), 0) != 0 && errno != ENOTSUP) return false;
    }
    return true;
}

#endif  // _WIN32
