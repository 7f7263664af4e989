#pragma once

#include "main/core/bookmarktree.h"

namespace vellumite {

// Accepts the text of an in-place edit of `column` (0 the name, 1 the link). An empty text is ignored,
// so a name or link cannot be emptied in place; line breaks typed or pasted into the editor become
// spaces. A category has no link. For a node that holds a hotlist entry (read from a hotlist or stored by an
// export) the entry's "NAME=" (column 0) or "URL=" (column 1) lines follow the new text. Returns whether the
// record was changed.
bool VTNewText(TBookmark &record, int column, const QString &newText);

// Sets the column-0 text stored with a node in the bookmark file, after its record was read: the name
// is set again exactly as stored and an Opera entry's "NAME=" lines follow it, as for a rename. An empty
// caption is ignored. Nothing is narrowed, so the load leaves every character of the entry in place.
void applyStoredCaption(BookmarkNode &node, const QString &caption);

} // namespace vellumite
