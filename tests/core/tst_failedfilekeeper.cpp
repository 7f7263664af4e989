#include "base/programfolder.h"
#include "main/core/failedfilekeeper.h"
#include "tests/common/testfiles.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace vellumite;
using namespace Qt::StringLiterals;

class TestFailedFileKeeper : public QObject
{
    Q_OBJECT

private slots:
    // The file stays where it is; each copy takes the first free name, an earlier copy is never
    // touched.
    void copiesBesideTheFileAroundEarlierCopies()
    {
        QTemporaryDir dir;
        const ProgramFolder folder(dir.path());
        const QString path = dir.filePath(u"Bookmarks.lkb"_s);
        QVERIFY(testfiles::writeFile(path, "first broken"));
        QVERIFY(testfiles::writeFile(path + u".bad"_s, "older copy"));

        FailedFileKeeper keeper;
        QString error;
        QCOMPARE(keeper.keepCopy(folder, u"Bookmarks.lkb"_s, &error), u"Bookmarks.lkb.bad.2"_s);
        QVERIFY(error.isEmpty());
        QVERIFY(!keeper.hasPending());
        QCOMPARE(testfiles::readFile(path), QByteArray("first broken"));
        QCOMPARE(testfiles::readFile(path + u".bad.2"_s), QByteArray("first broken"));
        QCOMPARE(testfiles::readFile(path + u".bad"_s), QByteArray("older copy"));

        // Nothing is pending: a later save may replace the file, and nothing is moved.
        QVERIFY(testfiles::writeFile(path, "saved tree"));
        QVERIFY(keeper.keepAside(&error).isEmpty());
        QCOMPARE(testfiles::readFile(path), QByteArray("saved tree"));
        QCOMPARE(keeper.keepCopy(folder, u"Bookmarks.lkb"_s, &error), u"Bookmarks.lkb.bad.3"_s);
    }

    // What cannot be copied stays pending and is moved aside, again never over an earlier copy.
    void aPipeIsMovedAsideInstead()
    {
        QTemporaryDir dir;
        const ProgramFolder folder(dir.path());
        const QString path = dir.filePath(u"Bookmarks.lkb"_s);
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        QVERIFY(testfiles::writeFile(path + u".bad"_s, "older copy"));

        FailedFileKeeper keeper;
        QString error;
        QVERIFY(keeper.keepCopy(folder, u"Bookmarks.lkb"_s, &error).isEmpty());
        QCOMPARE(error, u"It is not a regular file."_s);
        QVERIFY(keeper.hasPending());
        error.clear();
        QCOMPARE(keeper.keepAside(&error), u"Bookmarks.lkb.bad.2"_s);
        QVERIFY(error.isEmpty());
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(QFileInfo::exists(path + u".bad.2"_s));
        QCOMPARE(testfiles::readFile(path + u".bad"_s), QByteArray("older copy"));
        QVERIFY(!keeper.hasPending());
    }

    void nothingToKeepWhenTheFileIsGone()
    {
        QTemporaryDir dir;
        const ProgramFolder folder(dir.path());
        FailedFileKeeper keeper;
        QString error;
        QVERIFY(keeper.keepCopy(folder, u"Bookmarks.lkb"_s, &error).isEmpty());
        QVERIFY(!error.isEmpty());
        error.clear();
        QVERIFY(keeper.keepAside(&error).isEmpty());
        QVERIFY(error.isEmpty());
        QVERIFY(!keeper.hasPending());
    }

    void keptCopyNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("kept");
        QTest::newRow("first") << u"Bookmarks.lkb.bad"_s << true;
        QTest::newRow("numbered") << u"Bookmarks.lkb.bad.12"_s << true;
        QTest::newRow("the file itself") << u"Bookmarks.lkb"_s << false;
        QTest::newRow("number 1") << u"Bookmarks.lkb.bad.1"_s << false;
        QTest::newRow("leading zero") << u"Bookmarks.lkb.bad.02"_s << false;
        QTest::newRow("sign") << u"Bookmarks.lkb.bad.+3"_s << false;
        QTest::newRow("other file") << u"Settings.ini"_s << false;
        QTest::newRow("in another folder") << u"../Bookmarks.lkb.bad"_s << false;
    }
    void keptCopyNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, kept);
        QCOMPARE(isKeptCopyName(name, u"Bookmarks.lkb"_s), kept);
    }
};

QTEST_GUILESS_MAIN(TestFailedFileKeeper)
#include "tst_failedfilekeeper.moc"
