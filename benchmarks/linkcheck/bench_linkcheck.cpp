// Verification of 1,000 links against a loopback server that answers 200 at once: the whole run, and
// the bare HTTP test alone, so the run's own cost per link shows (target: 1,000 links under 2 s, the
// run's overhead under 1 ms a link).

#include "main/core/linkverification.h"
#include "platform/linux/curlurltester.h"
#include "tests/common/loopbackhttpserver.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <benchmark/benchmark.h>

using namespace vellumite;
using namespace vellumite::testhttp;

namespace {

constexpr int LinkCount = 1000;

LoopbackHttpServer &server()
{
    static LoopbackHttpServer s([](const Request &) { return Answer::status(200); });
    return s;
}

class QuietHost final : public LinkVerificationHost
{
public:
    void linkStateChanged(BookmarkNode &) override { }
    void allLinkStatesChanged() override { }
    void verificationMenuChanged(VerificationMenuState state) override
    {
        if (state == VerificationMenuState::Idle)
            QCoreApplication::exit(0);
    }
    bool isTreeBusy() const override { return false; }
    void deleteNodes(const std::vector<BookmarkNode *> &) override { }
    void UpdateTreeCounts() override { }
    void showFailure(const QString &) override { }
};

void BM_BareRequests(benchmark::State &state)
{
    const CurlUrlTester tester;
    const AbortFlag noAbort { false };
    const QByteArray url = server().url("/ok");
    for (auto _ : state) {
        for (int i = 0; i < LinkCount; ++i)
            benchmark::DoNotOptimize(tester.IsUrlAlive(url, noAbort));
    }
    state.SetItemsProcessed(state.iterations() * LinkCount);
}
BENCHMARK(BM_BareRequests)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_VerifyAllLinks(benchmark::State &state)
{
    const CurlUrlTester tester;
    BookmarkTree tree;
    BookmarkNode *root = tree.topLevel().appendChild(std::make_unique<BookmarkNode>(makeRootRecord()));
    const QString link = QString::fromLatin1(server().url("/ok"));
    for (int i = 0; i < LinkCount; ++i)
        root->appendChild(std::make_unique<BookmarkNode>(makeBookmarkRecord(QString::number(i), link, 0)));
    QuietHost host;
    LinkVerification checks(tree, tester, host);
    for (auto _ : state) {
        checks.Checkall1Click();
        QCoreApplication::exec();
    }
    state.SetItemsProcessed(state.iterations() * LinkCount);
}
BENCHMARK(BM_VerifyAllLinks)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
