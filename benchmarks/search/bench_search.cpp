// Text search and the duplicates list over a tree of 100,000 bookmarks.

#include "benchmarks/common/treegenerator.h"
#include "main/core/bookmarksearch.h"

#include <benchmark/benchmark.h>

using namespace vellumite;

namespace {

const BookmarkTree &tree()
{
    static BookmarkTree t;
    if (t.isEmpty())
        generateTree(t, 100'000, 112);
    return t;
}

void BM_FindAllLinks(benchmark::State &state)
{
    const BookmarkTree &t = tree();
    for (auto _ : state) {
        const std::vector<SearchResult> rows
            = FindAllLinks(t, QStringLiteral("RELEASE notes"), SearchMode::DescriptionsAndLinks);
        benchmark::DoNotOptimize(rows.data());
        state.counters["rows"] = double(rows.size());
    }
}
BENCHMARK(BM_FindAllLinks)->Unit(benchmark::kMillisecond);

void BM_FindDublicates(benchmark::State &state)
{
    const BookmarkTree &t = tree();
    for (auto _ : state) {
        const std::vector<SearchResult> rows = FindDublicates(t);
        benchmark::DoNotOptimize(rows.data());
        state.counters["rows"] = double(rows.size());
    }
}
BENCHMARK(BM_FindDublicates)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
