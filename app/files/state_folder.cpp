#include "app/files/state_folder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#include "unicode/utf.h"
#endif

namespace {

#ifdef _WIN32

std::u16string environment(const wchar_t* name) {
    wchar_t buffer[32768];
    const DWORD n = ::GetEnvironmentVariableW(name, buffer, 32768);
    if (n == 0 || n >= 32768) return {};
    return std::u16string(reinterpret_cast<const char16_t*>(buffer), n);
}

bool makeFolder(const std::u16string& path) {
    return ::CreateDirectoryW(reinterpret_cast<const wchar_t*>(path.c_str()), nullptr) != 0 ||
           ::GetLastError() == ERROR_ALREADY_EXISTS;
}

std::u16string folderPath() {
    const std::u16string base = environment(L"LOCALAPPDATA");
    if (base.empty()) return {};
    const std::u16string folder = base + u"\\mindmap";
    return makeFolder(folder) ? folder : std::u16string();
}

#else

// Makes every missing folder of an absolute path, owner-only as XDG asks of the state home.
bool makeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::u16string folderPath() {
    std::string base;
    const char* state = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    // XDG: a relative value is invalid and is ignored.
    if (state != nullptr && state[0] == '/') {
        base = state;
    } else if (home != nullptr && home[0] == '/') {
        base = std::string(home) + "/.local/state";
    } else {
        return {};
    }
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    const std::string folder = base + "/mindmap";
    return makeFolders(folder) ? unicode::fromUtf8(folder) : std::u16string();
}

#endif

}  // namespace

std::u16string userStateFolder() {
    return folderPath();
}

std::u16string userStateFile(const std::u16string& name) {
    const std::u16string folder = userStateFolder();
    if (folder.empty()) return {};
#ifdef _WIN32
    return folder + u"\\" + name;
#else
    return folder + u"/" + name;
#endif
}
