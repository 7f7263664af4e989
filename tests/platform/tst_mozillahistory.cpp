// The capture's second source of a Firefox page: the profile's history, read from a private copy of
// a database that the browser holds, and the choice between it and the session store.

#include "base/sqlite/sqlitedatabase.h"
#include "base/sqlite/sqlitestatement.h"
#include "base/sqlite/sqlitetransaction.h"
#include "platform/linux/databasecopy.h"
#include "platform/linux/mozillahistory.h"
#include "platform/linux/mozillapagequery.h"
#include "platform/linux/mozillapreferences.h"
#include "tests/common/finisheswithin.h"
#include "tests/common/testfiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <lz4.h>
#include <memory>
#include <sys/stat.h>

using namespace vellumite;
using vellumite::testfiles::writeFile;
using namespace Qt::StringLiterals;

namespace {

constexpr int LinkVisit = 1;
constexpr int DownloadVisit = 7;
constexpr int FramedLinkVisit = 8;

// A places database with Firefox's own schema (a profile that firefox-esr made), no history yet.
QString makePlacesDatabase(const QString &folder)
{
    const QString path = QDir(folder).filePath(u"places.sqlite"_s);
    QFile::copy(QStringLiteral(VELLUMITE_TEST_DATA "/places/esr153-places.sqlite"), path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

// Adds a place, when new, and one visit of it at `atMs`, as the browser records them.
void addVisit(sqlite::Database &db, const QString &url, const QString &title, qint64 atMs,
              int type = LinkVisit)
{
    sqlite::Statement place = db.prepare("INSERT OR IGNORE INTO moz_places (url, title, rev_host, guid) "
                                         "VALUES (?1, ?2, 'x', ?1)");
    place.bind(1, url);
    if (title.isNull())
        place.bindNull(2);
    else
        place.bind(2, title);
    place.execute();
    sqlite::Statement visit = db.prepare("INSERT INTO moz_historyvisits (place_id, visit_date, visit_type) "
                                         "SELECT id, ?2, ?3 FROM moz_places WHERE url = ?1");
    visit.bind(1, url);
    visit.bind(2, atMs * 1000);
    visit.bind(3, qint64(type));
    visit.execute();
}

// A session store whose one window shows `url`, collected at `collectedAtMs`.
QByteArray sessionStore(const QString &url, const QString &title, qint64 collectedAtMs)
{
    const QJsonObject entry { { u"url"_s, url }, { u"title"_s, title } };
    const QJsonObject tab { { u"index"_s, 1 }, { u"entries"_s, QJsonArray { entry } } };
    const QJsonObject window { { u"selected"_s, 1 }, { u"tabs"_s, QJsonArray { tab } } };
    const QJsonObject session { { u"lastUpdate"_s, collectedAtMs } };
    const QByteArray json
        = QJsonDocument(QJsonObject { { u"windows"_s, QJsonArray { window } }, { u"session"_s, session } })
              .toJson(QJsonDocument::Compact);
    QByteArray block(LZ4_compressBound(int(json.size())), '\0');
    block.resize(LZ4_compress_default(json.constData(), block.data(), int(json.size()), int(block.size())));
    char size[4];
    qToLittleEndian<quint32>(quint32(json.size()), size);
    return QByteArray("mozLz40\0", 8) + QByteArray(size, 4) + block;
}

} // namespace

class TestMozillaHistory : public QObject
{
    Q_OBJECT

private slots:
    void choiceBetweenTheSources_data()
    {
        QTest::addColumn<QString>("storedUrl");
        QTest::addColumn<qint64>("collectedAt");
        QTest::addColumn<qint64>("interval");
        QTest::addColumn<QString>("visitedUrl");
        QTest::addColumn<qint64>("visitedAt");
        QTest::addColumn<qint64>("browserStarted");
        QTest::addColumn<QString>("expected");
        const QString a = u"http://e/?t=a"_s;
        const QString c = u"http://e/?t=c"_s;
        const qint64 started = 50'000;
        QTest::newRow("neither source")
            << QString() << 0LL << 15'000LL << QString() << 0LL << started << QString();
        QTest::newRow("store only") << a << 100'000LL << 15'000LL << QString() << 0LL << started << a;
        QTest::newRow("history only") << QString() << 0LL << 15'000LL << c << 100'000LL << started << c;
        QTest::newRow("page of the same title visited after the store was collected")
            << a << 100'000LL << 15'000LL << c << 104'000LL << started << c;
        QTest::newRow("visit within the update interval before the collection")
            << a << 110'000LL << 15'000LL << c << 100'000LL << started << c;
        QTest::newRow("visit exactly the interval and the slack before: still the visit")
            << a << 116'000LL << 15'000LL << c << 100'000LL << started << c;
        QTest::newRow("back to an earlier page: store collected well after the last visit")
            << a << 116'001LL << 15'000LL << c << 100'000LL << started << a;
        QTest::newRow("a user's short interval lets the store count sooner")
            << a << 102'001LL << 1'000LL << c << 100'000LL << started << a;
        QTest::newRow("store of an earlier run of the browser")
            << a << 40'000LL << 15'000LL << QString() << 0LL << started << QString();
        QTest::newRow("earlier run's store against an older visit")
            << a << 40'000LL << 15'000LL << c << 10'000LL << started << c;
        QTest::newRow("browser start unknown: the store counts")
            << a << 40'000LL << 15'000LL << QString() << 0LL << 0LL << a;
    }
    void choiceBetweenTheSources()
    {
        QFETCH(QString, storedUrl);
        QFETCH(qint64, collectedAt);
        QFETCH(qint64, interval);
        QFETCH(QString, visitedUrl);
        QFETCH(qint64, visitedAt);
        QFETCH(qint64, browserStarted);
        QFETCH(QString, expected);
        std::optional<StoredPage> stored;
        if (!storedUrl.isEmpty())
            stored = StoredPage { { storedUrl, u"Same title"_s }, collectedAt, interval };
        std::optional<HistoryVisit> visited;
        if (!visitedUrl.isEmpty())
            visited = HistoryVisit { visitedUrl, u"Same title"_s, visitedAt };
        const std::optional<WindowInfoReply> reply = chooseShownPage(stored, visited, browserStarted);
        QCOMPARE(reply.has_value(), !expected.isEmpty());
        if (reply) {
            QCOMPARE(reply->address, expected);
            QCOMPARE(reply->title, u"Same title"_s);
        }
    }

    void newestVisitOfTitle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("url");
        QTest::addColumn<qint64>("visitedAt");
        QTest::newRow("newest of two pages of one title") << u"Same title"_s << u"http://e/?t=c"_s << 2'000LL;
        QTest::newRow("newest of a page's visits") << u"Often"_s << u"http://often/"_s << 5'000LL;
        QTest::newRow("a link followed in a frame does not count")
            << u"Framed"_s << u"http://framed/top"_s << 1'000LL;
        QTest::newRow("untitled page by its address")
            << u"http://untitled/"_s << u"http://untitled/"_s << 700LL;
        QTest::newRow("titles are compared exactly") << u"same title"_s << QString() << 0LL;
        QTest::newRow("a download is no page") << u"report.pdf"_s << QString() << 0LL;
        QTest::newRow("never visited") << u"Elsewhere"_s << QString() << 0LL;
    }
    void newestVisitOfTitle()
    {
        QFETCH(QString, title);
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
        const std::optional<HistoryVisit> visit = reader.newestVisitOfTitle(path, title);
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
        const QDir profile(root.filePath(u"abcd.default-esr"_s));
        QVERIFY(profile.mkpath(u"sessionstore-backups"_s));
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
        QVERIFY(QFile::link(u"127.0.0.1:+4242"_s, profile.filePath(u"lock"_s)));
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        QVERIFY(writeFile(profile.filePath(u"sessionstore-backups/recovery.jsonlz4"_s),
                          sessionStore(u"http://e/?t=a"_s, u"Same title"_s, now)));
        addVisit(browser, u"http://e/?t=e"_s, u"Same title"_s, now + 100);
        const MozillaPageQuery query({ root.path() });
        const std::optional<WindowInfoReply> reply
            = query.requestWindowInfo({ u"Firefox"_s, 4242, u"Same title"_s });
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
        QTest::newRow("user.js") << u"user.js"_s << stored;
        QTest::newRow("prefs.js") << u"prefs.js"_s << stored;
    }
    void pipeInTheProfileDoesNotHangTheCapture()
    {
        QFETCH(QString, pipe);
        QFETCH(QString, expected);
        QTemporaryDir root;
        const QDir profile(root.filePath(u"abcd.default-esr"_s));
        QVERIFY(profile.mkpath(u"sessionstore-backups"_s));
        QVERIFY(QFile::link(u"127.0.0.1:+4242"_s, profile.filePath(u"lock"_s)));
        {
            sqlite::Database db
                = sqlite::Database::open(makePlacesDatabase(profile.path()), sqlite::OpenMode::ReadWrite);
            addVisit(db, u"http://e/?t=visited"_s, u"Same title"_s, 1'000);
        }
        const qint64 collected = QDateTime::currentMSecsSinceEpoch() + 1'000;
        QVERIFY(writeFile(profile.filePath(u"sessionstore-backups/recovery.jsonlz4"_s),
                          sessionStore(u"http://e/?t=stored"_s, u"Same title"_s, collected)));
        const QString pipePath = profile.filePath(pipe);
        QFile::remove(pipePath);
        QCOMPARE(::mkfifo(QFile::encodeName(pipePath).constData(), 0600), 0);

        auto reply = std::make_shared<std::optional<WindowInfoReply>>();
        const QString folder = root.path();
        QVERIFY(testfiles::finishesWithin(5000, [reply, folder] {
            *reply = MozillaPageQuery({ folder }).requestWindowInfo({ u"Firefox"_s, 4242, u"Same title"_s });
        }));
        QVERIFY(reply->has_value());
        QCOMPARE((*reply)->address, expected);
    }

    void sessionStoreIntervalFromThePreferences_data()
    {
        QTest::addColumn<QByteArray>("userJs");
        QTest::addColumn<QByteArray>("prefsJs");
        QTest::addColumn<qint64>("expected");
        const QByteArray prefs = "// Mozilla User Preferences\n"
                                 "user_pref(\"browser.sessionstore.intervalx\", 7);\n"
                                 "user_pref(\"browser.sessionstore.interval\", 60000);\n";
        QTest::newRow("prefs.js") << QByteArray() << prefs << 60'000LL;
        QTest::newRow("user.js wins")
            << QByteArray("user_pref(\"browser.sessionstore.interval\", 1000);\n") << prefs << 1'000LL;
        QTest::newRow("a line commented out does not count")
            << QByteArray("// user_pref(\"browser.sessionstore.interval\", 1000);\n") << prefs << 60'000LL;
        QTest::newRow("the last line counts")
            << QByteArray("user_pref(\"browser.sessionstore.interval\", 1);\n"
                          "  user_pref( \"browser.sessionstore.interval\" , 2 );\n")
            << QByteArray() << 2LL;
        QTest::newRow("not set: the browser's default") << QByteArray() << QByteArray() << -1LL;
        QTest::newRow("not a number")
            << QByteArray("user_pref(\"browser.sessionstore.interval\", \"x\");\n") << QByteArray() << -1LL;
    }
    void sessionStoreIntervalFromThePreferences()
    {
        QFETCH(QByteArray, userJs);
        QFETCH(QByteArray, prefsJs);
        QFETCH(qint64, expected);
        QTemporaryDir profile;
        if (!userJs.isEmpty())
            QVERIFY(writeFile(profile.filePath(u"user.js"_s), userJs));
        if (!prefsJs.isEmpty())
            QVERIFY(writeFile(profile.filePath(u"prefs.js"_s), prefsJs));
        const std::optional<qint64> value
            = mozillaIntegerPreference(profile.path(), u"browser.sessionstore.interval");
        QCOMPARE(value.value_or(-1), expected);
    }
};

QTEST_GUILESS_MAIN(TestMozillaHistory)
#include "tst_mozillahistory.moc"
