#include "exchange/core/placesschema.h"

#include "base/sqlite/sqlitedatabase.h"
#include "base/sqlite/sqlitestatement.h"

#include <QByteArray>

namespace vellumite {

namespace {

// The tables that import, export and clear read or keep consistent.
constexpr const char *knownTables[] = {
    "moz_bookmarks",         "moz_places",       "moz_origins",         "moz_items_annos",
    "moz_bookmarks_deleted", "moz_keywords",     "moz_annos",           "moz_historyvisits",
    "moz_inputhistory",      "moz_places_extra", "moz_places_metadata",
};

} // namespace

PlacesSchema PlacesSchema::read(sqlite::Database &database)
{
    PlacesSchema schema;
    for (const char *table : knownTables) {
        // A pragma takes no bound values; the names are our own constants.
        const QByteArray sql = QByteArray("PRAGMA table_info(") + table + ')';
        sqlite::Statement columns = database.prepare(sql);
        QSet<QString> names;
        while (columns.step())
            names.insert(columns.textAt(1));
        if (!names.isEmpty())
            schema.m_columns.insert(QString::fromLatin1(table), names);
    }
    return schema;
}

bool PlacesSchema::isPlacesDatabase() const
{
    static const QString bookmarks = QStringLiteral("moz_bookmarks");
    static const QString places = QStringLiteral("moz_places");
    for (const char *column : { "id", "type", "fk", "parent", "position", "title" }) {
        if (!has(bookmarks, QString::fromLatin1(column)))
            return false;
    }
    return has(places, QStringLiteral("id")) && has(places, QStringLiteral("url"));
}

} // namespace vellumite
