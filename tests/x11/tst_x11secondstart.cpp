// The real program started twice on one program folder, on a real X server with a window manager, the
// second time without the first one's runtime folder: the first window comes back from minimized, and
// it stays the only one.

#include "tests/common/windowmanager.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using namespace Qt::StringLiterals;

namespace {

const QString Title = u"^Vellumite Portable Edition$"_s;

// What xdotool prints, one line an item.
QStringList xdotoolLines(const QStringList &arguments)
{
    QProcess process;
    process.start(u"xdotool"_s, arguments);
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

QStringList visibleWindows()
{
    return xdotoolLines({ u"search"_s, u"--onlyvisible"_s, u"--name"_s, Title });
}

} // namespace

class TestX11SecondStart : public WindowManagedTest
{
    Q_OBJECT

public:
    TestX11SecondStart()
        : WindowManagedTest({ u"xdotool"_s })
    { }

private slots:
    void secondStartOnTheFolderRestoresTheFirstWindow()
    {
        QTemporaryDir folder;
        QTemporaryDir runtime;
        QVERIFY(folder.isValid() && runtime.isValid());
        const QString program = folder.filePath(u"PortableVellumite"_s);
        QVERIFY(QFile::copy(QStringLiteral(VELLUMITE_PROGRAM), program));
        QProcess first;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_RUNTIME_DIR"_s, runtime.path());
        first.setProcessEnvironment(environment);
        first.start(program, {});
        QVERIFY(first.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(visibleWindows().size(), 1, 10000);
        const QString window = visibleWindows().constFirst();
        xdotool({ u"windowminimize"_s, u"--sync"_s, window });
        QTRY_COMPARE(visibleWindows().size(), 0);

        QProcess second;
        environment.remove(u"XDG_RUNTIME_DIR"_s);
        second.setProcessEnvironment(environment);
        second.start(program, {});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(visibleWindows(), QStringList { window }, 5000);
        QCOMPARE(first.state(), QProcess::Running);

        ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(first.exitCode(), 0);
        QVERIFY(QFile::exists(folder.filePath(u"Settings.ini"_s)));
    }
};

QTEST_GUILESS_MAIN(TestX11SecondStart)
#include "tst_x11secondstart.moc"
