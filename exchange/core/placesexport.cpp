#include "exchange/core/placesexport.h"

#include "base/sqlite/sqlitedatabase.h"
#include "base/sqlite/sqlitestatement.h"
#include "exchange/core/placesguid.h"
#include "exchange/core/placesrows.h"
#include "exchange/core/placesschema.h"
#include "exchange/core/placestouch.h"
#include "exchange/core/placesurl.h"
#include "main/core/bookmarktree.h"

#include <QByteArrayList>
#include <QHash>
#include <QSet>
#include <limits>
#include <optional>

namespace vellumite {

namespace {

const QString Bookmarks = QStringLiteral("moz_bookmarks");
const QString Places = QStringLiteral("moz_places");
const QString Origins = QStringLiteral("moz_origins");

// Names are matched without regard to letter case, as Firefox's own folders differ from ours in case.
QString nameKey(const QString &name)
{
    return name.toCaseFolded();
}

// An INSERT whose column list follows the schema; values are bound in the order the columns were added.
class Insert
{
public:
    void add(const char *column) { m_columns << column; }
    int count() const { return static_cast<int>(m_columns.size()); }
    QByteArray sql(const char *table) const
    {
        QByteArrayList markers;
        for (int i = 1; i <= count(); ++i)
            markers << '?' + QByteArray::number(i);
        return QByteArray("INSERT INTO ") + table + " (" + m_columns.join(", ") + ") VALUES ("
            + markers.join(", ") + ')';
    }

private:
    QByteArrayList m_columns;
};

// What a folder of the database holds, as far as the export compares it: the first row of each name,
// and where a new row goes.
struct FolderContent
{
    QHash<QString, qint64> folders;
    QSet<QString> bookmarks;
    qint64 nextPosition = 0;
    bool existed = false;
    bool received = false;
};

class PlacesExporter
{
public:
    PlacesExporter(sqlite::Database &database, const PlacesSchema &schema, const PlacesRows &rows, qint64 now,
                   QRandomGenerator &random)
        : m_database(database)
        , m_schema(schema)
        , m_rows(rows)
        , m_now(now)
        , m_random(random)
    {
        prepareBookmarkInsert();
        preparePlaceInsert();
        m_findPlace
            = m_database.prepare(m_schema.has(Places, QStringLiteral("url_hash"))
                                     ? "SELECT id FROM moz_places WHERE url_hash IN (?1, 0) AND url = ?2 "
                                       "ORDER BY url_hash DESC, id LIMIT 1"
                                     : "SELECT id FROM moz_places WHERE url = ?2 ORDER BY id LIMIT 1");
    }

    void exportChildren(const BookmarkNode &node, qint64 folder)
    {
        for (int row = 0; row < node.childCount(); ++row) {
            const TBookmark &record = node.child(row)->record;
            FolderContent &content = contentOf(folder);
            if (record.IsCategory) {
                const QString key = nameKey(record.CategoryName);
                qint64 id = content.folders.value(key);
                if (!id) {
                    id = insertRow(content, folder, PlacesFolderType, record.CategoryName, std::nullopt);
                    content.folders.insert(key, id);
                    m_contents.insert(id, FolderContent());
                }
                exportChildren(*node.child(row), id);
            } else {
                // An empty address is no bookmark to Firefox; a row without one would break its menu.
                if (record.Link.isEmpty())
                    continue;
                const QString key = nameKey(record.Description);
                if (content.bookmarks.contains(key))
                    continue;
                const qint64 place = placeFor(record.Link);
                insertRow(content, folder, PlacesBookmarkType, record.Description, place);
                content.bookmarks.insert(key);
                m_addedReferences[place] += 1;
            }
        }
    }

    // What a current Firefox's own connection adds with each insert: references counted, changed folders
    // marked.
    void finish()
    {
        if (m_schema.has(Places, QStringLiteral("foreign_count"))) {
            QByteArray sql = "UPDATE moz_places SET foreign_count = foreign_count + ?1";
            if (m_schema.has(Places, QStringLiteral("recalc_frecency")))
                sql += ", recalc_frecency = 1";
            sql += " WHERE id = ?2";
            sqlite::Statement count = m_database.prepare(sql);
            for (auto it = m_addedReferences.cbegin(); it != m_addedReferences.cend(); ++it) {
                count.bind(1, it.value());
                count.bind(2, it.key());
                count.execute();
            }
        }
        QList<qint64> touched;
        for (auto it = m_contents.cbegin(); it != m_contents.cend(); ++it) {
            if (it->existed && it->received)
                touched << it.key();
        }
        touchPlacesFolders(m_database, m_schema, touched, m_now);
    }

private:
    FolderContent &contentOf(qint64 folder)
    {
        auto it = m_contents.find(folder);
        if (it != m_contents.end())
            return *it;
        FolderContent content;
        content.existed = true;
        qint64 lastPosition = -1;
        for (const qsizetype index : m_rows.childrenOf(folder)) {
            const PlacesRow &row = m_rows.row(index);
            const QString key = nameKey(QString::fromUtf8(row.title));
            if (row.type == PlacesFolderType && !content.folders.contains(key))
                content.folders.insert(key, row.id);
            else if (row.type == PlacesBookmarkType)
                content.bookmarks.insert(key);
            if (row.position != std::numeric_limits<qint64>::max())
                lastPosition = std::max(lastPosition, row.position);
        }
        content.nextPosition = lastPosition + 1;
        return *m_contents.insert(folder, content);
    }

    void prepareBookmarkInsert()
    {
        Insert insert;
        for (const char *column : { "type", "fk", "parent", "position", "title" })
            insert.add(column);
        m_bookmarkHasDates = m_schema.has(Bookmarks, QStringLiteral("dateAdded"))
            && m_schema.has(Bookmarks, QStringLiteral("lastModified"));
        if (m_bookmarkHasDates) {
            insert.add("dateAdded");
            insert.add("lastModified");
        }
        m_bookmarkHasGuid = m_schema.has(Bookmarks, QStringLiteral("guid"));
        if (m_bookmarkHasGuid) {
            insert.add("guid");
            m_bookmarkGuidTaken = m_database.prepare("SELECT 1 FROM moz_bookmarks WHERE guid = ?1");
        }
        // As Firefox leaves a bookmark that came from elsewhere: not known to Sync yet, one change.
        m_bookmarkHasSync = m_schema.has(Bookmarks, QStringLiteral("syncStatus"))
            && m_schema.has(Bookmarks, QStringLiteral("syncChangeCounter"));
        if (m_bookmarkHasSync) {
            insert.add("syncStatus");
            insert.add("syncChangeCounter");
        }
        m_insertBookmark = m_database.prepare(insert.sql("moz_bookmarks"));
    }

    qint64 insertRow(FolderContent &content, qint64 parent, qint32 type, const QString &title,
                     std::optional<qint64> place)
    {
        sqlite::Statement &insert = *m_insertBookmark;
        int index = 1;
        insert.bind(index++, static_cast<qint64>(type));
        if (place)
            insert.bind(index++, *place);
        else
            insert.bindNull(index++);
        insert.bind(index++, parent);
        insert.bind(index++, content.nextPosition++);
        insert.bind(index++, title);
        if (m_bookmarkHasDates) {
            insert.bind(index++, m_now);
            insert.bind(index++, m_now);
        }
        if (m_bookmarkHasGuid)
            insert.bindText(index++, newGuid(*m_bookmarkGuidTaken));
        if (m_bookmarkHasSync) {
            insert.bind(index++, qint64 { 0 });
            insert.bind(index++, qint64 { 1 });
        }
        insert.execute();
        content.received = true;
        return m_database.lastInsertRowId();
    }

    void preparePlaceInsert()
    {
        Insert insert;
        insert.add("url");
        auto optional = [this, &insert](const char *column) {
            const bool present = m_schema.has(Places, QString::fromLatin1(column));
            if (present)
                insert.add(column);
            return present;
        };
        m_placeHasRevHost = optional("rev_host");
        m_placeHasGuid = optional("guid");
        m_placeHasUrlHash = optional("url_hash");
        m_placeHasOrigin = m_schema.has(Places, QStringLiteral("origin_id"))
            && m_schema.has(Origins, QStringLiteral("prefix"))
            && m_schema.has(Origins, QStringLiteral("host"))
            && m_schema.has(Origins, QStringLiteral("frecency"));
        if (m_placeHasOrigin)
            insert.add("origin_id");
        m_placeRecalcColumns = 0;
        for (const char *column : { "recalc_frecency", "recalc_alt_frecency" }) {
            if (optional(column))
                ++m_placeRecalcColumns;
        }
        m_insertPlace = m_database.prepare(insert.sql("moz_places"));
        if (m_placeHasGuid)
            m_placeGuidTaken = m_database.prepare("SELECT 1 FROM moz_places WHERE guid = ?1");
        if (m_placeHasOrigin)
            prepareOrigins();
    }

    void prepareOrigins()
    {
        m_findOrigin = m_database.prepare("SELECT id FROM moz_origins WHERE prefix = ?1 AND host = ?2");
        Insert insert;
        for (const char *column : { "prefix", "host", "frecency" })
            insert.add(column);
        m_originRecalcColumns = 0;
        for (const char *column : { "recalc_frecency", "recalc_alt_frecency" }) {
            if (m_schema.has(Origins, QString::fromLatin1(column))) {
                insert.add(column);
                ++m_originRecalcColumns;
            }
        }
        m_insertOrigin = m_database.prepare(insert.sql("moz_origins"));
    }

    // The place of exactly this address: an existing one, or a new one.
    qint64 placeFor(const QString &link)
    {
        const QByteArray url = link.toUtf8();
        if (const auto it = m_placeIds.constFind(url); it != m_placeIds.cend())
            return *it;
        const qint64 hash = placesUrlHash(url);
        m_findPlace->bind(1, hash);
        m_findPlace->bindText(2, url);
        qint64 id = 0;
        if (m_findPlace->step())
            id = m_findPlace->int64At(0);
        m_findPlace->reset();
        if (!id)
            id = insertPlace(link, url, hash);
        m_placeIds.insert(url, id);
        return id;
    }

    qint64 insertPlace(const QString &link, const QByteArray &url, qint64 hash)
    {
        const PlacesUrlParts parts = splitPlacesUrl(link);
        const std::optional<qint64> origin
            = m_placeHasOrigin ? std::optional(originFor(parts)) : std::nullopt;
        sqlite::Statement &insert = *m_insertPlace;
        int index = 1;
        insert.bindText(index++, url);
        if (m_placeHasRevHost)
            insert.bind(index++, reversedHost(parts.host));
        if (m_placeHasGuid)
            insert.bindText(index++, newGuid(*m_placeGuidTaken));
        if (m_placeHasUrlHash)
            insert.bind(index++, hash);
        if (origin)
            insert.bind(index++, *origin);
        // Firefox works out the frecency of a marked place itself.
        for (int i = 0; i < m_placeRecalcColumns; ++i)
            insert.bind(index++, qint64 { 1 });
        insert.execute();
        return m_database.lastInsertRowId();
    }

    qint64 originFor(const PlacesUrlParts &parts)
    {
        const QString key = parts.prefix + u'\n' + parts.hostAndPort;
        if (const auto it = m_originIds.constFind(key); it != m_originIds.cend())
            return *it;
        m_findOrigin->bind(1, parts.prefix);
        m_findOrigin->bind(2, parts.hostAndPort);
        qint64 id = 0;
        if (m_findOrigin->step())
            id = m_findOrigin->int64At(0);
        m_findOrigin->reset();
        if (!id) {
            sqlite::Statement &insert = *m_insertOrigin;
            insert.bind(1, parts.prefix);
            insert.bind(2, parts.hostAndPort);
            // With recalculation columns, -1 asks Firefox to work the frecency out, as its own rows show.
            insert.bind(3, qint64 { m_originRecalcColumns > 0 ? -1 : 0 });
            for (int i = 0; i < m_originRecalcColumns; ++i)
                insert.bind(4 + i, qint64 { 1 });
            insert.execute();
            id = m_database.lastInsertRowId();
        }
        m_originIds.insert(key, id);
        return id;
    }

    QByteArray newGuid(sqlite::Statement &taken)
    {
        for (;;) {
            QByteArray guid = makePlacesGuid(m_random);
            taken.bindText(1, guid);
            const bool exists = taken.step();
            taken.reset();
            if (!exists)
                return guid;
        }
    }

    sqlite::Database &m_database;
    const PlacesSchema &m_schema;
    const PlacesRows &m_rows;
    const qint64 m_now;
    QRandomGenerator &m_random;

    QHash<qint64, FolderContent> m_contents;
    QHash<QByteArray, qint64> m_placeIds;
    QHash<QString, qint64> m_originIds;
    QHash<qint64, qint64> m_addedReferences;

    bool m_bookmarkHasDates = false;
    bool m_bookmarkHasGuid = false;
    bool m_bookmarkHasSync = false;
    bool m_placeHasRevHost = false;
    bool m_placeHasGuid = false;
    bool m_placeHasUrlHash = false;
    bool m_placeHasOrigin = false;
    int m_placeRecalcColumns = 0;
    int m_originRecalcColumns = 0;
    std::optional<sqlite::Statement> m_insertBookmark;
    std::optional<sqlite::Statement> m_bookmarkGuidTaken;
    std::optional<sqlite::Statement> m_insertPlace;
    std::optional<sqlite::Statement> m_placeGuidTaken;
    std::optional<sqlite::Statement> m_findPlace;
    std::optional<sqlite::Statement> m_findOrigin;
    std::optional<sqlite::Statement> m_insertOrigin;
};

} // namespace

void exportPlaces(sqlite::Database &database, const PlacesSchema &schema, const PlacesRows &rows,
                  const BookmarkNode &node, qint64 folder, qint64 now, QRandomGenerator &random)
{
    PlacesExporter exporter(database, schema, rows, now, random);
    exporter.exportChildren(node, folder);
    exporter.finish();
}

} // namespace vellumite
