#include "app/outline/import_layout.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include "app/model/node_width.h"
#include "app/model/scene_layout.h"
#include "app/outline/import_tree_builder.h"

namespace {

// A child's centre relative to its parent's is kept in the child's x until the final pass; the
// widest possible row of an import fits it.
static_assert(static_cast<std::int64_t>(kMaxImportNodes) * (kMaxNodeWidth + kImportSiblingGap) <
              std::numeric_limits<std::int32_t>::max());

// The left and right edges of a subtree's shown boxes, level by level (level 0 is its top node),
// relative to the centre of its top node. Kept deepest level first, so that a parent adds its
// own level at the back, and with one offset for all, so that shifting a contour is free.
class Contour {
  public:
    Contour(std::int64_t left, std::int64_t right) : left_{left}, right_{right} {}

    std::size_t levels() const { return left_.size(); }
    std::int64_t left(std::size_t level) const { return left_[index(level)] + offset_; }
    std::int64_t right(std::size_t level) const { return right_[index(level)] + offset_; }
    void setLeft(std::size_t level, std::int64_t value) { left_[index(level)] = value - offset_; }
    void setRight(std::size_t level, std::int64_t value) { right_[index(level)] = value - offset_; }
    void shift(std::int64_t by) { offset_ += by; }
    void addTopLevel(std::int64_t left, std::int64_t right) {
        left_.push_back(left - offset_);
        right_.push_back(right - offset_);
    }
    std::int64_t leftmost() const { return *std::min_element(left_.begin(), left_.end()) + offset_; }

  private:
    std::size_t index(std::size_t level) const { return left_.size() - 1 - level; }

    std::vector<std::int64_t> left_;
    std::vector<std::int64_t> right_;
    std::int64_t offset_ = 0;
};

Contour ownBox(const Node& node) {
    return Contour(-(node.width / 2), node.width - node.width / 2);
}

// How far right of the siblings placed so far the next subtree's centre must stand so that no
// level of it comes closer to them than the gap.
std::int64_t separation(const Contour& placed, const Contour& next) {
    const std::size_t shared = std::min(placed.levels(), next.levels());
    std::int64_t by = std::numeric_limits<std::int64_t>::min();
    for (std::size_t level = 0; level < shared; ++level)
        by = std::max(by, placed.right(level) - next.left(level) + kImportSiblingGap);
    return by;
}

// The contour of both, next shifted right by `by`. The deeper one is kept and the levels the
// other shares with it are overwritten, so the cost is the shallower one's depth: each join
// retires that many levels for good, and only a node's own box ever adds one, so all joins of a
// layout cost at most as many steps as the tree has nodes.
Contour join(Contour placed, Contour next, std::int64_t by) {
    next.shift(by);
    if (next.levels() > placed.levels()) {
        for (std::size_t level = 0; level < placed.levels(); ++level) next.setLeft(level, placed.left(level));
        return next;
    }
    for (std::size_t level = 0; level < next.levels(); ++level) placed.setRight(level, next.right(level));
    return placed;
}

std::int32_t clampToInt32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

// A node being laid out: its children placed so far, relative to the first one's centre.
struct Frame {
    explicit Frame(Node* n) : node(n) {}

    Node* node;
    std::size_t next = 0;
    std::optional<Contour> children;
    std::int64_t lastCentre = 0;
};

// Sets every node's width and, in its x, its centre relative to its parent's; answers the
// root's contour.
Contour placeRelatively(Node& root, const CaptionWidth& captionWidth) {
    const auto begin = [&captionWidth](Node* node) {
        if (captionWidth) node->width = fittedNodeWidth(captionWidth(node->text));
        return Frame(node);
    };
    std::vector<Frame> stack;
    stack.push_back(begin(&root));
    for (;;) {
        Frame& frame = stack.back();
        Node* node = frame.node;
        if (frame.next < node->children.size()) {
            stack.push_back(begin(node->children[frame.next++]));
            continue;
        }
        // Centred over the first and the last child.
        const std::int64_t middle = frame.lastCentre / 2;
        for (Node* child : node->children) child->x -= static_cast<std::int32_t>(middle);
        const bool showsChildren = frame.children.has_value() && !node->collapsed;
        Contour contour = showsChildren ? std::move(*frame.children) : ownBox(*node);
        if (showsChildren) {
            contour.shift(-middle);
            contour.addTopLevel(-(node->width / 2), node->width - node->width / 2);
        }
        stack.pop_back();
        if (stack.empty()) return contour;

        Frame& parent = stack.back();
        if (!parent.children) {
            node->x = 0;
            parent.children = std::move(contour);
        } else {
            const std::int64_t by = separation(*parent.children, contour);
            node->x = static_cast<std::int32_t>(by);
            parent.lastCentre = by;
            parent.children = join(std::move(*parent.children), std::move(contour), by);
        }
    }
}

}  // namespace

void layoutImportedTree(Node& root, const CaptionWidth& captionWidth) {
    const Contour shown = placeRelatively(root, captionWidth);
    // Centres become boxes, top down; the leftmost shown box goes to the canvas's margin.
    std::vector<std::pair<Node*, std::int64_t>> pending{
        {&root, kPanelWidth + kImportCanvasMargin - shown.leftmost()}};
    root.y = kImportCanvasMargin;
    while (!pending.empty()) {
        const auto [node, centre] = pending.back();
        pending.pop_back();
        node->x = clampToInt32(centre - node->width / 2);
        const std::int32_t childTop = clampToInt32(std::int64_t{node->y} + node->height + kImportLevelGap);
        for (Node* child : node->children) {
            pending.emplace_back(child, centre + child->x);
            child->y = childTop;
        }
    }
}
