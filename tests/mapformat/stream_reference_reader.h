// The map file read the slow, obvious way: a stream taken line by line, seeking back to put a
// line back for the caller, one recursive call per node. The in-memory reader must give the
// same tree for any bytes; tests and the fuzz target compare the two.
#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/model/node.h"

struct ReferenceNode {
    int numbers[11] = {};
    std::string text;  // UTF-8 as read, escapes resolved
    std::vector<std::unique_ptr<ReferenceNode>> children;
};

inline std::unique_ptr<ReferenceNode> referenceReadNode(std::istream& in, int depth) {
    std::string line;
    if (!std::getline(in, line)) return nullptr;
    std::size_t indent = 0;
    while (indent < line.size() && line[indent] == ' ') ++indent;
    const std::string rest = line.substr(indent);
    if (rest.compare(0, 5, "node:") != 0 || depth >= kMaxDepth) return nullptr;
    std::istringstream iss(rest.substr(5));
    auto node = std::make_unique<ReferenceNode>();
    for (int& number : node->numbers) {
        if (!(iss >> number)) return nullptr;
    }
    char quote = 0;
    if (!(iss >> quote) || quote != '"') return nullptr;
    char c = 0;
    while (iss.get(c)) {
        if (c == '"') break;
        if (c != '\\') {
            node->text.push_back(c);
        } else if (char escaped = 0; iss.get(escaped)) {
            node->text.push_back(escaped == 'n' ? '\n' : escaped);
        }
    }
    for (;;) {
        const std::streampos pos = in.tellg();
        if (!std::getline(in, line)) break;
        std::size_t deeper = 0;
        while (deeper < line.size() && line[deeper] == ' ') ++deeper;
        in.seekg(pos);
        if (deeper <= indent) break;
        std::unique_ptr<ReferenceNode> child = referenceReadNode(in, depth + 1);
        if (!child) break;
        node->children.push_back(std::move(child));
    }
    return node;
}

inline std::unique_ptr<ReferenceNode> referenceReadMap(const std::string& bytes) {
    std::istringstream in(bytes, std::ios::in | std::ios::binary);
    char bom[3] = {};
    in.read(bom, 3);
    if (!(bom[0] == '\xEF' && bom[1] == '\xBB' && bom[2] == '\xBF')) in.seekg(0);
    return referenceReadNode(in, 0);
}
