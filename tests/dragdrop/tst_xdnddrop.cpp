// One real drop under X11: xdotool drags a link from a second program onto the tree.

#include "main/tree/bookmarkmodel.h"
#include "main/tree/bookmarktreeview.h"
#include "main/tree/imagelist.h"
#include "tests/common/windowmanager.h"
#include "tests/ui/treefixture.h"

#include <QProcess>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

using namespace treefixture;

Q_DECLARE_METATYPE(vellumite::DroppedLink)

namespace {

// A tree of its own window beside the drag source, a second program whose square at the top left of
// the screen starts a drag of a link when the mouse is pressed on it.
struct DropScene
{
    BookmarkTree tree;
    BookmarkNode *root = addRoot(tree);
    BookmarkModel model { tree };
    BookmarkTreeView view { &model, ImageList::instance() };
    QProcess source;

    ~DropScene()
    {
        source.kill();
        source.waitForFinished(5000);
    }

    bool start()
    {
        model.reloadSorted();
        view.setGeometry(400, 0, 400, 300);
        view.show();
        view.expandAll();
        if (!QTest::qWaitForWindowExposed(&view))
            return false;
        source.start(QStringLiteral(DRAG_SOURCE_HELPER), {});
        if (!source.waitForStarted()
            || !QTest::qWaitFor([this] { return source.canReadLine() || source.waitForReadyRead(50); }, 5000))
            return false;
        QTest::qWait(300);
        return true;
    }
};

} // namespace

class TestXdndDrop : public QObject
{
    Q_OBJECT

private slots:
    void linkDraggedFromAnotherProgram()
    {
        if (QStandardPaths::findExecutable(u"xdotool"_qs).isEmpty())
            QSKIP("xdotool is not installed");
        qRegisterMetaType<DroppedLink>();
        DropScene scene;
        BookmarkNode *news = scene.root->appendChild(category(u"News"_qs));
        QVERIFY(scene.start());
        BookmarkModel &model = scene.model;
        BookmarkTreeView &view = scene.view;

        const QPoint target
            = view.viewport()->mapToGlobal(view.visualRect(model.indexFromNode(news)).center());
        QSignalSpy dropped(&view, &BookmarkTreeView::linkDropped);
        QProcess xdotool;
        xdotool.start(u"xdotool"_qs,
                      { u"mousemove"_qs,
                        u"100"_qs,
                        u"100"_qs,
                        u"mousedown"_qs,
                        u"1"_qs,
                        u"sleep"_qs,
                        u"0.2"_qs,
                        u"mousemove"_qs,
                        u"150"_qs,
                        u"150"_qs,
                        u"sleep"_qs,
                        u"0.2"_qs,
                        u"mousemove"_qs,
                        QString::number(target.x() - 5),
                        QString::number(target.y()),
                        u"sleep"_qs,
                        u"0.3"_qs,
                        u"mousemove"_qs,
                        QString::number(target.x()),
                        QString::number(target.y()),
                        u"sleep"_qs,
                        u"0.3"_qs,
                        u"mouseup"_qs,
                        u"1"_qs });
        QVERIFY(QTest::qWaitFor([&] { return !dropped.isEmpty(); }, 10000));
        QCOMPARE(dropped[0][0].value<BookmarkNode *>(), news);
        QCOMPARE(dropped[0][1].value<DroppedLink>(),
                 (DroppedLink { u"https://example.org/dropped"_qs, u"Dropped Page"_qs }));
        xdotool.waitForFinished(5000);
    }

    // Another program's drag held near the bottom edge scrolls the tree as the tree's own does.
    void linkHeldNearTheBottomEdgeScrolls()
    {
        if (QStandardPaths::findExecutable(u"xdotool"_qs).isEmpty())
            QSKIP("xdotool is not installed");
        DropScene scene;
        for (int i = 0; i < 300; ++i)
            scene.root->appendChild(bookmark(u"b%1"_qs.arg(i, 3, 10, QChar(u'0'))));
        QVERIFY(scene.start());
        BookmarkTreeView &view = scene.view;
        QScrollBar *bar = view.verticalScrollBar();
        QCOMPARE(bar->value(), 0);

        const QPoint hold = view.viewport()->mapToGlobal(QPoint(60, view.viewport()->height() - 7));
        QStringList args { u"mousemove"_qs, u"100"_qs,   u"100"_qs,   u"mousedown"_qs,
                           u"1"_qs,         u"sleep"_qs, u"0.2"_qs,   u"mousemove"_qs,
                           u"150"_qs,       u"150"_qs,   u"sleep"_qs, u"0.2"_qs };
        for (int i = 0; i < 7; ++i) {
            args << u"mousemove"_qs << QString::number(hold.x() + i % 2) << QString::number(hold.y())
                 << u"sleep"_qs << u"0.25"_qs;
        }
        QVERIFY(xdotoolHandlingEvents(args));
        QVERIFY2(bar->value() > 10, qPrintable(QString::number(bar->value())));
        // Released over a bookmark: refused, and the scrolling ends with the drag.
        QSignalSpy dropped(&view, &BookmarkTreeView::linkDropped);
        const QPoint middle = view.viewport()->mapToGlobal(QPoint(60, view.viewport()->height() / 2));
        QVERIFY(
            xdotoolHandlingEvents({ u"mousemove"_qs, QString::number(middle.x()), QString::number(middle.y()),
                                    u"sleep"_qs, u"0.3"_qs, u"mouseup"_qs, u"1"_qs }));
        QTest::qWait(300);
        const int ended = bar->value();
        QTest::qWait(300);
        QCOMPARE(bar->value(), ended);
        QCOMPARE(dropped.size(), 0);
    }
};

QTEST_MAIN(TestXdndDrop)
#include "tst_xdnddrop.moc"
