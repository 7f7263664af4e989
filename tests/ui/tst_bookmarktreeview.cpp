#include "main/core/bookmarksort.h"
#include "main/core/displaytext.h"
#include "main/tree/bookmarkdelegate.h"
#include "main/tree/bookmarkmodel.h"
#include "main/tree/bookmarktreeview.h"
#include "main/tree/celltooltip.h"
#include "main/tree/imagelist.h"
#include "main/window/statusbar.h"
#include "main/window/tform1.h"
#include "treefixture.h"

#include <QAbstractItemModelTester>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPainter>
#include <QProxyStyle>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>

using namespace vellumite;
using namespace treefixture;
using namespace Qt::StringLiterals;

namespace {

QString plainText(const QString &markup)
{
    QTextDocument document;
    document.setHtml(markup);
    return document.toPlainText();
}

// A tree of one root with bookmarks, in a view of its own.
struct ViewFixture
{
    BookmarkTree tree;
    BookmarkModel model { tree };
    BookmarkTreeView view { &model, ImageList::instance() };
    BookmarkNode *root = addRoot(tree);

    explicit ViewFixture(int bookmarks = 0)
    {
        for (int i = 0; i < bookmarks; ++i)
            root->appendChild(bookmark(u"Bookmark %1"_s.arg(i, 4, 10, QChar(u'0')), u"http://%1/"_s.arg(i)));
        root->setState(NodeState::Expanded, true);
        model.reloadSorted();
        view.restoreViewStateFromNodes();
        view.resize(600, 300);
    }
    void show()
    {
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }
    QModelIndex index(const BookmarkNode *node, int column = 0) const
    {
        return model.indexFromNode(node, column);
    }
    QPoint cellCentre(const BookmarkNode *node, int column)
    {
        return view.visualRect(index(node, column)).center();
    }
    // The cell's tool tip as the mouse resting on it shows it, as plain text; empty when none shows.
    QString toolTipOf(const BookmarkNode *node, int column)
    {
        const QPoint at = cellCentre(node, column);
        QHelpEvent event(QEvent::ToolTip, at, view.viewport()->mapToGlobal(at));
        QApplication::sendEvent(view.viewport(), &event);
        if (!QTest::qWaitFor([] { return QToolTip::isVisible(); }))
            return {};
        const QString shown = plainText(QToolTip::text());
        QToolTip::hideText();
        return shown;
    }
};

// Notes the text colour every cell is drawn with.
class TextColourRecorder : public QProxyStyle
{
public:
    QHash<QString, QColor> colours;

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        if (const auto *item = qstyleoption_cast<const QStyleOptionViewItem *>(option);
            element == CE_ItemViewItem && item)
            const_cast<TextColourRecorder *>(this)->colours[item->text] = item->palette.color(QPalette::Text);
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

} // namespace

class TestBookmarkTreeView : public QObject
{
    Q_OBJECT

private slots:
    // Header clicks flip the direction every time, also when the column changes; only a left click on
    // "Description" or "Link" sorts.
    void headerClickSequence()
    {
        TForm1 form;
        BookmarkNode *root = addRoot(form.tree());
        root->appendChild(bookmark(u"a"_s, u"http://2/"_s));
        root->appendChild(bookmark(u"B"_s, u"http://3/"_s));
        root->appendChild(bookmark(u"c"_s, u"http://1/"_s));
        form.model()->reloadSorted();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QHeaderView *header = form.VT()->header();
        QCOMPARE(names(*root), (QStringList { u"B"_s, u"a"_s, u"c"_s }));

        struct Click
        {
            int column;
            Qt::MouseButton button;
            int sortColumn;
            Qt::SortOrder order;
            QStringList names;
        };
        const Click clicks[] = {
            { ColumnLink, Qt::LeftButton, ColumnLink, Qt::DescendingOrder, { u"B"_s, u"a"_s, u"c"_s } },
            { ColumnLink, Qt::LeftButton, ColumnLink, Qt::AscendingOrder, { u"c"_s, u"a"_s, u"B"_s } },
            { ColumnState, Qt::LeftButton, ColumnLink, Qt::AscendingOrder, { u"c"_s, u"a"_s, u"B"_s } },
            { ColumnDescription,
              Qt::RightButton,
              ColumnLink,
              Qt::AscendingOrder,
              { u"c"_s, u"a"_s, u"B"_s } },
            { ColumnDescription,
              Qt::LeftButton,
              ColumnDescription,
              Qt::DescendingOrder,
              { u"c"_s, u"a"_s, u"B"_s } },
            { ColumnDescription,
              Qt::LeftButton,
              ColumnDescription,
              Qt::AscendingOrder,
              { u"B"_s, u"a"_s, u"c"_s } },
        };
        for (const Click &click : clicks) {
            const QPoint at(header->sectionViewportPosition(click.column)
                                + header->sectionSize(click.column) / 2,
                            header->height() / 2);
            QTest::mouseClick(header->viewport(), click.button, {}, at);
            QCOMPARE(form.model()->sortColumn(), click.sortColumn);
            QCOMPARE(form.model()->sortOrder(), click.order);
            QCOMPARE(header->sortIndicatorSection(), click.sortColumn);
            QCOMPARE(header->sortIndicatorOrder(), click.order);
            QCOMPARE(names(*root), click.names);
        }
    }

    void sortGlyphPointsUpWhenAscending()
    {
        struct Probe : BookmarkHeaderView
        {
            using BookmarkHeaderView::initStyleOptionForIndex;
        };
        BookmarkTree tree;
        BookmarkModel model(tree);
        Probe header;
        header.setModel(&model);
        header.setSortIndicatorShown(true);
        QStyleOptionHeader option;
        header.setSortIndicator(ColumnLink, Qt::AscendingOrder);
        header.initStyleOptionForIndex(&option, ColumnLink);
        QCOMPARE(option.sortIndicator, QStyleOptionHeader::SortUp);
        header.setSortIndicator(ColumnLink, Qt::DescendingOrder);
        header.initStyleOptionForIndex(&option, ColumnLink);
        QCOMPARE(option.sortIndicator, QStyleOptionHeader::SortDown);
    }

    void columnWidthLimits_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("requested");
        QTest::addColumn<int>("expected");
        QTest::newRow("state below its minimum") << 2 << 10 << 45;
        QTest::newRow("state within its limits") << 2 << 100 << 100;
        QTest::newRow("state above its maximum") << 2 << 400 << 150;
        QTest::newRow("description is not limited so") << 0 << 400 << 400;
    }
    void columnWidthLimits()
    {
        QFETCH(int, column);
        QFETCH(int, requested);
        ViewFixture f(2);
        QCOMPARE(f.view.header()->sectionSize(ColumnState), 45);
        f.view.header()->resizeSection(column, requested);
        QTEST(f.view.header()->sectionSize(column), "expected");
        // A reload of the tree keeps the widths.
        f.model.reloadSorted();
        QTEST(f.view.header()->sectionSize(column), "expected");
    }

    void stateColumnCannotBeDragged()
    {
        ViewFixture f(1);
        f.show();
        QHeaderView *header = f.view.header();
        auto drag = [header](int section, int toSection) {
            const int y = header->height() / 2;
            const QPoint from(header->sectionViewportPosition(section) + header->sectionSize(section) / 2, y);
            const QPoint to(header->sectionViewportPosition(toSection) + 5, y);
            QTest::mousePress(header->viewport(), Qt::LeftButton, {}, from);
            for (int step = 1; step <= 10; ++step)
                QTest::mouseMove(header->viewport(), from + (to - from) * step / 10);
            QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, to);
        };
        drag(ColumnState, ColumnDescription);
        QCOMPARE(header->visualIndex(ColumnState), 2);
        drag(ColumnLink, ColumnDescription);
        QCOMPARE(header->visualIndex(ColumnLink), 0);
    }

    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("withSelection");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<bool>("deletes");
        QTest::newRow("Enter opens") << int(Qt::Key_Return) << Qt::KeyboardModifiers() << true << true
                                     << false;
        QTest::newRow("keypad Enter opens")
            << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier) << false << true << false;
        QTest::newRow("Shift+Enter opens")
            << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::ShiftModifier) << true << true << false;
        QTest::newRow("Ctrl+Enter does not")
            << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::ControlModifier) << true << false << false;
        QTest::newRow("Alt+Enter does not")
            << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::AltModifier) << true << false << false;
        QTest::newRow("Delete with a selection")
            << int(Qt::Key_Delete) << Qt::KeyboardModifiers() << true << false << true;
        QTest::newRow("Shift+Delete too")
            << int(Qt::Key_Delete) << Qt::KeyboardModifiers(Qt::ShiftModifier) << true << false << true;
        QTest::newRow("Ctrl+Delete too")
            << int(Qt::Key_Delete) << Qt::KeyboardModifiers(Qt::ControlModifier) << true << false << true;
        QTest::newRow("Delete without a selection does nothing")
            << int(Qt::Key_Delete) << Qt::KeyboardModifiers() << false << false << false;
    }
    void keys()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, withSelection);
        ViewFixture f(3);
        if (withSelection)
            f.view.selectionModel()->select(f.index(f.root->child(1)),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QSignalSpy opened(&f.view, &BookmarkTreeView::openRequested);
        QSignalSpy deleted(&f.view, &BookmarkTreeView::deleteRequested);
        QTest::keyClick(&f.view, Qt::Key(key), modifiers);
        QTEST(opened.size() == 1, "opens");
        QTEST(deleted.size() == 1, "deletes");
    }

    // An in-place edit starts with F2 or a click on the focused cell of a selected row, never on a
    // double click, and only where the cell may be edited.
    void editStarts_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("onRoot");
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("editing");
        QTest::newRow("F2 on a title") << u"F2"_s << false << 0 << true;
        QTest::newRow("F2 on a link") << u"F2"_s << false << 1 << true;
        QTest::newRow("F2 on the state column") << u"F2"_s << false << 2 << false;
        QTest::newRow("F2 on the root") << u"F2"_s << true << 0 << false;
        QTest::newRow("click on the focused cell") << u"click"_s << false << 0 << true;
        QTest::newRow("click on another cell of the selected row")
            << u"click beside"_s << false << 0 << false;
        QTest::newRow("Ctrl+click on the focused cell") << u"ctrl click"_s << false << 0 << false;
        QTest::newRow("double click") << u"double click"_s << false << 0 << false;
    }
    void editStarts()
    {
        QFETCH(QString, how);
        QFETCH(bool, onRoot);
        QFETCH(int, column);
        ViewFixture f(2);
        f.show();
        BookmarkNode *node = onRoot ? f.root : f.root->child(0);
        f.view.setCurrentIndex(f.index(node, column));
        if (how == u"F2") {
            QTest::keyClick(&f.view, Qt::Key_F2);
        } else if (how == u"click") {
            QTest::mouseClick(f.view.viewport(), Qt::LeftButton, {}, f.cellCentre(node, column));
        } else if (how == u"click beside") {
            QTest::mouseClick(f.view.viewport(), Qt::LeftButton, {}, f.cellCentre(node, ColumnLink));
            QTest::qWait(QApplication::doubleClickInterval() + 50);
        } else if (how == u"ctrl click") {
            QTest::mouseClick(f.view.viewport(), Qt::LeftButton, Qt::ControlModifier,
                              f.cellCentre(node, column));
            QTest::qWait(QApplication::doubleClickInterval() + 50);
        } else {
            QTest::mouseDClick(f.view.viewport(), Qt::LeftButton, {}, f.cellCentre(node, column));
            QTest::qWait(QApplication::doubleClickInterval() + 50);
        }
        QFETCH(bool, editing);
        if (editing)
            QTRY_VERIFY(f.view.isEditing());
        else
            QVERIFY(!f.view.isEditing());
    }

    void editorCommitsWithEnterAndCancelsWithEscape()
    {
        ViewFixture f(2);
        f.show();
        f.view.setFocus();
        BookmarkNode *node = f.root->child(1);
        f.view.setCurrentIndex(f.index(node));
        auto editor = [&f] { return qobject_cast<QLineEdit *>(f.view.indexWidget(f.view.currentIndex())); };
        QTest::keyClick(&f.view, Qt::Key_F2);
        QVERIFY(f.view.isEditing());
        QTest::keyClicks(editor(), u"Cancelled"_s);
        QTest::keyClick(editor(), Qt::Key_Escape);
        QVERIFY(!f.view.isEditing());
        QCOMPARE(node->record.Description, u"Bookmark 0001"_s);

        // The Enter that confirms the rename is the editor's: it opens nothing.
        QSignalSpy opened(&f.view, &BookmarkTreeView::openRequested);
        QTest::keyClick(&f.view, Qt::Key_F2);
        QTest::keyClicks(editor(), u"A first"_s);
        QTest::keyClick(editor(), Qt::Key_Return);
        QTRY_VERIFY(!f.view.isEditing());
        QCOMPARE(node->record.Description, u"A first"_s);
        QCOMPARE(opened.count(), 0);
        // Kept sorted: the renamed node now leads, and stays the current one.
        QCOMPARE(f.root->child(0), node);
        QCOMPARE(f.view.focusedNode(), node);
    }

    // Expansion and selection travel through the nodes' flags; other flags are left as they were.
    void viewStateThroughNodeFlags()
    {
        constexpr quint16 Unknown = 0x4000;
        BookmarkTree tree;
        BookmarkModel model(tree);
        BookmarkTreeView view(&model, ImageList::instance());
        BookmarkNode *root = addRoot(tree);
        BookmarkNode *open = root->appendChild(category(u"open"_s));
        BookmarkNode *inOpen = open->appendChild(bookmark(u"in open"_s));
        BookmarkNode *closed = root->appendChild(category(u"closed"_s));
        BookmarkNode *inClosed = closed->appendChild(bookmark(u"in closed"_s));
        BookmarkNode *first = root->appendChild(bookmark(u"x first"_s));
        BookmarkNode *second = root->appendChild(bookmark(u"x second"_s));
        BookmarkNode *leaf = root->appendChild(bookmark(u"x leaf"_s));
        root->setState(NodeState::Expanded | Unknown, true);
        open->setState(NodeState::Expanded, true);
        leaf->setState(NodeState::Expanded, true);
        for (BookmarkNode *n : { inOpen, inClosed, first, second })
            n->setState(NodeState::Selected, true);
        model.reloadSorted();

        QSignalSpy selectionChanges(view.selectionModel(), &QItemSelectionModel::selectionChanged);
        view.restoreViewStateFromNodes();
        QCOMPARE(selectionChanges.size(), 1);
        QVERIFY(view.isExpanded(model.indexFromNode(root)));
        QVERIFY(view.isExpanded(model.indexFromNode(open)));
        QVERIFY(!view.isExpanded(model.indexFromNode(closed)));
        QCOMPARE(view.selectedCount(), 4);
        for (BookmarkNode *n : { inOpen, inClosed, first, second })
            QVERIFY(view.selectionModel()->isRowSelected(n->row(), model.indexFromNode(n->parent())));

        view.collapse(model.indexFromNode(open));
        view.expand(model.indexFromNode(closed));
        view.selectionModel()->select(model.indexFromNode(closed),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        const quint16 rootBefore = root->states;
        const quint16 leafBefore = leaf->states;
        view.storeViewStateInNodes();
        QCOMPARE(root->states, rootBefore);
        QCOMPARE(leaf->states, leafBefore);
        QVERIFY(!open->hasState(NodeState::Expanded));
        QVERIFY(closed->hasState(NodeState::Expanded));
        QCOMPARE(closed->states & NodeState::StoredMask,
                 NodeState::Initialized | NodeState::Visible | NodeState::HasChildren | NodeState::Expanded
                     | NodeState::Selected);
        for (BookmarkNode *n : { inOpen, inClosed, first, second })
            QVERIFY(!n->hasState(NodeState::Selected));
    }

    // A removal spread over folders leaves the rest of the tree as it was shown: open folders stay open,
    // selected rows stay selected, the focus stays. From many folders the views see one layout change
    // instead of one removal per folder, each of which would walk every persistent index again.
    void removalFromSeveralFolders_data()
    {
        QTest::addColumn<int>("folders");
        QTest::addColumn<int>("removals");
        QTest::addColumn<int>("layoutChanges");
        // Each folder loses two rows apart from each other, which are gathered first; one nested folder
        // loses its only bookmark.
        QTest::newRow("three folders") << 3 << 4 << 3;
        QTest::newRow("eight folders") << 8 << 0 << 1;
    }
    void removalFromSeveralFolders()
    {
        QFETCH(int, folders);
        QFETCH(int, removals);
        QFETCH(int, layoutChanges);
        ViewFixture f;
        QAbstractItemModelTester tester(&f.model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        // Fn(an bn cn Subn(sn)); a, c, Sub0 and s1 go, b stays selected.
        std::vector<BookmarkNode *> going, staying, subs;
        for (int i = 0; i < folders; ++i) {
            const QString n = QString::number(i);
            BookmarkNode *folder = f.root->appendChild(category(u"F"_s + n));
            going.push_back(folder->appendChild(bookmark(u"a"_s + n)));
            staying.push_back(folder->appendChild(bookmark(u"b"_s + n)));
            going.push_back(folder->appendChild(bookmark(u"c"_s + n)));
            subs.push_back(folder->appendChild(category(u"Sub"_s + n)));
            subs.back()->appendChild(bookmark(u"s"_s + n));
        }
        going.push_back(subs[0]);
        going.push_back(subs[1]->child(0));
        f.model.reloadSorted();
        f.view.expandAll();
        f.show();
        QItemSelection selection;
        for (BookmarkNode *node : going)
            selection.select(f.index(node), f.index(node, 2));
        for (BookmarkNode *node : staying)
            selection.select(f.index(node), f.index(node, 2));
        f.view.selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
        f.view.selectionModel()->setCurrentIndex(f.index(staying[1]), QItemSelectionModel::NoUpdate);
        const QPersistentModelIndex goneIndex = f.index(going[0]);
        QSignalSpy removed(&f.model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy relaid(&f.model, &QAbstractItemModel::layoutChanged);

        f.model.removeNodes(going);
        f.view.viewport()->repaint();
        QCOMPARE(removed.size(), removals);
        QCOMPARE(relaid.size(), layoutChanges);
        QVERIFY(!goneIndex.isValid());
        for (int i = 0; i < folders; ++i) {
            const BookmarkNode *folder = f.root->child(i);
            const QString n = QString::number(i);
            const QStringList left
                = i == 0 ? QStringList { u"b0"_s } : QStringList { u"b"_s + n, u"Sub"_s + n };
            QCOMPARE(names(*folder), left);
            QVERIFY(f.view.isExpanded(f.index(folder)));
            if (i > 0)
                QCOMPARE(subs[size_t(i)]->childCount(), i == 1 ? 0 : 1);
        }
        QVERIFY(f.view.isExpanded(f.index(subs[2])));
        QCOMPARE(f.view.selectedCount(), folders);
        for (BookmarkNode *node : staying)
            QVERIFY(f.view.selectionModel()->isRowSelected(node->row(), f.index(node->parent())));
        QCOMPARE(f.view.focusedNode(), staying[1]);
    }

    // New nodes for several folders (an import's merge) go to their sorted places; the rest of the
    // tree keeps its expansion, selection and focus. Into many folders the views see one layout change.
    void insertionIntoSeveralFolders_data()
    {
        QTest::addColumn<int>("folders");
        QTest::addColumn<int>("insertions");
        QTest::addColumn<int>("layoutChanges");
        // Each folder's new nodes are one insertion, then a sort.
        QTest::newRow("three folders") << 3 << 4 << 4;
        QTest::newRow("eight folders") << 8 << 0 << 1;
    }
    void insertionIntoSeveralFolders()
    {
        QFETCH(int, folders);
        QFETCH(int, insertions);
        QFETCH(int, layoutChanges);
        ViewFixture f;
        QAbstractItemModelTester tester(&f.model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        // Fn(Deepn(bn dn)); each Deep gets "a" and "c" with its number, F0 also a folder "E".
        std::vector<BookmarkNode *> selected, deep;
        for (int i = 0; i < folders; ++i) {
            const QString n = QString::number(i);
            deep.push_back(f.root->appendChild(category(u"F"_s + n))->appendChild(category(u"Deep"_s + n)));
            selected.push_back(deep.back()->appendChild(bookmark(u"b"_s + n)));
            deep.back()->appendChild(bookmark(u"d"_s + n));
        }
        f.model.reloadSorted();
        f.view.expandAll();
        f.show();
        QItemSelection selection;
        for (BookmarkNode *node : selected)
            selection.select(f.index(node), f.index(node, 2));
        f.view.selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
        f.view.selectionModel()->setCurrentIndex(f.index(selected[1]), QItemSelectionModel::NoUpdate);
        std::vector<BookmarkModel::FolderInsertion> added;
        for (int i = 0; i < folders; ++i) {
            const QString n = QString::number(i);
            added.push_back({ deep[size_t(i)], {} });
            added.back().nodes.push_back(bookmark(u"c"_s + n));
            added.back().nodes.push_back(bookmark(u"a"_s + n));
        }
        added.push_back({ f.root->child(0), {} });
        added.back().nodes.push_back(category(u"E"_s));
        QSignalSpy inserted(&f.model, &QAbstractItemModel::rowsInserted);
        QSignalSpy relaid(&f.model, &QAbstractItemModel::layoutChanged);

        f.model.appendToFolders(std::move(added));
        f.view.viewport()->repaint();
        QCOMPARE(inserted.size(), insertions);
        QCOMPARE(relaid.size(), layoutChanges);
        for (int i = 0; i < folders; ++i) {
            const QString n = QString::number(i);
            QCOMPARE(names(*deep[size_t(i)]),
                     (QStringList { u"a"_s + n, u"b"_s + n, u"c"_s + n, u"d"_s + n }));
            QVERIFY(f.view.isExpanded(f.index(deep[size_t(i)])));
            QVERIFY(f.view.isExpanded(f.index(deep[size_t(i)]->parent())));
        }
        QCOMPARE(names(*f.root->child(0)), (QStringList { u"Deep0"_s, u"E"_s }));
        QCOMPARE(f.view.selectedCount(), folders);
        for (BookmarkNode *node : selected)
            QVERIFY(f.view.selectionModel()->isRowSelected(node->row(), f.index(node->parent())));
        QCOMPARE(f.view.focusedNode(), selected[1]);
    }

    void hints_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("comment");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("shown");
        QTest::newRow("markup in a title is text")
            << u"<b>bold</b> & <i>co</i>"_s << QString() << 0 << u"<b>bold</b> & <i>co</i>"_s;
        QTest::newRow("comment one empty line below, its own lines kept")
            << u"Title"_s << u"line 1\r\nline 2"_s << 0 << u"Title\n\nline 1\nline 2"_s;
        QTest::newRow("link") << u"Title"_s << QString() << 1 << u"http://x/?a=1&b=<2>"_s;
    }
    void hints()
    {
        QFETCH(QString, title);
        QFETCH(QString, comment);
        QFETCH(int, column);
        ViewFixture f;
        BookmarkNode *node = f.model.insertNode(f.root, bookmark(title, u"http://x/?a=1&b=<2>"_s, comment));
        f.view.expand(f.index(f.root));
        f.show();
        QTEST(f.toolTipOf(node, column), "shown");
    }

    void hintLineBreaks()
    {
        // LF CR, CR LF, a lone CR and a lone LF are one line break each.
        QCOMPARE(plainText(hintAsToolTip(u"a\n\rb\r\nc\rd\ne\n\r\n\rf"_s)), u"a\nb\nc\nd\ne\n\nf"_s);
    }

    // A link that holds bidirectional controls is shown with them written out, in its cell and its
    // hint, so "abc\u202Egnp.exe" cannot pass for "abcexe.png"; the title, the stored link and the
    // in-place editor keep the text as it is.
    void linksShowTheirBidiControls()
    {
        const QString disguised = u"http://x/abc\u202Egnp.exe"_s;
        ViewFixture f;
        auto *recorder = new TextColourRecorder;
        recorder->setParent(&f.view);
        f.view.setStyle(recorder);
        BookmarkNode *node = f.model.insertNode(f.root, bookmark(u"abc\u202Egnp.exe"_s, disguised));
        f.view.expand(f.index(f.root));
        f.show();
        f.view.viewport()->grab();
        QVERIFY(recorder->colours.contains(u"http://x/abc<U+202E>gnp.exe"_s));
        QVERIFY(recorder->colours.contains(u"abc\u202Egnp.exe"_s));

        QCOMPARE(f.toolTipOf(node, ColumnLink), u"http://x/abc<U+202E>gnp.exe"_s);

        f.view.setCurrentIndex(f.index(node, ColumnLink));
        QTest::keyClick(&f.view, Qt::Key_F2);
        auto *editor = qobject_cast<QLineEdit *>(f.view.indexWidget(f.view.currentIndex()));
        QVERIFY(editor);
        QCOMPARE(editor->text(), disguised);
        QTest::keyClick(editor, Qt::Key_Escape);
        QCOMPARE(node->record.Link, disguised);
    }

    // The hint of a 60,000-character link or a 100,000-character title fits on a screen; the cell's
    // text stays whole.
    void hugeHintsCutToAScreen_data()
    {
        QTest::addColumn<int>("column");
        QTest::newRow("title") << int(ColumnDescription);
        QTest::newRow("link") << int(ColumnLink);
    }
    void hugeHintsCutToAScreen()
    {
        QFETCH(int, column);
        ViewFixture f;
        BookmarkNode *node = f.model.insertNode(
            f.root, bookmark(QString(100'000, u't'), u"data:,"_s + QString(59'994, u'l')));
        f.view.expand(f.index(f.root));
        f.show();
        const QString shown = f.toolTipOf(node, column);
        QVERIFY(shown.endsWith(QChar(0x2026)));
        QCOMPARE(shown.count(u'\n') + 1, ToolTipMaxLines);
        QVERIFY(shown.size() < 4'000);
        QCOMPARE(f.index(node, column).data().toString().size(), column == ColumnLink ? 60'000 : 100'000);
    }

    void stateIconPlacement_data()
    {
        QTest::addColumn<QRect>("cell");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("designed state column") << QRect(540, 36, 45, 18) << QPoint(554, 37);
        QTest::newRow("even width") << QRect(0, 0, 46, 18) << QPoint(15, 1);
        QTest::newRow("narrower than the icon") << QRect(10, 0, 9, 18) << QPoint(7, 1);
    }
    void stateIconPlacement()
    {
        QFETCH(QRect, cell);
        QTEST(BookmarkDelegate::centredIconPosition(cell, 16), "expected");
    }

    // The selection band is painted in the same colours with or without the focus; only the link text
    // of the selected row turns black while the tree has the focus.
    void selectionColours_data()
    {
        QTest::addColumn<bool>("focused");
        QTest::addColumn<QColor>("selectedLink");
        QTest::newRow("focused") << true << QColor(Qt::black);
        QTest::newRow("unfocused") << false << QColor(0x45, 0x45, 0x45);
    }
    void selectionColours()
    {
        QFETCH(bool, focused);
        QFETCH(QColor, selectedLink);
        QWidget window;
        QLineEdit other(&window);
        BookmarkTree tree;
        BookmarkModel model(tree);
        BookmarkTreeView view(&model, ImageList::instance(), &window);
        view.setGeometry(0, 30, 640, 200);
        // A widget does not own the style it is given; the window frees it after the view.
        auto *recorder = new TextColourRecorder;
        recorder->setParent(&window);
        view.setStyle(recorder);
        BookmarkNode *root = addRoot(tree);
        BookmarkNode *selected = root->appendChild(bookmark(u"selected"_s, u"http://selected/"_s));
        BookmarkNode *plain = root->appendChild(bookmark(u"plain"_s, u"http://plain/"_s));
        selected->record.PriorityColor = PriorityHigh;
        selected->record.LinkState = LinkAlive;
        root->setState(NodeState::Expanded, true);
        selected->setState(NodeState::Selected, true);
        model.reloadSorted();
        view.restoreViewStateFromNodes();
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        (focused ? static_cast<QWidget *>(&view) : &other)->setFocus();
        QTRY_COMPARE(view.hasFocus(), focused);

        recorder->colours.clear();
        const QImage image = view.viewport()->grab().toImage();
        QCOMPARE(recorder->colours.value(u"http://selected/"_s), selectedLink);
        QCOMPARE(recorder->colours.value(u"http://plain/"_s), QColor(0x45, 0x45, 0x45));
        QCOMPARE(recorder->colours.value(u"selected"_s), QColor(Qt::red));

        const QRect selectedCell = view.visualRect(model.indexFromNode(selected, ColumnLink));
        const QRect plainLink = view.visualRect(model.indexFromNode(plain, ColumnLink));
        const int x = selectedCell.right() - 10;
        QCOMPARE(image.pixelColor(x, selectedCell.center().y()), QColor(0xDA, 0xEF, 0xFE));
        QCOMPARE(image.pixelColor(x, selectedCell.top()), QColor(0x80, 0xC6, 0xF9));
        QCOMPARE(image.pixelColor(x, plainLink.center().y()), QColor(Qt::white));

        // The state icon sits centred in its cell.
        const QRect state = view.visualRect(model.indexFromNode(selected, ColumnState));
        const QPoint iconAt = BookmarkDelegate::centredIconPosition(state, 16);
        QImage expected(16, 16, QImage::Format_RGB32);
        expected.fill(QColor(0xDA, 0xEF, 0xFE));
        QPainter(&expected).drawPixmap(0, 0, ImageList::instance().pixmap(LinkAlive));
        QCOMPARE(image.copy(QRect(iconAt, QSize(16, 16))).convertToFormat(QImage::Format_RGB32), expected);
    }

    void statusBarWidths_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("first");
        QTest::newRow("designed client width") << 642 << 342;
        QTest::newRow("wider") << 1000 << 700;
        QTest::newRow("narrower than the fixed panels, never negative") << 250 << 0;
    }
    void statusBarWidths()
    {
        QFETCH(int, width);
        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        StatusBar *bar = form.StatusBar1();
        bar->resize(width, bar->height());
        QTEST(bar->panelWidth(0), "first");
        QCOMPARE(bar->panelWidth(1), 10);
        QCOMPARE(bar->panelWidth(2), 120);
        QCOMPARE(bar->panelWidth(3), 120);
        QCOMPARE(bar->panelWidth(4), 20);
    }

    // "Expand all" and "*" open the folders and record nothing for a bookmark, which would otherwise be a
    // persistent index that every move and sort of the tree has to carry. "*" opens the focused
    // node's subtree only.
    void expandingOpensFoldersOnly_data()
    {
        QTest::addColumn<bool>("withTheKey");
        QTest::newRow("Expand all") << false;
        QTest::newRow("* on the first folder") << true;
    }
    void expandingOpensFoldersOnly()
    {
        QFETCH(bool, withTheKey);
        ViewFixture f(2);
        BookmarkNode *a = f.root->appendChild(category(u"A"_s));
        BookmarkNode *deep = a->appendChild(category(u"Deep"_s));
        deep->appendChild(bookmark(u"d1"_s));
        a->appendChild(bookmark(u"a1"_s));
        BookmarkNode *b = f.root->appendChild(category(u"B"_s));
        b->appendChild(bookmark(u"b1"_s));
        f.model.reloadSorted();
        f.show();
        if (withTheKey) {
            f.view.setCurrentIndex(f.index(a));
            QTest::keyClick(&f.view, Qt::Key_Asterisk);
        } else {
            f.view.expandAll();
        }
        QVERIFY(f.view.isExpanded(f.index(a)));
        QVERIFY(f.view.isExpanded(f.index(deep)));
        QCOMPARE(f.view.isExpanded(f.index(b)), !withTheKey);
        QCOMPARE(f.view.isExpanded(f.index(f.root)), true);
        f.tree.forEach([&f](BookmarkNode &node) {
            if (node.childCount() == 0)
                QVERIFY2(!f.view.isExpanded(f.index(&node)), qPrintable(node.record.name()));
        });
        QVERIFY(f.view.visualRect(f.index(deep->child(0))).isValid());
    }

    // The first selected node in tree order, not in the order of selecting, is centred vertically; the
    // horizontal position stays.
    void scrollToFirstSelected()
    {
        ViewFixture f(300);
        f.view.header()->resizeSection(ColumnLink, 1500);
        f.show();
        f.view.horizontalScrollBar()->setValue(40);
        f.view.scrollToFirstSelected();
        QCOMPARE(f.view.verticalScrollBar()->value(), 0);

        BookmarkNode *later = f.root->child(270);
        BookmarkNode *earlier = f.root->child(250);
        for (BookmarkNode *n : { later, earlier })
            f.view.selectionModel()->select(f.index(n),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
        f.view.scrollToFirstSelected();
        const int centre = f.view.viewport()->height() / 2;
        QVERIFY(qAbs(f.view.visualRect(f.index(earlier)).center().y() - centre)
                <= BookmarkDelegate::RowHeight);
        QCOMPARE(f.view.horizontalScrollBar()->value(), 40);
    }
};

QTEST_MAIN(TestBookmarkTreeView)
#include "tst_bookmarktreeview.moc"
