#include "controls/RzBmpBtn.h"
#include "main/dialogs/tfabout.h"
#include "main/menus/helpmenu.h"
#include "main/window/tform1.h"
#include "platform/fakes/fakeprogramlauncher.h"
#include "platform/fakes/fakeservices.h"
#include "platform/fakes/fakeshell.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace vellumite;

using Kind = ShellRequest::Kind;
using Start = FakeProgramLauncher::Start;

class TestHelpMenu : public QObject
{
    Q_OBJECT

private slots:
    void itemsInOrder();
    void contentsOpensTheHelpFileWhenPresent_data();
    void contentsOpensTheHelpFileWhenPresent();
    void supportOpensTheFixedMail();
    void webPageNeedsTheDefaultBrowser_data();
    void webPageNeedsTheDefaultBrowser();
    void aboutRunsModallyAndIsFreed();
    void helpButtonDropsTheMenu();
};

void TestHelpMenu::itemsInOrder()
{
    FakeShell shell;
    FakeProgramLauncher launcher;
    QWidget window;
    HelpMenu menu(shell, launcher, {}, &window);

    QStringList captions;
    for (const QAction *action : menu.PopupMenuHelp->actions())
        captions << (action->isSeparator() ? u"-"_s : action->text());
    QCOMPARE(captions, (QStringList { u"Contents"_s, u"Support"_s, u"Web page"_s, u"-"_s, u"About"_s }));
    QCOMPARE(menu.Contents1->shortcut(), QKeySequence(Qt::Key_F1));
    for (const QAction *action : menu.PopupMenuHelp->actions())
        QVERIFY(action->isEnabled());
}

void TestHelpMenu::contentsOpensTheHelpFileWhenPresent_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("opens");

    QTest::newRow("help file present") << u"Help.chm"_s << true;
    QTest::newRow("help file removed") << QString() << false;
    QTest::newRow("other name only") << u"help.chm.bak"_s << false;
    QTest::newRow("folder of that name") << u"Help.chm/"_s << false;
}

void TestHelpMenu::contentsOpensTheHelpFileWhenPresent()
{
    QFETCH(QString, entry);
    QFETCH(bool, opens);

    QTemporaryDir programFolder;
    QVERIFY(programFolder.isValid());
    if (entry.endsWith(u'/')) {
        QVERIFY(QDir(programFolder.path()).mkpath(entry));
    } else if (!entry.isEmpty()) {
        QFile file(programFolder.filePath(entry));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    FakeShell shell;
    FakeProgramLauncher launcher;
    QWidget window;
    HelpMenu menu(shell, launcher, { programFolder.path(), {}, {} }, &window);
    menu.Contents1->trigger();

    const QList<ShellRequest> expected = opens
        ? QList<ShellRequest> { { Kind::OpenFile, programFolder.filePath(u"Help.chm"_s) } }
        : QList<ShellRequest> {};
    QCOMPARE(shell.requests, expected);
}

void TestHelpMenu::supportOpensTheFixedMail()
{
    FakeShell shell;
    FakeProgramLauncher launcher;
    QWidget window;
    HelpMenu menu(shell, launcher, {}, &window);
    menu.Support1->trigger();

    // Address, then "?subject=" at once, and the subject percent-encoded: a URI holds no raw blanks.
    const QList<ShellRequest> expected {
        { Kind::OpenMailAddress,
          u"mailto:support@vellumite.invalid?subject=Portable%20Vellumite%20-%20support"_s },
    };
    QCOMPARE(shell.requests, expected);
}

void TestHelpMenu::webPageNeedsTheDefaultBrowser_data()
{
    QTest::addColumn<QString>("defaultBrowser");
    QTest::addColumn<QList<Start>>("expected");

    const QStringList page { u"https://vellumite.invalid/"_s };
    QTest::newRow("default browser known")
        << u"/opt/browser/browser"_s << QList<Start> { { u"/opt/browser/browser"_s, page } };
    QTest::newRow("path with blanks")
        << u"/opt/My Browser/run browser"_s << QList<Start> { { u"/opt/My Browser/run browser"_s, page } };
    QTest::newRow("no default browser") << QString() << QList<Start> {};
}

void TestHelpMenu::webPageNeedsTheDefaultBrowser()
{
    QFETCH(QString, defaultBrowser);
    QFETCH(QList<Start>, expected);

    FakeShell shell;
    FakeProgramLauncher launcher;
    QWidget window;
    QString browser;
    HelpMenu menu(shell, launcher, { {}, {}, [&browser] { return browser; } }, &window);
    // The browser is read when the item is chosen, not when the menu is made.
    browser = defaultBrowser;
    menu.Homepage1->trigger();
    QCOMPARE(launcher.starts, expected);
    QVERIFY(shell.requests.isEmpty());
}

void TestHelpMenu::aboutRunsModallyAndIsFreed()
{
    FakeShell shell;
    FakeProgramLauncher launcher;
    QWidget window;
    window.resize(600, 400);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    HelpMenu menu(shell, launcher, { {}, u"2.5.1"_s, [] { return u"/usr/bin/browser"_s; } }, &window);

    QPointer<TfAbout> seen;
    QString version;
    bool modal = false;
    QTimer::singleShot(0, &window, [&] {
        seen = menu.fAbout;
        if (TfAbout *about = menu.fAbout.data()) {
            version = about->lbVersion->text();
            modal = about->isModal() && about->isVisible();
            QTest::mouseClick(about->TntLabel4, Qt::LeftButton);
            about->close();
        }
    });
    menu.About1->trigger();

    QVERIFY(modal);
    QCOMPARE(version, u"Version: 2.5.1"_s);
    QVERIFY(seen.isNull());
    QVERIFY(menu.fAbout.isNull());
    const QList<Start> expected { { u"/usr/bin/browser"_s, { u"https://vellumite.invalid/"_s } } };
    QCOMPARE(launcher.starts, expected);
}

void TestHelpMenu::helpButtonDropsTheMenu()
{
    QTemporaryDir programFolder;
    QVERIFY(programFolder.isValid());
    FakeServices fakes = makeFakeServices();
    TForm1 form;
    form.FormCreate(fakes.services, programFolder.path());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    HelpMenu *help = form.helpMenu();
    QVERIFY(!help->Contents1->icon().isNull());
    QVERIFY(!help->Support1->icon().isNull());
    QVERIFY(help->Homepage1->icon().isNull());
    QVERIFY(help->About1->icon().isNull());

    bool shown = false;
    QPoint shownAt;
    QTimer::singleShot(0, help->PopupMenuHelp, [&] {
        shown = help->PopupMenuHelp->isVisible();
        shownAt = help->PopupMenuHelp->pos();
        help->Support1->trigger();
        help->PopupMenuHelp->close();
    });
    QTest::mouseClick(form.btHelp, Qt::LeftButton);

    QVERIFY(shown);
    QCOMPARE(shownAt, form.btHelp->mapToGlobal(QPoint(-1, form.btHelp->height())));
    // The items reach the services; without a help file "Contents" starts nothing, and the web page goes
    // to the detected default browser.
    form.Contents1Click();
    form.browserPaths().DefaultBrowser.Caption = u"/usr/bin/browser"_s;
    help->Homepage1->trigger();
    QCOMPARE(fakes.launcher->starts,
             (QList<Start> { { u"/usr/bin/browser"_s, { u"https://vellumite.invalid/"_s } } }));
    const QList<ShellRequest> expected {
        { Kind::OpenMailAddress,
          u"mailto:support@vellumite.invalid?subject=Portable%20Vellumite%20-%20support"_s },
    };
    QCOMPARE(fakes.shell->requests, expected);
}

QTEST_MAIN(TestHelpMenu)
#include "tst_helpmenu.moc"
