// Which drags within the tree are accepted, and where each dragged node goes.

#include "main/core/dropdecision.h"

#include <QHash>
#include <QTest>

using namespace vellumite;

namespace {

// Bookmarks
//   A          category
//     A1       category
//       a1x    bookmark
//     a        bookmark
//   B          category
//     b        bookmark
//   C          category, empty
//   r          bookmark
struct Fixture
{
    BookmarkTree tree;
    QHash<QString, BookmarkNode *> nodes;

    Fixture()
    {
        auto add = [this](BookmarkNode *parent, TBookmark record) {
            BookmarkNode *node = parent->appendChild(std::make_unique<BookmarkNode>(record));
            nodes.insert(record.name(), node);
            return node;
        };
        BookmarkNode *root = add(&tree.topLevel(), makeRootRecord());
        BookmarkNode *a = add(root, makeCategoryRecord(QStringLiteral("A")));
        BookmarkNode *a1 = add(a, makeCategoryRecord(QStringLiteral("A1")));
        add(a1, makeBookmarkRecord(QStringLiteral("a1x"), QStringLiteral("https://a1x.example/"), 0));
        add(a, makeBookmarkRecord(QStringLiteral("a"), QStringLiteral("https://a.example/"), 0));
        BookmarkNode *b = add(root, makeCategoryRecord(QStringLiteral("B")));
        add(b, makeBookmarkRecord(QStringLiteral("b"), QStringLiteral("https://b.example/"), 0));
        add(root, makeCategoryRecord(QStringLiteral("C")));
        add(root, makeBookmarkRecord(QStringLiteral("r"), QStringLiteral("https://r.example/"), 0));
    }

    std::vector<BookmarkNode *> pick(const QStringList &names) const
    {
        std::vector<BookmarkNode *> picked;
        for (const QString &name : names)
            picked.push_back(nodes.value(name));
        return picked;
    }
};

} // namespace

Q_DECLARE_METATYPE(DropMode)

class TestDropDecision : public QObject
{
    Q_OBJECT

private slots:
    void internalDrop_data()
    {
        QTest::addColumn<QStringList>("dragged");
        QTest::addColumn<QString>("target"); // "" for empty space
        QTest::addColumn<DropMode>("mode");
        // "node>folder" for each move, in tree order; empty when refused.
        QTest::addColumn<QStringList>("moves");

        using L = QStringList;
        QTest::newRow("category onto its own subcategory") << L { u"A"_qs } << "A1" << DropMode::On << L {};
        QTest::newRow("category onto its parent") << L { u"A1"_qs } << "A" << DropMode::On << L {};
        QTest::newRow("bookmark onto its parent") << L { u"a"_qs } << "A" << DropMode::On << L {};
        QTest::newRow("bookmark onto a bookmark") << L { u"a"_qs } << "b" << DropMode::On << L {};
        QTest::newRow("category onto a bookmark") << L { u"A1"_qs } << "r" << DropMode::On << L {};
        QTest::newRow("onto empty space") << L { u"a"_qs } << "" << DropMode::Nowhere << L {};
        QTest::newRow("beside nothing") << L { u"a"_qs } << "B" << DropMode::Nowhere << L {};
        QTest::newRow("category onto itself") << L { u"B"_qs } << "B" << DropMode::On << L {};
        QTest::newRow("root category anywhere") << L { u"Bookmarks"_qs } << "C" << DropMode::On << L {};
        QTest::newRow("bookmark onto another category")
            << L { u"a"_qs } << "B" << DropMode::On << L { u"a>B"_qs };
        QTest::newRow("bookmark deep below the target")
            << L { u"a1x"_qs } << "A" << DropMode::On << L { u"a1x>A"_qs };
        QTest::newRow("bookmark above a category lands beside it")
            << L { u"a"_qs } << "B" << DropMode::Above << L { u"a>Bookmarks"_qs };
        QTest::newRow("bookmark below a category lands beside it")
            << L { u"a1x"_qs } << "A" << DropMode::Below << L { u"a1x>Bookmarks"_qs };
        QTest::newRow("bookmark above the root") << L { u"a"_qs } << "Bookmarks" << DropMode::Above << L {};
        QTest::newRow("bookmark below the root") << L { u"b"_qs } << "Bookmarks" << DropMode::Below << L {};
        QTest::newRow("bookmark onto the root")
            << L { u"a"_qs } << "Bookmarks" << DropMode::On << L { u"a>Bookmarks"_qs };
        QTest::newRow("category below the root goes inside it")
            << L { u"A1"_qs } << "Bookmarks" << DropMode::Below << L { u"A1>Bookmarks"_qs };
        QTest::newRow("category above a category goes inside it")
            << L { u"A1"_qs } << "B" << DropMode::Above << L { u"A1>B"_qs };
        QTest::newRow("category below a category goes inside it")
            << L { u"B"_qs } << "C" << DropMode::Below << L { u"B>C"_qs };
        QTest::newRow("category with one of its bookmarks moves whole")
            << L { u"a"_qs, u"A"_qs } << "C" << DropMode::On << L { u"A>C"_qs };
        QTest::newRow("category with a bookmark deep inside it")
            << L { u"A"_qs, u"a1x"_qs } << "B" << DropMode::On << L { u"A>B"_qs };
        QTest::newRow("bookmarks of several folders")
            << L { u"b"_qs, u"a1x"_qs, u"r"_qs } << "C" << DropMode::On
            << L { u"a1x>C"_qs, u"b>C"_qs, u"r>C"_qs };
        QTest::newRow("a category, then a bookmark that follows the drop mode")
            << L { u"A1"_qs, u"b"_qs } << "C" << DropMode::Below << L { u"A1>C"_qs, u"b>Bookmarks"_qs };
        QTest::newRow("one refusal refuses all") << L { u"a1x"_qs, u"B"_qs } << "B" << DropMode::On << L {};
        QTest::newRow("one of them already there") << L { u"b"_qs, u"a"_qs } << "A" << DropMode::On << L {};
    }

    void internalDrop()
    {
        QFETCH(QStringList, dragged);
        QFETCH(QString, target);
        QFETCH(DropMode, mode);
        QFETCH(QStringList, moves);
        const Fixture f;
        const InternalDropDecision decision(f.tree, f.pick(dragged), f.nodes.value(target), mode);
        QCOMPARE(decision.accepted(), !moves.isEmpty());
        QStringList actual;
        for (const NodeMove &move : decision.moves())
            actual << move.node->record.name() + u'>' + move.destination->record.name();
        QCOMPARE(actual, moves);
    }

    void nothingDraggedIsRefused()
    {
        const Fixture f;
        QVERIFY(!InternalDropDecision(f.tree, {}, f.nodes.value(u"C"_qs), DropMode::On).accepted());
    }

    void externalDrop_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("category") << "B" << true;
        QTest::newRow("root category") << "Bookmarks" << true;
        QTest::newRow("bookmark") << "b" << false;
        QTest::newRow("empty space") << "" << false;
    }

    void externalDrop()
    {
        QFETCH(QString, target);
        QFETCH(bool, accepted);
        const Fixture f;
        QCOMPARE(acceptsExternalDrop(f.tree, f.nodes.value(target)), accepted);
        QVERIFY(!acceptsExternalDrop(f.tree, &f.tree.topLevel()));
    }
};

QTEST_GUILESS_MAIN(TestDropDecision)
#include "tst_dropdecision.moc"
