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
// A count that does not match the nodes that follow: a damaged count would otherwise load a file of
// many nodes as an empty one, which the next save writes over.
inline const QString NodeCountMismatchMessage
    = QStringLiteral("Stream data corrupt. The node count does not match the nodes in the file.");
// A node chunk where the node's children have all been read: a child count lowered by damage would
// otherwise leave the rest of the children unread, and the next save would lose them.
inline const QString ChildCountMismatchMessage
    = QStringLiteral("Stream data corrupt. A node's child count does not match the nodes in the file.");
inline const QString TooDeeplyNestedMessage
    = QStringLiteral("Stream data corrupt. The nodes are nested deeper than 1000 levels.");
// The file itself cannot be a bookmark file: it is no regular file (a folder, a pipe, a device), or it
// is larger than MaximumFileSize.
inline const QString NotARegularFileText = QStringLiteral("It is not a regular file.");
inline const QString FileTooLargeText = QStringLiteral("It is larger than 1 GB.");

// Called for every caption chunk once its node's record is read (the tree's column-0 text setter),
// also with an empty caption.
using CaptionHandler = std::function<void(BookmarkNode &node, const QString &caption)>;

// "Bookmarks.lkb": the tree as a stream of nested node chunks, each holding the node's state, its
// children, its record and its column-0 text. Reading is bounded by the data: a damaged or hostile
// stream fails with a message, never with a crash, a hang or an allocation beyond its own size.
// Without a caption handler, a non-empty caption sets the record's name and an empty one is ignored.
struct BookmarkFile
{
    static constexpr qint64 MaximumFileSize = qint64(1) << 30;

    // The whole file.
    static QByteArray save(const BookmarkTree &tree);
    // Atomic (the old file stays whole on any failure); returns "" on success, else
    // "Cannot create file \"<full path>\". <system text>".
    static QString saveToFile(const BookmarkTree &tree, const QString &path);
    // Writes bytes made by save() the same way; needs no tree, so it can run on a worker thread.
    static QString writeToFile(const QByteArray &bytes, const QString &path);
    // The same for the file `name` in the open folder `directoryFd`; the message shows `shownPath`.
    static QString writeToFileAt(const QByteArray &bytes, int directoryFd, const QString &name,
                                 const QString &shownPath);

    // Empties the tree, then reads; returns "" on success or the failure's message. On failure the tree
    // keeps the nodes read before it, the last of them perhaps in part. Every byte must belong to the
    // nodes the count announces (fewer nodes than the count are fine at the end of the data), and no
    // node may lie deeper than MaxTreeLevels.
    static QString load(BookmarkTree &tree, QByteArrayView data, const CaptionHandler &onCaption = {});
    // "Cannot open file \"<path>\". <reason>" when it cannot be opened, is no regular file or is larger
    // than MaximumFileSize; the tree is then untouched. Nothing but a regular file is opened, so a pipe
    // in the file's place cannot block the caller.
    static QString loadFromFile(BookmarkTree &tree, const QString &path,
                                const CaptionHandler &onCaption = {});
    // The same for the file `name` in the open folder `directoryFd`; messages show `shownPath`.
    static QString loadFromFileAt(BookmarkTree &tree, int directoryFd, const QString &name,
                                  const QString &shownPath, const CaptionHandler &onCaption = {});

    // Node chunks alone (no identification or count), for the clipboard: each node with all its
    // descendants, in the order given.
    static QByteArray writeNodeChunks(const std::vector<const BookmarkNode *> &nodes);
    // Appends the nodes read from `data` as the last children of `parent` and lists them in `added`
    // (when given), also on failure, when the nodes read before it stay under `parent`. A node more than
    // `maxLevels` levels below `parent` fails the read with TooDeeplyNestedMessage.
    static QString readNodeChunks(QByteArrayView data, BookmarkNode &parent,
                                  std::vector<BookmarkNode *> *added, const CaptionHandler &onCaption = {},
                                  int maxLevels = MaxTreeLevels);
};

} // namespace vellumite
