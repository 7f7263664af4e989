#pragma once

#include <QtGlobal>

namespace vellumite {

class BookmarkNode;
class PlacesRows;

// Appends to `staging` what lies below the folder: its folders as categories and its bookmarks, in the
// order Firefox shows them, as plain records of the store readers (Firefox as their source). Rows of
// other types, bookmarks whose place is missing and "place:" queries are left out; names are not
// merged here, the merge into the tree does that. Returns false, `staging` left as it was, when the
// folder nests entries deeper than MaxStoreLevels.
bool importPlaces(const PlacesRows &rows, qint64 folder, BookmarkNode &staging, qint32 browserCode);

} // namespace vellumite
