// Importing a 50,000-link hotlist through the toolbar's Import: the dialog, its worker block, the merge
// into the shown tree and the counts. The longest gap between two spinner ticks is reported too. Then
// the same import merging into a tree that lacks a link in every folder.

#include "benchmarks/common/mainwindowbenchmark.h"
#include "benchmarks/common/treegenerator.h"
#include "exchange/core/operahotlist.h"
#include "exchange/dialog/tfrimportexport.h"
#include "main/core/functii.h"
#include "main/tree/bookmarkmodel.h"
#include "main/tree/bookmarktreeview.h"
#include "main/window/tform1.h"
#include "platform/fakes/fakeservices.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

using namespace vellumite;

namespace {

constexpr int LinkCount = 50'000;

// About 50,000 links with their folders, as a hotlist file.
QByteArray hotlistBytes()
{
    BookmarkTree tree;
    generateTree(tree, LinkCount * 27 / 25, 19);
    return formatOperaHotlist(*tree.firstNode());
}

// The hotlist written into `dir`: its path, empty when it cannot be written.
QString writeHotlist(const QTemporaryDir &dir)
{
    const QString hotlist = dir.filePath(QStringLiteral("opera6.adr"));
    QFile file(hotlist);
    if (!file.open(QIODevice::WriteOnly) || file.write(hotlistBytes()) < 0)
        return {};
    return hotlist;
}

void BM_ImportHotlistThroughRun(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString hotlist = writeHotlist(dir);
    if (hotlist.isEmpty()) {
        state.SkipWithError("cannot write the hotlist");
        return;
    }
    FakeServices fakes = makeFakeServices();
    TForm1 form;
    form.FormCreate(fakes.services, dir.path());
    form.browserPaths().OperaFavPath = hotlist;
    form.show();

    qint64 longestGap = 0;
    qint64 runMillis = 0;
    for (auto _ : state) {
        QTimer::singleShot(0, &form, [&] {
            TfrImportExport *dialog = form.frImportExport;
            dialog->VTSync1->topLevelItem(0)->setCheckState(0, Qt::Checked);
            dialog->cbMergeBookmarks->setChecked(false);
            QElapsedTimer sinceTick;
            sinceTick.start();
            QObject::connect(dialog->Timer1, &QTimer::timeout, dialog,
                             [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
            QElapsedTimer run;
            run.start();
            dialog->btImportExportClick();
            QApplication::processEvents();
            runMillis = run.elapsed();
            dialog->reject();
        });
        form.ToolBarImportClick();
    }
    state.counters["links"] = double(countTree(form.tree()).links);
    state.counters["run_ms"] = double(runMillis);
    state.counters["longest_spinner_gap_ms"] = double(longestGap);
}
BENCHMARK(BM_ImportHotlistThroughRun)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same hotlist imported again, merging, into the tree it made with one link taken out of every
// folder and every folder open: the merge puts a link back into each of its 1,361 folders.
void BM_MergingImportIntoOpenFolders(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString hotlist = writeHotlist(dir);
    if (hotlist.isEmpty()) {
        state.SkipWithError("cannot write the hotlist");
        return;
    }
    FakeServices fakes = makeFakeServices();
    TForm1 form;
    form.FormCreate(fakes.services, dir.path());
    form.browserPaths().OperaFavPath = hotlist;
    form.show();
    const auto import = [&form](bool merge) {
        QTimer::singleShot(0, &form, [&form, merge] {
            TfrImportExport *dialog = form.frImportExport;
            dialog->VTSync1->topLevelItem(0)->setCheckState(0, Qt::Checked);
            dialog->cbMergeBookmarks->setChecked(merge);
            dialog->btImportExportClick();
            QApplication::processEvents();
            dialog->reject();
        });
        form.ToolBarImportClick();
    };
    import(false);

    int folders = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<BookmarkNode *> taken;
        form.tree().forEach([&taken](BookmarkNode &node) {
            for (int row = 0; node.record.IsCategory && row < node.childCount(); ++row) {
                if (!node.child(row)->record.IsCategory) {
                    taken.push_back(node.child(row));
                    break;
                }
            }
        });
        folders = int(taken.size());
        form.model()->removeNodes(taken);
        form.VT()->expandAll();
        QApplication::processEvents();
        form.VT()->viewport()->repaint();
        state.ResumeTiming();

        import(true);
        form.VT()->viewport()->repaint();
    }
    state.counters["links"] = double(countTree(form.tree()).links);
    state.counters["folders"] = folders;
}
BENCHMARK(BM_MergingImportIntoOpenFolders)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    return vellumite::benchmarkwindow::runBenchmarksInApplication(argc, argv);
}
