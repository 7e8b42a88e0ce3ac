// The map as a tab-indented plain-text outline; outline_export.h gives the escapes.
#include <string>
#include <string_view>

#include "app/outline/outline_export.h"
#include "app/outline/outline_export_walk.h"
#include "unicode/utf.h"

namespace {

void appendCaption(std::string& out, std::u16string_view text) {
    if (text.empty()) {
        out += "\\e";
        return;
    }
    std::size_t first = 0;  // spaces before `first` and from `last` on are written \s
    while (first < text.size() && text[first] == u' ') ++first;
    std::size_t last = text.size();
    while (last > first && text[last - 1] == u' ') --last;

    std::size_t runStart = 0;
    const auto flush = [&](std::size_t end) {
        unicode::appendUtf8(out, text.substr(runStart, end - runStart));
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const char* escape = nullptr;
        switch (c) {
            case u'\\':
                escape = "\\\\";
                break;
            case u'\n':
                escape = "\\n";
                break;
            case u'\r':
                escape = "\\r";
                break;
            case u'\t':
                escape = "\\t";
                break;
            case u' ':
                if (i < first || i >= last) escape = "\\s";
                break;
            default:
                break;
        }
        if (escape == nullptr) continue;
        flush(i);
        out += escape;
        runStart = i + 1;
    }
    flush(text.size());
}

}  // namespace

std::string writeTextOutline(const Node& root) {
    std::string out;
    walkOutline(
        root,
        [&out](const Node& node, int depth) {
            // A reader takes a leading U+FEFF for the byte-order mark and drops it; one written
            // before a caption that starts with it keeps the caption's own.
            if (out.empty() && !node.text.empty() && node.text.front() == u'\uFEFF') out += "\xEF\xBB\xBF";
            out.append(static_cast<std::size_t>(depth), '\t');
            appendCaption(out, node.text);
            out += '\n';
        },
        [](const Node&, int) {});
    return out;
}
