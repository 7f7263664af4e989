#include "exchange/core/netscapebookmarkfile.h"
#include "tests/common/corpora.h"
#include "tests/common/testfiles.h"
#include "tests/common/treetext.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace vellumite;
using namespace vellumite::treetext;
using namespace Qt::StringLiterals;

namespace {

QString read(const QByteArray &bytes)
{
    BookmarkNode staging;
    ImportBookmarksHtml(bytes, staging, 2);
    return describe(staging);
}

QString corporaFolder()
{
    return QStringLiteral(VELLUMITE_CORPORA);
}

// A second reading of a file, by regular expressions over the whole text, for comparing with the
// reader: every folder and link in document order with its depth, "d/H/name" or "d/A/title/link".
QStringList independentParse(const QByteArray &bytes)
{
    QString text = QString::fromUtf8(bytes);
    static const QRegularExpression token(
        uR"re(<DL\b|</DL\b|<H3\b[^>]*>([^<\n]*)</H3>|<A\s[^>]*?\bHREF\s*=\s*"([^"]*)"[^>]*>([^<\n]*)</A>)re"_s,
        QRegularExpression::CaseInsensitiveOption);
    const auto unescape = [](QString s) {
        s.replace(u"&lt;"_s, u"<"_s).replace(u"&gt;"_s, u">"_s).replace(u"&quot;"_s, u"\""_s);
        s.replace(u"&#39;"_s, u"'"_s).replace(u"&amp;"_s, u"&"_s);
        return s;
    };
    QStringList out;
    QList<int> open;
    int depth = 0;
    bool folderPending = false;
    for (const QRegularExpressionMatch &m : token.globalMatch(text)) {
        const QString whole = m.captured(0).toUpper();
        if (whole.startsWith(u"</DL"_s)) {
            if (!open.isEmpty())
                depth = open.takeLast();
            folderPending = false;
        } else if (whole.startsWith(u"<DL"_s)) {
            open.append(depth);
            if (folderPending)
                ++depth;
            folderPending = false;
        } else if (whole.startsWith(u"<H3"_s)) {
            folderPending = !m.captured(1).isEmpty();
            if (folderPending)
                out << u"%1/H/%2"_s.arg(depth).arg(unescape(m.captured(1)));
        } else {
            folderPending = false;
            if (!m.captured(2).isEmpty() && !m.captured(3).isEmpty())
                out << u"%1/A/%2/%3"_s.arg(depth).arg(unescape(m.captured(3)), unescape(m.captured(2)));
        }
    }
    return out;
}

void flatten(const BookmarkNode &parent, int depth, QStringList &out)
{
    for (int row = 0; row < parent.childCount(); ++row) {
        const BookmarkNode &child = *parent.child(row);
        if (child.record.IsCategory) {
            out << u"%1/H/%2"_s.arg(depth).arg(child.record.CategoryName);
            flatten(child, depth + 1, out);
        } else {
            out << u"%1/A/%2/%3"_s.arg(depth).arg(child.record.Description, child.record.Link);
        }
    }
}

} // namespace

class TestNetscapeBookmarkFile : public QObject
{
    Q_OBJECT

private slots:
    void exportIsByteExact_data()
    {
        QTest::addColumn<int>("tree");
        QTest::addColumn<QByteArray>("entries");
        QTest::newRow("empty root") << 0 << QByteArray();
        QTest::newRow("category with a bookmark")
            << 1
            << QByteArray("<DT><H3 LAST_MODIFIED=\"\">News</H3>\r\n<DL><p>\r\n"
                          "<DT><A HREF=\"http://a.example/\">A</A>\r\n\r\n</DL><p>\r\n"
                          "<DT><H3 LAST_MODIFIED=\"\">Empty</H3>\r\n<DL><p>\r\n</DL><p>\r\n");
        QTest::newRow("escaped and whole text")
            << 2
            << QByteArray("<DT><A HREF=\"http://x/?a=1&amp;b=&quot;2&quot;\">Tom &amp; Jerry &lt;b&gt; "
                          "\xF0\x9F\x98\x80 \xD0\x96&#13;&#10;next</A>\r\n\r\n");
    }
    void exportIsByteExact()
    {
        QFETCH(int, tree);
        QFETCH(QByteArray, entries);
        BookmarkNode root(makeRootRecord());
        if (tree == 1) {
            addBookmark(*addCategory(root, u"News"_s), u"A"_s, u"http://a.example/"_s);
            addCategory(root, u"Empty"_s);
        } else if (tree == 2) {
            addBookmark(root, u"Tom & Jerry <b> \U0001F600 \u0416\r\nnext"_s, u"http://x/?a=1&b=\"2\""_s);
        }
        const QByteArray header
            = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n"
              "<!-- This is an automatically generated file.\r\n"
              "It will be read and overwritten.\r\n"
              "DO NOT EDIT! -->\r\n"
              "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\r\n"
              "<TITLE>Bookmarks</TITLE>\r\n"
              "<H1 LAST_MODIFIED=\"1209401134\">Bookmarks</H1>\r\n";
        QCOMPARE(header.size(), 278);
        QCOMPARE(ExportBookmarksHtml(root), header + "\r\n<DL><p>\r\n" + entries + "</DL><p>\r\n");
        // And back: every name and link whole.
        BookmarkNode again;
        ImportBookmarksHtml(ExportBookmarksHtml(root), again, 1);
        QCOMPARE(describe(again), describe(root));
    }

    void readsShapes_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("tree");
        QTest::newRow("classic") << QByteArray("<DL><p>\n<DT><H3 ADD_DATE=\"1\">F</H3>\n<DL><p>\n"
                                               "<DT><A HREF=\"http://a/\">a</A>\n</DL><p>\n"
                                               "<DT><A HREF=\"http://b/\">b</A>\n</DL><p>\n")
                                 << u"[F a=http://a/] b=http://b/"_s;
        QTest::newRow("bare </DL> closes the folder")
            << QByteArray("<DL><p><DT><H3>F</H3><DL><p><DT><A HREF=\"http://a/\">a</A></DL>"
                          "<DT><H3>G</H3><DL><p></DL><p></DL>")
            << u"[F a=http://a/] [G]"_s;
        QTest::newRow("any letter case")
            << QByteArray("<dl><p><dt><h3>F</h3><dl><p><dt><a href=\"http://a/\">a</a>"
                          "</dl><p><Dt><A Href='http://b/'>b</a></dl>")
            << u"[F a=http://a/] b=http://b/"_s;
        QTest::newRow("HREF not first, space before >")
            << QByteArray("<DT><A ADD_DATE=\"1\" ICON=\"data:x\" HREF=\"http://a/\" >a</A>")
            << u"a=http://a/"_s;
        QTest::newRow("folder with attributes, valueless one") << QByteArray(
            "<DT><H3 FOLDED ADD_DATE=\"2\">F</H3><DL><p><DT><A HREF=\"http://a/\">a</A></DL><p>")
                                                               << u"[F a=http://a/]"_s;
        QTest::newRow("separator and folder on one line")
            << QByteArray("<DL><p><HR>    <DT><H3>F</H3>\n<DL><p>\n<DT><A HREF=\"u\">t</A>\n</DL><p>\n</DL>")
            << u"[F t=u]"_s;
        QTest::newRow("entities") << QByteArray(
            "<DT><H3>A &amp; B &#39;c&#39; &#x1F600; &bogus; &amp</H3><DL>"
            "<DT><A HREF=\"http://x/?a=1&amp;b=2\">&lt;T&gt; &quot;q&quot;</A></DL>")
                                  << u"[A & B 'c' \U0001F600 &bogus; &amp <T> \"q\"=http://x/?a=1&b=2]"_s;
        QTest::newRow("4-byte UTF-8 and Windows-1252")
            << QByteArray("<DT><A HREF=\"http://a/\">\xF0\x9F\x8E\xB5 \xE2\x82\xAC</A>"
                          "<DT><A HREF=\"http://b/\">caf\xE9 \x80</A>")
            << u"\U0001F3B5 \u20AC=http://a/ caf\u00E9 \u20AC=http://b/"_s;
        QTest::newRow("cut-off UTF-8 sequence")
            << QByteArray("<DT><A HREF=\"http://a/\">caf\xC3</A>") << u"caf\u00C3=http://a/"_s;
        QTest::newRow("empty title, empty link and empty folder name are not made")
            << QByteArray("<DT><A HREF=\"http://a/\"></A><DT><A HREF=\"\">t</A><DT><A>u</A>"
                          "<DT><H3></H3><DL><p><DT><A HREF=\"http://in/\">in</A></DL><p>"
                          "<DT><A HREF=\"http://after/\">after</A>")
            << u"in=http://in/ after=http://after/"_s;
        QTest::newRow("surplus </DL><p> stays at the top")
            << QByteArray("</DL><p></DL><p><DT><H3>F</H3><DL><p></DL><p></DL><p><DT><A HREF=\"u\">t</A>")
            << u"[F] t=u"_s;
        QTest::newRow("folder without a list stays empty")
            << QByteArray("<DL><DT><H3>F</H3><DT><A HREF=\"u\">t</A></DL>") << u"[F] t=u"_s;
        QTest::newRow("missing close keeps entries inside")
            << QByteArray("<DL><DT><H3>F</H3><DL><DT><A HREF=\"u\">t</A>\n<DT><A HREF=\"v\">w</A>")
            << u"[F t=u w=v]"_s;
        QTest::newRow("CR, LF and CR LF line ends, title left open")
            << QByteArray("<DT><A HREF=\"a\">x\r<DT><A HREF=\"b\">y</A>\r\n<DT><A HREF=\"c\">z</A>\n")
            << u"x=a y=b z=c"_s;
        QTest::newRow("comment hides its tags")
            << QByteArray("<!-- <DT><A HREF=\"a\">x</A> --><DT><A HREF=\"b\">y</A>") << u"y=b"_s;
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF<DT><A HREF=\"a\">x</A>") << u"x=a"_s;
        QTest::newRow("cut inside a tag") << QByteArray("<DT><A HREF=\"a\">x</A><DT><A HREF=\"b") << u"x=a"_s;
        QTest::newRow("unclosed quote ends at the line")
            << QByteArray("<DT><A ICON=\"x\n HREF=\"a\">x</A>") << u"x=a"_s;
        QTest::newRow("not a bookmark file")
            << QByteArray("This shouldn't cause anything to be imported.\n") << QString();
    }
    void readsShapes()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, tree);
        QCOMPARE(read(file), tree);
    }

    void importingTwiceAddsNothing()
    {
        const QByteArray file = "<DL><DT><H3>F</H3><DL><DT><A HREF=\"u\">t</A><DT><A HREF=\"v\">t</A></DL>"
                                "<DT><H3>f</H3><DL></DL><DT><A HREF=\"w\">F</A></DL>";
        BookmarkNode root(makeRootRecord());
        for (const qsizetype added : { 4, 0 }) {
            BookmarkNode staging;
            ImportBookmarksHtml(file, staging, 1);
            QCOMPARE(mergeInto(root, staging, NetscapeBookmarkFileNameMatch), added);
        }
        QCOMPARE(describe(root), u"[F t=u] [f] F=w"_s);
    }

    void recordsAreThoseOfAStoreReader()
    {
        BookmarkNode staging;
        ImportBookmarksHtml("<DT><H3>F</H3><DL><DT><A HREF=\"u\">t</A></DL>", staging, 17);
        TBookmark folder = makeCategoryRecord(u"F"_s);
        folder.ImportSource = FromFirefox;
        TBookmark link = makeBookmarkRecord(u"t"_s, u"u"_s, 17);
        link.ImportSource = FromFirefox;
        QCOMPARE(staging.child(0)->record, folder);
        QCOMPARE(staging.child(0)->child(0)->record, link);
    }

    // Everything within the levels the program's tree holds below its root comes in whole, at its
    // path; a deeper file is refused whole. Folders without a name add no level.
    void deepFoldersComeInWholeOrNotAtAll_data()
    {
        QTest::addColumn<int>("folders");
        QTest::addColumn<bool>("link");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("300 levels") << 300 << true << true;
        QTest::newRow("1,100 levels") << 1100 << true << false;
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
        // As Firefox exports a chain of folders: indented, a nameless folder on the way.
        QByteArray file = "<DL><p>\n";
        for (int i = 0; i < folders; ++i) {
            file += QByteArray(i % 80, ' ') + "<DT><H3 ADD_DATE=\"1\">Level " + QByteArray::number(i)
                + "</H3>\n<DL><p>\n";
            if (i == 10)
                file += "<DT><H3></H3>\n<DL><p>\n</DL><p>\n";
        }
        if (link)
            file += "<DT><A HREF=\"http://deep.example/\">deep</A>\n";
        file += QByteArray("</DL><p>\n").repeated(folders + 1);
        file += "<DT><A HREF=\"http://top.example/\">top</A>\n";

        BookmarkNode staging;
        addBookmark(staging, u"kept"_s, u"http://kept/"_s);
        const QString error = ImportBookmarksHtml(file, staging, 1);
        if (!accepted) {
            QVERIFY2(error.contains(u"more than %1 levels deep"_s.arg(MaxStoreLevels)), qPrintable(error));
            QCOMPARE(describe(staging), u"kept=http://kept/"_s);
            return;
        }
        QCOMPARE(error, QString());
        const BookmarkNode *node = staging.child(1);
        for (int i = 0; i < folders; ++i) {
            QCOMPARE(node->record.CategoryName, u"Level %1"_s.arg(i));
            QCOMPARE(node->childCount(), i + 1 < folders || link ? 1 : 0);
            if (node->childCount() > 0)
                node = node->child(0);
        }
        if (link)
            QCOMPARE(node->record.Description, u"deep"_s);
        QCOMPARE(node->depth(), link ? folders + 1 : folders);
        QCOMPARE(staging.childCount(), 3);
        QCOMPARE(staging.child(2)->record.Description, u"top"_s);
    }

    // Read from the file itself, a refusal names it.
    void tooDeepFileIsNamed()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"bookmarks.html"_s);
        QVERIFY(testfiles::writeFile(path, QByteArray("<DT><H3>F</H3><DL><p>").repeated(MaxStoreLevels + 1)));
        BookmarkNode staging;
        const QString error = readNetscapeBookmarkFile(path, staging, 1);
        QVERIFY2(error.startsWith(u"The file \""_s + path + u"\" cannot be read. "_s), qPrintable(error));
        QCOMPARE(staging.childCount(), 0);
    }

    void readsRealExportsWithoutLoss_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("minimumEntries");
        const QMap<QString, int> files {
            { u"netscape/firefox_nested.htm"_s, 30 },
            { u"netscape/firefox_flat.htm"_s, 24 },
            { u"netscape/chromium_nested.htm"_s, 25 },
            { u"netscape/chromium_flat.htm"_s, 9 },
            { u"netscape/internet_explorer_11_nested.htm"_s, 30 },
            { u"netscape/internet_explorer_11_flat.htm"_s, 18 },
            { u"netscape-mozilla/bookmarks.exported.html"_s, 12 },
            { u"netscape-mozilla/bookmarks.preplaces.html"_s, 12 },
            { u"netscape-mozilla/bookmarks.corrupt.html"_s, 14 },
            { u"netscape-mozilla/bookmarks_html_singleframe.html"_s, 2 },
            { u"netscape-mozilla/bookmarks.invalid.html"_s, 0 },
            { u"netscape-perl/mozbookmarks.html"_s, 15 },
            { u"netscape-perl/bookmarks.html"_s, 7 },
        };
        for (auto it = files.begin(); it != files.end(); ++it)
            QTest::newRow(qPrintable(it.key())) << corporaFolder() + u'/' + it.key() << it.value();
    }
    void readsRealExportsWithoutLoss()
    {
        QFETCH(QString, path);
        QFETCH(int, minimumEntries);
        VELLUMITE_SKIP_WITHOUT_CORPORA();
        BookmarkNode staging;
        QCOMPARE(readNetscapeBookmarkFile(path, staging, 1), QString());
        QStringList read;
        flatten(staging, 0, read);
        QVERIFY2(read.size() >= minimumEntries, qPrintable(read.join(u'\n')));
        QCOMPARE(read, independentParse(testfiles::readFile(path)));
    }

    void preplacesFoldersAfterABareCloseStayAtTheTop()
    {
        VELLUMITE_SKIP_WITHOUT_CORPORA();
        BookmarkNode staging;
        QCOMPARE(readNetscapeBookmarkFile(corporaFolder() + u"/netscape-mozilla/bookmarks.preplaces.html"_s,
                                          staging, 1),
                 QString());
        QStringList names;
        for (int row = 0; row < staging.childCount(); ++row)
            names << staging.child(row)->record.name();
        QCOMPARE(names,
                 QStringList({ u"Mozilla Firefox"_s, u"test"_s, u"Unsorted Bookmarks"_s,
                               u"Bookmarks Toolbar Folder"_s }));
    }

    void readFailures()
    {
        QTemporaryDir dir;
        BookmarkNode staging;
        const QString missing = dir.filePath(u"missing.html"_s);
        QVERIFY(readNetscapeBookmarkFile(missing, staging, 1).startsWith(u"Cannot open file \""_s));
        QVERIFY(readNetscapeBookmarkFile(dir.path(), staging, 1).startsWith(u"Cannot open file \""_s));
        // A pipe would block the read for ever.
        const QString pipe = dir.filePath(u"bookmarks.html"_s);
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QCOMPARE(readNetscapeBookmarkFile(pipe, staging, 1),
                 u"Cannot open file \"%1\". It is not a regular file."_s.arg(pipe));
        QCOMPARE(staging.childCount(), 0);
    }

    void replaceAndMerge()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"bookmarks.html"_s);
        const QByteArray held = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n"
                                "<DT><H3 ADD_DATE=\"5\" PERSONAL_TOOLBAR_FOLDER=\"true\">Toolbar</H3>\n"
                                "<DD>on the bar\n<DL><p>\n"
                                "<DT><A HREF=\"http://old/\" ADD_DATE=\"7\" ICON=\"data:i\">Old</A>\n"
                                "<DD>kept &amp; described\n"
                                "</DL><p>\n<HR>\n<DT><A HREF=\"http://keep/\">Keep</A>\n</DL><p>\n";
        QVERIFY(testfiles::writeFile(path, held));

        BookmarkNode root(makeRootRecord());
        BookmarkNode *toolbar = addCategory(root, u"Toolbar"_s);
        addBookmark(*toolbar, u"Old"_s, u"http://changed/"_s);
        addBookmark(*toolbar, u"New"_s, u"http://new/"_s);
        addBookmark(root, u"Mine"_s, u"http://mine/"_s);

        QCOMPARE(writeNetscapeBookmarkFile(root, path, ExportMode::Merge), QString());
        const QByteArray merged = testfiles::readFile(path);
        QCOMPARE(read(merged),
                 u"[Toolbar Old=http://old/ New=http://new/] Keep=http://keep/ Mine=http://mine/"_s);
        // What the file said about its own entries stays.
        QVERIFY(merged.contains("<DT><H3 ADD_DATE=\"5\" PERSONAL_TOOLBAR_FOLDER=\"true\">Toolbar</H3>\r\n"
                                "<DD>on the bar\r\n<DL><p>\r\n"));
        QVERIFY(merged.contains("<DT><A HREF=\"http://old/\" ADD_DATE=\"7\" ICON=\"data:i\">Old</A>\r\n"
                                "<DD>kept &amp; described\r\n"));
        QVERIFY(merged.contains("<HR>\r\n<DT><A HREF=\"http://keep/\">Keep</A>\r\n"));
        // Merging again adds nothing.
        QCOMPARE(writeNetscapeBookmarkFile(root, path, ExportMode::Merge), QString());
        QCOMPARE(testfiles::readFile(path), merged);

        QCOMPARE(writeNetscapeBookmarkFile(root, path, ExportMode::Replace), QString());
        QCOMPARE(testfiles::readFile(path), ExportBookmarksHtml(root));

        // A merge into a file that does not exist yet writes the tree.
        const QString fresh = dir.filePath(u"fresh.html"_s);
        QCOMPARE(writeNetscapeBookmarkFile(root, fresh, ExportMode::Merge), QString());
        QCOMPARE(testfiles::readFile(fresh), ExportBookmarksHtml(root));
    }

    void failedWriteLeavesTheFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"bookmarks.html"_s);
        QVERIFY(testfiles::writeFile(path, "before"));
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        BookmarkNode root(makeRootRecord());
        addBookmark(root, u"a"_s, u"b"_s);
        const QString error = writeNetscapeBookmarkFile(root, path, ExportMode::Replace);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (error.isEmpty())
            QSKIP("the folder stays writable (running as root)");
        QVERIFY2(error.startsWith(u"Cannot create file \""_s), qPrintable(error));
        QCOMPARE(testfiles::readFile(path), QByteArray("before"));

        // A file that cannot be read is not overwritten by a merge.
        QFile::setPermissions(path, QFile::WriteOwner);
        const QString mergeError = writeNetscapeBookmarkFile(root, path, ExportMode::Merge);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY2(mergeError.startsWith(u"Cannot open file \""_s), qPrintable(mergeError));
        QCOMPARE(testfiles::readFile(path), QByteArray("before"));
    }
};

QTEST_GUILESS_MAIN(TestNetscapeBookmarkFile)
#include "tst_netscapebookmarkfile.moc"
