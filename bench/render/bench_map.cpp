#include "bench/render/bench_map.h"

#include <cstdint>
#include <vector>

#include "app/model/scene_layout.h"

namespace {

// A small deterministic generator: the same map in every run.
class Lcg {
  public:
    std::uint32_t next(std::uint32_t bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    }

  private:
    std::uint32_t state = 12345u;
};

}  // namespace

std::unique_ptr<MindMap> buildBenchMap(int nodeCount) {
    auto map = std::make_unique<MindMap>();
    std::vector<Node*> nodes{map->root};
    Lcg random;
    while (static_cast<int>(nodes.size()) < nodeCount) {
        Node* parent = nodes[random.next(static_cast<std::uint32_t>(nodes.size()))];
        map->selectNodeAt(parent->x + 2, parent->y + 40);
        if (map->selectedNode != parent) map->selectedNode = parent;  // covered by a later box
        map->addChildNode();
        Node* child = map->selectedNode;
        // Somewhere on the canvas, 10 pixels clear of the panel and the top, not under the
        // status bar (the 20 rows at the bottom).
        const int left = kPanelWidth + 10;
        const int bottom = kWindowHeight - 20;
        const int x =
            left + static_cast<int>(random.next(static_cast<std::uint32_t>(kWindowWidth - left - 150)));
        const int y = 10 + static_cast<int>(random.next(static_cast<std::uint32_t>(bottom - 10 - 50)));
        map->startDrag(child->x, child->y);
        map->dragTo(x, y);
        map->endDrag();
        nodes.push_back(child);
    }
    map->selectNodeAt(nodes.back()->x + 1, nodes.back()->y + 1);
    return map;
}
