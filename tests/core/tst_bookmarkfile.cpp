#include "main/core/bookmarkfile.h"
#include "main/core/bookmarkrecord.h"
#include "tests/common/filesizelimit.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <sys/stat.h>

using namespace vellumite;
using namespace Qt::Literals::StringLiterals;

namespace {

// Hand-made streams, independent of the writer, for the cases it never produces.
QByteArray le32(qint64 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian<quint32>(static_cast<quint32>(value), bytes.data());
    return bytes;
}

QByteArray chunk(qint32 type, const QByteArray &body, std::optional<qint64> size = {})
{
    return le32(type) + le32(size.value_or(body.size())) + body;
}

QByteArray baseBody(qint64 childCount, quint16 states = 0x0081)
{
    QByteArray body = le32(childCount) + le32(18);
    body += char(states & 0xFF);
    body += char(states >> 8);
    body += QByteArray::fromHex("32 00 00 00000000");
    return body;
}

QByteArray recordBytes(const TBookmark &record)
{
    QByteArray bytes;
    VTSaveNode(bytes, record);
    return bytes;
}

QByteArray utf16(const QString &text)
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), 2 * text.size());
}

QByteArray nodeChunk(const TBookmark &record, const QByteArray &children = {}, int childCount = 0,
                     quint16 states = 0x0081)
{
    QByteArray body = chunk(2, baseBody(childCount, states) + children) + chunk(4, recordBytes(record));
    if (!record.name().isEmpty())
        body += chunk(3, utf16(record.name()));
    return chunk(1, body);
}

const QByteArray Identification = QByteArray::fromHex("4520 5600 5400 0200 2000 4620");

QByteArray streamOf(qint64 count, const QByteArray &nodes)
{
    return Identification + le32(count) + nodes;
}

TBookmark bookmarkRecord(const QString &title, const QString &link)
{
    return makeBookmarkRecord(title, link, 1);
}

TBookmark categoryRecord(const QString &name)
{
    return makeCategoryRecord(name);
}

BookmarkNode *add(BookmarkNode &parent, TBookmark record)
{
    return parent.appendChild(std::make_unique<BookmarkNode>(std::move(record)));
}

QByteArray fixture(const QString &name)
{
    QFile file(QStringLiteral(VELLUMITE_TEST_DATA "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return file.readAll();
}

// The tree that tests/data/make_fixtures.py writes as nested-expanded-selected.lkb.
void makeNestedTree(BookmarkTree &tree)
{
    BookmarkNode *root = add(tree.topLevel(), makeRootRecord());
    root->setState(NodeState::Expanded, true);

    BookmarkNode *news = add(*root, categoryRecord(u"News"_s));
    news->setState(NodeState::Expanded, true);
    news->setState(NodeState::Selected, true);
    TBookmark bbc = bookmarkRecord(u"BBC \u2013 World"_s, u"https://www.bbc.co.uk/news/world"_s);
    bbc.LinkState = LinkAlive;
    bbc.PriorityColor = PriorityHigh;
    bbc.Comment = u"Read daily\r\nbefore nine"_s;
    add(*news, bbc);
    BookmarkNode *tech = add(*news, categoryRecord(u"Tech"_s));
    TBookmark ars = bookmarkRecord(u"Ars Technica"_s, u"https://arstechnica.com/"_s);
    ars.PriorityColor = PriorityMedium;
    ars.ImportSource = FromFirefox;
    add(*tech, ars);

    TBookmark kino = bookmarkRecord(u"\u041a\u0438\u043d\u043e"_s, u"https://kino.example/"_s);
    kino.LinkState = LinkBroken;
    add(*root, kino)->setState(NodeState::Selected, true);
    add(*root, bookmarkRecord(QString(), u"https://example.org/untitled"_s));
    TBookmark cafe = bookmarkRecord(u"Caf\u00e9 culture and the long history of the coffee houses"_s,
                                    u"https://example.org/cafe"_s);
    cafe.ImportSource = FromOpera;
    cafe.OperaBlock = u"#URL\r\n\tID=12\r\n\tNAME=Caf\u00e9 culture"_s;
    add(*root, cafe);
    add(*root, bookmarkRecord(u"Smile \U0001F600"_s, u"https://example.org/smile"_s));
}

// A root with a category holding one bookmark, and a second bookmark.
QByteArray smallTwoLevelFile()
{
    BookmarkTree tree;
    BookmarkNode *root = add(tree.topLevel(), makeRootRecord());
    BookmarkNode *folder = add(*root, categoryRecord(u"Folder"_s));
    folder->setState(NodeState::Expanded, true);
    add(*folder, bookmarkRecord(u"Inner \u00e9"_s, u"https://a.example/"_s));
    add(*root, bookmarkRecord(u"Outer"_s, u"https://b.example/"_s))->setState(NodeState::Selected, true);
    return BookmarkFile::save(tree);
}

bool isStreamMessage(const QString &message)
{
    static const QStringList known
        = { NotEnoughDataMessage,      WrongFormatMessage,       UnknownVersionMessage,
            AnchorChunkMissingMessage, UnexpectedDataMessage,    InvalidPropertyValueMessage,
            StreamReadErrorMessage,    NodeCountMismatchMessage, ChildCountMismatchMessage,
            TooDeeplyNestedMessage };
    static const QRegularExpression notInteger(u"\\A'.*' is not a valid integer value\\z"_s,
                                               QRegularExpression::DotMatchesEverythingOption);
    return message.isEmpty() || known.contains(message) || notInteger.match(message).hasMatch();
}

// Whatever a load left in the tree, even after a failure, saves to a stream that loads without error
// and saves to the same bytes again.
bool saveIsStable(const BookmarkTree &tree, QByteArray *saved = nullptr)
{
    const QByteArray first = BookmarkFile::save(tree);
    BookmarkTree again;
    if (!BookmarkFile::load(again, first).isEmpty())
        return false;
    if (saved)
        *saved = first;
    return BookmarkFile::save(again) == first;
}

} // namespace

class TestBookmarkFile : public QObject
{
    Q_OBJECT

private slots:
    void freshStartFileByteForByte()
    {
        BookmarkTree tree;
        add(tree.topLevel(), makeRootRecord());
        const QByteArray expected = QByteArray::fromHex(
            "4520 5600 5400 0200 2000 4620" // identification, version 2
            "01000000" // one top-level node
            "01000000 6d000000" // node chunk
            "02000000 11000000 00000000 12000000 8100 32 00 00 00000000" // base chunk: leaf, 18 high
            "04000000 32000000" // user chunk, the eleven values:
            "06 09 426f6f6b6d61726b73 12 00000000 12 00000000 12 00000000 12 00000000"
            "08 09 02 06 02 00 02 ff 06 09 243030323332333233"
            "03000000 12000000 42006f006f006b006d00610072006b007300"); // caption "Bookmarks"
        QCOMPARE(expected.size(), 133);
        QCOMPARE(BookmarkFile::save(tree), expected);

        QTemporaryDir dir;
        const QString path = dir.filePath(u"Bookmarks.lkb"_s);
        QCOMPARE(BookmarkFile::saveToFile(tree, path), QString());
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), expected);

        BookmarkTree loaded;
        QCOMPARE(BookmarkFile::loadFromFile(loaded, path), QString());
        QCOMPARE(loaded.totalCount(), 1);
        const BookmarkNode &root = *loaded.firstNode();
        QCOMPARE(root.record, makeRootRecord());
        QCOMPARE(root.states, quint16(0x0081));
        QCOMPARE(root.nodeHeight, quint16(18));
        QCOMPARE(root.align, quint8(50));
    }

    void nestedFixtureRoundTripsWithItsStates()
    {
        const QByteArray bytes = fixture(u"nested-expanded-selected.lkb"_s);
        BookmarkTree built;
        makeNestedTree(built);
        QCOMPARE(BookmarkFile::save(built), bytes);

        BookmarkTree tree;
        QCOMPARE(BookmarkFile::load(tree, bytes), QString());
        QCOMPARE(BookmarkFile::save(tree), bytes);
        QCOMPARE(tree.totalCount(), built.totalCount());
        QCOMPARE(tree.topLevel().childCount(), 1);

        const BookmarkNode &root = *tree.firstNode();
        QCOMPARE(root.states, quint16(0x00E1));
        const BookmarkNode &news = *root.child(0);
        QCOMPARE(news.record.CategoryName, u"News"_s);
        QCOMPARE(news.states, quint16(0x01E1)); // open, selected, with children
        QVERIFY(!news.child(1)->hasState(NodeState::Expanded));
        QCOMPARE(news.child(1)->child(0)->record.PriorityColor, PriorityMedium);
        QCOMPARE(news.child(0)->record.Comment, u"Read daily\r\nbefore nine"_s);
        QVERIFY(root.child(1)->hasState(NodeState::Selected));
        QCOMPARE(root.child(1)->record.Description, u"\u041a\u0438\u043d\u043e"_s);
        // A bookmark without a title has no caption chunk and stays without one.
        QCOMPARE(root.child(2)->record.Description, QString());
        QCOMPARE(root.child(2)->record.Link, u"https://example.org/untitled"_s);
        QCOMPARE(root.child(3)->record.OperaBlock, u"#URL\r\n\tID=12\r\n\tNAME=Caf\u00e9 culture"_s);
        QCOMPARE(root.child(4)->record.Description, u"Smile \U0001F600"_s);
        for (int i = 0; i < root.childCount(); ++i)
            QCOMPARE(root.child(i)->record, built.firstNode()->child(i)->record);
    }

    void eightBitTextFromElsewhereIsWindows1252()
    {
        BookmarkTree tree;
        QCOMPARE(BookmarkFile::load(tree, fixture(u"windows-1252-texts.lkb"_s)), QString());
        const TBookmark &record = tree.firstNode()->child(0)->record;
        QCOMPARE(record.Description, u"Caf\u00e9 \u20ac 5"_s);
        QCOMPARE(record.Link, u"https://example.org/caf%C3%A9"_s);
        QCOMPARE(record.Comment, u"\u201cquoted\u201d \u0081"_s + QString(300, u'x'));
        QVERIFY(saveIsStable(tree));
    }

    void streamFrame_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("topLevel");

        const QByteArray root = nodeChunk(makeRootRecord());
        const QByteArray fresh = streamOf(1, root);
        auto withUnit = [&fresh](int unit, const char *le) {
            QByteArray b = fresh;
            b.replace(2 * unit, 2, QByteArray::fromHex(le));
            return b;
        };
        QTest::newRow("fifth unit is ignored") << withUnit(4, "2100") << QString() << 1;
        QTest::newRow("version 3") << withUnit(3, "0300") << UnknownVersionMessage << 0;
        QTest::newRow("first unit differs") << withUnit(0, "4620") << WrongFormatMessage << 0;
        QTest::newRow("last unit differs") << withUnit(5, "4520") << WrongFormatMessage << 0;
        QTest::newRow("empty file") << QByteArray() << NotEnoughDataMessage << 0;
        QTest::newRow("identification cut short") << Identification.first(11) << NotEnoughDataMessage << 0;
        QTest::newRow("count missing") << Identification << StreamReadErrorMessage << 0;
        QTest::newRow("count cut short") << Identification + "\1\0"_ba << StreamReadErrorMessage << 0;
        QTest::newRow("count 0") << streamOf(0, {}) << QString() << 0;
        QTest::newRow("count above the nodes present") << streamOf(5, root) << QString() << 1;
        // A count that leaves nodes unread, or that no writer makes, fails the load: the file holds more
        // than the tree would, and a save of that tree would lose the rest.
        QTest::newRow("count below the nodes present")
            << streamOf(1, root + root) << NodeCountMismatchMessage << 1;
        QTest::newRow("count 0 with a node after it") << streamOf(0, root) << NodeCountMismatchMessage << 0;
        QTest::newRow("count negative") << streamOf(-1, root) << NodeCountMismatchMessage << 0;
        QTest::newRow("count with the high bit set")
            << streamOf(0x80000001LL, root) << NodeCountMismatchMessage << 0;
        QTest::newRow("bytes after the last node")
            << streamOf(1, root + "xyz"_ba) << NodeCountMismatchMessage << 1;
        QTest::newRow("two top-level nodes") << streamOf(2, root + root) << QString() << 2;
        QTest::newRow("empty node chunk") << streamOf(1, chunk(1, {})) << QString() << 1;

        // Versions 0 and 1: no count, and a 12-byte base body.
        QByteArray oldBody = le32(0) + le32(18) + QByteArray::fromHex("81 32 00 00");
        const QByteArray oldNode = chunk(1, chunk(2, oldBody) + chunk(4, recordBytes(makeRootRecord())));
        QByteArray version1 = Identification;
        version1[6] = 1;
        QTest::newRow("version 1 reads to the end")
            << version1 + oldNode + oldNode + oldNode << QString() << 3;
        QByteArray version0 = Identification;
        version0[6] = 0;
        QTest::newRow("version 0") << version0 + oldNode << QString() << 1;

        // A chunk of a type the reader does not know is skipped.
        const TBookmark rec = makeRootRecord();
        const QByteArray withUnknown = chunk(1,
                                             chunk(2, baseBody(0)) + chunk(9, "xyz"_ba)
                                                 + chunk(4, recordBytes(rec)) + chunk(3, utf16(rec.name())));
        QTest::newRow("unknown chunk skipped") << streamOf(1, withUnknown) << QString() << 1;
        // A node chunk is never skipped: more children than the base chunk announces mean a damaged
        // count, and skipping them would lose them at the next save.
        const QByteArray child = nodeChunk(bookmarkRecord(u"Child"_s, u"https://c.example/"_s));
        const QByteArray rootValues = chunk(4, recordBytes(rec)) + chunk(3, utf16(rec.name()));
        QTest::newRow("child count below the children present")
            << streamOf(1, chunk(1, chunk(2, baseBody(1, 0x00C1) + child + child) + rootValues))
            << ChildCountMismatchMessage << 1;
        QTest::newRow("node chunk after the record")
            << streamOf(1, chunk(1, chunk(2, baseBody(0)) + rootValues + child)) << ChildCountMismatchMessage
            << 1;
    }
    void streamFrame()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        QFETCH(int, topLevel);
        BookmarkTree tree;
        add(tree.topLevel(), makeRootRecord()); // loading empties the tree first
        QCOMPARE(BookmarkFile::load(tree, bytes), error);
        QCOMPARE(tree.topLevel().childCount(), topLevel);
        const BookmarkNode *first = tree.firstNode();
        if (error.isEmpty() && first && first->record.CategoryName == RootCategoryName)
            QCOMPARE(first->record, makeRootRecord());
    }

    void olderVersionsMapVisibleToSelected_data()
    {
        QTest::addColumn<quint8>("stored");
        QTest::addColumn<quint16>("states");
        QTest::newRow("visible becomes selected") << quint8(0x81) << quint16(0x0181);
        QTest::newRow("otherwise visible is added") << quint8(0x21) << quint16(0x00A1);
    }
    void olderVersionsMapVisibleToSelected()
    {
        QFETCH(quint8, stored);
        QFETCH(quint16, states);
        QByteArray body = le32(0) + le32(0x00010014);
        body += char(stored);
        body += QByteArray::fromHex("31 02 03");
        QByteArray bytes = Identification + chunk(1, chunk(2, body));
        bytes[6] = 1;
        BookmarkTree tree;
        QCOMPARE(BookmarkFile::load(tree, bytes), QString());
        const BookmarkNode &node = *tree.firstNode();
        QCOMPARE(node.states, states);
        QCOMPARE(node.nodeHeight, quint16(20)); // the low 16 bits
        QCOMPARE(node.align, quint8(0x31));
        QCOMPARE(node.checkState, quint8(2));
        QCOMPARE(node.checkType, quint8(3));
    }

    // The record may disagree with its chunk's size: the values are read from the chunk's start, and
    // reading goes on at the chunk's end.
    void userChunkSizeDiffersFromItsValues_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        const TBookmark rec = makeRootRecord();
        const QByteArray values = recordBytes(rec);
        const QByteArray caption = chunk(3, utf16(rec.name()));
        QTest::newRow("larger: the extra bytes are skipped") << streamOf(
            1, chunk(1, chunk(2, baseBody(0)) + chunk(4, values + "\xde\xad\xbe\xef"_ba) + caption))
                                                             << QString();
        // Smaller: the last value lies beyond the chunk, which ends the node; the count ends the stream,
        // so the bytes after the chunk end are never read as chunks, but they are left unread.
        QByteArray shortUser = chunk(4, values, values.size() - 10);
        QTest::newRow("smaller: the values are read across the chunk end")
            << streamOf(1, chunk(1, chunk(2, baseBody(0)) + shortUser, 25 + shortUser.size() - 10))
            << NodeCountMismatchMessage;
    }
    void userChunkSizeDiffersFromItsValues()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        BookmarkTree tree;
        QCOMPARE(BookmarkFile::load(tree, bytes), error);
        QCOMPARE(tree.totalCount(), 1);
        QCOMPARE(tree.firstNode()->record, makeRootRecord());
    }

    // Damaged and hostile streams fail with a message, promptly, and never read or allocate beyond the
    // data.
    void hostileStreams_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        const TBookmark rec = makeRootRecord();
        const QByteArray values = recordBytes(rec);
        const QByteArray base = chunk(2, baseBody(0));
        auto node = [](const QByteArray &body) { return streamOf(1, chunk(1, body)); };

        QTest::newRow("top-level chunk of another type")
            << streamOf(1, chunk(2, baseBody(0))) << AnchorChunkMissingMessage;
        QTest::newRow("child chunk of another type")
            << node(chunk(2, baseBody(1) + chunk(4, values))) << AnchorChunkMissingMessage;
        QTest::newRow("negative node chunk size") << streamOf(1, chunk(1, base, -8)) << UnexpectedDataMessage;
        QTest::newRow("negative size of an unknown chunk")
            << node(chunk(7, {}, -8) + base) << UnexpectedDataMessage;
        QTest::newRow("negative user chunk size")
            << node(base + chunk(4, values, -1)) << UnexpectedDataMessage;
        QTest::newRow("negative caption size") << node(base + chunk(3, {}, -2)) << UnexpectedDataMessage;
        QTest::newRow("node chunk shorter than its chunks")
            << streamOf(1, chunk(1, base + chunk(4, values), 30)) << UnexpectedDataMessage;
        QTest::newRow("node chunk longer than the data")
            << streamOf(1, chunk(1, base + chunk(4, values), 1000)) << StreamReadErrorMessage;
        QTest::newRow("sub-chunk header cut short") << node(base + "\4\0\0"_ba) << StreamReadErrorMessage;
        QTest::newRow("base body cut short")
            << node(chunk(2, baseBody(0).first(10))) << StreamReadErrorMessage;
        QTest::newRow("unknown chunk beyond the data")
            << node(chunk(7, "ab"_ba, 0x7FFFFFFF)) << StreamReadErrorMessage;
        QTest::newRow("user chunk beyond the data")
            << node(base + chunk(4, values, 0x7FFFFFFF)) << StreamReadErrorMessage;
        QTest::newRow("caption beyond the data")
            << node(base + chunk(3, "A\0"_ba, 0x7FFFFFFF)) << StreamReadErrorMessage;
        QTest::newRow("child count beyond the data")
            << node(chunk(2, baseBody(0xFFFFFFFF) + nodeChunk(rec))) << StreamReadErrorMessage;
        QTest::newRow("string count beyond the data")
            << node(base + chunk(4, "\x12\xff\xff\xff\x7f"_ba)) << StreamReadErrorMessage;
        QTest::newRow("record cut short")
            << node(base + chunk(4, values.first(30))) << StreamReadErrorMessage;
        QTest::newRow("record with an unknown tag")
            << node(base + chunk(4, "\x01\x00"_ba + values)) << InvalidPropertyValueMessage;
        QByteArray badColour = values;
        badColour.replace(badColour.size() - 9, 9, "$0023232G"_ba);
        QTest::newRow("colour that is not a number")
            << node(base + chunk(4, badColour)) << u"'$0023232G' is not a valid integer value"_s;
    }
    void hostileStreams()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        BookmarkTree tree;
        QCOMPARE(BookmarkFile::load(tree, bytes), error);
        // The nodes read so far stay, the failing one in part, and they are whole enough to save.
        QVERIFY(tree.totalCount() >= 1);
        QVERIFY(saveIsStable(tree));
    }

    // A child count one above the children: the reader takes the parent's record for one more child
    // and fails. That node holds nothing of the file, and says so, so that it never passes for an empty
    // bookmark; the children read before it keep their records.
    void aNodeWhoseChunkFailsAtOnceHasNoRecord()
    {
        const TBookmark link = bookmarkRecord(u"Example"_s, u"https://example.org/"_s);
        const QByteArray bytes = streamOf(1, nodeChunk(makeRootRecord(), nodeChunk(link), 2, 0x00E1));
        BookmarkTree tree;
        QCOMPARE(BookmarkFile::load(tree, bytes), AnchorChunkMissingMessage);
        const BookmarkNode &root = *tree.firstNode();
        QVERIFY(!root.hasRecord);
        QCOMPARE(root.childCount(), 2);
        QVERIFY(root.child(0)->hasRecord);
        QCOMPARE(root.child(0)->record, link);
        QVERIFY(!root.child(1)->hasRecord);
    }

    void oddCaptionSizeReadsWholeUnitsOnly()
    {
        const QByteArray bytes
            = streamOf(1,
                       chunk(1,
                             chunk(2, baseBody(0)) + chunk(4, recordBytes(categoryRecord({})))
                                 + chunk(3, "A\0B\0C"_ba)));
        BookmarkTree tree;
        QCOMPARE(BookmarkFile::load(tree, bytes), QString());
        QCOMPARE(tree.firstNode()->record.CategoryName, u"AB"_s);
    }

    void captionSetsTheNameUnlessAHandlerTakesIt()
    {
        const TBookmark rec = makeRootRecord();
        auto fileWithCaption = [&rec](const QByteArray &caption) {
            return streamOf(1,
                            chunk(1, chunk(2, baseBody(0)) + chunk(4, recordBytes(rec)) + chunk(3, caption)));
        };
        BookmarkTree tree;
        QCOMPARE(BookmarkFile::load(tree, fileWithCaption(utf16(u"Renamed"_s))), QString());
        QCOMPARE(tree.firstNode()->record.CategoryName, u"Renamed"_s);
        QCOMPARE(BookmarkFile::load(tree, fileWithCaption({})), QString());
        QCOMPARE(tree.firstNode()->record.CategoryName, RootCategoryName);

        QStringList calls;
        const CaptionHandler recordCalls = [&calls](BookmarkNode &node, const QString &caption) {
            calls << node.record.name() + u'|' + caption;
        };
        QCOMPARE(BookmarkFile::load(tree, fileWithCaption({}), recordCalls), QString());
        QCOMPARE(BookmarkFile::load(tree, fileWithCaption(utf16(u"Renamed"_s)), recordCalls), QString());
        QCOMPARE(calls, (QStringList { u"Bookmarks|"_s, u"Bookmarks|Renamed"_s }));
        QCOMPARE(tree.firstNode()->record.CategoryName, RootCategoryName);

        // The record of a node is read before its caption, and children come before their parent.
        calls.clear();
        QCOMPARE(BookmarkFile::load(tree, fixture(u"nested-expanded-selected.lkb"_s), recordCalls),
                 QString());
        QCOMPARE(calls.size(), 8); // every node but the one without a title
        QCOMPARE(calls.first(), u"BBC \u2013 World|BBC \u2013 World"_s);
        QCOMPARE(calls.last(), u"Bookmarks|Bookmarks"_s);
    }

    // A tree of `levels` levels, one category on each.
    static void makeChain(BookmarkTree &tree, int levels)
    {
        BookmarkNode *node = add(tree.topLevel(), makeRootRecord());
        for (int i = 1; i < levels; ++i)
            node = add(*node, categoryRecord(u"level"_s));
    }

    // The writer needs no deep stack; the reader takes 1000 levels and refuses a deeper file before the
    // view would lay it out recursively.
    void deepNesting()
    {
        BookmarkTree deepest;
        makeChain(deepest, MaxTreeLevels);
        QByteArray saved;
        QVERIFY(saveIsStable(deepest, &saved));
        BookmarkTree loaded;
        QCOMPARE(BookmarkFile::load(loaded, saved), QString());
        QCOMPARE(loaded.totalCount(), MaxTreeLevels);

        BookmarkTree tooDeep;
        makeChain(tooDeep, MaxTreeLevels + 1);
        QCOMPARE(BookmarkFile::load(loaded, BookmarkFile::save(tooDeep)), TooDeeplyNestedMessage);
        QCOMPARE(loaded.totalCount(), MaxTreeLevels);

        BookmarkTree hostile;
        makeChain(hostile, 100000);
        QCOMPARE(BookmarkFile::load(loaded, BookmarkFile::save(hostile)), TooDeeplyNestedMessage);

        // Pasted chunks get the levels left below their target.
        const QByteArray chain = BookmarkFile::writeNodeChunks({ deepest.firstNode()->child(0) });
        BookmarkNode target;
        QCOMPARE(BookmarkFile::readNodeChunks(chain, target, nullptr, {}, MaxTreeLevels - 1), QString());
        QCOMPARE(BookmarkFile::readNodeChunks(chain, target, nullptr, {}, MaxTreeLevels - 2),
                 TooDeeplyNestedMessage);
        QCOMPARE(BookmarkFile::readNodeChunks(chain, target, nullptr, {}, 0), TooDeeplyNestedMessage);
    }

    // The transient flags (a cut under way among them) belong to the run that set them: neither a file
    // nor the clipboard brings them in, and none is written.
    void transientStatesAreMaskedOnReadAndWrite()
    {
        constexpr quint16 transient = NodeState::CheckChanging | NodeState::CutOrCopy | NodeState::Deleting
            | NodeState::ReleaseRecord | NodeState::HeightMeasured;
        const QByteArray marked
            = nodeChunk(bookmarkRecord(u"Marked"_s, u"https://m.example/"_s), {}, 0, 0x0181 | transient);
        const QByteArray root = nodeChunk(makeRootRecord(), marked, 1, 0x01E1 | transient);
        BookmarkTree tree;
        QCOMPARE(BookmarkFile::load(tree, streamOf(1, root)), QString());
        QCOMPARE(tree.firstNode()->states, quint16(0x01E1));
        QCOMPARE(tree.firstNode()->child(0)->states, quint16(0x0181));

        BookmarkNode target;
        QCOMPARE(BookmarkFile::readNodeChunks(marked, target, nullptr), QString());
        QCOMPARE(target.child(0)->states, quint16(0x0181));

        tree.firstNode()->states |= transient;
        const QByteArray saved = BookmarkFile::save(tree);
        QCOMPARE(saved.mid(16 + 16 + 8, 2), QByteArray::fromHex("e101"));
    }

    // The has-children flag tells what is written: a childless node is saved without it, whatever it was
    // read with, and a node with children always with it.
    void hasChildrenFlagFollowsTheChildren()
    {
        const QByteArray leaf = nodeChunk(categoryRecord(u"Empty"_s), {}, 0, 0x00C1);
        BookmarkTree tree;
        QCOMPARE(BookmarkFile::load(tree, streamOf(1, nodeChunk(makeRootRecord(), leaf, 1, 0x0081))),
                 QString());
        const QByteArray saved = BookmarkFile::save(tree);
        BookmarkTree again;
        QCOMPARE(BookmarkFile::load(again, saved), QString());
        QCOMPARE(again.firstNode()->states, quint16(0x00C1));
        QCOMPARE(again.firstNode()->child(0)->states, quint16(0x0081));
    }

    // Every prefix of a small file, and single-byte damage anywhere in it, either loads or fails with one
    // of the stream's messages; what was read is always whole enough to save and read again.
    void damagedFilesFailCleanly()
    {
        const QByteArray file = smallTwoLevelFile();
        QVERIFY(file.size() > 200);
        int failures = 0;
        auto check = [&failures](const QByteArray &bytes, const char *what, qsizetype at) {
            BookmarkTree tree;
            const QString error = BookmarkFile::load(tree, bytes);
            failures += error.isEmpty() ? 0 : 1;
            if (!isStreamMessage(error) || !saveIsStable(tree))
                qFatal("%s at %lld: %s", what, qlonglong(at), qPrintable(error));
        };
        for (qsizetype n = 0; n < file.size(); ++n)
            check(file.first(n), "prefix", n);
        for (qsizetype i = 0; i < file.size(); ++i) {
            const auto original = static_cast<unsigned char>(file[i]);
            for (unsigned char value : { 0x00, 0x01, 0x7F, 0x80, 0xFF, original ^ 0x01, original ^ 0x80 }) {
                if (value == original)
                    continue;
                QByteArray damaged = file;
                damaged[i] = static_cast<char>(value);
                check(damaged, "damage", i);
            }
        }
        QVERIFY(failures > file.size()); // every prefix and much of the damage fail
    }

    void clipboardChunks()
    {
        BookmarkTree tree;
        makeNestedTree(tree);
        const BookmarkNode &root = *tree.firstNode();
        // The node chunks of the file are the same bytes.
        QCOMPARE(BookmarkFile::writeNodeChunks({ &root }), BookmarkFile::save(tree).mid(16));

        const QByteArray copied = BookmarkFile::writeNodeChunks({ root.child(0), root.child(1) });
        BookmarkNode target(categoryRecord(u"Target"_s));
        add(target, bookmarkRecord(u"Already there"_s, u"https://c.example/"_s));
        std::vector<BookmarkNode *> added;
        QCOMPARE(BookmarkFile::readNodeChunks(copied, target, &added), QString());
        QCOMPARE(added.size(), size_t(2));
        QCOMPARE(target.childCount(), 3);
        QCOMPARE(added[0], target.child(1));
        QCOMPARE(added[0]->record.CategoryName, u"News"_s);
        QCOMPARE(added[0]->child(1)->child(0)->record.Description, u"Ars Technica"_s);
        QCOMPARE(added[1]->record, root.child(1)->record);
        QCOMPARE(BookmarkFile::writeNodeChunks({ added[0], added[1] }), copied);

        // Damaged clipboard data fails the same way; the nodes read before the failure are reported.
        added.clear();
        QCOMPARE(BookmarkFile::readNodeChunks(copied.first(copied.size() - 3), target, &added),
                 StreamReadErrorMessage);
        QCOMPARE(added.size(), size_t(2));
        QCOMPARE(BookmarkFile::readNodeChunks(QByteArray(12, 'x'), target, nullptr),
                 AnchorChunkMissingMessage);
    }

    // The program's own 50-node file with its count damaged: the load fails instead of reading an empty
    // tree that would be saved over the file.
    void damagedCountOfARealFileFails_data()
    {
        QTest::addColumn<quint32>("count");
        QTest::newRow("high bit set") << quint32(0x80000001);
        QTest::newRow("zero") << quint32(0);
    }
    void damagedCountOfARealFileFails()
    {
        QFETCH(quint32, count);
        BookmarkTree tree;
        BookmarkNode *root = add(tree.topLevel(), makeRootRecord());
        for (int i = 0; i < 49; ++i)
            add(*root, bookmarkRecord(u"Link %1"_s.arg(i), u"https://example.org/%1"_s.arg(i)));
        QByteArray bytes = BookmarkFile::save(tree);
        qToLittleEndian<quint32>(count, bytes.data() + 12);
        BookmarkTree loaded;
        QCOMPARE(BookmarkFile::load(loaded, bytes), NodeCountMismatchMessage);
    }

    // The fixture is a 56-node file whose first category's child count was lowered from 10 to 4 with
    // every byte left in place: the load fails instead of reading 50 nodes that a save would keep alone.
    void loweredInnerChildCountFails()
    {
        QByteArray bytes = fixture(u"lowered-inner-child-count.lkb"_s);
        BookmarkTree tree;
        QCOMPARE(BookmarkFile::load(tree, bytes), ChildCountMismatchMessage);
        QVERIFY(saveIsStable(tree));

        // With the count mended the same bytes are a whole tree. The count follows the identification
        // and the top-level count, the root's two headers and base body, and the category's two headers.
        constexpr qsizetype firstCategoryChildCount = 16 + 8 + 8 + 17 + 8 + 8;
        QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + firstCategoryChildCount), 4u);
        qToLittleEndian<quint32>(10, bytes.data() + firstCategoryChildCount);
        QCOMPARE(BookmarkFile::load(tree, bytes), QString());
        QCOMPARE(tree.totalCount(), 56);
        QCOMPARE(tree.firstNode()->child(0)->childCount(), 10);
    }

    // Only a regular file of at most 1 GB is read: a pipe in its place would block the start, a device
    // such as /dev/zero would never end.
    void onlyARegularFileIsRead()
    {
        QTemporaryDir dir;
        BookmarkTree tree;
        add(tree.topLevel(), makeRootRecord());
        auto expectRefused = [&tree](const QString &path, const QString &reason) {
            const QString error = BookmarkFile::loadFromFile(tree, path);
            QCOMPARE(error, u"Cannot open file \""_s + path + u"\". "_s + reason);
            QCOMPARE(tree.totalCount(), 1);
        };

        const QString fifo = dir.filePath(u"fifo.lkb"_s);
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        expectRefused(fifo, NotARegularFileText);
        const QString zero = dir.filePath(u"zero.lkb"_s);
        QVERIFY(QFile::link(u"/dev/zero"_s, zero));
        expectRefused(zero, NotARegularFileText);
        const QString folder = dir.filePath(u"folder.lkb"_s);
        QVERIFY(QDir(dir.path()).mkdir(u"folder.lkb"_s));
        expectRefused(folder, NotARegularFileText);

        // Sparse: it takes no room on the disk.
        const QString large = dir.filePath(u"large.lkb"_s);
        QFile file(large);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(BookmarkFile::MaximumFileSize + 1));
        file.close();
        expectRefused(large, FileTooLargeText);
    }

    // A save that fails part way (here: the file size limit of the process is reached) leaves the former
    // file as it was, byte for byte; a plain truncating write would have destroyed it. Both a tree that a
    // write buffer holds whole and one larger than any buffer.
    void failedSaveLeavesTheFormerFile_data()
    {
        QTest::addColumn<int>("bookmarks");
        QTest::newRow("small tree") << 20;
        QTest::newRow("large tree") << 2000;
    }
    void failedSaveLeavesTheFormerFile()
    {
        QFETCH(int, bookmarks);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Bookmarks.lkb"_s);
        const QByteArray former = smallTwoLevelFile();
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        QCOMPARE(old.write(former), former.size());
        old.close();

        BookmarkTree large;
        BookmarkNode *root = add(large.topLevel(), makeRootRecord());
        for (int i = 0; i < bookmarks; ++i)
            add(*root, bookmarkRecord(u"Link %1"_s.arg(i), u"https://example.org/%1"_s.arg(i)));
        QVERIFY(BookmarkFile::save(large).size() > 4 * former.size());

        QString error;
        {
            const testfiles::FileSizeLimit limit(2 * former.size());
            QVERIFY(limit.isSet());
            error = BookmarkFile::saveToFile(large, path);
        }
        QVERIFY2(error.startsWith(u"Cannot create file \""_s), qPrintable(error));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), former);
    }

    void fileErrorsNameTheFile()
    {
        QTemporaryDir dir;
        const QString missingFolder = dir.filePath(u"no such folder/Bookmarks.lkb"_s);
        BookmarkTree tree;
        add(tree.topLevel(), makeRootRecord());

        const QString saveError = BookmarkFile::saveToFile(tree, missingFolder);
        QVERIFY2(saveError.startsWith(u"Cannot create file \""_s + missingFolder + u"\". "_s),
                 qPrintable(saveError));
        QVERIFY(saveError.size() > missingFolder.size() + 22); // the system's text follows

        const QString loadError = BookmarkFile::loadFromFile(tree, missingFolder);
        QVERIFY2(loadError.startsWith(u"Cannot open file \""_s + missingFolder + u"\". "_s),
                 qPrintable(loadError));
        QVERIFY(loadError.size() > missingFolder.size() + 20);
        QCOMPARE(tree.totalCount(), 1); // a file that cannot be opened leaves the tree alone

        // A save replaces the old file as a whole.
        const QString path = dir.filePath(u"Bookmarks.lkb"_s);
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(4096, 'o'));
        old.close();
        QCOMPARE(BookmarkFile::saveToFile(tree, path), QString());
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), BookmarkFile::save(tree));
    }
};

QTEST_GUILESS_MAIN(TestBookmarkFile)
#include "tst_bookmarkfile.moc"
