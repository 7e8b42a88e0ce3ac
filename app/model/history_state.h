// One undo/redo entry. The node it acts on is named by identity, never by address, so an entry
// can outlive the node. What it holds depends on what its command changed:
//   Children  the node's colours and frozen copies of its children (add child: the whole list),
//             shared with other entries wherever a subtree did not change between them
//   Colours   the node's own two colours (the colour commands)
//   Insert    a child subtree to put back at an index (what a delete took away)
//   Remove    the identity of a child to take away (what an add sibling put in)
// Applying an entry yields the entry that applies the opposite change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/model/colour.h"
#include "app/model/frozen_node.h"
#include "app/model/node.h"

struct HistoryState {
    enum class Change { Children, Colours, Insert, Remove };

    Change change = Change::Children;
    // Identities from the root down to the captured node's parent, then the node itself. A
    // node never changes parent and copies keep identities, so this path finds the node (or
    // its copy) again in a few steps, or shows that it is gone.
    std::vector<std::uint64_t> ancestorIds;
    std::uint64_t nodeId = 0;
    FrozenChildren children;        // Children: the node's children as they were
    std::unique_ptr<Node> subtree;  // Insert: the removed subtree itself, without parent
    Colour fillColor = 0;           // Children and Colours: the node's own colours at capture
    Colour textColor = 0;
    std::size_t index = 0;      // Insert and Remove: the child's place in the list
    std::uint64_t childId = 0;  // Remove: the child to take away
};
