// What a shell command prints, for tests that ask other programs (xclip) what they see.
#pragma once

#include <cstdio>
#include <string>

namespace mmtest {

// The command's standard output; it is given at most a few seconds.
inline std::string commandOutput(const std::string& command) {
    std::string text;
    FILE* pipe = popen(("timeout 5 " + command).c_str(), "r");
    if (pipe == nullptr) return text;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, got);
    pclose(pipe);
    return text;
}

}  // namespace mmtest
