// Drags started with the mouse under X11, as a user makes them: xdotool presses on a row of the main
// window's tree, moves in steps and releases over another row, or over another program.

#include "main/core/dropdecision.h"
#include "main/core/treeclipboard.h"
#include "main/tree/bookmarkmodel.h"
#include "main/window/statusbar.h"
#include "main/window/tform1.h"
#include "tests/common/treetext.h"
#include "tests/common/windowmanager.h"

#include <QCursor>
#include <QMimeData>
#include <QProcess>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <algorithm>

using namespace vellumite;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(DropMode)

namespace {

// Presses the left button at `from`, moves in small steps to `to` and releases there, as a hand does:
// first along the pressed row, past the distance that starts a drag, then on to the target, where the
// pointer rests a moment before the release.
bool dragWithTheMouse(const QPoint &from, const QPoint &to)
{
    QStringList args;
    auto moveTo = [&args](const QPoint &p) {
        args << u"mousemove"_s << QString::number(p.x()) << QString::number(p.y()) << u"sleep"_s << u"0.04"_s;
    };
    moveTo(from);
    args << u"sleep"_s << u"0.2"_s << u"mousedown"_s << u"1"_s;
    const QPoint along = from + QPoint(40, 0);
    for (int i = 1; i <= 4; ++i)
        moveTo(from + (along - from) * i / 4);
    for (int i = 1; i <= 8; ++i)
        moveTo(along + (to - along) * i / 8);
    args << u"sleep"_s << u"0.3"_s;
    moveTo(to + QPoint(1, 0));
    args << u"sleep"_s << u"0.3"_s << u"mouseup"_s << u"1"_s;
    return xdotoolHandlingEvents(args);
}

// The main window over Bookmarks > [Alpha > (a1, a2, Sub > s1), Beta > (b1), Gamma], every category open.
struct MainWindow
{
    TForm1 form;

    MainWindow()
    {
        BookmarkNode *root
            = form.tree().topLevel().appendChild(std::make_unique<BookmarkNode>(makeRootRecord()));
        BookmarkNode *alpha = treetext::addCategory(*root, u"Alpha"_s);
        treetext::addBookmark(*alpha, u"a1"_s, u"https://a1/"_s);
        treetext::addBookmark(*alpha, u"a2"_s, u"https://a2/"_s);
        treetext::addBookmark(*treetext::addCategory(*alpha, u"Sub"_s), u"s1"_s, u"https://s1/"_s);
        treetext::addBookmark(*treetext::addCategory(*root, u"Beta"_s), u"b1"_s, u"https://b1/"_s);
        treetext::addCategory(*root, u"Gamma"_s);
        form.model()->reloadSorted();
        form.UpdateTreeCounts();
        form.move(420, 40);
        form.show();
        form.VT()->expandAll();
    }

    BookmarkNode *node(const QString &name)
    {
        for (BookmarkNode *n = form.tree().firstNode(); n; n = n->nextInTreeOrder(&form.tree().topLevel())) {
            if (n->record.name() == name)
                return n;
        }
        return nullptr;
    }

    QString tree() { return treetext::describe(form.tree().topLevel()); }

    void select(const QStringList &names)
    {
        QItemSelectionModel *selection = form.VT()->selectionModel();
        selection->clear();
        for (const QString &name : names)
            selection->select(form.model()->indexFromNode(node(name)),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    QStringList selectedNames() const
    {
        QStringList out;
        for (const BookmarkNode *n : form.VT()->selectedNodes())
            out << n->record.name();
        out.sort();
        return out;
    }

    // A point of the name cell of a row, on the screen: its middle, or near its top edge for a drop above.
    QPoint pointOn(const QString &name, DropMode mode = DropMode::On)
    {
        BookmarkTreeView *view = form.VT();
        const QRect row = view->visualRect(form.model()->indexFromNode(node(name)));
        const int y = mode == DropMode::Above ? row.top() + 1 : row.center().y();
        return view->viewport()->mapToGlobal(QPoint(row.left() + 20, y));
    }
};

const QString Unchanged
    = u"[Bookmarks [Alpha a1=https://a1/ a2=https://a2/ [Sub s1=https://s1/]] [Beta b1=https://b1/] [Gamma]]"_s;

} // namespace

class TestXdndDrag : public WindowManagedTest
{
    Q_OBJECT

public:
    TestXdndDrag()
        : WindowManagedTest({ u"xdotool"_s })
    { }

private slots:
    // A press and move on a row drags the selection, never sweeps a selection over the rows: after a
    // refused drop the selection is what it was, and after a move it is the moved rows.
    void dragWithinTheTree_data()
    {
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QString>("pressed");
        QTest::addColumn<QString>("target");
        QTest::addColumn<DropMode>("mode");
        QTest::addColumn<QString>("tree");
        using L = QStringList;
        QTest::newRow("bookmark into another category")
            << L { u"a1"_s } << u"a1"_s << u"Beta"_s << DropMode::On
            << u"[Bookmarks [Alpha a2=https://a2/ [Sub s1=https://s1/]] [Beta a1=https://a1/ b1=https://b1/] "
               "[Gamma]]"_s;
        QTest::newRow("category with its bookmark onto the root")
            << L { u"Sub"_s } << u"Sub"_s << u"Bookmarks"_s << DropMode::On
            << u"[Bookmarks [Alpha a1=https://a1/ a2=https://a2/] [Beta b1=https://b1/] [Gamma] "
               "[Sub s1=https://s1/]]"_s;
        QTest::newRow("bookmarks of two categories at once")
            << L { u"a2"_s, u"b1"_s } << u"b1"_s << u"Gamma"_s << DropMode::On
            << u"[Bookmarks [Alpha a1=https://a1/ [Sub s1=https://s1/]] [Beta] [Gamma a2=https://a2/ "
               "b1=https://b1/]]"_s;
        // Just before it; a bookmark and a category compare equal, so the sort leaves it there.
        QTest::newRow("bookmark above a category lands beside it")
            << L { u"b1"_s } << u"b1"_s << u"Sub"_s << DropMode::Above
            << u"[Bookmarks [Alpha a1=https://a1/ a2=https://a2/ b1=https://b1/ [Sub s1=https://s1/]] [Beta] "
               "[Gamma]]"_s;
        QTest::newRow("category onto its own subcategory")
            << L { u"Alpha"_s } << u"Alpha"_s << u"Sub"_s << DropMode::On << Unchanged;
        QTest::newRow("bookmark onto its own category")
            << L { u"a1"_s } << u"a1"_s << u"Alpha"_s << DropMode::On << Unchanged;
        QTest::newRow("the root alone")
            << L { u"Bookmarks"_s } << u"Bookmarks"_s << u"Gamma"_s << DropMode::On << Unchanged;
    }

    void dragWithinTheTree()
    {
        QFETCH(QStringList, selected);
        QFETCH(QString, pressed);
        QFETCH(QString, target);
        QFETCH(DropMode, mode);
        QFETCH(QString, tree);
        MainWindow w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.form));
        QTest::qWait(300);
        QCOMPARE(w.tree(), Unchanged);
        w.select(selected);

        QVERIFY(dragWithTheMouse(w.pointOn(pressed), w.pointOn(target, mode)));
        QTRY_COMPARE(w.tree(), tree);
        QTest::qWait(100);
        QCOMPARE(w.tree(), tree);
        std::sort(selected.begin(), selected.end());
        QCOMPARE(w.selectedNames(), selected);
        QCOMPARE(w.form.StatusBar1()->panelText(2), u"Categories: 4"_s);
        QCOMPARE(w.form.StatusBar1()->panelText(3), u"Links: 4"_s);
    }

    // A drag held near the top or bottom edge of the tree scrolls it, though the hand moves only a
    // little; held near no edge, or moved away from it, the tree stays where it is.
    void dragHeldNearAnEdgeScrolls_data()
    {
        QTest::addColumn<int>("holdAt"); // 1 near the bottom edge, -1 near the top edge, 0 in the middle
        QTest::newRow("7 px inside the bottom edge") << 1;
        QTest::newRow("7 px inside the top edge") << -1;
        QTest::newRow("in the middle") << 0;
    }
    void dragHeldNearAnEdgeScrolls()
    {
        QFETCH(int, holdAt);
        MainWindow w;
        BookmarkNode *gamma = w.node(u"Gamma"_s);
        for (int i = 0; i < 400; ++i)
            treetext::addBookmark(*gamma, u"g%1"_s.arg(i, 3, 10, QChar(u'0')), u"https://g/"_s);
        w.form.model()->reloadSorted();
        w.form.VT()->expandAll();
        QVERIFY(QTest::qWaitForWindowExposed(&w.form));
        QTest::qWait(300);
        BookmarkTreeView *view = w.form.VT();
        QScrollBar *bar = view->verticalScrollBar();
        bar->setValue(holdAt < 0 ? bar->maximum() / 2 : 0);
        const QString before = w.tree();
        const int start = bar->value();

        const QPoint middle = view->viewport()->mapToGlobal(QPoint(60, view->viewport()->height() / 2));
        const int y = holdAt > 0 ? view->viewport()->height() - 7
            : holdAt < 0         ? 7
                                 : view->viewport()->height() / 2 + 30;
        const QPoint hold = view->viewport()->mapToGlobal(QPoint(60, y));
        // Pressed on a bookmark row, dragged past the start distance and on to where it is held for
        // 1.5 s, the hand moving a pixel now and then; then moved to the middle, held 1 s and released
        // over a bookmark, where nothing may drop. While the drag runs its own event loop, the pointer
        // and the scroll position are sampled.
        QStringList args;
        const auto moveTo = [&args](const QPoint &p, const char *pause) {
            args << u"mousemove"_s << QString::number(p.x()) << QString::number(p.y()) << u"sleep"_s
                 << QString::fromLatin1(pause);
        };
        moveTo(middle, "0.2");
        args << u"mousedown"_s << u"1"_s;
        for (int dx : { 10, 20, 30, 40 })
            moveTo(middle + QPoint(dx, 0), "0.05");
        moveTo(hold, "0.25");
        for (int i = 0; i < 6; ++i)
            moveTo(hold + QPoint(i % 2, 0), "0.25");
        moveTo(middle, "1.0");
        args << u"mouseup"_s << u"1"_s;
        struct Sample
        {
            QPoint pointer;
            int value;
        };
        std::vector<Sample> samples;
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout, [&] {
            samples.push_back({ QCursor::pos(), bar->value() });
        });
        sampler.start(20);
        QVERIFY(xdotoolHandlingEvents(args));
        QTest::qWait(300);
        sampler.stop();

        const auto atHold = [&](const Sample &s) { return (s.pointer - hold).manhattanLength() <= 1; };
        const auto firstHeld = std::find_if(samples.begin(), samples.end(), atHold);
        QVERIFY(firstHeld != samples.end());
        const auto lastHeld = std::find_if(samples.rbegin(), samples.rend(), atHold).base() - 1;
        const int held = lastHeld->value;
        if (holdAt > 0)
            QVERIFY2(held > start + 10, qPrintable(u"%1 -> %2"_s.arg(start).arg(held)));
        else if (holdAt < 0)
            QVERIFY2(held < start - 10, qPrintable(u"%1 -> %2"_s.arg(start).arg(held)));
        else
            QCOMPARE(held, start);

        // Away from the edge the scrolling stops at once.
        std::vector<int> afterwards;
        for (auto it = lastHeld + 1; it != samples.end(); ++it) {
            if (it->pointer == middle)
                afterwards.push_back(it->value);
        }
        QVERIFY(afterwards.size() > 10);
        QCOMPARE(afterwards[2], afterwards.back());
        QCOMPARE(bar->value(), afterwards.back());
        QCOMPARE(w.tree(), before);
    }

    // Another program gets what a copy of the rows places on the clipboard; it reports a move, and the
    // tree keeps the rows all the same.
    void dragToAnotherProgram()
    {
        QProcess target;
        target.start(QStringLiteral(DROP_TARGET_HELPER), {});
        QVERIFY(target.waitForStarted());
        QVERIFY(QTest::qWaitFor([&] { return target.canReadLine() || target.waitForReadyRead(50); }, 5000));
        const QList<QByteArray> ready = target.readLine().trimmed().split(' ');
        QCOMPARE(ready.value(0), "ready");
        const QPoint dropPoint(ready.value(1).toInt(), ready.value(2).toInt());

        MainWindow w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.form));
        QTest::qWait(300);
        w.select({ u"Beta"_s });
        const std::unique_ptr<QMimeData> copy = makeTreeMimeData({ w.node(u"Beta"_s) });

        QVERIFY(dragWithTheMouse(w.pointOn(u"Beta"_s), dropPoint));
        QMap<QByteArray, QByteArray> received;
        QVERIFY(QTest::qWaitFor(
            [&] {
                while (target.canReadLine()) {
                    const QList<QByteArray> fields = target.readLine().trimmed().split(' ');
                    const QByteArray key = fields.value(0) == "format" ? fields.value(1) : fields.value(0);
                    received[key] = QByteArray::fromBase64(fields.value(fields.value(0) == "format" ? 2 : 1));
                }
                return received.contains("done");
            },
            10'000));
        QCOMPARE(received.value(VirtualTreeDataMimeType.toUtf8()), copy->data(VirtualTreeDataMimeType));
        QCOMPARE(QString::fromUtf8(received.value("text")), copy->text());
        QCOMPARE(QString::fromUtf8(received.value("html")), copy->html());
        QTest::qWait(200);
        QCOMPARE(w.tree(), Unchanged);
        QCOMPARE(w.selectedNames(), QStringList { u"Beta"_s });
        target.waitForFinished(5000);
    }
};

QTEST_MAIN(TestXdndDrag)
#include "tst_xdnddrag.moc"
