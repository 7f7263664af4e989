#include "platform/widgets/x11foregroundwindow.h"
#include "tests/common/windowmanager.h"

#include <QTest>
#include <QWidget>

using namespace vellumite;
using namespace Qt::StringLiterals;

// What the X11 backing tells of the window in front, against a real window manager that frames,
// maximizes and activates it.
class TestX11ForegroundWindow : public WindowManagedTest
{
    Q_OBJECT

private slots:
    void placeOfTheWindowInFront()
    {
        const X11ForegroundWindow foreground;
        QWidget window;
        window.setWindowTitle(u"Placed window"_s);
        window.setGeometry(120, 140, 500, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // Asked again until the window manager has it in front: under load it may still be starting.
        QVERIFY(QTest::qWaitFor(
            [&] {
                window.activateWindow();
                QTest::qWait(50);
                return window.isActiveWindow();
            },
            10000));
        // The frame is known once the window manager has reparented the window.
        QTRY_VERIFY(window.frameGeometry() != window.geometry());
        const auto place = [&] { return foreground.current().value_or(ForegroundWindowInfo {}).place; };
        QTRY_COMPARE(foreground.current().value_or(ForegroundWindowInfo {}).title, u"Placed window"_s);
        // The frame as the window manager draws it, where a browser's session store records it.
        QTRY_COMPARE(place(), (WindowPlace { WindowPlace::Size::Normal, window.frameGeometry() }));

        window.showMaximized();
        QTRY_COMPARE(place().size, WindowPlace::Size::Maximized);
        window.showFullScreen();
        QTRY_COMPARE(place().size, WindowPlace::Size::FullScreen);
    }
};

QTEST_MAIN(TestX11ForegroundWindow)
#include "tst_x11foregroundwindow.moc"
