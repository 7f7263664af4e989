// Deleting, pasting and moving 10,000 nodes of one folder in the main window, out of a tree of 50,000,
// through the model and with the view following.

#include "benchmarks/common/mainwindowbenchmark.h"
#include "benchmarks/common/treegenerator.h"
#include "main/core/treeclipboard.h"
#include "main/tree/bookmarkmodel.h"
#include "main/tree/treeeditcommands.h"
#include "main/window/tform1.h"
#include "platform/fakes/fakemessageservice.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <benchmark/benchmark.h>

using namespace vellumite;
using benchmarkwindow::form;
using benchmarkwindow::settle;

namespace {

constexpr int TotalNodes = 50'000;
constexpr int FolderSize = TotalNodes / 5; // the generator's flat folder

BookmarkNode *largeFolder()
{
    BookmarkNode *root = form->tree().firstNode();
    for (int i = 0; i < root->childCount(); ++i) {
        if (root->child(i)->childCount() >= FolderSize)
            return root->child(i);
    }
    return nullptr;
}

// A fresh tree with the large folder open; returns the folder.
BookmarkNode *loadWindow()
{
    generateTree(form->tree(), TotalNodes, 106);
    form->model()->reloadSorted();
    BookmarkNode *folder = largeFolder();
    form->VT()->expand(form->model()->indexFromNode(form->tree().firstNode()));
    form->VT()->expand(form->model()->indexFromNode(folder));
    settle();
    return folder;
}

// Selects every `step`-th child of the folder, each as a row of its own when step > 1.
void selectChildren(BookmarkNode *folder, int step)
{
    BookmarkModel &model = *form->model();
    QItemSelection selection;
    if (step == 1) {
        selection.select(model.indexFromNode(folder->child(0)),
                         model.indexFromNode(folder->child(folder->childCount() - 1), 2));
    } else {
        for (int i = 0; i < folder->childCount(); i += step)
            selection.select(model.indexFromNode(folder->child(i)), model.indexFromNode(folder->child(i), 2));
    }
    form->VT()->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    form->VT()->selectionModel()->setCurrentIndex(model.indexFromNode(folder->child(0)),
                                                  QItemSelectionModel::NoUpdate);
}

void focusOn(BookmarkNode *node)
{
    const QModelIndex index = form->model()->indexFromNode(node);
    form->VT()->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

// A category beside the large folder, the target of the pastes.
BookmarkNode *pasteTarget()
{
    BookmarkNode *root = form->tree().firstNode();
    for (int i = 0; i < root->childCount(); ++i) {
        if (root->child(i)->record.IsCategory && root->child(i) != largeFolder())
            return root->child(i);
    }
    return nullptr;
}

void deleteFromFolder(benchmark::State &state, int step)
{
    FakeMessageService messages;
    TreeEditCommands commands(*form->model(), *form->VT());
    int deleted = 0;
    for (auto _ : state) {
        state.PauseTiming();
        BookmarkNode *folder = loadWindow();
        selectChildren(folder, step);
        const int before = folder->childCount();
        messages.setNextAnswer(MessageAnswer::Yes);
        state.ResumeTiming();
        commands.deleteSelection(messages);
        settle();
        deleted = before - folder->childCount();
    }
    state.counters["deleted"] = deleted;
}

void BM_DeleteFolderContent(benchmark::State &state)
{
    deleteFromFolder(state, 1);
}

// Every other row: 5,000 separate runs, the worst a selection can be for removal.
void BM_DeleteEveryOtherRow(benchmark::State &state)
{
    deleteFromFolder(state, 2);
}

// Every `step`-th node of the large folder copied or cut, then pasted into another folder.
void pasteIntoAnotherFolder(benchmark::State &state, TreeEditCommands::ClipboardMode mode, int step)
{
    FakeMessageService messages;
    TreeEditCommands commands(*form->model(), *form->VT());
    int pasted = 0;
    for (auto _ : state) {
        state.PauseTiming();
        selectChildren(loadWindow(), step);
        commands.placeOnClipboard(mode);
        BookmarkNode *target = pasteTarget();
        const int before = target->childCount();
        focusOn(target);
        state.ResumeTiming();
        commands.paste(messages);
        settle();
        pasted = target->childCount() - before;
    }
    state.counters["pasted"] = pasted;
}

void BM_CopyPasteFolderContent(benchmark::State &state)
{
    pasteIntoAnotherFolder(state, TreeEditCommands::ClipboardMode::Copy, 1);
}

// The cut nodes move; every other row makes 5,000 separate ones.
void BM_CutPasteEveryOtherRow(benchmark::State &state)
{
    pasteIntoAnotherFolder(state, TreeEditCommands::ClipboardMode::Cut, 2);
}

// Placing 10,000 nodes on the clipboard in every format.
void BM_CopyFolderContent(benchmark::State &state)
{
    TreeEditCommands commands(*form->model(), *form->VT());
    selectChildren(loadWindow(), 1);
    for (auto _ : state)
        commands.placeOnClipboard(TreeEditCommands::ClipboardMode::Copy);
    state.counters["bytes"]
        = double(QGuiApplication::clipboard()->mimeData()->data(VirtualTreeDataMimeType).size());
}

} // namespace

BENCHMARK(BM_DeleteFolderContent)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DeleteEveryOtherRow)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CopyFolderContent)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CopyPasteFolderContent)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CutPasteEveryOtherRow)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char **argv)
{
    return benchmarkwindow::runBenchmarks(argc, argv);
}
