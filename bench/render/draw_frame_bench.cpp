// drawFrame on maps of 50 to 5,000 nodes built with the editor's own commands: select a node
// by clicking it, add a child, drag the child to a free-looking spot. Drawn into an off-screen
// 1380 x 750 image (what the window's back buffer is), and, when an X display is at hand, on
// the window itself with the copy to the screen included.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/model/mind_map.h"
#include "app/ui/text_style.h"
#include "graphics/graphics.h"
#include "graphics/image.h"

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

std::unique_ptr<MindMap> buildMap(int nodeCount) {
    auto map = std::make_unique<MindMap>();
    std::vector<Node*> nodes{map->root};
    Lcg random;
    while (static_cast<int>(nodes.size()) < nodeCount) {
        Node* parent = nodes[random.next(static_cast<std::uint32_t>(nodes.size()))];
        // Click the parent's box, then the editor's right-click command adds under it.
        map->selectNodeAt(parent->x + 2, parent->y + 40);
        if (map->selectedNode != parent) map->selectedNode = parent;  // covered by a later box
        map->addChildNode();
        Node* child = map->selectedNode;
        // Drag it by its top-left corner to somewhere on the canvas.
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

void drawOffScreen(benchmark::State& state) {
    Gfx::IMAGE image(1380, 750);
    Gfx::setWorkingImage(&image);
    applyEditorTextStyle();
    auto map = buildMap(static_cast<int>(state.range(0)));
    for (auto _ : state) map->drawFrame();
    state.counters["nodes"] = static_cast<double>(state.range(0));
    map.reset();
    Gfx::setWorkingImage(nullptr);
}

void drawOnWindow(benchmark::State& state) {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        state.SkipWithError("no X display");
        for (auto _ : state) {
        }
        return;
    }
    if (Gfx::openGraphWindow(1380, 750, 1) == nullptr) {
        state.SkipWithError("the window could not be opened");
        for (auto _ : state) {
        }
        return;
    }
    Gfx::setBackgroundColor(0xFFFFFF);
    applyEditorTextStyle();
    auto map = buildMap(static_cast<int>(state.range(0)));
    for (auto _ : state) map->drawFrame();
    map.reset();
    Gfx::closeGraphWindow();
}

BENCHMARK(drawOffScreen)->Arg(50)->Arg(200)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(drawOnWindow)->Arg(50)->Arg(200)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
