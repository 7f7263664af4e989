#include "exchange/core/placesrows.h"

#include "base/sqlite/sqlitedatabase.h"
#include "base/sqlite/sqlitestatement.h"
#include "exchange/core/placesschema.h"

#include <QSet>
#include <algorithm>
#include <limits>

namespace vellumite {

PlacesRows PlacesRows::read(sqlite::Database &database, const PlacesSchema &schema)
{
    const QString bookmarks = QStringLiteral("moz_bookmarks");
    const bool hasGuid = schema.has(bookmarks, QStringLiteral("guid"));
    const bool hasSyncStatus = schema.has(bookmarks, QStringLiteral("syncStatus"));
    QByteArray sql = "SELECT b.id, b.type, b.parent, b.position, b.title, b.fk, p.id, p.url";
    sql += hasGuid ? ", b.guid" : ", NULL";
    sql += hasSyncStatus ? ", b.syncStatus" : ", 0";
    sql += " FROM moz_bookmarks b LEFT JOIN moz_places p ON p.id = b.fk";

    PlacesRows rows;
    sqlite::Statement select = database.prepare(sql);
    while (select.step()) {
        PlacesRow row;
        row.id = select.int64At(0);
        row.type = static_cast<qint32>(select.int64At(1));
        row.parent = select.int64At(2);
        row.position = select.isNull(3) ? std::numeric_limits<qint64>::max() : select.int64At(3);
        row.title = select.bytesAt(4);
        if (!select.isNull(5))
            rows.m_placeReferences[select.int64At(5)] += 1;
        if (!select.isNull(6)) {
            row.placeId = select.int64At(6);
            row.url = select.bytesAt(7);
        }
        row.guid = select.bytesAt(8);
        row.syncStatus = select.int64At(9);
        rows.m_children[row.parent].push_back(static_cast<qsizetype>(rows.m_rows.size()));
        rows.m_rows.push_back(std::move(row));
    }
    for (std::vector<qsizetype> &children : rows.m_children) {
        std::sort(children.begin(), children.end(), [&rows](qsizetype a, qsizetype b) {
            const PlacesRow &left = rows.row(a);
            const PlacesRow &right = rows.row(b);
            return left.position != right.position ? left.position < right.position : left.id < right.id;
        });
    }
    return rows;
}

const std::vector<qsizetype> &PlacesRows::childrenOf(qint64 folder) const
{
    static const std::vector<qsizetype> none;
    const auto it = m_children.constFind(folder);
    return it == m_children.cend() ? none : *it;
}

std::vector<qsizetype> PlacesRows::rowsBelow(qint64 folder) const
{
    std::vector<qsizetype> below;
    QSet<qint64> visitedFolders { folder };
    // Depth first without recursion: a broken database may nest folders without end.
    std::vector<std::pair<qint64, size_t>> stack { { folder, 0 } };
    while (!stack.empty()) {
        auto &[current, next] = stack.back();
        const std::vector<qsizetype> &children = childrenOf(current);
        if (next == children.size()) {
            stack.pop_back();
            continue;
        }
        const qsizetype index = children[next++];
        const PlacesRow &child = row(index);
        if (child.type == PlacesFolderType) {
            if (visitedFolders.contains(child.id))
                continue;
            visitedFolders.insert(child.id);
            below.push_back(index);
            stack.emplace_back(child.id, 0);
        } else {
            below.push_back(index);
        }
    }
    return below;
}

} // namespace vellumite
