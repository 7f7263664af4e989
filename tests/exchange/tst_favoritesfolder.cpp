#include "exchange/core/favoritesfolder.h"
#include "tests/common/corpora.h"
#include "tests/common/testfiles.h"
#include "tests/common/treetext.h"
#include "tests/common/undeletablefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vellumite;
using namespace vellumite::treetext;
using namespace Qt::StringLiterals;

namespace {

QByteArray shortcut(const QByteArray &url)
{
    return "[InternetShortcut]\r\nURL=" + url + "\r\n";
}

// The writer's answer, with the entries a clear left after " | left: ".
QString write(const BookmarkNode &root, const QString &path, ExportMode mode)
{
    QStringList left;
    QString error = writeFavoritesFolder(root, path, mode, left);
    if (!left.isEmpty())
        error += u" | left: "_s + left.join(u", "_s);
    return error;
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// A folder tree in a temporary folder: "a/b.url" paths with their content.
class Folder
{
public:
    QString path() const { return m_dir.path() + u"/Favorites"_s; }
    QString file(const QString &relative) const { return path() + u'/' + relative; }
    Folder() { QDir().mkpath(path()); }
    void write(const QString &relative, const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(file(relative)).absolutePath());
        QVERIFY(testfiles::writeFile(file(relative), bytes));
    }
    QString outside() const { return m_dir.path() + u"/outside"_s; }

private:
    QTemporaryDir m_dir;
};

} // namespace

class TestFavoritesFolder : public QObject
{
    Q_OBJECT

private slots:
    void shortcutLink_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("link");
        QTest::newRow("CR LF") << QByteArray("[InternetShortcut]\r\nURL=http://a/\r\n") << u"http://a/"_s;
        QTest::newRow("LF, no last break")
            << QByteArray("[InternetShortcut]\nURL=http://a/") << u"http://a/"_s;
        QTest::newRow("keys without case, first wins")
            << QByteArray("[internetshortcut]\nurl=http://first/\nURL=http://second/\n")
            << u"http://first/"_s;
        QTest::newRow("other section first")
            << QByteArray("[{000214A0-0000-0000-C000-000000000046}]\nProp3=19,2\nURL=http://no/\n"
                          "[InternetShortcut]\nURL=http://yes/\nIDList=\n")
            << u"http://yes/"_s;
        QTest::newRow("missing key") << QByteArray("[InternetShortcut]\nIconIndex=0\n") << QString();
        QTest::newRow("missing section") << QByteArray("URL=http://a/\n") << QString();
        QTest::newRow("cut at a double quote")
            << QByteArray("[InternetShortcut]\nURL=http://a/\"b\n") << u"http://a/"_s;
        QTest::newRow("UTF-8, 4 bytes") << shortcut("http://a/\xF0\x9F\x98\x80") << u"http://a/\U0001F600"_s;
        QTest::newRow("Windows-1252") << shortcut("http://a/caf\xE9\x80") << u"http://a/caf\u00E9\u20AC"_s;
        QTest::newRow("U+FEFF in the value kept")
            << shortcut("\xEF\xBB\xBFhttp://a/") << u"\uFEFFhttp://a/"_s;
        QTest::newRow("long link whole") << shortcut(QByteArray(3000, 'x')) << QString(3000, u'x');
        QTest::newRow("binary") << QByteArray("\0\xFF[\n=\r\r]", 9) << QString();
    }
    void shortcutLink()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, link);
        QCOMPARE(internetShortcutLink(file), link);
    }

    void shortcutTextIsByteExact()
    {
        QCOMPARE(
            internetShortcutText(u"http://a/\u00E9"_s),
            QByteArray("[InternetShortcut]\r\nURL=http://a/\xC3\xA9\r\nWorkingDirectory=C:\\WINDOWS\\\r\n"
                       "IconIndex=0\r\nShowCommand=7\r\nIconFile=C:\\WINDOWS\\system32\\url.dll\r\n"));
        // A line break cannot add a key of its own.
        const QByteArray injected = internetShortcutText(u"http://a/\r\nIconFile=evil\nx"_s);
        QVERIFY(injected.contains("URL=http://a/%0D%0AIconFile=evil%0Ax\r\n"));
        QCOMPARE(injected.count('\n'), 6);
    }

    void fileNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("full stop") << u"Release 1.2"_s << u"Release 1 2"_s;
        QTest::newRow("reserved") << u"a/b\\c:d*e?f\"g<h>i|j\tk"_s << u"a b c d e f g h i j k"_s;
        QTest::newRow("60 characters") << QString(60, u'x') << QString(50, u'x');
        QTest::newRow("no pair split") << (QString(49, u'x') + u"\U0001F600yy"_s) << QString(49, u'x');
        QTest::newRow("no accent split") << (QString(49, u'x') + u"e\u0301z"_s) << QString(49, u'x');
        QTest::newRow("empty") << QString() << QString();
    }
    void fileNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, fileName);
        QCOMPARE(favoritesFileName(name), fileName);
    }

    void readsTheFolder()
    {
        Folder f;
        f.write(u"Links/Zed.url"_s, shortcut("http://zed/"));
        f.write(u"Links/Deep/in.url"_s, shortcut("http://in/"));
        f.write(u"Links/notes.txt"_s, "not a shortcut");
        f.write(u"Release 1.2.url"_s, shortcut("http://release/"));
        f.write(u"UPPER.URL"_s, shortcut("http://upper/"));
        f.write(u".hidden.url"_s, shortcut("http://hidden/"));
        f.write(u".Hidden folder/x.url"_s, shortcut("http://x/"));
        f.write(u"broken.url"_s, "garbage");
        BookmarkNode root;
        QCOMPARE(readFavoritesFolder(f.path(), root, 4), QString());
        QCOMPARE(describe(root),
                 u"[Links [Deep in=http://in/] Zed=http://zed/] .hidden=http://hidden/ "
                 "broken= Release 1.2=http://release/ UPPER=http://upper/"_s);
        TBookmark link = makeBookmarkRecord(u"in"_s, u"http://in/"_s, 4);
        QCOMPARE(root.child(0)->child(0)->child(0)->record, link);
        QCOMPARE(root.child(0)->record, makeCategoryRecord(u"Links"_s));
    }

    void symbolicLinksAreNotFollowed()
    {
        Folder f;
        f.write(u"Sub/a.url"_s, shortcut("http://a/"));
        QVERIFY(QFile::link(f.path(), f.file(u"Sub/loop"_s)));
        QDir().mkpath(f.outside());
        QVERIFY(testfiles::writeFile(f.outside() + u"/secret.url"_s, shortcut("http://secret/")));
        QVERIFY(QFile::link(f.outside(), f.file(u"escape"_s)));
        QVERIFY(QFile::link(f.outside() + u"/secret.url"_s, f.file(u"linked.url"_s)));
        BookmarkNode root;
        QCOMPARE(readFavoritesFolder(f.path(), root, 0), QString());
        QCOMPARE(describe(root), u"[Sub a=http://a/]"_s);
    }

    void readsRealShortcuts_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("link");
        const QString corpora = QStringLiteral(VELLUMITE_CORPORA "/url/");
        QTest::newRow("assimp Website")
            << corpora + u"assimp/Website.url"_s << u"http://assimp.sourceforge.net"_s;
        QTest::newRow("assimp ProjectHome")
            << corpora + u"assimp/ProjectHome.url"_s << u"http://sourceforge.net/projects/assimp/"_s;
        QTest::newRow("exoline") << corpora + u"exoline/website.url"_s
                                 << u"http://github.com/exosite/exoline"_s;
        QTest::newRow("ajaxmin") << corpora + u"ajaxmin/Documentation.url"_s
                                 << u"http://ajaxmin.codeplex.com/Documentation/"_s;
    }
    void readsRealShortcuts()
    {
        QFETCH(QString, file);
        QFETCH(QString, link);
        VELLUMITE_SKIP_WITHOUT_CORPORA();
        // Independently: the text after the first "URL=" of the file's own section.
        const QByteArray bytes = testfiles::readFile(file);
        const qsizetype section = bytes.indexOf("[InternetShortcut]");
        QVERIFY(section >= 0);
        const qsizetype key = bytes.indexOf("\nURL=", section) + 5;
        QCOMPARE(QString::fromUtf8(bytes.mid(key).split('\n').first().trimmed()), link);

        Folder f;
        QVERIFY(QFile::copy(file, f.file(QFileInfo(file).fileName())));
        BookmarkNode root;
        QCOMPARE(readFavoritesFolder(f.path(), root, 0), QString());
        QCOMPARE(describe(root), QFileInfo(file).completeBaseName() + u'=' + link);
    }

    void exportsAndMerges()
    {
        Folder f;
        BookmarkNode root(makeRootRecord());
        BookmarkNode *links = addCategory(root, u"Links"_s);
        addBookmark(*links, u"Release 1.2"_s, u"http://release/"_s);
        addBookmark(*links, QString(60, u'n'), u"http://long/"_s);
        addBookmark(*links, QString(), u"http://nameless/"_s);
        BookmarkNode *unnamed = addCategory(root, QString());
        addBookmark(*unnamed, u"inside"_s, u"http://inside/"_s);
        addBookmark(root, u"Top"_s, u"http://top/\U0001F600"_s);

        QCOMPARE(write(root, f.path(), ExportMode::Merge), QString());
        QCOMPARE(testfiles::readFile(f.file(u"Links/Release 1 2.url"_s)),
                 internetShortcutText(u"http://release/"_s));
        QVERIFY(QFile::exists(f.file(u"Links/"_s + QString(50, u'n') + u".url"_s)));
        QVERIFY(QFile::exists(f.file(u"Links/.url"_s)));
        QVERIFY(QFile::exists(f.file(u"Untitled/inside.url"_s)));
        QVERIFY(!QFile::exists(f.file(u"inside.url"_s)));

        BookmarkNode back;
        QCOMPARE(readFavoritesFolder(f.path(), back, 1), QString());
        QCOMPARE(
            describe(back),
            u"[Links =http://nameless/ "_s + QString(50, u'n')
                + u"=http://long/ Release 1 2=http://release/] [Untitled inside=http://inside/] Top=http://top/\U0001F600"_s);

        // A second merge keeps every existing shortcut as it was.
        links->child(0)->record.Link = u"http://changed/"_s;
        QCOMPARE(write(root, f.path(), ExportMode::Merge), QString());
        QCOMPARE(internetShortcutLink(testfiles::readFile(f.file(u"Links/Release 1 2.url"_s))),
                 u"http://release/"_s);
    }

    void mergesFoldersWithoutCase()
    {
        BookmarkNode target(makeRootRecord());
        BookmarkNode *links = addCategory(target, u"links"_s);
        addBookmark(*links, u"Same"_s, u"http://old/"_s);
        Folder f;
        f.write(u"Links/Same.url"_s, shortcut("http://new/"));
        f.write(u"Links/same.url"_s, shortcut("http://lower/"));
        BookmarkNode staging;
        QCOMPARE(readFavoritesFolder(f.path(), staging, 0), QString());
        mergeInto(target, staging, FavoritesFolderNameMatch);
        QCOMPARE(describe(target), u"[links Same=http://old/ same=http://lower/]"_s);
    }

    void clearingKeepsHiddenAndStaysInside()
    {
        Folder f;
        f.write(u"a.url"_s, shortcut("http://a/"));
        f.write(u".desktop.ini"_s, "kept");
        f.write(u".hidden/x.url"_s, "kept");
        f.write(u"Sub/Deeper/y.url"_s, "gone");
        QDir().mkpath(f.outside());
        QVERIFY(testfiles::writeFile(f.outside() + u"/precious"_s, "outside"));
        QVERIFY(QFile::link(f.outside(), f.file(u"Sub/escape"_s)));
        QVERIFY(QFile::link(f.outside(), f.file(u"top-link"_s)));
        QVERIFY(QFile::link(f.file(u"gone"_s), f.file(u"dangling"_s)));

        BookmarkNode root(makeRootRecord());
        addBookmark(root, u"new"_s, u"http://new/"_s);
        QCOMPARE(write(root, f.path(), ExportMode::Replace), QString());
        QCOMPARE(QDir(f.path()).entryList(
                     QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name),
                 QStringList({ u".desktop.ini"_s, u".hidden"_s, u"new.url"_s }));
        QCOMPARE(testfiles::readFile(f.outside() + u"/precious"_s), QByteArray("outside"));
    }

    // A clear goes on past what it cannot delete, and the tree is written all the same: the user is not
    // left with an emptied folder. The writer tells what is left.
    void clearThatCannotDeleteStillWrites()
    {
        Folder f;
        f.write(u"Old.url"_s, shortcut("http://old/"));
        f.write(u"Gone/x.url"_s, shortcut("http://x/"));
        // The held file stands alone in its folder: for an ordinary user it is kept by that folder
        // being read-only.
        f.write(u"Stuck/Held/held.url"_s, shortcut("http://held/"));
        f.write(u"Stuck/free.url"_s, shortcut("http://free/"));
        const testfiles::UndeletableFile held(f.file(u"Stuck/Held/held.url"_s));
        if (!held.isSet())
            QSKIP("this file system cannot keep a file from being deleted");

        BookmarkNode root(makeRootRecord());
        addBookmark(*addCategory(root, u"Mine"_s), u"Docs"_s, u"http://docs/"_s);
        addBookmark(root, u"New"_s, u"http://new/"_s);
        QStringList left;
        QCOMPARE(writeFavoritesFolder(root, f.path(), ExportMode::Replace, left), QString());
        QCOMPARE(left, QStringList { u"Stuck"_s });
        QCOMPARE(entriesOf(f.path()), QStringList({ u"Mine"_s, u"New.url"_s, u"Stuck"_s }));
        QCOMPARE(entriesOf(f.file(u"Stuck"_s)), QStringList { u"Held"_s });
        QCOMPARE(entriesOf(f.file(u"Stuck/Held"_s)), QStringList { u"held.url"_s });
        QCOMPARE(internetShortcutLink(testfiles::readFile(f.file(u"Mine/Docs.url"_s))), u"http://docs/"_s);

        const QString message = notClearedMessage(f.path(), left);
        QVERIFY2(message.startsWith(u"The Favorites folder \""_s + f.path() + u"\" could not be emptied"_s),
                 qPrintable(message));
        QVERIFY(message.endsWith(u"Still there: \"Stuck\"."_s));
        QStringList many;
        for (int i = 0; i < 12; ++i)
            many << u"e%1"_s.arg(i);
        QVERIFY(notClearedMessage(f.path(), many).endsWith(u"\"e9\", and 2 more."_s));
    }

    // Everything within the levels the program's tree holds below its root comes in whole, at its
    // path; a deeper folder is refused whole.
    void deepFoldersComeInWholeOrNotAtAll_data()
    {
        QTest::addColumn<int>("folders");
        QTest::addColumn<bool>("link");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("300 levels") << 300 << true << true;
        QTest::newRow("link in the deepest folder") << MaxStoreLevels - 1 << true << true;
        QTest::newRow("deepest folder, empty") << MaxStoreLevels << false << true;
        QTest::newRow("link one level deeper") << MaxStoreLevels << true << false;
        QTest::newRow("folder one level deeper") << MaxStoreLevels + 1 << false << false;
    }
    void deepFoldersComeInWholeOrNotAtAll()
    {
        QFETCH(int, folders);
        QFETCH(bool, link);
        QFETCH(bool, accepted);
        Folder f;
        f.write(u"top.url"_s, shortcut("http://top/"));
        QString chain;
        for (int i = 0; i < folders; ++i)
            chain += (i ? u"/"_s : QString()) + QString::number(i % 10);
        QVERIFY(QDir().mkpath(f.file(chain)));
        if (link)
            f.write(chain + u"/deep.url"_s, shortcut("http://deep/"));

        BookmarkNode staging;
        addBookmark(staging, u"kept"_s, u"http://kept/"_s);
        const QString error = readFavoritesFolder(f.path(), staging, 1);
        if (!accepted) {
            QVERIFY2(error.startsWith(u"The folder \""_s + f.path() + u"\" cannot be read. "_s),
                     qPrintable(error));
            QVERIFY(error.contains(u"more than %1 levels deep"_s.arg(MaxStoreLevels)));
            QCOMPARE(describe(staging), u"kept=http://kept/"_s);
            return;
        }
        QCOMPARE(error, QString());
        QCOMPARE(staging.childCount(), 3);
        const BookmarkNode *node = staging.child(1);
        for (int i = 0; i < folders; ++i) {
            QCOMPARE(node->record.CategoryName, QString::number(i % 10));
            QCOMPARE(node->childCount(), i + 1 < folders || link ? 1 : 0);
            if (node->childCount() > 0)
                node = node->child(0);
        }
        if (link)
            QCOMPARE(node->record.Link, u"http://deep/"_s);
        QCOMPARE(node->depth(), link ? folders + 1 : folders);
        QCOMPARE(staging.child(2)->record.Description, u"top"_s);
    }

    void writeNeverLeavesTheFolder()
    {
        Folder f;
        QDir().mkpath(f.outside());
        QVERIFY(QFile::link(f.outside(), f.file(u"Links"_s)));
        QVERIFY(QFile::link(f.outside() + u"/target.url"_s, f.file(u"Top.url"_s)));
        BookmarkNode root(makeRootRecord());
        addBookmark(root, u"Top"_s, u"http://top/"_s);
        addBookmark(*addCategory(root, u"Links"_s), u"x"_s, u"http://x/"_s);
        const QString error = write(root, f.path(), ExportMode::Merge);
        QVERIFY2(error.startsWith(u"Cannot create folder \""_s), qPrintable(error));
        QCOMPARE(QDir(f.outside()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void failures()
    {
        Folder f;
        BookmarkNode root(makeRootRecord());
        QVERIFY(readFavoritesFolder(f.file(u"missing"_s), root, 0).startsWith(u"The folder \""_s));
        QVERIFY(write(root, f.file(u"missing"_s), ExportMode::Merge).startsWith(u"The folder \""_s));
        QDir().mkpath(f.file(u"Taken.url"_s));
        addBookmark(root, u"Taken"_s, u"http://t/"_s);
        QVERIFY(write(root, f.path(), ExportMode::Merge).startsWith(u"Cannot create file \""_s));
    }
};

QTEST_GUILESS_MAIN(TestFavoritesFolder)
#include "tst_favoritesfolder.moc"
