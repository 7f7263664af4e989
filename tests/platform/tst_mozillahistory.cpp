// The capture's second source of a Firefox page: the profile's history, read from a private copy of
// a database that the browser holds, and the choice between it and the session store.

#include "base/sqlite/sqlitedatabase.h"
#include "base/sqlite/sqlitestatement.h"
#include "base/sqlite/sqlitetransaction.h"
#include "platform/linux/databasecopy.h"
#include "platform/linux/mozillahistory.h"
#include "platform/linux/mozillapagequery.h"
#include "tests/common/finisheswithin.h"
#include "tests/common/mozillaprofile.h"
#include "tests/common/testfiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <sys/stat.h>

using namespace vellumite;
using vellumite::testfiles::writeFile;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(vellumite::ShownTitle)
Q_DECLARE_METATYPE(vellumite::TitleForm)

using namespace vellumite::mozillaprofile;

class TestMozillaHistory : public QObject
{
    Q_OBJECT

private slots:
    void choiceBetweenTheSources_data()
    {
        QTest::addColumn<QString>("storedUrl");
        QTest::addColumn<qint64>("collectedAt");
        QTest::addColumn<QString>("visitedUrl");
        QTest::addColumn<qint64>("visitedAt");
        QTest::addColumn<qint64>("browserStarted");
        QTest::addColumn<ShownTitle>("shown");
        QTest::addColumn<QString>("expected");
        const QString a = u"http://e/?t=a"_s;
        const QString c = u"http://e/?t=c"_s;
        const qint64 started = 50'000;
        constexpr ShownTitle titled = ShownTitle::Titled;
        constexpr ShownTitle untitled = ShownTitle::Untitled;
        QTest::newRow("neither source")
            << QString() << 0LL << QString() << 0LL << started << titled << QString();
        QTest::newRow("store only") << a << 100'000LL << QString() << 0LL << started << titled << a;
        QTest::newRow("history only") << QString() << 0LL << c << 100'000LL << started << titled << c;
        QTest::newRow("page of the same title visited after the store was collected")
            << a << 100'000LL << c << 104'000LL << started << titled << c;
        QTest::newRow("visit just before the collection, maybe not in the store yet")
            << a << 101'000LL << c << 100'000LL << started << titled << c;
        QTest::newRow("back to an earlier page: the next store holds it")
            << a << 101'001LL << c << 100'000LL << started << titled << a;
        QTest::newRow("back to an earlier page: store collected seconds later, never written again")
            << a << 110'000LL << c << 100'000LL << started << titled << a;
        QTest::newRow("store of an earlier run of the browser")
            << a << 40'000LL << QString() << 0LL << started << titled << QString();
        QTest::newRow("earlier run's store against an older visit")
            << a << 40'000LL << c << 10'000LL << started << titled << c;
        QTest::newRow("browser start unknown: the store counts")
            << a << 40'000LL << QString() << 0LL << 0LL << titled << a;
        // An untitled window: the history's untitled visits never answer, they only tell the store
        // may be behind.
        QTest::newRow("untitled: store only")
            << a << 100'000LL << QString() << 0LL << started << untitled << a;
        QTest::newRow("untitled: store newer than any untitled visit")
            << a << 104'000LL << c << 100'000LL << started << untitled << a;
        QTest::newRow("untitled: a visit after the store")
            << a << 100'000LL << c << 104'000LL << started << untitled << QString();
        QTest::newRow("untitled: history only")
            << QString() << 0LL << c << 100'000LL << started << untitled << QString();
        QTest::newRow("untitled: earlier run's store")
            << a << 40'000LL << QString() << 0LL << started << untitled << QString();
    }
    void choiceBetweenTheSources()
    {
        QFETCH(QString, storedUrl);
        QFETCH(qint64, collectedAt);
        QFETCH(QString, visitedUrl);
        QFETCH(qint64, visitedAt);
        QFETCH(qint64, browserStarted);
        QFETCH(ShownTitle, shown);
        QFETCH(QString, expected);
        std::optional<StoredPage> stored;
        if (!storedUrl.isEmpty())
            stored = StoredPage { { storedUrl, u"Same title"_s }, collectedAt };
        std::optional<HistoryVisit> visited;
        if (!visitedUrl.isEmpty())
            visited = HistoryVisit { visitedUrl, u"Same title"_s, visitedAt };
        const std::optional<WindowInfoReply> reply = chooseShownPage(stored, visited, browserStarted, shown);
        QCOMPARE(reply.has_value(), !expected.isEmpty());
        if (reply) {
            QCOMPARE(reply->address, expected);
            // An untitled window's page is given without a title: the window shows none.
            QCOMPARE(reply->title, shown == ShownTitle::Titled ? u"Same title"_s : QString());
        }
    }

    void newestVisitOfTitle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<TitleForm>("form");
        QTest::addColumn<QString>("url");
        QTest::addColumn<qint64>("visitedAt");
        constexpr TitleForm whole = TitleForm::Whole;
        constexpr TitleForm start = TitleForm::Start;
        QTest::newRow("newest of two pages of one title")
            << u"Same title"_s << whole << u"http://e/?t=c"_s << 2'000LL;
        QTest::newRow("newest of a page's visits") << u"Often"_s << whole << u"http://often/"_s << 5'000LL;
        QTest::newRow("a link followed in a frame does not count")
            << u"Framed"_s << whole << u"http://framed/top"_s << 1'000LL;
        QTest::newRow("untitled page by its address")
            << u"http://untitled/"_s << whole << u"http://untitled/"_s << 700LL;
        QTest::newRow("any untitled page") << QString() << whole << u"http://untitled/"_s << 700LL;
        QTest::newRow("titles are compared exactly") << u"same title"_s << whole << QString() << 0LL;
        QTest::newRow("a whole title is no start") << u"Same"_s << whole << QString() << 0LL;
        QTest::newRow("the start of a cut title") << u"Same ti"_s << start << u"http://e/?t=c"_s << 2'000LL;
        QTest::newRow("a cut title that is whole") << u"Often"_s << start << u"http://often/"_s << 5'000LL;
        QTest::newRow("a cut title is no middle") << u"ame title"_s << start << QString() << 0LL;
        QTest::newRow("a download is no page") << u"report.pdf"_s << whole << QString() << 0LL;
        QTest::newRow("never visited") << u"Elsewhere"_s << whole << QString() << 0LL;
    }
    void newestVisitOfTitle()
    {
        QFETCH(QString, title);
        QFETCH(TitleForm, form);
        QFETCH(QString, url);
        QFETCH(qint64, visitedAt);
        QTemporaryDir profile;
        const QString path = makePlacesDatabase(profile.path());
        {
            sqlite::Database db = sqlite::Database::open(path, sqlite::OpenMode::ReadWrite);
            sqlite::Transaction transaction(db);
            addVisit(db, u"http://e/?t=a"_s, u"Same title"_s, 1'000);
            addVisit(db, u"http://e/?t=c"_s, u"Same title"_s, 2'000);
            addVisit(db, u"http://often/"_s, u"Often"_s, 5'000);
            addVisit(db, u"http://often/"_s, u"Often"_s, 3'000);
            addVisit(db, u"http://framed/top"_s, u"Framed"_s, 1'000);
            addVisit(db, u"http://framed/inner"_s, u"Framed"_s, 9'000, FramedLinkVisit);
            addVisit(db, u"http://untitled/"_s, QString(), 700);
            addVisit(db, u"http://e/report.pdf"_s, u"report.pdf"_s, 800, DownloadVisit);
            transaction.commit();
        }
        MozillaHistoryReader reader;
        const std::optional<HistoryVisit> visit = reader.newestVisitOfTitle(path, title, form);
        QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
        QCOMPARE(visit.has_value(), !url.isEmpty());
        if (visit) {
            QCOMPARE(visit->url, url);
            QCOMPARE(visit->visitedAtMs, visitedAt);
        }
    }

    // The browser keeps its history open in exclusive locking mode: no other connection may read the
    // file, and the newest visits stay in the write-ahead log until the browser checkpoints it.
    void copyOfADatabaseHeldByAnotherConnection()
    {
        QTemporaryDir copies;
        QTemporaryDir root;
        const HeldProfile profile(root.filePath(u"abcd.default-esr"_s));
        const QString path = makePlacesDatabase(profile.path());
        sqlite::Database browser = sqlite::Database::open(path, sqlite::OpenMode::ReadWrite);
        browser.execute("PRAGMA journal_mode = WAL");
        browser.execute("PRAGMA locking_mode = EXCLUSIVE");
        browser.execute("PRAGMA wal_autocheckpoint = 0");
        addVisit(browser, u"http://e/?t=a"_s, u"Same title"_s, 1'000);
        addVisit(browser, u"http://e/?t=c"_s, u"Same title"_s, 2'000);
        QVERIFY(QFileInfo(path + u"-wal"_s).size() > 0);

        sqlite::Database other = sqlite::Database::open(path, sqlite::OpenMode::ReadOnly);
        try {
            other.execute("SELECT COUNT(*) FROM moz_historyvisits");
            QFAIL("a second connection read the held database");
        } catch (const sqlite::Error &error) {
            QVERIFY2(error.isBusy(), error.what());
        }

        // The copies go to a folder of the test's own, to see that none stays.
        qputenv("TMPDIR", QFile::encodeName(copies.path()));
        const auto restoreTemporaryFolder = qScopeGuard([] { qunsetenv("TMPDIR"); });
        MozillaHistoryReader reader;
        const std::optional<HistoryVisit> visit = reader.newestVisitOfTitle(path, u"Same title"_s);
        QVERIFY2(visit, qPrintable(reader.errorString()));
        QCOMPARE(*visit, (HistoryVisit { u"http://e/?t=c"_s, u"Same title"_s, 2'000 }));
        // The browser goes on writing, and a new copy sees it.
        addVisit(browser, u"http://e/?t=d"_s, u"Same title"_s, 3'000);
        QCOMPARE(reader.newestVisitOfTitle(path, u"Same title"_s)->url, u"http://e/?t=d"_s);

        // The capture of a window of that title, while the session store still holds the page
        // before it.
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        QVERIFY(writeFile(profile.filePath(u"sessionstore-backups/recovery.jsonlz4"_s),
                          sessionStore({ { { u"http://e/?t=a"_s, u"Same title"_s }, {}, true } }, now)));
        addVisit(browser, u"http://e/?t=e"_s, u"Same title"_s, now + 100);
        const std::optional<WindowInfoReply> reply = MozillaPageQuery().requestWindowInfo(
            { u"Firefox"_s, HeldProfile::processId(), u"Same title"_s, TitleForm::Whole, {} });
        QVERIFY(reply);
        QCOMPARE(reply->address, u"http://e/?t=e"_s);
        QCOMPARE(QDir(copies.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList());
    }

    void privateCopyGoesWithTheObject()
    {
        QTemporaryDir profile;
        const QString path = makePlacesDatabase(profile.path());
        QVERIFY(writeFile(path + u"-wal"_s, QByteArray()));
        QString folder;
        {
            DatabaseCopy copy;
            QVERIFY2(copy.copy(path), qPrintable(copy.errorString()));
            folder = QFileInfo(copy.path()).absolutePath();
            // For this user alone.
            QCOMPARE(QFileInfo(folder).permissions(),
                     QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser
                         | QFile::WriteUser | QFile::ExeUser);
            QVERIFY(QFile::exists(copy.path() + u"-wal"_s));
            QCOMPARE(QFileInfo(copy.path()).size(), QFileInfo(path).size());
        }
        QVERIFY(!QFileInfo::exists(folder));
    }

    // The other program writes while the files are copied: the copy is taken again, and a database
    // that never stops changing is not copied at all.
    void databaseWrittenDuringTheCopy_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<int>("writes");
        QTest::addColumn<bool>("copied");
        QTest::newRow("database written once") << u"places.sqlite"_s << 1 << true;
        QTest::newRow("log written twice") << u"places.sqlite-wal"_s << 2 << true;
        QTest::newRow("database written at every attempt") << u"places.sqlite"_s << 3 << false;
    }
    void databaseWrittenDuringTheCopy()
    {
        QFETCH(QString, written);
        QFETCH(int, writes);
        QFETCH(bool, copied);
        QTemporaryDir profile;
        const QString path = profile.filePath(u"places.sqlite"_s);
        QVERIFY(writeFile(path, "database"));
        QVERIFY(writeFile(path + u"-wal"_s, "log"));
        int attempts = 0;
        DatabaseCopy copy([&] {
            if (attempts++ >= writes)
                return;
            QFile file(profile.filePath(written));
            QVERIFY(file.open(QIODevice::Append));
            file.write(" written");
        });
        QCOMPARE(copy.copy(path), copied);
        QCOMPARE(attempts, std::min(writes + 1, 3));
        if (copied) {
            // The copy holds what the files hold after the last write.
            QCOMPARE(testfiles::readFile(copy.path()), testfiles::readFile(path));
            QCOMPARE(testfiles::readFile(copy.path() + u"-wal"_s), testfiles::readFile(path + u"-wal"_s));
        } else {
            QVERIFY2(copy.errorString().contains(u"kept changing"_s), qPrintable(copy.errorString()));
            QCOMPARE(copy.path(), QString());
        }
    }

    void unreadableHistory_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<qint64>("databaseSize");
        QTest::addColumn<qint64>("logSize");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no database") << QString() << 0LL << -1LL << u"does not exist"_s;
        QTest::newRow("database over the limit")
            << u"places.sqlite"_s << DatabaseCopy::MaximumDatabaseSize + 1 << -1LL << u"larger"_s;
        QTest::newRow("log over the limit")
            << u"places.sqlite"_s << 4096LL << DatabaseCopy::MaximumLogSize + 1 << u"larger"_s;
        QTest::newRow("not a database") << u"places.sqlite"_s << 4096LL << -1LL << u"not a database"_s;
    }
    void unreadableHistory()
    {
        QFETCH(QString, file);
        QFETCH(qint64, databaseSize);
        QFETCH(qint64, logSize);
        QFETCH(QString, reason);
        QTemporaryDir profile;
        const QString path = profile.filePath(u"places.sqlite"_s);
        // Sparse files: the limits are checked before anything is read.
        if (!file.isEmpty()) {
            QFile database(path);
            QVERIFY(database.open(QIODevice::WriteOnly));
            database.write("not a database, but garbage bytes");
            QVERIFY(database.resize(databaseSize));
        }
        if (logSize >= 0) {
            QFile log(path + u"-wal"_s);
            QVERIFY(log.open(QIODevice::WriteOnly));
            QVERIFY(log.resize(logSize));
        }
        MozillaHistoryReader reader;
        QVERIFY(!reader.newestVisitOfTitle(path, u"Anything"_s));
        QVERIFY2(reader.errorString().contains(reason), qPrintable(reader.errorString()));
    }

    // A pipe in place of one of the profile's files the capture reads: that source counts as unreadable
    // at once and the other one answers.
    void pipeInTheProfileDoesNotHangTheCapture_data()
    {
        QTest::addColumn<QString>("pipe");
        QTest::addColumn<QString>("expected");
        const QString stored = u"http://e/?t=stored"_s;
        const QString visited = u"http://e/?t=visited"_s;
        QTest::newRow("history") << u"places.sqlite"_s << stored;
        QTest::newRow("history's log") << u"places.sqlite-wal"_s << stored;
        QTest::newRow("session store") << u"sessionstore-backups/recovery.jsonlz4"_s << visited;
    }
    void pipeInTheProfileDoesNotHangTheCapture()
    {
        QFETCH(QString, pipe);
        QFETCH(QString, expected);
        QTemporaryDir root;
        const HeldProfile profile(root.filePath(u"abcd.default-esr"_s));
        {
            sqlite::Database db
                = sqlite::Database::open(makePlacesDatabase(profile.path()), sqlite::OpenMode::ReadWrite);
            addVisit(db, u"http://e/?t=visited"_s, u"Same title"_s, 1'000);
        }
        const qint64 collected = QDateTime::currentMSecsSinceEpoch() + 1'000;
        QVERIFY(writeFile(
            profile.filePath(u"sessionstore-backups/recovery.jsonlz4"_s),
            sessionStore({ { { u"http://e/?t=stored"_s, u"Same title"_s }, {}, true } }, collected)));
        const QString pipePath = profile.filePath(pipe);
        QFile::remove(pipePath);
        QCOMPARE(::mkfifo(QFile::encodeName(pipePath).constData(), 0600), 0);

        auto reply = std::make_shared<std::optional<WindowInfoReply>>();
        QVERIFY(testfiles::finishesWithin(5000, [reply] {
            *reply = MozillaPageQuery().requestWindowInfo(
                { u"Firefox"_s, HeldProfile::processId(), u"Same title"_s, TitleForm::Whole, {} });
        }));
        QVERIFY(reply->has_value());
        QCOMPARE((*reply)->address, expected);
    }
};

QTEST_GUILESS_MAIN(TestMozillaHistory)
#include "tst_mozillahistory.moc"
