// The main window's toolbar: six bitmap buttons over the banner, each with its pictures, place, hint
// and click.

#include "controls/RzBmpBtn.h"
#include "main/window/tform1.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using namespace vellumite;
using namespace Qt::StringLiterals;

class TestToolbar : public QObject
{
    Q_OBJECT

private slots:
    void buttons_data();
    void buttons();
};

void TestToolbar::buttons_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<bool>("downPattern");
    QTest::addColumn<bool>("focus");

    QTest::newRow("import") << u"ToolBarImport"_s << QRect(4, 2, 84, 78) << u"Import bookmarks"_s << true
                            << false;
    QTest::newRow("export") << u"ToolBarExport"_s << QRect(88, 2, 84, 78) << u"Export bookmarks"_s << false
                            << true;
    QTest::newRow("search") << u"ToolBarSearch"_s << QRect(172, 2, 85, 78) << u"Search"_s << false << true;
    QTest::newRow("check links") << u"btCheckURL"_s << QRect(257, 2, 84, 78) << u"Check links"_s << false
                                 << true;
    QTest::newRow("options") << u"ToolBarOptions"_s << QRect(341, 2, 85, 78) << u"Options"_s << false << true;
    QTest::newRow("help") << u"btHelp"_s << QRect(426, 2, 84, 78) << u"Help"_s << false << true;
}

void TestToolbar::buttons()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, hint);
    QFETCH(bool, downPattern);
    QFETCH(bool, focus);

    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto *button = form.findChild<TRzBmpButton *>(name);
    QVERIFY(button);
    auto *banner = form.findChild<QLabel *>(u"Image1"_s);
    QVERIFY(banner);
    QCOMPARE(button->parentWidget(), banner);

    QCOMPARE(button->geometry(), geometry);
    QCOMPARE(button->toolTip(), hint);
    QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(button->ShowDownPattern(), downPattern);
    QCOMPARE(button->ShowFocus(), focus);
    QVERIFY(button->Caption().isEmpty());
    QCOMPARE(button->Bitmaps()->TransparentColor(), clOlive);
    QCOMPARE(button->Bitmaps()->Up().size(), geometry.size());
    QCOMPARE(button->Bitmaps()->Down().size(), geometry.size());
    QVERIFY(button->Bitmaps()->Up() != button->Bitmaps()->Down());

    // The pictures' corners are transparent: the banner shows through them.
    const QRgb key = toQColor(clOlive).rgb();
    QCOMPARE(button->Bitmaps()->Up().pixel(1, 1), key);
    const QImage drawn = button->grab().toImage();
    const QImage behind = banner->grab(geometry).toImage();
    QCOMPARE(drawn.pixel(1, 1), behind.pixel(1, 1));
    QCOMPARE(drawn.pixel(geometry.width() - 2, geometry.height() - 2),
             behind.pixel(geometry.width() - 2, geometry.height() - 2));

    QSignalSpy clicked(button, &TRzBmpButton::clicked);
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
    QCOMPARE(clicked.count(), 1);
}

QTEST_MAIN(TestToolbar)
#include "tst_toolbar.moc"
