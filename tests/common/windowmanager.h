#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTest>
#include <utility>

// Base of a test class whose cases run under openbox on the test's X display, where a real window
// manager decides framing, stacking and activation, as it does for a user. openbox starts before the
// first case; every case is skipped when openbox or one of `neededTools`, the other programs the test
// runs, is missing.
class WindowManagedTest : public QObject
{
    Q_OBJECT

protected:
    explicit WindowManagedTest(QStringList neededTools = {})
        : m_neededTools(std::move(neededTools))
    { }
    ~WindowManagedTest() override { stopWindowManager(); }

private slots:
    void initTestCase()
    {
        for (const QString &tool : QStringList { QStringLiteral("openbox") } + m_neededTools) {
            if (QStandardPaths::findExecutable(tool).isEmpty())
                QSKIP(qPrintable(tool + QStringLiteral(" is needed")));
        }
        m_windowManager.start(QStringLiteral("openbox"), { QStringLiteral("--sm-disable") });
        if (!m_windowManager.waitForStarted())
            QSKIP("openbox did not start");
        // Until it has taken over the display, new windows would be mapped unmanaged.
        QTest::qWait(500);
    }

    void cleanupTestCase() { stopWindowManager(); }

private:
    void stopWindowManager()
    {
        if (m_windowManager.state() == QProcess::NotRunning)
            return;
        m_windowManager.terminate();
        m_windowManager.waitForFinished();
    }

    QStringList m_neededTools;
    QProcess m_windowManager;
};

// Runs xdotool to its end, as a user's keys and mouse through XTest.
inline void xdotool(const QStringList &arguments)
{
    QProcess::execute(QStringLiteral("xdotool"), arguments);
}

// Runs xdotool to its end while this program goes on handling its events: a drag that xdotool makes
// over this program's windows needs their answers as it goes. False when it failed or took over 20 s.
inline bool xdotoolHandlingEvents(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    return process.waitForStarted()
        && QTest::qWaitFor([&process] { return process.state() == QProcess::NotRunning; }, 20'000)
        && process.exitCode() == 0;
}
