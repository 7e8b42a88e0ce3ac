// A map of realistic shape for benchmarks: captions of a few characters, mostly shallow with
// some deep branches, coordinates spread over the canvas.
#pragma once

#include <random>
#include <string>
#include <vector>

#include "app/model/mind_map.h"
#include "app/model/scene_layout.h"

inline void buildLargeMap(MindMap& map, int nodeCount) {
    std::mt19937 rng(42);
    std::vector<Node*> nodes{map.root};
    nodes.reserve(static_cast<std::size_t>(nodeCount));
    while (static_cast<int>(nodes.size()) < nodeCount) {
        // Mostly under a recent node (deep branches), sometimes anywhere (wide lists).
        const std::size_t n = nodes.size();
        Node* parent = rng() % 4 != 0 ? nodes[n - 1 - rng() % std::min<std::size_t>(n, 8)] : nodes[rng() % n];
        if (nodeDepth(parent) + 1 >= 12) parent = nodes[rng() % std::min<std::size_t>(n, 64)];
        std::u16string text = u"新节点 ";
        for (char c : std::to_string(n)) text.push_back(static_cast<char16_t>(c));
        Node* child =
            new Node(text, static_cast<int>(rng() % kWindowWidth), static_cast<int>(rng() % kWindowHeight));
        child->fillColor = rng() % 2 == 0 ? 0xB4DCB4 : 0xDCDCDC;
        child->parent = parent;
        parent->children.push_back(child);
        nodes.push_back(child);
    }
}
