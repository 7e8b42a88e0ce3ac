// Self-timed drawFrame benchmark that builds for Linux (the stand-in) and for Windows (GDI,
// or Wine's): Google Benchmark has no MinGW-w64 build here. For each map size it prints the
// median time of one frame, drawn into an off-screen 1380 x 750 image (the window's back
// buffer) and, with "window" as an argument, on the window with the copy to the screen: first
// on the benchmarks' older maps (N=), then on maps as people make them (R=: every caption
// different, nodes spread over and beyond the window).
// bench/wine/compare_frame.sh runs both builds side by side.
// Usage: frame_timing [off|window] [frames]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/ui/text_style.h"
#include "bench/render/bench_map.h"
#include "graphics/graphics.h"
#include "graphics/image.h"

namespace {

constexpr int kSizes[] = {50, 200, 1000, 5000};
constexpr int kRealisticSizes[] = {200, 1000, 5000};
constexpr double kBudgetMs = 1500.0;  // per size, after the minimum number of frames

double medianFrameMs(MindMap& map, int minFrames) {
    for (int i = 0; i < 3; ++i) map.drawFrame();  // warm caches, as a running editor has
    std::vector<double> times;
    double total = 0.0;
    while (static_cast<int>(times.size()) < minFrames || (total < kBudgetMs && times.size() < 1000)) {
        const auto start = std::chrono::steady_clock::now();
        map.drawFrame();
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        times.push_back(ms);
        total += ms;
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const bool onWindow = argc > 1 && std::strcmp(argv[1], "window") == 0;
    int frames = argc > 2 ? std::atoi(argv[2]) : 20;
    if (frames < 1) frames = 1;

    Gfx::IMAGE image(1380, 750);
    if (onWindow) {
        if (Gfx::openGraphWindow(1380, 750, 1) == nullptr) {
            std::fprintf(stderr, "frame_timing: the window could not be opened\n");
            return 1;
        }
        Gfx::setBackgroundColor(0xFFFFFF);
    } else {
        Gfx::setWorkingImage(&image);
    }
    applyEditorTextStyle();
    for (int nodes : kSizes) {
        auto map = buildBenchMap(nodes);
        std::printf("N=%d median_ms=%.3f\n", nodes, medianFrameMs(*map, frames));
        std::fflush(stdout);
    }
    for (int nodes : kRealisticSizes) {
        auto map = buildRealisticMap(nodes);
        std::printf("R=%d median_ms=%.3f\n", nodes, medianFrameMs(*map, frames));
        std::fflush(stdout);
    }
    if (onWindow) {
        Gfx::closeGraphWindow();
    } else {
        Gfx::setWorkingImage(nullptr);
    }
    return 0;
}
