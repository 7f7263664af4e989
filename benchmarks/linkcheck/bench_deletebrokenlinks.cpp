// "Delete all broken links" from the Check links menu over a tree of 100,000 nodes whose bookmarks are
// all broken, with the main tree shown and following, and the counters updated.

#include "benchmarks/common/mainwindowbenchmark.h"
#include "benchmarks/common/treegenerator.h"
#include "main/core/functii.h"
#include "main/tree/bookmarkmodel.h"
#include "main/tree/bookmarktreeview.h"
#include "main/window/tform1.h"
#include "platform/fakes/fakeservices.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace vellumite;

namespace {

constexpr int TotalNodes = 100'000;

// Every bookmark broken; the root open, or every folder open.
void deleteAllBrokenLinks(benchmark::State &state, bool everyFolderOpen)
{
    QTemporaryDir dir;
    FakeServices fakes = makeFakeServices();
    TForm1 form;
    form.FormCreate(fakes.services, dir.path());
    form.show();
    int deleted = 0;
    for (auto _ : state) {
        state.PauseTiming();
        generateTree(form.tree(), TotalNodes, 111);
        form.tree().forEach([](BookmarkNode &node) {
            if (!node.record.IsCategory)
                node.record.LinkState = LinkBroken;
        });
        form.model()->reloadSorted();
        if (everyFolderOpen)
            form.VT()->expandAll();
        else
            form.VT()->expand(form.model()->indexFromNode(form.tree().firstNode()));
        QApplication::processEvents();
        form.VT()->viewport()->repaint();
        const int before = countTree(form.tree()).links;
        state.ResumeTiming();

        form.Deleteallbrokenlinks1Click();
        QApplication::processEvents();
        form.VT()->viewport()->repaint();

        state.PauseTiming();
        deleted = before - countTree(form.tree()).links;
        state.ResumeTiming();
    }
    state.counters["deleted"] = deleted;
}

void BM_DeleteAllBrokenLinks(benchmark::State &state)
{
    deleteAllBrokenLinks(state, false);
}
BENCHMARK(BM_DeleteAllBrokenLinks)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DeleteAllBrokenLinksEveryFolderOpen(benchmark::State &state)
{
    deleteAllBrokenLinks(state, true);
}
BENCHMARK(BM_DeleteAllBrokenLinksEveryFolderOpen)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    return vellumite::benchmarkwindow::runBenchmarksInApplication(argc, argv);
}
