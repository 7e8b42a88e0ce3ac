// `mindmap export` of a 5,000-node map to each format, end to end: reading the map file,
// drawing or writing, and replacing the output file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "app/model/mind_map.h"
#include "app/ui/command_line.h"
#include "app/ui/export_command.h"

namespace {

namespace fs = std::filesystem;

constexpr int kNodes = 5000;

// Every caption different, of a few words; the nodes spread over the window and well beyond
// it on every side, some branches deep, most shallow.
void buildSpreadMap(MindMap& map) {
    std::mt19937 random(7);
    std::vector<Node*> nodes{map.root};
    const char16_t* words[] = {u"计划", u"review", u"设计", u"budget", u"测试", u"notes", u"发布", u"ideas"};
    while (static_cast<int>(nodes.size()) < kNodes) {
        const std::size_t n = nodes.size();
        Node* parent =
            random() % 3 != 0 ? nodes[n - 1 - random() % std::min<std::size_t>(n, 6)] : nodes[random() % n];
        std::u16string caption = words[random() % 8];
        caption += u' ';
        caption += words[random() % 8];
        caption += u' ';
        for (char c : std::to_string(n)) caption.push_back(static_cast<char16_t>(c));
        Node* child = new Node(caption, static_cast<int>(random() % 2760) - 690,
                               static_cast<int>(random() % 1500) - 375);
        child->fillColor = random() % 2 == 0 ? 0xB4DCB4 : 0xDCDCDC;
        child->collapsed = random() % 50 == 0;
        child->parent = parent;
        parent->children.push_back(child);
        nodes.push_back(child);
    }
}

class ExportFixture {
  public:
    ExportFixture() {
        // Appended, not "literal" + string: GCC 12 warns falsely (-Wrestrict) on the insert
        // that operator+ makes of it in optimised builds.
        std::string name = "mindmap-export-bench-";
        name += std::to_string(std::random_device()());
        dir_ = fs::temp_directory_path() / name;
        fs::create_directories(dir_);
        MindMap map;
        buildSpreadMap(map);
        input_ = (dir_ / "map.mind").u16string();
        map.saveToFile(input_);
    }
    ~ExportFixture() {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    CommandLine commandFor(const char* extension) const {
        std::string name = "out.";
        name += extension;
        return parseCommandLine({u"export", input_, (dir_ / name).u16string()});
    }

  private:
    fs::path dir_;
    std::u16string input_;
};

void exportTo(benchmark::State& state, const char* extension) {
    const ExportFixture fixture;
    const CommandLine commandLine = fixture.commandFor(extension);
    for (auto _ : state) {
        std::string error;
        if (runExport(commandLine, error) != 0) state.SkipWithError(error.c_str());
    }
    state.counters["nodes"] = kNodes;
}

void BM_ExportPng(benchmark::State& state) {
    exportTo(state, "png");
}
void BM_ExportSvg(benchmark::State& state) {
    exportTo(state, "svg");
}
void BM_ExportOpml(benchmark::State& state) {
    exportTo(state, "opml");
}
void BM_ExportMarkdown(benchmark::State& state) {
    exportTo(state, "md");
}
void BM_ExportText(benchmark::State& state) {
    exportTo(state, "txt");
}
void BM_ExportFreeMind(benchmark::State& state) {
    exportTo(state, "mm");
}
BENCHMARK(BM_ExportPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportSvg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportOpml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportMarkdown)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportFreeMind)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
