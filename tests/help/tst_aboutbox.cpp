#include "main/dialogs/tfabout.h"
#include "platform/fakes/fakeprogramlauncher.h"
#include "platform/fakes/fakeshell.h"

#include <QLabel>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace vellumite;

using Kind = ShellRequest::Kind;
using Start = FakeProgramLauncher::Start;

class TestAboutBox : public QObject
{
    Q_OBJECT

private slots:
    void versionLabel_data();
    void versionLabel();
    void linksOpenMailAndWebPage_data();
    void linksOpenMailAndWebPage();
    void layoutFitsTheBox();
    void centredOnTheMainWindow();
};

void TestAboutBox::versionLabel_data()
{
    QTest::addColumn<QString>("productVersion");
    QTest::addColumn<QString>("shown");

    QTest::newRow("with version") << u"1.0.0"_s << u"Version: 1.0.0"_s;
    QTest::newRow("program file without version") << QString() << u"Version: "_s;
}

void TestAboutBox::versionLabel()
{
    QFETCH(QString, productVersion);
    QFETCH(QString, shown);

    FakeShell shell;
    FakeProgramLauncher launcher;
    TfAbout about(shell, launcher, {}, productVersion);
    about.show();
    QCOMPARE(about.lbVersion->text(), shown);
    QVERIFY(shell.requests.isEmpty());
}

void TestAboutBox::linksOpenMailAndWebPage_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("defaultBrowser");
    QTest::addColumn<QList<ShellRequest>>("mail");
    QTest::addColumn<QList<Start>>("browser");

    const QList<ShellRequest> supportMail {
        { Kind::OpenMailAddress,
          u"mailto:support@vellumite.invalid?subject=Portable%20Vellumite%20-%20support"_s },
    };
    QTest::newRow("support address") << u"TntLabel5"_s << u"/usr/bin/browser"_s << supportMail
                                     << QList<Start> {};
    QTest::newRow("support address without browser")
        << u"TntLabel5"_s << QString() << supportMail << QList<Start> {};
    QTest::newRow("web page") << u"TntLabel4"_s << u"/usr/bin/browser"_s << QList<ShellRequest> {}
                              << QList<Start> { { u"/usr/bin/browser"_s,
                                                  { u"https://vellumite.invalid/"_s } } };
    QTest::newRow("web page without browser")
        << u"TntLabel4"_s << QString() << QList<ShellRequest> {} << QList<Start> {};
}

void TestAboutBox::linksOpenMailAndWebPage()
{
    QFETCH(QString, label);
    QFETCH(QString, defaultBrowser);
    QFETCH(QList<ShellRequest>, mail);
    QFETCH(QList<Start>, browser);

    FakeShell shell;
    FakeProgramLauncher launcher;
    TfAbout about(shell, launcher, defaultBrowser, u"1.0.0"_s);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    auto *link = about.findChild<QLabel *>(label);
    QVERIFY(link);
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(link, Qt::RightButton);
    QVERIFY(shell.requests.isEmpty());
    QVERIFY(launcher.starts.isEmpty());
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(shell.requests, mail);
    QCOMPARE(launcher.starts, browser);
}

void TestAboutBox::layoutFitsTheBox()
{
    FakeShell shell;
    FakeProgramLauncher launcher;
    TfAbout about(shell, launcher, {}, u"10.2.30.4"_s);
    about.show();

    QCOMPARE(about.size(), QSize(249, 275));
    // The pictures come from the resources; a missing one would leave an empty, zero-sized label.
    QCOMPARE(about.Image1->geometry(), QRect(17, 32, 215, 100));
    int markers = 0;
    for (const QLabel *label : about.findChildren<QLabel *>())
        markers += label->geometry() == QRect(86, 140, 10, 7) || label->geometry() == QRect(86, 155, 10, 9);
    QCOMPARE(markers, 2);
    QCOMPARE(about.TntLabel5->text(), u"support@vellumite.invalid"_s);
    QCOMPARE(about.TntLabel4->text(), u"vellumite.invalid"_s);
    for (QLabel *label : about.findChildren<QLabel *>())
        QVERIFY2(about.rect().contains(label->geometry()), qPrintable(label->objectName()));
    QVERIFY(about.lbVersion->sizeHint().width() <= about.lbVersion->width());
    QVERIFY(about.lbVersion->sizeHint().height() <= about.lbVersion->height());
}

void TestAboutBox::centredOnTheMainWindow()
{
    QWidget mainWindow;
    mainWindow.setGeometry(200, 150, 700, 500);
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));

    FakeShell shell;
    FakeProgramLauncher launcher;
    TfAbout about(shell, launcher, {}, {}, &mainWindow);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    const QPoint offset = about.frameGeometry().center() - mainWindow.frameGeometry().center();
    QVERIFY2(offset.manhattanLength() <= 2, qPrintable(u"%1,%2"_s.arg(offset.x()).arg(offset.y())));
}

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
