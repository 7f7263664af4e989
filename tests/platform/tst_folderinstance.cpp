#include "platform/linux/flockfolderinstance.h"
#include "tests/common/helperlines.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vellumite;
using namespace Qt::StringLiterals;
using vellumite::testfiles::waitForLine;

namespace {

const QString Title = u"Vellumite Portable Edition"_s;
const QString LockName = u"Bookmarks.lkb.lock"_s;

// An open descriptor of a folder, closed when it goes.
struct Folder
{
    explicit Folder(const QString &path)
        : fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    { }
    ~Folder()
    {
        if (fd >= 0)
            ::close(fd);
    }
    int fd;
};

} // namespace

class TestFolderInstance : public QObject
{
    Q_OBJECT

private slots:
    // One holder at a time, however the folder was opened; the lock file is the user's alone and goes
    // with its holder, and the folder is free for the next.
    void oneHolderAtATime()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString lockFile = dir.filePath(LockName);
        {
            Folder opened(dir.path());
            // The same folder reached by another path is the same folder.
            QVERIFY(QFile::link(dir.path(), dir.path() + u"-link"_s));
            Folder linked(dir.path() + u"-link"_s);
            FlockFolderInstance first(Title, opened.fd, LockName);
            FlockFolderInstance second(Title, linked.fd, LockName);
            QCOMPARE(first.serverName(), second.serverName());
            QCOMPARE(first.claim(), FolderInstance::Claim::Taken);
            QCOMPARE(second.claim(), FolderInstance::Claim::Busy);
            QVERIFY(!second.startListening());
            struct stat lock = {};
            QCOMPARE(::stat(QFile::encodeName(lockFile).constData(), &lock), 0);
            QCOMPARE(lock.st_mode & 07777, mode_t(0600));
            QFile::remove(dir.path() + u"-link"_s);
        }
        QVERIFY(!QFileInfo::exists(lockFile));
        Folder again(dir.path());
        FlockFolderInstance next(Title, again.fd, LockName);
        QCOMPARE(next.claim(), FolderInstance::Claim::Taken);
    }

    // Where no lock file can be made (here something else stands under its name; on a read-only
    // medium the folder refuses it), the folder itself is locked, and left as it was.
    void folderWithoutALockFileIsLockedItself()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkdir(LockName));
        Folder one(dir.path());
        Folder two(dir.path());
        FlockFolderInstance first(Title, one.fd, LockName);
        FlockFolderInstance second(Title, two.fd, LockName);
        QCOMPARE(first.claim(), FolderInstance::Claim::Taken);
        QCOMPARE(second.claim(), FolderInstance::Claim::Busy);
        QVERIFY(QFileInfo(dir.filePath(LockName)).isDir());
    }

    // A link planted under the lock file's name is never followed, nor removed.
    void aLinkInPlaceOfTheLockFileIsNotFollowed()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString target = dir.filePath(u"elsewhere"_s);
        QVERIFY(QFile::link(target, dir.filePath(LockName)));
        {
            Folder opened(dir.path());
            FlockFolderInstance holder(Title, opened.fd, LockName);
            QCOMPARE(holder.claim(), FolderInstance::Claim::Taken);
        }
        QVERIFY(!QFileInfo::exists(target));
        QVERIFY(QFileInfo(dir.filePath(LockName)).isSymLink());
    }

    // A later start on a folder in use hands over to its holder, which is asked to show itself; with
    // the holder gone, the next start takes the folder.
    void laterStartHandsOverToTheHolder()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QProcess holder;
        holder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        holder.start(QStringLiteral(FOLDERINSTANCE_HELPER), { dir.path(), u"hold"_s });
        QVERIFY(holder.waitForStarted());
        QVERIFY(waitForLine(holder, "ready"));

        QProcess later;
        later.start(QStringLiteral(FOLDERINSTANCE_HELPER), { dir.path(), u"start"_s });
        QVERIFY(later.waitForFinished(10000));
        QCOMPARE(later.exitCode(), 0);
        QVERIFY(waitForLine(holder, "show"));

        holder.kill();
        QVERIFY(holder.waitForFinished());
        // A holder that was killed leaves its lock file, but not its lock.
        QVERIFY(QFileInfo::exists(dir.filePath(LockName)));
        later.start(QStringLiteral(FOLDERINSTANCE_HELPER), { dir.path(), u"start"_s });
        QVERIFY(later.waitForFinished(10000));
        QCOMPARE(later.exitCode(), 1);
    }

    // A holder that never answers (still starting, or hung) is waited for until the deadline.
    void silentHolderIsWaitedForUntilTheDeadline()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        Folder opened(dir.path());
        FlockFolderInstance holder(Title, opened.fd, LockName);
        QCOMPARE(holder.claim(), FolderInstance::Claim::Taken);
        QElapsedTimer timer;
        timer.start();
        QProcess later;
        later.start(QStringLiteral(FOLDERINSTANCE_HELPER), { dir.path(), u"start"_s });
        QVERIFY(later.waitForFinished(10000));
        QCOMPARE(later.exitCode(), 2);
        QVERIFY(timer.elapsed() >= 3000);
    }
};

QTEST_GUILESS_MAIN(TestFolderInstance)
#include "tst_folderinstance.moc"
