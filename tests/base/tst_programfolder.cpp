#include "base/atomicfile.h"
#include "base/foreignfile.h"
#include "base/inifile.h"
#include "base/programfolder.h"
#include "tests/common/filesizelimit.h"
#include "tests/common/oddfolders.h"
#include "tests/common/testfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vellumite;
using namespace Qt::StringLiterals;

class TestProgramFolder : public QObject
{
    Q_OBJECT

private:
    // The names in the folder, as the system has them.
    static QList<QByteArray> entriesOf(int folder)
    {
        QList<QByteArray> names;
        const int copy = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        DIR *dir = ::fdopendir(copy);
        while (dirent *entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..")
                names << name;
        }
        ::closedir(dir);
        std::sort(names.begin(), names.end());
        return names;
    }

private slots:
    void readablePaths_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("UTF-8") << "/media/Clé"_ba << u"/media/Clé"_s;
        QTest::newRow("Latin-1") << "/media/Cl\xe9"_ba << u"/media/Clé"_s;
        QTest::newRow("ASCII") << "/home/user"_ba << u"/home/user"_s;
    }
    void readablePaths()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        QCOMPARE(readablePath(bytes), shown);
    }

    // The test program's own folder, found as the program finds its own.
    void folderOfTheExecutable()
    {
        const ProgramFolder folder = ProgramFolder::ofExecutable(nullptr);
        QVERIFY(folder.isOpen());
        QCOMPARE(folder.shownPath(), QCoreApplication::applicationDirPath());
        QVERIFY(folder.contains(QFileInfo(QCoreApplication::applicationFilePath()).fileName()));
    }

    // Folders that no path in the system's text reaches: the files in them are read, replaced whole
    // and looked for relative to the open folder.
    void filesOfAFolderThatNoTextPathReaches_data()
    {
        QTest::addColumn<bool>("overPathMax");
        QTest::newRow("name not UTF-8") << false;
        QTest::newRow("path over PATH_MAX") << true;
    }
    void filesOfAFolderThatNoTextPathReaches()
    {
        QFETCH(bool, overPathMax);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const ProgramFolder base(dir.path());
        const QByteArray name = overPathMax ? QByteArray(200, 'd') : testfiles::Latin1FolderName;
        const int depth = overPathMax ? 21 : 1;
        const int made = testfiles::makeFolderChain(base.fd(), name, depth);
        // The temporary folder cannot remove what its path does not reach.
        const auto removeChain
            = qScopeGuard([&base, &name] { testfiles::removeAllAt(base.fd(), name.constData()); });
        QVERIFY(made >= 0);
        ::close(made);
        const QByteArray path = testfiles::folderChainPath(QFile::encodeName(dir.path()), name, depth);
        QCOMPARE(path.size() > PATH_MAX, overPathMax);

        // A path over PATH_MAX opens one name at a time; text cannot carry the Latin-1 byte, but the
        // open folder can (here reached through its descriptor, as the program gets it from its
        // executable).
        QCOMPARE(ProgramFolder(readablePath(path)).isOpen(), overPathMax);
        const int fd = testfiles::makeFolderChain(base.fd(), name, depth);
        const ProgramFolder opened(QStringLiteral("/proc/self/fd/%1").arg(fd));
        ::close(fd);
        QVERIFY(opened.isOpen());
        QString error;
        QVERIFY2(writeFileAtomicallyAt(opened.fd(), u"Settings.ini"_s, "[Program]\nWidth=700\n", &error),
                 qPrintable(error));
        IniFile ini(opened.fd(), u"Settings.ini"_s, opened.shownPathOf(u"Settings.ini"_s));
        QVERIFY(ini.load());
        QCOMPARE(ini.readInteger(u"Program"_s, u"Width"_s, 0), 700);
        ini.writeInteger(u"Program"_s, u"Width"_s, 800);
        QVERIFY(ini.save());
        QVERIFY(opened.contains(u"Settings.ini"_s));
        QCOMPARE(testfiles::readFileIn(opened.fd(), "Settings.ini"), "[Program]\nWidth=800\n"_ba);
        // Nothing else is left in the folder.
        QCOMPARE(entriesOf(opened.fd()), QList<QByteArray> { "Settings.ini" });
    }

    // The former file stays whole when the write fails, and no temporary file is left; a file that
    // is replaced keeps its permissions, and a link in its place is followed, as a save by path does.
    void atomicWriteInAFolder()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const ProgramFolder folder(dir.path());
        const QString path = dir.filePath(u"Bookmarks.lkb"_s);
        const QByteArray former(4000, 'f');
        QVERIFY(testfiles::writeFile(path, former));
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0640), 0);
        QString error;
        {
            const testfiles::FileSizeLimit limit(1000);
            QVERIFY(limit.isSet());
            QVERIFY(!writeFileAtomicallyAt(folder.fd(), u"Bookmarks.lkb"_s, QByteArray(3000, 'n'), &error));
        }
        QVERIFY(!error.isEmpty());
        QCOMPARE(testfiles::readFile(path), former);
        QCOMPARE(entriesOf(folder.fd()), QList<QByteArray> { "Bookmarks.lkb" });

        QVERIFY(writeFileAtomicallyAt(folder.fd(), u"Bookmarks.lkb"_s, "new", &error));
        QCOMPARE(testfiles::readFile(path), "new"_ba);
        struct stat info = {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
        QCOMPARE(info.st_mode & 07777, mode_t(0640));

        QVERIFY(QDir(dir.path()).mkdir(u"elsewhere"_s));
        QVERIFY(QFile::link(u"elsewhere/target"_s, dir.filePath(u"Linked.lkb"_s)));
        QVERIFY(writeFileAtomicallyAt(folder.fd(), u"Linked.lkb"_s, "through the link", &error));
        QVERIFY(QFileInfo(dir.filePath(u"Linked.lkb"_s)).isSymLink());
        QCOMPARE(testfiles::readFile(dir.filePath(u"elsewhere/target"_s)), "through the link"_ba);
    }
};

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
