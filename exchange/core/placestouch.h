#pragma once

#include <QList>
#include <QtGlobal>

namespace vellumite {

namespace sqlite {
class Database;
}
class PlacesSchema;

// Firefox's own clock for bookmarks: microseconds since 1970.
qint64 placesNow();

// Marks folders whose content changed as Firefox does: lastModified set to `now`, one more change for
// Sync to send. Throws sqlite::Error on a failure.
void touchPlacesFolders(sqlite::Database &database, const PlacesSchema &schema, const QList<qint64> &folders,
                        qint64 now);

} // namespace vellumite
