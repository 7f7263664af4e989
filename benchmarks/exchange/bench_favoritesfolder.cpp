// A Favorites folder of 5,000 shortcut files in 500 folders nested up to six levels, some names in
// other scripts, on the file system of the temporary folder. Export writes every shortcut file (each
// one atomically) into an empty folder; import reads the folder and merges it into a tree that holds
// the root category; the clear deletes all of it.
#include "benchmarks/common/treegenerator.h"
#include "exchange/core/favoritesfolder.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace vellumite;

namespace {

constexpr int LinkCount = 5000;
constexpr int FolderCount = 500;
constexpr unsigned Seed = 20241211;

const BookmarkNode &favoritesTree()
{
    static const std::unique_ptr<BookmarkNode> root = [] {
        auto node = std::make_unique<BookmarkNode>(makeRootRecord());
        treegenerator_detail::Generator gen(Seed);
        std::vector<BookmarkNode *> folders { node.get() };
        for (int i = 1; i < FolderCount; ++i) {
            BookmarkNode *parent = folders[static_cast<size_t>(gen.below(static_cast<int>(folders.size())))];
            if (parent->depth() >= 6)
                parent = node.get();
            folders.push_back(
                parent->appendChild(std::make_unique<BookmarkNode>(gen.category(gen.title(1, 3)))));
        }
        for (int i = 0; i < LinkCount; ++i) {
            BookmarkNode *folder = folders[static_cast<size_t>(gen.below(static_cast<int>(folders.size())))];
            folder->appendChild(std::make_unique<BookmarkNode>(gen.bookmark()));
        }
        return node;
    }();
    return *root;
}

// Writes the tree into a fresh folder below `dir`.
QString writtenFolder(const QTemporaryDir &dir, benchmark::State &state)
{
    const QString path = dir.filePath(QStringLiteral("Favorites"));
    QDir().mkpath(path);
    FavoritesWriteReport report;
    if (!writeFavoritesFolder(favoritesTree(), path, ExportMode::Merge, report).isEmpty())
        state.SkipWithError("the folder cannot be written");
    return path;
}

void BM_ExportFavoritesFolder(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Favorites"));
    for (auto _ : state) {
        state.PauseTiming();
        ClearFolder(path);
        QDir().mkpath(path);
        state.ResumeTiming();
        FavoritesWriteReport report;
        if (!writeFavoritesFolder(favoritesTree(), path, ExportMode::Merge, report).isEmpty())
            state.SkipWithError("the folder cannot be written");
    }
}
BENCHMARK(BM_ExportFavoritesFolder)->Unit(benchmark::kMillisecond);

void BM_ImportFavoritesFolder(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = writtenFolder(dir, state);
    for (auto _ : state) {
        state.PauseTiming();
        BookmarkTree tree;
        BookmarkNode *root = tree.topLevel().appendChild(std::make_unique<BookmarkNode>(makeRootRecord()));
        state.ResumeTiming();
        BookmarkNode staging;
        if (!readFavoritesFolder(path, staging, 1).isEmpty())
            state.SkipWithError("the folder does not read");
        benchmark::DoNotOptimize(mergeInto(*root, staging, FavoritesFolderNameMatch));
        state.PauseTiming();
        tree.clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ImportFavoritesFolder)->Unit(benchmark::kMillisecond);

void BM_ClearFavoritesFolder(benchmark::State &state)
{
    QTemporaryDir dir;
    for (auto _ : state) {
        state.PauseTiming();
        const QString path = writtenFolder(dir, state);
        state.ResumeTiming();
        if (!ClearFolder(path).isEmpty())
            state.SkipWithError("the folder is not emptied");
    }
}
BENCHMARK(BM_ClearFavoritesFolder)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
