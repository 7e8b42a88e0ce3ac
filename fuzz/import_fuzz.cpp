// Arbitrary bytes imported as another editor's outline: the first byte picks the reader (OPML,
// FreeMind, Markdown, plain text; modulo 4), the rest is the file. A refusal is one line of
// reason. An accepted tree is sound (parent links, depth below kMaxDepth, at most
// kMaxImportNodes nodes), laid out as a tree growing down, saves into a map file that
// opens into the same tree, and survives export to each of the four formats and import back:
// the same shape and captions (in the XML formats, characters XML cannot hold as U+FFFD),
// with colours and collapsed states where the format carries them.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/mapformat/map_file_format.h"
#include "app/model/mind_map.h"
#include "app/outline/import_layout.h"
#include "app/outline/import_tree_builder.h"
#include "app/outline/map_import.h"
#include "app/outline/outline_export.h"
#include "unicode/utf.h"

namespace {

[[noreturn]] void fail(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "import invariant broken: %s %s\n", what, detail.c_str());
    std::abort();
}
void require(bool condition, const char* what, const std::string& detail = {}) {
    if (!condition) fail(what, detail);
}

// Every node in pre-order with its depth.
std::vector<std::pair<const Node*, int>> preOrder(const Node& root) {
    std::vector<std::pair<const Node*, int>> nodes;
    std::vector<std::pair<const Node*, int>> pending{{&root, 0}};
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        nodes.emplace_back(node, depth);
        for (auto it = node->children.rbegin(); it != node->children.rend(); ++it)
            pending.emplace_back(*it, depth + 1);
    }
    return nodes;
}

void checkSound(const Node& root) {
    require(root.parent == nullptr, "the root has no parent");
    const auto nodes = preOrder(root);
    require(nodes.size() <= kMaxImportNodes, "no more nodes than the limit");
    // Children stand below their parent, side by side in order; along a level the shown boxes
    // come from left to right in pre-order without touching (a folded subtree may lie under
    // shown boxes: only expanding shows it).
    std::map<int, const Node*> rightmostShown;
    std::vector<int> hiddenBelow;  // depth of the nearest collapsed ancestor on the walk, if any
    for (const auto& [node, depth] : nodes) {
        require(depth < kMaxDepth, "every depth is below the limit");
        while (!hiddenBelow.empty() && hiddenBelow.back() >= depth) hiddenBelow.pop_back();
        const Node* previous = nullptr;
        for (const Node* child : node->children) {
            require(child != nullptr && child->parent == node, "every child names its parent");
            require(child->y >= node->y + node->height, "a child stands below its parent");
            if (previous != nullptr)
                require(previous->x + previous->width + kImportSiblingGap <= child->x,
                        "siblings stand left to right apart");
            previous = child;
        }
        if (hiddenBelow.empty()) {
            const auto left = rightmostShown.find(depth);
            if (left != rightmostShown.end())
                require(left->second->x + left->second->width <= node->x,
                        "shown boxes of a level do not overlap");
            rightmostShown[depth] = node;
        }
        if (node->collapsed && hiddenBelow.empty()) hiddenBelow.push_back(depth);
    }
}

// A caption as an XML attribute can hold it: other control characters, U+FFFE, U+FFFF and
// lone surrogates as U+FFFD.
std::u16string xmlHeld(const std::u16string& text) {
    std::u16string out = text;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const char16_t c = out[i];
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        const bool low = c >= 0xDC00 && c <= 0xDFFF;
        if (high && i + 1 < out.size() && out[i + 1] >= 0xDC00 && out[i + 1] <= 0xDFFF) {
            ++i;
            continue;
        }
        if ((c < 0x20 && c != u'\n' && c != u'\r' && c != u'\t') || c == 0xFFFE || c == 0xFFFF || high || low)
            out[i] = 0xFFFD;
    }
    return out;
}

// A caption for a message: its start, with code points above ASCII and control characters as
// U+XXXX so that invisible ones show.
std::string shown(const std::u16string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size() && i < 24; ++i) {
        const char16_t c = text[i];
        if (c >= 0x20 && c < 0x7F) {
            out.push_back(static_cast<char>(c));
        } else {
            char code[8];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
            out += code;
        }
    }
    if (text.size() > 24) out += "...(" + std::to_string(text.size()) + " units)";
    return out;
}

struct Carried {
    bool xml;      // captions as XML holds them
    bool colours;  // fill and caption colours, collapsed states
    bool positions;
};

// The first difference between the trees, or an empty string.
std::string firstDifference(const Node& want, const Node& got, Carried carried) {
    std::vector<std::pair<const Node*, const Node*>> pending{{&want, &got}};
    while (!pending.empty()) {
        const auto [a, b] = pending.back();
        pending.pop_back();
        const std::u16string caption = carried.xml ? xmlHeld(a->text) : a->text;
        const std::string where = "at \"" + shown(a->text) + "\": ";
        if (caption != b->text) return where + "caption reads \"" + shown(b->text) + "\"";
        if (a->children.size() != b->children.size()) return where + "children differ";
        if (carried.colours && (a->fillColor != b->fillColor || a->textColor != b->textColor))
            return where + "colours differ";
        if (carried.colours && a->collapsed != b->collapsed) return where + "collapsed differs";
        if (carried.positions &&
            (a->x != b->x || a->y != b->y || a->width != b->width || a->height != b->height))
            return where + "box differs";
        for (std::size_t i = 0; i < a->children.size(); ++i)
            pending.emplace_back(a->children[i], b->children[i]);
    }
    return {};
}

void checkMapFile(const Node& root) {
    const std::string bytes = writeMapFile(root);
    MindMap map;
    require(map.loadFromBytes(bytes), "an imported tree's map file opens");
    const std::string difference = firstDifference(root, *map.root, {false, true, true});
    require(difference.empty(), "an imported tree's map file opens into the same tree", difference);
    require(map.saveToBytes() == bytes, "an imported tree's map file saves the same bytes");
}

void checkExports(const Node& root) {
    const struct {
        const char* name;
        std::string bytes;
        OutlineFormat format;
        Carried carried;
    } exports[] = {{"OPML", writeOpml(root), OutlineFormat::Opml, {true, true, false}},
                   {"FreeMind", writeFreeMind(root), OutlineFormat::FreeMind, {true, true, false}},
                   {"Markdown", writeMarkdownOutline(root), OutlineFormat::Markdown, {false, false, false}},
                   {"text", writeTextOutline(root), OutlineFormat::Text, {false, false, false}}};
    for (const auto& exported : exports) {
        std::string error;
        const std::unique_ptr<Node> back = importOutline(exported.bytes, exported.format, error);
        require(back != nullptr, "an export imports back", std::string(exported.name) + ": " + error);
        const std::string difference = firstDifference(root, *back, exported.carried);
        require(difference.empty(), "an export imports back into the same tree",
                std::string(exported.name) + ": " + difference);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    constexpr OutlineFormat kFormats[] = {OutlineFormat::Opml, OutlineFormat::FreeMind,
                                          OutlineFormat::Markdown, OutlineFormat::Text};
    const OutlineFormat format = kFormats[data[0] % 4];
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string error;
    const std::unique_ptr<Node> root = importOutline(bytes, format, error);
    if (root == nullptr) {
        require(!error.empty() && error.find('\n') == std::string::npos, "a refusal is one line of reason",
                error);
        return 0;
    }
    require(error.empty() || error.find('\n') == std::string::npos, "no stray message");
    checkSound(*root);
    checkMapFile(*root);
    checkExports(*root);
    return 0;
}
