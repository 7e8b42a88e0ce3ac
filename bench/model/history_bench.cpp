// Recording and undoing with the root of a 100,000-node map selected.
#include <benchmark/benchmark.h>

#include "bench/model/large_map.h"

namespace {
constexpr int kNodes = 100000;

// Undo of an entry recorded with the root selected (the recording itself is not timed).
void BM_UndoRootRecording(benchmark::State& state) {
    MindMap map;
    buildLargeMap(map, kNodes);
    for (auto _ : state) {
        state.PauseTiming();
        map.selectedNode = map.root;
        map.addChildNode();
        state.ResumeTiming();
        map.undo();
    }
    state.counters["nodes"] = kNodes;
}
// The undo is so quick that the untimed recordings would dominate: a fixed number of rounds.
BENCHMARK(BM_UndoRootRecording)->Unit(benchmark::kMicrosecond)->Iterations(30);

void BM_RedoAfterUndo(benchmark::State& state) {
    MindMap map;
    buildLargeMap(map, kNodes);
    map.selectedNode = map.root;
    map.addChildNode();
    map.undo();
    for (auto _ : state) {
        map.redo();
        map.undo();
    }
}
BENCHMARK(BM_RedoAfterUndo)->Unit(benchmark::kMicrosecond);

// The recording: a deep copy of the whole map.
void BM_RecordWithRootSelected(benchmark::State& state) {
    MindMap map;
    buildLargeMap(map, kNodes);
    for (auto _ : state) {
        map.selectedNode = map.root;
        map.setNodeFillColor(0xDCDCDC);
        state.PauseTiming();
        map.undoStack.clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RecordWithRootSelected)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
