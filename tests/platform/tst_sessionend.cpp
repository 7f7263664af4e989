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

    void repeatedSignalsEndOnce()
    {
        TerminationSignals termination;
        QVERIFY(termination.isActive());
        QSignalSpy spy(&termination, &SessionEnd::endRequested);
        std::raise(SIGTERM);
        std::raise(SIGINT);
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<SessionEnd::Reason>(), SessionEnd::Reason::TerminationRequested);
        std::raise(SIGHUP);
        QTest::qWait(100);
        QCOMPARE(spy.count(), 1);
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
