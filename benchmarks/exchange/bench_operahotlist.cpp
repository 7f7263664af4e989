// A 50,000-link hotlist of real shape: 2,000 folders nested up to six levels, one of them holding
// 20,000 links, some titles in other scripts, some comments. Import is the read plus the merge into a
// tree that holds the root category; export is the whole file's bytes (replacing, and merging into
// the same file).
#include "benchmarks/common/treegenerator.h"
#include "exchange/core/operahotlist.h"

#include <benchmark/benchmark.h>

using namespace vellumite;

namespace {

constexpr int LinkCount = 50000;
constexpr int FolderCount = 2000;
constexpr int FlatFolderLinks = 20000;
constexpr unsigned Seed = 20241210;

void generateHotlistTree(BookmarkNode &root)
{
    treegenerator_detail::Generator gen(Seed);
    std::vector<BookmarkNode *> folders;
    BookmarkNode *flat
        = root.appendChild(std::make_unique<BookmarkNode>(makeCategoryRecord(QStringLiteral("Unsorted"))));
    for (int i = 0; i < FlatFolderLinks; ++i)
        flat->appendChild(std::make_unique<BookmarkNode>(gen.bookmark()));
    folders.push_back(&root);
    for (int i = 1; i < FolderCount; ++i) {
        BookmarkNode *parent = folders[static_cast<size_t>(gen.below(static_cast<int>(folders.size())))];
        if (parent->depth() >= 6)
            parent = &root;
        folders.push_back(parent->appendChild(std::make_unique<BookmarkNode>(gen.category(gen.title(1, 3)))));
    }
    for (int i = FlatFolderLinks; i < LinkCount; ++i) {
        BookmarkNode *folder = folders[static_cast<size_t>(gen.below(static_cast<int>(folders.size())))];
        folder->appendChild(std::make_unique<BookmarkNode>(gen.bookmark()));
    }
}

const BookmarkNode &hotlistTree()
{
    static const std::unique_ptr<BookmarkNode> root = [] {
        auto node = std::make_unique<BookmarkNode>(makeRootRecord());
        generateHotlistTree(*node);
        return node;
    }();
    return *root;
}

const QByteArray &hotlistBytes()
{
    static const QByteArray bytes = formatOperaHotlist(hotlistTree());
    return bytes;
}

void BM_ImportOperaHotlist(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        BookmarkTree tree;
        BookmarkNode *root = tree.topLevel().appendChild(std::make_unique<BookmarkNode>(makeRootRecord()));
        state.ResumeTiming();
        BookmarkNode staging;
        if (!parseOperaHotlist(hotlistBytes(), staging, 1).isEmpty())
            state.SkipWithError("the hotlist does not read");
        benchmark::DoNotOptimize(mergeInto(*root, staging, OperaHotlistNameMatch));
        state.PauseTiming();
        tree.clear();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * hotlistBytes().size());
}
BENCHMARK(BM_ImportOperaHotlist)->Unit(benchmark::kMillisecond);

void BM_ExportOperaHotlist(benchmark::State &state)
{
    const BookmarkNode &root = hotlistTree();
    for (auto _ : state) {
        const QByteArray bytes = formatOperaHotlist(root);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * hotlistBytes().size());
}
BENCHMARK(BM_ExportOperaHotlist)->Unit(benchmark::kMillisecond);

// Every link of the tree is already in the file: the whole file is read, merged and written.
void BM_ExportOperaHotlistMerging(benchmark::State &state)
{
    const BookmarkNode &root = hotlistTree();
    for (auto _ : state) {
        QByteArray merged;
        if (!mergeOperaHotlist(hotlistBytes(), root, merged).isEmpty())
            state.SkipWithError("the hotlist does not merge");
        benchmark::DoNotOptimize(merged.data());
    }
}
BENCHMARK(BM_ExportOperaHotlistMerging)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
