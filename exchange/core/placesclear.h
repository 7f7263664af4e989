#pragma once

#include <QtGlobal>

namespace vellumite {

namespace sqlite {
class Database;
}
class PlacesRows;
class PlacesSchema;

// Empties the folder before an export that replaces it; the folder row itself stays. Bookmarks with an
// empty title and "place:" queries are Firefox's own and stay, with every folder that still holds one;
// separators and all else go. A place goes with its last bookmark only when nothing else uses it (other
// bookmarks, keywords, history, annotations). `rows` is moz_bookmarks as it is now. Runs inside the
// caller's transaction; throws sqlite::Error on a failure.
void deletePlacesFolderContent(sqlite::Database &database, const PlacesSchema &schema, const PlacesRows &rows,
                               qint64 folder, qint64 now);

} // namespace vellumite
