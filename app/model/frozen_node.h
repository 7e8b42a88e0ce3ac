// The history's copies of subtrees: immutable, and shared between entries. A snapshot reuses
// the frozen copy of every subtree that did not change since it was last frozen, so recording
// costs the changed nodes and the recorded node's child list, not the whole subtree.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/model/colour.h"

struct Node;
struct FrozenNode;

using FrozenChildren = std::vector<std::shared_ptr<const FrozenNode>>;

struct FrozenNode {
    FrozenNode() = default;
    ~FrozenNode();  // takes apart what only it keeps alive iteratively, so any depth is safe
    FrozenNode(const FrozenNode&) = delete;
    FrozenNode& operator=(const FrozenNode&) = delete;

    std::u16string text;
    FrozenChildren children;
    std::uint64_t id = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    Colour fillColor = 0;
    Colour textColor = 0;
    bool collapsed = false;
};

// The frozen copies of node's children, in order. Every node below keeps the copy it last
// matched in Node::frozen; a node gets a new one only when its own fields differ from that
// copy or its children's copies are not the very ones that copy holds, so nothing unchanged
// is copied and no change, however it was written, is missed.
FrozenChildren freezeChildren(Node& node);

// A copy of the node's own fields, with no children yet.
std::shared_ptr<FrozenNode> freezeFields(const Node& node);

// Gives node the children `wanted` describes and returns the frozen copies of the children it
// had. Present children with a recorded identity are kept (a subtree that is exactly as
// recorded is kept whole, untouched); the rest are built from the frozen copies, each new node
// remembering the copy it came from. What no recorded child takes is freed.
FrozenChildren replaceChildren(Node& node, const FrozenChildren& wanted);
