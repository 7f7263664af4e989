#include "main/core/failedfilekeeper.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vellumite;

class TestFailedFileKeeper : public QObject
{
    Q_OBJECT

private:
    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void movesAsideOnceAndNumbersAroundEarlierCopies()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Bookmarks.lkb"));
        write(path, "first broken");
        write(path + QStringLiteral(".bad"), "older copy");

        FailedFileKeeper keeper;
        QVERIFY(!keeper.hasPending());
        keeper.markFailed(path);
        QString error;
        QCOMPARE(keeper.keepAside(&error), path + QStringLiteral(".bad.2"));
        QVERIFY(error.isEmpty());
        QCOMPARE(read(path + QStringLiteral(".bad.2")), QByteArray("first broken"));
        QCOMPARE(read(path + QStringLiteral(".bad")), QByteArray("older copy"));
        QVERIFY(!QFile::exists(path));

        // A later save replaces the new file: nothing more is moved.
        write(path, "saved tree");
        QVERIFY(keeper.keepAside(&error).isEmpty());
        QCOMPARE(read(path), QByteArray("saved tree"));
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
