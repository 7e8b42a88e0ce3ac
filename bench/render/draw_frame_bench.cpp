// drawFrame on maps of 50 to 5,000 nodes built with the editor's own commands: select a node
// by clicking it, add a child, drag the child to a free-looking spot. Drawn into an off-screen
// image of the window's size (what the window's back buffer is), and, when an X display is at hand, on
// the window itself with the copy to the screen included.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/model/mind_map.h"
#include "app/model/scene_layout.h"
#include "app/render/palette.h"
#include "app/ui/text_style.h"
#include "bench/render/bench_map.h"
#include "graphics/graphics.h"
#include "graphics/image.h"

namespace {

void drawOffScreen(benchmark::State& state) {
    Gfx::IMAGE image(kWindowWidth, kWindowHeight);
    Gfx::setWorkingImage(&image);
    applyEditorTextStyle();
    auto map = buildBenchMap(static_cast<int>(state.range(0)));
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
    if (Gfx::openGraphWindow(kWindowWidth, kWindowHeight, 1) == nullptr) {
        state.SkipWithError("the window could not be opened");
        for (auto _ : state) {
        }
        return;
    }
    Gfx::setBackgroundColor(palette::kBackground);
    applyEditorTextStyle();
    auto map = buildBenchMap(static_cast<int>(state.range(0)));
    for (auto _ : state) map->drawFrame();
    map.reset();
    Gfx::closeGraphWindow();
}

BENCHMARK(drawOffScreen)->Arg(50)->Arg(200)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(drawOnWindow)->Arg(50)->Arg(200)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
