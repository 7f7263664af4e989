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

QString placeText(AttachMode mode)
{
    switch (mode) {
    case AttachMode::InsertBefore:
        return QStringLiteral("before ");
    case AttachMode::InsertAfter:
        return QStringLiteral("after ");
    case AttachMode::FirstChild:
        return QStringLiteral("first in ");
    case AttachMode::LastChild:
        return QStringLiteral("last in ");
    }
    return {};
}

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
        // "node>place" for each move, in tree order; empty when refused.
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
            << L { u"a"_qs } << "B" << DropMode::On << L { u"a>last in B"_qs };
        QTest::newRow("bookmark deep below the target")
            << L { u"a1x"_qs } << "A" << DropMode::On << L { u"a1x>last in A"_qs };
        QTest::newRow("bookmark above a category lands beside it")
            << L { u"a"_qs } << "B" << DropMode::Above << L { u"a>before B"_qs };
        QTest::newRow("bookmark below a category lands beside it")
            << L { u"a1x"_qs } << "A" << DropMode::Below << L { u"a1x>after A"_qs };
        QTest::newRow("bookmark above the root") << L { u"a"_qs } << "Bookmarks" << DropMode::Above << L {};
        QTest::newRow("bookmark below the root") << L { u"b"_qs } << "Bookmarks" << DropMode::Below << L {};
        QTest::newRow("bookmark onto the root")
            << L { u"a"_qs } << "Bookmarks" << DropMode::On << L { u"a>last in Bookmarks"_qs };
        QTest::newRow("category below the root goes inside it")
            << L { u"A1"_qs } << "Bookmarks" << DropMode::Below << L { u"A1>first in Bookmarks"_qs };
        QTest::newRow("category above a category goes inside it")
            << L { u"A1"_qs } << "B" << DropMode::Above << L { u"A1>first in B"_qs };
        QTest::newRow("category below a category goes inside it")
            << L { u"B"_qs } << "C" << DropMode::Below << L { u"B>first in C"_qs };
        QTest::newRow("category with one of its bookmarks moves whole")
            << L { u"a"_qs, u"A"_qs } << "C" << DropMode::On << L { u"A>first in C"_qs };
        QTest::newRow("category with a bookmark deep inside it")
            << L { u"A"_qs, u"a1x"_qs } << "B" << DropMode::On << L { u"A>first in B"_qs };
        QTest::newRow("bookmarks of several folders")
            << L { u"b"_qs, u"a1x"_qs, u"r"_qs } << "C" << DropMode::On
            << L { u"a1x>last in C"_qs, u"b>last in C"_qs, u"r>last in C"_qs };
        // From the first category on, in tree order, the rest of the drag goes inside first as well.
        QTest::newRow("a category, then a bookmark that goes in first with it")
            << L { u"A1"_qs, u"b"_qs } << "C" << DropMode::Below
            << L { u"A1>first in C"_qs, u"b>first in C"_qs };
        QTest::newRow("a bookmark before a category keeps the drop mode")
            << L { u"B"_qs, u"a"_qs } << "C" << DropMode::Below << L { u"a>after C"_qs, u"B>first in C"_qs };
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
            actual << move.node->record.name() + u'>' + placeText(move.mode) + move.target->record.name();
        QCOMPARE(actual, moves);
    }

    // The moves are done one after the other: what goes first or just after the target comes before
    // what went there earlier.
    void childrenAfterMoves_data()
    {
        QTest::addColumn<QStringList>("moves"); // "node place", place one of first, last, before, after
        QTest::addColumn<QStringList>("children");
        using L = QStringList;
        QTest::newRow("last") << L { u"m1 last"_qs, u"m2 last"_qs } << L { u"p T q m1 m2"_qs };
        QTest::newRow("first") << L { u"m1 first"_qs, u"m2 first"_qs } << L { u"m2 m1 p T q"_qs };
        QTest::newRow("before the target")
            << L { u"m1 before"_qs, u"m2 before"_qs } << L { u"p m1 m2 T q"_qs };
        QTest::newRow("after the target") << L { u"m1 after"_qs, u"m2 after"_qs } << L { u"p T m2 m1 q"_qs };
        QTest::newRow("last, then first, then last")
            << L { u"m1 last"_qs, u"m2 first"_qs, u"m3 last"_qs } << L { u"m2 p T q m1 m3"_qs };
        QTest::newRow("beside a target that is not there: last, never lost")
            << L { u"m1 beside-gone"_qs, u"m2 first"_qs } << L { u"m2 p T q m1"_qs };
    }

    void childrenAfterMoves()
    {
        QFETCH(QStringList, moves);
        QFETCH(QStringList, children);
        BookmarkTree tree;
        BookmarkNode *folder = tree.topLevel().appendChild(std::make_unique<BookmarkNode>(makeRootRecord()));
        QHash<QString, BookmarkNode *> nodes;
        std::vector<BookmarkNode *> staying;
        for (const QString &name : { u"p"_qs, u"T"_qs, u"q"_qs }) {
            nodes.insert(name, folder->appendChild(std::make_unique<BookmarkNode>(makeCategoryRecord(name))));
            staying.push_back(nodes.value(name));
        }
        BookmarkNode *elsewhere
            = tree.topLevel().appendChild(std::make_unique<BookmarkNode>(makeRootRecord()));
        BookmarkNode *gone
            = elsewhere->appendChild(std::make_unique<BookmarkNode>(makeCategoryRecord(u"X"_qs)));
        std::vector<NodeMove> done;
        for (const QString &move : moves) {
            const QString name = move.section(u' ', 0, 0);
            const QString place = move.section(u' ', 1);
            BookmarkNode *node
                = elsewhere->appendChild(std::make_unique<BookmarkNode>(makeCategoryRecord(name)));
            if (place == u"first"_qs || place == u"last"_qs)
                done.push_back(
                    { node, folder, place == u"first"_qs ? AttachMode::FirstChild : AttachMode::LastChild });
            else if (place == u"beside-gone"_qs)
                done.push_back({ node, gone, AttachMode::InsertBefore });
            else
                done.push_back(
                    { node, nodes.value(u"T"_qs),
                      place == u"before"_qs ? AttachMode::InsertBefore : AttachMode::InsertAfter });
        }
        QStringList names;
        for (const BookmarkNode *child : vellumite::childrenAfterMoves(staying, done))
            names << child->record.name();
        QCOMPARE(names.join(u' '), children.join(u' '));
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
