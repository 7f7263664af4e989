#include "platform/linux/linuxfolderprobe.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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
        QVERIFY(LinuxFolderProbe().isWritable(finalSlash ? dir.path() + u'/' : dir.path()));
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
        QVERIFY(!LinuxFolderProbe().isWritable(folder));
    }

    void fileInsteadOfFolder()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"plain"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(!LinuxFolderProbe().isWritable(path));
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
        QVERIFY(!LinuxFolderProbe().isWritable(dir.path()));
        QFile::setPermissions(dir.path(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
};

QTEST_GUILESS_MAIN(TestFolderProbe)
#include "tst_folderprobe.moc"
