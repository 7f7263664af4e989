#include "main/core/failedfilekeeper.h"
#include "tests/common/testfiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vellumite;

class TestFailedFileKeeper : public QObject
{
    Q_OBJECT

private:
private slots:
    void movesAsideOnceAndNumbersAroundEarlierCopies()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Bookmarks.lkb"));
        QVERIFY(testfiles::writeFile(path, "first broken"));
        QVERIFY(testfiles::writeFile(path + QStringLiteral(".bad"), "older copy"));

        FailedFileKeeper keeper;
        QVERIFY(!keeper.hasPending());
        keeper.markFailed(path);
        QString error;
        QCOMPARE(keeper.keepAside(&error), path + QStringLiteral(".bad.2"));
        QVERIFY(error.isEmpty());
        QCOMPARE(testfiles::readFile(path + QStringLiteral(".bad.2")), QByteArray("first broken"));
        QCOMPARE(testfiles::readFile(path + QStringLiteral(".bad")), QByteArray("older copy"));
        QVERIFY(!QFile::exists(path));

        // A later save replaces the new file: nothing more is moved.
        QVERIFY(testfiles::writeFile(path, "saved tree"));
        QVERIFY(keeper.keepAside(&error).isEmpty());
        QCOMPARE(testfiles::readFile(path), QByteArray("saved tree"));
    }

    void nothingToKeepWhenTheFileIsGone()
    {
        QTemporaryDir dir;
        FailedFileKeeper keeper;
        keeper.markFailed(dir.filePath(QStringLiteral("Bookmarks.lkb")));
        QString error;
        QVERIFY(keeper.keepAside(&error).isEmpty());
        QVERIFY(!keeper.hasPending());
    }
};

QTEST_GUILESS_MAIN(TestFailedFileKeeper)
#include "tst_failedfilekeeper.moc"
