// Plain-text outlines (.txt): one item a line, nested by indentation with tabs or spaces (a
// tab reaching the next multiple of four columns), each line a child of the nearest line
// above it that is indented less. Blank lines are skipped. Captions lose the blanks around
// them and read back the escapes the export writes: \\ \n \r \t, \s for a space and \e for an
// empty caption; any other backslash is kept as it stands, as in a Windows path.
#include <cstddef>
#include <string>
#include <vector>

#include "app/outline/import_tree_builder.h"
#include "app/outline/outline_readers.h"
#include "app/outline/outline_text_lines.h"
#include "unicode/utf.h"

namespace {
constexpr std::size_t kTabWidth = 4;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string unescapeCaption(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\\' || i + 1 == text.size()) {
            out.push_back(c);
            continue;
        }
        switch (text[i + 1]) {
            case '\\':
                out.push_back('\\');
                break;
            case 'n':
                out.push_back('\n');
                break;
            case 'r':
                out.push_back('\r');
                break;
            case 't':
                out.push_back('\t');
                break;
            case 's':
                out.push_back(' ');
                break;
            case 'e':
                break;
            default:
                out.push_back(c);
                continue;
        }
        ++i;
    }
    return out;
}
}  // namespace

std::unique_ptr<Node> readTextOutline(std::string_view bytes, std::string& error) {
    std::string storage;
    std::string_view text;
    if (!outlineText(bytes, storage, text, error)) return nullptr;
    ImportTreeBuilder builder;
    std::vector<std::size_t> indents;  // the indentation of each open line
    const bool complete = forEachLine(text, [&](std::string_view line, std::size_t number) {
        std::size_t column = 0;
        std::size_t first = 0;
        while (first < line.size() && isBlank(line[first])) {
            column = line[first] == '\t' ? (column / kTabWidth + 1) * kTabWidth : column + 1;
            ++first;
        }
        std::size_t last = line.size();
        while (last > first && isBlank(line[last - 1])) --last;
        if (last == first) return true;
        while (!indents.empty() && indents.back() >= column) {
            indents.pop_back();
            builder.close();
        }
        if (!builder.open(unicode::fromUtf8(unescapeCaption(line.substr(first, last - first))))) {
            error = lineError(number, builder.error());
            return false;
        }
        indents.push_back(column);
        return true;
    });
    if (!complete) return nullptr;
    std::unique_ptr<Node> root = builder.finish(u"");
    if (root == nullptr) error = builder.error();
    return root;
}
