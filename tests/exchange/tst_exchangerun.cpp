#include "exchange/core/exchangerun.h"
#include "exchange/core/exchangestores.h"
#include "exchange/core/storefile.h"
#include "main/core/browserdetection.h"
#include "tests/common/filesizelimit.h"
#include "tests/common/testfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>

using namespace vellumite;

namespace {

// A store that hands out fixed entries and records what it was asked to do.
class FakeStore : public ExchangeStore
{
public:
    FakeStore(StoreFormat format, QStringList names, StepResult result = StepResult::done())
        : m_format(format)
        , m_names(std::move(names))
        , m_result(std::move(result))
    { }
    StoreFormat format() const override { return m_format; }
    NameMatch nameMatch() const override { return NameMatch::Exact; }
    StepResult read(BookmarkNode &staging, qint32 browserCode) override
    {
        ++reads;
        for (const QString &name : m_names)
            staging.appendChild(
                std::make_unique<BookmarkNode>(makeBookmarkRecord(name, u"http://x/"_qs, browserCode)));
        return m_result;
    }
    StepResult write(const BookmarkNode &rootCategory, ExportMode mode) override
    {
        ++writes;
        modes.push_back(mode);
        written = rootCategory.childCount();
        return m_result;
    }

    int reads = 0;
    int writes = 0;
    int written = -1;
    std::vector<ExportMode> modes;

private:
    StoreFormat m_format;
    QStringList m_names;
    StepResult m_result;
};

// A host over a plain tree; it logs every call in order.
class FakeHost : public ExchangeRunHost, public ExchangeTarget
{
public:
    ExchangeTarget &target() override { return *this; }
    FakeHost()
    {
        root = tree.topLevel().appendChild(
            std::make_unique<BookmarkNode>(makeCategoryRecord(RootCategoryName)));
        root->appendChild(
            std::make_unique<BookmarkNode>(makeBookmarkRecord(u"old"_qs, u"http://old/"_qs, 1)));
    }
    BookmarkNode *rootCategory() override { return root; }
    qint32 browserCode() const override { return 1; }
    StepResult runBlock(const std::function<StepResult()> &step) override
    {
        log << u"block"_qs;
        return step();
    }
    void storeStarted(StoreKind kind) override { log << u"start %1"_qs.arg(int(kind)); }
    void storeFinished(StoreKind kind) override { log << u"finish %1"_qs.arg(int(kind)); }
    void emptyRootCategory() override
    {
        log << u"empty"_qs;
        root->removeChildren(0, root->childCount());
    }
    void applyMerge(MergePlan plan) override
    {
        log << u"apply"_qs;
        vellumite::applyMerge(std::move(plan));
    }
    void importStoreFinished() override { log << u"counts"_qs; }
    void showDatabaseFailure(const QString &text) override { log << u"database: "_qs + text; }
    void showFailure(const QString &text) override { log << u"error: "_qs + text; }

    QStringList names() const
    {
        QStringList result;
        for (int row = 0; row < root->childCount(); ++row)
            result << root->child(row)->record.name();
        return result;
    }

    BookmarkTree tree;
    BookmarkNode *root = nullptr;
    QStringList log;
};

} // namespace

class tst_ExchangeRun : public QObject
{
    Q_OBJECT

private slots:
    void importEmptiesRootOnceBeforeFirstStore();
    void importWithMergeKeepsTree();
    void failedFirstReadLeavesTreeUntilASuccessfulRead();
    void databaseFailureShowsMessageAndGoesOn();
    void incompleteStepIsReportedAndRunGoesOn();
    void fullDiskGivesTheSystemReason_data();
    void fullDiskGivesTheSystemReason();
    void uncaughtFailureEndsRun();
    void thrownFailureEndsRun();
    void exportModes_data();
    void exportModes();
    void exportWritesSnapshot();
    void firefoxStoreRule_data();
    void firefoxStoreRule();
    void copySubtreeCopiesEverything();
};

void tst_ExchangeRun::importEmptiesRootOnceBeforeFirstStore()
{
    FakeHost host;
    FakeStore ie(StoreFormat::FavoritesFolder, { u"a"_qs, u"b"_qs });
    FakeStore ff(StoreFormat::NetscapeBookmarkFile, { u"b"_qs, u"c"_qs });
    FakeStore opera(StoreFormat::OperaHotlist, { u"d"_qs });
    ExchangeRequest request {
        true,
        false,
        { { StoreKind::InternetExplorer, &ie }, { StoreKind::Firefox, &ff }, { StoreKind::Opera, &opera } }
    };
    QVERIFY(runExchange(request, host));
    QCOMPARE(host.names(), QStringList({ u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs }));
    const QStringList expected { u"start 0"_qs,  u"block"_qs,    u"finish 0"_qs, u"empty"_qs,
                                 u"apply"_qs,    u"counts"_qs,   u"start 1"_qs,  u"block"_qs,
                                 u"finish 1"_qs, u"apply"_qs,    u"counts"_qs,   u"start 2"_qs,
                                 u"block"_qs,    u"finish 2"_qs, u"apply"_qs,    u"counts"_qs };
    QCOMPARE(host.log, expected);

    // A second run empties the root again.
    QVERIFY(runExchange(request, host));
    QCOMPARE(host.log.count(u"empty"_qs), 2);
    QCOMPARE(host.names(), QStringList({ u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs }));
}

void tst_ExchangeRun::importWithMergeKeepsTree()
{
    FakeHost host;
    FakeStore opera(StoreFormat::OperaHotlist, { u"old"_qs, u"new"_qs });
    QVERIFY(runExchange({ true, true, { { StoreKind::Opera, &opera } } }, host));
    QCOMPARE(host.names(), QStringList({ u"old"_qs, u"new"_qs }));
    QVERIFY(!host.log.contains(u"empty"_qs));
}

void tst_ExchangeRun::failedFirstReadLeavesTreeUntilASuccessfulRead()
{
    FakeHost host;
    FakeStore places(StoreFormat::PlacesDatabase, { u"partial"_qs },
                     StepResult::databaseFailure(u"locked"_qs));
    QVERIFY(runExchange({ true, false, { { StoreKind::Firefox, &places } } }, host));
    QCOMPARE(host.names(), QStringList({ u"old"_qs }));

    FakeStore opera(StoreFormat::OperaHotlist, { u"d"_qs });
    QVERIFY(runExchange({ true, false, { { StoreKind::Firefox, &places }, { StoreKind::Opera, &opera } } },
                        host));
    QCOMPARE(host.names(), QStringList({ u"d"_qs }));
    QCOMPARE(host.log.count(u"empty"_qs), 1);
}

void tst_ExchangeRun::databaseFailureShowsMessageAndGoesOn()
{
    FakeHost host;
    const QString locked = u"The database is locked. Please, close a Firefox browser."_qs;
    FakeStore places(StoreFormat::PlacesDatabase, {}, StepResult::databaseFailure(locked));
    FakeStore opera(StoreFormat::OperaHotlist, { u"d"_qs });
    QVERIFY(
        runExchange({ true, true, { { StoreKind::Firefox, &places }, { StoreKind::Opera, &opera } } }, host));
    QCOMPARE(
        host.log.mid(0, 5),
        QStringList({ u"start 1"_qs, u"block"_qs, u"finish 1"_qs, u"counts"_qs, u"database: "_qs + locked }));
    QCOMPARE(opera.reads, 1);
    QCOMPARE(host.names(), QStringList({ u"old"_qs, u"d"_qs }));

    // The same in an export; each failure shows its own message.
    FakeHost exportHost;
    const QString damaged = u"The Firefox places database \"/p/places.sqlite\" is damaged."_qs;
    FakeStore damagedPlaces(StoreFormat::PlacesDatabase, {}, StepResult::databaseFailure(damaged));
    QVERIFY(
        runExchange({ false, true, { { StoreKind::Firefox, &damagedPlaces }, { StoreKind::Opera, &opera } } },
                    exportHost));
    QCOMPARE(opera.writes, 1);
    QVERIFY(exportHost.log.contains(u"database: "_qs + damaged));
}

// A step that did its work but left something undone (a clear that could not delete everything) is
// reported as an error, and the run goes on as after a step that ended well.
void tst_ExchangeRun::incompleteStepIsReportedAndRunGoesOn()
{
    for (const bool import : { true, false }) {
        FakeHost host;
        FakeStore ie(StoreFormat::FavoritesFolder, { u"a"_qs }, StepResult::incomplete(u"Still there: x"_qs));
        FakeStore opera(StoreFormat::OperaHotlist, { u"d"_qs });
        QVERIFY(runExchange(
            { import, false, { { StoreKind::InternetExplorer, &ie }, { StoreKind::Opera, &opera } } }, host));
        QVERIFY(host.log.contains(u"error: Still there: x"_qs));
        QCOMPARE(opera.reads + opera.writes, 1);
        if (import) {
            QCOMPARE(host.names(), QStringList({ u"a"_qs, u"d"_qs }));
            QCOMPARE(host.log.count(u"counts"_qs), 2);
        }
    }
}

// A disk that fills up part way through a write: the message gives the system's reason, and the former
// file stays as it was.
void tst_ExchangeRun::fullDiskGivesTheSystemReason_data()
{
    QTest::addColumn<StoreFormat>("format");
    QTest::addColumn<QString>("file");
    QTest::newRow("Favorites folder") << StoreFormat::FavoritesFolder << u"Favorites/Link.url"_qs;
    QTest::newRow("bookmark file") << StoreFormat::NetscapeBookmarkFile << u"bookmarks.html"_qs;
    QTest::newRow("hotlist") << StoreFormat::OperaHotlist << u"opera6.adr"_qs;
}

void tst_ExchangeRun::fullDiskGivesTheSystemReason()
{
    QFETCH(StoreFormat, format);
    QFETCH(QString, file);
    QTemporaryDir dir;
    BrowserPaths paths;
    paths.ExplorerFavoritesPath = dir.filePath(u"Favorites"_qs);
    paths.PathFavFirefox = dir.filePath(u"bookmarks.html"_qs);
    paths.OperaFavPath = dir.filePath(u"opera6.adr"_qs);
    QVERIFY(QDir().mkpath(paths.ExplorerFavoritesPath));
    const QByteArray former = "former content\r\n";
    for (const QString &path : { paths.PathFavFirefox, paths.OperaFavPath })
        QVERIFY(testfiles::writeFile(path, former));
    const std::unique_ptr<ExchangeStore> store = makeExchangeStore(format, paths);

    BookmarkNode root(makeCategoryRecord(RootCategoryName));
    root.appendChild(std::make_unique<BookmarkNode>(
        makeBookmarkRecord(u"Link"_qs, u"http://example.org/"_qs + QString(8000, u'x'), 1)));
    StepResult result;
    {
        const testfiles::FileSizeLimit limit(1000);
        QVERIFY(limit.isSet());
        result = store->write(root, ExportMode::Merge);
    }
    const QString path = dir.filePath(file);
    QCOMPARE(result.outcome, StepResult::Outcome::Failed);
    QCOMPARE(result.text,
             u"Cannot create file \"%1\". %2"_qs.arg(path, QString::fromLocal8Bit(std::strerror(EFBIG))));
    if (format == StoreFormat::FavoritesFolder)
        QVERIFY(!QFile::exists(path));
    else
        QCOMPARE(testfiles::readFile(path), former);
}

void tst_ExchangeRun::uncaughtFailureEndsRun()
{
    for (const bool import : { true, false }) {
        FakeHost host;
        FakeStore ie(StoreFormat::FavoritesFolder, { u"a"_qs },
                     StepResult::failed(u"Cannot read the folder"_qs));
        FakeStore opera(StoreFormat::OperaHotlist, { u"d"_qs });
        QVERIFY(!runExchange(
            { import, false, { { StoreKind::InternetExplorer, &ie }, { StoreKind::Opera, &opera } } }, host));
        QCOMPARE(host.log.last(), u"error: Cannot read the folder"_qs);
        QVERIFY(host.log.contains(u"finish 0"_qs));
        QCOMPARE(opera.reads + opera.writes, 0);
        QCOMPARE(host.names(), QStringList({ u"old"_qs }));
    }
}

namespace {
class ThrowingStore : public FakeStore
{
public:
    ThrowingStore()
        : FakeStore(StoreFormat::OperaHotlist, {})
    { }
    StepResult read(BookmarkNode &, qint32) override { throw std::runtime_error("out of memory"); }
};
} // namespace

void tst_ExchangeRun::thrownFailureEndsRun()
{
    FakeHost host;
    ThrowingStore store;
    QVERIFY(!runExchange({ true, false, { { StoreKind::Opera, &store } } }, host));
    QCOMPARE(host.log.last(), u"error: out of memory"_qs);
    QVERIFY(host.log.contains(u"finish 2"_qs));
    QCOMPARE(host.names(), QStringList({ u"old"_qs }));
}

void tst_ExchangeRun::exportModes_data()
{
    QTest::addColumn<StoreFormat>("format");
    QTest::addColumn<bool>("merge");
    QTest::addColumn<ExportMode>("mode");
    QTest::newRow("favorites, merge") << StoreFormat::FavoritesFolder << true << ExportMode::Merge;
    QTest::newRow("favorites, replace") << StoreFormat::FavoritesFolder << false << ExportMode::Replace;
    QTest::newRow("places, merge") << StoreFormat::PlacesDatabase << true << ExportMode::Merge;
    QTest::newRow("places, replace") << StoreFormat::PlacesDatabase << false << ExportMode::Replace;
    QTest::newRow("bookmark file, merge") << StoreFormat::NetscapeBookmarkFile << true << ExportMode::Replace;
    QTest::newRow("bookmark file, replace")
        << StoreFormat::NetscapeBookmarkFile << false << ExportMode::Replace;
    QTest::newRow("opera, merge") << StoreFormat::OperaHotlist << true << ExportMode::Merge;
    QTest::newRow("opera, replace") << StoreFormat::OperaHotlist << false << ExportMode::Replace;
}

void tst_ExchangeRun::exportModes()
{
    QFETCH(StoreFormat, format);
    QFETCH(bool, merge);
    QFETCH(ExportMode, mode);
    FakeHost host;
    FakeStore store(format, {});
    QVERIFY(runExchange({ false, merge, { { StoreKind::Opera, &store } } }, host));
    QCOMPARE(store.modes, std::vector<ExportMode> { mode });
    QVERIFY(!host.log.contains(u"empty"_qs));
    QVERIFY(!host.log.contains(u"counts"_qs));
}

void tst_ExchangeRun::exportWritesSnapshot()
{
    FakeHost host;
    FakeStore ie(StoreFormat::FavoritesFolder, {});
    FakeStore opera(StoreFormat::OperaHotlist, {});
    QVERIFY(runExchange(
        { false, false, { { StoreKind::InternetExplorer, &ie }, { StoreKind::Opera, &opera } } }, host));
    QCOMPARE(ie.written, 1);
    QCOMPARE(opera.written, 1);
    QCOMPARE(host.log,
             QStringList(
                 { u"start 0"_qs, u"block"_qs, u"finish 0"_qs, u"start 2"_qs, u"block"_qs, u"finish 2"_qs }));
    QCOMPARE(host.names(), QStringList({ u"old"_qs }));
}

void tst_ExchangeRun::firefoxStoreRule_data()
{
    QTest::addColumn<FirefoxStore>("firefoxStore");
    QTest::addColumn<StoreFormat>("format");
    QTest::newRow("places database") << FirefoxStore::PlacesDatabase << StoreFormat::PlacesDatabase;
    QTest::newRow("bookmark file") << FirefoxStore::BookmarkFile << StoreFormat::NetscapeBookmarkFile;
}

void tst_ExchangeRun::firefoxStoreRule()
{
    QFETCH(FirefoxStore, firefoxStore);
    QFETCH(StoreFormat, format);
    QCOMPARE(storeFormatFor(StoreKind::Firefox, firefoxStore), format);
    QCOMPARE(storeFormatFor(StoreKind::InternetExplorer, firefoxStore), StoreFormat::FavoritesFolder);
    QCOMPARE(storeFormatFor(StoreKind::Opera, firefoxStore), StoreFormat::OperaHotlist);
}

void tst_ExchangeRun::copySubtreeCopiesEverything()
{
    BookmarkNode root(makeCategoryRecord(u"Bookmarks"_qs));
    BookmarkNode *folder = root.appendChild(std::make_unique<BookmarkNode>(makeCategoryRecord(u"f"_qs)));
    folder->appendChild(std::make_unique<BookmarkNode>(makeBookmarkRecord(u"b"_qs, u"http://b/"_qs, 2)));
    folder->setState(NodeState::Expanded, true);
    const std::unique_ptr<BookmarkNode> copy = copySubtree(root);
    QCOMPARE(copy->childCount(), 1);
    QCOMPARE(copy->child(0)->record.CategoryName, u"f"_qs);
    QVERIFY(copy->child(0)->hasState(NodeState::Expanded));
    QCOMPARE(copy->child(0)->child(0)->record.Link, u"http://b/"_qs);
    QCOMPARE(copy->child(0)->child(0)->parent(), copy->child(0));
}

QTEST_GUILESS_MAIN(tst_ExchangeRun)
#include "tst_exchangerun.moc"
