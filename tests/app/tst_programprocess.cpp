#include "base/inifile.h"
#include "main/core/bookmarkfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/stat.h>

// Starts copies of the built program, each in a program folder of its own, sharing one runtime folder
// (where the single-instance lock and socket live).
class TestProgramProcess : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_runtime;

    QString installCopy(const QTemporaryDir &folder)
    {
        const QString program = QDir(folder.path()).filePath(QStringLiteral("PortableVellumite"));
        if (!QFile::copy(QString::fromUtf8(VELLUMITE_PROGRAM), program))
            return {};
        return program;
    }

    void start(QProcess &process, const QString &program)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, {});
    }

    // Starts the program, lets its start-up message come up and ends it by a termination signal: true
    // when it was still running then and ended normally, with exit code 0.
    bool terminateDuringTheStartupMessage(const QString &program)
    {
        QProcess process;
        start(process, program);
        if (!process.waitForStarted())
            return false;
        QTest::qWait(1500); // the message box is up
        if (process.state() != QProcess::Running) {
            qWarning("the program ended before the termination signal");
            return false;
        }
        ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
        return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
    }

    static bool waitForFile(const QString &path, int timeoutMs = 10000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!QFile::exists(path) && !deadline.hasExpired())
            QTest::qWait(20);
        return QFile::exists(path);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        QFile::setPermissions(m_runtime.path(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    void terminationSignalSavesAndExits()
    {
        QTemporaryDir folder;
        const QString program = installCopy(folder);
        QVERIFY(!program.isEmpty());
        QProcess process;
        start(process, program);
        QVERIFY(process.waitForStarted());
        QVERIFY(waitForFile(QDir(folder.path()).filePath(QStringLiteral("Bookmarks.lkb"))));
        QVERIFY(!QFile::exists(QDir(folder.path()).filePath(QStringLiteral("Settings.ini"))));

        ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        QVERIFY(QFile::exists(QDir(folder.path()).filePath(QStringLiteral("Settings.ini"))));
    }

    // A file that fails to load shows its message at start-up; a termination request while that box is
    // up saves at once (the file kept aside first, no box before or between) and ends the program.
    void terminationDuringAStartupMessageSavesAndExits_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("zero-byte file") << QByteArray();
        QTest::newRow("truncated file") << QByteArray::fromHex("4520560054000200200046200100000001000000");
        QFile lowered(QStringLiteral(VELLUMITE_TEST_DATA "/lowered-inner-child-count.lkb"));
        QVERIFY(lowered.open(QIODevice::ReadOnly));
        QTest::newRow("lowered inner child count") << lowered.readAll();
    }
    void terminationDuringAStartupMessageSavesAndExits()
    {
        QFETCH(QByteArray, file);
        QTemporaryDir folder;
        const QString program = installCopy(folder);
        QVERIFY(!program.isEmpty());
        const QString bookmarks = QDir(folder.path()).filePath(QStringLiteral("Bookmarks.lkb"));
        QFile damaged(bookmarks);
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(file);
        damaged.close();

        QVERIFY(terminateDuringTheStartupMessage(program));
        QFile kept(bookmarks + QStringLiteral(".bad"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), file);
        QVERIFY(QFileInfo(bookmarks).size() > 100);
        QVERIFY(QFile::exists(QDir(folder.path()).filePath(QStringLiteral("Settings.ini"))));
    }

    // A settings file that cannot be read is told after the tree is loaded: a termination while that
    // message is up saves the loaded tree, and leaves the settings file as it was.
    void terminationDuringTheSettingsMessageSavesTheLoadedTree()
    {
        QTemporaryDir folder;
        const QString program = installCopy(folder);
        QVERIFY(!program.isEmpty());
        const QString bookmarks = QDir(folder.path()).filePath(QStringLiteral("Bookmarks.lkb"));
        QVERIFY(QFile::copy(QStringLiteral(VELLUMITE_TEST_DATA "/nested-expanded-selected.lkb"), bookmarks));
        const QString settings = QDir(folder.path()).filePath(QStringLiteral("Settings.ini"));
        QByteArray oversized = "[Program]\nWidth=700\nHotKey1=Ctrl+Alt+M\n";
        oversized += QByteArray(vellumite::IniFile::MaximumSize, ';');
        QFile file(settings);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(oversized);
        file.close();

        QVERIFY(terminateDuringTheStartupMessage(program));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll() == oversized);
        vellumite::BookmarkTree original;
        QCOMPARE(vellumite::BookmarkFile::loadFromFile(
                     original, QStringLiteral(VELLUMITE_TEST_DATA "/nested-expanded-selected.lkb")),
                 QString());
        vellumite::BookmarkTree saved;
        QCOMPARE(vellumite::BookmarkFile::loadFromFile(saved, bookmarks), QString());
        QCOMPARE(saved.totalCount(), original.totalCount());
    }

    // A pipe named Bookmarks.lkb would block the start for good: it is refused, kept aside at the exit,
    // and the tree is saved in its place.
    void pipeInPlaceOfTheFileDoesNotHangTheStart()
    {
        QTemporaryDir folder;
        const QString program = installCopy(folder);
        QVERIFY(!program.isEmpty());
        const QString bookmarks = QDir(folder.path()).filePath(QStringLiteral("Bookmarks.lkb"));
        QCOMPARE(::mkfifo(QFile::encodeName(bookmarks).constData(), 0600), 0);

        QVERIFY(terminateDuringTheStartupMessage(program));
        QVERIFY(QFileInfo(bookmarks + QStringLiteral(".bad")).exists());
        QVERIFY(QFileInfo(bookmarks).isFile());
        QVERIFY(QFileInfo(bookmarks).size() > 100);
    }

    // A pipe named Settings.ini would block the start for good: it is told as unreadable, the window
    // shows, a termination ends the program, and the pipe is still a pipe while the tree was saved.
    void pipeInPlaceOfTheSettingsFileIsToldAndLeftAlone()
    {
        QTemporaryDir folder;
        const QString program = installCopy(folder);
        QVERIFY(!program.isEmpty());
        const QString settings = QDir(folder.path()).filePath(QStringLiteral("Settings.ini"));
        QCOMPARE(::mkfifo(QFile::encodeName(settings).constData(), 0600), 0);

        QVERIFY(terminateDuringTheStartupMessage(program));
        struct stat after;
        QCOMPARE(::lstat(QFile::encodeName(settings).constData(), &after), 0);
        QVERIFY(S_ISFIFO(after.st_mode));
        vellumite::BookmarkTree saved;
        QCOMPARE(vellumite::BookmarkFile::loadFromFile(
                     saved, QDir(folder.path()).filePath(QStringLiteral("Bookmarks.lkb"))),
                 QString());
        QCOMPARE(saved.totalCount(), 1);
    }

    void secondStartHandsOverAndEnds()
    {
        QTemporaryDir firstFolder;
        QTemporaryDir secondFolder;
        QProcess first;
        start(first, installCopy(firstFolder));
        QVERIFY(first.waitForStarted());
        QVERIFY(waitForFile(QDir(firstFolder.path()).filePath(QStringLiteral("Bookmarks.lkb"))));

        // The first instance listens once its window exists; a second start then ends at once.
        QProcess second;
        QDeadlineTimer deadline(10000);
        bool handedOver = false;
        while (!handedOver && !deadline.hasExpired()) {
            start(second, installCopy(secondFolder));
            QVERIFY(second.waitForFinished(10000));
            handedOver = second.exitCode() == 0
                && !QFile::exists(QDir(secondFolder.path()).filePath(QStringLiteral("Bookmarks.lkb")));
            QFile::remove(QDir(secondFolder.path()).filePath(QStringLiteral("PortableVellumite")));
        }
        QVERIFY(handedOver);
        QCOMPARE(first.state(), QProcess::Running);

        ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(first.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestProgramProcess)
#include "tst_programprocess.moc"
