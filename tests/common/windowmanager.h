#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTest>

// openbox on the test's X display, for the tests where a real window manager decides framing,
// stacking and activation, as it does for a user.
class TestWindowManager
{
public:
    ~TestWindowManager() { stop(); }

    // Starts openbox once the tools are found; `neededTools` are the other programs the test runs.
    // Empty when it runs, else what is missing, for the test to skip with.
    QString start(const QStringList &neededTools = {})
    {
        for (const QString &tool : QStringList { QStringLiteral("openbox") } + neededTools) {
            if (QStandardPaths::findExecutable(tool).isEmpty())
                return tool + QStringLiteral(" is needed");
        }
        m_process.start(QStringLiteral("openbox"), { QStringLiteral("--sm-disable") });
        if (!m_process.waitForStarted())
            return QStringLiteral("openbox did not start");
        // Until it has taken over the display, new windows would be mapped unmanaged.
        QTest::qWait(500);
        return {};
    }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        m_process.waitForFinished();
    }

private:
    QProcess m_process;
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
