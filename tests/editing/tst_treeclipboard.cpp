#include "main/core/bookmarkfile.h"
#include "main/core/nodeselection.h"
#include "main/core/treeclipboard.h"
#include "tests/editing/nodetestutils.h"

#include <QMimeData>
#include <QTest>

using namespace vellumite;
using namespace Qt::StringLiterals;

namespace {

TBookmark category(const QString &name)
{
    return makeCategoryRecord(name);
}

// Values other than a new bookmark's, so that a copy that drops one shows.
TBookmark bookmark(const QString &title, const QString &link)
{
    TBookmark r = makeBookmarkRecord(title, link, 1);
    r.Comment = u"about "_s + title;
    r.ImportSource = FromFirefox;
    r.LinkState = LinkAlive;
    r.PriorityColor = PriorityHigh;
    return r;
}

BookmarkNode *add(BookmarkNode *parent, TBookmark record)
{
    return addNode(parent, std::move(record));
}

// Bookmarks
//   A: a1, a2
//   B: b1: bb1
struct Fixture
{
    BookmarkTree tree;
    QHash<QString, BookmarkNode *> byName;

    Fixture()
    {
        BookmarkNode *root = add(&tree.topLevel(), makeRootRecord());
        byName[u"Bookmarks"_s] = root;
        BookmarkNode *a = keep(add(root, category(u"A"_s)));
        keep(add(a, bookmark(u"a1"_s, u"http://a1/"_s)));
        keep(add(a, bookmark(u"a2"_s, u"http://a2/"_s)));
        BookmarkNode *b = keep(add(root, category(u"B"_s)));
        BookmarkNode *b1 = keep(add(b, category(u"b1"_s)));
        keep(add(b1, bookmark(u"bb1"_s, u"http://bb1/"_s)));
    }
    BookmarkNode *keep(BookmarkNode *node)
    {
        byName[node->record.name()] = node;
        return node;
    }
    std::vector<BookmarkNode *> nodes(const QStringList &names) const
    {
        std::vector<BookmarkNode *> out;
        for (const QString &name : names)
            out.push_back(byName.value(name));
        return out;
    }
};

QStringList names(const std::vector<BookmarkNode *> &nodes)
{
    QStringList out;
    for (const BookmarkNode *node : nodes)
        out << node->record.name();
    return out;
}

std::unique_ptr<QMimeData> treeData(const QByteArray &payload)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(VirtualTreeDataMimeType, payload);
    return data;
}

} // namespace

class TestTreeClipboard : public QObject
{
    Q_OBJECT

private slots:
    void topmostNodes_data()
    {
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("one node") << QStringList { u"a1"_s } << QStringList { u"a1"_s };
        QTest::newRow("a node with its parent") << QStringList { u"a1"_s, u"A"_s } << QStringList { u"A"_s };
        QTest::newRow("a node with its grandparent")
            << QStringList { u"bb1"_s, u"B"_s } << QStringList { u"B"_s };
        QTest::newRow("siblings in reverse")
            << QStringList { u"a2"_s, u"a1"_s } << QStringList { u"a1"_s, u"a2"_s };
        QTest::newRow("the same node twice") << QStringList { u"a1"_s, u"a1"_s } << QStringList { u"a1"_s };
        QTest::newRow("across folders, deepest first")
            << QStringList { u"bb1"_s, u"b1"_s, u"a2"_s, u"A"_s } << QStringList { u"A"_s, u"b1"_s };
        QTest::newRow("the root with everything")
            << QStringList { u"a1"_s, u"Bookmarks"_s, u"bb1"_s } << QStringList { u"Bookmarks"_s };
    }
    void topmostNodes()
    {
        QFETCH(QStringList, selected);
        QFETCH(QStringList, expected);
        const Fixture f;
        QCOMPARE(names(vellumite::topmostNodes(f.nodes(selected))), expected);
    }

    // Tree order whatever order the nodes come in: a parent before its children, siblings by row, and a
    // node given twice kept twice.
    void sortInTreeOrder_data()
    {
        QTest::addColumn<QStringList>("given");
        QTest::addColumn<QStringList>("expected");
        using L = QStringList;
        QTest::newRow("deepest first") << L { u"bb1"_s, u"b1"_s, u"B"_s, u"Bookmarks"_s }
                                       << L { u"Bookmarks"_s, u"B"_s, u"b1"_s, u"bb1"_s };
        QTest::newRow("across folders, without their parents")
            << L { u"bb1"_s, u"a2"_s, u"a1"_s } << L { u"a1"_s, u"a2"_s, u"bb1"_s };
        QTest::newRow("a folder after its last child's cousin")
            << L { u"b1"_s, u"a2"_s, u"A"_s } << L { u"A"_s, u"a2"_s, u"b1"_s };
        QTest::newRow("twice") << L { u"a2"_s, u"a1"_s, u"a2"_s } << L { u"a1"_s, u"a2"_s, u"a2"_s };
        QTest::newRow("one") << L { u"B"_s } << L { u"B"_s };
    }
    void sortInTreeOrder()
    {
        QFETCH(QStringList, given);
        QFETCH(QStringList, expected);
        const Fixture f;
        std::vector<BookmarkNode *> nodes = f.nodes(given);
        vellumite::sortInTreeOrder(nodes);
        QCOMPARE(names(nodes), expected);
    }

    void copiesReadBackAsEqualNewNodes()
    {
        const Fixture f;
        const std::vector<const BookmarkNode *> copied { f.byName[u"A"_s], f.byName[u"b1"_s] };
        const std::unique_ptr<QMimeData> data = makeTreeMimeData(copied);
        QVERIFY(holdsTreeData(data.get()));
        QVERIFY(treeCutIdOf(data.get()).isEmpty());
        QCOMPARE(data->data(VirtualTreeDataMimeType), BookmarkFile::writeNodeChunks(copied));

        std::vector<std::unique_ptr<BookmarkNode>> nodes;
        QCOMPARE(readTreeData(*data, nodes), QString());
        QCOMPARE(nodes.size(), size_t(2));
        for (size_t i = 0; i < nodes.size(); ++i) {
            QVERIFY(nodes[i].get() != copied[i]);
            QVERIFY(!nodes[i]->parent());
            compareSubtrees(*nodes[i], *copied[i]);
        }

        QCOMPARE(treeCutIdOf(makeTreeMimeData(copied, "cut-1"_ba).get()), "cut-1"_ba);
    }

    // Any program can offer the format: what it says about a node's editability is not trusted, and a
    // copied root comes back as an ordinary, editable category.
    void pastedNodesAreAlwaysEditable()
    {
        const Fixture f;
        BookmarkNode locked(category(u"Locked"_s));
        locked.record.Editable = false;
        add(&locked, bookmark(u"inside"_s, u"http://inside/"_s))->record.Editable = false;
        const std::vector<const BookmarkNode *> copied { &locked, f.byName[u"Bookmarks"_s] };

        std::vector<std::unique_ptr<BookmarkNode>> nodes;
        QCOMPARE(readTreeData(*treeData(BookmarkFile::writeNodeChunks(copied)), nodes), QString());
        QCOMPARE(nodes.size(), size_t(2));
        for (const auto &top : nodes) {
            for (BookmarkNode *n = top.get(); n; n = n->nextInTreeOrder(top.get()))
                QVERIFY2(n->record.Editable, qPrintable(n->record.name()));
        }
        QCOMPARE(nodes[1]->record.CategoryName, RootCategoryName);
    }

    void damagedDataGivesNoNodes_data()
    {
        const Fixture f;
        const QByteArray whole = BookmarkFile::writeNodeChunks({ f.byName[u"A"_s], f.byName[u"B"_s] });
        QByteArray hugeChildCount = BookmarkFile::writeNodeChunks({ f.byName[u"a1"_s] });
        hugeChildCount.replace(16, 4, "\xff\xff\xff\xff"_ba); // the base chunk's child count

        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("second node cut short") << whole.first(whole.size() - 5);
        QTest::newRow("not node chunks") << QByteArray(64, 'x');
        QTest::newRow("child count beyond the data") << hugeChildCount;
    }
    void damagedDataGivesNoNodes()
    {
        QFETCH(QByteArray, payload);
        std::vector<std::unique_ptr<BookmarkNode>> nodes;
        QVERIFY(!readTreeData(*treeData(payload), nodes).isEmpty());
        QVERIFY(nodes.empty());
    }

    void otherFormatsShowTheTexts()
    {
        BookmarkNode folder(category(u"News & <Views>"_s));
        add(&folder, bookmark(u"Say \"hi\", all"_s, u"http://x/?a=1&b=2"_s));
        BookmarkNode *sub = add(&folder, category(u"{Sub}\\"_s));
        add(sub, bookmark(u"Caf\u00e9"_s, u"http://cafe/"_s));
        const std::vector<const BookmarkNode *> copied { &folder };

        QCOMPARE(
            nodesAsPlainText(copied),
            u"News & <Views>\n  Say \"hi\", all\thttp://x/?a=1&b=2\n  {Sub}\\\n    Caf\u00e9\thttp://cafe/\n"_s);
        QCOMPARE(nodesAsCsv(copied),
                 u"\"Description\",\"Link\"\r\n"
                 "\"News & <Views>\",\"\"\r\n"
                 "\"Say \"\"hi\"\", all\",\"http://x/?a=1&b=2\"\r\n"
                 "\"{Sub}\\\",\"\"\r\n"
                 "\"Caf\u00e9\",\"http://cafe/\"\r\n"_s);
        const QString html = nodesAsHtml(copied);
        QVERIFY(html.contains(u"<td style=\"padding-left:2px\">News &amp; &lt;Views&gt;</td><td></td>"_s));
        QVERIFY(html.contains(
            u"<td style=\"padding-left:18px\">Say &quot;hi&quot;, all</td><td>http://x/?a=1&amp;b=2</td>"_s));
        QVERIFY(html.contains(u"<td style=\"padding-left:34px\">Caf\u00e9</td>"_s));
        QVERIFY(!html.contains(u"<Views>"_s));
        const QByteArray rtf = nodesAsRtf(copied);
        QVERIFY(rtf.startsWith("{\\rtf1"));
        QVERIFY(rtf.contains("\\pard\\li0 News & <Views>\\par"));
        QVERIFY(rtf.contains("\\pard\\li240 \\{Sub\\}\\\\\\par"));
        QVERIFY(rtf.contains("\\pard\\li480 Caf\\u233?\\tab http://cafe/\\par"));

        const std::unique_ptr<QMimeData> data = makeTreeMimeData(copied);
        QCOMPARE(data->text(), nodesAsPlainText(copied));
        QCOMPARE(data->html(), html);
        QCOMPARE(data->data(CsvMimeType), nodesAsCsv(copied).toUtf8());
        QCOMPARE(data->data(RtfMimeType), rtf);
    }
};

QTEST_GUILESS_MAIN(TestTreeClipboard)
#include "tst_treeclipboard.moc"
