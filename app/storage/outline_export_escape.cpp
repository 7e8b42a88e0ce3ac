#include "app/storage/outline_export_escape.h"

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
