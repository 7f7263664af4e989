#include "exchange/core/placestouch.h"

#include "base/sqlite/sqlitedatabase.h"
#include "base/sqlite/sqlitestatement.h"
#include "exchange/core/placesschema.h"

#include <QByteArrayList>
#include <QDateTime>

namespace vellumite {

qint64 placesNow()
{
    return QDateTime::currentMSecsSinceEpoch() * 1000;
}

void touchPlacesFolders(sqlite::Database &database, const PlacesSchema &schema, const QList<qint64> &folders,
                        qint64 now)
{
    const QString bookmarks = QStringLiteral("moz_bookmarks");
    QByteArrayList changes;
    const bool hasLastModified = schema.has(bookmarks, QStringLiteral("lastModified"));
    if (hasLastModified)
        changes << "lastModified = ?2";
    if (schema.has(bookmarks, QStringLiteral("syncChangeCounter")))
        changes << "syncChangeCounter = syncChangeCounter + 1";
    if (changes.isEmpty() || folders.isEmpty())
        return;
    const QByteArray sql = "UPDATE moz_bookmarks SET " + changes.join(", ") + " WHERE id = ?1";
    sqlite::Statement touch = database.prepare(sql);
    for (const qint64 folder : folders) {
        touch.bind(1, folder);
        if (hasLastModified)
            touch.bind(2, now);
        touch.execute();
    }
}

} // namespace vellumite
