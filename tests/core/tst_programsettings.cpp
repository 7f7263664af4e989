#include "main/core/programsettings.h"
#include "platform/fakes/fakefolderprobe.h"
#include "tests/common/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vellumite;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(vellumite::ColumnWidths)
Q_DECLARE_METATYPE(vellumite::StartupSettings)

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
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<bool>("maximized");
        QTest::addColumn<QRect>("bounds");
        // Left and Top default to the designed 650 x 592 centred; a half rounds to the even neighbour.
        QTest::newRow("1024 x 768") << QByteArray() << QSize(1024, 768) << false << QRect(187, 88, 650, 550);
        QTest::newRow("1365 wide: 357.5 -> 358")
            << QByteArray() << QSize(1365, 768) << false << QRect(358, 88, 650, 550);
        QTest::newRow("1367 wide: 358.5 -> 358")
            << QByteArray() << QSize(1367, 769) << false << QRect(358, 88, 650, 550);
        QTest::newRow("1920 x 1080") << QByteArray() << QSize(1920, 1080) << false
                                     << QRect(635, 244, 650, 550);
        QTest::newRow("screen smaller than the window: -5.5 -> -6")
            << QByteArray() << QSize(639, 581) << false << QRect(-6, -6, 650, 550);
        QTest::newRow("stored bounds") << QByteArray("[Program]\nLeft=10\nTop=20\nWidth=800\nHeight=600\n")
                                       << QSize(1024, 768) << false << QRect(10, 20, 800, 600);
        QTest::newRow("Width 0x2BC") << QByteArray("[Program]\nWidth=0x2BC\n") << QSize(1024, 768) << false
                                     << QRect(187, 88, 700, 550);
        QTest::newRow("Width abc") << QByteArray("[Program]\nWidth=abc\n") << QSize(1024, 768) << false
                                   << QRect(187, 88, 650, 550);
        QTest::newRow("Show=1 opens normal at the stored bounds")
            << QByteArray("[Program]\nShow=1\nLeft=10\nTop=20\nWidth=800\nHeight=600\n") << QSize(1024, 768)
            << false << QRect(10, 20, 800, 600);
        QTest::newRow("Show=7 counts as normal") << QByteArray("[Program]\nShow=7\nLeft=10\n")
                                                 << QSize(1024, 768) << false << QRect(10, 88, 650, 550);
        QTest::newRow("Show=2 skips the bounds")
            << QByteArray("[Program]\nShow=2\nLeft=10\nTop=20\nWidth=800\nHeight=600\n") << QSize(1024, 768)
            << true << DesignedWindowBounds;
        // Every number is kept where a window can be, before any sum of them is taken.
        QTest::newRow("extreme values are clamped")
            << QByteArray("[Program]\nLeft=2147483647\nTop=-2147483648\nWidth=2147483647\nHeight=-7\n")
            << QSize(1024, 768) << false << QRect(32767, -32767, 32767, 0);
        QTest::newRow("Show=0x2 is 2 as well") << QByteArray("[Program]\nShow=0x2\nLeft=10\n")
                                               << QSize(1024, 768) << true << DesignedWindowBounds;
    }
    void placement()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QSize, screen);
        QFETCH(bool, maximized);
        QFETCH(QRect, bounds);
        const WindowPlacement placement = readPlacement(parsed(settings), screen);
        QCOMPARE(placement.maximized, maximized);
        QCOMPARE(placement.bounds, bounds);
    }

    void minimumWindowSize_data()
    {
        QTest::addColumn<QSize>("requested");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("Height 300") << QSize(650, 300) << QSize(650, 580);
        QTest::newRow("default Height 550") << QSize(650, 550) << QSize(650, 580);
        QTest::newRow("narrow") << QSize(100, 700) << QSize(650, 700);
        QTest::newRow("negative") << QSize(-1, -1) << QSize(650, 580);
        QTest::newRow("larger stays") << QSize(900, 700) << QSize(900, 700);
    }
    void minimumWindowSize()
    {
        QFETCH(QSize, requested);
        QFETCH(QSize, expected);
        QCOMPARE(applyMinimumWindowSize(requested), expected);
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

        const StartupSettings read = loadStartupSettings(probe, dir.path(), QSize(1024, 768));
        QCOMPARE(read.placement, expected.placement);
        QCOMPARE(read.columns, expected.columns);
        QCOMPARE(read.openWithBrowser, expected.openWithBrowser);
        QCOMPARE(probe.probedFolders(), QStringList { dir.path() });
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
        QVERIFY(saveExitSettings(dir.path(), exit, &error));
        QCOMPARE(testfiles::readFile(path), after);

        // What was written reads back.
        IniFile ini(path);
        QVERIFY(ini.load());
        const StartupSettings read = readStartupSettings(ini, QSize(1024, 768));
        QCOMPARE(read.placement.maximized, true);
        QCOMPARE(read.columns, exit.columns);
        QCOMPARE(read.openWithBrowser, exit.openWithBrowser);
    }

    void exitWriteNeverReplacesAnUnreadableFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkdir(SettingsFileName)); // unreadable, whoever runs the test
        QString error;
        QVERIFY(!saveExitSettings(dir.path(), ExitSettings {}, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(QFileInfo(settingsFilePath(dir.path())).isDir());
    }
};

QTEST_GUILESS_MAIN(TestProgramSettings)
#include "tst_programsettings.moc"
