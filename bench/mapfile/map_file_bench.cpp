// Saving and opening a 100,000-node map (about 6 MB), through real files and in memory.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "app/mapformat/map_file_format.h"
#include "bench/model/large_map.h"
#include "unicode/utf.h"

namespace {
constexpr int kNodes = 100000;

std::u16string benchPath() {
    const auto path =
        std::filesystem::temp_directory_path() / ("mindmap-bench-" + std::to_string(::getpid()) + ".mind");
    return unicode::fromUtf8(path.string());
}

void BM_SaveToFile(benchmark::State& state) {
    MindMap map;
    buildLargeMap(map, kNodes);
    const std::u16string path = benchPath();
    for (auto _ : state) {
        if (!map.saveToFile(path)) state.SkipWithError("save failed");
    }
    state.counters["bytes"] = static_cast<double>(map.saveToBytes().size());
    std::remove(unicode::toUtf8(path).c_str());
}
BENCHMARK(BM_SaveToFile)->Unit(benchmark::kMillisecond);

void BM_LoadFromFile(benchmark::State& state) {
    MindMap source;
    buildLargeMap(source, kNodes);
    const std::u16string path = benchPath();
    source.saveToFile(path);
    MindMap map;
    for (auto _ : state) {
        if (!map.loadFromFile(path)) state.SkipWithError("load failed");
    }
    std::remove(unicode::toUtf8(path).c_str());
}
BENCHMARK(BM_LoadFromFile)->Unit(benchmark::kMillisecond);

void BM_WriteInMemory(benchmark::State& state) {
    MindMap map;
    buildLargeMap(map, kNodes);
    for (auto _ : state) benchmark::DoNotOptimize(writeMapFile(*map.root));
}
BENCHMARK(BM_WriteInMemory)->Unit(benchmark::kMillisecond);

void BM_ReadInMemory(benchmark::State& state) {
    MindMap map;
    buildLargeMap(map, kNodes);
    const std::string bytes = map.saveToBytes();
    for (auto _ : state) benchmark::DoNotOptimize(readMapFile(bytes));
}
BENCHMARK(BM_ReadInMemory)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
