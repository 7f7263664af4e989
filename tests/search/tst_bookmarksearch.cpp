// Finding bookmarks by text and by shared links.

#include "main/core/bookmarksearch.h"

#include <QTest>

using namespace vellumite;

namespace {

// Bookmarks > News > (Daily "https://x/", "Café Crème" "https://y/"), Work > (Daily "https://x/",
// Other "https://X/", Third "https://x/"), Zed "https://y/"
struct Fixture
{
    BookmarkTree tree;
    BookmarkNode *news, *work;

    Fixture()
    {
        auto add = [](BookmarkNode *parent, TBookmark r) {
            return parent->appendChild(std::make_unique<BookmarkNode>(r));
        };
        BookmarkNode *root = add(&tree.topLevel(), makeRootRecord());
        news = add(root, makeCategoryRecord(u"News"_qs));
        add(news, makeBookmarkRecord(u"Daily"_qs, u"https://x/"_qs, 1));
        add(news, makeBookmarkRecord(u"Caf\u00e9 Cr\u00e8me \u0130"_qs, u"https://y/"_qs, 1));
        work = add(root, makeCategoryRecord(u"Work"_qs));
        add(work, makeBookmarkRecord(u"Daily"_qs, u"https://x/"_qs, 1));
        add(work, makeBookmarkRecord(u"Other"_qs, u"https://X/"_qs, 1));
        add(work, makeBookmarkRecord(u"Third"_qs, u"https://x/"_qs, 1));
        add(root, makeBookmarkRecord(u"Zed"_qs, u"https://y/"_qs, 1));
    }
};

QStringList locations(const std::vector<SearchResult> &rows)
{
    QStringList out;
    for (const SearchResult &row : rows)
        out << row.Location;
    return out;
}

} // namespace

Q_DECLARE_METATYPE(SearchMode)

class TestBookmarkSearch : public QObject
{
    Q_OBJECT

private slots:
    void textSearch_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<SearchMode>("mode");
        QTest::addColumn<QStringList>("found");
        using L = QStringList;
        QTest::newRow("descriptions, case folded")
            << "DAILY" << SearchMode::Descriptions
            << L { u"Bookmarks\\News\\Daily\\"_qs, u"Bookmarks\\Work\\Daily\\"_qs };
        QTest::newRow("beyond Latin-1") << "CAF\u00c9 CR\u00c8ME" << SearchMode::Descriptions
                                        << L { u"Bookmarks\\News\\Caf\u00e9 Cr\u00e8me \u0130\\"_qs };
        QTest::newRow("a question mark matches no letter") << "Caf?" << SearchMode::Descriptions << L {};
        QTest::newRow("links only") << "x/" << SearchMode::Links
                                    << L { u"Bookmarks\\News\\Daily\\"_qs, u"Bookmarks\\Work\\Daily\\"_qs,
                                           u"Bookmarks\\Work\\Other\\"_qs, u"Bookmarks\\Work\\Third\\"_qs };
        QTest::newRow("spanning title and link")
            << "zed https" << SearchMode::DescriptionsAndLinks << L { u"Bookmarks\\Zed\\"_qs };
        QTest::newRow("spanning needs mode 0") << "zed https" << SearchMode::Descriptions << L {};
        QTest::newRow("trailing blank counts") << "Zed " << SearchMode::Descriptions << L {};
        QTest::newRow("categories are not found") << "News" << SearchMode::DescriptionsAndLinks << L {};
        QTest::newRow("empty text") << "" << SearchMode::DescriptionsAndLinks << L {};
    }

    void textSearch()
    {
        QFETCH(QString, text);
        QFETCH(SearchMode, mode);
        QFETCH(QStringList, found);
        const Fixture f;
        QCOMPARE(locations(FindAllLinks(f.tree, text, mode)), found);
    }

    void duplicatesAreGroupsSortedByLink()
    {
        const Fixture f;
        const std::vector<SearchResult> rows = FindDublicates(f.tree);
        // "https://X/" differs in case: no twin. Each bookmark once, each group in tree order.
        QCOMPARE(
            locations(rows),
            (QStringList { u"Bookmarks\\News\\Daily\\"_qs, u"Bookmarks\\Work\\Daily\\"_qs,
                           u"Bookmarks\\Work\\Third\\"_qs,
                           u"Bookmarks\\News\\Caf\u00e9 Cr\u00e8me \u0130\\"_qs, u"Bookmarks\\Zed\\"_qs }));
        QCOMPARE(totalText(qsizetype(rows.size())), u"Total: 5"_qs);
        QCOMPARE(locationText(rows[0]), u"Bookmarks\\News\\"_qs);
        QCOMPARE(locationText(rows[4]), u"Bookmarks\\"_qs);
    }

    void rowsKnowWhetherTheirNodeIsGone()
    {
        Fixture f;
        const std::vector<SearchResult> rows = FindDublicates(f.tree);
        const NodeHandle workDaily = rows[1].node;
        QVERIFY(LiveNodes(f.tree).resolve(workDaily));
        f.work->removeChildren(0, 1);
        // A new node may take the freed address; it is not the row's node.
        f.work->appendChild(
            std::make_unique<BookmarkNode>(makeBookmarkRecord(u"Daily"_qs, u"https://x/"_qs, 1)));
        const LiveNodes live(f.tree);
        QVERIFY(!live.resolve(workDaily));
        QCOMPARE(live.resolve(rows[0].node), rows[0].node.node);
    }
};

QTEST_GUILESS_MAIN(TestBookmarkSearch)
#include "tst_bookmarksearch.moc"
