#pragma once

#include <QByteArray>
#include <QHash>
#include <vector>

namespace vellumite {

namespace sqlite {
class Database;
}
class PlacesSchema;

// Row types of moz_bookmarks that the exchange knows; separators and anything else are neither.
inline constexpr qint32 PlacesBookmarkType = 1;
inline constexpr qint32 PlacesFolderType = 2;

// One moz_bookmarks row with the place it points at.
struct PlacesRow
{
    qint64 id = 0;
    qint32 type = 0;
    qint64 parent = 0;
    qint64 position = 0;
    QByteArray title; // UTF-8; NULL reads as empty.
    QByteArray guid;
    qint64 syncStatus = 0;
    qint64 placeId = 0; // 0: fk is NULL or names no place.
    QByteArray url;

    bool hasPlace() const { return placeId != 0; }
    // Smart bookmarks ("place:" queries) are Firefox's own and stay where they are.
    bool isPlaceQuery() const { return url.startsWith("place"); }
};

// The whole of moz_bookmarks, read in one pass, with the children of each folder in the order Firefox
// shows them. Everything an import, an export or a clear looks up comes from here, so no table is read
// again per folder or per row.
class PlacesRows
{
public:
    // Throws sqlite::Error on a failure.
    static PlacesRows read(sqlite::Database &database, const PlacesSchema &schema);

    const PlacesRow &row(qsizetype index) const { return m_rows[static_cast<size_t>(index)]; }
    // Indexes of the rows whose parent is `folder`, by position, then id.
    const std::vector<qsizetype> &childrenOf(qint64 folder) const;
    // Every row below `folder`, a folder before its content, each row once even when the parents
    // form a loop.
    std::vector<qsizetype> rowsBelow(qint64 folder) const;
    // How many rows point at the place.
    int referencesTo(qint64 placeId) const { return m_placeReferences.value(placeId); }

private:
    std::vector<PlacesRow> m_rows;
    QHash<qint64, std::vector<qsizetype>> m_children;
    QHash<qint64, int> m_placeReferences;
};

} // namespace vellumite
