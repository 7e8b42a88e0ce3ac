// Freezing live subtrees into shared immutable copies and bringing them back. Every walk is
// iterative: a chain of kMaxDepth nodes must not recurse.
#include "app/model/frozen_node.h"

#include <cstddef>
#include <iterator>
#include <unordered_map>
#include <utility>

#include "app/model/node.h"

FrozenNode::~FrozenNode() {
    // Children only this node keeps alive give up their own children first, so each release
    // below is shallow. Every frozen node is created non-const (make_shared), and the sole
    // owner may change it as it goes.
    FrozenChildren pending = std::move(children);
    while (!pending.empty()) {
        std::shared_ptr<const FrozenNode> node = std::move(pending.back());
        pending.pop_back();
        if (node.use_count() == 1) {
            FrozenChildren& below = const_cast<FrozenNode&>(*node).children;
            std::move(below.begin(), below.end(), std::back_inserter(pending));
            below.clear();
        }
    }
}

namespace {
bool sameFields(const Node& node, const FrozenNode& frozen) {
    return node.id == frozen.id && node.x == frozen.x && node.y == frozen.y && node.width == frozen.width &&
           node.height == frozen.height && node.fillColor == frozen.fillColor &&
           node.textColor == frozen.textColor && node.collapsed == frozen.collapsed &&
           node.text == frozen.text;
}

// The node's frozen copy still describes it: its own fields, and its children's (already up
// to date) copies are the very ones the copy holds.
bool stillMatches(const Node& node, const FrozenNode& frozen) {
    if (!sameFields(node, frozen) || node.children.size() != frozen.children.size()) return false;
    for (std::size_t i = 0; i < node.children.size(); ++i) {
        if (node.children[i]->frozen != frozen.children[i]) return false;
    }
    return true;
}

// Needs the children's copies up to date.
void refreeze(Node& node) {
    if (node.frozen != nullptr && stillMatches(node, *node.frozen)) return;
    auto fresh = freezeFields(node);
    fresh->children.reserve(node.children.size());
    for (const Node* child : node.children) fresh->children.push_back(child->frozen);
    node.frozen = std::move(fresh);
}

void copyFields(Node& node, const std::shared_ptr<const FrozenNode>& frozen) {
    node.text = frozen->text;
    node.id = frozen->id;
    node.x = frozen->x;
    node.y = frozen->y;
    node.width = frozen->width;
    node.height = frozen->height;
    node.fillColor = frozen->fillColor;
    node.textColor = frozen->textColor;
    node.collapsed = frozen->collapsed;
    node.frozen = frozen;
}

// A node's children taken out of it, owned until a recorded child takes one back by identity.
class FormerChildren {
  public:
    explicit FormerChildren(Node& node) {
        nodes.reserve(node.children.size());  // the only step that may fail, before any change
        for (Node* child : node.children) {
            child->parent = nullptr;
            nodes.emplace_back(child);
        }
        node.children.clear();
    }

    // The child with identity id, if there is one. A list that kept its order finds each at
    // the cursor; the first miss indexes the list, so no list costs more than linear time.
    std::unique_ptr<Node> take(std::uint64_t id) {
        if (cursor < nodes.size() && nodes[cursor] != nullptr && nodes[cursor]->id == id) {
            return std::move(nodes[cursor++]);
        }
        if (nodes.empty()) return nullptr;
        if (!indexed) {
            for (std::size_t i = 0; i < nodes.size(); ++i) {
                if (nodes[i] != nullptr) where.emplace(nodes[i]->id, i);
            }
            indexed = true;
        }
        const auto it = where.find(id);
        if (it == where.end() || nodes[it->second] == nullptr) return nullptr;
        cursor = it->second + 1;
        return std::move(nodes[it->second]);
    }

  private:
    std::vector<std::unique_ptr<Node>> nodes;  // those not taken are freed with the list
    std::size_t cursor = 0;
    bool indexed = false;
    std::unordered_map<std::uint64_t, std::size_t> where;
};

// A parent whose children are to become `wanted`, with the children it had.
struct Rebuild {
    Node* parent;
    const FrozenChildren* wanted;
    FormerChildren former;  // freed unless a wanted child takes them
};
}  // namespace

std::shared_ptr<FrozenNode> freezeFields(const Node& node) {
    auto fresh = std::make_shared<FrozenNode>();
    fresh->text = node.text;
    fresh->id = node.id;
    fresh->x = node.x;
    fresh->y = node.y;
    fresh->width = node.width;
    fresh->height = node.height;
    fresh->fillColor = node.fillColor;
    fresh->textColor = node.textColor;
    fresh->collapsed = node.collapsed;
    return fresh;
}

FrozenChildren freezeChildren(Node& top) {
    // Post-order: a node is looked at once all its children have their copies.
    std::vector<std::pair<Node*, std::size_t>> path{{&top, 0}};
    while (!path.empty()) {
        Node* node = path.back().first;
        const std::size_t next = path.back().second++;
        if (next < node->children.size()) {
            path.emplace_back(node->children[next], 0);
            continue;
        }
        path.pop_back();
        if (node != &top) refreeze(*node);
    }
    FrozenChildren copies;
    copies.reserve(top.children.size());
    for (const Node* child : top.children) copies.push_back(child->frozen);
    return copies;
}

FrozenChildren replaceChildren(Node& node, const FrozenChildren& wanted) {
    // Freezing first also brings every present node's copy up to date, so a copy equal to a
    // wanted one proves the subtree is exactly as recorded.
    FrozenChildren present = freezeChildren(node);
    std::vector<Rebuild> pending;
    pending.push_back(Rebuild{&node, &wanted, FormerChildren(node)});
    while (!pending.empty()) {
        Rebuild job = std::move(pending.back());
        pending.pop_back();
        // Reserved up front, so linking a child below cannot fail and every node is in the
        // tree or owned by a list as soon as it exists.
        job.parent->children.reserve(job.wanted->size());
        for (const std::shared_ptr<const FrozenNode>& frozen : *job.wanted) {
            std::unique_ptr<Node> kept = job.former.take(frozen->id);
            const bool whole = kept != nullptr && kept->frozen == frozen;
            Node* child = kept != nullptr ? kept.release() : new Node(std::u16string(), 0, 0);
            child->parent = job.parent;
            job.parent->children.push_back(child);
            if (whole) continue;
            copyFields(*child, frozen);
            pending.push_back(Rebuild{child, &frozen->children, FormerChildren(*child)});
        }
    }
    return present;
}
