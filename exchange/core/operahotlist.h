#pragma once

#include "exchange/core/exportmode.h"
#include "exchange/core/stagingmerge.h"
#include "main/core/bookmarktree.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace vellumite {

// The Opera hotlist ("opera6.adr", "bookmarks.adr"): a text file of "#FOLDER" and "#URL" entries, each a
// header line and key lines ("NAME=", "URL=", "DESCRIPTION=" and keys of Opera's own), a line "-"
// closing the innermost folder. Every node read keeps its entry's text in OperaBlock, so the keys this
// program does not understand survive an import followed by an export.

// Names in a hotlist compare exactly, case included: merge a staging tree read from one with this.
inline constexpr NameMatch OperaHotlistNameMatch = NameMatch::Exact;

// What a reader accepts; larger files, longer lines and entries nested deeper than MaxStoreLevels are
// refused with a message, so hostile input can neither exhaust memory nor the call stacks of the
// tree's users.
inline constexpr qsizetype MaxHotlistFileSize = qsizetype(64) * 1024 * 1024;
inline constexpr qsizetype MaxHotlistLineLength = qsizetype(1024) * 1024;

// Appends the file's folders and links as plain records to `staging`'s children: ImportSource Opera,
// the entry's text in OperaBlock, bookmarks with the icon `browserCode`. Nothing is merged by name yet:
// merge `staging` into the target with OperaHotlistNameMatch. Each line is read as UTF-8, or as
// Windows-1252 when it is not valid UTF-8, so no character is lost; a line break inside a value (two
// U+0002 characters) becomes CR LF. Returns "" on success or the failure's text; on failure `staging`
// is left as it was. Touches no model, so it may run on a worker thread.
QString readOperaHotlist(const QString &path, BookmarkNode &staging, qint32 browserCode);
// The same over the file's bytes.
QString parseOperaHotlist(QByteArrayView bytes, BookmarkNode &staging, qint32 browserCode);

// Writes what lies below `rootCategory` (the root itself is not written), depth first, as a hotlist:
// UTF-8 without a byte-order mark, every line ended by CR LF. Replace: the file is replaced by the tree.
// Merge: the file keeps everything it held, in its order, with its own header, and each folder gets
// the tree's entries it lacks after its own (a folder of the same name is shared, a link whose name
// stands beside it is skipped). The file is written once, atomically: on any failure, also when the
// present file cannot be read, it stays as it was. Returns "" or the failure's text.
QString writeOperaHotlist(const BookmarkNode &rootCategory, const QString &path, ExportMode mode);
// The bytes of a replacing export.
QByteArray formatOperaHotlist(const BookmarkNode &rootCategory);
// The bytes of a merging export over the file's present bytes; "" or the failure's text.
QString mergeOperaHotlist(QByteArrayView present, const BookmarkNode &rootCategory, QByteArray &merged);

// The entry a node gets when it holds none: its name, link (bookmarks only) and comment on key lines of
// their own.
QString freshOperaBlock(const TBookmark &record);
// The entry the writer writes for a record: its stored block when that is one entry of the record's
// kind and says what the record says; the stored block with its name, link and description lines
// rewritten (the other lines kept) when the record changed since; a fresh block when it holds none.
QString operaBlockToWrite(const TBookmark &record);
// Stores in every node below `rootCategory` the block that an export writes for it, so every exported
// node holds its entry afterwards. Changes only OperaBlock, which no view shows. Returns how many
// nodes changed.
qsizetype fillMissingOperaBlocks(BookmarkNode &rootCategory);

} // namespace vellumite
