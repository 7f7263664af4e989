// Dropping about 5,000 selected bookmarks from several folders onto one category, through the view's
// drop and with the view following, every folder open ("Expand all"): in a tree of 100,000 nodes, and
// in one of 36,000 whose bookmarks come from eleven folders.

#include "benchmarks/common/mainwindowbenchmark.h"
#include "benchmarks/common/treegenerator.h"
#include "main/tree/bookmarkmodel.h"

#include <QMimeData>
#include <benchmark/benchmark.h>
#include <functional>

using namespace vellumite;
using benchmarkwindow::form;
using benchmarkwindow::settle;

namespace {

struct Drag
{
    std::vector<BookmarkNode *> dragged;
    BookmarkNode *target = nullptr;
};

std::vector<BookmarkNode *> foldersBelowTheRoot()
{
    std::vector<BookmarkNode *> folders;
    form->tree().forEach([&](BookmarkNode &node) {
        if (node.record.IsCategory && node.parent() != &form->tree().topLevel())
            folders.push_back(&node);
    });
    return folders;
}

// Every other bookmark of the folders in tree order until 5,000 are chosen, onto a category none of
// them is in.
Drag everyOtherBookmarkOfManyFolders()
{
    Drag drag;
    const std::vector<BookmarkNode *> folders = foldersBelowTheRoot();
    drag.target = folders.back();
    for (BookmarkNode *folder : folders) {
        if (folder == drag.target || folder->childCount() > 2000)
            continue;
        for (int i = 0; i < folder->childCount() && drag.dragged.size() < 5'000; i += 2) {
            if (!folder->child(i)->record.IsCategory)
                drag.dragged.push_back(folder->child(i));
        }
    }
    return drag;
}

// Every bookmark of ten folders and the first rows of the large folder, 4,950 in all, onto a category
// none of them is in.
Drag runsOfElevenFolders()
{
    Drag drag;
    const std::vector<BookmarkNode *> folders = foldersBelowTheRoot();
    drag.target = folders.back();
    BookmarkNode *large = nullptr;
    int small = 0;
    for (BookmarkNode *folder : folders) {
        if (folder->childCount() > 2000)
            large = folder;
        if (folder == drag.target || folder->childCount() > 2000 || small == 10)
            continue;
        ++small;
        for (int i = 0; i < folder->childCount(); ++i) {
            if (!folder->child(i)->record.IsCategory)
                drag.dragged.push_back(folder->child(i));
        }
    }
    for (int i = 0; large && i < large->childCount() && drag.dragged.size() < 4'950; ++i)
        drag.dragged.push_back(large->child(i));
    return drag;
}

// The nodes' rows as the view's selection, each on its own as a Ctrl+click makes it.
void select(const std::vector<BookmarkNode *> &nodes)
{
    QItemSelection selection;
    for (BookmarkNode *node : nodes)
        selection.select(form->model()->indexFromNode(node), form->model()->indexFromNode(node, 2));
    form->VT()->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void runDrop(benchmark::State &state, int totalNodes, const std::function<Drag()> &choose)
{
    BookmarkTreeView *view = form->VT();
    BookmarkModel &model = *form->model();
    for (auto _ : state) {
        state.PauseTiming();
        generateTree(form->tree(), totalNodes, 107);
        model.reloadSorted();
        view->expandAll();
        const Drag drag = choose();
        select(drag.dragged);
        std::unique_ptr<QMimeData> data = view->beginNodeDrag();
        settle();
        state.ResumeTiming();

        if (!view->VTDragDrop(data.get(), drag.target, DropMode::On))
            state.SkipWithError("drop refused");
        settle();

        state.PauseTiming();
        state.counters["dragged"] = double(drag.dragged.size());
        state.counters["visible rows"] = double(totalNodes);
        state.ResumeTiming();
    }
}

void BM_DropBookmarksOfSeveralFolders(benchmark::State &state)
{
    runDrop(state, 100'000, everyOtherBookmarkOfManyFolders);
}
BENCHMARK(BM_DropBookmarksOfSeveralFolders)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DropBookmarksOfElevenFoldersEveryFolderOpen(benchmark::State &state)
{
    runDrop(state, 36'000, runsOfElevenFolders);
}
BENCHMARK(BM_DropBookmarksOfElevenFoldersEveryFolderOpen)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    return benchmarkwindow::runBenchmarks(argc, argv);
}
