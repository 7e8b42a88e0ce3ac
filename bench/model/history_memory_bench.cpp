// What one "add child" with the root selected costs the history, in time and in bytes, on maps
// of 1,000 and 5,000 nodes. Bytes are counted by this program's own operator new and delete:
// every allocation carries a small header holding its size.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "bench/model/large_map.h"

namespace {
std::int64_t liveBytes = 0;

// Keeps every block aligned as operator new must.
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* countedAlloc(std::size_t size) {
    void* block = std::malloc(size + kHeader);
    if (block == nullptr) throw std::bad_alloc();
    *static_cast<std::size_t*>(block) = size;
    liveBytes += static_cast<std::int64_t>(size);
    return static_cast<char*>(block) + kHeader;
}

void countedFree(void* p) noexcept {
    if (p == nullptr) return;
    void* block = static_cast<char*>(p) - kHeader;
    liveBytes -= static_cast<std::int64_t>(*static_cast<std::size_t*>(block));
    std::free(block);
}
}  // namespace

void* operator new(std::size_t size) {
    return countedAlloc(size);
}
void* operator new[](std::size_t size) {
    return countedAlloc(size);
}
void operator delete(void* p) noexcept {
    countedFree(p);
}
void operator delete[](void* p) noexcept {
    countedFree(p);
}
void operator delete(void* p, std::size_t) noexcept {
    countedFree(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    countedFree(p);
}

namespace {
std::vector<Node*> allNodes(Node* root) {
    std::vector<Node*> nodes{root};
    for (std::size_t i = 0; i < nodes.size(); ++i)
        nodes.insert(nodes.end(), nodes[i]->children.begin(), nodes[i]->children.end());
    return nodes;
}

// Takes the child the command added away again without the history, so every round records
// the same map.
void dropAddedChild(MindMap& map) {
    Node* added = map.selectedNode;
    added->parent->children.pop_back();
    map.selectedNode = map.root;
    delete added;
}

void buildMap(MindMap& map, int nodeCount, bool personsShape) {
    if (personsShape) {
        buildPersonsMap(map, nodeCount);
    } else {
        buildLargeMap(map, nodeCount);
    }
}

// Add child with the root selected. Arguments: the map's size; whether one node of the map
// (anywhere) is renamed before each recording, as a user's edit between two commands would be;
// the map's shape (1: buildPersonsMap, 0: buildLargeMap's few deep branches). The first
// recording (no earlier one to share with) is reported apart from the rounds.
void BM_AddChildAtRoot(benchmark::State& state) {
    const int nodeCount = static_cast<int>(state.range(0));
    const bool editBetween = state.range(1) != 0;
    MindMap map;
    buildMap(map, nodeCount, state.range(2) != 0);
    const std::vector<Node*> nodes = allNodes(map.root);
    std::mt19937 rng(7);

    map.selectedNode = map.root;
    std::int64_t before = liveBytes;
    map.addChildNode();
    dropAddedChild(map);  // the added node itself is the map's, not the history's
    const std::int64_t firstBytes = liveBytes - before;
    std::int64_t historyBytes = 0;
    int renamed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // Only the previous entry stays: what the new one shares with it, or copies anew
        // beside it, is what one more entry costs, and the history stays small.
        while (map.undoStack.size() > 1) map.undoStack.pop_front();
        if (editBetween)
            nodes[1 + rng() % (nodes.size() - 1)]->text =
                u"改名后的一个标题 " + std::u16string(1, u'a' + renamed++ % 26);
        map.selectedNode = map.root;
        before = liveBytes;
        state.ResumeTiming();
        map.addChildNode();
        state.PauseTiming();
        dropAddedChild(map);
        historyBytes += liveBytes - before;
        state.ResumeTiming();
    }
    state.counters["nodes"] = static_cast<double>(nodes.size());
    state.counters["root_children"] = static_cast<double>(map.root->children.size());
    state.counters["first_record_B"] = static_cast<double>(firstBytes);
    state.counters["history_B_per_record"] =
        benchmark::Counter(static_cast<double>(historyBytes), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_AddChildAtRoot)
    ->ArgNames({"nodes", "edit", "persons"})
    ->Args({1000, 0, 1})
    ->Args({1000, 1, 1})
    ->Args({5000, 0, 1})
    ->Args({5000, 1, 1})
    ->Args({1000, 1, 0})
    ->Args({5000, 1, 0})
    ->Args({100000, 1, 0})
    ->Unit(benchmark::kMicrosecond);

// Undo and redo of that recording on a person's map: what taking it back and forth costs.
void BM_UndoRedoAddChildAtRoot(benchmark::State& state) {
    MindMap map;
    buildPersonsMap(map, static_cast<int>(state.range(0)));
    map.selectedNode = map.root;
    map.addChildNode();
    for (auto _ : state) {
        map.undo();
        map.redo();
    }
}
BENCHMARK(BM_UndoRedoAddChildAtRoot)->Arg(1000)->Arg(5000)->Arg(100000)->Unit(benchmark::kMicrosecond);
}  // namespace

BENCHMARK_MAIN();
