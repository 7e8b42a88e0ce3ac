#include "bench/render/bench_map.h"

#include <cstdint>
#include <vector>

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
        const int x = 230 + static_cast<int>(random.next(1380 - 230 - 150));
        const int y = 10 + static_cast<int>(random.next(730 - 10 - 50));
        map->startDrag(child->x, child->y);
        map->dragTo(x, y);
        map->endDrag();
        nodes.push_back(child);
    }
    map->selectNodeAt(nodes.back()->x + 1, nodes.back()->y + 1);
    return map;
}
