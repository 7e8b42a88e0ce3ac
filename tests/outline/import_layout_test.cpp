// The layout an imported map gets, on FreeMind maps written here: a tidy tree growing down from
// the canvas's top left, where only shown nodes take room, no two shown boxes overlap, every
// connector runs down from a parent's bottom to a child's top, and boxes fit their captions.
#include "app/outline/import_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "app/model/scene_layout.h"
#include "app/outline/map_import.h"
#include "tests/outline/import_trees.h"

namespace {

// The canvas: right of the panel, above the 20-pixel status bar.
constexpr int kCanvasLeft = kPanelWidth;
constexpr int kCanvasRight = kWindowWidth;
constexpr int kCanvasBottom = kWindowHeight - 20;

// Captions measure 7 pixels a UTF-16 unit here, so a box is 7 * length + 40 wide, within 120..300.
constexpr int kPixelsPerUnit = 7;
const CaptionWidth kMeasure = [](const std::u16string& caption) {
    return static_cast<std::int64_t>(caption.size()) * kPixelsPerUnit;
};

// One node of a map to write, in pre-order: its depth, caption and folded state.
struct Item {
    int depth;
    std::string caption;
    bool folded = false;
};

std::string freeMindXml(const std::vector<Item>& items) {
    std::string xml = "<map version=\"1.0.1\">\n";
    int open = 0;
    for (const Item& item : items) {
        for (; open > item.depth; --open) xml += "</node>";
        xml += "<node TEXT=\"" + item.caption + "\"" + (item.folded ? " FOLDED=\"true\"" : "") + ">";
        ++open;
    }
    for (; open > 0; --open) xml += "</node>";
    return xml + "</map>\n";
}

std::unique_ptr<Node> imported(const std::vector<Item>& items) {
    std::string error;
    auto root = importOutline(freeMindXml(items), OutlineFormat::FreeMind, error, nullptr, kMeasure);
    EXPECT_NE(root, nullptr) << error;
    return root;
}

// Up to seven words; Chinese ones unless asciiOnly.
std::string caption(std::mt19937& random, bool asciiOnly) {
    static const char* const kWords[] = {"plan", "a", "review the budget", "", "\xE8\xAE\xA1\xE5\x88\x92"};
    std::string text;
    for (unsigned words = random() % 8; words > 0; --words)
        text += std::string(kWords[random() % (asciiOnly ? 4 : 5)]) + " ";
    return text;
}

// A map of `count` nodes in an irregular shape, about one node in `foldOneIn` with children folded.
std::vector<Item> randomMap(int count, unsigned seed, unsigned foldOneIn, bool asciiOnly = false) {
    std::mt19937 random(seed);
    std::vector<Item> items{{0, "root"}};
    for (int i = 1; i < count; ++i) {
        const int depth = 1 + static_cast<int>(random() % static_cast<unsigned>(items.back().depth + 1));
        items.push_back({depth, caption(random, asciiOnly)});
    }
    for (std::size_t i = 0; i + 1 < items.size(); ++i)
        items[i].folded = items[i + 1].depth > items[i].depth && random() % foldOneIn == 0;
    return items;
}

bool isShown(const Node& node) {
    for (const Node* above = node.parent; above != nullptr; above = above->parent)
        if (above->collapsed) return false;
    return true;
}

std::vector<const Node*> shownNodes(const Node& root) {
    std::vector<const Node*> shown;
    for (const Node* node : allNodes(root))
        if (isShown(*node)) shown.push_back(node);
    return shown;
}

std::int64_t centre(const Node& node) {
    return std::int64_t{node.x} + node.width / 2;
}

// No two boxes overlap (all four edges belong to a box): boxes of one row side by side, rows
// apart. Rows are found by their top; a row overlapping another vertically fails.
void expectApart(const std::vector<const Node*>& boxes) {
    std::map<std::int32_t, std::vector<const Node*>> rows;
    for (const Node* box : boxes) rows[box->y].push_back(box);
    std::int64_t previousBottom = INT64_MIN;
    for (auto& [top, row] : rows) {
        ASSERT_GT(top, previousBottom) << "rows overlap at y " << top;
        std::sort(row.begin(), row.end(), [](const Node* a, const Node* b) { return a->x < b->x; });
        for (std::size_t i = 0; i < row.size(); ++i) {
            previousBottom = std::max(previousBottom, std::int64_t{row[i]->y} + row[i]->height);
            if (i > 0) {
                ASSERT_GT(row[i]->x, std::int64_t{row[i - 1]->x} + row[i - 1]->width)
                    << "boxes overlap at y " << top << ": \"" << unicode::toUtf8(row[i - 1]->text)
                    << "\" and \"" << unicode::toUtf8(row[i]->text) << "\"";
            }
        }
    }
}

// Every node, shown or not: width fitted to its caption; its children below it, left to right
// in order, with the parent centred over them.
void expectTreeShape(const Node& root) {
    for (const Node* node : allNodes(root)) {
        const std::int64_t wanted = static_cast<std::int64_t>(node->text.size()) * kPixelsPerUnit + 40;
        ASSERT_EQ(node->width, std::clamp<std::int64_t>(wanted, 120, 300)) << unicode::toUtf8(node->text);
        ASSERT_EQ(node->height, 45);
        const auto& children = node->children;
        for (std::size_t i = 0; i < children.size(); ++i) {
            // The connector from the parent's bottom middle to the child's top middle runs down.
            ASSERT_EQ(children[i]->y, node->y + node->height + kImportLevelGap);
            if (i > 0) {
                ASSERT_GT(children[i]->x, children[i - 1]->x) << "children keep their order";
            }
        }
        if (!children.empty()) {
            const std::int64_t middle = (centre(*children.front()) + centre(*children.back())) / 2;
            ASSERT_LE(std::abs(centre(*node) - middle), 1) << "not centred: " << unicode::toUtf8(node->text);
        }
    }
}

// The shown map starts at the canvas's top left: the root's top and the leftmost box are the
// margin inside it, nothing lies above or left of it, and a map that fits lies wholly on it.
void expectFromTopLeft(const Node& root, bool fitsTheCanvas) {
    const auto shown = shownNodes(root);
    std::int64_t left = INT64_MAX;
    std::int64_t right = INT64_MIN;
    std::int64_t bottom = INT64_MIN;
    for (const Node* node : shown) {
        left = std::min<std::int64_t>(left, node->x);
        right = std::max<std::int64_t>(right, std::int64_t{node->x} + node->width);
        bottom = std::max<std::int64_t>(bottom, std::int64_t{node->y} + node->height);
        ASSERT_GE(node->y, root.y);
    }
    EXPECT_EQ(root.y, kImportCanvasMargin);
    EXPECT_EQ(left, kCanvasLeft + kImportCanvasMargin);
    if (fitsTheCanvas) {
        EXPECT_LE(right, kCanvasRight);
        EXPECT_LE(bottom, kCanvasBottom);
    }
}

void expectTidyImport(const Node& root, bool fitsTheCanvas) {
    expectTreeShape(root);
    expectApart(shownNodes(root));
    expectFromTopLeft(root, fitsTheCanvas);
}

TEST(ImportLayout, FoldedMapsOpenWithEveryShownNodeOnTheCanvas) {
    // A root with six branches, each folded over a few hundred nodes (one of them again folded
    // below), as maps made in other editors are often saved.
    std::vector<Item> items{{0, "Tutorial"}};
    for (int branch = 0; branch < 6; ++branch) {
        items.push_back({1, "Chapter " + std::to_string(branch), true});
        for (int i = 0; i < 300; ++i) {
            items.push_back({2, "Section with a rather long caption " + std::to_string(i), i % 50 == 0});
            if (i % 50 == 0) items.push_back({3, "detail"});
        }
    }
    const auto root = imported(items);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(shownNodes(*root).size(), 7u);
    expectTidyImport(*root, true);

    // Folded at several levels, with long and empty captions: the shown part still fits.
    const auto mixed = imported({{0, ""},
                                 {1, std::string(400, 'w'), true},
                                 {2, "hidden"},
                                 {3, "deeper"},
                                 {1, "open"},
                                 {2, "", true},
                                 {3, "hidden"},
                                 {2, "\xE4\xB8\xAD"},
                                 {1, "last"}});
    ASSERT_NE(mixed, nullptr);
    EXPECT_EQ(mixed->children[0]->width, 300);
    EXPECT_EQ(mixed->children[1]->children[0]->width, 120);
    EXPECT_EQ(mixed->children[1]->width, 120);  // 4 * 7 + 40 = 68, widened to the least width
    EXPECT_EQ(mixed->children[2]->width, 120);
    expectTidyImport(*mixed, true);
}

TEST(ImportLayout, FoldedSubtreesPushNothingShownAside) {
    // The same map with and without what its folded nodes hide: the shown nodes stand where
    // they stood.
    std::vector<Item> items = randomMap(400, 7, 4);
    std::vector<Item> pruned;
    int hiddenBelow = -1;
    for (const Item& item : items) {
        if (hiddenBelow >= 0 && item.depth > hiddenBelow) continue;
        hiddenBelow = item.folded ? item.depth : -1;
        pruned.push_back({item.depth, item.caption});
    }
    ASSERT_LT(pruned.size(), items.size() / 2);
    const auto folded = imported(items);
    const auto bare = imported(pruned);
    ASSERT_NE(folded, nullptr);
    ASSERT_NE(bare, nullptr);
    const auto shown = shownNodes(*folded);
    const auto all = allNodes(*bare);
    ASSERT_EQ(shown.size(), all.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        ASSERT_EQ(shown[i]->x, all[i]->x) << i;
        ASSERT_EQ(shown[i]->y, all[i]->y) << i;
    }
    // What is folded lies below its node, centred under it, where expanding shows it.
    expectTreeShape(*folded);
}

TEST(ImportLayout, SiblingSubtreesArePackedLevelByLevel) {
    // Each subtree stands exactly one gap right of the siblings before it, at the closest of the
    // levels they share (not beside their whole bounding boxes).
    const auto root = imported(randomMap(250, 11, 9));
    ASSERT_NE(root, nullptr);
    expectTidyImport(*root, false);
    int packed = 0;
    for (const Node* node : allNodes(*root)) {
        if (node->collapsed || !isShown(*node)) continue;
        std::map<std::int32_t, std::int64_t> rightmostSoFar;  // by row top, over earlier siblings
        for (const Node* child : node->children) {
            std::map<std::int32_t, std::int64_t> leftmost;
            std::map<std::int32_t, std::int64_t> rightmost;
            for (const Node* below : shownNodes(*child)) {
                auto [l, newLeft] = leftmost.try_emplace(below->y, below->x);
                if (!newLeft) l->second = std::min<std::int64_t>(l->second, below->x);
                const std::int64_t right = std::int64_t{below->x} + below->width;
                auto [r, newRight] = rightmost.try_emplace(below->y, right);
                if (!newRight) r->second = std::max(r->second, right);
            }
            if (!rightmostSoFar.empty()) {
                std::int64_t closest = INT64_MAX;
                for (const auto& [top, left] : leftmost) {
                    const auto earlier = rightmostSoFar.find(top);
                    if (earlier != rightmostSoFar.end()) closest = std::min(closest, left - earlier->second);
                }
                ASSERT_EQ(closest, kImportSiblingGap) << unicode::toUtf8(child->text);
                ++packed;
            }
            for (const auto& [top, right] : rightmost) {
                auto [r, added] = rightmostSoFar.try_emplace(top, right);
                if (!added) r->second = std::max(r->second, right);
            }
        }
    }
    EXPECT_GT(packed, 50);
}

TEST(ImportLayout, BigDeepAndWideMapsStartAtTheTopLeftWithoutOverlap) {
    // ASCII captions: Wine's XML reader misreads some Chinese text past the first 100 KB.
    for (const unsigned seed : {1u, 2u}) {
        const auto root = imported(randomMap(10000, seed, 5, true));
        ASSERT_NE(root, nullptr);
        expectTidyImport(*root, false);
        if (HasFatalFailure()) return;
    }

    // One row of 5,000 leaves.
    std::vector<Item> wide{{0, "hub"}};
    for (int i = 0; i < 5000; ++i) wide.push_back({1, std::string(static_cast<std::size_t>(i % 40), 'x')});
    const auto hub = imported(wide);
    ASSERT_NE(hub, nullptr);
    expectTidyImport(*hub, false);

    // The deepest chain the editor allows, folded at several levels: laid out without
    // recursion, every level right below the one above.
    std::vector<Item> chain;
    for (int depth = 0; depth < kMaxDepth; ++depth)
        chain.push_back(
            {depth, "level " + std::to_string(depth), depth == 3 || depth == 100 || depth == 4000});
    const auto deep = imported(chain);
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(shownNodes(*deep).size(), 4u);
    expectTidyImport(*deep, true);
}

}  // namespace
