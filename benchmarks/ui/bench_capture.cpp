// The capture hot key in front of Firefox with a heavy user's profile: a places.sqlite of about 50 MB
// that a connection holds as the browser does (exclusive lock, the newest visits in its write-ahead
// log), and a session store. Measured from the key until the add dialog is shown with the page, and the
// page query alone.

#include "base/sqlite/sqlitedatabase.h"
#include "base/sqlite/sqlitestatement.h"
#include "base/sqlite/sqlitetransaction.h"
#include "benchmarks/common/mainwindowbenchmark.h"
#include "main/dialogs/tfraddbookmark.h"
#include "main/options/hotkeyfield.h"
#include "main/options/tfroptions.h"
#include "main/window/tform1.h"
#include "platform/fakes/fakeservices.h"
#include "platform/linux/mozillapagequery.h"
#include "tests/common/mozillaprofile.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <unistd.h>

using namespace vellumite;

namespace {

constexpr int PlaceCount = 100'000;
constexpr int VisitsPerPlace = 2;
// Visits the browser has written since its last checkpoint: they are in the log only.
constexpr int RecentVisits = 300;
const QString PageTitle = QStringLiteral("Search results - Example shop");

QString placeUrl(int i)
{
    return QStringLiteral("https://site%1.example.org/articles/%2/read?session=%3&ref=%4")
        .arg(i % 4000)
        .arg(i)
        .arg(i * 7919)
        .arg(i % 97);
}

QString placeTitle(int i)
{
    return QStringLiteral("Article %1 of site %2 \u2014 some words of a title").arg(i).arg(i % 4000);
}

// A session store of 200 tabs of 10 pages each, collected at `collectedAtMs`, in the browser's form.
QByteArray sessionStore(qint64 collectedAtMs)
{
    QJsonArray tabs;
    for (int t = 0; t < 200; ++t) {
        QJsonArray entries;
        for (int e = 0; e < 10; ++e)
            entries.append(QJsonObject { { QStringLiteral("url"), placeUrl(t * 10 + e) },
                                         { QStringLiteral("title"), placeTitle(t * 10 + e) } });
        tabs.append(QJsonObject { { QStringLiteral("index"), 10 }, { QStringLiteral("entries"), entries } });
    }
    const QJsonObject window { { QStringLiteral("selected"), 1 }, { QStringLiteral("tabs"), tabs } };
    const QJsonObject session { { QStringLiteral("lastUpdate"), collectedAtMs } };
    return mozillaprofile::mozLz4(
        QJsonDocument(QJsonObject { { QStringLiteral("windows"), QJsonArray { window } },
                                    { QStringLiteral("session"), session } })
            .toJson(QJsonDocument::Compact));
}

TfrAddBookmark *visibleAddDialog()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *dialog = qobject_cast<TfrAddBookmark *>(widget); dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

// A profile held by this process as the browser holds its own, with its history held open.
class Profile
{
public:
    static Profile &instance()
    {
        static Profile profile;
        return profile;
    }
    qint64 databaseBytes() const { return QFileInfo(m_places).size(); }
    qint64 logBytes() const { return QFileInfo(m_places + QStringLiteral("-wal")).size(); }

private:
    Profile()
    {
        const QDir folder(m_profile.path());
        m_places = folder.filePath(QStringLiteral("places.sqlite"));
        QFile::copy(QStringLiteral(VELLUMITE_TEST_DATA "/places/esr153-places.sqlite"), m_places);
        QFile::setPermissions(m_places, QFile::ReadOwner | QFile::WriteOwner);
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        {
            sqlite::Database db = sqlite::Database::open(m_places, sqlite::OpenMode::ReadWrite);
            sqlite::Transaction transaction(db);
            sqlite::Statement place = db.prepare(
                "INSERT INTO moz_places (url, title, rev_host, guid, url_hash, frecency, last_visit_date) "
                "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
            sqlite::Statement visit = db.prepare(
                "INSERT INTO moz_historyvisits (place_id, visit_date, visit_type) VALUES (?1, ?2, 1)");
            for (int i = 0; i < PlaceCount; ++i) {
                const qint64 visitedAt = (now - qint64(PlaceCount - i) * 60'000) * 1000;
                place.bind(1, placeUrl(i));
                place.bind(2, placeTitle(i));
                place.bind(3, QStringLiteral("gro.elpmaxe.%1etis.").arg(i % 4000));
                place.bind(4, QStringLiteral("guid%1").arg(i, 8, 10, QLatin1Char('0')));
                place.bind(5, qint64(i) * 2654435761LL);
                place.bind(6, qint64(i % 2000));
                place.bind(7, visitedAt);
                place.execute();
                const qint64 id = db.lastInsertRowId();
                for (int v = 0; v < VisitsPerPlace; ++v) {
                    visit.bind(1, id);
                    visit.bind(2, visitedAt - v * 3'600'000'000LL);
                    visit.execute();
                }
            }
            transaction.commit();
        }
        // As the browser holds it: an exclusive lock, and the latest visits not checkpointed.
        m_browser = sqlite::Database::open(m_places, sqlite::OpenMode::ReadWrite);
        m_browser.execute("PRAGMA locking_mode = EXCLUSIVE");
        m_browser.execute("PRAGMA journal_mode = WAL");
        m_browser.execute("PRAGMA wal_autocheckpoint = 0");
        sqlite::Transaction recent(m_browser);
        for (int i = 0; i < RecentVisits; ++i) {
            sqlite::Statement place = m_browser.prepare(
                "INSERT INTO moz_places (url, title, rev_host, guid) VALUES (?1, ?2, 'x', ?1)");
            place.bind(1, QStringLiteral("https://shop.example/search?page=%1").arg(i));
            place.bind(2, PageTitle);
            place.execute();
            sqlite::Statement visit = m_browser.prepare(
                "INSERT INTO moz_historyvisits (place_id, visit_date, visit_type) VALUES (?1, ?2, 1)");
            visit.bind(1, m_browser.lastInsertRowId());
            visit.bind(2, (now + i) * 1000);
            visit.execute();
        }
        recent.commit();
        QFile store(folder.filePath(QStringLiteral("sessionstore-backups/recovery.jsonlz4")));
        if (store.open(QIODevice::WriteOnly))
            store.write(sessionStore(now - 20'000));
    }

    QTemporaryDir m_root;
    mozillaprofile::HeldProfile m_profile { m_root.filePath(QStringLiteral("heavy.default-esr")) };
    QString m_places;
    sqlite::Database m_browser;
};

void addProfileCounters(benchmark::State &state)
{
    state.counters["places_MB"] = double(Profile::instance().databaseBytes()) / 1e6;
    state.counters["log_MB"] = double(Profile::instance().logBytes()) / 1e6;
}

void BM_FirefoxPageQuery(benchmark::State &state)
{
    Profile::instance();
    const MozillaPageQuery query;
    const BrowserWindow window { QStringLiteral("Firefox"), ::getpid(), PageTitle, TitleForm::Whole, {} };
    for (auto _ : state) {
        const std::optional<WindowInfoReply> reply = query.requestWindowInfo(window);
        if (!reply || !reply->address.endsWith(QStringLiteral("page=299"))) {
            state.SkipWithError(qPrintable(QStringLiteral("the newest page was not found: ")
                                           + (reply ? reply->address : QStringLiteral("no answer"))));
            break;
        }
        benchmark::DoNotOptimize(reply);
    }
    addProfileCounters(state);
}
BENCHMARK(BM_FirefoxPageQuery)->Unit(benchmark::kMillisecond);

void BM_HotKeyUntilTheDialogShowsThePage(benchmark::State &state)
{
    Profile::instance();
    QTemporaryDir programFolder;
    FakeServices fakes = makeFakeServices();
    fakes.services.pageQuery = std::make_unique<MozillaPageQuery>();
    fakes.foregroundWindow->setWindow(
        ForegroundWindowInfo { QStringLiteral("firefox-esr"),
                               QStringLiteral("Navigator"),
                               PageTitle + QStringLiteral(" \u2014 Mozilla Firefox"),
                               ::getpid(),
                               {} });
    TForm1 form;
    form.FormCreate(fakes.services, programFolder.path());
    form.show();
    TfrOptions options(form, fakes.services);
    QApplication::processEvents();
    for (auto _ : state) {
        options.HotKeyManager1HotKeyPressed(options.HotKey1->HotKey(), options.HotKey1->Tag);
        TfrAddBookmark *dialog = visibleAddDialog();
        QApplication::processEvents();
        if (!dialog || !dialog->isVisible()
            || !dialog->LinkEdit->text().endsWith(QStringLiteral("page=299"))) {
            state.SkipWithError("the dialog does not show the page");
            break;
        }
        state.PauseTiming();
        dialog->hide();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    addProfileCounters(state);
}
BENCHMARK(BM_HotKeyUntilTheDialogShowsThePage)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return vellumite::benchmarkwindow::runBenchmarksInApplication(argc, argv);
}
