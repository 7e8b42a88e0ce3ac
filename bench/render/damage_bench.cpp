// One pass of the editor's loop after one small change, on 5,000-node maps (the old one: every
// caption the same, all on screen; the realistic one: every caption different, spread beyond
// every edge), with partial frames (argument 1) and with whole frames as before (0). Each pass
// includes summing up what the frame shows and working out its damage. Off-screen: the copy to
// the window is not included.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/model/mind_map.h"
#include "app/model/scene_layout.h"
#include "app/ui/event_loop.h"
#include "app/ui/text_style.h"
#include "bench/render/bench_map.h"
#include "graphics/graphics.h"
#include "graphics/image.h"

namespace {

using MapBuilder = std::unique_ptr<MindMap> (*)(int nodeCount);
using Change = void (*)(MindMap& map, bool odd);

bool noControl() {
    return false;
}

void passAfter(benchmark::State& state, MapBuilder build, Change change) {
    Gfx::IMAGE image(kWindowWidth, kWindowHeight);
    Gfx::setWorkingImage(&image);
    applyEditorTextStyle();
    auto map = build(5000);
    {
        EventLoop loop(*map, noControl);
        loop.setPartialFrames(state.range(0) != 0);
        // Settle: the first frames start from the device's defaults.
        for (int i = 0; i < 4; ++i) {
            change(*map, i % 2 != 0);
            loop.runPass();
        }
        const auto framesBefore = loop.framesDrawn();
        const auto partsBefore = loop.partialFramesDrawn();
        bool odd = false;
        for (auto _ : state) {
            odd = !odd;
            change(*map, odd);
            loop.runPass();
        }
        state.counters["frames"] = static_cast<double>(loop.framesDrawn() - framesBefore);
        state.counters["partial"] = static_cast<double>(loop.partialFramesDrawn() - partsBefore);
    }
    map.reset();
    Gfx::setWorkingImage(nullptr);
}

// The path dialog's caret appears or disappears.
void caretBlink(MindMap& map, bool odd) {
    if (!map.showFileDialog) map.showSaveDialog();
    map.pathCaretCounter = odd ? 13 : 28;
}

// The selected node's text colour, as keys 4 and 5 set it.
void recolour(MindMap& map, bool odd) {
    map.setNodeTextColor(odd ? 0xFFFFFF : 0x000000);
}

// The pointer moves from one panel button to the next.
void hover(MindMap& map, bool odd) {
    map.updateButtonHover(100, map.buttons[odd ? 3 : 4].rect.top + 5);
}

// A leaf (the last one shown) is dragged back and forth.
void drag(MindMap& map, bool odd) {
    if (!map.isDragging) {
        Node* leaf = map.root;
        while (!leaf->children.empty() && !leaf->collapsed) leaf = leaf->children.back();
        map.selectedNode = leaf;
        map.startDrag(leaf->x + 5, leaf->y + 5);
    }
    Node* n = map.selectedNode;
    map.dragTo(n->x + 5 + (odd ? 7 : -7), n->y + 5 + (odd ? 3 : -3));
}

void caretOld(benchmark::State& s) {
    passAfter(s, buildBenchMap, caretBlink);
}
void caretRealistic(benchmark::State& s) {
    passAfter(s, buildRealisticMap, caretBlink);
}
void recolourOld(benchmark::State& s) {
    passAfter(s, buildBenchMap, recolour);
}
void recolourRealistic(benchmark::State& s) {
    passAfter(s, buildRealisticMap, recolour);
}
void hoverOld(benchmark::State& s) {
    passAfter(s, buildBenchMap, hover);
}
void hoverRealistic(benchmark::State& s) {
    passAfter(s, buildRealisticMap, hover);
}
void dragOld(benchmark::State& s) {
    passAfter(s, buildBenchMap, drag);
}
void dragRealistic(benchmark::State& s) {
    passAfter(s, buildRealisticMap, drag);
}

}  // namespace

BENCHMARK(caretOld)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(caretRealistic)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(recolourOld)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(recolourRealistic)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(hoverOld)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(hoverRealistic)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(dragOld)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(dragRealistic)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
