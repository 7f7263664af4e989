#pragma once

#include "main/core/bookmarktree.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

class QMimeData;

namespace vellumite {

// The tree's own clipboard format, "Virtual Tree Data": the node chunks of the bookmark file, each
// copied node with its descendants and records. Any program may offer it, so reading it is bounded by
// the data like reading the file.
inline const QString VirtualTreeDataMimeType = QStringLiteral("application/x-vellumite-virtual-tree-data");
// Offered beside the tree data when it was placed by a cut: the identity of that cut, so that a paste
// can tell whether the nodes marked as cut in this tree are the ones on the clipboard.
inline const QString TreeCutMimeType = QStringLiteral("application/x-vellumite-tree-cut");
inline const QString CsvMimeType = QStringLiteral("text/csv");
inline const QString RtfMimeType = QStringLiteral("text/rtf");

// The copied nodes as the other clipboard formats show them: every node of each subtree in tree order,
// with its "Description" and "Link" texts; plain text and HTML indent a node by its depth in the copy.
QString nodesAsPlainText(const std::vector<const BookmarkNode *> &nodes);
QString nodesAsHtml(const std::vector<const BookmarkNode *> &nodes);
QString nodesAsCsv(const std::vector<const BookmarkNode *> &nodes);
QByteArray nodesAsRtf(const std::vector<const BookmarkNode *> &nodes);

// The nodes that a copy, a cut or a drag to another program takes from a selection: those that no other
// selected node contains, in tree order, never the root category (pasted, it would plant a second,
// non-editable root inside a category).
std::vector<BookmarkNode *> nodesToCopy(const BookmarkTree &tree, std::vector<BookmarkNode *> selected);

// One data object offering the nodes (each with its descendants) in every format of the tree; `cutId`
// is given for a cut.
std::unique_ptr<QMimeData> makeTreeMimeData(const std::vector<const BookmarkNode *> &nodes,
                                            const QByteArray &cutId = {});
bool holdsTreeData(const QMimeData *data);
// The identity of the cut that placed the data; empty for a copy or data from elsewhere.
QByteArray treeCutIdOf(const QMimeData *data);

// Reads the tree data into new, detached nodes. All or nothing: on a damaged stream `nodes` stays
// empty and the reader's message is returned; "" on success. Nodes read from the clipboard are never
// the root category, so every one of them is editable, whatever the data says.
// A node more than `maxLevels` levels below the paste target fails the read (TooDeeplyNestedMessage), so
// no paste makes the tree deeper than MaxTreeLevels.
QString readTreeData(const QMimeData &data, std::vector<std::unique_ptr<BookmarkNode>> &nodes,
                     int maxLevels = MaxTreeLevels);

} // namespace vellumite
