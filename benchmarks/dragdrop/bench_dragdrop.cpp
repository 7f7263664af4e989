// Dropping 5,000 selected bookmarks from several folders onto one category of a tree of 100,000
// nodes, through the view's drop and with the view following.

#include "benchmarks/common/mainwindowbenchmark.h"
#include "benchmarks/common/treegenerator.h"
#include "main/tree/bookmarkmodel.h"

#include <QMimeData>
#include <benchmark/benchmark.h>

using namespace vellumite;
using benchmarkwindow::form;
using benchmarkwindow::settle;

namespace {

constexpr int TotalNodes = 100'000;
constexpr int Dragged = 5'000;

// Every other bookmark of the folders in tree order until enough are chosen, and a category none of
// them is in.
void chooseDrag(std::vector<BookmarkNode *> &dragged, BookmarkNode *&target)
{
    dragged.clear();
    target = nullptr;
    std::vector<BookmarkNode *> folders;
    form->tree().forEach([&](BookmarkNode &node) {
        if (node.record.IsCategory && node.parent() != &form->tree().topLevel())
            folders.push_back(&node);
    });
    target = folders.back();
    for (BookmarkNode *folder : folders) {
        if (folder == target || folder->childCount() > 2000)
            continue;
        for (int i = 0; i < folder->childCount() && dragged.size() < size_t(Dragged); i += 2) {
            if (!folder->child(i)->record.IsCategory)
                dragged.push_back(folder->child(i));
        }
    }
}

void BM_DropBookmarksOfSeveralFolders(benchmark::State &state)
{
    BookmarkTreeView *view = form->VT();
    BookmarkModel &model = *form->model();
    for (auto _ : state) {
        state.PauseTiming();
        generateTree(form->tree(), TotalNodes, 107);
        model.reloadSorted();
        view->expandAll();
        std::vector<BookmarkNode *> dragged;
        BookmarkNode *target = nullptr;
        chooseDrag(dragged, target);
        QItemSelection selection;
        for (BookmarkNode *node : dragged)
            selection.select(model.indexFromNode(node), model.indexFromNode(node, 2));
        view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
        std::unique_ptr<QMimeData> data = view->beginNodeDrag();
        settle();
        state.ResumeTiming();

        if (!view->VTDragDrop(data.get(), target, DropMode::On))
            state.SkipWithError("drop refused");
        settle();

        state.PauseTiming();
        state.counters["moved"] = double(target->childCount());
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DropBookmarksOfSeveralFolders)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    return benchmarkwindow::runBenchmarks(argc, argv);
}
