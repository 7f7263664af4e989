#include "exchange/core/stagingmerge.h"

#include <QTest>

using namespace vellumite;

namespace {

// Trees written as text: "[A b c]" is a category A holding bookmarks b and c; names are one word.
void build(BookmarkNode &parent, const QStringList &tokens, qsizetype &at)
{
    while (at < tokens.size()) {
        const QString token = tokens[at++];
        if (token == u"]")
            return;
        if (token.startsWith(u'[')) {
            BookmarkNode *category
                = parent.appendChild(std::make_unique<BookmarkNode>(makeCategoryRecord(token.mid(1))));
            build(*category, tokens, at);
        } else {
            parent.appendChild(std::make_unique<BookmarkNode>(
                makeBookmarkRecord(token == u"_" ? QString() : token, QStringLiteral("http://x/"), 1)));
        }
    }
}

void build(BookmarkNode &parent, const QString &text)
{
    QString spaced = text;
    spaced.replace(u"]"_qs, u" ] "_qs);
    const QStringList tokens = spaced.split(u' ', Qt::SkipEmptyParts);
    qsizetype at = 0;
    build(parent, tokens, at);
}

QString describe(const BookmarkNode &parent)
{
    QStringList parts;
    for (int row = 0; row < parent.childCount(); ++row) {
        const BookmarkNode &child = *parent.child(row);
        if (child.record.IsCategory)
            parts << QString(u'[' + child.record.CategoryName + u' ' + describe(child)).trimmed() + u']';
        else
            parts << (child.record.Description.isEmpty() ? u"_"_qs : child.record.Description);
    }
    return parts.join(u' ');
}

} // namespace

class TestStagingMerge : public QObject
{
    Q_OBJECT

private slots:
    void merge_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("staging");
        QTest::addColumn<bool>("ignoreCase");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("added");

        QTest::newRow("into empty") << ""
                                    << "a [F b]" << false << "a [F b]" << 3;
        QTest::newRow("new nodes follow the existing ones") << "z"
                                                            << "a" << false << "z a" << 1;
        QTest::newRow("bookmark present is skipped") << "a"
                                                     << "a b" << false << "a b" << 1;
        QTest::newRow("category reused, content merged") << "[F a]"
                                                         << "[F a b] c" << false << "[F a b] c" << 2;
        QTest::newRow("nested merge") << "[F [G a]]"
                                      << "[F [G a b] [H c]]" << false << "[F [G a b] [H c]]" << 3;
        QTest::newRow("a folder never matches a bookmark") << "F"
                                                           << "[F a]" << false << "F [F a]" << 2;
        QTest::newRow("a link never matches a category") << "[F]"
                                                         << "F" << false << "[F] F" << 1;
        QTest::newRow("nameless folder beside nameless link") << "_"
                                                              << "[ a]" << false << "_ [ a]" << 2;
        QTest::newRow("exact comparison keeps case apart") << "[F a]"
                                                           << "[f A]" << false << "[F a] [f A]" << 2;
        QTest::newRow("ignoring case merges") << "[F a]"
                                              << "[f A b]" << true << "[F a b]" << 1;
        QTest::newRow("ignoring case beyond Latin-1") << "[Ωmega]"
                                                      << "[ωMEGA x]" << true << "[Ωmega x]" << 1;
        QTest::newRow("a store repeating a folder adds it once")
            << ""
            << "[F a] [F a b]" << false << "[F a b]" << 3;
        QTest::newRow("repeats inside a new folder") << ""
                                                     << "[F a a [G] [G b]]" << false << "[F a [G b]]" << 4;
        QTest::newRow("repeats inside a reused folder") << "[F]"
                                                        << "[F a] [F a b]" << false << "[F a b]" << 2;
        QTest::newRow("twice adds nothing") << "[F a [G b]] c"
                                            << "[F a [G b]] c" << false << "[F a [G b]] c" << 0;
    }

    void merge()
    {
        QFETCH(QString, target);
        QFETCH(QString, staging);
        QFETCH(bool, ignoreCase);
        QFETCH(QString, expected);
        QFETCH(int, added);

        BookmarkNode targetRoot(makeRootRecord());
        build(targetRoot, target);
        BookmarkNode stagingTop;
        build(stagingTop, staging);

        QCOMPARE(mergeInto(targetRoot, stagingTop, ignoreCase ? NameMatch::IgnoreCase : NameMatch::Exact),
                 qsizetype(added));
        QCOMPARE(describe(targetRoot), expected);
        QCOMPARE(stagingTop.childCount(), 0);
    }

    // A view inserts the plan one group at a time: each group names a folder already in the target, and
    // nothing is in the target before it is applied.
    void planGroupsNewSubtreesByExistingFolder()
    {
        BookmarkNode root(makeRootRecord());
        build(root, QStringLiteral("[F a] [G]"));
        BookmarkNode staging;
        build(staging, QStringLiteral("[F b c] [G [H d]] e [F f]"));

        MergePlan plan = planMerge(root, staging, NameMatch::Exact);
        QCOMPARE(describe(root), u"[F a] [G]"_qs);
        QCOMPARE(plan.size(), size_t(3));
        QCOMPARE(plan[0].parent, root.child(0));
        QCOMPARE(plan[0].nodes.size(), size_t(3)); // b, c and later f
        QCOMPARE(plan[1].parent, root.child(1));
        QCOMPARE(plan[2].parent, &root);
        QCOMPARE(plan[2].nodes.size(), size_t(1));

        applyMerge(std::move(plan));
        QCOMPARE(describe(root), u"[F a b c f] [G [H d]] e"_qs);
    }
};

QTEST_GUILESS_MAIN(TestStagingMerge)
#include "tst_stagingmerge.moc"
