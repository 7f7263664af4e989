#include "base/sqlite/sqlitedatabase.h"
#include "base/sqlite/sqlitestatement.h"
#include "exchange/core/exchangestores.h"
#include "exchange/core/placesdatabase.h"
#include "exchange/core/placesurl.h"
#include "main/core/bookmarktree.h"
#include "main/core/browserdetection.h"
#include "tests/common/finisheswithin.h"
#include "tests/common/testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <sys/stat.h>

using namespace vellumite;
using namespace Qt::StringLiterals;

namespace {

const QString dataDir = QStringLiteral(VELLUMITE_TEST_DATA "/places/");

// A writable copy of a fixture database.
QString copyFixture(const QTemporaryDir &dir, const QString &name)
{
    const QString target = dir.filePath(name);
    QFile::remove(target);
    if (!QFile::copy(dataDir + name, target))
        return QString();
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return target;
}

// A second connection, as Firefox or a test would hold it.
struct Peer
{
    explicit Peer(const QString &path)
        : db(sqlite::Database::open(path, sqlite::OpenMode::ReadWrite))
    { }
    qint64 number(const QByteArray &sql)
    {
        sqlite::Statement s = db.prepare(sql);
        return s.step() ? s.int64At(0) : -1;
    }
    QString text(const QByteArray &sql)
    {
        sqlite::Statement s = db.prepare(sql);
        return s.step() ? s.textAt(0) : u"<none>"_s;
    }
    // Every row of the two tables, so a test can tell that nothing changed.
    QString dump()
    {
        QString all;
        for (const char *sql :
             { "SELECT id, type, fk, parent, position, title FROM moz_bookmarks ORDER BY id",
               "SELECT id, url FROM moz_places ORDER BY id" }) {
            sqlite::Statement s = db.prepare(sql);
            while (s.step()) {
                for (int c = 0; c < 6; ++c)
                    all += s.textAt(c) + u'|';
                all += u'\n';
            }
        }
        return all;
    }
    sqlite::Database db;
};

BookmarkNode *addCategory(BookmarkNode &parent, const QString &name)
{
    return parent.appendChild(std::make_unique<BookmarkNode>(makeCategoryRecord(name)));
}

void addBookmark(BookmarkNode &parent, const QString &title, const QString &link)
{
    parent.appendChild(std::make_unique<BookmarkNode>(makeBookmarkRecord(title, link, 1)));
}

QStringList names(const BookmarkNode &parent)
{
    QStringList list;
    for (int i = 0; i < parent.childCount(); ++i)
        list << parent.child(i)->record.name();
    return list;
}

} // namespace

class TestPlacesDatabase : public QObject
{
    Q_OBJECT

private slots:
    void urlHashAsFirefoxComputesIt_data()
    {
        QTest::addColumn<qint64>("hash");
        QTest::addColumn<QByteArray>("url");
        const QList<QByteArray> lines = testfiles::readFile(dataDir + u"esr153-url_hash.tsv"_s).split('\n');
        QVERIFY(lines.size() > 2);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype tab = lines[i].indexOf('\t');
            if (tab < 0)
                continue;
            QTest::newRow(lines[i].mid(tab + 1, 40).constData())
                << lines[i].first(tab).toLongLong() << lines[i].mid(tab + 1);
        }
    }
    void urlHashAsFirefoxComputesIt()
    {
        QFETCH(qint64, hash);
        QFETCH(QByteArray, url);
        QCOMPARE(placesUrlHash(url), hash);
    }

    void urlParts_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("hostAndPort");
        QTest::addColumn<QString>("revHost");
        QTest::newRow("upper-case host")
            << u"http://Example.COM/Mixed/Case"_s << u"http://"_s << u"example.com"_s << u"moc.elpmaxe."_s;
        QTest::newRow("file without host")
            << u"file:///home/user/notes.html"_s << u"file://"_s << QString() << u"."_s;
        QTest::newRow("port and user") << u"https://me:pw@host.net:8080/x?y#z"_s << u"https://"_s
                                       << u"host.net:8080"_s << u"ten.tsoh."_s;
        QTest::newRow("no authority") << u"about:blank"_s << u"about:"_s << QString() << u"."_s;
        QTest::newRow("no scheme") << u"www.example.com"_s << QString() << QString() << u"."_s;
    }
    void urlParts()
    {
        QFETCH(QString, url);
        QFETCH(QString, prefix);
        QFETCH(QString, hostAndPort);
        QFETCH(QString, revHost);
        const PlacesUrlParts parts = splitPlacesUrl(url);
        QCOMPARE(parts.prefix, prefix);
        QCOMPARE(parts.hostAndPort, hostAndPort);
        QCOMPARE(reversedHost(parts.host), revHost);
    }

    void importCurrentFirefox()
    {
        QTemporaryDir dir;
        PlacesDatabase places;
        QCOMPARE(places.open(copyFixture(dir, u"esr153-places.sqlite"_s)), QString());
        BookmarkNode staging;
        QCOMPARE(places.read(staging, 3), QString());
        QCOMPARE(names(staging),
                 QStringList({ u"Example"_s, u"Firefox"_s, u"日本"_s, u"Café"_s, u"FTP file"_s,
                               u"Local file"_s, u"Bücher IDN"_s, u"Mixed case"_s, u"Long URL"_s }));
        const TBookmark &first = staging.child(0)->record;
        QCOMPARE(first.Link, u"http://example.com/"_s);
        QCOMPARE(first.ImportSource, qint32(FromFirefox));
        QCOMPARE(first.ImageIndex, 3);
        QCOMPARE(first.LinkState, LinkNotVerified);
        QCOMPARE(first.PriorityColor, PriorityLow);
        QVERIFY(first.Editable);
        QVERIFY(staging.child(8)->record.Link.size() > 1500);
    }

    void importFirefox3SkipsQueriesAndSeparators()
    {
        QTemporaryDir dir;
        PlacesDatabase places;
        QCOMPARE(places.open(copyFixture(dir, u"firefox3-places.sqlite"_s)), QString());
        BookmarkNode staging;
        QCOMPARE(places.read(staging, 1), QString());
        // "Recently Bookmarked" and "Recent Tags" are place: queries; two separators are no entries.
        QCOMPARE(names(staging),
                 QStringList({ u"Get Bookmark Add-ons"_s, u"Ubuntu and Free Software links"_s,
                               u"Mozilla Firefox"_s }));
        QCOMPARE(staging.child(1)->record.ImportSource, qint32(FromFirefox));
        QCOMPARE(staging.child(1)->record.LinkState, LinkCategory);
        QCOMPARE(staging.child(1)->childCount(), 4);
        QCOMPARE(staging.child(2)->child(0)->record.Link, u"http://www.mozilla.com/en-US/firefox/help/"_s);
    }

    void nullTitleAndEmptyStartFolder()
    {
        QTemporaryDir dir;
        const QString path = copyFixture(dir, u"esr153-places.sqlite"_s);
        {
            Peer peer(path);
            peer.db.execute("UPDATE moz_bookmarks SET title = NULL WHERE id = 7");
        }
        PlacesDatabase places;
        QCOMPARE(places.open(path), QString());
        BookmarkNode staging;
        QCOMPARE(places.read(staging, 1), QString());
        QCOMPARE(staging.child(0)->record.Description, QString());
        {
            Peer peer(path);
            peer.db.execute("DELETE FROM moz_bookmarks WHERE parent = 2");
        }
        BookmarkNode empty;
        QCOMPARE(places.read(empty, 1), QString());
        QCOMPARE(empty.childCount(), 0);
    }

    void exportFillsWhatFirefoxNeeds()
    {
        QTemporaryDir dir;
        const QString path = copyFixture(dir, u"esr153-places.sqlite"_s);
        BookmarkNode root(makeRootRecord());
        addBookmark(root, u"Same place"_s, u"http://example.com/"_s);
        BookmarkNode *folder = addCategory(root, u"Projekte 😀"_s);
        addBookmark(*folder, u"New"_s, u"https://Neu.Example.net:8443/a"_s);
        addBookmark(*folder, u"new"_s, u"https://ignored.example/"_s); // same name, letter case aside
        addBookmark(*folder, u"Other case link"_s, u"HTTP://EXAMPLE.COM/"_s);
        addBookmark(*folder, u"No link"_s, QString());

        const qint64 before = QDateTime::currentMSecsSinceEpoch() * 1000;
        PlacesDatabase places;
        QCOMPARE(places.open(path), QString());
        QCOMPARE(places.write(root, ExportMode::Merge), QString());
        places.close();
        const qint64 after = QDateTime::currentMSecsSinceEpoch() * 1000;

        Peer peer(path);
        QCOMPARE(peer.number("SELECT count(*) FROM moz_bookmarks WHERE parent = 2"), 11);
        QCOMPARE(peer.number("SELECT position FROM moz_bookmarks WHERE title = 'Same place'"), 9);
        const qint64 folderId = peer.number("SELECT id FROM moz_bookmarks WHERE type = 2 AND parent = 2");
        QCOMPARE(peer.number("SELECT position FROM moz_bookmarks WHERE type = 2 AND parent = 2"), 10);
        QCOMPARE(peer.text("SELECT title FROM moz_bookmarks WHERE type = 2 AND parent = 2"), u"Projekte 😀"_s);
        QCOMPARE(peer.text("SELECT group_concat(position) FROM moz_bookmarks WHERE parent = "
                           + QByteArray::number(folderId)),
                 u"0,1"_s);
        QCOMPARE(
            peer.text("SELECT group_concat(title, '|') FROM (SELECT title FROM moz_bookmarks WHERE parent = "
                      + QByteArray::number(folderId) + " ORDER BY position)"),
            u"New|Other case link"_s);

        const QRegularExpression guid(u"^[A-Za-z0-9_-]{12}$"_s);
        sqlite::Statement rows = peer.db.prepare("SELECT guid, dateAdded, lastModified, syncStatus, "
                                                 "syncChangeCounter FROM moz_bookmarks WHERE id > 15");
        int count = 0;
        while (rows.step()) {
            ++count;
            QVERIFY(guid.match(rows.textAt(0)).hasMatch());
            QVERIFY(rows.int64At(1) >= before && rows.int64At(1) <= after);
            QCOMPARE(rows.int64At(2), rows.int64At(1));
            QCOMPARE(rows.int64At(3), 0);
            QCOMPARE(rows.int64At(4), 1);
        }
        QCOMPARE(count, 4);
        QCOMPARE(peer.number("SELECT count(DISTINCT guid) FROM moz_bookmarks"),
                 peer.number("SELECT count(*) FROM moz_bookmarks"));
        QVERIFY(peer.number("SELECT lastModified FROM moz_bookmarks WHERE id = 2") >= before);
        QCOMPARE(peer.number("SELECT syncChangeCounter FROM moz_bookmarks WHERE id = 2"), 4);

        // Exactly the same address shares the place; another spelling gets its own.
        QCOMPARE(peer.number("SELECT foreign_count FROM moz_places WHERE url = 'http://example.com/'"), 2);
        QCOMPARE(peer.number("SELECT count(*) FROM moz_places"), 11);
        sqlite::Statement place
            = peer.db.prepare("SELECT p.url_hash, p.rev_host, p.foreign_count, p.frecency, p.guid, o.prefix, "
                              "o.host, p.recalc_frecency "
                              "FROM moz_places p JOIN moz_origins o ON o.id = p.origin_id WHERE p.url = "
                              "'https://Neu.Example.net:8443/a'");
        QVERIFY(place.step());
        QCOMPARE(place.int64At(0), placesUrlHash("https://Neu.Example.net:8443/a"));
        QCOMPARE(place.textAt(1), u"ten.elpmaxe.uen."_s);
        QCOMPARE(place.int64At(2), 1);
        QCOMPARE(place.int64At(3), -1);
        QVERIFY(guid.match(place.textAt(4)).hasMatch());
        QCOMPARE(place.textAt(5), u"https://"_s);
        QCOMPARE(place.textAt(6), u"neu.example.net:8443"_s);
        QCOMPARE(place.int64At(7), 1);
        QCOMPARE(peer.number("SELECT origin_id FROM moz_places WHERE url = 'HTTP://EXAMPLE.COM/'"), 1);
    }

    void exportTwiceAddsNothing_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::newRow("current") << u"esr153-places.sqlite"_s;
        QTest::newRow("Firefox 3") << u"firefox3-places.sqlite"_s;
    }
    void exportTwiceAddsNothing()
    {
        QFETCH(QString, fixture);
        QTemporaryDir dir;
        const QString path = copyFixture(dir, fixture);
        BookmarkNode root(makeRootRecord());
        BookmarkNode *folder = addCategory(root, u"Mozilla FIREFOX"_s); // joins the Firefox 3 folder
        addBookmark(*folder, u"Mine"_s, u"http://mine.example/"_s);
        addBookmark(root, u"Top"_s, u"http://top.example/"_s);
        PlacesDatabase places;
        QCOMPARE(places.open(path), QString());
        QCOMPARE(places.write(root, ExportMode::Merge), QString());
        Peer peer(path);
        const QString once = peer.dump();
        QCOMPARE(places.write(root, ExportMode::Merge), QString());
        QCOMPARE(peer.dump(), once);
        BookmarkNode staging;
        QCOMPARE(places.read(staging, 1), QString());
        QVERIFY(names(staging).contains(u"Top"_s));
    }

    void replaceKeepsFirefoxOwnRows()
    {
        QTemporaryDir dir;
        const QString path = copyFixture(dir, u"firefox3-places.sqlite"_s);
        {
            Peer peer(path);
            // A bookmark without title inside a sub-folder keeps that folder; a place that the toolbar also
            // uses stays.
            peer.db.execute("UPDATE moz_bookmarks SET title = '' WHERE id = 13");
            peer.db.execute(
                "INSERT INTO moz_bookmarks (type, fk, parent, position, title) VALUES (1, 4, 3, 9, 'x')");
        }
        BookmarkNode root(makeRootRecord());
        addBookmark(root, u"Mine"_s, u"http://mine.example/"_s);
        PlacesDatabase places;
        QCOMPARE(places.open(path), QString());
        QCOMPARE(places.write(root, ExportMode::Replace), QString());

        Peer peer(path);
        QCOMPARE(peer.text("SELECT group_concat(id || ':' || position, ' ') FROM "
                           "(SELECT id, position FROM moz_bookmarks WHERE parent = 2 ORDER BY position)"),
                 u"6:0 7:1 11:2 103:3"_s);
        QCOMPARE(peer.number("SELECT count(*) FROM moz_bookmarks WHERE type = 3"), 0);
        QCOMPARE(peer.text("SELECT group_concat(id) FROM moz_bookmarks WHERE parent = 11"), u"13"_s);
        QCOMPARE(peer.number("SELECT count(*) FROM moz_bookmarks WHERE id = 16"), 0);
        QCOMPARE(peer.number("SELECT count(*) FROM moz_places WHERE id IN (1, 2, 4, 5)"), 4);
        QCOMPARE(peer.number("SELECT count(*) FROM moz_places WHERE id = 8"), 0);
        QCOMPARE(peer.number("SELECT count(*) FROM moz_bookmarks WHERE parent = 3"),
                 4); // the toolbar is not touched
    }

    // Firefox keeps its places database in exclusive locking mode while it runs: no other connection
    // may read it, let alone write.
    void heldDatabaseGivesTheMessageAndChangesNothing()
    {
        QTemporaryDir dir;
        const QString path = copyFixture(dir, u"esr153-places.sqlite"_s);
        const QByteArray bytes = testfiles::readFile(path);
        BookmarkNode root(makeRootRecord());
        addBookmark(root, u"Mine"_s, u"http://mine.example/"_s);
        PlacesDatabase opened; // connected before Firefox started
        QCOMPARE(opened.open(path), QString());
        {
            Peer firefox(path);
            firefox.db.execute("PRAGMA locking_mode = EXCLUSIVE");
            firefox.db.execute("BEGIN EXCLUSIVE");
            firefox.db.execute("COMMIT");

            for (const ExportMode mode : { ExportMode::Replace, ExportMode::Merge }) {
                QCOMPARE(opened.write(root, mode), PlacesDatabase::lockedMessage());
                QCOMPARE(opened.lastError(), PlacesError::Locked);
            }
            BookmarkNode staging;
            QCOMPARE(opened.read(staging, 1), u"The database is locked. Please, close a Firefox browser."_s);
            QCOMPARE(opened.lastError(), PlacesError::Locked);
            QCOMPARE(staging.childCount(), 0);
            PlacesDatabase later; // connecting while Firefox runs
            QCOMPARE(later.open(path), PlacesDatabase::lockedMessage());
            QCOMPARE(later.lastError(), PlacesError::Locked);
        }
        QCOMPARE(testfiles::readFile(path), bytes);
        // Firefox closed: the same connection reads it.
        BookmarkNode staging;
        QCOMPARE(opened.read(staging, 1), QString());
        QCOMPARE(opened.lastError(), PlacesError::None);
        QVERIFY(staging.childCount() > 0);
    }

    void failureMidExportRollsBack_data()
    {
        QTest::addColumn<ExportMode>("mode");
        QTest::newRow("replace") << ExportMode::Replace;
        QTest::newRow("merge") << ExportMode::Merge;
    }
    void failureMidExportRollsBack()
    {
        QFETCH(ExportMode, mode);
        QTemporaryDir dir;
        const QString path = copyFixture(dir, u"firefox3-places.sqlite"_s);
        Peer peer(path);
        peer.db.execute("CREATE TRIGGER fail AFTER INSERT ON moz_bookmarks WHEN NEW.title = 'Boom' "
                        "BEGIN SELECT RAISE(ABORT, 'injected'); END");
        const QString before = peer.dump();
        BookmarkNode root(makeRootRecord());
        for (int i = 0; i < 50; ++i)
            addBookmark(root, u"B%1"_s.arg(i), u"http://b%1.example/"_s.arg(i));
        addBookmark(root, u"Boom"_s, u"http://boom.example/"_s);
        PlacesDatabase places;
        QCOMPARE(places.open(path), QString());
        const QString message = places.write(root, mode);
        QVERIFY2(message.startsWith(u"The Firefox places database \""_s + path + u"\" cannot be used: "_s),
                 qPrintable(message));
        QVERIFY(message.contains(u"injected"_s));
        QCOMPARE(places.lastError(), PlacesError::Failed);
        QCOMPARE(peer.dump(), before);
    }

    // A file that is no places database, or a damaged one, is named in a message of its own, whether
    // it is read or written, and stays exactly as it was: no byte changed, no journal left beside it.
    void unusableFileGivesItsOwnMessage_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<PlacesError>("error");
        const QByteArray places = testfiles::readFile(dataDir + u"esr153-places.sqlite"_s);
        QVERIFY(places.size() > 20 * 32768);
        QTest::newRow("empty") << QByteArray() << PlacesError::NotPlaces;
        QTest::newRow("text") << QByteArray("not a database\n") << PlacesError::NotPlaces;
        QByteArray garbage(64 * 1024, '\0');
        for (qsizetype i = 0; i < garbage.size(); ++i)
            garbage[i] = char((i * 7919 + 13) % 251);
        QTest::newRow("garbage") << garbage << PlacesError::NotPlaces;
        QTest::newRow("bookmark file named places.sqlite")
            << QByteArray("<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<DL><p>\r\n</DL><p>\r\n")
            << PlacesError::NotPlaces;
        QTest::newRow("truncated to its first page") << places.first(32768) << PlacesError::Damaged;
        QTest::newRow("truncated to half") << places.first(places.size() / 2) << PlacesError::Damaged;
        // Page 10 is the root of moz_bookmarks.
        QByteArray overwritten = places;
        overwritten.replace(9 * 32768, 32768, garbage.first(32768));
        QTest::newRow("bookmarks table overwritten") << overwritten << PlacesError::Damaged;
    }
    void unusableFileGivesItsOwnMessage()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(PlacesError, error);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"places.sqlite"_s);
        QVERIFY(testfiles::writeFile(path, bytes));
        const QString expected = PlacesDatabase::failureMessage(error, path);
        QVERIFY(expected.contains(path));
        QVERIFY(expected != PlacesDatabase::lockedMessage());
        const auto folder = [&dir] { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); };

        BookmarkNode root(makeRootRecord());
        addBookmark(root, u"Mine"_s, u"http://mine.example/"_s);
        BrowserPaths paths;
        paths.PathFavFirefox = path;
        for (const ExportMode mode : { ExportMode::Replace, ExportMode::Merge }) {
            // As the run uses it: a store that opens the database for its step.
            const std::unique_ptr<ExchangeStore> store
                = makeExchangeStore(StoreFormat::PlacesDatabase, paths);
            BookmarkNode staging;
            const StepResult read = store->read(staging, 1);
            QCOMPARE(read.outcome, StepResult::Outcome::DatabaseFailure);
            QCOMPARE(read.text, expected);
            QCOMPARE(staging.childCount(), 0);
            const StepResult written = store->write(root, mode);
            QCOMPARE(written.outcome, StepResult::Outcome::DatabaseFailure);
            QCOMPARE(written.text, expected);

            PlacesDatabase places;
            QString result = places.open(path);
            if (result.isEmpty())
                result = places.read(staging, 1);
            QCOMPARE(result, expected);
            QCOMPARE(places.lastError(), error);
        }
        QCOMPARE(testfiles::readFile(path), bytes);
        QCOMPARE(folder(), QStringList { u"places.sqlite"_s });
    }

    // SQLite would wait for ever on a pipe in place of the database or of a file it opens beside it: the
    // open fails at once with the reason, and the pipe stays.
    void pipeInPlaceOfTheDatabaseOrItsLog_data()
    {
        QTest::addColumn<QString>("suffix"); // of the pipe's name after the database's
        QTest::newRow("database") << QString();
        QTest::newRow("write-ahead log") << u"-wal"_s;
        QTest::newRow("journal") << u"-journal"_s;
    }
    void pipeInPlaceOfTheDatabaseOrItsLog()
    {
        QFETCH(QString, suffix);
        QTemporaryDir dir;
        const QString path = copyFixture(dir, u"esr153-places.sqlite"_s);
        const QString pipePath = path + suffix;
        QFile::remove(pipePath);
        QCOMPARE(::mkfifo(QFile::encodeName(pipePath).constData(), 0600), 0);
        const QString reason = suffix.isEmpty()
            ? u"It is not a regular file"_s
            : u"esr153-places.sqlite"_s + suffix + u": It is not a regular file";

        auto places = std::make_shared<PlacesDatabase>();
        auto result = std::make_shared<QString>();
        QVERIFY(testfiles::finishesWithin(5000, [=] { *result = places->open(path); }));
        QCOMPARE(*result,
                 u"The Firefox places database \"%1\" cannot be used: %2. Nothing in it was changed."_s.arg(
                     path, reason));
        QCOMPARE(places->lastError(), PlacesError::Failed);
        QVERIFY(!places->isOpen());
        struct stat after;
        QCOMPARE(::lstat(QFile::encodeName(pipePath).constData(), &after), 0);
        QVERIFY(S_ISFIFO(after.st_mode));
    }

    void otherFailuresGiveSQLiteReason()
    {
        QTemporaryDir dir;
        PlacesDatabase places;
        const QString missing = dir.filePath(u"missing.sqlite"_s);
        QCOMPARE(places.open(missing),
                 u"The Firefox places database \"%1\" cannot be used: unable to open database file. "
                 "Nothing in it was changed."_s.arg(missing));
        QCOMPARE(places.lastError(), PlacesError::Failed);
        QVERIFY(!QFile::exists(missing));
        QVERIFY(!places.isOpen());
    }
};

QTEST_GUILESS_MAIN(TestPlacesDatabase)
#include "tst_placesdatabase.moc"
