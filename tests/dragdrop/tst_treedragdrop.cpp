// Drag-move and drop events sent to the bookmark tree: moves within it, links from other programs.

#include "main/core/bookmarkfile.h"
#include "main/core/dropformats.h"
#include "main/core/treeclipboard.h"
#include "main/tree/bookmarkmodel.h"
#include "main/tree/bookmarktreeview.h"
#include "main/tree/imagelist.h"
#include "tests/ui/treefixture.h"

#include <QApplication>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace treefixture;

Q_DECLARE_METATYPE(vellumite::DroppedLink)
Q_DECLARE_METATYPE(vellumite::DropMode)

class TestTreeDragDrop : public QObject
{
    Q_OBJECT

    // Bookmarks > [Alpha > (a1, a2, Sub > s1), Beta > (b1), Gamma]
    struct Window
    {
        BookmarkTree tree;
        BookmarkModel model { tree };
        BookmarkTreeView view { &model, ImageList::instance() };
        BookmarkNode *root, *alpha, *beta, *gamma, *sub;

        Window()
        {
            root = addRoot(tree);
            alpha = root->appendChild(category(u"Alpha"_qs));
            alpha->appendChild(bookmark(u"a1"_qs, u"https://a1/"_qs));
            alpha->appendChild(bookmark(u"a2"_qs, u"https://a2/"_qs));
            sub = alpha->appendChild(category(u"Sub"_qs));
            sub->appendChild(bookmark(u"s1"_qs, u"https://s1/"_qs));
            beta = root->appendChild(category(u"Beta"_qs));
            beta->appendChild(bookmark(u"b1"_qs, u"https://b1/"_qs));
            gamma = root->appendChild(category(u"Gamma"_qs));
            model.reloadSorted();
            view.resize(500, 400);
            view.show();
            view.expandAll();
            QVERIFY(QTest::qWaitForWindowExposed(&view));
        }

        static BookmarkNode *child(BookmarkNode *folder, const QString &name)
        {
            for (int i = 0; i < folder->childCount(); ++i) {
                if (folder->child(i)->record.name() == name)
                    return folder->child(i);
            }
            return nullptr;
        }

        void select(std::initializer_list<BookmarkNode *> nodes)
        {
            view.selectionModel()->clear();
            for (BookmarkNode *node : nodes)
                view.selectionModel()->select(model.indexFromNode(node),
                                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }

        QPoint pointOn(BookmarkNode *node, DropMode mode) const
        {
            const QRect r = view.visualRect(model.indexFromNode(node));
            const int y = mode == DropMode::Above ? r.top() + 1
                : mode == DropMode::Below         ? r.bottom() - 1
                                                  : r.center().y();
            return { r.left() + 20, y };
        }

        // A drag over `point` then, when accepted, the drop; returns whether the drop was accepted.
        bool dragAndDrop(QMimeData &data, const QPoint &point, Qt::DropAction *action = nullptr)
        {
            QDragEnterEvent enter(point, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QApplication::sendEvent(view.viewport(), &enter);
            QDragMoveEvent move(point, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                                Qt::NoModifier);
            QApplication::sendEvent(view.viewport(), &move);
            if (!move.isAccepted())
                return false;
            QDropEvent drop(QPointF(point), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                            Qt::NoModifier);
            QApplication::sendEvent(view.viewport(), &drop);
            if (action)
                *action = drop.dropAction();
            return drop.isAccepted();
        }
    };

private slots:
    void initTestCase() { qRegisterMetaType<DroppedLink>(); }

    void bookmarksMoveAndStaySelected()
    {
        Window w;
        BookmarkNode *a1 = Window::child(w.alpha, u"a1"_qs);
        BookmarkNode *b1 = w.beta->child(0);
        w.select({ a1, b1 });
        std::unique_ptr<QMimeData> data = w.view.beginNodeDrag();
        Qt::DropAction action = Qt::IgnoreAction;
        QVERIFY(w.dragAndDrop(*data, w.pointOn(w.gamma, DropMode::On), &action));
        QCOMPARE(action, Qt::MoveAction);
        QCOMPARE(names(*w.gamma), (QStringList { u"a1"_qs, u"b1"_qs }));
        QCOMPARE(w.alpha->childCount(), 2);
        QVERIFY(!Window::child(w.alpha, u"a1"_qs));
        QCOMPARE(w.beta->childCount(), 0);
        const std::vector<BookmarkNode *> selected = w.view.selectedNodes();
        QCOMPARE(selected.size(), size_t(2));
        QVERIFY(w.view.selectionModel()->isSelected(w.model.indexFromNode(a1)));
        QVERIFY(w.view.selectionModel()->isSelected(w.model.indexFromNode(b1)));
    }

    // Bookmarks of more folders than the model moves one by one go in one layout change.
    void bookmarksOfManyFoldersMove()
    {
        Window w;
        std::vector<BookmarkNode *> moved;
        for (int i = 0; i < 6; ++i) {
            BookmarkNode *folder = w.root->appendChild(category(u"F"_qs + QString::number(i)));
            moved.push_back(folder->appendChild(bookmark(u"m"_qs + QString::number(i), u"https://m/"_qs)));
            folder->appendChild(bookmark(u"stays"_qs));
        }
        w.model.reloadSorted();
        w.view.expandAll();
        w.view.selectionModel()->clear();
        for (BookmarkNode *node : moved)
            w.view.selectionModel()->select(w.model.indexFromNode(node),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
        std::unique_ptr<QMimeData> data = w.view.beginNodeDrag();
        QVERIFY(w.dragAndDrop(*data, w.pointOn(w.gamma, DropMode::On)));
        QCOMPARE(names(*w.gamma),
                 (QStringList { u"m0"_qs, u"m1"_qs, u"m2"_qs, u"m3"_qs, u"m4"_qs, u"m5"_qs }));
        QCOMPARE(w.view.selectedCount(), 6);
        for (BookmarkNode *node : moved)
            QVERIFY(w.view.selectionModel()->isSelected(w.model.indexFromNode(node)));
        QVERIFY(w.view.isExpanded(w.model.indexFromNode(w.alpha)));
    }

    // A dropped category goes in as the target's first child, and the rest of the drag after it too;
    // the sort then keeps it there among the nodes it compares equal with (in "Description" a category
    // and a bookmark always do), and the order outlives a save and a load.
    void droppedCategoriesGoInFirst_data()
    {
        QTest::addColumn<QStringList>("dragged");
        QTest::addColumn<QString>("target");
        QTest::addColumn<DropMode>("mode");
        QTest::addColumn<QString>("folder"); // whose children are checked
        QTest::addColumn<QStringList>("children");
        using L = QStringList;
        // Bookmarks > [Src > (Mover > (m1), s1), r1, r2, Dest > (d1, d2)]
        QTest::newRow("category onto the root")
            << L { u"Mover"_qs } << u"Bookmarks"_qs << DropMode::On << u"Bookmarks"_qs
            << L { u"Mover"_qs, u"Src"_qs, u"r1"_qs, u"r2"_qs, u"Dest"_qs };
        QTest::newRow("category below the root")
            << L { u"Mover"_qs } << u"Bookmarks"_qs << DropMode::Below << u"Bookmarks"_qs
            << L { u"Mover"_qs, u"Src"_qs, u"r1"_qs, u"r2"_qs, u"Dest"_qs };
        QTest::newRow("category onto a category of bookmarks")
            << L { u"Mover"_qs } << u"Dest"_qs << DropMode::On << u"Dest"_qs
            << L { u"Mover"_qs, u"d1"_qs, u"d2"_qs };
        QTest::newRow("a category, then a bookmark: both in first")
            << L { u"Mover"_qs, u"s1"_qs } << u"Dest"_qs << DropMode::On << u"Dest"_qs
            << L { u"d1"_qs, u"d2"_qs, u"s1"_qs, u"Mover"_qs };
        QTest::newRow("a bookmark alone goes in last") << L { u"s1"_qs } << u"Dest"_qs << DropMode::On
                                                       << u"Dest"_qs << L { u"d1"_qs, u"d2"_qs, u"s1"_qs };
    }

    void droppedCategoriesGoInFirst()
    {
        QFETCH(QStringList, dragged);
        QFETCH(QString, target);
        QFETCH(DropMode, mode);
        QFETCH(QString, folder);
        QFETCH(QStringList, children);
        BookmarkTree tree;
        BookmarkModel model(tree);
        BookmarkTreeView view(&model, ImageList::instance());
        BookmarkNode *root = addRoot(tree);
        BookmarkNode *src = root->appendChild(category(u"Src"_qs));
        src->appendChild(category(u"Mover"_qs))->appendChild(bookmark(u"m1"_qs));
        src->appendChild(bookmark(u"s1"_qs));
        root->appendChild(bookmark(u"r1"_qs));
        root->appendChild(bookmark(u"r2"_qs));
        BookmarkNode *dest = root->appendChild(category(u"Dest"_qs));
        dest->appendChild(bookmark(u"d1"_qs));
        dest->appendChild(bookmark(u"d2"_qs));
        model.reloadSorted();
        QCOMPARE(names(*root), (QStringList { u"Src"_qs, u"r1"_qs, u"r2"_qs, u"Dest"_qs }));
        view.resize(500, 400);
        view.show();
        view.expandAll();
        const auto byName = [&tree](const QString &name) {
            BookmarkNode *found = nullptr;
            tree.forEach([&](BookmarkNode &n) {
                if (!found && n.record.name() == name)
                    found = &n;
            });
            return found;
        };
        for (const QString &name : dragged)
            view.selectionModel()->select(model.indexFromNode(byName(name)),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
        std::unique_ptr<QMimeData> data = view.beginNodeDrag();
        QVERIFY(view.VTDragDrop(data.get(), byName(target), mode));
        QCOMPARE(names(*byName(folder)), children);

        BookmarkTree reloaded;
        QCOMPARE(BookmarkFile::load(reloaded, BookmarkFile::save(tree)), QString());
        BookmarkModel(reloaded).reloadSorted();
        BookmarkNode *reloadedFolder = nullptr;
        reloaded.forEach([&](BookmarkNode &n) {
            if (!reloadedFolder && n.record.name() == folder)
                reloadedFolder = &n;
        });
        QVERIFY(reloadedFolder);
        QCOMPARE(names(*reloadedFolder), children);
    }

    // The rows one step of scrolling moves, in a viewport 300 high: more the nearer the edge.
    void dragScrollStep_data()
    {
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("rows");
        QTest::newRow("top edge") << 0 << 300 << -BookmarkTreeView::DragScrollMaximumRows;
        QTest::newRow("inner side of the top band") << BookmarkTreeView::DragScrollBand - 1 << 300 << -1;
        QTest::newRow("just below the top band") << BookmarkTreeView::DragScrollBand << 300 << 0;
        QTest::newRow("middle") << 150 << 300 << 0;
        QTest::newRow("just above the bottom band") << 300 - BookmarkTreeView::DragScrollBand - 1 << 300 << 0;
        QTest::newRow("inner side of the bottom band") << 300 - BookmarkTreeView::DragScrollBand << 300 << 1;
        QTest::newRow("7 px inside the bottom edge") << 293 << 300 << 4;
        QTest::newRow("bottom edge") << 299 << 300 << BookmarkTreeView::DragScrollMaximumRows;
        QTest::newRow("below the viewport") << 310 << 300 << BookmarkTreeView::DragScrollMaximumRows;
        QTest::newRow("a low viewport: its outer thirds") << 5 << 30 << -1;
        QTest::newRow("a low viewport: its middle") << 15 << 30 << 0;
    }
    void dragScrollStep()
    {
        QFETCH(int, y);
        QFETCH(int, height);
        QFETCH(int, rows);
        QCOMPARE(BookmarkTreeView::dragScrollStep(y, height), rows);
    }

    // A drag held still near an edge scrolls step after step and judges the rows that come under it;
    // moved away from the edge, or out of the tree, it stops.
    void aDragHeldAtAnEdgeScrolls()
    {
        Window w;
        for (int i = 0; i < 200; ++i)
            w.gamma->appendChild(bookmark(u"g%1"_qs.arg(i, 3, 10, QChar(u'0'))));
        w.model.reloadSorted();
        w.view.expandAll();
        QScrollBar *bar = w.view.verticalScrollBar();
        QCOMPARE(bar->value(), 0);
        w.select({ w.beta->child(0) });
        std::unique_ptr<QMimeData> data = w.view.beginNodeDrag();
        const int height = w.view.viewport()->height();
        const auto moveTo = [&](int y) {
            QDragMoveEvent move(QPoint(40, y), Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton,
                                Qt::NoModifier);
            QApplication::sendEvent(w.view.viewport(), &move);
        };
        QDragEnterEvent enter(QPoint(40, height / 2), Qt::CopyAction | Qt::MoveAction, data.get(),
                              Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w.view.viewport(), &enter);

        moveTo(height / 2);
        QTest::qWait(300);
        QCOMPARE(bar->value(), 0);

        moveTo(height - 7);
        QTRY_VERIFY(bar->value() >= 10);
        moveTo(height / 2);
        const int held = bar->value();
        QTest::qWait(300);
        QCOMPARE(bar->value(), held);

        moveTo(3);
        QTRY_COMPARE(bar->value(), 0);
        moveTo(height - 3);
        QTRY_VERIFY(bar->value() > 0);
        QDragLeaveEvent leave;
        QApplication::sendEvent(w.view.viewport(), &leave);
        const int left = bar->value();
        QTest::qWait(300);
        QCOMPARE(bar->value(), left);
    }

    void categoryMovesWithItsContentAndExpansion()
    {
        Window w;
        w.select({ w.sub, w.sub->child(0) });
        std::unique_ptr<QMimeData> data = w.view.beginNodeDrag();
        QVERIFY(w.dragAndDrop(*data, w.pointOn(w.beta, DropMode::Above)));
        QCOMPARE(w.sub->parent(), w.beta);
        QCOMPARE(names(*w.sub), QStringList { u"s1"_qs });
        QVERIFY(w.view.isExpanded(w.model.indexFromNode(w.sub)));
    }

    // A drop onto a collapsed category opens it: the moved rows stay selected and in sight.
    void dropOpensACollapsedTarget()
    {
        Window w;
        w.view.collapse(w.model.indexFromNode(w.beta));
        BookmarkNode *a1 = Window::child(w.alpha, u"a1"_qs);
        w.select({ a1 });
        std::unique_ptr<QMimeData> data = w.view.beginNodeDrag();
        QVERIFY(w.dragAndDrop(*data, w.pointOn(w.beta, DropMode::On)));
        QCOMPARE(a1->parent(), w.beta);
        QVERIFY(w.view.isExpanded(w.model.indexFromNode(w.beta)));
        QVERIFY(w.view.visualRect(w.model.indexFromNode(a1)).isValid());
        QCOMPARE(w.view.selectedNodes(), std::vector<BookmarkNode *> { a1 });
    }

    // Another program is given what a copy of the selection places on the clipboard; within the tree a
    // drag that holds the root moves nothing.
    void dragDataIsWhatACopyGives_data()
    {
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QStringList>("copied");
        QTest::addColumn<bool>("movesIntoGamma");
        using L = QStringList;
        QTest::newRow("category and one of its bookmarks")
            << L { u"Alpha"_qs, u"a1"_qs } << L { u"Alpha"_qs } << true;
        QTest::newRow("root alone") << L { u"Bookmarks"_qs } << L {} << false;
        QTest::newRow("root and a category")
            << L { u"Bookmarks"_qs, u"Beta"_qs } << L { u"Beta"_qs } << false;
    }

    void dragDataIsWhatACopyGives()
    {
        QFETCH(QStringList, selected);
        QFETCH(QStringList, copied);
        QFETCH(bool, movesIntoGamma);
        Window w;
        const auto byName = [&w](const QString &name) {
            for (BookmarkNode *n = w.root; n; n = n->nextInTreeOrder(w.root)) {
                if (n->record.name() == name)
                    return n;
            }
            return static_cast<BookmarkNode *>(nullptr);
        };
        w.view.selectionModel()->clear();
        for (const QString &name : selected)
            w.view.selectionModel()->select(w.model.indexFromNode(byName(name)),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
        std::vector<const BookmarkNode *> copiedNodes;
        for (const QString &name : copied)
            copiedNodes.push_back(byName(name));

        std::unique_ptr<QMimeData> data = w.view.beginNodeDrag();
        if (copiedNodes.empty()) {
            QVERIFY(!holdsTreeData(data.get()));
            QVERIFY(!data->hasText() && !data->hasHtml());
        } else {
            const std::unique_ptr<QMimeData> copy = makeTreeMimeData(copiedNodes);
            QCOMPARE(data->data(VirtualTreeDataMimeType), copy->data(VirtualTreeDataMimeType));
            QCOMPARE(data->text(), copy->text());
            QCOMPARE(data->html(), copy->html());
        }
        QCOMPARE(w.dragAndDrop(*data, w.pointOn(w.gamma, DropMode::On)), movesIntoGamma);
        QCOMPARE(w.gamma->childCount(), movesIntoGamma ? 1 : 0);
    }

    void refusedDropsChangeNothing_data()
    {
        QTest::addColumn<int>("target"); // 0 root, 1 Sub, 2 a bookmark, 3 empty space
        QTest::addColumn<int>("mode");
        QTest::newRow("category into its own subcategory") << 1 << int(DropMode::On);
        QTest::newRow("onto a bookmark") << 2 << int(DropMode::On);
        QTest::newRow("beside the root") << 0 << int(DropMode::Above);
        QTest::newRow("empty space") << 3 << int(DropMode::On);
    }

    void refusedDropsChangeNothing()
    {
        QFETCH(int, target);
        QFETCH(int, mode);
        Window w;
        w.select({ w.alpha, w.beta->child(0) });
        std::unique_ptr<QMimeData> data = w.view.beginNodeDrag();
        BookmarkNode *targets[] = { w.root, w.sub, Window::child(w.alpha, u"a2"_qs), nullptr };
        const QPoint point = targets[target] ? w.pointOn(targets[target], DropMode(mode)) : QPoint(20, 390);
        QVERIFY(!w.dragAndDrop(*data, point));
        QCOMPARE(names(*w.root), (QStringList { u"Alpha"_qs, u"Beta"_qs, u"Gamma"_qs }));
        QCOMPARE(w.beta->childCount(), 1);
    }

    // The data of another tree (another running copy of the program) is a drop from elsewhere, never a
    // move of this tree's selection.
    void anotherTreesDragIsNoMove()
    {
        Window w;
        Window other;
        other.select({ other.beta->child(0) });
        std::unique_ptr<QMimeData> data = other.view.beginNodeDrag();
        w.select({ w.beta->child(0) });
        QSignalSpy dropped(&w.view, &BookmarkTreeView::linkDropped);
        QVERIFY(w.dragAndDrop(*data, w.pointOn(w.gamma, DropMode::On)));
        QCOMPARE(w.beta->childCount(), 1);
        QCOMPARE(dropped.size(), 1);
    }

    void linkFromABrowser()
    {
        Window w;
        QMimeData data;
        data.setData(NetscapeUrlMimeType, "https://example.org/\nExample Domain\n");
        QSignalSpy dropped(&w.view, &BookmarkTreeView::linkDropped);
        QVERIFY(!w.dragAndDrop(data, w.pointOn(Window::child(w.alpha, u"a2"_qs), DropMode::On)));
        QVERIFY(w.dragAndDrop(data, w.pointOn(w.gamma, DropMode::Below)));
        QCOMPARE(dropped.size(), 1);
        QCOMPARE(dropped[0][0].value<BookmarkNode *>(), w.gamma);
        QCOMPARE(dropped[0][1].value<DroppedLink>(),
                 (DroppedLink { u"https://example.org/"_qs, u"Example Domain"_qs }));
    }
};

QTEST_MAIN(TestTreeDragDrop)
#include "tst_treedragdrop.moc"
