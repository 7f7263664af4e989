// The bookmark tree's view with 100,000 nodes, 20,000 of them in one folder: re-sorting on a header
// click, the one sort after a load, expanding everything and scrolling through it.

#include "benchmarks/common/mainwindowbenchmark.h"
#include "benchmarks/common/treegenerator.h"
#include "main/core/bookmarksort.h"
#include "main/tree/bookmarkmodel.h"
#include "main/tree/bookmarktreeview.h"
#include "main/window/tform1.h"

#include <QApplication>
#include <QScrollBar>
#include <benchmark/benchmark.h>

using namespace vellumite;
using benchmarkwindow::form;
using benchmarkwindow::settle;

namespace {

constexpr int TotalNodes = 100'000;

// The shared benchmark tree (a fifth of it in one flat folder), in no particular order, as a load
// leaves it before its one sort; the root and the flat folder are flagged expanded.
void generateExpandedTree(BookmarkTree &tree)
{
    generateTree(tree, TotalNodes, 104);
    BookmarkNode *root = tree.firstNode();
    root->setState(NodeState::Expanded, true);
    for (int i = 0; i < root->childCount(); ++i) {
        if (root->child(i)->childCount() >= TotalNodes / 5)
            root->child(i)->setState(NodeState::Expanded, true);
    }
}

void loadWindow()
{
    generateExpandedTree(form->tree());
    form->model()->reloadSorted();
    form->restoreViewStateFromNodes();
    settle();
}

void BM_HeaderClickResort(benchmark::State &state)
{
    loadWindow();
    int column = ColumnDescription;
    for (auto _ : state) {
        column = column == ColumnDescription ? ColumnLink : ColumnDescription;
        form->VTHeaderClick(column);
        settle();
    }
    state.counters["nodes"] = double(form->tree().totalCount());
}

void BM_LoadSortOnce(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        generateExpandedTree(form->tree());
        state.ResumeTiming();
        form->model()->reloadSorted();
        form->restoreViewStateFromNodes();
        settle();
    }
}

void BM_ExpandAll(benchmark::State &state)
{
    loadWindow();
    for (auto _ : state) {
        form->VT()->expandAll();
        settle();
        state.PauseTiming();
        form->VT()->collapseAll();
        settle();
        state.ResumeTiming();
    }
}

// The flat folder of 20,000 bookmarks opened and closed by the user.
void BM_ToggleLargeFolder(benchmark::State &state)
{
    loadWindow();
    BookmarkNode *root = form->tree().firstNode();
    QModelIndex large;
    for (int i = 0; i < root->childCount(); ++i) {
        if (root->child(i)->childCount() >= TotalNodes / 5)
            large = form->model()->indexFromNode(root->child(i));
    }
    for (auto _ : state) {
        form->VT()->collapse(large);
        settle();
        form->VT()->expand(large);
        settle();
    }
}

void BM_ScrollToEndAndBack(benchmark::State &state)
{
    loadWindow();
    form->VT()->expandAll();
    settle();
    QScrollBar *bar = form->VT()->verticalScrollBar();
    for (auto _ : state) {
        bar->setValue(bar->maximum());
        settle();
        bar->setValue(0);
        settle();
    }
}

void BM_StoreAndRestoreViewState(benchmark::State &state)
{
    loadWindow();
    form->VT()->expandAll();
    form->VT()->selectAll();
    settle();
    for (auto _ : state) {
        form->storeViewStateInNodes();
        form->model()->reloadSorted();
        form->restoreViewStateFromNodes();
        settle();
    }
}

} // namespace

BENCHMARK(BM_HeaderClickResort)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadSortOnce)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExpandAll)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ToggleLargeFolder)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScrollToEndAndBack)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StoreAndRestoreViewState)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char **argv)
{
    return benchmarkwindow::runBenchmarks(argc, argv);
}
