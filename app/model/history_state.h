// One undo/redo entry: a node's own colours and deep copies of its children at the time of
// capture. The node is named by identity, never by address, so an entry can outlive the node.
#pragma once

#include <cstdint>
#include <vector>

#include "app/model/colour.h"

struct Node;

struct HistoryState {
    HistoryState() = default;
    ~HistoryState();  // frees the copies
    HistoryState(HistoryState&& other) noexcept;
    HistoryState& operator=(HistoryState&& other) noexcept;
    HistoryState(const HistoryState&) = delete;
    HistoryState& operator=(const HistoryState&) = delete;

    // Identities from the root down to the captured node's parent, then the node itself. A
    // node never changes parent and copies keep identities, so this path finds the node (or
    // its copy) again in a few steps, or shows that it is gone.
    std::vector<std::uint64_t> ancestorIds;
    std::uint64_t nodeId = 0;
    std::vector<Node*> childrenCopy;  // owned copies, top-level copies without parent
    Colour fillColor = 0;             // the node's own colours at capture
    Colour textColor = 0;
};
