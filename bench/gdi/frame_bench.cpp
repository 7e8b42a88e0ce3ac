// Times the editor's frame at several node counts on a 1380 x 750 DIB section and prints the
// median frame time. Builds on Linux (the stand-in) and with MinGW-w64 (Windows GDI, or
// Wine's); bench/gdi/compare_wine.sh runs both side by side.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "frame_scene.h"
#include "pixel_dc.h"

namespace {

double medianFrameMs(int nodes, int frames, HDC dc, std::uint32_t* pixels) {
    frame_bench::Scene scene(nodes, dc, pixels);
    for (int i = 0; i < 3; ++i) scene.drawFrame();  // warm the caches, as a running editor has
    std::vector<double> times;
    for (int i = 0; i < frames; ++i) {
        auto start = std::chrono::steady_clock::now();
        scene.drawFrame();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    int frames = argc > 1 ? std::atoi(argv[1]) : 40;
    if (frames < 1) frames = 1;
    frame_bench::PixelDC frame(frame_bench::kWidth, frame_bench::kHeight);
    if (!frame.ok()) {
        std::fprintf(stderr, "cannot create the frame's DIB section\n");
        return 1;
    }
    HDC dc = frame.dc;
    void* bits = frame.pixels;
    for (int nodes : {200, 1000}) {
        double ms = medianFrameMs(nodes, frames, dc, static_cast<std::uint32_t*>(bits));
        std::printf("N=%d median_ms=%.3f\n", nodes, ms);
        std::fflush(stdout);
    }
    if (argc > 2) {
        // Optional: write the last frame (N = 1000) as a binary PPM for a visual check.
        if (FILE* f = std::fopen(argv[2], "wb")) {
            std::fprintf(f, "P6 %d %d 255\n", frame_bench::kWidth, frame_bench::kHeight);
            auto* p = static_cast<std::uint32_t*>(bits);
            for (int i = 0; i < frame_bench::kWidth * frame_bench::kHeight; ++i) {
                unsigned char rgb[3] = {static_cast<unsigned char>(p[i] >> 16),
                                        static_cast<unsigned char>(p[i] >> 8),
                                        static_cast<unsigned char>(p[i])};
                std::fwrite(rgb, 1, 3, f);
            }
            std::fclose(f);
        }
    }
    return 0;
}
