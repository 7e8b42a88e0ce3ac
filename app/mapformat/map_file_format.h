// The map file's format: a UTF-8 byte-order mark, then one line per node in pre-order,
//   <2·depth spaces>node: x y width height r1 g1 b1 r2 g2 b2 collapsed "text"\n
// with line feed, double quote and backslash escaped in the text. Only this writer and this
// reader know the format.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "app/model/node.h"

// Appends the line of node at the given depth and the lines of its whole subtree.
void writeNode(std::string& out, const Node& node, int depth);

// The whole file for the tree below root: the byte-order mark and every node line.
std::string writeMapFile(const Node& root);
// The same for a frozen tree (a snapshot of the map, app/model/frozen_node.h).
struct FrozenNode;
std::string writeMapFile(const FrozenNode& root);

// Reads the first node line of the file and its subtree (the tree the file holds), or
// nothing when the file holds no valid first node line. Lines that would nest at kMaxDepth
// or deeper are read as malformed lines.
std::unique_ptr<Node> readMapFile(std::string_view bytes);
