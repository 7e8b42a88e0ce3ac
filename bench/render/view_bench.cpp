// The view's costs on realistic 5,000-node maps (every caption different, spread beyond every
// edge): one wheel step and one zoom step, each with the frame that shows it, at 100 % and with
// the whole map fitted; Home with its first fitted frame; and a frame at the original view, to
// compare with drawFrame's figures from before the view existed. All off-screen.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "app/model/mind_map.h"
#include "app/ui/dispatch.h"
#include "app/ui/text_style.h"
#include "bench/render/bench_map.h"
#include "graphics/graphics.h"
#include "graphics/image.h"

namespace {

bool noKey() {
    return false;
}
bool controlKey() {
    return true;
}

Gfx::InputMessage wheel(int delta, std::uint8_t flags) {
    Gfx::InputMessage m{};
    m.kind = WM_MOUSEWHEEL;
    m.mouse.x = 800;
    m.mouse.y = 365;
    m.mouse.wheel = static_cast<std::int16_t>(delta);
    m.mouse.mouseFlags = flags;
    return m;
}

Gfx::InputMessage key(std::uint8_t code) {
    Gfx::InputMessage m{};
    m.kind = WM_KEYDOWN;
    m.key.keyCode = code;
    return m;
}

struct Scene {
    Gfx::IMAGE image{kWindowWidth, kWindowHeight};
    std::unique_ptr<MindMap> map;
    bool running = true;
    explicit Scene(int nodes) {
        Gfx::setWorkingImage(&image);
        applyEditorTextStyle();
        map = buildRealisticMap(nodes);
        spread(*map);
        map->drawFrame();
    }
    // Spread eight times as far about the canvas centre: most of the map lies beyond the window.
    static void spread(MindMap& m) {
        std::vector<Node*> pending{m.root};
        while (!pending.empty()) {
            Node* n = pending.back();
            pending.pop_back();
            n->x = 800 + (n->x - 800) * kSpread;
            n->y = 365 + (n->y - 365) * kSpread;
            pending.insert(pending.end(), n->children.begin(), n->children.end());
        }
    }
    static constexpr int kSpread = 8;
    ~Scene() {
        map.reset();
        Gfx::setWorkingImage(nullptr);
    }
    void send(const Gfx::InputMessage& m, bool ctrl = false) {
        dispatchInput(*map, m, running, ctrl ? controlKey : noKey, noKey);
    }
};

// One wheel step and its frame; the steps alternate, so the view stays where it began.
void BM_WheelStep(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    if (state.range(1) != 0) scene.send(key(VK_HOME));
    int direction = 120;
    for (auto _ : state) {
        scene.send(wheel(direction, 0));
        scene.map->drawFrame();
        direction = -direction;
    }
    state.counters["zoom"] = scene.map->view.zoomPercent();
}
BENCHMARK(BM_WheelStep)
    ->ArgNames({"nodes", "fitted"})
    ->Args({5000, 0})
    ->Args({5000, 1})
    ->Unit(benchmark::kMillisecond);

// One zoom step (Ctrl+wheel) and its frame, alternately in and out.
void BM_ZoomStep(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    if (state.range(1) != 0) scene.send(key(VK_HOME));
    int direction = 120;
    for (auto _ : state) {
        scene.send(wheel(direction, Gfx::kMouseCtrl));
        scene.map->drawFrame();
        direction = -direction;
    }
    state.counters["zoom"] = scene.map->view.zoomPercent();
}
BENCHMARK(BM_ZoomStep)
    ->ArgNames({"nodes", "fitted"})
    ->Args({5000, 0})
    ->Args({5000, 1})
    ->Unit(benchmark::kMillisecond);

// Home from the original view, and the first fitted frame.
void BM_HomeFirstFrame(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        scene.map->view.reset();
        scene.send(key(VK_HOME));
        scene.map->drawFrame();
    }
    state.counters["zoom"] = scene.map->view.zoomPercent();
}
BENCHMARK(BM_HomeFirstFrame)->ArgName("nodes")->Arg(5000)->Unit(benchmark::kMillisecond);

// A frame at the original view (drawn as before the view existed).
void BM_OriginalViewFrame(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    for (auto _ : state) scene.map->drawFrame();
}
BENCHMARK(BM_OriginalViewFrame)->ArgName("nodes")->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
