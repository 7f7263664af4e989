#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

// An Xvfb server of the test's own, for the programs it starts when it must see their windows come up.
// The server picks a free display itself (-displayfd), so tests running at the same time never share one.
class PrivateXServer
{
public:
    ~PrivateXServer() { stop(); }

    // Empty when the server runs, else why it does not, for the test to skip with. `neededTools` are the
    // X clients the test runs against it.
    QString start(const QStringList &neededTools = {})
    {
        for (const QString &tool : QStringList { QStringLiteral("Xvfb") } + neededTools) {
            if (QStandardPaths::findExecutable(tool).isEmpty())
                return tool + QStringLiteral(" is needed");
        }
        // No reset when the last client leaves: the test's own look-ups come and go while the program it
        // started may still be connecting.
        m_server.start(QStringLiteral("Xvfb"),
                       { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                         QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                         QStringLiteral("tcp"), QStringLiteral("-noreset") });
        if (!m_server.waitForStarted())
            return QStringLiteral("Xvfb did not start");
        // The display number comes once the server accepts clients.
        const QDeadlineTimer deadline(20000);
        while (!m_server.canReadLine() && m_server.state() == QProcess::Running && !deadline.hasExpired())
            m_server.waitForReadyRead(int(deadline.remainingTime()));
        const QByteArray number = m_server.readLine().trimmed();
        if (number.isEmpty())
            return QStringLiteral("Xvfb gave no display");
        m_display = QStringLiteral(":") + QString::fromLatin1(number);
        return {};
    }

    void stop()
    {
        if (m_server.state() == QProcess::NotRunning)
            return;
        m_server.terminate();
        m_server.waitForFinished();
    }

    // `environment` for a client of this server.
    QProcessEnvironment clientEnvironment(QProcessEnvironment environment) const
    {
        environment.insert(QStringLiteral("DISPLAY"), m_display);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.remove(QStringLiteral("XAUTHORITY"));
        return environment;
    }

    // What an X client prints when run against this server, one line an item.
    QStringList clientLines(const QString &client, const QStringList &arguments) const
    {
        QProcess process;
        process.setProcessEnvironment(clientEnvironment(QProcessEnvironment::systemEnvironment()));
        process.start(client, arguments);
        process.waitForFinished();
        return QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    }

    // The shown windows titled `title` of the type named `type` (the last part of its _NET_WM_WINDOW_TYPE
    // atom: "DIALOG" for a message box, "NORMAL" for a main window).
    QStringList visibleWindows(const QString &title, const QString &type) const
    {
        QStringList shown;
        const QString pattern = QStringLiteral("^") + title + QStringLiteral("$");
        const QString atom = QStringLiteral("_NET_WM_WINDOW_TYPE_") + type;
        for (const QString &window : clientLines(QStringLiteral("xdotool"),
                                                 { QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                   QStringLiteral("--name"), pattern })) {
            const QStringList types
                = clientLines(QStringLiteral("xprop"),
                              { QStringLiteral("-id"), window, QStringLiteral("_NET_WM_WINDOW_TYPE") });
            // The first type is the one the window asks for; the others are fallbacks.
            if (!types.isEmpty() && types.constFirst().section(u'=', 1).section(u',', 0, 0).trimmed() == atom)
                shown << window;
        }
        return shown;
    }

private:
    QProcess m_server;
    QString m_display;
};
