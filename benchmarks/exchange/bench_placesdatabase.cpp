// A places database of a heavy user: 200,000 places of history, 20,000 bookmarks in 2,000 folders of
// the Bookmarks Menu. Import, export into an empty menu and the clear before a replacing export.

#include "base/sqlite/sqlitedatabase.h"
#include "base/sqlite/sqlitestatement.h"
#include "base/sqlite/sqlitetransaction.h"
#include "exchange/core/placesdatabase.h"
#include "exchange/core/placesurl.h"
#include "main/core/bookmarktree.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace vellumite;

namespace {

constexpr int placeCount = 200000;
constexpr int folderCount = 2000;
constexpr int bookmarksPerFolder = 10;

QString url(int i)
{
    return QStringLiteral("https://site%1.example.org/page/%2?q=%3").arg(i % 5000).arg(i).arg(i * 7);
}

// The tree an export writes: 2,000 folders of 10 bookmarks, every link one of the history's places.
const BookmarkNode &exportTree()
{
    static BookmarkNode root(makeRootRecord());
    if (root.childCount() == 0) {
        for (int f = 0; f < folderCount; ++f) {
            BookmarkNode *folder = root.appendChild(
                std::make_unique<BookmarkNode>(makeCategoryRecord(QStringLiteral("Folder %1").arg(f))));
            for (int b = 0; b < bookmarksPerFolder; ++b) {
                const int i = (f * bookmarksPerFolder + b) * 9;
                folder->appendChild(std::make_unique<BookmarkNode>(
                    makeBookmarkRecord(QStringLiteral("Bookmark %1 Caf\u00e9").arg(i), url(i), 1)));
            }
        }
    }
    return root;
}

// Database files made once: history only, and history with the bookmarks exported.
class Fixtures
{
public:
    static Fixtures &instance()
    {
        static Fixtures fixtures;
        return fixtures;
    }
    QString emptyMenu() const { return m_dir.filePath(QStringLiteral("empty.sqlite")); }
    QString fullMenu() const { return m_dir.filePath(QStringLiteral("full.sqlite")); }
    QString copyOf(const QString &path, const QString &name) const
    {
        const QString target = m_dir.filePath(name);
        QFile::remove(target);
        QFile::copy(path, target);
        return target;
    }

private:
    Fixtures()
    {
        QFile::copy(QStringLiteral(VELLUMITE_TEST_DATA "/places/esr153-places.sqlite"), emptyMenu());
        QFile::setPermissions(emptyMenu(), QFile::ReadOwner | QFile::WriteOwner);
        {
            sqlite::Database db = sqlite::Database::open(emptyMenu(), sqlite::OpenMode::ReadWrite);
            db.execute("DELETE FROM moz_bookmarks WHERE parent = 2");
            db.execute("DELETE FROM moz_places");
            sqlite::Transaction transaction(db);
            sqlite::Statement add = db.prepare("INSERT INTO moz_places (url, rev_host, url_hash, "
                                               "visit_count, guid) VALUES (?1, 'x', ?2, 1, ?3)");
            for (int i = 0; i < placeCount; ++i) {
                const QString link = url(i);
                add.bind(1, link);
                add.bind(2, placesUrlHash(link.toUtf8()));
                add.bind(3, QStringLiteral("g%1").arg(i));
                add.execute();
            }
            transaction.commit();
        }
        copyOf(emptyMenu(), QStringLiteral("full.sqlite"));
        PlacesDatabase places;
        places.open(fullMenu());
        places.write(exportTree(), ExportMode::Merge);
    }

    QTemporaryDir m_dir;
};

void BM_PlacesImport(benchmark::State &state)
{
    Fixtures &fixtures = Fixtures::instance();
    PlacesDatabase places;
    places.open(fixtures.fullMenu());
    for (auto _ : state) {
        BookmarkNode staging;
        places.read(staging, 1);
        benchmark::DoNotOptimize(staging.childCount());
    }
}
BENCHMARK(BM_PlacesImport)->Unit(benchmark::kMillisecond);

void BM_PlacesExportIntoEmptyMenu(benchmark::State &state)
{
    Fixtures &fixtures = Fixtures::instance();
    const BookmarkNode &tree = exportTree();
    for (auto _ : state) {
        state.PauseTiming();
        const QString path = fixtures.copyOf(fixtures.emptyMenu(), QStringLiteral("export.sqlite"));
        PlacesDatabase places;
        places.open(path);
        state.ResumeTiming();
        if (!places.write(tree, ExportMode::Merge).isEmpty())
            state.SkipWithError("export failed");
    }
}
BENCHMARK(BM_PlacesExportIntoEmptyMenu)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PlacesClear(benchmark::State &state)
{
    Fixtures &fixtures = Fixtures::instance();
    const BookmarkNode nothing(makeRootRecord());
    for (auto _ : state) {
        state.PauseTiming();
        const QString path = fixtures.copyOf(fixtures.fullMenu(), QStringLiteral("clear.sqlite"));
        PlacesDatabase places;
        places.open(path);
        state.ResumeTiming();
        if (!places.write(nothing, ExportMode::Replace).isEmpty())
            state.SkipWithError("clear failed");
    }
}
BENCHMARK(BM_PlacesClear)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
