// Copy and paste of a 100,000-node branch: both clipboard forms written, and a paste from
// each (read, placed, recorded), with the undo that takes it away again.
#include <benchmark/benchmark.h>

#include "app/ui/clipboard_branch.h"
#include "bench/model/large_map.h"

namespace {
constexpr int kNodes = 100000;

void BM_CopyBothForms(benchmark::State& state) {
    MindMap map;
    buildLargeMap(map, kNodes);
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string lines = branchMapLines(*map.root);
        const std::u16string text = branchOutlineText(*map.root);
        bytes = lines.size() + 2 * text.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["clipboard_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_CopyBothForms)->Unit(benchmark::kMillisecond);

void BM_PasteMapLinesAndUndo(benchmark::State& state) {
    MindMap source;
    buildLargeMap(source, kNodes);
    const std::string lines = branchMapLines(*source.root);
    MindMap map;
    for (auto _ : state) {
        map.selectedNode = map.root;
        map.pasteBranch(branchFromMapLines(lines));
        map.undo();
    }
}
BENCHMARK(BM_PasteMapLinesAndUndo)->Unit(benchmark::kMillisecond);

void BM_PasteTextOutlineAndUndo(benchmark::State& state) {
    MindMap source;
    buildLargeMap(source, kNodes);
    const std::u16string text = branchOutlineText(*source.root);
    MindMap map;
    std::string error;
    for (auto _ : state) {
        map.selectedNode = map.root;
        map.pasteBranch(branchFromText(text, error));
        map.undo();
    }
}
BENCHMARK(BM_PasteTextOutlineAndUndo)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
