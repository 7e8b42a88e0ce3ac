#include <charconv>
#include <utility>
#include <vector>

#include "app/mapformat/map_file_format.h"
#include "app/model/frozen_node.h"
#include "unicode/utf.h"

namespace {
void appendNumber(std::string& out, long long value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
    out.push_back(' ');
}

void appendColour(std::string& out, Colour colour) {
    appendNumber(out, colour & 0xFF);
    appendNumber(out, (colour >> 8) & 0xFF);
    appendNumber(out, (colour >> 16) & 0xFF);
}

template <class AnyNode>
void writeNodeLine(std::string& out, const AnyNode& node, int depth, std::string& utf8Text) {
    out.append(2 * static_cast<std::size_t>(depth), ' ');
    out.append("node: ");
    appendNumber(out, node.x);
    appendNumber(out, node.y);
    appendNumber(out, node.width);
    appendNumber(out, node.height);
    appendColour(out, node.fillColor);
    appendColour(out, node.textColor);
    appendNumber(out, node.collapsed ? 1 : 0);
    utf8Text.clear();
    unicode::appendUtf8(utf8Text, node.text);
    out.push_back('"');
    // Copy runs of plain bytes in one go; only line feed, quote and backslash are escaped.
    std::size_t start = 0;
    for (std::size_t i = 0; i < utf8Text.size(); ++i) {
        const char c = utf8Text[i];
        if (c != '\n' && c != '"' && c != '\\') continue;
        out.append(utf8Text, start, i - start);
        out.push_back('\\');
        out.push_back(c == '\n' ? 'n' : c);
        start = i + 1;
    }
    out.append(utf8Text, start, std::string::npos);
    out.append("\"\n");
}
// Pre-order with an explicit stack, so the depth of the tree never meets the call stack.
template <class AnyNode>
void writeTree(std::string& out, const AnyNode& node, int depth) {
    std::string utf8Text;
    std::vector<std::pair<const AnyNode*, int>> pending{{&node, depth}};
    while (!pending.empty()) {
        const auto [current, level] = pending.back();
        pending.pop_back();
        writeNodeLine(out, *current, level, utf8Text);
        for (auto it = current->children.rbegin(); it != current->children.rend(); ++it) {
            pending.emplace_back(&**it, level + 1);
        }
    }
}
}  // namespace

void writeNode(std::string& out, const Node& node, int depth) {
    writeTree(out, node, depth);
}

std::string writeMapFile(const FrozenNode& root) {
    std::string out = "\xEF\xBB\xBF";
    writeTree(out, root, 0);
    return out;
}

std::string writeMapFile(const Node& root) {
    std::string out = "\xEF\xBB\xBF";
    writeNode(out, root, 0);
    return out;
}
