// One captioned box of the map. A node owns its children; parent never owns.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/model/colour.h"

struct FrozenNode;

// Deepest level a map may hold: every node's depth (the root's is 0) is below kMaxDepth. Every
// walk of the tree (copy, destroy, hit test, drawing, saving, loading) is iterative, so the
// limit only bounds what a file may ask for: 4,096 levels is far beyond any map built by hand,
// and such a chain's file is already about 16 MB of indentation. Adding a child below the last
// level does nothing; the loader treats deeper lines as malformed.
inline constexpr int kMaxDepth = 4096;

// Where the k-th node added under a parent goes: 80·k right of and 100 below its corner.
inline constexpr int kChildStepX = 80;
inline constexpr int kChildStepY = 100;

// A new node's colours: light grey with a black caption.
inline constexpr Colour kDefaultNodeFill = 0xDCDCDC;
inline constexpr Colour kDefaultNodeText = 0x000000;

struct Node {
    Node(std::u16string text, std::int32_t x, std::int32_t y);
    ~Node();  // destroys the subtree (iteratively, so any depth is safe)
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    std::u16string text;
    std::int32_t x;
    std::int32_t y;
    std::int32_t width = 140;
    std::int32_t height = 45;
    Colour fillColor = kDefaultNodeFill;
    Colour textColor = kDefaultNodeText;
    std::vector<Node*> children;  // owned, in insertion order
    Node* parent = nullptr;
    bool collapsed = false;
    // Identity kept by deep copies, so history entries can find "their" node after a subtree
    // was replaced by copies. Every constructed node gets a new one.
    std::uint64_t id;
    // The history's frozen copy this node last matched (app/model/frozen_node.h), so the next
    // snapshot can reuse it. Writers of the fields above never touch it: it may be out of date,
    // and freezing checks it against the node before reusing it.
    std::shared_ptr<const FrozenNode> frozen;
};

// Number of ancestors of node (0 for the root).
int nodeDepth(const Node* node);
