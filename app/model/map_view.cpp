#include "app/model/map_view.h"

#include <algorithm>
#include <limits>

#include "app/model/shown_nodes.h"

namespace {

constexpr std::int64_t kCanvasCentreX = (kCanvasRect.left + kCanvasRect.right + 1) / 2;
constexpr std::int64_t kCanvasCentreY = (kCanvasRect.top + kCanvasRect.bottom + 1) / 2;
constexpr std::int64_t kFitMargin = 20;

bool meetsCanvas(const WideRect& r) {
    return std::max(r.left, r.right) >= kCanvasRect.left && std::min(r.left, r.right) <= kCanvasRect.right &&
           std::max(r.top, r.bottom) >= kCanvasRect.top && std::min(r.top, r.bottom) <= kCanvasRect.bottom;
}

WideRect mapBox(const Node& n) {
    const std::int64_t x = n.x;
    const std::int64_t y = n.y;
    return {x, y, x + n.width, y + n.height};
}

}  // namespace

WideRect nodeWindowBox(const Node& node, const View& view) {
    return view.toWindow(mapBox(node));
}

WideRect markerWindowBox(const Node& node, const View& view) {
    return view.toWindow(collapseMarkerBox(node.x, node.y, node.width));
}

Node* findNodeAtWindow(Node* root, const View& view, std::int64_t x, std::int64_t y) {
    Node* found = nullptr;
    std::vector<Node*> pending;
    if (root != nullptr) pending.push_back(root);
    while (!pending.empty() && found == nullptr) {
        Node* n = pending.back();
        pending.pop_back();
        if (!n->children.empty() && markerWindowBox(*n, view).contains(x, y)) found = n;
        if (nodeWindowBox(*n, view).contains(x, y)) found = n;
        if (!n->collapsed) pending.insert(pending.end(), n->children.rbegin(), n->children.rend());
    }
    return found;
}

void fitShownMap(Node* root, View& view) {
    std::int64_t left = std::numeric_limits<std::int64_t>::max();
    std::int64_t top = left;
    std::int64_t right = std::numeric_limits<std::int64_t>::min();
    std::int64_t bottom = right;
    forEachShownNode(root, [&](Node* n) {
        const WideRect r = mapBox(*n);
        left = std::min({left, r.left, r.right});
        right = std::max({right, r.left, r.right});
        top = std::min({top, r.top, r.bottom});
        bottom = std::max({bottom, r.top, r.bottom});
    });
    if (left > right) return;  // no node: cannot happen, the root is always shown
    const std::int64_t roomX = kCanvasRect.right - kCanvasRect.left + 1 - 2 * kFitMargin;
    const std::int64_t roomY = kCanvasRect.bottom - kCanvasRect.top + 1 - 2 * kFitMargin;
    const std::int64_t width = std::max<std::int64_t>(right - left, 1);
    const std::int64_t height = std::max<std::int64_t>(bottom - top, 1);
    const std::int64_t zoom =
        std::min({std::int64_t{View::kOriginalZoom}, roomX * View::kOriginalZoom / width,
                  roomY * View::kOriginalZoom / height});
    view.set(static_cast<int>(std::max<std::int64_t>(zoom, View::kMinZoom)), 0, 0);
    // Spans are at most 2^33, so the halves are exact enough and far from overflow.
    const std::int64_t centreX = view.toWindowX(left + (right - left) / 2);
    const std::int64_t centreY = view.toWindowY(top + (bottom - top) / 2);
    view.panBy(kCanvasCentreX - centreX, kCanvasCentreY - centreY);
}

void showNodeWhole(const Node& node, View& view) {
    const WideRect r = nodeWindowBox(node, view);
    const auto shift = [](std::int64_t low, std::int64_t high, std::int64_t roomLow, std::int64_t roomHigh) {
        if (low < roomLow || high - low > roomHigh - roomLow) return roomLow - low;
        if (high > roomHigh) return roomHigh - high;
        return std::int64_t{0};
    };
    view.panBy(
        shift(std::min(r.left, r.right), std::max(r.left, r.right), kCanvasRect.left, kCanvasRect.right),
        shift(std::min(r.top, r.bottom), std::max(r.top, r.bottom), kCanvasRect.top, kCanvasRect.bottom));
}

bool canvasShowsAnyNode(Node* root, const View& view) {
    bool shows = false;
    forEachShownNode(root, [&](Node* n) { shows = shows || meetsCanvas(nodeWindowBox(*n, view)); });
    return shows;
}

void placeViewAfterOpen(Node* root, View& view) {
    view.reset();
    if (root == nullptr || canvasShowsAnyNode(root, view)) return;
    const std::int64_t centreX = std::int64_t{root->x} + root->width / 2;
    const std::int64_t centreY = std::int64_t{root->y} + root->height / 2;
    view.set(View::kOriginalZoom, kCanvasCentreX - centreX, kCanvasCentreY - centreY);
}
