// What the plain-text outline formats (.txt, .md) share: the bytes as UTF-8 text, and its lines.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The file's text as UTF-8: a UTF-8 mark is skipped, UTF-16 with its mark (as Windows editors
// save) is converted. What is not valid in the encoding reads as U+FFFD. False, with the reason in error, for
// a file holding NUL bytes, which is no text outline.
bool outlineText(std::string_view bytes, std::string& storage, std::string_view& text, std::string& error);

// How many byte sequences of the file outlineText reads as U+FFFD because they are not valid
// in the file's encoding (UTF-8, or UTF-16 with its mark, as utf16 tells): ill-formed UTF-8
// sequences, lone surrogates, an odd last byte.
std::size_t invalidTextSequences(std::string_view bytes, bool& utf16);

// Calls visit(line, lineNumber) for each line (counted from 1), without its line feed and a
// carriage return before it, until visit answers false. Answers whether every line was visited.
template <class Visit>
bool forEachLine(std::string_view text, Visit visit) {
    std::size_t number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!visit(line, ++number)) return false;
        start = next;
    }
    return true;
}

// "line N: why", the form every text reader's error takes.
std::string lineError(std::size_t lineNumber, const std::string& why);
