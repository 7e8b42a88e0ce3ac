#include "app/render/map_picture.h"

#include <algorithm>
#include <vector>

#include "app/model/scene_layout.h"
#include "app/render/palette.h"
#include "app/render/scene.h"
#include "graphics/graphics.h"

namespace {

// Whether drawing the map draws a connector: from then on the editor's lines are 2 pixels
// wide, and a picture shows them as the editor does after its first frame.
bool drawsConnector(const Node& root) {
    return !root.collapsed && !root.children.empty();
}

}  // namespace

PictureArea mapPictureArea(const MindMap& map) {
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t right = 0;
    std::int64_t bottom = 0;
    bool first = true;
    const auto include = [&](std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
        const std::int64_t l = std::min(x1, x2);
        const std::int64_t t = std::min(y1, y2);
        const std::int64_t r = std::max(x1, x2);
        const std::int64_t b = std::max(y1, y2);
        left = first ? l : std::min(left, l);
        top = first ? t : std::min(top, t);
        right = first ? r : std::max(right, r);
        bottom = first ? b : std::max(bottom, b);
        first = false;
    };
    std::vector<const Node*> pending;
    if (map.root != nullptr) pending.push_back(map.root);
    while (!pending.empty()) {
        const Node* n = pending.back();
        pending.pop_back();
        include(n->x, n->y, std::int64_t{n->x} + n->width, std::int64_t{n->y} + n->height);
        if (!n->children.empty()) {
            const WideRect marker = collapseMarkerBox(n->x, n->y, n->width);
            include(marker.left, marker.top, marker.right, marker.bottom);
        }
        if (!n->collapsed) pending.insert(pending.end(), n->children.begin(), n->children.end());
    }
    return {left - kPictureMargin, top - kPictureMargin, right - left + 1 + 2 * kPictureMargin,
            bottom - top + 1 + 2 * kPictureMargin};
}

void drawMapPicture(const MindMap& map, const PictureArea& area) {
    Gfx::setBackgroundColor(palette::kBackground);
    Gfx::clearDevice();
    if (map.root == nullptr) return;
    Gfx::setLineStyle(PS_SOLID, drawsConnector(*map.root) ? 2 : 1, nullptr, 0);
    drawNodeTree(map.root, NodeTreeView{.offsetX = -area.left,
                                        .offsetY = -area.top,
                                        .highlighted = nullptr,
                                        .deviceWidth = area.width,
                                        .deviceHeight = area.height});
}
