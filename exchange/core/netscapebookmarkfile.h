#pragma once

#include "exchange/core/exportmode.h"
#include "exchange/core/stagingmerge.h"
#include "main/core/bookmarktree.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The Netscape bookmark file ("bookmarks.html"): nested definition lists of folders (<H3>) and links
// (<A HREF>), UTF-8. The reader scans tags, not lines, in any letter case, so that the files of other
// programs (attributes in any order, a bare </DL>, " >" before a title, several tags on one line) read
// as their browsers show them; the writer writes the classic layout, one entry a line, CR LF.
namespace vellumite {

// A folder of the file joins a category of exactly its name, a link is skipped beside a bookmark of
// exactly its title.
inline constexpr NameMatch NetscapeBookmarkFileNameMatch = NameMatch::Exact;

// Larger files are refused before they are read.
inline constexpr qint64 MaximumNetscapeBookmarkFileSize = 256 * 1024 * 1024;
// Reads the file into the children of `staging` as plain records (ImportSource 1); a link gets
// `browserCode` as its ImageIndex. A folder without a name is not made (its entries go into the
// enclosing folder); a link without a title or without a link is not read. A file that nests entries
// deeper than MaxStoreLevels is refused. Returns "" or the failure's text; on failure `staging` is
// left as it was.
QString readNetscapeBookmarkFile(const QString &path, BookmarkNode &staging, qint32 browserCode);
// The same from bytes already read; any bytes are accepted but too deep a nesting.
QString ImportBookmarksHtml(QByteArrayView bytes, BookmarkNode &staging, qint32 browserCode);

// The whole file for the children of `rootCategory` (the root itself is not written). Names and links
// are written whole in UTF-8, with &, <, >, " and line breaks as character references.
QByteArray ExportBookmarksHtml(const BookmarkNode &rootCategory);

// Writes the children of `rootCategory` to the file, atomically. Replace: the file becomes the tree.
// Merge: what the file holds stays as it was, and the tree's folders and links that it lacks are added
// (by the rules of every import), all in one write. Returns "" or the failure's text; a file that
// cannot be read for a merge is not written.
QString writeNetscapeBookmarkFile(const BookmarkNode &rootCategory, const QString &path, ExportMode mode);

// Text of a name or a link as it stands in the file: &, <, >, " and line breaks as references.
QByteArray escapeBookmarkHtml(const QString &text);
// Replaces the character references of `text` (&amp; &#39; &#x1F600; and the common named ones);
// one that names no character stays as it is.
QString decodeCharacterReferences(const QString &text);

} // namespace vellumite
