#include "main/core/linkverification.h"
#include "main/linkcheck/linkcheckhost.h"
#include "main/tree/bookmarkmodel.h"
#include "platform/fakes/fakeurltester.h"

#include <QSignalSpy>
#include <QTest>

using namespace vellumite;

namespace {

// The window's part, over the real model: deletions go through it, so removal notices arrive as in
// the program.
class FakeHost final : public LinkVerificationHost
{
public:
    explicit FakeHost(BookmarkModel &model)
        : m_model(model)
    { }
    void linkStateChanged(BookmarkNode &node) override
    {
        ++repaints;
        if (onStateChanged)
            onStateChanged(node);
    }
    void allLinkStatesChanged() override { ++repaints; }
    void verificationMenuChanged(VerificationMenuState state) override { menu = state; }
    bool isTreeBusy() const override { return busy; }
    void deleteNodes(const std::vector<BookmarkNode *> &nodes) override { m_model.removeNodes(nodes); }
    void UpdateTreeCounts() override { ++recounts; }
    void showFailure(const QString &message) override { failures.append(message); }

    std::function<void(BookmarkNode &)> onStateChanged;
    int repaints = 0;
    int recounts = 0;
    bool busy = false;
    VerificationMenuState menu = VerificationMenuState::Idle;
    QStringList failures;

private:
    BookmarkModel &m_model;
};

struct Fixture
{
    BookmarkTree tree;
    BookmarkModel model { tree };
    FakeUrlTester tester;
    FakeHost host { model };
    std::unique_ptr<LinkVerification> checks;
    BookmarkNode *root = nullptr;

    explicit Fixture(LinkTestThreadFactory factory = &LinkTestThread::create)
    {
        root = tree.topLevel().appendChild(std::make_unique<BookmarkNode>(makeRootRecord()));
        checks = std::make_unique<LinkVerification>(tree, tester, host, std::move(factory));
        watchBookmarkModel(*checks, model);
    }

    BookmarkNode *add(BookmarkNode *parent, const QString &link, qint32 state = LinkNotVerified)
    {
        TBookmark record = makeBookmarkRecord(link, link, 0);
        record.LinkState = state;
        BookmarkNode *node = parent->appendChild(std::make_unique<BookmarkNode>(record));
        return node;
    }
    BookmarkNode *folder(const QString &name)
    {
        return root->appendChild(std::make_unique<BookmarkNode>(makeCategoryRecord(name)));
    }
    bool waitIdle()
    {
        return QTest::qWaitFor([this] { return !checks->isRunning(); }, 5000);
    }
};

QByteArrayList bytes(std::initializer_list<const char *> items)
{
    QByteArrayList list;
    for (const char *item : items)
        list.append(item);
    return list;
}

} // namespace

class TestLinkVerification : public QObject
{
    Q_OBJECT

private slots:
    void allLinksTestsEveryBookmarkAndLeavesCategories()
    {
        Fixture f;
        BookmarkNode *news = f.folder(QStringLiteral("News"));
        BookmarkNode *a = f.add(news, QStringLiteral("a.test"), LinkAlive);
        BookmarkNode *b = f.add(news, QStringLiteral("b.test"), LinkBroken);
        BookmarkNode *c = f.add(f.root, QStringLiteral("c.test"));
        f.tester.setAlive("b.test");
        QVERIFY(f.checks->Checkall1Click());
        QCOMPARE(f.host.menu, VerificationMenuState::Running);
        QVERIFY(f.waitIdle());
        QCOMPARE(f.host.menu, VerificationMenuState::Idle);
        QCOMPARE(f.tester.requests(), bytes({ "a.test", "b.test", "c.test" }));
        QCOMPARE(a->record.LinkState, LinkBroken);
        QCOMPARE(b->record.LinkState, LinkAlive);
        QCOMPARE(c->record.LinkState, LinkBroken);
        QCOMPARE(news->record.LinkState, LinkCategory);
        QCOMPARE(f.root->record.LinkState, LinkCategory);
    }

    void notVerifiedTestsOnlyStateNine()
    {
        Fixture f;
        f.add(f.root, QStringLiteral("alive.test"), LinkAlive);
        f.add(f.root, QStringLiteral("new.test"));
        f.add(f.root, QStringLiteral("broken.test"), LinkBroken);
        // A category can never be tested, whatever state a damaged file gave it.
        BookmarkNode *odd = f.folder(QStringLiteral("Odd"));
        odd->record.LinkState = LinkNotVerified;
        QVERIFY(f.checks->Check1Click());
        QVERIFY(f.waitIdle());
        QCOMPARE(f.tester.requests(), bytes({ "new.test" }));
        QCOMPARE(odd->record.LinkState, LinkNotVerified);
    }

    void stopFinishesTheTestUnderWayAndAllowsARestart()
    {
        Fixture f;
        BookmarkNode *a = f.add(f.root, QStringLiteral("a.test"));
        BookmarkNode *b = f.add(f.root, QStringLiteral("b.test"));
        f.add(f.root, QStringLiteral("c.test"));
        f.tester.setAlive("a.test");
        f.tester.holdLatch();
        QVERIFY(f.checks->Checkall1Click());
        QVERIFY(f.tester.waitForRequests(1));
        // A second start while one is recorded is refused: a single run that Stop reaches.
        QVERIFY(!f.checks->Checkall1Click());
        f.checks->StopVerifiedClick();
        QCOMPARE(f.host.menu, VerificationMenuState::Idle);
        QVERIFY(!f.checks->isRunning());

        // A new run may start at once; the stopped one still stores its last result.
        QVERIFY(f.checks->Check1Click());
        QCOMPARE(f.host.menu, VerificationMenuState::Running);
        QVERIFY(f.tester.waitForRequests(2));
        f.tester.openLatch();
        QVERIFY(QTest::qWaitFor([&] { return a->record.LinkState == LinkAlive; }, 5000));
        QCOMPARE(f.host.menu, VerificationMenuState::Running);
        QVERIFY(f.waitIdle());
        QCOMPARE(f.tester.requests(), bytes({ "a.test", "a.test", "b.test", "c.test" }));
        QCOMPARE(b->record.LinkState, LinkBroken);
    }

    void deletionDuringATestDropsItsResultAndSkipsNothing_data()
    {
        QTest::addColumn<QList<int>>("deleted");
        QTest::addColumn<QByteArrayList>("tested");
        // Rows under the root: 0 a, 1 b, 2 folder F with f1 and f2, 3 d. "a" is under test.
        QTest::newRow("the node under test") << QList<int> { 0 } << bytes({ "a", "b", "f1", "f2", "d" });
        QTest::newRow("it and the next") << QList<int> { 0, 1 } << bytes({ "a", "f1", "f2", "d" });
        QTest::newRow("scattered, with a folder") << QList<int> { 0, 2 } << bytes({ "a", "b", "d" });
        QTest::newRow("the rest only") << QList<int> { 1, 2, 3 } << bytes({ "a" });
    }
    void deletionDuringATestDropsItsResultAndSkipsNothing()
    {
        QFETCH(QList<int>, deleted);
        QFETCH(QByteArrayList, tested);
        Fixture f;
        f.add(f.root, QStringLiteral("a"));
        f.add(f.root, QStringLiteral("b"));
        BookmarkNode *folder = f.folder(QStringLiteral("F"));
        f.add(folder, QStringLiteral("f1"));
        f.add(folder, QStringLiteral("f2"));
        f.add(f.root, QStringLiteral("d"));
        f.model.reloadSorted();
        std::vector<BookmarkNode *> doomed;
        const std::vector<BookmarkNode *> rows { f.root->child(0), f.root->child(1), folder,
                                                 f.root->child(f.root->childCount() - 1) };
        for (int row : deleted)
            doomed.push_back(rows[static_cast<size_t>(row)]);

        f.tester.holdLatch();
        QVERIFY(f.checks->Checkall1Click());
        QVERIFY(f.tester.waitForRequests(1));
        f.model.removeNodes(doomed);
        f.tester.openLatch();
        QVERIFY(f.waitIdle());
        QCOMPARE(f.tester.requests(), tested);
    }

    // Nodes of many folders go in one layout change of the model; the run still steps off the deleted
    // nodes onto the one that followed them.
    void deletionFromManyFoldersDuringATest_data()
    {
        QTest::addColumn<QByteArrayList>("deleted");
        QTest::addColumn<QByteArrayList>("tested");
        // Folders F0 to F5 under the root, each with bookmarks fNa and fNb. "f0a" is under test.
        QTest::newRow("the node under test and one of every folder")
            << bytes({ "f0a", "f1b", "f2a", "f3b", "f4a", "f5b" })
            << bytes({ "f0a", "f0b", "f1a", "f2b", "f3a", "f4b", "f5a" });
        QTest::newRow("the folder under test and one of every other")
            << bytes({ "F0", "f1a", "f2a", "f3a", "f4a", "f5b" })
            << bytes({ "f0a", "f1b", "f2b", "f3b", "f4b", "f5a" });
        QTest::newRow("everything after the node under test")
            << bytes({ "f0b", "f1a", "f1b", "f2a", "f2b", "F3", "f4a", "f4b", "f5a", "f5b" })
            << bytes({ "f0a" });
    }
    void deletionFromManyFoldersDuringATest()
    {
        QFETCH(QByteArrayList, deleted);
        QFETCH(QByteArrayList, tested);
        Fixture f;
        for (int i = 0; i < 6; ++i) {
            BookmarkNode *folder = f.folder(u"F%1"_qs.arg(i));
            f.add(folder, u"f%1a"_qs.arg(i));
            f.add(folder, u"f%1b"_qs.arg(i));
        }
        f.model.reloadSorted();
        std::vector<BookmarkNode *> doomed;
        f.tree.forEach([&](BookmarkNode &node) {
            if (deleted.contains(node.record.name().toLatin1()))
                doomed.push_back(&node);
        });
        QCOMPARE(doomed.size(), size_t(deleted.size()));

        f.tester.holdLatch();
        QVERIFY(f.checks->Check1Click());
        QVERIFY(f.tester.waitForRequests(1));
        QSignalSpy relaid(&f.model, &QAbstractItemModel::layoutChanged);
        f.model.removeNodes(doomed);
        QCOMPARE(relaid.size(), 1);
        f.tester.openLatch();
        QVERIFY(f.waitIdle());
        QCOMPARE(f.tester.requests(), tested);
    }

    // Three folders of ten bookmarks; while the eleventh is tested the tree changes under the run, which
    // still tests each bookmark once, in the order it began with, and is idle only after the last.
    void changesDuringARunTestEveryBookmarkOnce_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("sort by Description, descending") << QStringLiteral("sort descending");
        QTest::newRow("sort by Link") << QStringLiteral("sort by link");
        QTest::newRow("move the tested folder's bookmarks into the first")
            << QStringLiteral("move into first");
        QTest::newRow("move the first folder into the last") << QStringLiteral("move folder");
        QTest::newRow("rename bookmarks to sort first") << QStringLiteral("rename");
    }
    void changesDuringARunTestEveryBookmarkOnce()
    {
        QFETCH(QString, change);
        Fixture f;
        QByteArrayList all;
        std::vector<BookmarkNode *> folders;
        for (int i = 0; i < 3; ++i) {
            folders.push_back(f.folder(u"C%1"_qs.arg(i + 1)));
            for (int j = 1; j <= 10; ++j) {
                const QString link = u"r%1"_qs.arg(i * 10 + j, 2, 10, QLatin1Char('0'));
                f.add(folders.back(), link);
                all.append(link.toLatin1());
            }
        }
        f.model.reloadSorted();
        f.host.onStateChanged = [&f](BookmarkNode &node) {
            if (node.record.Link == QStringLiteral("r10"))
                f.tester.holdLatch();
        };

        QVERIFY(f.checks->Checkall1Click());
        QVERIFY(QTest::qWaitFor([&f] { return f.tester.requests().size() >= 11; }, 5000));
        QCOMPARE(f.tester.requests().last(), QByteArray("r11"));
        const auto children = [](BookmarkNode *folder) {
            std::vector<BookmarkNode *> nodes;
            for (int row = 0; row < folder->childCount(); ++row)
                nodes.push_back(folder->child(row));
            return nodes;
        };
        if (change == QStringLiteral("sort descending")) {
            f.model.sort(0, Qt::DescendingOrder);
        } else if (change == QStringLiteral("sort by link")) {
            f.model.sort(1, Qt::DescendingOrder);
        } else if (change == QStringLiteral("move into first")) {
            f.model.moveNodes(children(folders[1]), folders[0]);
        } else if (change == QStringLiteral("move folder")) {
            f.model.moveNodes({ folders[0] }, folders[2]);
        } else {
            for (BookmarkNode *node : children(folders[1]))
                f.model.setData(f.model.indexFromNode(node), u"0 %1"_qs.arg(node->record.Description));
        }
        QCOMPARE(f.host.menu, VerificationMenuState::Running);
        f.host.onStateChanged = nullptr;
        f.tester.openLatch();
        QVERIFY(f.waitIdle());
        QCOMPARE(f.tester.requests(), all);
        f.tree.forEach([](const BookmarkNode &node) {
            QVERIFY(node.record.IsCategory || node.record.LinkState == LinkBroken);
        });
    }

    void deleteAllBrokenLinksKeepsCategoriesAndRecounts()
    {
        Fixture f;
        BookmarkNode *folder = f.folder(QStringLiteral("F"));
        f.add(folder, QStringLiteral("x"), LinkBroken);
        f.add(folder, QStringLiteral("y"), LinkBroken);
        f.add(folder, QStringLiteral("z"), LinkBroken);
        f.add(folder, QStringLiteral("ok"), LinkAlive);
        folder->record.LinkState = LinkBroken;
        f.model.reloadSorted();
        f.checks->Deleteallbrokenlinks1Click();
        QCOMPARE(folder->childCount(), 1);
        QCOMPARE(folder->child(0)->record.Link, QStringLiteral("ok"));
        QCOMPARE(f.root->childCount(), 1);
        QCOMPARE(f.host.recounts, 1);
    }

    void deleteAllBrokenLinksDuringARun()
    {
        Fixture f;
        f.add(f.root, QStringLiteral("a"));
        f.add(f.root, QStringLiteral("b"), LinkBroken);
        f.add(f.root, QStringLiteral("c"));
        f.model.reloadSorted();
        f.tester.holdLatch();
        QVERIFY(f.checks->Check1Click());
        QVERIFY(f.tester.waitForRequests(1));
        f.checks->Deleteallbrokenlinks1Click();
        f.tester.openLatch();
        // "a" comes back broken and goes on the next command; "b" was deleted, "c" tested.
        QVERIFY(f.waitIdle());
        QCOMPARE(f.tester.requests(), bytes({ "a", "c" }));
        QCOMPARE(f.root->childCount(), 2);
    }

    void resultsWaitWhileTheTreeIsBusy()
    {
        Fixture f;
        BookmarkNode *a = f.add(f.root, QStringLiteral("a"));
        f.tester.setAlive("a");
        f.host.busy = true;
        QVERIFY(f.checks->Checkall1Click());
        QVERIFY(f.tester.waitForRequests(1));
        QTest::qWait(100);
        QCOMPARE(a->record.LinkState, LinkNotVerified);
        f.host.busy = false;
        QVERIFY(f.waitIdle());
        QCOMPARE(a->record.LinkState, LinkAlive);
    }

    void resultsAfterShutDownAreDropped()
    {
        Fixture f;
        BookmarkNode *a = f.add(f.root, QStringLiteral("a"));
        f.tester.setAlive("a");
        f.tester.holdLatch();
        QVERIFY(f.checks->Checkall1Click());
        QVERIFY(f.tester.waitForRequests(1));
        f.checks->shutDown();
        QCOMPARE(f.host.menu, VerificationMenuState::Idle);
        f.tester.openLatch();
        QTest::qWait(100);
        QCOMPARE(a->record.LinkState, LinkNotVerified);
        QVERIFY(!f.checks->Checkall1Click());
        // The aborted worker is waited for here, promptly though its test never answered.
        f.checks.reset();
    }

    void failedWorkerLeavesTheMenuIdle()
    {
        Fixture f([](const UrlTester &) { return std::unique_ptr<LinkTestThread>(); });
        f.add(f.root, QStringLiteral("a"));
        QVERIFY(!f.checks->Checkall1Click());
        QCOMPARE(f.host.menu, VerificationMenuState::Idle);
        QVERIFY(!f.checks->isRunning());
        QCOMPARE(f.host.failures.size(), 1);
    }

    void oneUrlCheckStoresAndFinishes()
    {
        Fixture f;
        BookmarkNode *a = f.add(f.root, QStringLiteral("a"), LinkBroken);
        f.tester.setAlive("a");
        f.tester.holdLatch();
        int finished = 0;
        QVERIFY(f.checks->checkOneUrl(*a, [&finished] { ++finished; }));
        QCOMPARE(a->record.LinkState, LinkNotVerified);
        f.tester.openLatch();
        QVERIFY(QTest::qWaitFor([&] { return finished == 1; }, 5000));
        QCOMPARE(a->record.LinkState, LinkAlive);
        QVERIFY(!f.checks->isCheckingOneUrl());
    }

    void closedCheckStillStoresItsLateAnswer()
    {
        Fixture f;
        BookmarkNode *a = f.add(f.root, QStringLiteral("a"));
        BookmarkNode *b = f.add(f.root, QStringLiteral("b"));
        f.model.reloadSorted();
        f.tester.setAlive("a");
        f.tester.setAlive("b");
        f.tester.holdLatch();
        int finished = 0;
        QVERIFY(f.checks->checkOneUrl(*a, [&finished] { ++finished; }));
        f.checks->StopOneUrlCheck(); // "Close"
        QCOMPARE(finished, 1);
        QVERIFY(f.checks->checkOneUrl(*b, [&finished] { ++finished; }));
        f.model.removeNode(b);
        f.tester.openLatch();
        QVERIFY(QTest::qWaitFor([&] { return a->record.LinkState == LinkAlive && finished == 2; }, 5000));
    }
};

QTEST_MAIN(TestLinkVerification)
#include "tst_linkverification.moc"
