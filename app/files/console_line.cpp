#include "app/files/console_line.h"

#include <cstdio>

#include "unicode/utf.h"

#ifdef _WIN32
#include <windows.h>
#endif

void writeConsoleLine(std::u16string_view text) {
    std::u16string line(text);
    line += u'\n';
#ifdef _WIN32
    // A console shows UTF-16 as it is; redirected output gets UTF-8.
    const HANDLE handle = ::GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && handle != nullptr && ::GetConsoleMode(handle, &mode)) {
        DWORD written = 0;
        ::WriteConsoleW(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        return;
    }
#endif
    const std::string bytes = unicode::toUtf8(line);
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
    std::fflush(stderr);
}

std::u16string fileFailureLine(std::u16string_view what, const std::u16string& path,
                               std::string_view reasonUtf8) {
    std::u16string line(what);
    line += u": ";
    line += path;
    line += u": ";
    line += unicode::fromUtf8(reasonUtf8.empty() ? std::string_view("unknown error") : reasonUtf8);
    return line;
}

void reportFileFailure(std::u16string_view what, const std::u16string& path, std::string_view reasonUtf8) {
    writeConsoleLine(fileFailureLine(what, path, reasonUtf8));
}
