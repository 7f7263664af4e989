#include "platform/linux/localsingleinstance.h"
#include "tests/common/helperlines.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace vellumite;
using namespace Qt::StringLiterals;
using vellumite::testfiles::waitForLine;

class TestSingleInstance : public QObject
{
    Q_OBJECT

private:
    struct Helper
    {
        std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
        ~Helper()
        {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished();
            }
        }
    };

    // Starts an instance that becomes the first; true once it says it is ready.
    static bool startFirst(Helper &helper, const QString &folder, const QString &mode)
    {
        helper.process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        helper.process->start(QStringLiteral(SINGLEINSTANCE_HELPER), { folder, mode });
        return helper.process->waitForStarted() && waitForLine(*helper.process, "ready");
    }
    // Runs a later start to its end; returns its exit code, -1 when it hangs.
    static int laterStart(const QString &folder, qint64 *elapsedMs)
    {
        QElapsedTimer timer;
        timer.start();
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(SINGLEINSTANCE_HELPER), { folder, u"start"_s });
        if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit)
            return -1;
        *elapsedMs = timer.elapsed();
        return process.exitCode();
    }

private slots:
    void laterStartsHandOverToTheFirst()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        Helper first;
        QVERIFY(startFirst(first, dir.path(), u"start"_s));

        // A first instance that has run for an hour is still the first.
        const QString lock = LocalSingleInstance(u"Vellumite Portable Edition"_s, dir.path()).lockFilePath();
        QFile lockFile(lock);
        QVERIFY(lockFile.open(QIODevice::ReadWrite));
        QVERIFY(lockFile.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                     QFileDevice::FileModificationTime));
        lockFile.close();

        for (int round = 0; round < 2; ++round) {
            qint64 elapsed = 0;
            QCOMPARE(laterStart(dir.path(), &elapsed), 0);
            QVERIFY2(elapsed < 3000, "the later start must end at once");
            QVERIFY(waitForLine(*first.process, "show"));
        }
        QCOMPARE(first.process->state(), QProcess::Running);
    }

    void staleLockOfAKilledFirstDoesNotBlock()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        {
            Helper killed;
            QVERIFY(startFirst(killed, dir.path(), u"start"_s));
            killed.process->kill();
            QVERIFY(killed.process->waitForFinished());
        }
        const LocalSingleInstance probe(u"Vellumite Portable Edition"_s, dir.path());
        QVERIFY2(QFile::exists(probe.lockFilePath()), "a killed first leaves its lock behind");
        QVERIFY(QFile::exists(probe.serverPath()));

        Helper next;
        QVERIFY2(startFirst(next, dir.path(), u"start"_s), "the next start becomes the first");
        qint64 elapsed = 0;
        QCOMPARE(laterStart(dir.path(), &elapsed), 0);
        QVERIFY(waitForLine(*next.process, "show"));
    }

    void firstNotYetListeningLetsTheLaterOneStart()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        Helper first;
        QVERIFY(startFirst(first, dir.path(), u"start-not-listening"_s));
        qint64 elapsed = 0;
        QCOMPARE(laterStart(dir.path(), &elapsed), 2);
        QVERIFY2(elapsed < 3000, "no first answering must not hold up the start");
    }

    void onlyTheFirstListens()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        LocalSingleInstance first(u"Vellumite Portable Edition"_s, dir.path());
        LocalSingleInstance second(u"Vellumite Portable Edition"_s, dir.path());
        LocalSingleInstance other(u"Another Program"_s, dir.path());
        QVERIFY(first.tryBecomeFirst());
        QVERIFY(!second.tryBecomeFirst());
        QVERIFY(other.tryBecomeFirst());
        QVERIFY(!second.startListening());
        QVERIFY(first.startListening());
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
