// Arbitrary bytes opened as a map file. Every open must leave a sound tree (a root without
// parent, correct parent links, no level at kMaxDepth or deeper, the root selected), match the
// line-by-line stream reading, and save → open → save must give the same bytes. Undo and redo
// of entries made before the open must be harmless.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/mapformat/map_file_format.h"
#include "app/model/mind_map.h"
#include "tests/mapformat/stream_reference_reader.h"
#include "unicode/utf.h"

namespace {
void require(bool condition) {
    if (!condition) std::abort();
}

void checkTree(const MindMap& map) {
    require(map.root != nullptr && map.root->parent == nullptr);
    require(map.selectedNode != nullptr);
    bool selectedFound = false;
    std::vector<std::pair<const Node*, int>> pending{{map.root, 0}};
    while (!pending.empty()) {
        auto [node, depth] = pending.back();
        pending.pop_back();
        require(depth < kMaxDepth);
        selectedFound = selectedFound || node == map.selectedNode;
        for (const Node* child : node->children) {
            require(child != nullptr && child->parent == node);
            pending.emplace_back(child, depth + 1);
        }
    }
    require(selectedFound);
}

bool sameTree(const Node* node, const ReferenceNode* expected) {
    const int* v = expected->numbers;
    auto colour = [](int r, int g, int b) {
        return (static_cast<Colour>(r) & 0xFF) | (static_cast<Colour>(g) & 0xFF) << 8 |
               (static_cast<Colour>(b) & 0xFF) << 16;
    };
    if (node->x != v[0] || node->y != v[1] || node->width != v[2] || node->height != v[3] ||
        node->fillColor != colour(v[4], v[5], v[6]) || node->textColor != colour(v[7], v[8], v[9]) ||
        node->collapsed != (v[10] != 0) || node->text != unicode::fromUtf8(expected->text) ||
        node->children.size() != expected->children.size()) {
        return false;
    }
    for (std::size_t i = 0; i < node->children.size(); ++i) {
        if (!sameTree(node->children[i], expected->children[i].get())) return false;
    }
    return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    MindMap map;
    map.addChildNode();
    map.addSiblingNode();
    map.undo();
    const bool found = map.loadFromBytes(bytes);
    checkTree(map);
    require(map.selectedNode == map.root);

    std::unique_ptr<ReferenceNode> expected = referenceReadMap(bytes);
    require(found == (expected != nullptr));
    if (expected) require(sameTree(map.root, expected.get()));

    const std::string first = map.saveToBytes();
    MindMap reopened;
    require(reopened.loadFromBytes(first));
    checkTree(reopened);
    require(reopened.saveToBytes() == first);

    // Entries of the replaced map are dropped; new ones work on the loaded tree.
    map.undo();
    map.redo();
    checkTree(map);
    if (!map.root->children.empty()) {
        map.selectedNode = map.root->children.back();
        map.deleteSelectedNode();
        map.undo();
        checkTree(map);
        require(map.saveToBytes() == first);
    }
    return 0;
}
