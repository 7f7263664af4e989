#include "exchange/core/placesclear.h"

#include "base/sqlite/sqlitedatabase.h"
#include "base/sqlite/sqlitestatement.h"
#include "exchange/core/placesrows.h"
#include "exchange/core/placesschema.h"
#include "exchange/core/placestouch.h"

#include <QByteArrayList>
#include <QHash>
#include <QSet>
#include <optional>

namespace vellumite {

namespace {

const QString Bookmarks = QStringLiteral("moz_bookmarks");
const QString Places = QStringLiteral("moz_places");

// A bookmark row Firefox made for itself, which the clear leaves alone.
bool isKeptBookmark(const PlacesRow &row)
{
    return row.type == PlacesBookmarkType && row.hasPlace() && (row.title.isEmpty() || row.isPlaceQuery());
}

// Tables whose rows make a place worth keeping without a bookmark.
constexpr const char *placeUsers[] = {
    "moz_historyvisits", "moz_annos",        "moz_inputhistory",
    "moz_keywords",      "moz_places_extra", "moz_places_metadata",
};

class FolderCleaner
{
public:
    FolderCleaner(sqlite::Database &database, const PlacesSchema &schema, const PlacesRows &rows, qint64 now)
        : m_database(database)
        , m_schema(schema)
        , m_rows(rows)
        , m_now(now)
    { }

    void clear(qint64 folder)
    {
        const std::vector<qsizetype> below = m_rows.rowsBelow(folder);
        const QSet<qint64> kept = keptRows(below);
        deleteRows(below, kept, folder);
        renumberKeptChildren();
        touchPlacesFolders(m_database, m_schema,
                           QList<qint64>(m_changedFolders.cbegin(), m_changedFolders.cend()), m_now);
        releasePlaces();
    }

private:
    // Content comes after its folder in `below`, so walking it backwards settles every child first.
    QSet<qint64> keptRows(const std::vector<qsizetype> &below) const
    {
        QSet<qint64> kept;
        QSet<qint64> foldersHoldingKept;
        for (auto it = below.crbegin(); it != below.crend(); ++it) {
            const PlacesRow &row = m_rows.row(*it);
            const bool keep
                = row.type == PlacesFolderType ? foldersHoldingKept.contains(row.id) : isKeptBookmark(row);
            if (keep) {
                kept.insert(row.id);
                foldersHoldingKept.insert(row.parent);
            }
        }
        return kept;
    }

    void deleteRows(const std::vector<qsizetype> &below, const QSet<qint64> &kept, qint64 folder)
    {
        sqlite::Statement deleteRow = m_database.prepare("DELETE FROM moz_bookmarks WHERE id = ?1");
        // The annotations of a deleted row would pass to a new row that gets its id again.
        std::optional<sqlite::Statement> deleteAnnotations;
        if (tableHasRows("moz_items_annos"))
            deleteAnnotations = m_database.prepare("DELETE FROM moz_items_annos WHERE item_id = ?1");
        // Sync learns of deletions of rows it knew (status 2) from tombstones, as Firefox leaves them.
        std::optional<sqlite::Statement> addTombstone;
        if (m_schema.has(QStringLiteral("moz_bookmarks_deleted"), QStringLiteral("dateRemoved")))
            addTombstone = m_database.prepare(
                "INSERT OR REPLACE INTO moz_bookmarks_deleted (guid, dateRemoved) VALUES (?1, ?2)");
        constexpr qint64 syncedStatus = 2;

        for (auto it = below.crbegin(); it != below.crend(); ++it) {
            const PlacesRow &row = m_rows.row(*it);
            if (kept.contains(row.id))
                continue;
            deleteRow.bind(1, row.id);
            deleteRow.execute();
            if (deleteAnnotations) {
                deleteAnnotations->bind(1, row.id);
                deleteAnnotations->execute();
            }
            if (addTombstone && row.syncStatus == syncedStatus && !row.guid.isEmpty()) {
                addTombstone->bindText(1, row.guid);
                addTombstone->bind(2, m_now);
                addTombstone->execute();
            }
            if (row.hasPlace())
                m_removedReferences[row.placeId] += 1;
            if (row.parent == folder || kept.contains(row.parent))
                m_changedFolders.insert(row.parent);
        }
        m_kept = kept;
    }

    // What stays in a folder keeps its order, numbered from 0 without gaps.
    void renumberKeptChildren()
    {
        if (!m_schema.has(Bookmarks, QStringLiteral("position")))
            return;
        sqlite::Statement move = m_database.prepare("UPDATE moz_bookmarks SET position = ?1 WHERE id = ?2");
        for (const qint64 folder : std::as_const(m_changedFolders)) {
            qint64 position = 0;
            for (const qsizetype index : m_rows.childrenOf(folder)) {
                const PlacesRow &row = m_rows.row(index);
                if (!m_kept.contains(row.id))
                    continue;
                if (row.position != position) {
                    move.bind(1, position);
                    move.bind(2, row.id);
                    move.execute();
                }
                ++position;
            }
        }
    }

    // Places whose bookmarks went: the count of references lowered, or the place deleted once nothing
    // uses it any more.
    void releasePlaces()
    {
        if (m_removedReferences.isEmpty())
            return;
        const bool hasForeignCount = m_schema.has(Places, QStringLiteral("foreign_count"));
        const bool hasOrigin = m_schema.has(Places, QStringLiteral("origin_id"))
            && m_schema.hasTable(QStringLiteral("moz_origins"));
        // One answer per place, each use tested only until one is found.
        QByteArrayList uses;
        if (hasForeignCount)
            uses << "foreign_count > ?2";
        if (m_schema.has(Places, QStringLiteral("visit_count")))
            uses << "visit_count > 0";
        for (const char *table : placeUsers) {
            if (m_schema.has(QString::fromLatin1(table), QStringLiteral("place_id")))
                uses << QByteArray("EXISTS (SELECT 1 FROM ") + table + " WHERE place_id = ?1)";
        }
        if (uses.isEmpty())
            uses << "0";
        QByteArray inspectSql = "SELECT " + QByteArray(hasOrigin ? "origin_id" : "NULL") + ", CASE";
        for (const QByteArray &use : std::as_const(uses))
            inspectSql += " WHEN " + use + " THEN 1";
        inspectSql += " ELSE 0 END FROM moz_places WHERE id = ?1";
        sqlite::Statement inspect = m_database.prepare(inspectSql);
        sqlite::Statement deletePlace = m_database.prepare("DELETE FROM moz_places WHERE id = ?1");
        std::optional<sqlite::Statement> lowerCount;
        if (hasForeignCount)
            lowerCount = m_database.prepare(
                "UPDATE moz_places SET foreign_count = MAX(foreign_count - ?1, 0) WHERE id = ?2");

        QSet<qint64> origins;
        for (auto it = m_removedReferences.cbegin(); it != m_removedReferences.cend(); ++it) {
            const qint64 place = it.key();
            const int removed = it.value();
            // Other bookmarks still pointing at it settle the question without a look at the table.
            bool used = m_rows.referencesTo(place) > removed;
            std::optional<qint64> origin;
            if (!used) {
                inspect.bind(1, place);
                if (hasForeignCount)
                    inspect.bind(2, qint64 { removed });
                if (!inspect.step()) {
                    inspect.reset();
                    continue;
                }
                origin = inspect.isNull(0) ? std::nullopt : std::optional(inspect.int64At(0));
                used = inspect.int64At(1) != 0;
                inspect.reset();
            }
            if (used) {
                if (lowerCount) {
                    lowerCount->bind(1, qint64 { removed });
                    lowerCount->bind(2, place);
                    lowerCount->execute();
                }
                continue;
            }
            deletePlace.bind(1, place);
            deletePlace.execute();
            if (origin)
                origins.insert(*origin);
        }
        deleteUnusedOrigins(origins);
    }

    // Firefox's own connection drops an origin with its last place; an origin left behind would still be
    // offered when the user types an address.
    void deleteUnusedOrigins(const QSet<qint64> &origins)
    {
        if (origins.isEmpty())
            return;
        sqlite::Statement deleteOrigin
            = m_database.prepare("DELETE FROM moz_origins WHERE id = ?1 AND NOT EXISTS (SELECT 1 FROM "
                                 "moz_places WHERE origin_id = ?1)");
        for (const qint64 origin : origins) {
            deleteOrigin.bind(1, origin);
            deleteOrigin.execute();
        }
    }

    bool tableHasRows(const char *table)
    {
        if (!m_schema.hasTable(QString::fromLatin1(table)))
            return false;
        const QByteArray sql = QByteArray("SELECT EXISTS (SELECT 1 FROM ") + table + ')';
        sqlite::Statement any = m_database.prepare(sql);
        return any.step() && any.int64At(0) != 0;
    }

    sqlite::Database &m_database;
    const PlacesSchema &m_schema;
    const PlacesRows &m_rows;
    const qint64 m_now;
    QSet<qint64> m_kept;
    QSet<qint64> m_changedFolders;
    QHash<qint64, int> m_removedReferences;
};

} // namespace

void deletePlacesFolderContent(sqlite::Database &database, const PlacesSchema &schema, const PlacesRows &rows,
                               qint64 folder, qint64 now)
{
    FolderCleaner(database, schema, rows, now).clear(folder);
}

} // namespace vellumite
