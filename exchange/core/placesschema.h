#pragma once

#include <QHash>
#include <QSet>
#include <QString>

namespace vellumite {

namespace sqlite {
class Database;
}

// The tables and columns a places database has. Firefox 3 and a current Firefox differ (guids, url
// hashes, origins, sync columns); the program writes what the schema in front of it holds and never
// changes the schema itself.
class PlacesSchema
{
public:
    // Reads the columns of the tables the exchange uses; throws sqlite::Error on a failure.
    static PlacesSchema read(sqlite::Database &database);

    bool hasTable(const QString &table) const { return m_columns.contains(table); }
    bool has(const QString &table, const QString &column) const
    {
        return m_columns.value(table).contains(column);
    }
    // Whether moz_bookmarks and moz_places hold what every version of the exchange reads.
    bool isPlacesDatabase() const;

private:
    QHash<QString, QSet<QString>> m_columns;
};

} // namespace vellumite
