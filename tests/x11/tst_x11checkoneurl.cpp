// "Check url" on a real X server with a window manager: the keys a user presses to end the one-link
// window before its server answers.

#include "main/core/linkverification.h"
#include "main/linkcheck/TfrCheckOneURL.h"
#include "main/tree/bookmarkmodel.h"
#include "main/tree/bookmarktreeview.h"
#include "main/window/tform1.h"
#include "platform/fakes/fakeservices.h"
#include "tests/common/windowmanager.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace vellumite;
using namespace Qt::StringLiterals;

class TestX11CheckOneUrl : public WindowManagedTest
{
    Q_OBJECT

public:
    TestX11CheckOneUrl()
        : WindowManagedTest({ u"xdotool"_s })
    { }

private slots:
    // Ctrl+K, then Escape or the window manager's close while the server stays silent: Ctrl+K on the
    // next bookmark tests it at once, and its window closes with the answer.
    void endedWindowLetsTheNextCheckRun_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("Escape") << u"Escape"_s;
        QTest::newRow("Alt+F4") << u"alt+F4"_s;
    }
    void endedWindowLetsTheNextCheckRun()
    {
        QFETCH(QString, key);
        QTemporaryDir folder;
        FakeServices fakes = makeFakeServices();
        TForm1 form;
        form.FormCreate(fakes.services, folder.path());
        BookmarkNode *root = form.tree().firstNode();
        const auto add = [&](const QString &link) {
            return form.model()->insertNode(
                root, std::make_unique<BookmarkNode>(makeBookmarkRecord(link, link, 0)));
        };
        BookmarkNode *silent = add(u"silent.test"_s);
        BookmarkNode *next = add(u"next.test"_s);
        fakes.urlTester->setAlive("next.test");
        fakes.urlTester->holdLatch();
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.VT()->setFocus();
        form.VT()->setCurrentIndex(form.model()->indexFromNode(silent));

        // The window runs modally inside the key's handler, so the steps are driven from a timer.
        const auto checkWindow
            = [] { return qobject_cast<TfrCheckOneURL *>(QApplication::activeModalWidget()); };
        int step = 0;
        QTimer driver;
        driver.setInterval(20);
        connect(&driver, &QTimer::timeout, &form, [&] {
            const qsizetype requests = fakes.urlTester->requests().size();
            if (step == 0 && checkWindow() && checkWindow()->isActiveWindow() && requests == 1) {
                step = 1;
                xdotool({ u"key"_s, key });
            } else if (step == 1 && !checkWindow()) {
                step = 2;
                form.VT()->setCurrentIndex(form.model()->indexFromNode(next));
                xdotool({ u"key"_s, u"ctrl+k"_s });
            } else if (step == 2 && checkWindow() && requests == 2) {
                step = 3;
                fakes.urlTester->openLatch();
            } else if (step == 3 && !checkWindow()) {
                step = 4;
            }
        });
        driver.start();
        xdotool({ u"key"_s, u"ctrl+k"_s });
        QTRY_VERIFY_WITH_TIMEOUT(step == 4, 10000);
        driver.stop();
        QCOMPARE(next->record.LinkState, LinkAlive);
        QTRY_COMPARE(silent->record.LinkState, LinkBroken);
    }
};

QTEST_MAIN(TestX11CheckOneUrl)
#include "tst_x11checkoneurl.moc"
