#include "base/inifile.h"
#include "main/core/bookmarkfile.h"
#include "main/core/programsettings.h"
#include "tests/common/oddfolders.h"
#include "tests/common/privatexserver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>

// Starts copies of the built program, each in a program folder of its own, sharing one runtime folder
// (where the single-instance lock and socket live). They run without a display, but on an X server of
// the test's own where the test must see a message come up.
class TestProgramProcess : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_runtime;
    PrivateXServer m_xServer;
    // Why no message window can be seen, or empty.
    QString m_xServerMissing;

    QString installCopy(const QTemporaryDir &folder)
    {
        const QString program = QDir(folder.path()).filePath(QStringLiteral("PortableVellumite"));
        if (!QFile::copy(QString::fromUtf8(VELLUMITE_PROGRAM), program))
            return {};
        return program;
    }

    enum class Runtime { Shared, Unset };
    enum class Display { None, PrivateX };

    void start(QProcess &process, const QString &program, bool ignoreHangUp = false,
               Runtime runtime = Runtime::Shared, Display display = Display::None)
    {
        // As nohup starts it.
        if (ignoreHangUp)
            process.setChildProcessModifier([] { ::signal(SIGHUP, SIG_IGN); });
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        if (runtime == Runtime::Shared)
            env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        else
            env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        if (display == Display::PrivateX)
            env = m_xServer.clientEnvironment(env);
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, {});
    }

    // Starts the program, waits until its start-up message is up and ends it by a termination signal:
    // true when it was still running then and ended normally, with exit code 0, within 2 s.
    bool terminateDuringTheStartupMessage(const QString &program)
    {
        QProcess process;
        start(process, program, false, Runtime::Shared, Display::PrivateX);
        if (!process.waitForStarted() || !waitForWindow(process, QStringLiteral("DIALOG")))
            return false;
        QElapsedTimer ending;
        ending.start();
        ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
        const bool ended = process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
        if (ended && ending.elapsed() > 2000)
            qWarning("the program took %lld ms to end", qlonglong(ending.elapsed()));
        return ended && ending.elapsed() <= 2000;
    }

    // Waits until the program started on the private X server shows a window of `type` (see
    // PrivateXServer::visibleWindows); false, the program ended, when it ends first or none comes.
    bool waitForWindow(QProcess &process, const QString &type)
    {
        QDeadlineTimer deadline(20000);
        while (m_xServer.visibleWindows(vellumite::ApplicationTitle, type).isEmpty()
               && process.state() == QProcess::Running && !deadline.hasExpired())
            QTest::qWait(50);
        if (process.state() != QProcess::Running) {
            qWarning("the program ended before its window came up");
            return false;
        }
        if (deadline.hasExpired()) {
            qWarning("no window of type %s came up", qPrintable(type));
            process.kill();
            process.waitForFinished();
            return false;
        }
        return true;
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
        m_xServerMissing = m_xServer.start({ QStringLiteral("xdotool"), QStringLiteral("xprop") });
    }
    void cleanupTestCase() { m_xServer.stop(); }

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

        if (!m_xServerMissing.isEmpty())
            QSKIP(qPrintable(m_xServerMissing));
        QVERIFY(terminateDuringTheStartupMessage(program));
        QFile kept(bookmarks + QStringLiteral(".bad"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), file);
        vellumite::BookmarkTree saved;
        QCOMPARE(vellumite::BookmarkFile::loadFromFile(saved, bookmarks), QString());
        // The user never read the message: the next start tells of the copy.
        vellumite::IniFile settings(QDir(folder.path()).filePath(QStringLiteral("Settings.ini")));
        QVERIFY(settings.load());
        QCOMPARE(settings.readString(QStringLiteral("Program"), QStringLiteral("KeptBookmarkFiles"), {}),
                 QStringLiteral("Bookmarks.lkb.bad"));
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

        if (!m_xServerMissing.isEmpty())
            QSKIP(qPrintable(m_xServerMissing));
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

        if (!m_xServerMissing.isEmpty())
            QSKIP(qPrintable(m_xServerMissing));
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

        if (!m_xServerMissing.isEmpty())
            QSKIP(qPrintable(m_xServerMissing));
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

    // A program folder whose path no text can carry: a name that is not UTF-8, or a path longer than
    // PATH_MAX, the program started there as ./PortableVellumite. It loads its bookmarks and saves
    // them and its settings there.
    void programFolderThatNoTextPathReaches_data()
    {
        QTest::addColumn<bool>("overPathMax");
        QTest::newRow("name not UTF-8") << false;
        QTest::newRow("path over PATH_MAX") << true;
    }
    void programFolderThatNoTextPathReaches()
    {
        QFETCH(bool, overPathMax);
        if (!m_xServerMissing.isEmpty())
            QSKIP(qPrintable(m_xServerMissing));
        QTemporaryDir base;
        QVERIFY(base.isValid());
        const QByteArray name = overPathMax ? QByteArray(200, 'd') : vellumite::testfiles::Latin1FolderName;
        const int depth = overPathMax ? 21 : 1;
        const int baseFd = ::open(QFile::encodeName(base.path()).constData(), O_RDONLY | O_DIRECTORY);
        QVERIFY(baseFd >= 0);
        const int folder = vellumite::testfiles::makeFolderChain(baseFd, name, depth);
        // The temporary folder cannot remove what its path does not reach.
        const auto removeFolder = qScopeGuard([baseFd, folder, name] {
            ::close(folder);
            vellumite::testfiles::removeAllAt(baseFd, name.constData());
            ::close(baseFd);
        });
        QVERIFY(folder >= 0);
        const QString fixture = QStringLiteral(VELLUMITE_TEST_DATA "/nested-expanded-selected.lkb");
        QVERIFY(vellumite::testfiles::copyFileInto(QString::fromUtf8(VELLUMITE_PROGRAM), folder,
                                                   "PortableVellumite", 0755));
        QVERIFY(vellumite::testfiles::copyFileInto(fixture, folder, "Bookmarks.lkb", 0644));
        const QByteArray path
            = vellumite::testfiles::folderChainPath(QFile::encodeName(base.path()), name, depth);

        QProcess process;
        process.setChildProcessModifier([path] {
            if (!vellumite::testfiles::changeFolderByParts(path))
                ::_exit(70);
        });
        start(process, QStringLiteral("./PortableVellumite"), false, Runtime::Shared, Display::PrivateX);
        QVERIFY(process.waitForStarted());
        // The window comes up with no message before it: the folder can be written.
        QVERIFY(waitForWindow(process, QStringLiteral("NORMAL")));
        ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), 0);

        const QByteArray settings = vellumite::testfiles::readFileIn(folder, "Settings.ini");
        QVERIFY2(settings.contains("[Program]"), "the settings are saved in the folder");
        vellumite::BookmarkTree original;
        QCOMPARE(vellumite::BookmarkFile::loadFromFile(original, fixture), QString());
        vellumite::BookmarkTree saved;
        QCOMPARE(
            vellumite::BookmarkFile::load(saved, vellumite::testfiles::readFileIn(folder, "Bookmarks.lkb")),
            QString());
        QCOMPARE(saved.totalCount(), original.totalCount());
        QVERIFY(::faccessat(folder, "Bookmarks.lkb.bad", F_OK, 0) != 0);
    }

    // Started as nohup starts it: the hang-up of the terminal does not end the program, a termination
    // request still saves and ends it.
    void ignoredHangUpStaysIgnored()
    {
        QTemporaryDir folder;
        const QString program = installCopy(folder);
        QVERIFY(!program.isEmpty());
        QProcess process;
        start(process, program, true);
        QVERIFY(process.waitForStarted());
        QVERIFY(waitForFile(QDir(folder.path()).filePath(QStringLiteral("Bookmarks.lkb"))));
        ::kill(static_cast<pid_t>(process.processId()), SIGHUP);
        QVERIFY(!process.waitForFinished(1000));
        QVERIFY(!QFile::exists(QDir(folder.path()).filePath(QStringLiteral("Settings.ini"))));

        ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), 0);
        QVERIFY(QFile::exists(QDir(folder.path()).filePath(QStringLiteral("Settings.ini"))));
    }

    // One program folder, one process: whether both starts come at the same moment (a double
    // double-click) or one of them misses the other's runtime folder, the later one hands over to the
    // first and ends, and the first runs on.
    void twoStartsOnOneFolderGiveOneProgram_data()
    {
        QTest::addColumn<bool>("sameMoment");
        for (int round = 1; round <= 5; ++round)
            QTest::addRow("at the same moment, %d of 5", round) << true;
        QTest::newRow("runtime folder set and unset") << false;
    }
    void twoStartsOnOneFolderGiveOneProgram()
    {
        QFETCH(bool, sameMoment);
        QTemporaryDir folder;
        const QString program = installCopy(folder);
        QVERIFY(!program.isEmpty());
        QProcess first;
        QProcess second;
        start(first, program);
        if (!sameMoment) {
            QVERIFY(first.waitForStarted());
            QVERIFY(waitForFile(QDir(folder.path()).filePath(QStringLiteral("Bookmarks.lkb"))));
        }
        start(second, program, false, sameMoment ? Runtime::Shared : Runtime::Unset);
        QVERIFY(first.waitForStarted() && second.waitForStarted());

        // The one that lost hands over and ends; the other runs on.
        QDeadlineTimer deadline(15000);
        while (first.state() == QProcess::Running && second.state() == QProcess::Running
               && !deadline.hasExpired())
            QTest::qWait(20);
        QProcess &ended = first.state() == QProcess::Running ? second : first;
        QProcess &running = &ended == &first ? second : first;
        QCOMPARE(ended.state(), QProcess::NotRunning);
        QCOMPARE(ended.exitCode(), 0);
        QVERIFY(!running.waitForFinished(1000));

        ::kill(static_cast<pid_t>(running.processId()), SIGTERM);
        QVERIFY(running.waitForFinished(10000));
        QCOMPARE(running.exitCode(), 0);
        // The lock goes with its holder.
        QVERIFY(!QFile::exists(QDir(folder.path()).filePath(QStringLiteral("Bookmarks.lkb.lock"))));
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
