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

// A map as a person builds one: ten main topics around the root, each opened into two to seven
// points, level by level, until nodeCount nodes; every caption different (a few words and a
// number), each level further right, spread up and down.
inline void buildPersonsMap(MindMap& map, int nodeCount) {
    std::mt19937 rng(1);
    const std::u16string words[] = {u"计划",   u"预算和时间表",  u"问题",   u"想法",
                                    u"Review", u"Meeting notes", u"下一步", u"资料"};
    std::vector<Node*> open{map.root};
    int count = 1;
    for (std::size_t next = 0; next < open.size() && count < nodeCount; ++next) {
        Node* parent = open[next];
        const int want = parent == map.root ? 10 : 2 + static_cast<int>(rng() % 6);
        for (int i = 0; i < want && count < nodeCount; ++i, ++count) {
            std::u16string text = words[rng() % std::size(words)] + u' ';
            for (char c : std::to_string(count)) text.push_back(static_cast<char16_t>(c));
            const int x = parent->x + 220 + static_cast<int>(rng() % 60);
            const int y = parent->y + static_cast<int>(rng() % 2001) - 1000;
            Node* child = new Node(text, x, y);
            child->fillColor = rng() % 3 == 0 ? 0xB4DCB4 : 0xDCDCDC;
            child->parent = parent;
            parent->children.push_back(child);
            open.push_back(child);
        }
    }
}
