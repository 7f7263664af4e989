// Import and export through the toolbar, the dialog and the real stores, over temporary files.

#include "base/sqlite/sqlitedatabase.h"
#include "exchange/dialog/tfrimportexport.h"
#include "main/tree/bookmarkmodel.h"
#include "main/tree/bookmarktreeview.h"
#include "main/window/statusbar.h"
#include "main/window/tform1.h"
#include "platform/fakes/fakeservices.h"
#include "tests/common/exchangedialogrun.h"
#include "tests/common/testfiles.h"
#include "tests/common/undeletablefile.h"

#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace vellumite;
using namespace Qt::StringLiterals;

namespace {

// A freshly started main window in a temporary program folder.
struct Window
{
    QTemporaryDir dir;
    FakeServices fakes = makeFakeServices();
    TForm1 form;

    Window() { form.FormCreate(fakes.services, dir.path()); }

    BookmarkNode &root() { return *form.tree().firstNode(); }

    QStringList names(const BookmarkNode &folder) const
    {
        QStringList result;
        for (int row = 0; row < folder.childCount(); ++row)
            result << folder.child(row)->record.name();
        return result;
    }

    // Bookmarks(Mine(Docs)); returns Mine.
    BookmarkNode *addMineWithDocs()
    {
        BookmarkModel &model = *form.model();
        BookmarkNode *mine
            = model.insertNode(&root(), std::make_unique<BookmarkNode>(makeCategoryRecord(u"Mine"_s)));
        model.insertNode(
            mine,
            std::make_unique<BookmarkNode>(makeBookmarkRecord(u"Docs"_s, u"https://doc.example/"_s, 1)));
        return mine;
    }

    // Opens the dialog from the toolbar, ticks every row, sets the merge box and presses the button once.
    void run(bool import, bool merge)
    {
        QVERIFY(runExchangeFromToolbar(form, import, merge));
        QVERIFY(!form.frImportExport);
        QVERIFY(!form.isTreeBusy());
    }
};

const QByteArray Hotlist = "Opera Hotlist version 2.0\r\nOptions: encoding = utf8, version=3\r\n\r\n"
                           "#FOLDER\r\n\tID=3\r\n\tNAME=Work\r\n\r\n"
                           "#URL\r\n\tID=4\r\n\tNAME=Qt\r\n\tURL=https://qt.io/\r\n\r\n-\r\n\r\n"
                           "#URL\r\n\tID=5\r\n\tNAME=News\r\n\tURL=https://news.example/\r\n\r\n";

// The hotlist above as the Opera store.
QString installHotlist(Window &window, const QTemporaryDir &dir)
{
    const QString path = dir.filePath(u"opera6.adr"_s);
    if (!testfiles::writeFile(path, Hotlist))
        return QString();
    window.form.browserPaths().OperaFavPath = path;
    return path;
}

// A writable copy of a places database fixture, with the Firefox of `version` installed.
QString installPlaces(Window &window, const QTemporaryDir &dir, const QString &version)
{
    const QString path = dir.filePath(u"places.sqlite"_s);
    if (!QFile::copy(QStringLiteral(VELLUMITE_TEST_DATA "/places/firefox3-places.sqlite"), path))
        return QString();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    BrowserPaths &paths = window.form.browserPaths();
    paths.PathFavFirefox = path;
    paths.PathToFirefox = dir.filePath(u"firefox"_s);
    window.fakes.productVersions->setVersion(paths.PathToFirefox, version);
    paths.firefoxStore = firefoxStoreForVersion(version);
    return path;
}

// The stores a deep chain is made in.
enum class DeepStore { Favorites, BookmarkFile, Opera, Places };

// A chain of `folders` folders named "0" to "9" over and over, the link "deep" in the deepest one, as
// the only store of the window.
bool installDeepChain(Window &window, const QTemporaryDir &dir, DeepStore store, int folders)
{
    BrowserPaths &paths = window.form.browserPaths();
    paths.PathToFirefox = dir.filePath(u"firefox"_s);
    const auto name = [](int i) { return QByteArray::number(i % 10); };
    switch (store) {
    case DeepStore::Favorites: {
        paths.ExplorerFavoritesPath = dir.filePath(u"Favorites"_s);
        QString chain = paths.ExplorerFavoritesPath;
        for (int i = 0; i < folders; ++i)
            chain += u'/' + QString::fromLatin1(name(i));
        return QDir().mkpath(chain)
            && testfiles::writeFile(chain + u"/deep.url"_s,
                                    "[InternetShortcut]\r\nURL=http://deep.example/\r\n");
    }
    case DeepStore::BookmarkFile: {
        paths.PathFavFirefox = dir.filePath(u"bookmarks.html"_s);
        window.fakes.productVersions->setVersion(paths.PathToFirefox, u"2.0.0.20"_s);
        QByteArray file = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
        for (int i = 0; i < folders; ++i)
            file += "<DT><H3 ADD_DATE=\"1\">" + name(i) + "</H3>\n<DL><p>\n";
        file += "<DT><A HREF=\"http://deep.example/\">deep</A>\n"
            + QByteArray("</DL><p>\n").repeated(folders + 1);
        return testfiles::writeFile(paths.PathFavFirefox, file);
    }
    case DeepStore::Opera: {
        paths.OperaFavPath = dir.filePath(u"opera6.adr"_s);
        QByteArray file = "Opera Hotlist version 2.0\nOptions: encoding = utf8, version=3\n\n";
        for (int i = 0; i < folders; ++i)
            file += "#FOLDER\n\tNAME=" + name(i) + "\n\n";
        file += "#URL\n\tNAME=deep\n\tURL=http://deep.example/\n\n" + QByteArray("-\n").repeated(folders);
        return testfiles::writeFile(paths.OperaFavPath, file);
    }
    case DeepStore::Places:
        break;
    }
    const QString path = installPlaces(window, dir, u"115.0"_s);
    if (path.isEmpty())
        return false;
    sqlite::Database db = sqlite::Database::open(path, sqlite::OpenMode::ReadWrite);
    db.execute("BEGIN");
    // The chain alone in the Bookmarks Menu.
    db.execute("DELETE FROM moz_bookmarks WHERE parent = 2");
    qint64 parent = 2;
    for (int i = 0; i < folders; ++i) {
        const QByteArray folder = "INSERT INTO moz_bookmarks (type, parent, position, title) VALUES (2, "
            + QByteArray::number(parent) + ", 0, '" + name(i) + "')";
        db.execute(folder);
        parent = db.lastInsertRowId();
    }
    db.execute("INSERT INTO moz_places (url) VALUES ('http://deep.example/')");
    const QByteArray link = "INSERT INTO moz_bookmarks (type, fk, parent, position, title) VALUES (1, "
        + QByteArray::number(db.lastInsertRowId()) + ", " + QByteArray::number(parent) + ", 0, 'deep')";
    db.execute(link);
    db.execute("COMMIT");
    return true;
}

} // namespace

class tst_ExchangeEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void operaImportReplacesTheTree();
    void operaExportThenMergingImport();
    void placesExportThenImport();
    void placesFailureKeepsTheTree_data();
    void placesFailureKeepsTheTree();
    void favoritesAndBookmarkFileRoundTrip();
    void deepStoresComeInWholeOrAreRefused_data();
    void deepStoresComeInWholeOrAreRefused();
    void clearThatLeavesEntriesStillWritesAndGoesOn();
    void runsKeepTheTreeExpansion();
};

void tst_ExchangeEndToEnd::operaImportReplacesTheTree()
{
    Window window;
    QTemporaryDir stores;
    const QString hotlist = installHotlist(window, stores);
    QVERIFY(!hotlist.isEmpty());
    window.form.model()->insertNode(&window.root(),
                                    std::make_unique<BookmarkNode>(makeCategoryRecord(u"Mine"_s)));

    window.run(true, false);
    QCOMPARE(window.names(window.root()), QStringList({ u"Work"_s, u"News"_s }));
    QCOMPARE(window.names(*window.root().child(0)), QStringList { u"Qt"_s });
    QCOMPARE(window.root().child(1)->record.Link, u"https://news.example/"_s);
    QCOMPARE(window.root().child(1)->record.ImportSource, qint32(FromOpera));
    QVERIFY(window.form.VT()->isExpanded(window.form.model()->indexFromNode(&window.root())));
    QVERIFY(window.form.StatusBar1()->panelText(3).contains(u'2'));
    QVERIFY(window.form.StatusBar1()->panelText(2).contains(u'1'));

    // A second import with merging adds nothing: every name is there already.
    window.run(true, true);
    QCOMPARE(window.names(window.root()), QStringList({ u"Work"_s, u"News"_s }));
}

void tst_ExchangeEndToEnd::operaExportThenMergingImport()
{
    Window window;
    QTemporaryDir stores;
    const QString hotlist = installHotlist(window, stores);
    QVERIFY(!hotlist.isEmpty());
    BookmarkNode *mine = window.addMineWithDocs();

    // Merging keeps the file's entries and adds the program's.
    window.run(false, true);
    const QByteArray merged = testfiles::readFile(hotlist);
    QVERIFY(merged.contains("NAME=Work"));
    QVERIFY(merged.contains("NAME=Mine"));
    QVERIFY(merged.contains("URL=https://doc.example/"));
    // The exported nodes keep the entries written for them.
    QVERIFY(mine->record.OperaBlock.contains(u"#FOLDER"_s));
    QCOMPARE(window.names(window.root()), QStringList { u"Mine"_s });

    // Replacing leaves only the program's tree in the file.
    window.run(false, false);
    const QByteArray replaced = testfiles::readFile(hotlist);
    QVERIFY(!replaced.contains("NAME=Work"));
    QVERIFY(replaced.contains("NAME=Docs"));

    // Read back into an emptied tree it gives the same tree.
    window.run(true, false);
    QCOMPARE(window.names(window.root()), QStringList { u"Mine"_s });
    QCOMPARE(window.names(*window.root().child(0)), QStringList { u"Docs"_s });
}

void tst_ExchangeEndToEnd::placesExportThenImport()
{
    Window window;
    QTemporaryDir stores;
    QVERIFY(!installPlaces(window, stores, u"3.6.13"_s).isEmpty());
    BookmarkModel &model = *window.form.model();
    BookmarkNode *mine = window.addMineWithDocs();

    window.run(false, false);
    QVERIFY(window.fakes.messages->messages().isEmpty());

    model.removeNode(mine);
    window.run(true, false);
    QVERIFY(window.fakes.messages->messages().isEmpty());
    QCOMPARE(window.names(window.root()), QStringList { u"Mine"_s });
    QCOMPARE(window.names(*window.root().child(0)), QStringList { u"Docs"_s });
    QCOMPARE(window.root().child(0)->child(0)->record.Link, u"https://doc.example/"_s);
}

// Each failure of the places database has its message, shown in a plain box; the tree and the file stay
// as they were.
void tst_ExchangeEndToEnd::placesFailureKeepsTheTree_data()
{
    QTest::addColumn<QString>("failure");
    QTest::newRow("held by Firefox") << u"locked"_s;
    QTest::newRow("truncated") << u"damaged"_s;
    QTest::newRow("no database") << u"text"_s;
}

void tst_ExchangeEndToEnd::placesFailureKeepsTheTree()
{
    QFETCH(QString, failure);
    Window window;
    QTemporaryDir stores;
    const QString path = installPlaces(window, stores, u"115.0"_s);
    QVERIFY(!path.isEmpty());
    QString expected = u"The database is locked. Please, close a Firefox browser."_s;
    if (failure == u"damaged"_s) {
        QVERIFY(testfiles::writeFile(path, testfiles::readFile(path).first(40000)));
        expected = u"The Firefox places database \"%1\" is damaged. Nothing in it was changed."_s.arg(path);
    } else if (failure == u"text"_s) {
        QVERIFY(testfiles::writeFile(path, "not a database"));
        expected
            = u"The file \"%1\" is not a Firefox places database. Nothing in it was changed."_s.arg(path);
    }
    const QByteArray bytes = testfiles::readFile(path);
    window.form.model()->insertNode(&window.root(),
                                    std::make_unique<BookmarkNode>(makeCategoryRecord(u"Mine"_s)));
    sqlite::Database firefox;
    if (failure == u"locked"_s) {
        firefox = sqlite::Database::open(path, sqlite::OpenMode::ReadWrite);
        firefox.execute("PRAGMA locking_mode = EXCLUSIVE");
        firefox.execute("BEGIN EXCLUSIVE");
        firefox.execute("COMMIT");
    }

    using Message = FakeMessageService::Message;
    const Message shown { FakeMessageService::Kind::Information, ApplicationTitle, expected };
    for (const bool import : { true, false }) {
        window.fakes.messages->clear();
        window.run(import, false);
        QCOMPARE(window.fakes.messages->messages(), QList<Message> { shown });
        // The failed read did not empty the tree.
        QCOMPARE(window.names(window.root()), QStringList { u"Mine"_s });
    }
    firefox.close();
    QCOMPARE(testfiles::readFile(path), bytes);
}

// Export to the Favorites folder and the bookmark file of an old Firefox, then import both into an
// emptied tree: the program's tree comes back once, the two stores merged by name.
void tst_ExchangeEndToEnd::favoritesAndBookmarkFileRoundTrip()
{
    Window window;
    QTemporaryDir stores;
    BrowserPaths &paths = window.form.browserPaths();
    paths.ExplorerFavoritesPath = stores.filePath(u"Favorites"_s);
    QVERIFY(QDir().mkpath(paths.ExplorerFavoritesPath));
    QVERIFY(testfiles::writeFile(paths.ExplorerFavoritesPath + u"/Stale.url"_s,
                                 "[InternetShortcut]\r\nURL=http://stale.example/\r\n"));
    paths.PathFavFirefox = stores.filePath(u"bookmarks.html"_s);
    QVERIFY(testfiles::writeFile(paths.PathFavFirefox, "<DL><p></DL><p>"));
    paths.PathToFirefox = stores.filePath(u"firefox"_s);
    window.fakes.productVersions->setVersion(paths.PathToFirefox, u"2.0.0.20"_s);
    window.addMineWithDocs();

    window.run(false, false);
    QVERIFY(window.fakes.messages->messages().isEmpty());
    QVERIFY(!QFile::exists(paths.ExplorerFavoritesPath + u"/Stale.url"_s));
    QVERIFY(QFile::exists(paths.ExplorerFavoritesPath + u"/Mine/Docs.url"_s));
    QVERIFY(testfiles::readFile(paths.PathFavFirefox).contains("https://doc.example/"));

    window.run(true, false);
    QVERIFY(window.fakes.messages->messages().isEmpty());
    QCOMPARE(window.names(window.root()), QStringList { u"Mine"_s });
    QCOMPARE(window.names(*window.root().child(0)), QStringList { u"Docs"_s });
}

// A chain of folders comes into the tree whole, at its path, as deep as the tree can hold it below its
// root; a deeper store is refused with a message that names it, the tree unchanged.
void tst_ExchangeEndToEnd::deepStoresComeInWholeOrAreRefused_data()
{
    QTest::addColumn<DeepStore>("store");
    QTest::addColumn<int>("folders");
    QTest::addColumn<bool>("accepted");
    const std::pair<DeepStore, const char *> stores[] = { { DeepStore::Favorites, "Favorites" },
                                                          { DeepStore::BookmarkFile, "bookmark file" },
                                                          { DeepStore::Opera, "hotlist" },
                                                          { DeepStore::Places, "places" } };
    for (const auto &[store, name] : stores) {
        QTest::addRow("%s, 300 levels", name) << store << 300 << true;
        QTest::addRow("%s, the deepest link the tree holds", name) << store << MaxTreeLevels - 2 << true;
        QTest::addRow("%s, one level deeper", name) << store << MaxTreeLevels - 1 << false;
    }
}

void tst_ExchangeEndToEnd::deepStoresComeInWholeOrAreRefused()
{
    QFETCH(DeepStore, store);
    QFETCH(int, folders);
    QFETCH(bool, accepted);
    Window window;
    QTemporaryDir stores;
    QVERIFY(installDeepChain(window, stores, store, folders));
    window.form.model()->insertNode(&window.root(),
                                    std::make_unique<BookmarkNode>(makeCategoryRecord(u"Mine"_s)));

    window.run(true, false);
    const auto messages = window.fakes.messages->messages();
    if (!accepted) {
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].text.contains(u"more than 999 levels deep"_s), qPrintable(messages[0].text));
        const BrowserPaths &paths = window.form.browserPaths();
        const QString named = store == DeepStore::Favorites ? paths.ExplorerFavoritesPath
            : store == DeepStore::Opera                     ? paths.OperaFavPath
                                                            : paths.PathFavFirefox;
        QVERIFY(messages[0].text.contains(u'"' + named + u'"'));
        QCOMPARE(window.names(window.root()), QStringList { u"Mine"_s });
        return;
    }
    QVERIFY(messages.isEmpty());
    QCOMPARE(window.root().childCount(), 1);
    const BookmarkNode *node = window.root().child(0);
    for (int i = 0; i < folders; ++i) {
        QCOMPARE(node->record.CategoryName, QString::number(i % 10));
        QCOMPARE(node->childCount(), 1);
        node = node->child(0);
    }
    QCOMPARE(node->record.Description, u"deep"_s);
    QCOMPARE(node->record.Link, u"http://deep.example/"_s);
    QCOMPARE(node->depth(), folders + 2);
    QCOMPARE(window.form.tree().totalCount(), folders + 2);
}

// An export without merging writes the tree into the Favorites folder even when the clear before it
// could not delete everything; the user is told what is left, and the run goes on with the next store.
void tst_ExchangeEndToEnd::clearThatLeavesEntriesStillWritesAndGoesOn()
{
    Window window;
    QTemporaryDir stores;
    BrowserPaths &paths = window.form.browserPaths();
    paths.ExplorerFavoritesPath = stores.filePath(u"Favorites"_s);
    QVERIFY(QDir().mkpath(paths.ExplorerFavoritesPath + u"/Stuck"_s));
    QVERIFY(testfiles::writeFile(paths.ExplorerFavoritesPath + u"/Stale.url"_s,
                                 "[InternetShortcut]\r\nURL=http://stale.example/\r\n"));
    const QString held = paths.ExplorerFavoritesPath + u"/Stuck/held.url"_s;
    QVERIFY(testfiles::writeFile(held, "[InternetShortcut]\r\nURL=http://held.example/\r\n"));
    const testfiles::UndeletableFile undeletable(held);
    if (!undeletable.isSet())
        QSKIP("this file system cannot keep a file from being deleted");
    const QString hotlist = installHotlist(window, stores);
    QVERIFY(!hotlist.isEmpty());
    window.addMineWithDocs();

    window.run(false, false);
    using Message = FakeMessageService::Message;
    const Message left { FakeMessageService::Kind::Error, ApplicationTitle,
                         u"The Favorites folder \"%1\" could not be emptied before the bookmarks were "
                         "written to it. Still there: \"Stuck\"."_s.arg(paths.ExplorerFavoritesPath) };
    QCOMPARE(window.fakes.messages->messages(), QList<Message> { left });
    QVERIFY(!QFile::exists(paths.ExplorerFavoritesPath + u"/Stale.url"_s));
    QVERIFY(QFile::exists(paths.ExplorerFavoritesPath + u"/Mine/Docs.url"_s));
    QVERIFY(QFile::exists(held));
    // The Opera row came after it and was written.
    QVERIFY(testfiles::readFile(hotlist).contains("URL=https://doc.example/"));
    QVERIFY(!testfiles::readFile(hotlist).contains("NAME=Work"));
}

// The main tree keeps showing what the user had open: an import that merges into a folder leaves it
// expanded, and an export changes no expansion.
void tst_ExchangeEndToEnd::runsKeepTheTreeExpansion()
{
    Window window;
    QTemporaryDir stores;
    QVERIFY(!installHotlist(window, stores).isEmpty());
    BookmarkModel &model = *window.form.model();
    BookmarkNode *work
        = model.insertNode(&window.root(), std::make_unique<BookmarkNode>(makeCategoryRecord(u"Work"_s)));
    model.insertNode(work, std::make_unique<BookmarkNode>(makeBookmarkRecord(u"Mine"_s, u"http://m/"_s, 1)));
    BookmarkTreeView &view = *window.form.VT();
    view.expand(model.indexFromNode(&window.root()));
    view.expand(model.indexFromNode(work));
    const auto expanded = [&] {
        return view.isExpanded(model.indexFromNode(&window.root()))
            && view.isExpanded(model.indexFromNode(work));
    };
    QVERIFY(expanded());

    window.run(true, true);
    QCOMPARE(window.names(*work), QStringList({ u"Mine"_s, u"Qt"_s }));
    QVERIFY(expanded());
    window.run(false, true);
    QVERIFY(expanded());
}

QTEST_MAIN(tst_ExchangeEndToEnd)
#include "tst_exchangeendtoend.moc"
