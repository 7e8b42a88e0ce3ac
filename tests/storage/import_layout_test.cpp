// The layout an imported tree gets: columns by depth to the right, rows by order, no two boxes
// overlapping, parents beside the middle of their children.
#include "app/storage/import_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <random>

#include "app/model/scene_layout.h"
#include "tests/storage/import_trees.h"

namespace {
// A tree of the given size with an irregular shape: each node hangs below a random earlier one.
std::unique_ptr<Node> randomTree(int nodes, unsigned seed) {
    std::mt19937 random(seed);
    auto root = std::make_unique<Node>(u"root", 0, 0);
    std::vector<Node*> all{root.get()};
    for (int i = 1; i < nodes; ++i) {
        Node* parent = all[random() % all.size()];
        all.push_back(addChild(*parent, u"n" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26))));
        if (random() % 7 == 0) parent->collapsed = true;
    }
    return root;
}

void expectTidy(const Node& root) {
    std::map<std::int32_t, std::vector<const Node*>> columns;
    for (const Node* node : allNodes(root)) {
        columns[node->x].push_back(node);
        if (node->parent != nullptr) {
            EXPECT_EQ(node->x, node->parent->x + node->parent->width + kImportColumnGap);
        }
        if (!node->children.empty()) {
            EXPECT_GE(node->y, node->children.front()->y);
            EXPECT_LE(node->y, node->children.back()->y);
        }
        for (std::size_t i = 1; i < node->children.size(); ++i) {
            EXPECT_GT(node->children[i]->y, node->children[i - 1]->y)
                << "children keep their order downwards";
        }
    }
    for (auto& [x, column] : columns) {
        std::sort(column.begin(), column.end(), [](const Node* a, const Node* b) { return a->y < b->y; });
        for (std::size_t i = 1; i < column.size(); ++i) {
            ASSERT_GE(column[i]->y, column[i - 1]->y + column[i - 1]->height + kImportRowGap)
                << "boxes overlap in the column at x " << x;
        }
    }
}

TEST(ImportLayout, IrregularTreesGrowRightWithoutOverlap) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        const auto root = randomTree(2 + static_cast<int>(seed) * 37, seed);
        layoutImportedTree(*root);
        expectTidy(*root);
        EXPECT_EQ(root->x, kPanelWidth + 20);
        if (HasFatalFailure()) return;
    }
}

TEST(ImportLayout, SmallTreesAreCentredOnTheCanvasAndTallOnesStartAtItsTop) {
    const auto small = randomTree(6, 3);
    layoutImportedTree(*small);
    std::int32_t top = INT32_MAX;
    std::int32_t bottom = INT32_MIN;
    for (const Node* node : allNodes(*small)) {
        top = std::min(top, node->y);
        bottom = std::max(bottom, node->y + node->height);
    }
    EXPECT_GT(top, 20);
    EXPECT_LE(std::abs((top + bottom) - (kWindowHeight - 20)), 1) << top << " " << bottom;

    const auto tall = randomTree(500, 4);
    layoutImportedTree(*tall);
    top = INT32_MAX;
    for (const Node* node : allNodes(*tall)) top = std::min(top, node->y);
    EXPECT_EQ(top, 20);
}

TEST(ImportLayout, TheDeepestChainIsLaidOutWithoutRecursion) {
    auto root = std::make_unique<Node>(u"0", 0, 0);
    Node* last = root.get();
    for (int depth = 1; depth < kMaxDepth; ++depth) last = addChild(*last, u"d");
    layoutImportedTree(*root);
    EXPECT_EQ(last->x, root->x + (kMaxDepth - 1) * (140 + kImportColumnGap));
    EXPECT_EQ(last->y, root->y);  // one leaf: every level on the same row
}
}  // namespace
