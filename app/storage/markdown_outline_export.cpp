// The map as a Markdown nested list; outline_export.h gives the escapes.
#include <string>
#include <string_view>

#include "app/storage/outline_export.h"
#include "app/storage/outline_export_walk.h"
#include "unicode/utf.h"

namespace {

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

// Characters with inline meaning anywhere in a line.
bool isInlineMarkup(char16_t c) {
    return std::u16string_view(u"\\`*_[]<>|~&").find(c) != std::u16string_view::npos;
}

// Characters that open a block (heading, list, rule) at the start of an item's text.
bool isBlockMarkup(char16_t c) {
    return c == u'#' || c == u'+' || c == u'-' || c == u'=';
}

void appendNumericReference(std::string& out, char16_t c) {
    out += "&#";
    out += std::to_string(static_cast<unsigned>(c));
    out += ';';
}

void appendCaption(std::string& out, std::u16string_view text) {
    std::size_t first = 0;  // the caption's first and one past its last non-blank character
    while (first < text.size() && isBlank(text[first])) ++first;
    std::size_t last = text.size();
    while (last > first && isBlank(text[last - 1])) --last;
    // "1." or "2)" at the start would begin a numbered list.
    std::size_t digitsEnd = first;
    while (digitsEnd < text.size() && text[digitsEnd] >= u'0' && text[digitsEnd] <= u'9') ++digitsEnd;
    const bool numbered =
        digitsEnd > first && digitsEnd < text.size() && (text[digitsEnd] == u'.' || text[digitsEnd] == u')');

    std::size_t runStart = 0;
    const auto flush = [&](std::size_t end) {
        unicode::appendUtf8(out, text.substr(runStart, end - runStart));
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const bool edge = i < first || i >= last;
        const bool escaped =
            isInlineMarkup(c) || (i == first && isBlockMarkup(c)) || (numbered && i == digitsEnd);
        if (!(c < 0x20 || (edge && c == u' ') || escaped)) continue;
        flush(i);
        runStart = i + 1;
        if (c == u'\n') {
            out += "<br>";
        } else if (c < 0x20 || c == u' ') {
            appendNumericReference(out, c);
        } else {
            out += '\\';
            out += static_cast<char>(c);
        }
    }
    flush(text.size());
}

}  // namespace

std::string writeMarkdownOutline(const Node& root) {
    std::string out;
    walkOutline(
        root,
        [&out](const Node& node, int depth) {
            out.append(static_cast<std::size_t>(depth) * 2, ' ');
            out += '-';
            if (!node.text.empty()) {
                out += ' ';
                appendCaption(out, node.text);
            }
            out += '\n';
        },
        [](const Node&, int) {});
    return out;
}
