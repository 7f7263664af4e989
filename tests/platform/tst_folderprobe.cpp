#include "base/programfolder.h"
#include "platform/linux/linuxfolderprobe.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace vellumite;
using namespace Qt::StringLiterals;

class TestFolderProbe : public QObject
{
    Q_OBJECT

private slots:
    void writableFolder_data()
    {
        QTest::addColumn<bool>("finalSlash");
        QTest::addColumn<bool>("leftoverProbe");
        QTest::newRow("without final /") << false << false;
        QTest::newRow("with final /") << true << false;
        QTest::newRow("a probe left behind is replaced") << false << true;
    }
    void writableFolder()
    {
        QFETCH(bool, finalSlash);
        QFETCH(bool, leftoverProbe);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString probe = dir.filePath(LinuxFolderProbe::ProbeFileName);
        if (leftoverProbe) {
            QFile file(probe);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("left over");
        }
        QVERIFY(LinuxFolderProbe().isWritable(ProgramFolder(finalSlash ? dir.path() + u'/' : dir.path())));
        QVERIFY2(!QFile::exists(probe), "the probe must be removed");
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList());
    }

    void notWritable_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("empty") << QString();
        QTest::newRow("missing folder") << u"/nonexistent-folder-for-probe/sub"_s;
        // Refused to everyone, the super-user too.
        QTest::newRow("read-only file system") << u"/proc"_s;
    }
    void notWritable()
    {
        QFETCH(QString, folder);
        QVERIFY(!LinuxFolderProbe().isWritable(ProgramFolder(folder)));
    }

    void fileInsteadOfFolder()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"plain"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(!LinuxFolderProbe().isWritable(ProgramFolder(path)));
    }

    // A file marked read-only (no write permission for anyone) is not written, whoever runs the
    // program, as a read-only attribute binds every user; a missing file leaves it to the folder.
    void fileWritable_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("writable");
        QTest::newRow("owner may write") << 0600 << true;
        QTest::newRow("marked read-only") << 0444 << false;
        QTest::newRow("no permission at all") << 0000 << false;
        QTest::newRow("missing") << -1 << true;
    }
    void fileWritable()
    {
        QFETCH(int, mode);
        QFETCH(bool, writable);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"Bookmarks.lkb"_s);
        if (mode >= 0) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.close();
            QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode), 0);
        }
        QCOMPARE(LinuxFolderProbe().isFileWritable(ProgramFolder(dir.path()), u"Bookmarks.lkb"_s), writable);
    }

    void readOnlyFolder()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        QFile probe(dir.filePath(u"canary"_s));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QFile::setPermissions(dir.path(),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            QSKIP("permissions do not bind this user (the super-user)");
        }
        QVERIFY(!LinuxFolderProbe().isWritable(ProgramFolder(dir.path())));
        QFile::setPermissions(dir.path(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
};

QTEST_GUILESS_MAIN(TestFolderProbe)
#include "tst_folderprobe.moc"
