#pragma once

#include "main/core/bookmarktree.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>
#include <vector>

namespace vellumite {

// Failures of the node stream's frame; a record that cannot be read fails with the messages of
// bookmarkrecord.h.
inline const QString NotEnoughDataMessage
    = QStringLiteral("Unable to load tree structure, not enough data available.");
inline const QString WrongFormatMessage
    = QStringLiteral("Unable to load tree structure, the format is wrong.");
inline const QString UnknownVersionMessage
    = QStringLiteral("Unable to load tree structure, the version is unknown.");
inline const QString AnchorChunkMissingMessage
    = QStringLiteral("Stream data corrupt. A node's anchor chunk is missing.");
inline const QString UnexpectedDataMessage
    = QStringLiteral("Stream data corrupt. Unexpected data after node's end position.");

// Called for every caption chunk once its node's record is read (the tree's column-0 text setter),
// also with an empty caption.
using CaptionHandler = std::function<void(BookmarkNode &node, const QString &caption)>;

// "Bookmarks.lkb": the tree as a stream of nested node chunks, each holding the node's state, its
// children, its record and its column-0 text. Reading is bounded by the data: a damaged or hostile
// stream fails with a message, never with a crash, a hang or an allocation beyond its own size.
// Without a caption handler, a non-empty caption sets the record's name and an empty one is ignored.
struct BookmarkFile
{
    // The whole file.
    static QByteArray save(const BookmarkTree &tree);
    // Atomic (the old file stays whole on any failure); returns "" on success, else
    // "Cannot create file \"<full path>\". <system text>".
    static QString saveToFile(const BookmarkTree &tree, const QString &path);
    // Writes bytes made by save() the same way; needs no tree, so it can run on a worker thread.
    static QString writeToFile(const QByteArray &bytes, const QString &path);

    // Empties the tree, then reads; returns "" on success or the failure's message. On failure the tree
    // keeps the nodes read before it, the last of them perhaps in part.
    static QString load(BookmarkTree &tree, QByteArrayView data, const CaptionHandler &onCaption = {});
    // "Cannot open file \"<path>\". <system text>" when it cannot be opened; the tree is then untouched.
    static QString loadFromFile(BookmarkTree &tree, const QString &path,
                                const CaptionHandler &onCaption = {});

    // Node chunks alone (no identification or count), for the clipboard: each node with all its
    // descendants, in the order given.
    static QByteArray writeNodeChunks(const std::vector<const BookmarkNode *> &nodes);
    // Appends the nodes read from `data` as the last children of `parent` and lists them in `added`
    // (when given), also on failure, when the nodes read before it stay under `parent`.
    static QString readNodeChunks(QByteArrayView data, BookmarkNode &parent,
                                  std::vector<BookmarkNode *> *added, const CaptionHandler &onCaption = {});
};

} // namespace vellumite
