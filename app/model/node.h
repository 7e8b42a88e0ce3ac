// One captioned box of the map. A node owns its children; parent never owns.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/model/colour.h"

struct Node {
    Node(std::u16string text, std::int32_t x, std::int32_t y);
    ~Node();  // destroys the subtree, children in list order
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    std::u16string text;
    std::int32_t x;
    std::int32_t y;
    std::int32_t width = 140;
    std::int32_t height = 45;
    Colour fillColor = 0xDCDCDC;
    Colour textColor = 0x000000;
    std::vector<Node*> children;  // owned, in insertion order
    Node* parent = nullptr;
    bool collapsed = false;
    // Identity kept by deep copies, so history entries can find "their" node after a subtree
    // was replaced by copies.
    std::uint64_t id;
};
