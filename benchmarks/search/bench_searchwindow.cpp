// Deleting 10,000 listed rows from the search window, with the list and the main tree following: the
// first 10,000 links listed, and 10,000 bookmarks spread over the whole tree found by their description.

#include "benchmarks/common/mainwindowbenchmark.h"
#include "benchmarks/common/treegenerator.h"
#include "main/search/searchresultmodel.h"
#include "main/search/tfrsearch.h"
#include "main/tree/bookmarkmodel.h"
#include "platform/messageservice.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QTreeView>

using namespace vellumite;

namespace {

class AlwaysYes final : public MessageService
{
public:
    void information(const QString &, const QString &) override { }
    void error(const QString &, const QString &) override { }
    MessageAnswer question(const QString &, const QString &) override { return MessageAnswer::Yes; }
};

void BM_DeleteListedRows(benchmark::State &state)
{
    TForm1 &form = *benchmarkwindow::form;
    AlwaysYes messages;
    constexpr int Rows = 10'000;
    for (auto _ : state) {
        state.PauseTiming();
        generateTree(form.tree(), 100'000, 112);
        form.model()->reloadSorted();
        auto search = std::make_unique<TfrSearch>(form, messages, &form);
        search->show();
        search->RbLink->click();
        search->EdSearch->setText(QStringLiteral("http"));
        search->BtnFindClick();
        SearchResultModel &results = *search->results();
        search->VTDubl->selectionModel()->select(
            QItemSelection(results.index(0, 0), results.index(Rows - 1, 2)),
            QItemSelectionModel::ClearAndSelect);
        benchmarkwindow::settle();
        state.counters["listed"] = double(results.rowCount());
        state.ResumeTiming();

        search->btDeleteClick();
        benchmarkwindow::settle();
        search->VTDubl->viewport()->repaint();

        state.PauseTiming();
        search.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteListedRows)->Unit(benchmark::kMillisecond)->Iterations(3);

// Every tenth bookmark's description holds "needle"; the search lists those, Ctrl+A selects them all.
void BM_DeleteScatteredListedRows(benchmark::State &state)
{
    TForm1 &form = *benchmarkwindow::form;
    AlwaysYes messages;
    for (auto _ : state) {
        state.PauseTiming();
        generateTree(form.tree(), 100'000, 113);
        int bookmarks = 0;
        form.tree().forEach([&bookmarks](BookmarkNode &node) {
            if (!node.record.IsCategory && ++bookmarks % 10 == 0)
                node.record.Description += QStringLiteral(" needle");
        });
        form.model()->reloadSorted();
        form.VT()->expand(form.model()->indexFromNode(form.tree().firstNode()));
        auto search = std::make_unique<TfrSearch>(form, messages, &form);
        search->show();
        search->RbDescription->click();
        search->EdSearch->setText(QStringLiteral("needle"));
        search->BtnFindClick();
        search->VTDubl->selectAll();
        benchmarkwindow::settle();
        state.counters["listed"] = double(search->results()->rowCount());
        state.ResumeTiming();

        search->btDeleteClick();
        benchmarkwindow::settle();
        search->VTDubl->viewport()->repaint();

        state.PauseTiming();
        search.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteScatteredListedRows)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    return benchmarkwindow::runBenchmarks(argc, argv);
}
