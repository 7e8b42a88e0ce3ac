// Reads the whole file from memory with the results of reading it line by line from a stream:
// a node's children are the following lines indented deeper than its own line; a line that
// is not deeper is left for an ancestor; a malformed line is dropped and ends the child list
// of the node being read, whose parent then goes on with the next line.
#include <cstdint>
#include <limits>
#include <vector>

#include "app/mapformat/map_file_format.h"
#include "unicode/utf.h"

namespace {
struct NodeLine {
    std::size_t indent = 0;
    std::int32_t numbers[11] = {};
    std::string text;  // UTF-8, escapes resolved
};

// Whitespace of the classic locale, as formatted stream input skips it.
bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::size_t leadingSpaces(std::string_view line) {
    const std::size_t n = line.find_first_not_of(' ');
    return n == std::string_view::npos ? line.size() : n;
}

// Formatted int input: optional sign, then decimal digits, the value within int range.
bool readInt(std::string_view s, std::size_t& pos, std::int32_t& value) {
    while (pos < s.size() && isSpace(s[pos])) ++pos;
    bool negative = false;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
        negative = s[pos] == '-';
        ++pos;
    }
    const std::int64_t limit = negative ? -std::int64_t{std::numeric_limits<std::int32_t>::min()}
                                        : std::int64_t{std::numeric_limits<std::int32_t>::max()};
    std::int64_t magnitude = 0;
    bool anyDigit = false;
    bool overflow = false;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
        anyDigit = true;
        magnitude = magnitude * 10 + (s[pos] - '0');
        if (magnitude > limit) {
            overflow = true;
            magnitude = limit;  // keeps the sum small; the digits are still consumed
        }
        ++pos;
    }
    if (!anyDigit || overflow) return false;
    value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
    return true;
}

bool readNodeLine(std::string_view line, NodeLine& result) {
    result.indent = leadingSpaces(line);
    line.remove_prefix(result.indent);
    if (line.substr(0, 5) != "node:") return false;
    std::size_t pos = 5;
    for (std::int32_t& number : result.numbers) {
        if (!readInt(line, pos, number)) return false;
    }
    while (pos < line.size() && isSpace(line[pos])) ++pos;
    if (pos >= line.size() || line[pos] != '"') return false;
    ++pos;
    result.text.clear();
    while (pos < line.size()) {
        const char c = line[pos++];
        if (c == '"') break;
        if (c != '\\') {
            result.text.push_back(c);
        } else if (pos < line.size()) {  // a backslash as the very last byte is dropped
            const char escaped = line[pos++];
            result.text.push_back(escaped == 'n' ? '\n' : escaped);
        }
    }
    return true;
}

Colour colourOf(std::int32_t r, std::int32_t g, std::int32_t b) {
    return (static_cast<Colour>(r) & 0xFF) | (static_cast<Colour>(g) & 0xFF) << 8 |
           (static_cast<Colour>(b) & 0xFF) << 16;
}

Node* newNode(const NodeLine& line, Node* parent) {
    const std::int32_t* v = line.numbers;
    Node* node = new Node(unicode::fromUtf8(line.text), v[0], v[1]);
    node->width = v[2];
    node->height = v[3];
    node->fillColor = colourOf(v[4], v[5], v[6]);
    node->textColor = colourOf(v[7], v[8], v[9]);
    node->collapsed = v[10] != 0;
    node->parent = parent;
    return node;
}

class LineReader {
  public:
    explicit LineReader(std::string_view bytes) : bytes_(bytes) {}

    // The next line without its line feed; false at the end of the bytes.
    bool next(std::string_view& line) {
        if (pos_ >= bytes_.size()) return false;
        const std::size_t end = bytes_.find('\n', pos_);
        const std::size_t stop = end == std::string_view::npos ? bytes_.size() : end;
        line = bytes_.substr(pos_, stop - pos_);
        pos_ = end == std::string_view::npos ? bytes_.size() : end + 1;
        return true;
    }
    std::size_t position() const { return pos_; }
    void seek(std::size_t pos) { pos_ = pos; }

  private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};
}  // namespace

std::unique_ptr<Node> readMapFile(std::string_view bytes) {
    // A file shorter than the byte-order mark holds no node; without the mark it is read from
    // its first byte.
    if (bytes.size() < 3) return nullptr;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);

    LineReader lines(bytes);
    std::string_view line;
    NodeLine fields;
    if (!lines.next(line) || !readNodeLine(line, fields)) return nullptr;
    std::unique_ptr<Node> root(newNode(fields, nullptr));

    // The nodes whose child lists are still open, innermost last, with their indentation.
    struct OpenNode {
        Node* node;
        std::size_t indent;
    };
    std::vector<OpenNode> open{{root.get(), fields.indent}};
    // A line left for an ancestor is examined again by it: remember its indentation.
    std::size_t countedAt = std::string_view::npos;
    std::size_t counted = 0;
    while (!open.empty()) {
        const std::size_t start = lines.position();
        if (!lines.next(line)) break;
        if (countedAt != start) {
            countedAt = start;
            counted = leadingSpaces(line);
        }
        if (counted <= open.back().indent) {
            lines.seek(start);
            open.pop_back();
            continue;
        }
        if (open.size() >= static_cast<std::size_t>(kMaxDepth) || !readNodeLine(line, fields)) {
            open.pop_back();
            continue;
        }
        Node* parent = open.back().node;
        parent->children.push_back(nullptr);
        parent->children.back() = newNode(fields, parent);
        open.push_back({parent->children.back(), fields.indent});
    }
    return root;
}
