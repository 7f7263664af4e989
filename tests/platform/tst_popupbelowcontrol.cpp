#include "main/menus/popupbelowcontrol.h"

#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace vellumite;
using namespace Qt::StringLiterals;

class TestPopupBelowControl : public QObject
{
    Q_OBJECT

private slots:
    void dropsDownBelowTheControl()
    {
        QWidget window;
        window.setGeometry(100, 100, 400, 300);
        auto *button = new QPushButton(u"Help"_s, &window);
        button->setGeometry(50, 20, 84, 78);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QMenu menu;
        menu.addAction(u"Contents"_s);
        button->setDown(true);

        QPoint shownAt;
        bool buttonUp = false;
        QTimer::singleShot(0, &menu, [&] {
            shownAt = menu.pos();
            buttonUp = !button->isDown();
            menu.close();
        });
        PopupBelowControl(button, &menu); // returns when the menu closes
        QCOMPARE(shownAt, button->mapToGlobal(QPoint(-1, 78)));
        QVERIFY(buttonUp);
        QVERIFY(!menu.isVisible());
    }
};

QTEST_MAIN(TestPopupBelowControl)
#include "tst_popupbelowcontrol.moc"
