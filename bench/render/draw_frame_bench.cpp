// drawFrame on two kinds of map. The old ones (50 to 5,000 nodes built with the editor's own
// commands, every caption the same, all on screen) keep earlier figures comparable; the
// realistic ones (200 to 5,000 nodes, every caption different, a share beyond every edge) are
// what people draw. Each is drawn into an off-screen image of the window's size (what the
// window's back buffer is), and, when an X display is at hand, on the window itself with the
// copy to the screen included. The open benchmarks time loading a saved realistic map and its
// first complete frame on the window, as after the open dialog's OK.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/model/mind_map.h"
#include "app/model/scene_layout.h"
#include "app/render/palette.h"
#include "app/ui/text_style.h"
#include "bench/render/bench_map.h"
#include "graphics/graphics.h"
#include "graphics/image.h"

namespace {

using MapBuilder = std::unique_ptr<MindMap> (*)(int nodeCount);

// How many nodes a frame draws (collapsed subtrees are not drawn) and how many of those touch
// the window.
void countDrawn(benchmark::State& state, const MindMap& map) {
    int drawn = 0, onScreen = 0;
    std::vector<const Node*> pending{map.root};
    while (!pending.empty()) {
        const Node* n = pending.back();
        pending.pop_back();
        ++drawn;
        if (n->x < kWindowWidth && n->x + n->width > 0 && n->y < kWindowHeight && n->y + n->height > 0)
            ++onScreen;
        if (!n->collapsed) pending.insert(pending.end(), n->children.begin(), n->children.end());
    }
    state.counters["drawn"] = drawn;
    state.counters["onScreen"] = onScreen;
}

void drawOffScreen(benchmark::State& state, MapBuilder build) {
    Gfx::IMAGE image(kWindowWidth, kWindowHeight);
    Gfx::setWorkingImage(&image);
    applyEditorTextStyle();
    auto map = build(static_cast<int>(state.range(0)));
    for (auto _ : state) map->drawFrame();
    countDrawn(state, *map);
    map.reset();
    Gfx::setWorkingImage(nullptr);
}

bool openWindow(benchmark::State& state) {
    const char* display = std::getenv("DISPLAY");
    const char* problem = nullptr;
    if (display == nullptr || *display == '\0')
        problem = "no X display";
    else if (Gfx::openGraphWindow(kWindowWidth, kWindowHeight, 1) == nullptr)
        problem = "the window could not be opened";
    if (problem == nullptr) {
        Gfx::setBackgroundColor(palette::kBackground);
        applyEditorTextStyle();
        return true;
    }
    state.SkipWithError(problem);
    for (auto _ : state) {
    }
    return false;
}

void drawOnWindow(benchmark::State& state, MapBuilder build) {
    if (!openWindow(state)) return;
    auto map = build(static_cast<int>(state.range(0)));
    for (auto _ : state) map->drawFrame();
    map.reset();
    Gfx::closeGraphWindow();
}

// From the open dialog's OK to the drawn map: the file is read, parsed and drawn on the window
// with a text cache that has never seen its captions (each iteration opens a map of its own).
void openToFirstFrame(benchmark::State& state) {
    if (!openWindow(state)) return;
    const int nodeCount = static_cast<int>(state.range(0));
    std::vector<std::u16string> paths;
    const auto folder = std::filesystem::temp_directory_path();
    MindMap editor;
    int iteration = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // Different captions every time: a second open of the same map would find its text cached.
        auto saved = buildRealisticMap(nodeCount + (iteration % 64));
        const auto path = folder / ("mm_open_bench_" + std::to_string(iteration++) + ".mind");
        paths.push_back(path.u16string());
        if (!saved->saveToFile(paths.back())) state.SkipWithError("the map could not be saved");
        state.ResumeTiming();
        editor.loadFromFile(paths.back());
        editor.drawFrame();
    }
    for (const auto& path : paths) std::filesystem::remove(std::filesystem::path(path));
    Gfx::closeGraphWindow();
}

// A map moved wholly beyond the window's right edge, root and all.
std::unique_ptr<MindMap> buildMapBeyondWindow(int nodeCount) {
    auto map = buildRealisticMap(nodeCount);
    std::vector<Node*> pending{map->root};
    while (!pending.empty()) {
        Node* n = pending.back();
        pending.pop_back();
        n->x += 4 * kWindowWidth;
        pending.insert(pending.end(), n->children.begin(), n->children.end());
    }
    return map;
}

// What a node entirely outside the window costs a frame: the frame of a map whose nodes all lie
// beyond the window, less the frame of one whose only node does, per node.
void nodesBeyondWindow(benchmark::State& state) {
    Gfx::IMAGE image(kWindowWidth, kWindowHeight);
    Gfx::setWorkingImage(&image);
    applyEditorTextStyle();
    const int nodeCount = static_cast<int>(state.range(0));
    auto lone = buildMapBeyondWindow(1);
    auto map = buildMapBeyondWindow(nodeCount);
    using Clock = std::chrono::steady_clock;
    constexpr int kBaselineFrames = 200;
    map->drawFrame();  // the captions' measures cached, as in any frame after the first
    const auto start = Clock::now();
    for (int i = 0; i < kBaselineFrames; ++i) lone->drawFrame();
    const double baseline =
        std::chrono::duration<double, std::nano>(Clock::now() - start).count() / kBaselineFrames;
    double total = 0;
    for (auto _ : state) {
        const auto frameStart = Clock::now();
        map->drawFrame();
        total += std::chrono::duration<double, std::nano>(Clock::now() - frameStart).count();
    }
    countDrawn(state, *map);
    const double perFrame = total / static_cast<double>(state.iterations());
    state.counters["nsPerNode"] = (perFrame - baseline) / state.counters["drawn"];
    map.reset();
    lone.reset();
    Gfx::setWorkingImage(nullptr);
}

void oldOffScreen(benchmark::State& state) {
    drawOffScreen(state, buildBenchMap);
}
void oldOnWindow(benchmark::State& state) {
    drawOnWindow(state, buildBenchMap);
}
void realisticOffScreen(benchmark::State& state) {
    drawOffScreen(state, buildRealisticMap);
}
void realisticOnWindow(benchmark::State& state) {
    drawOnWindow(state, buildRealisticMap);
}

// The old names, so that earlier figures stay comparable.
BENCHMARK(oldOffScreen)
    ->Name("drawOffScreen")
    ->Arg(50)
    ->Arg(200)
    ->Arg(1000)
    ->Arg(5000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(oldOnWindow)
    ->Name("drawOnWindow")
    ->Arg(50)
    ->Arg(200)
    ->Arg(1000)
    ->Arg(5000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(realisticOffScreen)->Arg(200)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(realisticOnWindow)->Arg(200)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(nodesBeyondWindow)->Arg(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(openToFirstFrame)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(8);

}  // namespace

BENCHMARK_MAIN();
