#include "app/outline/outline_export_escape.h"

#include <string>

#include "unicode/utf.h"

namespace {

// Whether XML 1.0 can hold the UTF-16 unit as a character (surrogates are judged in pairs by
// the caller).
bool xmlCharacter(char16_t c) {
    if (c < 0x20) return c == u'\t' || c == u'\n' || c == u'\r';
    return c != 0xFFFE && c != 0xFFFF;
}

}  // namespace

void appendXmlAttribute(std::string& out, std::u16string_view text) {
    std::size_t runStart = 0;  // characters written as they are, converted in one go
    const auto flush = [&](std::size_t end) {
        unicode::appendUtf8(out, text.substr(runStart, end - runStart));
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const char* entity = nullptr;
        switch (c) {
            case u'&':
                entity = "&amp;";
                break;
            case u'<':
                entity = "&lt;";
                break;
            case u'>':
                entity = "&gt;";
                break;
            case u'"':
                entity = "&quot;";
                break;
            case u'\n':
                entity = "&#10;";
                break;
            case u'\r':
                entity = "&#13;";
                break;
            case u'\t':
                entity = "&#9;";
                break;
            default:
                if (!xmlCharacter(c)) entity = "\xEF\xBF\xBD";  // U+FFFD
                break;
        }
        if (entity == nullptr) continue;  // lone surrogates become U+FFFD in appendUtf8
        flush(i);
        out += entity;
        runStart = i + 1;
    }
    flush(text.size());
}

void appendHexColour(std::string& out, Colour colour) {
    static constexpr char kDigits[] = "0123456789abcdef";
    out.push_back('#');
    for (int shift : {0, 8, 16}) {  // red, green, blue: the low byte first
        const unsigned component = (colour >> shift) & 0xFFu;
        out.push_back(kDigits[component >> 4]);
        out.push_back(kDigits[component & 0xFu]);
    }
}

namespace {

bool isAsciiDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// What stands for c in a Markdown caption, or null when c stands for itself. Python-Markdown
// honours backslash escapes only before \ ` * _ { } [ ] ( ) > # + - . !, so every other
// character that needs one is written as a character reference, which both parsers decode.
const char* markdownEscape(char16_t c, bool lineStart, bool endsNumber) {
    switch (c) {
        case u'\\':
            return "\\\\";
        case u'`':
            return "\\`";
        case u'*':
            return "\\*";
        case u'_':
            return "\\_";
        case u'[':
            return "\\[";
        case u']':
            return "\\]";
        case u'&':
            return "&amp;";
        case u'<':  // raw HTML and autolinks
            return "&lt;";
        case u'>':
            return "&gt;";
        case u'~':  // strikethrough where the parser has it
            return "&#126;";
        case u'\n':
            return "<br>";
        case u'#':
            return lineStart ? "\\#" : nullptr;
        case u'+':
            return lineStart ? "\\+" : nullptr;
        case u'-':
            return lineStart ? "\\-" : nullptr;
        case u'=':
            return lineStart ? "&#61;" : nullptr;
        case u'.':
            return endsNumber ? "\\." : nullptr;
        case u')':
            return endsNumber ? "\\)" : nullptr;
        default:
            return nullptr;
    }
}

}  // namespace

void appendMarkdownCaption(std::string& out, std::u16string_view text) {
    if (text.empty()) {
        out += "<!-- -->";  // an item of its own, where a bare marker could underline the line above
        return;
    }
    // Blanks at either end of a line are trimmed by Markdown; a tab anywhere is expanded by
    // Python-Markdown.
    std::size_t first = 0;
    while (first < text.size() && text[first] == u' ') ++first;
    std::size_t last = text.size();
    while (last > first && text[last - 1] == u' ') --last;
    std::size_t digits = 0;  // "1." or "2)" at the start would begin a numbered list
    while (digits < text.size() && isAsciiDigit(text[digits])) ++digits;

    std::size_t runStart = 0;
    const auto flush = [&](std::size_t end) {
        unicode::appendUtf8(out, text.substr(runStart, end - runStart));
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const char* escape = markdownEscape(c, i == 0, digits > 0 && i == digits);
        std::string reference;
        if (escape == nullptr && (c < 0x20 || (c == u' ' && (i < first || i >= last)))) {
            reference = "&#" + std::to_string(static_cast<unsigned>(c)) + ";";
            escape = reference.c_str();
        }
        if (escape == nullptr) continue;
        flush(i);
        out += escape;
        runStart = i + 1;
    }
    flush(text.size());
    // An item holding one tag and nothing else would be an HTML block, its tag no line break.
    if (text == u"\n") out += "<!-- -->";
}
