// The executable as a module: its path, its handle, and leaving the process.
#include <unistd.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "unicode/utf.h"

namespace {

// The executable's module handle: the address of an object of this library, so it can never
// equal a handle the loader gives out.
const char executableModuleTag = 0;

HMODULE executableModule() {
    return reinterpret_cast<HMODULE>(const_cast<char*>(&executableModuleTag));
}

std::u16string executablePath() {
    std::string path(256, '\0');
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
        if (length < 0) return {};
        if (static_cast<std::size_t>(length) < path.size()) {
            path.resize(static_cast<std::size_t>(length));
            return unicode::fromUtf8(path);
        }
        path.resize(path.size() * 2);
    }
}

std::u16string lowerAscii(std::u16string text) {
    for (auto& c : text) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return text;
}

}  // namespace

DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) {
    if (module != nullptr && module != executableModule()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    const std::u16string path = executablePath();
    if (path.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    if (fileName == nullptr || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    // Too small a buffer gets the truncated path, terminated, as Windows does.
    if (path.size() >= size) {
        path.copy(fileName, size - 1);
        fileName[size - 1] = 0;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    path.copy(fileName, path.size());
    fileName[path.size()] = 0;
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(path.size());
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR moduleName) {
    if (moduleName == nullptr) return executableModule();
    // The executable also answers to its own file name, with or without ".exe".
    const std::u16string path = executablePath();
    const std::u16string base = lowerAscii(path.substr(path.find_last_of(u'/') + 1));
    const std::u16string wanted = lowerAscii(moduleName);
    if (!base.empty() && (wanted == base || wanted == base + u".exe")) return executableModule();
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

// Ends the process at once, from any thread: buffered output is written, but no static
// destructors run while other threads may still use what they would destroy.
void WINAPI ExitProcess(UINT exitCode) {
    std::fflush(nullptr);
    std::_Exit(static_cast<int>(exitCode));
}
