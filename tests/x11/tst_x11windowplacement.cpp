#include "base/inifile.h"
#include "main/core/programsettings.h"
#include "main/dialogs/tfraddbookmark.h"
#include "main/menus/helpmenu.h"
#include "main/options/tfroptions.h"
#include "main/tree/bookmarkmodel.h"
#include "main/window/screenfit.h"
#include "main/window/tform1.h"
#include "platform/fakes/fakeservices.h"
#include "platform/fakes/fakeurltester.h"
#include "tests/common/testfiles.h"
#include "tests/common/windowmanager.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

using namespace vellumite;
using namespace Qt::StringLiterals;

namespace {

QMargins frameOf(const QWidget &window)
{
    return window.windowHandle() ? window.windowHandle()->frameMargins() : QMargins();
}

// The outer corner and the client size, as the settings store them.
QRect boundsOf(const QWidget &window)
{
    const QMargins frame = frameOf(window);
    return { window.geometry().topLeft() - QPoint(frame.left(), frame.top()), window.size() };
}

QRect framedRect(const QWidget &window)
{
    return window.geometry().marginsAdded(frameOf(window));
}

// Framed by the window manager, and where the program's own placement, given that frame, leaves it.
bool settled(const TForm1 &form)
{
    if (frameOf(form).top() <= 0 || form.geometry().isEmpty())
        return false;
    const QRect bounds = boundsOf(form);
    return fitWindowOnScreens(bounds, MinimumWindowSize, frameOf(form), currentScreenLayout()).bounds
        == bounds;
}

QSize frameSize(const QWidget &window)
{
    const QMargins frame = frameOf(window);
    return { frame.left() + frame.right(), frame.top() + frame.bottom() };
}

QString describe(const QRect &r)
{
    return u"%1,%2 %3 x %4"_s.arg(r.left()).arg(r.top()).arg(r.width()).arg(r.height());
}

} // namespace

// The main window placed from its settings by a real window manager, which puts the frame around it.
// The screen's size comes from the server the test runs on: the checks hold for any.
class TestX11WindowPlacement : public WindowManagedTest
{
    Q_OBJECT

private slots:
    // Whatever the file says, the title bar lies on the screen, a window cut to the screen fits with
    // its frame, a refused position keeps a valid size, and the exit writes back where the window is,
    // so that the next start puts it in the same place.
    void titleBarOnTheScreenAndWrittenBack_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QSize>("keptSize"); // empty: not looked at
        QTest::newRow("no file") << QByteArray() << QSize();
        QTest::newRow("numbers no window can have")
            << "[Program]\nLeft=99999999999\nTop=-99999999999\nWidth=2147483647\nHeight=999999999\n"_ba
            << QSize();
        QTest::newRow("Width=100000 Height=100000")
            << "[Program]\nWidth=100000\nHeight=100000\n"_ba << QSize();
        QTest::newRow("Top=5 Height=1019")
            << "[Program]\nLeft=100\nTop=5\nWidth=650\nHeight=1019\n"_ba << QSize();
        QTest::newRow("far off the screen")
            << "[Program]\nLeft=-30000\nTop=20000\nWidth=700\nHeight=600\n"_ba << QSize(700, 600);
        QTest::newRow("Left=99999") << "[Program]\nLeft=99999\nTop=100\nWidth=700\nHeight=600\n"_ba
                                    << QSize(700, 600);
        QTest::newRow("Left=-5000") << "[Program]\nLeft=-5000\nTop=100\nWidth=700\nHeight=600\n"_ba
                                    << QSize(700, 600);
        QTest::newRow("Top=-10") << "[Program]\nLeft=100\nTop=-10\nWidth=700\nHeight=600\n"_ba
                                 << QSize(700, 600);
        QTest::newRow("at the top left corner")
            << "[Program]\nLeft=0\nTop=0\nWidth=700\nHeight=600\n"_ba << QSize(700, 600);
        QTest::newRow("on the screen")
            << "[Program]\nLeft=100\nTop=120\nWidth=700\nHeight=600\n"_ba << QSize(700, 600);
    }
    void titleBarOnTheScreenAndWrittenBack()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QSize, keptSize);
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(SettingsFileName);
        if (!settings.isEmpty())
            QVERIFY(testfiles::writeFile(path, settings));

        QRect firstRun;
        for (int run = 0; run < 2; ++run) {
            FakeServices fakes = makeFakeServices();
            TForm1 form;
            form.FormCreate(fakes.services, dir.path());
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            QTRY_VERIFY2(settled(form), qPrintable(describe(boundsOf(form))));

            const QRect frame = framedRect(form);
            const QRect titleBar(frame.topLeft(), QSize(frame.width(), form.geometry().top() - frame.top()));
            QVERIFY2(available.intersects(titleBar) && titleBar.top() >= available.top(),
                     qPrintable(describe(frame)));
            // Kept where it fits; a screen smaller than it cuts it.
            if (keptSize.isValid())
                QCOMPARE(form.size(), keptSize.boundedTo(available.size() - frameSize(form)));
            else
                QVERIFY2(available.contains(frame), qPrintable(describe(frame)));

            QVERIFY(form.closeprogram());
            IniFile ini(path);
            QVERIFY(ini.load());
            const auto stored = [&ini](const QString &key) {
                return ini.readInteger(SettingsKey::ProgramSection, key, -1);
            };
            const QRect written(stored(SettingsKey::Left), stored(SettingsKey::Top),
                                stored(SettingsKey::Width), stored(SettingsKey::Height));
            QCOMPARE(written, boundsOf(form));
            // The second start reads back what the first wrote and opens there: nothing drifts.
            if (run == 0)
                firstRun = written;
            else
                QCOMPARE(written, firstRun);
        }
    }

    // Every window opens wholly on the screen, title bar included, cut to its available area where it
    // is larger, also when the main window stands at the screen's edge.
    void everyWindowOpensOnTheScreen_data()
    {
        QTest::addColumn<QString>("window");
        for (const char *name : { "Search", "Options", "add", "edit", "Import", "About", "Check url" })
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void everyWindowOpensOnTheScreen()
    {
        QFETCH(QString, window);
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        // The main window's right part off the screen's right edge, less than half of it.
        QVERIFY(testfiles::writeFile(dir.filePath(SettingsFileName),
                                     u"[Program]\nLeft=%1\nTop=%2\n"_s.arg(available.right() - 450)
                                         .arg(available.top() + 10)
                                         .toUtf8()));
        FakeServices fakes = makeFakeServices();
        TForm1 form;
        form.FormCreate(fakes.services, dir.path());
        BookmarkNode *root = form.tree().firstNode();
        QVERIFY(root);
        TBookmark record = makeBookmarkRecord(u"Example"_s, u"https://example.org/"_s, 0);
        BookmarkNode *bookmark = form.model()->insertNode(root, std::make_unique<BookmarkNode>(record));
        form.VT()->setCurrentIndex(form.model()->indexFromNode(bookmark));
        TfrOptions options(form, fakes.services);
        form.setOptionsWindow(&options);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTRY_VERIFY(settled(form));

        // Looked at while it is open (a modal one runs its own loop), once framed and placed.
        QWidget *shown = nullptr;
        QRect framed;
        QElapsedTimer visibleFor;
        QTimer inspect;
        QObject::connect(&inspect, &QTimer::timeout, [&] {
            QWidget *open = QApplication::activeModalWidget();
            if (!open && window == u"add"_s)
                open = form.AddBookmarkCategory(AddKind::Bookmark);
            if (!open || !open->isVisible() || open == &form)
                return;
            if (!visibleFor.isValid())
                visibleFor.start();
            // One that never settles is looked at all the same, after a while, and closed.
            const bool late = visibleFor.elapsed() > 5000;
            const bool frameless = open->windowFlags() & Qt::FramelessWindowHint;
            // Framed once the title bar is there (the window manager may tell of a frame in parts).
            const bool framedYet = frameOf(*open).top() > 0 && !open->geometry().isEmpty();
            if (!late && !framedYet
                && !(frameless && visibleFor.elapsed() > 300 && !open->geometry().isEmpty()))
                return;
            const QRect bounds = boundsOf(*open);
            if (!late
                && keepWindowOnScreen(bounds, open->minimumSize(), frameOf(*open), currentScreenLayout())
                        .bounds
                    != bounds)
                return;
            inspect.stop();
            shown = open;
            framed = framedRect(*open);
            if (auto *close = open->findChild<QPushButton *>(u"btClose"_s))
                close->click();
            else
                open->close();
        });
        inspect.start(20);
        if (window == u"Search"_s) {
            form.ToolBarSearchClick();
        } else if (window == u"Options"_s) {
            form.ToolBarOptionsClick();
        } else if (window == u"add"_s) {
            form.AddBookmarkCategory(AddKind::Bookmark);
            QTRY_VERIFY(shown);
        } else if (window == u"edit"_s) {
            form.Edit1Click();
        } else if (window == u"Import"_s) {
            form.ToolBarImportClick();
        } else if (window == u"About"_s) {
            form.helpMenu()->About1Click();
        } else {
            fakes.urlTester->holdLatch();
            form.Checkurl1Click();
            fakes.urlTester->openLatch();
        }
        QVERIFY2(shown, "the window did not settle on the screen");
        QVERIFY2(available.contains(framed), qPrintable(describe(framed) + u" on "_s + describe(available)));
    }
};

QTEST_MAIN(TestX11WindowPlacement)
#include "tst_x11windowplacement.moc"
