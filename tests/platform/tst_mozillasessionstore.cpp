#include "platform/linux/mozillapagequery.h"
#include "platform/linux/mozillasessionstore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <lz4.h>
#include <unistd.h>

using namespace vellumite;
using namespace Qt::StringLiterals;

namespace {

// A session store as the browser writes it: magic, the size, one LZ4 block.
QByteArray mozLz4(const QByteArray &json, qint64 sizeField = -1)
{
    QByteArray block(LZ4_compressBound(int(json.size())), '\0');
    const int written
        = LZ4_compress_default(json.constData(), block.data(), int(json.size()), int(block.size()));
    block.resize(written);
    char size[4];
    qToLittleEndian<quint32>(quint32(sizeField < 0 ? json.size() : sizeField), size);
    return QByteArray("mozLz40\0", 8) + QByteArray(size, 4) + block;
}

// Three windows: the first shows its second tab at its first entry, the second its only tab at its
// last entry (no index), the third selects a tab it does not have.
QByteArray sessionJson()
{
    QFile file(QStringLiteral(VELLUMITE_TEST_DATA "/session-selected-tabs.json"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestMozillaSessionStore : public QObject
{
    Q_OBJECT

private slots:
    void selectedPagesOfEachWindow()
    {
        MozillaSessionStoreReader reader;
        QVERIFY2(reader.readData(mozLz4(sessionJson())), qPrintable(reader.errorString()));
        const QList<SessionPage> expected { { u"http://127.0.0.1:8000/page.html"_s, u"Example page"_s },
                                            { u"http://b/"_s, u"B \u00e9t\u00e9"_s } };
        QCOMPARE(reader.selectedPages(), expected);
        QCOMPARE(findPageByTitle(reader.selectedPages(), u"B \u00e9t\u00e9"_s)->url, u"http://b/"_s);
        QVERIFY(!findPageByTitle(reader.selectedPages(), u"One"_s)); // not the selected tab
    }

    void pageWithoutTitleGoesByItsAddress()
    {
        const QList<SessionPage> pages { { u"http://x/"_s, QString() } };
        QCOMPARE(findPageByTitle(pages, u"http://x/"_s)->url, u"http://x/"_s);
    }

    void timeOfCollection()
    {
        MozillaSessionStoreReader reader;
        QVERIFY(reader.readData(mozLz4(R"({"session":{"lastUpdate":1796936762761},"windows":[]})")));
        QCOMPARE(reader.collectedAtMs(), qint64(1796936762761));
        // Without its own record the store tells no time, and its file tells when it was written.
        QVERIFY(reader.readData(mozLz4(sessionJson())));
        QCOMPARE(reader.collectedAtMs(), qint64(0));
        QTemporaryDir dir;
        QFile file(dir.filePath(u"recovery.jsonlz4"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(mozLz4(sessionJson()));
        file.close();
        const QDateTime written = QDateTime::fromMSecsSinceEpoch(1'700'000'000'000);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(written, QFileDevice::FileModificationTime));
        file.close();
        QVERIFY(reader.readFile(file.fileName()));
        QCOMPARE(reader.collectedAtMs(), written.toMSecsSinceEpoch());
    }

    void damagedStoresAreRefused_data()
    {
        QTest::addColumn<QByteArray>("data");
        const QByteArray good = mozLz4(sessionJson());
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("header only") << good.first(12);
        QTest::newRow("wrong magic") << QByteArray("mozLz41\0", 8) + good.mid(8);
        QTest::newRow("truncated block") << good.first(good.size() - 20);
        QTest::newRow("size field larger than the data") << mozLz4(sessionJson(), sessionJson().size() + 1);
        QTest::newRow("size field smaller than the data") << mozLz4(sessionJson(), sessionJson().size() - 1);
        QTest::newRow("size field beyond any expansion") << mozLz4("{}", 100000);
        QTest::newRow("size field over the limit")
            << mozLz4("{}", MozillaSessionStoreReader::MaximumSize + 1);
        QTest::newRow("not JSON") << mozLz4("this is no JSON");
        QTest::newRow("JSON array") << mozLz4("[1,2,3]");
    }
    void damagedStoresAreRefused()
    {
        QFETCH(QByteArray, data);
        MozillaSessionStoreReader reader;
        QVERIFY(!reader.readData(data));
        QVERIFY(reader.hasError());
        QVERIFY(reader.selectedPages().isEmpty());
    }

    void oversizedFileIsRefusedBeforeReading()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(u"recovery.jsonlz4"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(MozillaSessionStoreReader::MaximumSize + 1));
        file.close();
        MozillaSessionStoreReader reader;
        QVERIFY(!reader.readFile(file.fileName()));
        QVERIFY(reader.errorString().contains(u"larger"_s));
    }

    void pageOfTheProfileThatTheProcessLocks()
    {
        QTemporaryDir home;
        const QDir root(home.filePath(u"firefox"_s));
        QVERIFY(root.mkpath(u"other.default/sessionstore-backups"_s));
        QVERIFY(root.mkpath(u"abcd.default-esr/sessionstore-backups"_s));
        const qint64 pid = 4242;
        // A stale lock of another process, and the running one's.
        QVERIFY(QFile::link(u"127.0.1.1:+17"_s, root.filePath(u"other.default/lock"_s)));
        QVERIFY(QFile::link(u"127.0.1.1:+4242"_s, root.filePath(u"abcd.default-esr/lock"_s)));
        QFile store(root.filePath(u"abcd.default-esr/sessionstore-backups/recovery.jsonlz4"_s));
        QVERIFY(store.open(QIODevice::WriteOnly));
        store.write(mozLz4(sessionJson()));
        store.close();

        QCOMPARE(profileLockOwner(root.filePath(u"other.default"_s)), qint64(17));
        QCOMPARE(runningProfileFolder(pid, { root.path() }), root.filePath(u"abcd.default-esr"_s));
        QCOMPARE(runningProfileFolder(99, { root.path() }), QString());

        MozillaPageQuery query({ root.path() });
        const auto reply = query.requestWindowInfo({ u"Firefox"_s, pid, u"Example page"_s });
        QVERIFY(reply);
        QCOMPARE(reply->address, u"http://127.0.0.1:8000/page.html"_s);
        QCOMPARE(reply->title, u"Example page"_s);
        // A page the store does not hold yet, another family and another process give no answer.
        QVERIFY(!query.requestWindowInfo({ u"Firefox"_s, pid, u"Just opened"_s }));
        QVERIFY(!query.requestWindowInfo({ u"Opera"_s, pid, u"Example page"_s }));
        QVERIFY(!query.requestWindowInfo({ u"Firefox"_s, 17, u"Example page"_s }));
    }

    void profileFoundThroughTheProcessOpenFiles()
    {
        // This process holds a file open in a folder with a lock naming it: no root needed.
        QTemporaryDir profile;
        QVERIFY(QFile::link(u"host:+"_s + QString::number(::getpid()), profile.filePath(u"lock"_s)));
        QFile held(profile.filePath(u".parentlock"_s));
        QVERIFY(held.open(QIODevice::WriteOnly));
        QCOMPARE(runningProfileFolder(::getpid(), {}), QDir(profile.path()).canonicalPath());
    }
};

QTEST_GUILESS_MAIN(TestMozillaSessionStore)
#include "tst_mozillasessionstore.moc"
