// Deleting, pasting and moving 10,000 nodes of one folder in the main window, out of a tree of 50,000,
// through the model and with the view following.

#include "benchmarks/common/treegenerator.h"
#include "main/bookmarkmodel.h"
#include "main/core/treeclipboard.h"
#include "main/editcommands.h"
#include "main/uMain.h"
#include "platform/fakes/fakemessageservice.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTreeView>
#include <benchmark/benchmark.h>

using namespace vellumite;

namespace {

constexpr int TotalNodes = 50'000;
constexpr int FolderSize = TotalNodes / 5; // the generator's flat folder

TForm1 *form = nullptr;

void settle()
{
    QApplication::processEvents();
    form->VT()->viewport()->repaint();
}

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

void BM_CopyPasteFolderContent(benchmark::State &state)
{
    FakeMessageService messages;
    TreeEditCommands commands(*form->model(), *form->VT());
    int pasted = 0;
    for (auto _ : state) {
        state.PauseTiming();
        BookmarkNode *folder = loadWindow();
        selectChildren(folder, 1);
        commands.placeOnClipboard(TreeEditCommands::ClipboardMode::Copy);
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

void BM_CutPasteFolderContent(benchmark::State &state)
{
    FakeMessageService messages;
    TreeEditCommands commands(*form->model(), *form->VT());
    int moved = 0;
    for (auto _ : state) {
        state.PauseTiming();
        BookmarkNode *folder = loadWindow();
        selectChildren(folder, 2);
        commands.placeOnClipboard(TreeEditCommands::ClipboardMode::Cut);
        BookmarkNode *target = pasteTarget();
        const int before = target->childCount();
        focusOn(target);
        state.ResumeTiming();
        commands.paste(messages);
        settle();
        moved = target->childCount() - before;
    }
    state.counters["moved"] = moved;
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
BENCHMARK(BM_CutPasteFolderContent)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TForm1 window;
    window.show();
    form = &window;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
