#include "benchmarks/common/treegenerator.h"
#include "main/core/bookmarkfile.h"
#include "main/core/bookmarksort.h"

#include <algorithm>
#include <benchmark/benchmark.h>

using namespace vellumite;

namespace {

constexpr int NodeCount = 100000;
constexpr unsigned Seed = 20240601;

const QByteArray &savedTree()
{
    static const QByteArray bytes = [] {
        BookmarkTree tree;
        generateTree(tree, NodeCount, Seed);
        return BookmarkFile::save(tree);
    }();
    return bytes;
}

void BM_SaveBookmarkFile(benchmark::State &state)
{
    BookmarkTree tree;
    generateTree(tree, NodeCount, Seed);
    qsizetype bytes = 0;
    for (auto _ : state) {
        const QByteArray saved = BookmarkFile::save(tree);
        bytes = saved.size();
        benchmark::DoNotOptimize(saved.data());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    int deepest = 0;
    int largestFolder = 0;
    tree.forEach([&](const BookmarkNode &node) {
        deepest = std::max(deepest, node.depth());
        largestFolder = std::max(largestFolder, node.childCount());
    });
    state.counters["nodes"] = static_cast<double>(tree.totalCount());
    state.counters["depth"] = deepest;
    state.counters["largestFolder"] = largestFolder;
    state.counters["fileBytes"] = static_cast<double>(bytes);
}

void BM_LoadBookmarkFile(benchmark::State &state)
{
    const QByteArray &bytes = savedTree();
    BookmarkTree tree;
    for (auto _ : state) {
        state.PauseTiming();
        tree.clear();
        state.ResumeTiming();
        const QString error = BookmarkFile::load(tree, bytes);
        if (!error.isEmpty())
            state.SkipWithError(qPrintable(error));
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
    state.counters["nodes"] = static_cast<double>(tree.totalCount());
}

void BM_SortSubtree(benchmark::State &state)
{
    const QByteArray &bytes = savedTree();
    BookmarkTree tree;
    for (auto _ : state) {
        state.PauseTiming();
        BookmarkFile::load(tree, bytes);
        state.ResumeTiming();
        sortSubtree(*tree.firstNode(), ColumnDescription, Qt::AscendingOrder);
    }
}

} // namespace

BENCHMARK(BM_SaveBookmarkFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadBookmarkFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortSubtree)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
