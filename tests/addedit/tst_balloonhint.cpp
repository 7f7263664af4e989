#include "main/dialogs/balloonhint.h"

#include <QLineEdit>
#include <QTest>

using namespace vellumite;
using namespace Qt::StringLiterals;

class TestBalloonHint : public QObject
{
    Q_OBJECT

private slots:
    void pointsAtTheFieldUntilTheUserTypes()
    {
        QWidget window;
        window.resize(300, 200);
        auto *field = new QLineEdit(&window);
        field->setGeometry(20, 30, 200, 21);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        BalloonHintWidget balloon(&window);
        balloon.showBalloon(field, { 10, 10 }, BalloonIcon::Warning, u"Warning!"_s,
                            u"The name is not specified!"_s, 300);
        QVERIFY(balloon.isVisible());
        QVERIFY(balloon.isWindow());
        QCOMPARE(balloon.title(), u"Warning!"_s);
        QCOMPARE(balloon.tipPosition(), field->mapToGlobal(QPoint(10, 10)));
        QVERIFY(balloon.geometry().adjusted(-1, -1, 1, 1).contains(balloon.tipPosition()));
        QVERIFY(balloon.width() >= 300);
        QCOMPARE(QApplication::focusWidget() == &balloon, false);

        QTest::keyClick(field, Qt::Key_X);
        QVERIFY(!balloon.isVisible());

        balloon.showBalloon(field, { 10, 10 }, BalloonIcon::Warning, u"Warning!"_s, u"Again"_s, 300);
        QVERIFY(balloon.isVisible());
        window.hide();
        QVERIFY(!balloon.isVisible());
    }
};

QTEST_MAIN(TestBalloonHint)
#include "tst_balloonhint.moc"
