#include "main/core/bookmarksort.h"

#include <QTest>

using namespace vellumite;

class TestBookmarkTree : public QObject
{
    Q_OBJECT

private:
    static std::unique_ptr<BookmarkNode> bookmark(const QString &title, const QString &link = {})
    {
        TBookmark r;
        r.Description = title;
        r.Link = link;
        return std::make_unique<BookmarkNode>(r);
    }
    static std::unique_ptr<BookmarkNode> category(const QString &name)
    {
        TBookmark r;
        r.CategoryName = name;
        r.IsCategory = true;
        return std::make_unique<BookmarkNode>(r);
    }
    static QStringList names(const BookmarkNode &folder)
    {
        QStringList out;
        for (int i = 0; i < folder.childCount(); ++i)
            out << folder.child(i)->record.name();
        return out;
    }

private slots:
    void treeOrderVisitsParentsBeforeChildren()
    {
        BookmarkTree tree;
        BookmarkNode *root = tree.topLevel().appendChild(category(QStringLiteral("root")));
        BookmarkNode *a = root->appendChild(category(QStringLiteral("a")));
        a->appendChild(bookmark(QStringLiteral("a1")));
        root->appendChild(bookmark(QStringLiteral("b")));
        QStringList order;
        tree.forEach([&order](const BookmarkNode &n) { order << n.record.name(); });
        QCOMPARE(order, (QStringList { u"root"_qs, u"a"_qs, u"a1"_qs, u"b"_qs }));
        QCOMPARE(tree.totalCount(), 4);
        QVERIFY(root->hasState(NodeState::HasChildren));
        a->removeChildren(0, 1);
        QVERIFY(!a->hasState(NodeState::HasChildren));
    }

    void comparison_data()
    {
        QTest::addColumn<bool>("firstIsCategory");
        QTest::addColumn<QString>("first");
        QTest::addColumn<bool>("secondIsCategory");
        QTest::addColumn<QString>("second");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("expected");
        QTest::newRow("upper case before lower") << false << "B" << false << "a" << 0 << -1;
        QTest::newRow("prefix is smaller") << false << "ab" << false << "abc" << 0 << -1;
        QTest::newRow("two categories by name") << true << "z" << true << "y" << 0 << 1;
        QTest::newRow("category and bookmark equal") << true << "a" << false << "b" << 0 << 0;
        QTest::newRow("links of any kinds") << true << "" << false << "http://x" << 1 << -1;
        QTest::newRow("state column never orders") << false << "a" << false << "b" << 2 << 0;
    }
    void comparison()
    {
        QFETCH(bool, firstIsCategory);
        QFETCH(QString, first);
        QFETCH(bool, secondIsCategory);
        QFETCH(QString, second);
        QFETCH(int, column);
        QFETCH(int, expected);
        auto make = [column](bool isCategory, const QString &text) {
            TBookmark r;
            r.IsCategory = isCategory;
            if (column == ColumnLink)
                (isCategory ? r.CategoryName : r.Link) = text;
            else
                r.setName(text);
            return r;
        };
        QCOMPARE(VTCompareNodes(make(firstIsCategory, first), make(secondIsCategory, second), column),
                 expected);
    }

    void sortIsStableAndKeepsMixedKindsInPlace()
    {
        BookmarkNode folder;
        folder.appendChild(bookmark(QStringLiteral("c")));
        folder.appendChild(category(QStringLiteral("folder")));
        folder.appendChild(bookmark(QStringLiteral("a")));
        folder.appendChild(bookmark(QStringLiteral("B")));
        sortChildren(folder, ColumnDescription, Qt::AscendingOrder);
        // The category compares equal to every bookmark: where it ends up follows from the merge order.
        QCOMPARE(names(folder), (QStringList { u"B"_qs, u"a"_qs, u"c"_qs, u"folder"_qs }));
        for (int i = 0; i < folder.childCount(); ++i)
            QCOMPARE(folder.child(i)->row(), i);
        sortChildren(folder, ColumnDescription, Qt::DescendingOrder);
        QCOMPARE(names(folder), (QStringList { u"c"_qs, u"a"_qs, u"B"_qs, u"folder"_qs }));
    }
};

QTEST_GUILESS_MAIN(TestBookmarkTree)
#include "tst_bookmarktree.moc"
