// What a call into the system's files came to: done, or the reason it failed in UTF-8, the
// system's own error text ("Permission denied") or a refusal ("Not a regular file"), which the
// console line and the window's status line show after the command and the path.
#pragma once

#include <string>
#include <utility>

struct FileResult {
    bool ok = true;
    std::string reason;  // empty when ok

    static FileResult done() { return {}; }
    static FileResult failed(std::string why) { return {false, std::move(why)}; }
    explicit operator bool() const { return ok; }
};
