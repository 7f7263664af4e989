#include "base/foreignfile.h"
#include "tests/common/finisheswithin.h"
#include "tests/common/testfiles.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vellumite;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(vellumite::ForeignFileStatus)

namespace {

constexpr int TimeoutMs = 5000;
const QByteArray Content = "[Program]\nShow=2\n";

} // namespace

class TestForeignFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // Makes the entry `name` in the test folder as `kind` says; absolute names are the system's.
    bool make(const QString &kind, const QString &name)
    {
        if (kind == u"nothing" || kind == u"system")
            return true;
        const QString path = m_dir.filePath(name);
        const QByteArray encoded = QFile::encodeName(path);
        if (kind == u"file")
            return testfiles::writeFile(path, Content);
        if (kind == u"empty file")
            return testfiles::writeFile(path, {});
        if (kind == u"link to a file")
            return make(u"file"_s, u"target"_s) && QFile::link(m_dir.filePath(u"target"_s), path);
        if (kind == u"fifo")
            return ::mkfifo(encoded.constData(), 0600) == 0;
        if (kind == u"link to a fifo")
            return make(u"fifo"_s, u"pipe"_s) && QFile::link(m_dir.filePath(u"pipe"_s), path);
        if (kind == u"folder")
            return QDir(m_dir.path()).mkdir(name);
        if (kind == u"dangling link")
            return QFile::link(m_dir.filePath(u"gone"_s), path);
        if (kind == u"link to /dev/zero")
            return QFile::link(u"/dev/zero"_s, path);
        if (kind == u"below a file")
            return make(u"file"_s, u"plain"_s);
        return false;
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QDir(m_dir.path()).removeRecursively();
        QVERIFY(QDir().mkpath(m_dir.path()));
    }

    // Every kind of entry, read by its path and relative to its open folder: only a regular file (also
    // through a link) is read, and nothing waits, however the entry would make a plain open wait.
    void kindsOfFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<ForeignFileStatus>("status");
        QTest::addColumn<QString>("reason"); // empty when read
        QTest::addColumn<QByteArray>("bytes");

        const qint64 roomy = 1024;
        const QString notRegular = u"It is not a regular file."_s;
        QTest::newRow("regular file")
            << u"file"_s << u"Settings.ini"_s << roomy << ForeignFileStatus::Ok << QString() << Content;
        QTest::newRow("empty file") << u"empty file"_s << u"Settings.ini"_s << roomy << ForeignFileStatus::Ok
                                    << QString() << QByteArray();
        QTest::newRow("link to a regular file") << u"link to a file"_s << u"Settings.ini"_s << roomy
                                                << ForeignFileStatus::Ok << QString() << Content;
        QTest::newRow("exactly the limit") << u"file"_s << u"Settings.ini"_s << qint64(Content.size())
                                           << ForeignFileStatus::Ok << QString() << Content;
        QTest::newRow("one byte over the limit")
            << u"file"_s << u"Settings.ini"_s << qint64(Content.size() - 1) << ForeignFileStatus::TooLarge
            << u"It is larger than 16 bytes."_s << QByteArray();
        // Files of /proc tell no size: the limit holds while they are read.
        QTest::newRow("file that tells no size and holds more")
            << u"system"_s << u"/proc/self/maps"_s << qint64(16) << ForeignFileStatus::TooLarge
            << u"It is larger than 16 bytes."_s << QByteArray();
        QTest::newRow("nothing") << u"nothing"_s << u"Settings.ini"_s << roomy << ForeignFileStatus::Missing
                                 << u"No such file or directory"_s << QByteArray();
        QTest::newRow("FIFO") << u"fifo"_s << u"Settings.ini"_s << roomy << ForeignFileStatus::Failed
                              << notRegular << QByteArray();
        QTest::newRow("link to a FIFO") << u"link to a fifo"_s << u"Settings.ini"_s << roomy
                                        << ForeignFileStatus::Failed << notRegular << QByteArray();
        QTest::newRow("folder") << u"folder"_s << u"Settings.ini"_s << roomy << ForeignFileStatus::Failed
                                << notRegular << QByteArray();
        QTest::newRow("character device") << u"system"_s << u"/dev/null"_s << roomy
                                          << ForeignFileStatus::Failed << notRegular << QByteArray();
        QTest::newRow("link to /dev/zero") << u"link to /dev/zero"_s << u"Settings.ini"_s << roomy
                                           << ForeignFileStatus::Failed << notRegular << QByteArray();
        QTest::newRow("dangling link")
            << u"dangling link"_s << u"Settings.ini"_s << roomy << ForeignFileStatus::Failed
            << u"It is a symbolic link to a file that does not exist."_s << QByteArray();
        QTest::newRow("a file in place of a folder")
            << u"below a file"_s << u"plain/Settings.ini"_s << roomy << ForeignFileStatus::Failed
            << u"Not a directory"_s << QByteArray();
    }
    void kindsOfFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, name);
        QFETCH(qint64, limit);
        QFETCH(ForeignFileStatus, status);
        QFETCH(QString, reason);
        QFETCH(QByteArray, bytes);
        QVERIFY(make(kind, name));

        const int folder = ::open(QFile::encodeName(m_dir.path()).constData(), O_RDONLY | O_DIRECTORY);
        QVERIFY(folder >= 0);
        const auto closeFolder = qScopeGuard([folder] { ::close(folder); });
        ForeignFileRead byPath;
        ForeignFileRead inFolder;
        ForeignFileRead checked;
        const QString path = QDir::isAbsolutePath(name) ? name : m_dir.filePath(name);
        QVERIFY(testfiles::finishesWithin(TimeoutMs, [&] {
            byPath = readForeignFile(path, limit);
            inFolder = readForeignFileAt(folder, name, limit);
            checked = checkForeignFile(path);
        }));
        for (const ForeignFileRead *read : { &byPath, &inFolder }) {
            QCOMPARE(read->status, status);
            QCOMPARE(read->errorString, reason);
            QCOMPARE(read->bytes, bytes);
        }
        // The check reads nothing, so no size is too large for it.
        QCOMPARE(checked.status, status == ForeignFileStatus::TooLarge ? ForeignFileStatus::Ok : status);
        if (checked.status != ForeignFileStatus::Ok)
            QCOMPARE(checked.errorString, reason);
    }

    // The limit is one the file passes while it is read too: one that grows meanwhile is refused, and
    // reading on stays refused.
    void fileThatGrowsPastTheLimit()
    {
        const QString path = m_dir.filePath(u"prefs.js"_s);
        QVERIFY(testfiles::writeFile(path, QByteArray(8, 'a')));
        ForeignFile file(path, 10);
        QVERIFY(file.isOpen());
        QCOMPARE(file.size(), qint64(8));
        QFile grower(path);
        QVERIFY(grower.open(QIODevice::Append));
        QCOMPARE(grower.write(QByteArray(8, 'b')), qint64(8));
        grower.close();
        QCOMPARE(file.readAll(), QByteArray());
        QCOMPARE(file.status(), ForeignFileStatus::TooLarge);
        QCOMPARE(file.errorString(), u"It is larger than 10 bytes."_s);
        char byte;
        QCOMPARE(file.read(&byte, 1), qint64(-1));
    }

    void limitsInWords_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("words");
        QTest::newRow("bytes") << qint64(1000) << u"1000 bytes"_s;
        QTest::newRow("not a whole number of KB") << qint64(1536) << u"1536 bytes"_s;
        QTest::newRow("KB") << qint64(100) * 1024 << u"100 KB"_s;
        QTest::newRow("MB") << qint64(1024) * 1024 << u"1 MB"_s;
        QTest::newRow("hundreds of MB") << (qint64(512) << 20) << u"512 MB"_s;
        QTest::newRow("GB") << (qint64(1) << 30) << u"1 GB"_s;
    }
    void limitsInWords()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, words);
        QCOMPARE(sizeInWords(bytes), words);
    }
};

QTEST_GUILESS_MAIN(TestForeignFile)
#include "tst_foreignfile.moc"
