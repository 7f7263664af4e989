#include "platform/linux/terminationsignals.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using namespace vellumite;
using namespace Qt::StringLiterals;

class TestSessionEnd : public QObject
{
    Q_OBJECT

private slots:
    void terminationSignalRunsTheHandler_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void terminationSignalRunsTheHandler()
    {
        QFETCH(int, signalNumber);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString marker = dir.filePath(u"ended"_s);

        QProcess helper;
        helper.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        helper.start(QStringLiteral(SESSIONEND_HELPER), { marker });
        QVERIFY(helper.waitForStarted());
        while (!helper.canReadLine())
            QVERIFY(helper.waitForReadyRead(5000));
        QCOMPARE(helper.readLine().trimmed(), QByteArray("ready"));

        QCOMPARE(::kill(static_cast<pid_t>(helper.processId()), signalNumber), 0);
        QVERIFY(helper.waitForFinished(5000));
        QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
        QCOMPARE(helper.exitCode(), 0);
        QFile file(marker);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("TerminationRequested\n"));
    }

    // Signals that arrive together, or while a request is handled, make one request; a signal after the
    // request was handled (its save failed, so the program runs on) is a new one.
    void signalsDuringARequestEndOnceAndLaterOnesAgain()
    {
        TerminationSignals termination;
        QVERIFY(termination.isActive());
        int requests = 0;
        connect(&termination, &SessionEnd::endRequested, this, [&requests] {
            ++requests;
            std::raise(SIGINT); // while the request is handled
            QTest::qWait(50);
        });
        std::raise(SIGTERM);
        std::raise(SIGINT);
        QTRY_COMPARE(requests, 1);
        QTest::qWait(100);
        QCOMPARE(requests, 1);
        std::raise(SIGHUP);
        QTRY_COMPARE(requests, 2);
    }

    // Started with nohup (SIGHUP ignored) or in a shell's background (SIGINT ignored), the program
    // outlives the terminal: what was ignored stays ignored, the other signals still end it, and the
    // ignoring is in place again afterwards.
    void signalsIgnoredAtTheStartStayIgnored()
    {
        struct sigaction ignore
        {
        };
        ignore.sa_handler = SIG_IGN;
        struct sigaction before
        {
        };
        QCOMPARE(sigaction(SIGHUP, &ignore, &before), 0);
        {
            TerminationSignals termination;
            QVERIFY(termination.isActive());
            int requests = 0;
            connect(&termination, &SessionEnd::endRequested, this, [&requests] { ++requests; });
            std::raise(SIGHUP);
            QTest::qWait(100);
            QCOMPARE(requests, 0);
            std::raise(SIGTERM);
            QTRY_COMPARE(requests, 1);
        }
        struct sigaction after
        {
        };
        QCOMPARE(sigaction(SIGHUP, &before, &after), 0);
        QVERIFY(after.sa_handler == SIG_IGN);
    }

    void handlersHaveOneOwner()
    {
        TerminationSignals first;
        QTest::ignoreMessage(QtWarningMsg, "Termination signals are already handled by another object");
        TerminationSignals second;
        QVERIFY(first.isActive());
        QVERIFY(!second.isActive());
    }
};

QTEST_GUILESS_MAIN(TestSessionEnd)
#include "tst_sessionend.moc"
