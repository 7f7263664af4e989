#include "main/core/bookmarksort.h"
#include "main/tree/bookmarkmodel.h"
#include "treefixture.h"

#include <QAbstractItemModelTester>
#include <QBrush>
#include <QSignalSpy>
#include <QTest>

using namespace vellumite;
using namespace treefixture;
using namespace Qt::StringLiterals;

namespace {

enum class Kind { Root, Category, Bookmark };

TBookmark recordOf(Kind kind, const QString &comment)
{
    if (kind == Kind::Root)
        return makeRootRecord();
    if (kind == Kind::Category)
        return category(u"Folder"_s, comment)->record;
    TBookmark record = bookmark(u"Title"_s, u"http://example.com/"_s, comment)->record;
    record.LinkState = LinkBroken;
    return record;
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestBookmarkModel : public QObject
{
    Q_OBJECT

private slots:
    void passesModelTesterThroughChanges()
    {
        BookmarkTree tree;
        BookmarkModel model(tree);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        BookmarkNode *root = addRoot(tree);
        BookmarkNode *folder = root->appendChild(category(u"f"_s));
        folder->appendChild(bookmark(u"x"_s, u"http://x/"_s));
        root->appendChild(bookmark(u"b"_s, u"http://b/"_s));
        model.reloadSorted();

        const QModelIndex rootIndex = model.indexFromNode(root);
        BookmarkNode *added = model.insertNode(root, bookmark(u"a"_s, u"http://a/"_s));
        QVERIFY(model.setData(model.indexFromNode(added, ColumnDescription), u"A renamed"_s));
        model.sort(ColumnLink, Qt::DescendingOrder);
        model.removeNode(folder);
        QCOMPARE(model.rowCount(rootIndex), 2);
        QCOMPARE(model.columnCount(rootIndex), 3);
    }

    // Moves put beside and inside a target go in one layout change: the nodes land where the moves say,
    // each index kept follows its node, and nothing is lost or duplicated.
    void placedMovesKeepTheirIndexes()
    {
        BookmarkTree tree;
        BookmarkModel model(tree);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setSortState(ColumnState, Qt::AscendingOrder); // keeps the order the moves give
        BookmarkNode *root = addRoot(tree);
        BookmarkNode *from = root->appendChild(category(u"from"_s));
        BookmarkNode *folder = from->appendChild(category(u"folder"_s));
        folder->appendChild(bookmark(u"inside"_s));
        BookmarkNode *mark = from->appendChild(bookmark(u"mark"_s));
        BookmarkNode *target = root->appendChild(category(u"target"_s));
        target->appendChild(bookmark(u"t1"_s));
        root->appendChild(bookmark(u"r1"_s));
        const QPersistentModelIndex folderIndex = model.indexFromNode(folder);
        const QPersistentModelIndex insideIndex = model.indexFromNode(folder->child(0));
        const QPersistentModelIndex markIndex = model.indexFromNode(mark);
        QSignalSpy relaid(&model, &QAbstractItemModel::layoutChanged);

        const std::vector<BookmarkNode *> moved = model.moveNodes(std::vector<NodeMove> {
            { mark, target, AttachMode::InsertAfter }, { folder, target, AttachMode::FirstChild } });
        QCOMPARE(moved, (std::vector<BookmarkNode *> { mark, folder }));
        QCOMPARE(relaid.size(), 1);
        QCOMPARE(names(*root), (QStringList { u"from"_s, u"target"_s, u"mark"_s, u"r1"_s }));
        QCOMPARE(names(*target), (QStringList { u"folder"_s, u"t1"_s }));
        QCOMPARE(from->childCount(), 0);
        QCOMPARE(model.nodeFromIndex(folderIndex), folder);
        QCOMPARE(folderIndex.row(), 0);
        QCOMPARE(model.nodeFromIndex(insideIndex), folder->child(0));
        QCOMPARE(markIndex.row(), 2);
        QCOMPARE(markIndex.parent(), QModelIndex(model.indexFromNode(root)));
        QCOMPARE(tree.totalCount(), qsizetype(8));
    }

    // Two folders, each sent below the other, would end inside themselves: the one that moves takes the
    // other's destination along, so that move is left out.
    void aMoveBelowAMovingNodeIsLeftOut()
    {
        BookmarkTree tree;
        BookmarkModel model(tree);
        BookmarkNode *root = addRoot(tree);
        BookmarkNode *a = root->appendChild(category(u"a"_s));
        BookmarkNode *a1 = a->appendChild(category(u"a1"_s));
        BookmarkNode *b = root->appendChild(category(u"b"_s));
        BookmarkNode *b1 = b->appendChild(category(u"b1"_s));
        const std::vector<BookmarkNode *> moved = model.moveNodes(
            std::vector<NodeMove> { { a, b1, AttachMode::FirstChild }, { b, a1, AttachMode::FirstChild } });
        QVERIFY(moved.empty());
        QCOMPARE(names(*root), (QStringList { u"a"_s, u"b"_s }));
        QCOMPARE(a1->parent(), a);
        QCOMPARE(b1->parent(), b);
    }

    // What the tree shows, hints and allows for each kind of node and column.
    void cellAnswers_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("comment");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("image");
        QTest::addColumn<int>("stateImage");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<bool>("editable");

        QTest::newRow("root name, not editable")
            << Kind::Root << QString() << 0 << u"Bookmarks"_s << 6 << -1 << u"Bookmarks"_s << false;
        QTest::newRow("category name")
            << Kind::Category << QString() << 0 << u"Folder"_s << 6 << -1 << u"Folder"_s << true;
        QTest::newRow("category with comment: name, LF CR twice, comment")
            << Kind::Category << u"note"_s << 0 << u"Folder"_s << 6 << -1 << u"Folder\n\r\n\rnote"_s << true;
        QTest::newRow("category shows no link, no hint there, no edit")
            << Kind::Category << QString() << 1 << QString() << -1 << -1 << QString() << false;
        QTest::newRow("category shows no state icon")
            << Kind::Category << QString() << 2 << QString() << -1 << -1 << QString() << false;
        QTest::newRow("bookmark title alone without comment")
            << Kind::Bookmark << QString() << 0 << u"Title"_s << 1 << -1 << u"Title"_s << true;
        QTest::newRow("bookmark title and comment")
            << Kind::Bookmark << u"line 1\r\nline 2"_s << 0 << u"Title"_s << 1 << -1
            << u"Title\n\r\n\rline 1\r\nline 2"_s << true;
        QTest::newRow("bookmark link") << Kind::Bookmark << QString() << 1 << u"http://example.com/"_s << -1
                                       << -1 << u"http://example.com/"_s << true;
        QTest::newRow("bookmark state icon, never edited")
            << Kind::Bookmark << QString() << 2 << QString() << -1 << int(LinkBroken) << QString() << false;
    }
    void cellAnswers()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, comment);
        QFETCH(int, column);
        BookmarkTree tree;
        BookmarkModel model(tree);
        BookmarkNode *node
            = tree.topLevel().appendChild(std::make_unique<BookmarkNode>(recordOf(kind, comment)));
        const QModelIndex index = model.indexFromNode(node, column);

        QTEST(index.data(Qt::DisplayRole).toString(), "text");
        QTEST(index.data(BookmarkModel::ImageIndexRole).toInt(), "image");
        QTEST(index.data(BookmarkModel::StateImageRole).toInt(), "stateImage");
        QTEST(index.data(Qt::ToolTipRole).toString(), "hint");
        QTEST(model.flags(index).testFlag(Qt::ItemIsEditable), "editable");
    }

    void textColours_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("focused");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<int>("expected"); // -1: the tree's own font colour

        const int high = int(PriorityHigh);
        QTest::newRow("name in its priority") << 0 << false << false << high;
        QTest::newRow("name keeps its priority when selected in focus") << 0 << true << true << high;
        QTest::newRow("link dark grey") << 1 << false << false << 0x454545;
        QTest::newRow("link of a selected row in focus black") << 1 << true << true << 0;
        QTest::newRow("link of a selected row without focus grey") << 1 << false << true << 0x454545;
        QTest::newRow("link of a focused tree's unselected row grey") << 1 << true << false << 0x454545;
        QTest::newRow("state column untouched") << 2 << true << true << -1;
    }
    void textColours()
    {
        QFETCH(int, column);
        QFETCH(bool, focused);
        QFETCH(bool, selected);
        QFETCH(int, expected);
        TBookmark record = bookmark(u"t"_s, u"http://t/"_s)->record;
        record.PriorityColor = PriorityHigh;
        const std::optional<Colour> colour = BookmarkModel::VTPaintText(record, column, focused, selected);
        QCOMPARE(colour.has_value(), expected >= 0);
        if (colour)
            QCOMPARE(int(*colour), expected);
    }

    void foregroundRoleIsThePriorityColour()
    {
        BookmarkTree tree;
        BookmarkModel model(tree);
        BookmarkNode *node = tree.topLevel().appendChild(category(u"c"_s));
        node->record.PriorityColor = PriorityMedium;
        QCOMPARE(model.indexFromNode(node, 0).data(Qt::ForegroundRole).value<QBrush>().color(),
                 QColor(0x00, 0x71, 0x00));
        QCOMPARE(model.indexFromNode(node, 1).data(Qt::ForegroundRole).value<QBrush>().color(),
                 QColor(0x45, 0x45, 0x45));
        QVERIFY(!model.indexFromNode(node, 2).data(Qt::ForegroundRole).isValid());
    }

    void header()
    {
        BookmarkTree tree;
        BookmarkModel model(tree);
        const QStringList captions { u"Description"_s, u"Link"_s, u"State"_s };
        for (int section = 0; section < 3; ++section)
            QCOMPARE(model.headerData(section, Qt::Horizontal).toString(), captions[section]);
        QCOMPARE(model.headerData(ColumnState, Qt::Horizontal, Qt::ToolTipRole).toString(),
                 u"Alive or dead link"_s);
        QVERIFY(!model.headerData(ColumnDescription, Qt::Horizontal, Qt::ToolTipRole).isValid());
        QCOMPARE(model.headerData(ColumnState, Qt::Horizontal, Qt::TextAlignmentRole).toInt(),
                 int(Qt::AlignCenter));
    }

    // An in-place edit through the model: what it changes and where the node then stands among its
    // siblings "B", "a" and "c", whose links run the other way (the tree is sorted by `sortColumn`).
    void inPlaceEdit_data()
    {
        QTest::addColumn<int>("sortColumn");
        QTest::addColumn<QString>("edited");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("expectedValue");
        QTest::addColumn<QStringList>("expectedOrder");

        const QStringList byName { u"B"_s, u"a"_s, u"c"_s };
        QTest::newRow("rename moves to its sorted place, upper case first")
            << 0 << u"c"_s << 0 << u"A"_s << true << u"A"_s << QStringList { u"A"_s, u"B"_s, u"a"_s };
        QTest::newRow("a prefix sorts before the longer name")
            << 0 << u"B"_s << 0 << u"ab"_s << true << u"ab"_s << QStringList { u"a"_s, u"ab"_s, u"c"_s };
        QTest::newRow("empty text leaves the old name")
            << 0 << u"B"_s << 0 << QString() << false << u"B"_s << byName;
        QTest::newRow("pasted line breaks become spaces")
            << 0 << u"B"_s << 0 << u"two\r\nlines\n"_s << true << u"two lines "_s
            << QStringList { u"a"_s, u"c"_s, u"two lines "_s };
        QTest::newRow("link edit leaves a tree sorted by name alone")
            << 0 << u"B"_s << 1 << u"http://z/"_s << true << u"http://z/"_s << byName;
        QTest::newRow("link edit moves the node in a tree sorted by link")
            << 1 << u"a"_s << 1 << u"http://0/"_s << true << u"http://0/"_s
            << QStringList { u"a"_s, u"c"_s, u"B"_s };
        QTest::newRow("state column is never edited")
            << 0 << u"B"_s << 2 << u"x"_s << false << QString() << byName;
    }
    void inPlaceEdit()
    {
        QFETCH(int, sortColumn);
        QFETCH(QString, edited);
        QFETCH(int, column);
        QFETCH(QString, text);

        BookmarkTree tree;
        BookmarkModel model(tree);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        BookmarkNode *root = addRoot(tree);
        root->appendChild(bookmark(u"B"_s, u"http://2/"_s));
        root->appendChild(bookmark(u"a"_s, u"http://3/"_s));
        root->appendChild(bookmark(u"c"_s, u"http://1/"_s));
        model.setSortState(sortColumn, Qt::AscendingOrder);
        model.reloadSorted();
        BookmarkNode *node = root->child(static_cast<int>(names(*root).indexOf(edited)));
        const QPersistentModelIndex index = model.indexFromNode(node, column);

        QTEST(model.setData(index, text), "accepted");
        QTEST(BookmarkModel::VTGetText(node->record, column), "expectedValue");
        QTEST(names(*root), "expectedOrder");
        QCOMPARE(model.nodeFromIndex(index), node);
    }

    void inPlaceRenameOfOperaNodeRewritesItsEntry()
    {
        BookmarkTree tree;
        BookmarkModel model(tree);
        BookmarkNode *node = addRoot(tree)->appendChild(bookmark(u"Old"_s, u"http://old/"_s));
        node->record.ImportSource = FromOpera;
        node->record.OperaBlock = u"#URL\r\n\tNAME=Old\r\n\tURL=http://old/\r\n\tDESCRIPTION=Ünïcödé ✓"_s;
        QVERIFY(model.setData(model.indexFromNode(node, 0), u"Новости"_s));
        QCOMPARE(node->record.Description, u"Новости"_s);
        QCOMPARE(node->record.OperaBlock,
                 u"#URL\r\n         NAME=Новости\r\n\tURL=http://old/\r\n\tDESCRIPTION=Ünïcödé ✓\r\n"_s);
    }

    void editSignalsTheWholeRow()
    {
        BookmarkTree tree;
        BookmarkModel model(tree);
        BookmarkNode *node = addRoot(tree)->appendChild(bookmark(u"t"_s, u"http://t/"_s));
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QVERIFY(model.setData(model.indexFromNode(node, 1), u"http://u/"_s));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][0].toModelIndex(), model.indexFromNode(node, 0));
        QCOMPARE(changed[0][1].toModelIndex(), model.indexFromNode(node, 2));
    }
};

QTEST_MAIN(TestBookmarkModel)
#include "tst_bookmarkmodel.moc"
