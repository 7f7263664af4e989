#include "controls/RzBmpBtn.h"
#include "main/search/searchresultmodel.h"
#include "main/search/tfrsearch.h"
#include "main/tree/bookmarkmodel.h"
#include "main/window/statusbar.h"
#include "main/window/tform1.h"
#include "platform/fakes/fakeservices.h"
#include "tests/editing/nodetestutils.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QRadioButton>
#include <QStyleOptionHeader>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

using namespace vellumite;
using namespace Qt::StringLiterals;

namespace {

TBookmark bookmark(const QString &title, const QString &link)
{
    return makeBookmarkRecord(title, link, 1);
}

// The main window holding
// Bookmarks(News(Alpha Beta) Tools(Deep(Alpha) Gamma) Zeta), the two Alphas twins by link and text,
// Gamma's link differing from theirs only in case.
class Window
{
public:
    Window()
    {
        form.FormCreate(fakes.services, dir.path());
        BookmarkNode *root = form.tree().firstNode();
        BookmarkNode *news = addNode(root, makeCategoryRecord(u"News"_s));
        newsAlpha = addNode(news, bookmark(u"Alpha"_s, u"http://a/"_s));
        addNode(news, bookmark(u"Beta"_s, u"http://b/"_s));
        BookmarkNode *tools = addNode(root, makeCategoryRecord(u"Tools"_s));
        deepAlpha
            = addNode(addNode(tools, makeCategoryRecord(u"Deep"_s)), bookmark(u"Alpha"_s, u"http://a/"_s));
        addNode(tools, bookmark(u"Gamma"_s, u"http://A/"_s));
        addNode(root, bookmark(u"Zeta"_s, u"http://z/"_s));
        form.model()->reloadSorted();
        form.UpdateTreeCounts();
    }

    // The list as "Description|location" per row.
    static QStringList rows(const TfrSearch &search)
    {
        QStringList out;
        for (const SearchResult &r : search.results()->rows())
            out << r.Description + u'|' + locationText(r);
        return out;
    }

    static void find(TfrSearch &search, QRadioButton *mode, const QString &text)
    {
        mode->click();
        if (search.EdSearch->isEnabled())
            search.EdSearch->setText(text);
        search.BtnFind->Click();
    }

    static void selectRows(TfrSearch &search, const QList<int> &rows)
    {
        QItemSelectionModel *selection = search.VTDubl->selectionModel();
        selection->clearSelection();
        for (int row : rows)
            selection->select(search.results()->index(row, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    FakeServices fakes = makeFakeServices();
    QTemporaryDir dir;
    TForm1 form;
    BookmarkNode *newsAlpha = nullptr;
    BookmarkNode *deepAlpha = nullptr;
};

} // namespace

class TestSearchWindow : public QObject
{
    Q_OBJECT

private slots:
    void modes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("total");
        QTest::newRow("description and link across the space")
            << 0 << u"A HTTP://A"_s
            << QStringList { u"Alpha|Bookmarks\\News\\"_s, u"Alpha|Bookmarks\\Tools\\Deep\\"_s,
                             u"Gamma|Bookmarks\\Tools\\"_s }
            << u"Total: 3"_s;
        QTest::newRow("descriptions only")
            << 1 << u"et"_s << QStringList { u"Beta|Bookmarks\\News\\"_s, u"Zeta|Bookmarks\\"_s }
            << u"Total: 2"_s;
        QTest::newRow("links only") << 2 << u"z/"_s << QStringList { u"Zeta|Bookmarks\\"_s } << u"Total: 1"_s;
        QTest::newRow("links, no match") << 2 << u"alpha"_s << QStringList {} << u"Total: 0"_s;
        QTest::newRow("duplicates, exact links")
            << 3 << QString()
            << QStringList { u"Alpha|Bookmarks\\News\\"_s, u"Alpha|Bookmarks\\Tools\\Deep\\"_s }
            << u"Total: 2"_s;
    }
    void modes()
    {
        QFETCH(int, mode);
        QFETCH(QString, text);
        QFETCH(QStringList, rows);
        QFETCH(QString, total);
        Window w;
        TfrSearch search(w.form, *w.fakes.messages, &w.form);
        QRadioButton *radios[]
            = { search.rbDescrLinks, search.RbDescription, search.RbLink, search.RbDublicates };
        Window::find(search, radios[mode], text);
        QCOMPARE(Window::rows(search), rows);
        QCOMPARE(search.LbSelected->text(), total);
        QCOMPARE(w.form.ToolBarSearch->Tag(), mode);
    }

    void blankTextDoesNothing()
    {
        Window w;
        TfrSearch search(w.form, *w.fakes.messages, &w.form);
        Window::find(search, search.RbDescription, u"   "_s);
        QVERIFY(search.BtnFind->isEnabled());
        QCOMPARE(search.results()->rowCount(), 0);
        QCOMPARE(search.LbSelected->text(), u"Total:"_s);
    }

    void enterInTheFieldFinds()
    {
        Window w;
        TfrSearch search(w.form, *w.fakes.messages, &w.form);
        QTest::keyClicks(search.EdSearch, u"zeta"_s);
        QVERIFY(search.BtnFind->isEnabled());
        QTest::keyClick(search.EdSearch, Qt::Key_Return);
        QCOMPARE(Window::rows(search), QStringList { u"Zeta|Bookmarks\\"_s });
    }

    void deleteSparesTheTwinInAnotherCategory()
    {
        Window w;
        TfrSearch search(w.form, *w.fakes.messages, &w.form);
        Window::find(search, search.RbDublicates, {});
        Window::selectRows(search, { 1 });
        w.fakes.messages->setNextAnswer(MessageAnswer::Yes);
        search.btDelete->Click();
        QCOMPARE(w.fakes.messages->messages().size(), 1);
        QCOMPARE(w.fakes.messages->messages().first().title, u"Warning!"_s);
        QCOMPARE(w.fakes.messages->messages().first().text, u"Delete selected?"_s);
        const BookmarkNode *news = w.form.tree().firstNode()->child(0);
        QCOMPARE(news->child(0), w.newsAlpha);
        QCOMPARE(w.form.tree().firstNode()->child(1)->child(0)->childCount(), 0);
        QCOMPARE(search.results()->rowCount(), 0);
        QCOMPARE(search.LbSelected->text(), u"Total: 0"_s);
        QCOMPARE(w.form.StatusBar1()->panelText(3), u"Links: 4"_s);
        QVERIFY(!search.btDelete->isEnabled());
    }

    void deleteKeyAskedAndAnsweredNoKeepsTheTree()
    {
        Window w;
        TfrSearch search(w.form, *w.fakes.messages, &w.form);
        Window::find(search, search.RbDublicates, {});
        Window::selectRows(search, { 0, 1 });
        w.fakes.messages->setNextAnswer(MessageAnswer::No);
        QTest::keyClick(search.VTDubl, Qt::Key_Delete);
        QCOMPARE(w.fakes.messages->messages().size(), 1);
        QCOMPARE(search.results()->rowCount(), 2);
        QCOMPARE(w.form.StatusBar1()->panelText(3), u"Links: 5"_s);
    }

    // A bookmark deleted in the main tree while its row is listed: neither button reaches anything in
    // its place, the other selected row still acts.
    void rowWhoseBookmarkIsGone()
    {
        Window w;
        TfrSearch search(w.form, *w.fakes.messages, &w.form);
        Window::find(search, search.RbDescription, u"alpha"_s);
        Window::selectRows(search, { 0, 1 });
        w.form.model()->removeNode(w.newsAlpha);

        search.btPreview->Click();
        QCOMPARE(w.form.VT()->selectedNodes(), std::vector<BookmarkNode *> { w.deepAlpha });

        w.fakes.messages->setNextAnswer(MessageAnswer::Yes);
        search.btDelete->Click();
        QCOMPARE(w.form.tree().firstNode()->child(0)->childCount(), 1); // Beta stays
        QCOMPARE(w.form.tree().firstNode()->child(1)->child(0)->childCount(), 0);
    }

    // A link that holds a bidirectional control is listed with it written out; the row still finds
    // its bookmark by the stored link.
    void disguisedLinkShownWithItsControl()
    {
        Window w;
        BookmarkNode *disguised
            = addNode(w.form.tree().firstNode(), bookmark(u"Picture"_s, u"http://x/abc\u202Egnp.exe"_s));
        w.form.model()->reloadSorted();
        TfrSearch search(w.form, *w.fakes.messages, &w.form);
        Window::find(search, search.RbLink, u"gnp"_s);
        QCOMPARE(search.results()->rowCount(), 1);
        const QModelIndex link = search.results()->index(0, SearchResultModel::LinkColumn);
        QCOMPARE(link.data().toString(), u"http://x/abc<U+202E>gnp.exe"_s);
        QCOMPARE(link.data(Qt::ToolTipRole).toString(), u"http://x/abc<U+202E>gnp.exe"_s);
        Window::selectRows(search, { 0 });
        search.btPreview->Click();
        QCOMPARE(w.form.VT()->selectedNodes(), std::vector<BookmarkNode *> { disguised });
    }

    void buttonsFollowTheSelection()
    {
        Window w;
        TfrSearch search(w.form, *w.fakes.messages, &w.form);
        QVERIFY(!search.btDelete->isEnabled());
        Window::find(search, search.rbDescrLinks, u"http"_s);
        Window::selectRows(search, { 2 });
        QVERIFY(search.btDelete->isEnabled());
        QVERIFY(search.btPreview->isEnabled());

        search.VTDubl->setFocus();
        search.VTDubl->selectionModel()->clearSelection();
        QVERIFY(!search.btDelete->isEnabled());
        QTest::keyClick(search.VTDubl, Qt::Key_Down);
        QVERIFY(search.btPreview->isEnabled());

        search.BtnFind->Click(); // a new list has no selection
        QVERIFY(!search.btDelete->isEnabled());
        QVERIFY(!search.btPreview->isEnabled());
    }

    void selectInAProgram()
    {
        Window w;
        TfrSearch search(w.form, *w.fakes.messages, &w.form);
        w.form.VT()->expandAll();
        Window::find(search, search.RbDublicates, {});
        Window::selectRows(search, { 0, 1 });
        search.btPreview->Click();
        std::vector<BookmarkNode *> selected = w.form.VT()->selectedNodes();
        std::sort(selected.begin(), selected.end());
        std::vector<BookmarkNode *> expected { w.newsAlpha, w.deepAlpha };
        std::sort(expected.begin(), expected.end());
        QCOMPARE(selected, expected);
        QCOMPARE(w.form.VT()->focusedNode(), w.deepAlpha);
        BookmarkModel &model = *w.form.model();
        QVERIFY(w.form.VT()->isExpanded(model.indexFromNode(w.form.tree().firstNode())));
        QVERIFY(!w.form.VT()->isExpanded(model.indexFromNode(w.form.tree().firstNode()->child(1))));
    }

    void headerSorts()
    {
        Window w;
        TfrSearch search(w.form, *w.fakes.messages, &w.form);
        Window::find(search, search.RbLink, u"http"_s);
        const QStringList treeOrder = Window::rows(search);
        search.VTDublHeaderClick(SearchResultModel::LocationColumn);
        QCOMPARE(Window::rows(search), treeOrder);
        // The direction flips whatever column was sorted before: the location click made it descending.
        search.VTDublHeaderClick(SearchResultModel::DescriptionColumn);
        QCOMPARE(Window::rows(search),
                 (QStringList { u"Alpha|Bookmarks\\News\\"_s, u"Alpha|Bookmarks\\Tools\\Deep\\"_s,
                                u"Beta|Bookmarks\\News\\"_s, u"Gamma|Bookmarks\\Tools\\"_s,
                                u"Zeta|Bookmarks\\"_s }));
        // Equal descriptions keep their order in either direction.
        search.VTDublHeaderClick(SearchResultModel::DescriptionColumn);
        QCOMPARE(
            Window::rows(search),
            (QStringList { u"Zeta|Bookmarks\\"_s, u"Gamma|Bookmarks\\Tools\\"_s, u"Beta|Bookmarks\\News\\"_s,
                           u"Alpha|Bookmarks\\News\\"_s, u"Alpha|Bookmarks\\Tools\\Deep\\"_s }));
        QCOMPARE(search.VTDubl->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    }

    // The glyph the style is asked to draw for an ascending sort is the main tree's.
    void sortGlyphIsTheMainTrees()
    {
        struct GlyphRecorder : QProxyStyle
        {
            void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                             const QWidget *widget) const override
            {
                if (const auto *header = qstyleoption_cast<const QStyleOptionHeader *>(option);
                    header && element == CE_Header && header->sortIndicator != QStyleOptionHeader::None)
                    glyph = header->sortIndicator;
                QProxyStyle::drawControl(element, option, painter, widget);
            }
            mutable QStyleOptionHeader::SortIndicator glyph = QStyleOptionHeader::None;
        };
        const auto drawnGlyph = [](QHeaderView *header) {
            auto *recorder = new GlyphRecorder;
            header->setStyle(recorder);
            header->grab();
            const QStyleOptionHeader::SortIndicator glyph = recorder->glyph;
            header->setStyle(nullptr);
            delete recorder;
            return glyph;
        };

        Window w;
        TfrSearch search(w.form, *w.fakes.messages, &w.form);
        w.form.show();
        search.show();
        QVERIFY(QTest::qWaitForWindowExposed(&search));
        // Both ascending: the duplicates list by link, the main tree by description from the start.
        Window::find(search, search.RbDublicates, {});
        QCOMPARE(search.VTDubl->header()->sortIndicatorOrder(), Qt::AscendingOrder);
        QCOMPARE(w.form.VT()->header()->sortIndicatorOrder(), Qt::AscendingOrder);
        const QStyleOptionHeader::SortIndicator treeGlyph = drawnGlyph(w.form.VT()->header());
        QVERIFY(treeGlyph != QStyleOptionHeader::None);
        QCOMPARE(drawnGlyph(search.VTDubl->header()), treeGlyph);
        // The captions stay on the left, as the list's own header had them.
        QCOMPARE(search.VTDubl->header()->defaultAlignment(), Qt::AlignLeft | Qt::AlignVCenter);
    }

    void columnsShareAChangeOfTheListsWidth()
    {
        Window w;
        TfrSearch search(w.form, *w.fakes.messages, &w.form);
        search.show();
        QVERIFY(QTest::qWaitForWindowExposed(&search));
        QHeaderView *header = search.VTDubl->header();
        const int description = header->sectionSize(SearchResultModel::DescriptionColumn);
        const int link = header->sectionSize(SearchResultModel::LinkColumn);
        const int viewport = search.VTDubl->viewport()->width();
        const int total = header->length();

        search.resize(search.width() + 300, search.height());
        QTRY_COMPARE(search.VTDubl->viewport()->width(), viewport + 300);
        // Every column grew, each by its share, and together they follow the list exactly.
        QCOMPARE(header->length(), total + 300);
        QCOMPARE(header->sectionSize(SearchResultModel::DescriptionColumn),
                 description + 300 * description / total);
        QCOMPARE(header->sectionSize(SearchResultModel::LinkColumn), link + 300 * link / total);
        // A column resized by hand stays as the user left it until the list changes width again.
        header->resizeSection(SearchResultModel::LinkColumn, 50);
        QCOMPARE(header->sectionSize(SearchResultModel::LinkColumn), 50);
    }

    void refusedWhileTheTreeIsBusy()
    {
        Window w;
        TfrSearch search(w.form, *w.fakes.messages, &w.form);
        Window::find(search, search.RbDublicates, {});
        Window::selectRows(search, { 0 });
        w.form.setTreeBusy(true);
        w.fakes.messages->setNextAnswer(MessageAnswer::Yes);
        search.btDelete->Click();
        search.btPreview->Click();
        w.form.setTreeBusy(false);
        QCOMPARE(w.form.StatusBar1()->panelText(3), u"Links: 5"_s);
        QVERIFY(w.fakes.messages->messages().isEmpty());
        QVERIFY(w.form.VT()->selectedNodes().empty());
    }

    // Opened from the toolbar on the kept mode, closed by Escape.
    void opensOnTheKeptModeAndEscapeCloses()
    {
        Window w;
        w.form.show();
        w.form.ToolBarSearch->SetTag(int(SearchMode::Dublicates));
        bool checked = false;
        QTimer::singleShot(0, [&] {
            TfrSearch *search = w.form.frSearch;
            QVERIFY(search);
            checked = search->RbDublicates->isChecked() && !search->EdSearch->isEnabled()
                && search->BtnFind->isEnabled();
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : search,
                            Qt::Key_Escape);
        });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, [&] {
            if (w.form.frSearch)
                w.form.frSearch->reject();
        });
        watchdog.start(5000);
        w.form.ToolBarSearch->Click();
        QVERIFY(watchdog.isActive());
        QVERIFY(checked);
        QVERIFY(!w.form.frSearch);
        QCOMPARE(w.form.ToolBarSearch->Tag(), int(SearchMode::Dublicates));
    }

    void ctrlFOpensTheWindow()
    {
        Window w;
        w.form.show();
        bool opened = false;
        QTimer closeSearch;
        connect(&closeSearch, &QTimer::timeout, [&] {
            if (w.form.frSearch) {
                opened = true;
                w.form.frSearch->reject();
            }
        });
        closeSearch.start(0);
        QTest::keyClick(w.form.VT(), Qt::Key_F, Qt::ControlModifier);
        QTRY_VERIFY(opened);
    }
};

QTEST_MAIN(TestSearchWindow)
#include "tst_searchwindow.moc"
