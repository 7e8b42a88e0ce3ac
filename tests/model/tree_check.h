// Test helpers: growing a tree with the editor's commands, a readable dump of a whole tree and
// a check of its links.
#pragma once

#include <sstream>
#include <string>

#include "app/model/mind_map.h"

// Selects `parent` and adds a child under it, as a click on the parent then "add child" does;
// returns the new child, which is the new selection.
inline Node* addChildOf(MindMap& map, Node* parent) {
    map.selectedNode = parent;
    map.addChildNode();
    return map.selectedNode;
}

inline void dumpNode(std::ostringstream& out, const Node* node, int depth) {
    out << std::string(2 * depth, ' ') << node->x << ',' << node->y << ' ' << node->width << 'x'
        << node->height << " fill=" << node->fillColor << " text=" << node->textColor
        << " collapsed=" << node->collapsed << " [";
    for (char16_t c : node->text) out << static_cast<unsigned>(c) << ' ';
    out << "]\n";
    for (const Node* child : node->children) dumpNode(out, child, depth + 1);
}

inline std::string dumpTree(const Node* root) {
    std::ostringstream out;
    if (root != nullptr) dumpNode(out, root, 0);
    return out.str();
}

// Every child's parent link names the node holding it; returns the number of nodes.
inline int checkLinks(const Node* node) {
    int count = 1;
    for (const Node* child : node->children) {
        if (child == nullptr || child->parent != node) return -1000000;
        count += checkLinks(child);
    }
    return count;
}

inline bool isInTree(const Node* root, const Node* wanted) {
    if (root == wanted) return true;
    for (const Node* child : root->children) {
        if (isInTree(child, wanted)) return true;
    }
    return false;
}
