#include "base/programfolder.h"
#include "main/core/programsettings.h"
#include "platform/fakes/fakefolderprobe.h"
#include "tests/common/filesizelimit.h"
#include "tests/common/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vellumite;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(vellumite::ColumnWidths)
Q_DECLARE_METATYPE(vellumite::StartupSettings)
Q_DECLARE_METATYPE(vellumite::WindowFit)

namespace {

// One screen of 1024 x 768, all of it available.
const ScreenLayout OneScreen { { QRect(0, 0, 1024, 768) } };

// Over the size an INI file may have, holding keys that would otherwise apply.
QByteArray oversizedSettings()
{
    QByteArray text = "[Program]\nWidth=700\nHotKey1=Ctrl+Alt+M\n";
    while (text.size() <= IniFile::MaximumSize)
        text += "; " + QByteArray(78, 'x') + '\n';
    return text;
}

} // namespace

class TestProgramSettings : public QObject
{
    Q_OBJECT

private:
    static IniFile parsed(const QByteArray &text)
    {
        IniFile ini;
        ini.setData(text);
        return ini;
    }

private slots:
    void placement_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QRect>("area"); // the primary screen's available area
        QTest::addColumn<bool>("maximized");
        QTest::addColumn<QRect>("bounds");
        // Left and Top default to the designed 650 x 592 centred; a half rounds to the even neighbour.
        QTest::newRow("1024 x 768") << QByteArray() << QRect(0, 0, 1024, 768) << false
                                    << QRect(187, 88, 650, 550);
        QTest::newRow("1365 wide: 357.5 -> 358")
            << QByteArray() << QRect(0, 0, 1365, 768) << false << QRect(358, 88, 650, 550);
        QTest::newRow("1367 wide: 358.5 -> 358")
            << QByteArray() << QRect(0, 0, 1367, 769) << false << QRect(358, 88, 650, 550);
        QTest::newRow("1920 x 1080") << QByteArray() << QRect(0, 0, 1920, 1080) << false
                                     << QRect(635, 244, 650, 550);
        QTest::newRow("screen smaller than the window: -5.5 -> -6")
            << QByteArray() << QRect(0, 0, 639, 581) << false << QRect(-6, -6, 650, 550);
        QTest::newRow("stored bounds") << QByteArray("[Program]\nLeft=10\nTop=20\nWidth=800\nHeight=600\n")
                                       << QRect(0, 0, 1024, 768) << false << QRect(10, 20, 800, 600);
        QTest::newRow("Width 0x2BC") << QByteArray("[Program]\nWidth=0x2BC\n") << QRect(0, 0, 1024, 768)
                                     << false << QRect(187, 88, 700, 550);
        QTest::newRow("Width abc") << QByteArray("[Program]\nWidth=abc\n") << QRect(0, 0, 1024, 768) << false
                                   << QRect(187, 88, 650, 550);
        QTest::newRow("Show=1 opens normal at the stored bounds")
            << QByteArray("[Program]\nShow=1\nLeft=10\nTop=20\nWidth=800\nHeight=600\n")
            << QRect(0, 0, 1024, 768) << false << QRect(10, 20, 800, 600);
        QTest::newRow("Show=7 counts as normal")
            << QByteArray("[Program]\nShow=7\nLeft=10\n") << QRect(0, 0, 1024, 768) << false
            << QRect(10, 88, 650, 550);
        QTest::newRow("Show=2 skips the bounds")
            << QByteArray("[Program]\nShow=2\nLeft=10\nTop=20\nWidth=800\nHeight=600\n")
            << QRect(0, 0, 1024, 768) << true << DesignedWindowBounds;
        // Every number is kept where a window can be, before any sum of them is taken.
        QTest::newRow("extreme values are clamped")
            << QByteArray("[Program]\nLeft=2147483647\nTop=-2147483648\nWidth=2147483647\nHeight=-7\n")
            << QRect(0, 0, 1024, 768) << false << QRect(32767, -32767, 32767, 0);
        // Centred on the primary screen wherever it lies, not on a screen of its size at (0, 0).
        QTest::newRow("primary screen to the right of another")
            << QByteArray() << QRect(1280, 0, 1920, 1080) << false << QRect(1915, 244, 650, 550);
        QTest::newRow("within the primary screen's panels")
            << QByteArray() << QRect(0, 30, 1280, 970) << false << QRect(315, 219, 650, 550);
        QTest::newRow("Show=0x2 is 2 as well") << QByteArray("[Program]\nShow=0x2\nLeft=10\n")
                                               << QRect(0, 0, 1024, 768) << true << DesignedWindowBounds;
    }
    void placement()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QRect, area);
        QFETCH(bool, maximized);
        QFETCH(QRect, bounds);
        const WindowPlacement placement = readPlacement(parsed(settings), area);
        QCOMPARE(placement.maximized, maximized);
        QCOMPARE(placement.bounds, bounds);
    }

    // The screens: the primary one of 1280 x 1024 with a panel of 24 at the bottom; a second one of
    // 1280 x 1024 to its right, 100 lower; a third of 1920 x 1080 above the primary. The frame the
    // window manager puts around the window counts where it is given.
    void fitOnScreens_data()
    {
        QTest::addColumn<QRect>("stored");
        QTest::addColumn<QMargins>("frame");
        QTest::addColumn<QRect>("expected");
        const QMargins none;
        const QMargins frame(1, 20, 1, 5);
        // A refused position keeps the size: the window is centred on the primary screen's available area.
        const QRect centred(240, 200, 800, 600);
        QTest::newRow("on the primary screen")
            << QRect(100, 100, 800, 600) << none << QRect(100, 100, 800, 600);
        QTest::newRow("on the screen to the right")
            << QRect(1500, 300, 800, 600) << none << QRect(1500, 300, 800, 600);
        QTest::newRow("on the screen above")
            << QRect(100, -900, 800, 600) << none << QRect(100, -900, 800, 600);
        QTest::newRow("across two screens, mostly on one")
            << QRect(1000, 300, 800, 600) << none << QRect(1000, 300, 800, 600);
        QTest::newRow("half on each of two screens: neither holds more than half")
            << QRect(880, 300, 800, 600) << none << centred;
        QTest::newRow("title bar on the screen above, the rest below")
            << QRect(100, -100, 800, 900) << none << QRect(100, -100, 800, 900);
        QTest::newRow("more than half out to the left") << QRect(-401, 100, 800, 600) << none << centred;
        QTest::newRow("less than half out to the left")
            << QRect(-399, 100, 800, 600) << none << QRect(-399, 100, 800, 600);
        // Where no screen is above, the title bar would be out of reach, however much lies on the screen.
        QTest::newRow("title bar above the top of the screen")
            << QRect(1500, 50, 800, 900) << none << QRect(240, 50, 800, 900);
        QTest::newRow("into the panel, mostly above it")
            << QRect(100, 690, 800, 600) << none << QRect(100, 690, 800, 600);
        QTest::newRow("into the panel, mostly below it") << QRect(100, 710, 800, 600) << none << centred;
        QTest::newRow("in the gap below the screen to the right")
            << QRect(1400, 1150, 800, 600) << none << centred;
        // The window is never smaller than 650 x 580, and that is the size that must fit.
        QTest::newRow("the minimum height counts")
            << QRect(100, 720, 800, 300) << none << QRect(240, 210, 800, 580);
        QTest::newRow("Height 300 gives 580")
            << QRect(100, 100, 650, 300) << none << QRect(100, 100, 650, 580);
        // A size cut to the available area leaves the window one place on that axis: the area's edge.
        QTest::newRow("larger than the screen: cut to its available area")
            << QRect(0, 0, 32767, 32767) << none << QRect(0, 0, 1280, 1000);
        QTest::newRow("larger than the screen, mostly on it: cut and moved onto it")
            << QRect(315, 216, 32767, 32767) << none << QRect(0, 0, 1280, 1000);
        QTest::newRow("wider than the screen: only the width is cut")
            << QRect(300, 100, 2000, 600) << none << QRect(0, 100, 1280, 600);
        QTest::newRow("larger than the screen to the right: cut to that one")
            << QRect(1500, 150, 1500, 1100) << none << QRect(1280, 100, 1280, 1024);
        QTest::newRow("larger than any screen and mostly off them")
            << QRect(1000, 600, 5000, 5000) << none << QRect(0, 0, 1280, 1000);
        QTest::newRow("the extremes of the stored values")
            << QRect(32767, -32767, 32767, 0) << none << QRect(0, 210, 1280, 580);
        QTest::newRow("far to the right") << QRect(32767, 100, 800, 600) << none << centred;
        // Cut to the screen, the window fits with its frame: the status bar and the borders stay on it.
        QTest::newRow("larger than the screen, with its frame")
            << QRect(315, 216, 32767, 32767) << frame << QRect(0, 0, 1278, 975);
        QTest::newRow("Top=5 Height=1019, with its frame")
            << QRect(315, 5, 650, 1019) << frame << QRect(315, 0, 650, 975);
        QTest::newRow("as high as the screen without its frame")
            << QRect(315, 0, 650, 1000) << frame << QRect(315, 0, 650, 975);
        QTest::newRow("refused, with its frame: the framed window centred")
            << QRect(32767, 100, 700, 600) << frame << QRect(289, 188, 700, 600);
    }
    void fitOnScreens()
    {
        QFETCH(QRect, stored);
        QFETCH(QMargins, frame);
        QFETCH(QRect, expected);
        const ScreenLayout screens { { QRect(0, 0, 1280, 1000), QRect(1280, 100, 1280, 1024),
                                       QRect(0, -1080, 1920, 1080) } };
        const WindowFit place = fitWindowOnScreens(stored, MinimumWindowSize, frame, screens);
        QCOMPARE(place.bounds, expected);
        QCOMPARE(place.minimumSize, MinimumWindowSize);
        // What the window was given is where it opens the next time: nothing drifts from run to run.
        QCOMPARE(fitWindowOnScreens(place.bounds, MinimumWindowSize, frame, screens), place);
        // With no screen known nothing can be judged.
        QCOMPARE(fitWindowOnScreens(stored, MinimumWindowSize, frame, {}),
                 (WindowFit { stored, MinimumWindowSize }));
    }

    // Where the screen is smaller than the window's minimum with its frame, the minimum is given up:
    // the window fits the available area, title bar on the screen.
    void minimumGivenUpOnSmallScreens_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<WindowFit>("expected");
        const QByteArray none;
        QTest::newRow("800 x 600, no settings")
            << none << QRect(0, 0, 800, 600) << WindowFit { QRect(75, 0, 650, 575), QSize(650, 575) };
        // What QT_SCALE_FACTOR=2 makes of 1280 x 1024.
        QTest::newRow("640 x 512, no settings")
            << none << QRect(0, 0, 640, 512) << WindowFit { QRect(0, 0, 638, 487), QSize(638, 487) };
        QTest::newRow("640 x 512, stored as it was left")
            << QByteArray("[Program]\nLeft=0\nTop=0\nWidth=638\nHeight=487\n") << QRect(0, 0, 640, 512)
            << WindowFit { QRect(0, 0, 638, 487), QSize(638, 487) };
        QTest::newRow("800 x 600 beside a larger primary screen")
            << QByteArray("[Program]\nLeft=2000\nTop=100\nWidth=700\nHeight=600\n")
            << QRect(1920, 0, 800, 600) << WindowFit { QRect(2000, 0, 700, 575), QSize(650, 575) };
    }
    void minimumGivenUpOnSmallScreens()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QRect, area);
        QFETCH(WindowFit, expected);
        const ScreenLayout screens { { area } };
        const QRect stored = readStartupSettings(parsed(settings), screens).placement.bounds;
        const WindowFit place
            = fitWindowOnScreens(stored, MinimumWindowSize, QMargins(1, 20, 1, 5), screens);
        QCOMPARE(place, expected);
        QVERIFY(area.contains(QRect(place.bounds.topLeft(), place.bounds.size() + QSize(2, 25))));
    }

    // A dialog wants to be centred on the main window; it stays wholly on the screen that holds its
    // middle, cut to it where it is larger. The screens: 1280 x 1000 available, a second of 1280 x 1024
    // to the right, 100 lower.
    void keepOnScreen_data()
    {
        QTest::addColumn<QRect>("wanted");
        QTest::addColumn<QSize>("minimum");
        QTest::addColumn<WindowFit>("expected");
        const QSize search(500, 330);
        QTest::newRow("fits") << QRect(200, 200, 384, 410) << QSize(384, 410)
                              << WindowFit { QRect(200, 200, 384, 410), QSize(384, 410) };
        QTest::newRow("out at the bottom: moved up")
            << QRect(200, 800, 384, 410) << QSize(384, 410)
            << WindowFit { QRect(200, 565, 384, 410), QSize(384, 410) };
        QTest::newRow("out at the top and left: moved down and right")
            << QRect(-50, -30, 384, 410) << QSize(384, 410) << WindowFit { QRect(0, 0, 384, 410), QSize(384, 410) };
        QTest::newRow("its middle on the second screen: kept on that one")
            << QRect(2300, 1000, 384, 410) << QSize(384, 410)
            << WindowFit { QRect(2174, 689, 384, 410), QSize(384, 410) };
        QTest::newRow("its middle on no screen: the one that holds most of it")
            << QRect(1100, 1010, 384, 410) << QSize(384, 410)
            << WindowFit { QRect(1280, 689, 384, 410), QSize(384, 410) };
        QTest::newRow("higher than the screen: cut, its minimum kept where it fits")
            << QRect(100, 100, 732, 1400) << search << WindowFit { QRect(100, 0, 732, 975), search };
        QTest::newRow("larger than the screen with a larger minimum: given up")
            << QRect(0, 0, 1500, 1200) << QSize(1400, 1100)
            << WindowFit { QRect(0, 0, 1278, 975), QSize(1278, 975) };
    }
    void keepOnScreen()
    {
        QFETCH(QRect, wanted);
        QFETCH(QSize, minimum);
        QFETCH(WindowFit, expected);
        const ScreenLayout screens { { QRect(0, 0, 1280, 1000), QRect(1280, 100, 1280, 1024) } };
        const QMargins frame(1, 20, 1, 5);
        QCOMPARE(keepWindowOnScreen(wanted, minimum, frame, screens), expected);
        QCOMPARE(keepWindowOnScreen(expected.bounds, minimum, frame, screens).bounds, expected.bounds);
    }

    // The values as read, then placed as the window is, before its frame is known: what the window gets
    // from the file. The screen is 1280 x 1024 with a panel of 24 at the bottom, unless a row says.
    void placementOnTheScreen_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QList<QRect>>("areas");
        QTest::addColumn<QRect>("bounds");
        const QList<QRect> one { QRect(0, 0, 1280, 1000) };
        QTest::newRow("no file: centred on the screen") << QByteArray() << one << QRect(315, 204, 650, 580);
        QTest::newRow("numbers no window could have")
            << QByteArray("[Program]\nLeft=99999999999\nTop=-99999999999\nWidth=2147483647\n"
                          "Height=999999999\n")
            << one << QRect(0, 0, 1280, 1000);
        QTest::newRow("Width=100000 Height=100000")
            << QByteArray("[Program]\nWidth=100000\nHeight=100000\n") << one << QRect(0, 0, 1280, 1000);
        QTest::newRow("far off the screen: the size kept")
            << QByteArray("[Program]\nLeft=-30000\nTop=20000\nWidth=700\nHeight=600\n") << one
            << QRect(290, 200, 700, 600);
        // A refused position falls back; a valid stored size stays.
        QTest::newRow("Left=99999") << QByteArray("[Program]\nLeft=99999\nTop=100\nWidth=700\nHeight=600\n")
                                    << one << QRect(290, 200, 700, 600);
        QTest::newRow("Left=-5000") << QByteArray("[Program]\nLeft=-5000\nTop=100\nWidth=700\nHeight=600\n")
                                    << one << QRect(290, 200, 700, 600);
        QTest::newRow("Top=-10") << QByteArray("[Program]\nLeft=100\nTop=-10\nWidth=700\nHeight=600\n") << one
                                 << QRect(290, 200, 700, 600);
        QTest::newRow("Left=1200 Top=1000")
            << QByteArray("[Program]\nLeft=1200\nTop=1000\nWidth=700\nHeight=600\n") << one
            << QRect(290, 200, 700, 600);
        QTest::newRow("clamped to the far corner")
            << QByteArray("[Program]\nLeft=2147483647\nTop=-2147483648\nWidth=2147483647\nHeight=-7\n") << one
            << QRect(0, 210, 1280, 580);
        QTest::newRow("on the screen") << QByteArray("[Program]\nLeft=10\nTop=20\nWidth=800\nHeight=600\n")
                                       << one << QRect(10, 20, 800, 600);
        // The primary screen at 1280,0 (1920 x 1080), a second one at 0,600 (1280 x 1024).
        const QList<QRect> two { QRect(1280, 0, 1920, 1080), QRect(0, 600, 1280, 1024) };
        QTest::newRow("two screens, no file") << QByteArray() << two << QRect(1915, 244, 650, 580);
        QTest::newRow("two screens, stored beyond them")
            << QByteArray("[Program]\nLeft=3400\nTop=100\n") << two << QRect(1915, 250, 650, 580);
        QTest::newRow("two screens, on the second")
            << QByteArray("[Program]\nLeft=100\nTop=700\n") << two << QRect(100, 700, 650, 580);
    }
    void placementOnTheScreen()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QList<QRect>, areas);
        QFETCH(QRect, bounds);
        const ScreenLayout screens { areas };
        const StartupSettings read = readStartupSettings(parsed(settings), screens);
        QCOMPARE(read.placement.maximized, false);
        QCOMPARE(fitWindowOnScreens(read.placement.bounds, MinimumWindowSize, {}, screens).bounds, bounds);
    }

    void columnWidths_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<ColumnWidths>("expected");
        QTest::newRow("defaults") << QByteArray() << ColumnWidths { 270, 270, 45 };
        QTest::newRow("stored") << QByteArray("[Program]\nClDescr=300\nClLink=200\nClState=100\n")
                                << ColumnWidths { 300, 200, 100 };
        QTest::newRow("State below its minimum")
            << QByteArray("[Program]\nClState=10\n") << ColumnWidths { 270, 270, 45 };
        QTest::newRow("State above its maximum")
            << QByteArray("[Program]\nClState=500\n") << ColumnWidths { 270, 270, 150 };
        QTest::newRow("negative widths")
            << QByteArray("[Program]\nClDescr=-5\nClLink=-1\n") << ColumnWidths { 40, 40, 45 };
        QTest::newRow("too narrow") << QByteArray("[Program]\nClDescr=39\nClLink=40\n")
                                    << ColumnWidths { 40, 40, 45 };
        QTest::newRow("too wide") << QByteArray(
            "[Program]\nClDescr=4001\nClLink=999999\nClState=2147483647\n")
                                  << ColumnWidths { 4000, 4000, 150 };
        QTest::newRow("read also when maximized")
            << QByteArray("[Program]\nShow=2\nClDescr=111\n") << ColumnWidths { 111, 270, 45 };
    }
    void columnWidths()
    {
        QFETCH(QByteArray, settings);
        QFETCH(ColumnWidths, expected);
        QCOMPARE(readColumnWidths(parsed(settings)), expected);
    }

    void startupFromFolder_data()
    {
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QByteArray>("settings"); // empty: no file
        QTest::addColumn<StartupSettings>("expected");

        StartupSettings centred;
        centred.placement.bounds = QRect(187, 88, 650, 550);
        QTest::newRow("no file: all defaults") << true << QByteArray() << centred;

        StartupSettings stored;
        stored.placement = { true, DesignedWindowBounds };
        stored.columns = { 300, 200, 60 };
        stored.openWithBrowser = u"/usr/bin/firefox"_s;
        const QByteArray file = "[Program]\nShow=2\nClDescr=300\nClLink=200\nClState=60\n"
                                "[Browser]\nOpenWithBrowser=/usr/bin/firefox\n";
        QTest::newRow("stored settings") << true << file << stored;
        // Nothing is read from a folder that cannot be written: the designed window, 213,108 650 x 592.
        QTest::newRow("read-only folder") << false << file << StartupSettings {};
    }
    void startupFromFolder()
    {
        QFETCH(bool, writable);
        QFETCH(QByteArray, settings);
        QFETCH(StartupSettings, expected);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        if (!settings.isEmpty())
            QVERIFY(testfiles::writeFile(settingsFilePath(dir.path()), settings));
        FakeFolderProbe probe;
        probe.setWritable(writable);

        QString readFailure;
        const StartupSettings read = loadStartupSettings(probe, ProgramFolder(dir.path()), OneScreen, &readFailure);
        QCOMPARE(read.placement, expected.placement);
        QCOMPARE(read.columns, expected.columns);
        QCOMPARE(read.openWithBrowser, expected.openWithBrowser);
        QCOMPARE(probe.probedFolders(), QStringList { dir.path() });
        QCOMPARE(readFailure, QString());
    }

    // A file that cannot be read gives the defaults and says why.
    void unreadableFileReadsAsDefaults()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(testfiles::writeFile(settingsFilePath(dir.path()), oversizedSettings()));
        FakeFolderProbe probe;
        QString readFailure;
        const StartupSettings read = loadStartupSettings(probe, ProgramFolder(dir.path()), OneScreen, &readFailure);
        QCOMPARE(read.placement.bounds, QRect(187, 88, 650, 550));
        QCOMPARE(readFailure, u"It is larger than 1 MB."_s);
    }

    void exitWrite_data()
    {
        QTest::addColumn<QByteArray>("before"); // empty: no file
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("no file: every key but HotKey1, in order")
            << QByteArray()
            << QByteArray("[Program]\nShow=2\nLeft=-8\nTop=12\nWidth=1000\nHeight=700\n"
                          "ClDescr=300\nClLink=250\nClState=60\n"
                          "\n[Browser]\nOpenWithBrowser=/usr/bin/firefox\n");
        QTest::newRow("HotKey1 and unknown keys kept")
            << QByteArray("; mine\n[Program]\nHotKey1=Ctrl+Alt+B\nWidth=1\nExtra=x\n\n[Mine]\nA=b\n")
            << QByteArray("; mine\n[Program]\nHotKey1=Ctrl+Alt+B\nWidth=1000\nExtra=x\nShow=2\nLeft=-8\n"
                          "Top=12\nHeight=700\nClDescr=300\nClLink=250\nClState=60\n\n[Mine]\nA=b\n"
                          "\n[Browser]\nOpenWithBrowser=/usr/bin/firefox\n");
    }
    void exitWrite()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = settingsFilePath(dir.path());
        if (!before.isEmpty())
            QVERIFY(testfiles::writeFile(path, before));

        ExitSettings exit;
        exit.show = WindowShow::Maximized;
        exit.bounds = QRect(-8, 12, 1000, 700);
        exit.columns = { 300, 250, 60 };
        exit.openWithBrowser = u"/usr/bin/firefox"_s;
        QString error;
        QCOMPARE(saveExitSettings(ProgramFolder(dir.path()), exit, &error), SettingsSave::Saved);
        QCOMPARE(testfiles::readFile(path), after);

        // What was written reads back.
        IniFile ini(path);
        QVERIFY(ini.load());
        const StartupSettings read = readStartupSettings(ini, OneScreen);
        QCOMPARE(read.placement.maximized, true);
        QCOMPARE(read.columns, exit.columns);
        QCOMPARE(read.openWithBrowser, exit.openWithBrowser);
    }

    // The kept copies the user has not been told of: written as they are, read back only as names of
    // kept copies in the program folder, and gone from the file once there are none.
    void keptBookmarkFiles()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = settingsFilePath(dir.path());
        ExitSettings exit;
        exit.keptBookmarkFiles = { u"Bookmarks.lkb.bad"_s, u"Bookmarks.lkb.bad.3"_s };
        QCOMPARE(saveExitSettings(ProgramFolder(dir.path()), exit), SettingsSave::Saved);
        IniFile ini(path);
        QVERIFY(ini.load());
        QCOMPARE(ini.readString(SettingsKey::ProgramSection, SettingsKey::KeptBookmarkFiles, {}),
                 u"Bookmarks.lkb.bad;Bookmarks.lkb.bad.3"_s);
        QCOMPARE(readStartupSettings(ini, OneScreen).keptBookmarkFiles, exit.keptBookmarkFiles);

        // Names edited in by hand that no kept copy has are not taken.
        ini.writeString(SettingsKey::ProgramSection, SettingsKey::KeptBookmarkFiles,
                        u"../Bookmarks.lkb.bad;Settings.ini;;Bookmarks.lkb.bad.2;Bookmarks.lkb.bad.2"_s);
        QCOMPARE(readStartupSettings(ini, OneScreen).keptBookmarkFiles,
                 QStringList { u"Bookmarks.lkb.bad.2"_s });

        QCOMPARE(saveExitSettings(ProgramFolder(dir.path()), ExitSettings {}), SettingsSave::Saved);
        QVERIFY(!testfiles::readFile(path).contains("KeptBookmarkFiles"));
    }

    // A disk that is full for the settings: the reason names the file, and the file stays as it was.
    void exitWriteOnAFullDiskNamesTheFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = settingsFilePath(dir.path());
        const QByteArray former = "[Program]\n" + QByteArray(2000, ';') + '\n';
        QVERIFY(testfiles::writeFile(path, former));
        QString error;
        {
            const testfiles::FileSizeLimit limit(1000);
            QVERIFY(limit.isSet());
            QCOMPARE(saveExitSettings(ProgramFolder(dir.path()), ExitSettings {}, &error), SettingsSave::WriteFailed);
        }
        QVERIFY2(error.startsWith(u"Cannot create file \"%1\". "_s.arg(QDir::toNativeSeparators(path))),
                 qPrintable(error));
        QVERIFY(error.size() > path.size() + 24); // the system's reason follows
        QCOMPARE(testfiles::readFile(path), former);
    }

    void exitWriteNeverReplacesAnUnreadableFile_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::addColumn<QByteArray>("content");
        // A folder is unreadable whoever runs the test.
        QTest::newRow("a folder in its place") << true << QByteArray();
        QTest::newRow("larger than 1 MB") << false << oversizedSettings();
    }
    void exitWriteNeverReplacesAnUnreadableFile()
    {
        QFETCH(bool, folder);
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = settingsFilePath(dir.path());
        QVERIFY(folder ? QDir(dir.path()).mkdir(SettingsFileName) : testfiles::writeFile(path, content));
        QString error;
        QCOMPARE(saveExitSettings(ProgramFolder(dir.path()), ExitSettings {}, &error), SettingsSave::Unreadable);
        QVERIFY(!error.isEmpty());
        QCOMPARE(QFileInfo(path).isDir(), folder);
        if (!folder)
            QCOMPARE(testfiles::readFile(path), content);
    }
};

QTEST_GUILESS_MAIN(TestProgramSettings)
#include "tst_programsettings.moc"
