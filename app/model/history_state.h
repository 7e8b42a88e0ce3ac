// One undo/redo entry: a node and deep copies of its children at the time of capture.
#pragma once

#include <cstdint>
#include <vector>

struct Node;

struct HistoryState {
    Node* node = nullptr;             // the node whose children were captured (resolved by nodeId)
    std::uint64_t nodeId = 0;         // identity of that node, carried over by deep copies
    std::vector<Node*> childrenCopy;  // owned copies, top-level copies without parent
};
