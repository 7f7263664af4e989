#include "exchange/core/operahotlist.h"
#include "main/core/linebreaks.h"
#include "tests/common/corpora.h"
#include "tests/common/testfiles.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace vellumite;
using namespace Qt::StringLiterals;

namespace {

constexpr qint32 BrowserCode = 17;

// "[F a<http://a/> b<>]": category F holding bookmarks a and b with their links.
QString describe(const BookmarkNode &parent)
{
    QStringList parts;
    for (int row = 0; row < parent.childCount(); ++row) {
        const TBookmark &r = parent.child(row)->record;
        if (r.IsCategory)
            parts << QString(u'[' + r.CategoryName + u' ' + describe(*parent.child(row))).trimmed() + u']';
        else
            parts << r.Description + u'<' + r.Link + u'>';
    }
    return parts.join(u' ');
}

QString read(const QByteArray &bytes, BookmarkNode &staging)
{
    return parseOperaHotlist(bytes, staging, BrowserCode);
}

BookmarkNode *addCategory(BookmarkNode &parent, const QString &name)
{
    return parent.appendChild(std::make_unique<BookmarkNode>(makeCategoryRecord(name)));
}

BookmarkNode *addBookmark(BookmarkNode &parent, const QString &name, const QString &link)
{
    return parent.appendChild(std::make_unique<BookmarkNode>(makeBookmarkRecord(name, link, 1)));
}

// Every record below `parent` in tree order.
QList<TBookmark> records(const BookmarkNode &parent)
{
    QList<TBookmark> list;
    for (const BookmarkNode *n = parent.firstChild(); n; n = n->nextInTreeOrder(&parent))
        list << n->record;
    return list;
}

QString corpus(const QString &name)
{
    return QStringLiteral(VELLUMITE_CORPORA "/opera/") + name;
}

// Titles and links of a hotlist found another way than the reader's: by patterns over the whole text.
// Each entry is "<depth>F:<name>" or "<depth>L:<name>|<link>".
QStringList independentEntries(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes).replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    static const QRegularExpression entryStart(u"^[ \\t]*(#FOLDER|#URL|#[A-Z]+|-)[ \\t]*$"_s,
                                               QRegularExpression::MultilineOption);
    QStringList entries;
    int depth = 0;
    auto it = entryStart.globalMatch(text);
    QList<QRegularExpressionMatch> matches;
    while (it.hasNext())
        matches << it.next();
    for (qsizetype m = 0; m < matches.size(); ++m) {
        const QString kind = matches[m].captured(1);
        if (kind == u"-") {
            depth = qMax(0, depth - 1);
            continue;
        }
        const qsizetype end = m + 1 < matches.size() ? matches[m + 1].capturedStart() : text.size();
        const QString body = text.mid(matches[m].capturedEnd(), end - matches[m].capturedEnd());
        auto value = [&body](const QString &key) {
            QString found;
            auto values
                = QRegularExpression(u"^\\s*"_s + key + u"=(.*?)\\s*$"_s, QRegularExpression::MultilineOption)
                      .globalMatch(body);
            while (values.hasNext())
                found = values.next().captured(1);
            return found;
        };
        if (kind == u"#FOLDER") {
            entries << QString::number(depth) + u"F:" + value(u"NAME"_s);
            ++depth;
        } else if (kind == u"#URL") {
            entries << QString::number(depth) + u"L:" + value(u"NAME"_s) + u'|' + value(u"URL"_s);
        }
    }
    return entries;
}

QStringList readerEntries(const BookmarkNode &staging)
{
    QStringList entries;
    for (const BookmarkNode *n = staging.firstChild(); n; n = n->nextInTreeOrder(&staging)) {
        const TBookmark &r = n->record;
        const QString depth = QString::number(n->depth() - 1);
        entries << (r.IsCategory ? QString(depth + u"F:" + r.CategoryName)
                                 : QString(depth + u"L:" + r.Description + u'|' + r.Link));
    }
    return entries;
}

} // namespace

class TestOperaHotlist : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void recordsOfTheReader()
    {
        BookmarkNode staging;
        addBookmark(staging, u"already"_s, u"http://a/"_s);
        QCOMPARE(read("Opera Hotlist version 2.0\r\n\r\n#FOLDER\r\n\tID=3\r\n\tNAME=Work\r\n"
                      "\tDESCRIPTION=Jobs\r\n\r\n#URL\r\n\tNAME=Qt\r\n\tURL=https://qt.io/\r\n-\r\n",
                      staging),
                 QString());
        QCOMPARE(describe(staging), u"already<http://a/> [Work Qt<https://qt.io/>]"_s);

        const TBookmark &folder = staging.child(1)->record;
        TBookmark expectedFolder = makeCategoryRecord(u"Work"_s);
        expectedFolder.Comment = u"Jobs"_s;
        expectedFolder.ImportSource = FromOpera;
        expectedFolder.OperaBlock = u"#FOLDER\r\n\tID=3\r\n\tNAME=Work\r\n\tDESCRIPTION=Jobs\r\n"_s;
        QCOMPARE(folder, expectedFolder);

        TBookmark expectedLink = makeBookmarkRecord(u"Qt"_s, u"https://qt.io/"_s, BrowserCode);
        expectedLink.ImportSource = FromOpera;
        expectedLink.OperaBlock = u"#URL\r\n\tNAME=Qt\r\n\tURL=https://qt.io/"_s;
        QCOMPARE(staging.child(1)->child(0)->record, expectedLink);
    }

    void hostileAndOddInput_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");

        QTest::newRow("empty file") << QByteArray() << QString();
        QTest::newRow("CR line ends")
            << QByteArray("#FOLDER\rNAME=F\r#URL\rNAME=a\rURL=u\r-\r") << u"[F a<u>]"_s;
        QTest::newRow("mixed line ends")
            << QByteArray("#FOLDER\r\nNAME=F\n#URL\rNAME=a\r\nURL=u\n-") << u"[F a<u>]"_s;
        QTest::newRow("anchor in a link is not an entry")
            << QByteArray("#URL\n\tURL=http://x/#top\n\tNAME=a\n") << u"a<http://x/#top>"_s;
        QTest::newRow("no NAME line: empty name, not the previous one")
            << QByteArray("#URL\nNAME=a\nURL=1\n#URL\nURL=2\n") << u"a<1> <2>"_s;
        QTest::newRow("no URL line: empty link") << QByteArray("#URL\nNAME=a\n") << u"a<>"_s;
        QTest::newRow("repeated key: the last holds")
            << QByteArray("#URL\nNAME=a\nNAME=b\nURL=1\nURL=2\n") << u"b<2>"_s;
        QTest::newRow("URL key in a folder is no link") << QByteArray("#FOLDER\nNAME=F\nURL=x\n") << u"[F]"_s;
        QTest::newRow("surplus folder ends stay at the top")
            << QByteArray("-\n-\n#FOLDER\nNAME=F\n-\n-\n#URL\nNAME=a\n") << u"[F] a<>"_s;
        QTest::newRow("unclosed folders end with the file")
            << QByteArray("#FOLDER\nNAME=F\n#FOLDER\nNAME=G\n#URL\nNAME=a\n") << u"[F [G a<>]]"_s;
        QTest::newRow("entries of other kinds are skipped")
            << QByteArray("#URL\nNAME=a\n#SEPERATOR\nNAME=sep\n#NOTE\nNAME=n\nURL=x\n#URL\nNAME=b\n")
            << u"a<> b<>"_s;
        QTest::newRow("indented headers and keys")
            << QByteArray("  #FOLDER \n\t\tNAME=F\t\n   -  \n") << u"[F]"_s;
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF#URL\nNAME=a\n") << u"a<>"_s;
        QTest::newRow("4-byte UTF-8 kept whole")
            << QByteArray("#URL\nNAME=\xF0\x9F\x98\x80 \xE6\x97\xA5\nURL=http://\xC3\xA9/\n")
            << u"\U0001F600 \u65E5<http://\u00E9/>"_s;
        QTest::newRow("Latin-1 line read as Windows-1252")
            << QByteArray("#URL\nNAME=Caf\xE9 \x80\nURL=http://x/\xE9\n")
            << u"Caf\u00E9 \u20AC<http://x/\u00E9>"_s;
        QTest::newRow("one bad line leaves the UTF-8 lines alone")
            << QByteArray("#URL\nNAME=\xC3\xA9\n#URL\nNAME=\xE9\n") << u"\u00E9<> \u00E9<>"_s;
        QTest::newRow("cut-off and overlong sequences")
            << QByteArray("#URL\nNAME=a\xC3\n#URL\nNAME=\xC0\xAF\n") << u"a\u00C3<> \u00C0\u00AF<>"_s;
        QTest::newRow("NUL bytes") << QByteArray("#URL\nNAME=a\0b\n", 14) << u"a\u0000b<>"_s;
        QTest::newRow("not a hotlist") << QByteArray("<html>\n<body>\n") << QString();
    }

    void hostileAndOddInput()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        BookmarkNode staging;
        QCOMPARE(read(bytes, staging), QString());
        QCOMPARE(describe(staging), expected);
    }

    void encodedLineBreaksBecomeRecordLineBreaks()
    {
        BookmarkNode staging;
        QCOMPARE(read("#URL\nNAME=a\nDESCRIPTION=one\x02\x02two\n", staging), QString());
        QCOMPARE(staging.child(0)->record.Comment, u"one\r\ntwo"_s);
    }

    void limits_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("accepted");
        const QByteArray folder = "#FOLDER\nNAME=f\n";
        const QByteArray link = "#URL\nNAME=l\nURL=u\n";
        QTest::newRow("deepest folders accepted") << folder.repeated(MaxStoreLevels) << true;
        QTest::newRow("one level deeper refused") << folder.repeated(MaxStoreLevels + 1) << false;
        QTest::newRow("link in the deepest folder accepted")
            << folder.repeated(MaxStoreLevels - 1) + link << true;
        QTest::newRow("link below the deepest folder refused")
            << folder.repeated(MaxStoreLevels) + link << false;
        QTest::newRow("deep but closed again") << QByteArray(folder + "-\n").repeated(10000) << true;
        QTest::newRow("longest line accepted")
            << QByteArray("#URL\nNAME=") + QByteArray(MaxHotlistLineLength - 5, 'x') << true;
        QTest::newRow("longer line refused")
            << QByteArray("#URL\nNAME=") + QByteArray(MaxHotlistLineLength - 4, 'x') << false;
    }

    void limits()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, accepted);
        BookmarkNode staging;
        addBookmark(staging, u"kept"_s, QString());
        const QString error = read(bytes, staging);
        QCOMPARE(error.isEmpty(), accepted);
        if (!accepted)
            QCOMPARE(describe(staging), u"kept<>"_s); // a refused file adds nothing
    }

    void fileFailures()
    {
        QVERIFY(m_dir.isValid());
        BookmarkNode staging;
        QVERIFY(readOperaHotlist(path(u"missing.adr"_s), staging, 0).startsWith(u"Cannot open file"_s));
        QVERIFY(readOperaHotlist(m_dir.path(), staging, 0).startsWith(u"Cannot open file"_s));

        // A pipe would block the read for ever.
        const QString fifo = path(u"pipe.adr"_s);
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(readOperaHotlist(fifo, staging, 0).startsWith(u"Cannot open file"_s));

        QFile large(path(u"large.adr"_s));
        QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(MaxHotlistFileSize + 1));
        large.close();
        QVERIFY(readOperaHotlist(large.fileName(), staging, 0).contains(u"larger than"_s));
        QCOMPARE(staging.childCount(), 0);
    }

    // The smallest export, byte for byte: header, an empty line, CR LF everywhere, no byte-order mark.
    void freshExportBytes()
    {
        BookmarkNode root(makeRootRecord());
        BookmarkNode *folder = addCategory(root, u"Tools"_s);
        addBookmark(*folder, u"Search"_s, u"http://s/"_s);
        QCOMPARE(formatOperaHotlist(root),
                 QByteArray("Opera Hotlist version 2.0\r\nOptions: encoding = utf8, version=3\r\n\r\n"
                            "#FOLDER\r\n        NAME=Tools\r\n        DESCRIPTION=\r\n"
                            "#URL\r\n        NAME=Search\r\n        URL=http://s/\r\n        DESCRIPTION=\r\n"
                            "-\r\n"));
    }

    // Names, links and comments survive an export and a read whole: other scripts, line breaks that try
    // to start entries of their own, a stale block of a renamed node.
    void roundTrip()
    {
        BookmarkNode root(makeRootRecord());
        BookmarkNode *folder = addCategory(root, u"F\u00FCr \U0001F600"_s);
        folder->record.Comment = u"line one\r\n-\r\n#URL\r\nNAME=injected"_s;
        BookmarkNode *link
            = addBookmark(*folder, u"\u041a\u0438\u043d\u043e\r\n-"_s, u"http://x/\n#FOLDER"_s);
        link->record.Comment = u"a\nb"_s;
        BookmarkNode *renamed = addBookmark(root, u"New name"_s, u"http://new/"_s);
        renamed->record.OperaBlock = u"#URL\r\n\tID=9\r\n\tNAME=Old name\r\n\tURL=http://old/\r\n"_s;
        BookmarkNode *corrupt = addCategory(root, u"Corrupt"_s);
        corrupt->record.OperaBlock = u"#URL\r\nNAME=Corrupt\r\n-\r\n-"_s; // a link's block, closing folders

        BookmarkNode back;
        QCOMPARE(read(formatOperaHotlist(root), back), QString());
        const QList<TBookmark> written = records(root);
        const QList<TBookmark> readBack = records(back);
        QCOMPARE(readBack.size(), written.size());
        for (qsizetype i = 0; i < written.size(); ++i) {
            QCOMPARE(readBack[i].IsCategory, written[i].IsCategory);
            QCOMPARE(readBack[i].name(), written[i].name());
            QCOMPARE(readBack[i].Link, withCrLfLineBreaks(written[i].Link));
            QCOMPARE(readBack[i].Comment, withCrLfLineBreaks(written[i].Comment));
        }
        // The renamed node keeps Opera's keys and its line layout; only the changed lines follow it.
        QCOMPARE(readBack[2].OperaBlock,
                 u"#URL\r\n\tID=9\r\n        NAME=New name\r\n        URL=http://new/\r\n"_s);
    }

    void storedBlockWrittenUnchanged()
    {
        TBookmark record = makeBookmarkRecord(u"a"_s, u"http://a/"_s, 1);
        record.Comment = u"x\r\ny"_s;
        record.OperaBlock
            = u"  #URL\r\n\tID=5\r\n\tNAME=a\r\n\tURL=http://a/\r\n\tDESCRIPTION=x\u0002\u0002y\r\n\tVISITED=1\r\n"_s;
        QCOMPARE(operaBlockToWrite(record), record.OperaBlock);
        record.OperaBlock.clear();
        QCOMPARE(operaBlockToWrite(record), freshOperaBlock(record));
        QCOMPARE(freshOperaBlock(record),
                 u"#URL\r\n        NAME=a\r\n        URL=http://a/\r\n        DESCRIPTION=x\u0002\u0002y"_s);
    }

    void fillMissingBlocks()
    {
        BookmarkNode root(makeRootRecord());
        BookmarkNode *folder = addCategory(root, u"F"_s);
        addBookmark(*folder, u"a"_s, u"http://a/"_s);
        BookmarkNode *opera = addBookmark(root, u"b"_s, u"http://b/"_s);
        opera->record.OperaBlock = u"#URL\r\n\tNAME=b\r\n\tURL=http://b/"_s;
        QCOMPARE(fillMissingOperaBlocks(root), 2);
        QCOMPARE(root.record.OperaBlock, QString()); // the root is never written
        for (const TBookmark &r : records(root))
            QCOMPARE(r.OperaBlock, operaBlockToWrite(r));
        QCOMPARE(opera->record.OperaBlock, u"#URL\r\n\tNAME=b\r\n\tURL=http://b/"_s);
        QCOMPARE(fillMissingOperaBlocks(root), 0);
    }

    // A merging export keeps the file whole: its header, its order, its blocks, its separators and
    // twice-named entries; the tree's entries it lacks follow at each level.
    void mergeKeepsTheFile()
    {
        const QByteArray present = "Opera Hotlist version 2.0\nOptions: encoding = utf8, version=21\n\n"
                                   "#FOLDER\n\tNAME=Shared\n\tUNIQUEID=1\n\n"
                                   "#URL\n\tNAME=a\n\tURL=http://file-a/\n\n"
                                   "#SEPERATOR\n\tUNIQUEID=2\n\n"
                                   "#URL\n\tNAME=a\n\tURL=http://file-a2/\n\n"
                                   "-\n\n"
                                   "#URL\n\tNAME=top\n\tURL=http://top/\n";
        BookmarkNode root(makeRootRecord());
        BookmarkNode *shared = addCategory(root, u"Shared"_s);
        addBookmark(*shared, u"a"_s, u"http://tree-a/"_s);
        addBookmark(*shared, u"b"_s, u"http://tree-b/"_s);
        addCategory(root, u"shared"_s);
        addBookmark(root, u"top"_s, u"http://tree-top/"_s);

        QByteArray merged;
        QCOMPARE(mergeOperaHotlist(present, root, merged), QString());
        QCOMPARE(merged,
                 QByteArray("Opera Hotlist version 2.0\r\nOptions: encoding = utf8, version=21\r\n\r\n"
                            "#FOLDER\r\n\tNAME=Shared\r\n\tUNIQUEID=1\r\n\r\n"
                            "#URL\r\n\tNAME=a\r\n\tURL=http://file-a/\r\n\r\n"
                            "#SEPERATOR\r\n\tUNIQUEID=2\r\n\r\n"
                            "#URL\r\n\tNAME=a\r\n\tURL=http://file-a2/\r\n\r\n"
                            "#URL\r\n        NAME=b\r\n        URL=http://tree-b/\r\n        DESCRIPTION=\r\n"
                            "-\r\n\r\n"
                            "#URL\r\n\tNAME=top\r\n\tURL=http://top/\r\n"
                            "#FOLDER\r\n        NAME=shared\r\n        DESCRIPTION=\r\n-\r\n"));

        // Merging the same tree again adds nothing more.
        QByteArray again;
        QCOMPARE(mergeOperaHotlist(merged, root, again), QString());
        QCOMPARE(again, merged);
    }

    void exportModesOnDisk()
    {
        const QString file = path(u"modes.adr"_s);
        const QByteArray present = "#URL\nNAME=old\nURL=http://old/\n";
        BookmarkNode root(makeRootRecord());
        addBookmark(root, u"new"_s, u"http://new/"_s);

        QVERIFY(testfiles::writeFile(file, present));
        QCOMPARE(writeOperaHotlist(root, file, ExportMode::Merge), QString());
        BookmarkNode merged;
        QCOMPARE(readOperaHotlist(file, merged, 0), QString());
        QCOMPARE(describe(merged), u"old<http://old/> new<http://new/>"_s);

        QCOMPARE(writeOperaHotlist(root, file, ExportMode::Replace), QString());
        QCOMPARE(testfiles::readFile(file), formatOperaHotlist(root));

        // A merge into a file that is not there yet writes the tree alone.
        const QString fresh = path(u"fresh.adr"_s);
        QCOMPARE(writeOperaHotlist(root, fresh, ExportMode::Merge), QString());
        QCOMPARE(testfiles::readFile(fresh), formatOperaHotlist(root));
    }

    // A write or a merge that fails leaves the former file as it was.
    void failedExportKeepsTheFile()
    {
        BookmarkNode root(makeRootRecord());
        addBookmark(root, u"new"_s, u"http://new/"_s);

        const QString tooDeep = path(u"deep.adr"_s);
        const QByteArray deep = QByteArray("#FOLDER\nNAME=f\n").repeated(MaxStoreLevels + 1);
        QVERIFY(testfiles::writeFile(tooDeep, deep));
        QVERIFY(writeOperaHotlist(root, tooDeep, ExportMode::Merge).contains(u"left as it was"_s));
        QCOMPARE(testfiles::readFile(tooDeep), deep);

        QVERIFY(writeOperaHotlist(root, path(u"no/such/folder.adr"_s), ExportMode::Replace)
                    .startsWith(u"Cannot create file"_s));

        const QString locked = path(u"locked"_s);
        QVERIFY(QDir().mkpath(locked));
        const QString inLocked = locked + u"/opera6.adr";
        QVERIFY(testfiles::writeFile(inLocked, "#URL\nNAME=kept\n"));
        QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
        if (QFileInfo(locked).isWritable())
            QSKIP("running as a user that may write anywhere");
        QVERIFY(writeOperaHotlist(root, inLocked, ExportMode::Replace).startsWith(u"Cannot create file"_s));
        QCOMPARE(testfiles::readFile(inLocked), QByteArray("#URL\nNAME=kept\n"));
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void realHotlists_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("folders");
        QTest::addColumn<int>("links");
        QTest::newRow("opera6.adr") << u"opera6.adr"_s << 2 << 9;
        QTest::newRow("rt75463.adr") << u"rt75463.adr"_s << 0 << 1;
        QTest::newRow("opera-1150.adr") << u"opera-1150.adr"_s << 2 << 19;
        QTest::newRow("opera-1150-unix.adr") << u"opera-1150-unix.adr"_s << 2 << 19;
    }

    void realHotlists()
    {
        QFETCH(QString, file);
        QFETCH(int, folders);
        QFETCH(int, links);
        VELLUMITE_SKIP_WITHOUT_CORPORA();
        const QByteArray bytes = testfiles::readFile(corpus(file));
        QVERIFY2(!bytes.isEmpty(), qPrintable(corpus(file)));

        BookmarkNode staging;
        QCOMPARE(readOperaHotlist(corpus(file), staging, BrowserCode), QString());
        QCOMPARE(readerEntries(staging), independentEntries(bytes));
        int foldersRead = 0;
        int linksRead = 0;
        for (const TBookmark &r : records(staging))
            ++(r.IsCategory ? foldersRead : linksRead);
        QCOMPARE(foldersRead, folders);
        QCOMPARE(linksRead, links);

        // Written back, the file reads as the same records; merged with nothing, it stays the same file
        // (with CR LF line ends, and unclosed folders closed).
        BookmarkNode root(makeRootRecord());
        root.appendChildren(staging.takeAllChildren());
        BookmarkNode again;
        QCOMPARE(read(formatOperaHotlist(root), again), QString());
        QCOMPARE(records(again), records(root));

        QByteArray merged;
        QCOMPARE(mergeOperaHotlist(bytes, BookmarkNode(makeRootRecord()), merged), QString());
        QByteArray expected = bytes;
        expected.replace("\r\n", "\n").replace("\n", "\r\n");
        QVERIFY(merged.startsWith(expected));
        QVERIFY(QByteArray(merged.sliced(expected.size())).replace("-\r\n", "").isEmpty());
    }

    void crLfAndLfHotlistsGiveOneTree()
    {
        BookmarkNode windows;
        BookmarkNode unix;
        VELLUMITE_SKIP_WITHOUT_CORPORA();
        QCOMPARE(readOperaHotlist(corpus(u"opera-1150.adr"_s), windows, 0), QString());
        QCOMPARE(readOperaHotlist(corpus(u"opera-1150-unix.adr"_s), unix, 0), QString());
        QCOMPARE(records(unix), records(windows));
        QCOMPARE(describe(unix), describe(windows));
    }
};

QTEST_GUILESS_MAIN(TestOperaHotlist)
#include "tst_operahotlist.moc"
