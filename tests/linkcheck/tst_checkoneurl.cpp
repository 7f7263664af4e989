#include "main/core/linkverification.h"
#include "main/linkcheck/TfrCheckOneURL.h"
#include "main/linkcheck/checklinksmenu.h"
#include "main/tree/bookmarkmodel.h"
#include "main/window/tform1.h"
#include "platform/fakes/fakeservices.h"

#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace vellumite;

// "Check url" on the main window with a fake tester: the one check window, and the menu's states.
class TestCheckOneUrl : public QObject
{
    Q_OBJECT

private:
    struct Window
    {
        QTemporaryDir folder;
        FakeServices fakes = makeFakeServices();
        TForm1 form;
        BookmarkNode *bookmark = nullptr;

        Window()
        {
            form.FormCreate(fakes.services, folder.path());
            BookmarkNode *root = form.tree().firstNode();
            bookmark = form.model()->insertNode(root,
                                                std::make_unique<BookmarkNode>(makeBookmarkRecord(
                                                    QStringLiteral("a"), QStringLiteral("a.test"), 0)));
            bookmark->record.LinkState = LinkBroken;
            form.VT()->setCurrentIndex(form.model()->indexFromNode(bookmark));
        }
    };

    // Runs `during` once the modal check window shows, while Checkurl1Click waits in it.
    static void whileCheckWindowShows(Window &w, const std::function<void(TfrCheckOneURL &)> &during)
    {
        QTimer::singleShot(0, [&] {
            QVERIFY(QTest::qWaitFor(
                [] { return qobject_cast<TfrCheckOneURL *>(QApplication::activeModalWidget()); }));
            during(*qobject_cast<TfrCheckOneURL *>(QApplication::activeModalWidget()));
        });
        w.form.Checkurl1Click();
    }

private slots:
    void windowClosesByItselfWithTheAnswer()
    {
        Window w;
        w.fakes.urlTester->setAlive("a.test");
        w.fakes.urlTester->holdLatch();
        bool sawMarquee = false;
        whileCheckWindowShows(w, [&](TfrCheckOneURL &window) {
            sawMarquee = window.ProgressBar1->maximum() == 0;
            QVERIFY(QTest::qWaitFor([&] { return !w.fakes.urlTester->requests().isEmpty(); }));
            QCOMPARE(w.bookmark->record.LinkState, LinkNotVerified);
            QCOMPARE(window.size(), QSize(314, 41));
            w.fakes.urlTester->openLatch();
        });
        QVERIFY(sawMarquee);
        QCOMPARE(w.bookmark->record.LinkState, LinkAlive);
    }

    void closeLeavesTheTestRunningInTheBackground()
    {
        Window w;
        w.fakes.urlTester->holdLatch();
        whileCheckWindowShows(w, [&](TfrCheckOneURL &window) {
            QVERIFY(QTest::qWaitFor([&] { return !w.fakes.urlTester->requests().isEmpty(); }));
            QTest::keyClick(window.btClose, Qt::Key_Space);
        });
        QCOMPARE(w.bookmark->record.LinkState, LinkNotVerified);
        w.fakes.urlTester->openLatch();
        QVERIFY(QTest::qWaitFor([&] { return w.bookmark->record.LinkState == LinkBroken; }));
    }

    // However the window is ended before the answer, the next "Check url" tests its bookmark at once,
    // while the first test still waits for its server.
    void endedWindowLetsTheNextCheckRun_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("Close") << QStringLiteral("Close");
        QTest::newRow("Escape") << QStringLiteral("Escape");
        QTest::newRow("window manager's close") << QStringLiteral("close");
    }
    void endedWindowLetsTheNextCheckRun()
    {
        QFETCH(QString, way);
        Window w;
        BookmarkNode *second
            = w.form.model()->insertNode(w.form.tree().firstNode(),
                                         std::make_unique<BookmarkNode>(makeBookmarkRecord(
                                             QStringLiteral("b"), QStringLiteral("b.test"), 0)));
        w.fakes.urlTester->setAlive("b.test");
        w.fakes.urlTester->holdLatch();
        whileCheckWindowShows(w, [&](TfrCheckOneURL &window) {
            QVERIFY(QTest::qWaitFor([&] { return !w.fakes.urlTester->requests().isEmpty(); }));
            if (way == QStringLiteral("Close"))
                QTest::keyClick(window.btClose, Qt::Key_Space);
            else if (way == QStringLiteral("Escape"))
                QTest::keyClick(&window, Qt::Key_Escape);
            else
                window.close();
        });
        QCOMPARE(w.bookmark->record.LinkState, LinkNotVerified);

        w.form.VT()->setCurrentIndex(w.form.model()->indexFromNode(second));
        bool secondRequested = false;
        whileCheckWindowShows(w, [&](TfrCheckOneURL &) {
            secondRequested = QTest::qWaitFor([&] { return w.fakes.urlTester->requests().size() == 2; });
            w.fakes.urlTester->openLatch();
        });
        QVERIFY(secondRequested);
        QCOMPARE(second->record.LinkState, LinkAlive);
        QVERIFY(QTest::qWaitFor([&] { return w.bookmark->record.LinkState == LinkBroken; }));
    }

    void categoryOrNothingFocusedDoesNothing()
    {
        Window w;
        w.form.VT()->setCurrentIndex(w.form.model()->indexFromNode(w.form.tree().firstNode()));
        w.form.Checkurl1Click();
        w.form.VT()->setCurrentIndex({});
        w.form.Checkurl1Click();
        QVERIFY(w.fakes.urlTester->requests().isEmpty());
    }

    void menuFollowsTheRun()
    {
        Window w;
        CheckLinksMenu &menu = *w.form.PopupMenuCheck;
        QVERIFY(!menu.StopVerified->isEnabled());
        w.fakes.urlTester->holdLatch();
        menu.Checkall1->trigger();
        QVERIFY(menu.StopVerified->isEnabled());
        QVERIFY(!menu.Checkall1->isEnabled());
        QVERIFY(menu.Checkall1->icon().isNull());
        QVERIFY(menu.Deleteallbrokenlinks1->isEnabled());
        menu.StopVerified->trigger();
        QVERIFY(menu.Checkall1->isEnabled() && menu.Check1->isEnabled() && !menu.StopVerified->isEnabled());
        QVERIFY(!menu.Check1->icon().isNull());
        w.fakes.urlTester->openLatch();
    }
};

QTEST_MAIN(TestCheckOneUrl)
#include "tst_checkoneurl.moc"
