// Importing a 5,000-node FreeMind map (distinct captions, colours, a few folds) and the same
// tree as OPML, Markdown and plain text, in memory: parsing, building and layout; and the layout
// alone on bigger trees.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

#include "app/outline/map_import.h"
#include "app/outline/outline_export.h"

namespace {
constexpr int kNodes = 5000;

// A map as people make them: a few main branches, topics below them, notes below those, every
// caption different.
std::string freeMindMap() {
    static const char* const kWords[] = {"plan",   "budget", "team",   "review", "draft", "launch", "risk",
                                         "design", "test",   "market", "会议",   "预算",  "设计",   "发布"};
    std::string xml = "<map version=\"1.0.1\">\n<node TEXT=\"Project overview\">\n";
    int written = 1;
    for (int branch = 0; written < kNodes; ++branch) {
        xml += "<node TEXT=\"Branch " + std::to_string(branch) + " " + kWords[branch % 14] +
               "\" BACKGROUND_COLOR=\"#b4dcb4\"" + (branch % 5 == 4 ? " FOLDED=\"true\"" : "") + ">\n";
        ++written;
        for (int topic = 0; topic < 12 && written < kNodes; ++topic) {
            xml += "<node TEXT=\"" + std::string(kWords[(branch + topic) % 14]) + " topic " +
                   std::to_string(branch) + "." + std::to_string(topic) +
                   " &amp; next steps\" COLOR=\"#0000ff\">\n";
            ++written;
            for (int note = 0; note < 6 && written < kNodes; ++note, ++written) {
                xml += "<node TEXT=\"note " + std::to_string(written) + ": " + kWords[(note + topic) % 14] +
                       " by Friday\"/>\n";
            }
            xml += "</node>\n";
        }
        xml += "</node>\n";
    }
    return xml + "</node>\n</map>\n";
}

void importBench(benchmark::State& state, OutlineFormat format, const std::string& bytes) {
    std::string error;
    for (auto _ : state) {
        auto root = importOutline(bytes, format, error);
        if (root == nullptr) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(root);
    }
    state.counters["bytes"] = static_cast<double>(bytes.size());
}

void BM_ImportFreeMind(benchmark::State& state) {
    importBench(state, OutlineFormat::FreeMind, freeMindMap());
}
BENCHMARK(BM_ImportFreeMind)->Unit(benchmark::kMillisecond);

// The same tree as the export writes it in the other formats.
std::unique_ptr<Node> freeMindTree() {
    std::string error;
    return importOutline(freeMindMap(), OutlineFormat::FreeMind, error);
}

void BM_ImportOpml(benchmark::State& state) {
    importBench(state, OutlineFormat::Opml, writeOpml(*freeMindTree()));
}
BENCHMARK(BM_ImportOpml)->Unit(benchmark::kMillisecond);

void BM_ImportMarkdown(benchmark::State& state) {
    importBench(state, OutlineFormat::Markdown, writeMarkdownOutline(*freeMindTree()));
}
BENCHMARK(BM_ImportMarkdown)->Unit(benchmark::kMillisecond);

void BM_ImportText(benchmark::State& state) {
    importBench(state, OutlineFormat::Text, writeTextOutline(*freeMindTree()));
}
BENCHMARK(BM_ImportText)->Unit(benchmark::kMillisecond);
// Laying out a tree of state.range(0) nodes alone, with captions measured at 7 pixels a unit:
// a random shape (each node below a random earlier one, one in five folded), one row below the
// root, and the deepest chain.
enum class Shape { Random, Row, Chain };

std::unique_ptr<Node> treeOf(Shape shape, int nodes) {
    auto root = std::make_unique<Node>(u"root", 0, 0);
    std::vector<Node*> all{root.get()};
    std::mt19937 random(5);
    for (int i = 1; i < nodes; ++i) {
        Node* parent = shape == Shape::Row     ? root.get()
                       : shape == Shape::Chain ? all.back()
                                               : all[random() % all.size()];
        auto child = std::make_unique<Node>(u"caption " + std::u16string(i % 30, u'x'), 0, 0);
        child->parent = parent;
        parent->children.push_back(child.get());
        if (shape == Shape::Random && random() % 5 == 0) parent->collapsed = true;
        all.push_back(child.release());
    }
    return root;
}

void layoutBench(benchmark::State& state, Shape shape) {
    const auto root = treeOf(shape, static_cast<int>(state.range(0)));
    const CaptionWidth measure = [](const std::u16string& caption) {
        return static_cast<std::int64_t>(caption.size()) * 7;
    };
    for (auto _ : state) {
        layoutImportedTree(*root, measure);
        benchmark::DoNotOptimize(root->x);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_LayoutRandomTree(benchmark::State& state) {
    layoutBench(state, Shape::Random);
}
BENCHMARK(BM_LayoutRandomTree)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_LayoutOneRow(benchmark::State& state) {
    layoutBench(state, Shape::Row);
}
BENCHMARK(BM_LayoutOneRow)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_LayoutDeepestChain(benchmark::State& state) {
    layoutBench(state, Shape::Chain);
}
BENCHMARK(BM_LayoutDeepestChain)->Arg(kMaxDepth)->Unit(benchmark::kMillisecond);
}  // namespace
BENCHMARK_MAIN();
