#pragma once

#include <QtGlobal>

class QRandomGenerator;

namespace vellumite {

namespace sqlite {
class Database;
}
class BookmarkNode;
class PlacesRows;
class PlacesSchema;

// Writes the children of `node`, recursively, into the folder: a category joins a folder of the same
// name (letter case aside) or becomes a new one, a bookmark is written unless the folder holds one of
// its description, and its place is the one of exactly its address or a new one. Every row carries
// what a current Firefox needs to keep it (guid, position, dates, url hash, origin, reference count)
// as far as the schema has the columns. `rows` is moz_bookmarks as it is now. Runs inside the caller's
// transaction; throws sqlite::Error on a failure.
void exportPlaces(sqlite::Database &database, const PlacesSchema &schema, const PlacesRows &rows,
                  const BookmarkNode &node, qint64 folder, qint64 now, QRandomGenerator &random);

} // namespace vellumite
