#include "platform/linux/mozillapagequery.h"
#include "platform/linux/mozillasessionstore.h"
#include "tests/common/mozillaprofile.h"
#include "tests/common/testfiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace vellumite;
using namespace Qt::StringLiterals;
using vellumite::mozillaprofile::mozLz4;
using vellumite::testfiles::writeFile;

Q_DECLARE_METATYPE(vellumite::WindowPlace)

namespace {

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
        // The second window is the one in front; the third selects a tab it does not have.
        const QList<SessionWindow> expected {
            { { u"http://127.0.0.1:8000/page.html"_s, u"Example page"_s },
              { WindowPlace::Size::Normal, QRect(64, 40, 1154, 946) },
              false },
            { { u"http://b/"_s, u"B \u00e9t\u00e9"_s },
              { WindowPlace::Size::Maximized, QRect(4, 4, 1152, 921) },
              true },
        };
        QCOMPARE(reader.windows(), expected);
        const auto windowNamed = [](const QString &title) {
            return BrowserWindow { u"Firefox"_s, 1, title, TitleForm::Whole, {} };
        };
        QCOMPARE(findShownPage(reader.windows(), windowNamed(u"B \u00e9t\u00e9"_s))->url, u"http://b/"_s);
        QVERIFY(!findShownPage(reader.windows(), windowNamed(u"One"_s))); // not the selected tab
    }

    // Which window's page a window in front shows, when the store holds several of its title.
    void pageOfTheWindowInFront_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<WindowPlace>("front");
        QTest::addColumn<int>("selectedWindow");
        QTest::addColumn<QString>("expected");
        const WindowPlace maximized { WindowPlace::Size::Maximized, QRect(0, 0, 1280, 1024) };
        const WindowPlace left { WindowPlace::Size::Normal, QRect(0, 0, 600, 800) };
        const WindowPlace right { WindowPlace::Size::Normal, QRect(640, 0, 600, 800) };
        const WindowPlace unknown;
        // Windows: 0 "Twin" maximized, 1 "Twin" maximized, 2 "Twin" at the left, 3 "Twin" at the right,
        // 4 "Solo" maximized.
        QTest::newRow("one window of the title, whatever its place") << u"Solo"_s << left << 0 << u"w4"_s;
        QTest::newRow("the one at the front window's place") << u"Twin"_s << right << 0 << u"w3"_s;
        QTest::newRow("its place wins over the store's window in front") << u"Twin"_s << left << 3 << u"w2"_s;
        QTest::newRow("two maximized: the store's window in front") << u"Twin"_s << maximized << 1 << u"w1"_s;
        QTest::newRow("two maximized, another window in front: the first")
            << u"Twin"_s << maximized << 4 << u"w0"_s;
        QTest::newRow("no place of its own: the store's window in front")
            << u"Twin"_s << unknown << 3 << u"w3"_s;
        QTest::newRow("a place of none of them: the store's window in front")
            << u"Twin"_s << WindowPlace { WindowPlace::Size::Normal, QRect(1, 1, 2, 2) } << 2 << u"w2"_s;
        QTest::newRow("no window of the title") << u"Other"_s << maximized << 0 << QString();
    }
    void pageOfTheWindowInFront()
    {
        QFETCH(QString, title);
        QFETCH(WindowPlace, front);
        QFETCH(int, selectedWindow);
        QFETCH(QString, expected);
        const WindowPlace maximizedElsewhere { WindowPlace::Size::Maximized, QRect(4, 4, 1152, 921) };
        QList<SessionWindow> windows {
            { { u"w0"_s, u"Twin"_s }, maximizedElsewhere, false },
            { { u"w1"_s, u"Twin"_s }, maximizedElsewhere, false },
            { { u"w2"_s, u"Twin"_s }, { WindowPlace::Size::Normal, QRect(0, 0, 600, 800) }, false },
            { { u"w3"_s, u"Twin"_s }, { WindowPlace::Size::Normal, QRect(640, 0, 600, 800) }, false },
            { { u"w4"_s, u"Solo"_s }, maximizedElsewhere, false },
        };
        windows[selectedWindow].selected = true;
        // Read back from the store's own form.
        MozillaSessionStoreReader reader;
        QVERIFY(reader.readData(mozillaprofile::sessionStore(windows, 1)));
        QCOMPARE(reader.windows(), windows);
        const std::optional<SessionPage> page
            = findShownPage(reader.windows(), { u"Firefox"_s, 1, title, TitleForm::Whole, front });
        QCOMPARE(page.value_or(SessionPage {}).url, expected);
    }

    // The page a window's name may stand for: its title, the start of it when the browser cut it, or
    // for an untitled page (stored with its address for a title) its address or no title at all.
    void titlesAWindowNameStandsFor_data()
    {
        QTest::addColumn<QString>("pageTitle");
        QTest::addColumn<bool>("cut");
        QTest::addColumn<QString>("storedTitle");
        QTest::addColumn<bool>("named");
        const QString url = u"http://x/"_s;
        QTest::newRow("same title") << u"Page"_s << false << u"Page"_s << true;
        QTest::newRow("another title") << u"Page"_s << false << u"Pages"_s << false;
        QTest::newRow("cut title: its start") << u"Long ti"_s << true << u"Long title"_s << true;
        QTest::newRow("whole title: no start") << u"Long ti"_s << false << u"Long title"_s << false;
        QTest::newRow("cut title: no middle") << u"ong"_s << true << u"Long title"_s << false;
        QTest::newRow("untitled, named by its address") << url << false << QString() << true;
        QTest::newRow("untitled, stored with its address") << url << false << url << true;
        QTest::newRow("no title: an untitled page") << QString() << false << QString() << true;
        QTest::newRow("no title: stored with its address") << QString() << false << url << true;
        QTest::newRow("no title: a titled page") << QString() << false << u"Page"_s << false;
        QTest::newRow("a title: no untitled page") << u"Page"_s << true << QString() << false;
    }
    void titlesAWindowNameStandsFor()
    {
        QFETCH(QString, pageTitle);
        QFETCH(bool, cut);
        QFETCH(QString, storedTitle);
        QFETCH(bool, named);
        const BrowserWindow window {
            u"Firefox"_s, 1, pageTitle, cut ? TitleForm::Start : TitleForm::Whole, {}
        };
        QCOMPARE(window.namesPage(storedTitle, u"http://x/"_s), named);
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
        QVERIFY(reader.windows().isEmpty());
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

    void pageOfTheProfileThatTheProcessHolds()
    {
        QTemporaryDir home;
        const mozillaprofile::HeldProfile profile(home.filePath(u"abcd.default-esr"_s));
        QVERIFY(
            writeFile(profile.filePath(u"sessionstore-backups/recovery.jsonlz4"_s), mozLz4(sessionJson())));
        const qint64 pid = mozillaprofile::HeldProfile::processId();
        const std::optional<UserFolder> found = runningProfileFolder(pid);
        QVERIFY(found);
        QCOMPARE(found->path(), QDir(profile.path()).canonicalPath());

        const MozillaPageQuery query;
        const auto reply
            = query.requestWindowInfo({ u"Firefox"_s, pid, u"Example page"_s, TitleForm::Whole, {} });
        QVERIFY(reply);
        QCOMPARE(reply->address, u"http://127.0.0.1:8000/page.html"_s);
        QCOMPARE(reply->title, u"Example page"_s);
        // A page the store does not hold yet, another family and another process give no answer.
        QVERIFY(!query.requestWindowInfo({ u"Firefox"_s, pid, u"Just opened"_s, TitleForm::Whole, {} }));
        QVERIFY(!query.requestWindowInfo({ u"Opera"_s, pid, u"Example page"_s, TitleForm::Whole, {} }));
        QVERIFY(!query.requestWindowInfo({ u"Firefox"_s, 1, u"Example page"_s, TitleForm::Whole, {} }));
    }

    // Only the folder whose .parentlock the browser holds open is its profile, and only when no one else
    // may change it; its files count only when they are this user's and others may not write them. A
    // folder the browser has another file open in, with a lock link planted there, is no profile.
    void profileOnlyWhereNoOneElseCanPlantIt_data()
    {
        QTest::addColumn<QString>("held"); // the file this process holds open in the folder
        QTest::addColumn<int>("folderMode"); // of the profile folder
        QTest::addColumn<bool>("otherOwner"); // the folder, or with `file`, that file, is nobody's
        QTest::addColumn<QString>("file"); // a file given `fileMode` or the other owner
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<bool>("answered");
        const int own = 0700;
        QTest::newRow("the real profile") << u".parentlock"_s << own << false << QString() << 0 << true;
        QTest::newRow("a planted lock beside another open file")
            << u"cookies.sqlite"_s << own << false << QString() << 0 << false;
        QTest::newRow("a held .parentlock in a folder anyone may write")
            << u".parentlock"_s << 01777 << false << QString() << 0 << false;
        QTest::newRow("a folder its group may write")
            << u".parentlock"_s << 0770 << false << QString() << 0 << false;
        QTest::newRow("a session store others may write")
            << u".parentlock"_s << own << false << u"sessionstore-backups/recovery.jsonlz4"_s << 0666
            << false;
        QTest::newRow("a session store its group may write, as Firefox leaves it under umask 002")
            << u".parentlock"_s << own << false << u"sessionstore-backups/recovery.jsonlz4"_s << 0664 << true;
        QTest::newRow("a folder of another user (root only)")
            << u".parentlock"_s << own << true << QString() << 0 << false;
        QTest::newRow("a session store of another user (root only)")
            << u".parentlock"_s << own << true << u"sessionstore-backups/recovery.jsonlz4"_s << 0644 << false;
    }
    void profileOnlyWhereNoOneElseCanPlantIt()
    {
        QFETCH(QString, held);
        QFETCH(int, folderMode);
        QFETCH(bool, otherOwner);
        QFETCH(QString, file);
        QFETCH(int, fileMode);
        QFETCH(bool, answered);
        if (otherOwner && ::geteuid() != 0)
            QSKIP("Only root can give a file to another user.");
        QTemporaryDir home;
        const QDir folder(home.filePath(u"abcd.default-esr"_s));
        QVERIFY(folder.mkpath(u"sessionstore-backups"_s));
        const QString store = folder.filePath(u"sessionstore-backups/recovery.jsonlz4"_s);
        QVERIFY(writeFile(store, mozLz4(sessionJson())));
        QVERIFY(QFile::link(u"127.0.0.1:+"_s + QString::number(::getpid()), folder.filePath(u"lock"_s)));
        QFile open(folder.filePath(held));
        QVERIFY(open.open(QIODevice::WriteOnly));
        const QByteArray changed = QFile::encodeName(file.isEmpty() ? folder.path() : folder.filePath(file));
        if (!file.isEmpty())
            QCOMPARE(::chmod(changed.constData(), mode_t(fileMode)), 0);
        QCOMPARE(::chmod(QFile::encodeName(folder.path()).constData(), mode_t(folderMode)), 0);
        if (otherOwner)
            QCOMPARE(::chown(changed.constData(), 65534, 65534), 0);

        const auto reply = MozillaPageQuery().requestWindowInfo(
            { u"Firefox"_s, ::getpid(), u"Example page"_s, TitleForm::Whole, {} });
        QCOMPARE(reply.has_value(), answered);
        QCOMPARE(runningProfileFolder(::getpid()).has_value(), file.isEmpty() ? answered : true);
    }
};

QTEST_GUILESS_MAIN(TestMozillaSessionStore)
#include "tst_mozillasessionstore.moc"
