// The bookmark tree's view with 100,000 nodes, 20,000 of them in one folder: re-sorting on a header
// click, the one sort after a load, expanding everything and scrolling through it.

#include "main/bookmarkmodel.h"
#include "main/bookmarktreeview.h"
#include "main/core/bookmarksort.h"
#include "main/uMain.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QScrollBar>
#include <benchmark/benchmark.h>

using namespace vellumite;

namespace {

constexpr int BigFolderSize = 20'000;
constexpr int Folders = 399;
constexpr int BookmarksPerFolder = 199;
constexpr int LooseBookmarks = 198;
// root + the big folder with its bookmarks + the other folders with theirs + loose bookmarks.
constexpr int TotalNodes = 1 + 1 + BigFolderSize + Folders * (1 + BookmarksPerFolder) + LooseBookmarks;
static_assert(TotalNodes == 100'000);

QString randomWord(QRandomGenerator &random)
{
    static const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    QString word;
    const int length = 4 + int(random.bounded(12));
    for (int i = 0; i < length; ++i)
        word += letters[int(random.bounded(letters.size()))];
    return word;
}

std::unique_ptr<BookmarkNode> randomBookmark(QRandomGenerator &random)
{
    TBookmark r;
    r.Description = randomWord(random) + u' ' + randomWord(random);
    r.Link
        = QStringLiteral("http://") + randomWord(random) + QStringLiteral(".example/") + randomWord(random);
    r.Editable = true;
    r.ImageIndex = 1;
    r.LinkState = LinkNotVerified;
    r.PriorityColor = PriorityLow;
    return std::make_unique<BookmarkNode>(r);
}

std::unique_ptr<BookmarkNode> randomCategory(QRandomGenerator &random)
{
    TBookmark r;
    r.CategoryName = randomWord(random);
    r.Editable = true;
    r.IsCategory = true;
    r.ImageIndex = FolderImageIndex;
    r.LinkState = LinkCategory;
    r.PriorityColor = PriorityLow;
    return std::make_unique<BookmarkNode>(r);
}

// Fills `tree` in no particular order, as a load leaves it before its one sort; the root and the big
// folder are flagged expanded.
void generateTree(BookmarkTree &tree)
{
    QRandomGenerator random(104);
    tree.clear();
    BookmarkNode *root = tree.topLevel().appendChild(std::make_unique<BookmarkNode>(makeRootRecord()));
    root->setState(NodeState::Expanded, true);
    BookmarkNode *big = root->appendChild(randomCategory(random));
    big->setState(NodeState::Expanded, true);
    for (int i = 0; i < BigFolderSize; ++i)
        big->appendChild(randomBookmark(random));
    for (int f = 0; f < Folders; ++f) {
        BookmarkNode *folder = root->appendChild(randomCategory(random));
        for (int i = 0; i < BookmarksPerFolder; ++i)
            folder->appendChild(randomBookmark(random));
    }
    for (int i = 0; i < LooseBookmarks; ++i)
        root->appendChild(randomBookmark(random));
}

TForm1 *form = nullptr;

// Lets the view lay out and paint what the last step changed.
void settle()
{
    QApplication::processEvents();
    form->VT()->viewport()->repaint();
}

void loadWindow()
{
    generateTree(form->tree());
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
        generateTree(form->tree());
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
BENCHMARK(BM_ScrollToEndAndBack)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StoreAndRestoreViewState)->Unit(benchmark::kMillisecond)->UseRealTime();

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
