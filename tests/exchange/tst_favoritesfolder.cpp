#include "exchange/core/exchangestores.h"
#include "exchange/core/favoritesfolder.h"
#include "main/core/browserdetection.h"
#include "tests/common/corpora.h"
#include "tests/common/filepermissions.h"
#include "tests/common/testfiles.h"
#include "tests/common/treetext.h"
#include "tests/common/undeletablefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vellumite;
using namespace vellumite::treetext;
using namespace Qt::StringLiterals;

namespace {

QByteArray shortcut(const QByteArray &url)
{
    return "[InternetShortcut]\r\nURL=" + url + "\r\n";
}

// The writer's answer, with the entries a clear left after " | left: " and the links left alone after
// " | links: ".
QString write(const BookmarkNode &root, const QString &path, ExportMode mode)
{
    FavoritesWriteReport report;
    QString error = writeFavoritesFolder(root, path, mode, report);
    if (!report.notDeleted.isEmpty())
        error += u" | left: "_s + report.notDeleted.join(u", "_s);
    if (!report.linksLeftAlone.isEmpty())
        error += u" | links: "_s + report.linksLeftAlone.join(u", "_s);
    return error;
}

// A chain of `levels` nested folders named `name` below `top`, made relative to open folders as the
// path soon passes the system's limit; a shortcut to `link` in the deepest one.
bool makeDeepChain(const QString &top, const QString &name, int levels, const QByteArray &link)
{
    int fd = ::open(QFile::encodeName(top).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const QByteArray encoded = QFile::encodeName(name);
    for (int level = 0; fd >= 0 && level < levels; ++level) {
        const int next = ::mkdirat(fd, encoded.constData(), 0777) == 0
            ? ::openat(fd, encoded.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
            : -1;
        ::close(fd);
        fd = next;
    }
    if (fd < 0)
        return false;
    const QByteArray bytes = shortcut(link);
    const int file = ::openat(fd, "deep.url", O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    const bool written = file >= 0 && ::write(file, bytes.constData(), size_t(bytes.size())) == bytes.size();
    if (file >= 0)
        ::close(file);
    ::close(fd);
    return written;
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
    // A tree past the path limit is beyond QTemporaryDir's removal.
    ~Folder() { ClearFolder(path()); }
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
        FavoritesWriteReport report;
        QCOMPARE(writeFavoritesFolder(root, f.path(), ExportMode::Replace, report), QString());
        const QStringList left = report.notDeleted;
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

    // Nothing is written through a symbolic link, neither a folder's nor a shortcut's; the categories
    // beside a linked folder are written all the same, and the message names the link and says why.
    void symbolicLinksAreLeftAloneAndTheRestWritten()
    {
        Folder f;
        QDir().mkpath(f.outside());
        QVERIFY(QFile::link(f.outside(), f.file(u"Visible"_s)));
        QVERIFY(QFile::link(f.outside() + u"/target.url"_s, f.file(u"Top.url"_s)));
        BookmarkNode root(makeRootRecord());
        addBookmark(root, u"Top"_s, u"http://top/"_s);
        addBookmark(*addCategory(root, u"Visible"_s), u"x"_s, u"http://x/"_s);
        BookmarkNode *after = addCategory(root, u"After"_s);
        addBookmark(*addCategory(*after, u"Inner"_s), u"y"_s, u"http://y/"_s);
        addBookmark(root, u"Last"_s, u"http://last/"_s);

        const QString link = f.file(u"Visible"_s);
        QCOMPARE(write(root, f.path(), ExportMode::Merge), u" | links: "_s + link);
        QCOMPARE(QDir(f.outside()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
        QVERIFY(QFileInfo(f.file(u"Top.url"_s)).isSymLink());
        QCOMPARE(internetShortcutLink(testfiles::readFile(f.file(u"After/Inner/y.url"_s))), u"http://y/"_s);
        QCOMPARE(internetShortcutLink(testfiles::readFile(f.file(u"Last.url"_s))), u"http://last/"_s);

        // The run goes on past it and tells the user.
        BrowserPaths paths;
        paths.ExplorerFavoritesPath = f.path();
        const StepResult result
            = makeExchangeStore(StoreFormat::FavoritesFolder, paths)->write(root, ExportMode::Merge);
        QCOMPARE(result.outcome, StepResult::Outcome::Incomplete);
        QCOMPARE(result.text, linksLeftAloneMessage({ link }));
        QVERIFY2(result.text.startsWith(u"The folder \""_s + link
                                        + u"\" is a symbolic link, so it was left alone"_s),
                 qPrintable(result.text));
        QVERIFY(
            linksLeftAloneMessage({ u"/a"_s, u"/b"_s }).startsWith(u"These folders are symbolic links"_s));
    }

    // A tree nested past the system's path limit (300 folders with 20-character names: a path of about
    // 6.3 KB) is exported, read back and cleared whole.
    void treesPastThePathLimitAreWholeBothWays()
    {
        const QString name = u"Deep folder level 01"_s;
        constexpr int levels = 300;
        BookmarkNode root(makeRootRecord());
        BookmarkNode *node = &root;
        for (int level = 0; level < levels; ++level)
            node = addCategory(*node, name);
        addBookmark(*node, u"deep"_s, u"http://deep/"_s);
        addBookmark(root, u"top"_s, u"http://top/"_s);

        Folder f;
        QCOMPARE(write(root, f.path(), ExportMode::Merge), QString());
        BookmarkNode back;
        QCOMPARE(readFavoritesFolder(f.path(), back, 1), QString());
        QCOMPARE(describe(back), describe(root));

        // A folder made elsewhere, past the limit too, comes in whole.
        Folder other;
        QVERIFY(makeDeepChain(other.path(), name, levels, "http://bottom/"));
        BookmarkNode read;
        QCOMPARE(readFavoritesFolder(other.path(), read, 1), QString());
        const BookmarkNode *deepest = &read;
        for (int level = 0; level < levels; ++level) {
            QCOMPARE(deepest->childCount(), 1);
            deepest = deepest->child(0);
            QCOMPARE(deepest->record.CategoryName, name);
        }
        QCOMPARE(deepest->childCount(), 1);
        QCOMPARE(deepest->child(0)->record.Link, u"http://bottom/"_s);

        // Replacing clears the whole chain first.
        BookmarkNode small(makeRootRecord());
        addBookmark(small, u"only"_s, u"http://only/"_s);
        QCOMPARE(write(small, other.path(), ExportMode::Replace), QString());
        QCOMPARE(entriesOf(other.path()), QStringList { u"only.url"_s });
        QCOMPARE(ClearFolder(f.path()), QStringList());
        QCOMPARE(entriesOf(f.path()), QStringList());
    }

    // A sub-folder that cannot be listed refuses the whole store, with its reason: the store comes in
    // whole or not at all.
    void unreadableFolderRefusesTheStore()
    {
        Folder f;
        f.write(u"Open/a.url"_s, shortcut("http://a/"));
        f.write(u"Open/Locked/b.url"_s, shortcut("http://b/"));
        const QString locked = f.file(u"Open/Locked"_s);
        BookmarkNode staging;
        addBookmark(staging, u"kept"_s, u"http://kept/"_s);
        const testfiles::PermissionsApply permissions;
        if (!permissions.isSet())
            QSKIP("file permissions cannot be made to apply here");
        QVERIFY(QFile::setPermissions(locked, QFile::WriteOwner));
        const QString error = readFavoritesFolder(f.path(), staging, 1);
        QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QCOMPARE(error, u"The folder \""_s + locked + u"\" cannot be read. Permission denied"_s);
        QCOMPARE(describe(staging), u"kept=http://kept/"_s);
    }

    // A folder or file that cannot be made stops the export with the system's reason.
    void writeFailuresGiveTheirReason_data()
    {
        QTest::addColumn<QString>("inTheWay"); // a file where the category's folder would be
        QTest::addColumn<bool>("readOnly"); // the Favorites folder cannot be written
        QTest::addColumn<QString>("expected"); // @ stands for the Favorites folder
        QTest::newRow("a file in the folder's way")
            << u"Mine"_s << false << u"Cannot create folder \"@/Mine\". File exists"_s;
        QTest::newRow("a read-only folder")
            << QString() << true << u"Cannot create folder \"@/Mine\". Permission denied"_s;
    }
    void writeFailuresGiveTheirReason()
    {
        QFETCH(QString, inTheWay);
        QFETCH(bool, readOnly);
        QFETCH(QString, expected);
        Folder f;
        if (!inTheWay.isEmpty())
            f.write(inTheWay, "not a folder");
        BookmarkNode root(makeRootRecord());
        addBookmark(*addCategory(root, u"Mine"_s), u"Docs"_s, u"http://docs/"_s);
        const testfiles::PermissionsApply permissions;
        if (!permissions.isSet())
            QSKIP("file permissions cannot be made to apply here");
        const QFile::Permissions was = QFile::permissions(f.path());
        if (readOnly)
            QVERIFY(QFile::setPermissions(f.path(), QFile::ReadOwner | QFile::ExeOwner));
        const QString error = write(root, f.path(), ExportMode::Merge);
        QFile::setPermissions(f.path(), was);
        QCOMPARE(error, expected.replace(u'@', f.path()));
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
