#pragma once

#include "base/atomicfile.h"
#include "main/core/bookmarktree.h"

#include <QByteArray>
#include <QString>

// What the readers and writers of the file-based browser stores share.
namespace vellumite {

// "Cannot open file \"<path>\". <system text>", the text a failed read reports; a failed write reports
// cannotCreateFileMessage (atomicfile.h).
QString cannotOpenFileMessage(const QString &path, const QString &systemText);

// Reads a whole store file into `bytes` the guarded way of ForeignFile; returns "" or the failure's
// text. A file above `maximumSize` is refused before it is read into memory, and so is anything that is
// not a regular file (a device or a pipe could hang the read).
QString readStoreFile(const QString &path, qint64 maximumSize, QByteArray &bytes);

// Creates or replaces the file atomically: on any failure the former file stays as it was. Returns ""
// or the failure's text.
QString writeStoreFile(const QString &path, const QByteArray &bytes);

// Appends copies of the children of `from`, with all their descendants, records and states, to `to`.
void appendCopiesOfChildren(const BookmarkNode &from, BookmarkNode &to);
// A deep copy of a subtree, records and states, for a writer to walk off the user-interface thread.
std::unique_ptr<BookmarkNode> copySubtree(const BookmarkNode &node);

} // namespace vellumite
