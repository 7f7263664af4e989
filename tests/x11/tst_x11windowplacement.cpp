#include "base/inifile.h"
#include "main/core/programsettings.h"
#include "main/window/tform1.h"
#include "platform/fakes/fakeservices.h"
#include "tests/common/testfiles.h"
#include "tests/common/windowmanager.h"

#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace vellumite;
using namespace Qt::StringLiterals;

// The main window placed from its settings by a real window manager, which puts the frame around it.
class TestX11WindowPlacement : public QObject
{
    Q_OBJECT

    TestWindowManager m_windowManager;

private slots:
    void initTestCase()
    {
        if (const QString missing = m_windowManager.start(); !missing.isEmpty())
            QSKIP(qPrintable(missing));
    }
    void cleanupTestCase() { m_windowManager.stop(); }

    // Whatever the file says, the title bar lies on the screen, and the exit writes back where the
    // window is, so that the next start puts it in the same place.
    void titleBarOnTheScreenAndWrittenBack_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::newRow("numbers no window can have")
            << "[Program]\nLeft=99999999999\nTop=-99999999999\nWidth=2147483647\nHeight=999999999\n"_ba;
        QTest::newRow("far off the screen")
            << "[Program]\nLeft=-30000\nTop=20000\nWidth=700\nHeight=600\n"_ba;
        QTest::newRow("at the top left corner") << "[Program]\nLeft=0\nTop=0\nWidth=700\nHeight=600\n"_ba;
        QTest::newRow("on the screen") << "[Program]\nLeft=100\nTop=120\nWidth=700\nHeight=600\n"_ba;
    }
    void titleBarOnTheScreenAndWrittenBack()
    {
        QFETCH(QByteArray, settings);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(SettingsFileName);
        QVERIFY(testfiles::writeFile(path, settings));
        FakeServices fakes = makeFakeServices();
        TForm1 form;
        form.FormCreate(fakes.services, dir.path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // The frame is known once the window manager has reparented the window.
        QTRY_VERIFY(form.frameGeometry() != form.geometry());

        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect frame = form.frameGeometry();
        const QRect titleBar(frame.topLeft(), QSize(frame.width(), form.geometry().top() - frame.top()));
        QVERIFY2(available.intersects(titleBar) && titleBar.top() >= available.top(),
                 qPrintable(u"frame at %1,%2"_s.arg(frame.left()).arg(frame.top())));
        QVERIFY(available.intersected(form.geometry()).width() * 2 > form.width());

        QVERIFY(form.closeprogram());
        IniFile ini(path);
        QVERIFY(ini.load());
        const auto stored
            = [&ini](const QString &key) { return ini.readInteger(SettingsKey::ProgramSection, key, -1); };
        QCOMPARE(QPoint(stored(SettingsKey::Left), stored(SettingsKey::Top)), frame.topLeft());
        QCOMPARE(QSize(stored(SettingsKey::Width), stored(SettingsKey::Height)), form.geometry().size());
    }
};

QTEST_MAIN(TestX11WindowPlacement)
#include "tst_x11windowplacement.moc"
