#include "exchange/core/storefile.h"

#include "base/atomicfile.h"
#include "base/foreignfile.h"

#include <QDir>
#include <QFileInfo>
#include <utility>
#include <vector>

namespace vellumite {

namespace {

QString shownPath(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

} // namespace

QString cannotOpenFileMessage(const QString &path, const QString &systemText)
{
    return QStringLiteral("Cannot open file \"%1\". %2").arg(shownPath(path), systemText);
}

QString readStoreFile(const QString &path, qint64 maximumSize, QByteArray &bytes)
{
    ForeignFileRead file = readForeignFile(path, maximumSize);
    bytes = std::move(file.bytes);
    return file.ok() ? QString() : cannotOpenFileMessage(path, file.errorString);
}

QString writeStoreFile(const QString &path, const QByteArray &bytes)
{
    QString reason;
    if (!writeFileAtomically(path, bytes, &reason))
        return cannotCreateFileMessage(path, reason);
    return QString();
}

std::unique_ptr<BookmarkNode> copyOfNode(const BookmarkNode &node)
{
    auto copy = std::make_unique<BookmarkNode>(node.record);
    copy->states = node.states;
    copy->nodeHeight = node.nodeHeight;
    copy->align = node.align;
    copy->checkState = node.checkState;
    copy->checkType = node.checkType;
    return copy;
}

void appendCopiesOfChildren(const BookmarkNode &from, BookmarkNode &to)
{
    // An explicit stack: a tree loaded from a hostile file may be deeper than the call stack allows.
    std::vector<std::pair<const BookmarkNode *, BookmarkNode *>> pending { { &from, &to } };
    while (!pending.empty()) {
        const auto [source, copy] = pending.back();
        pending.pop_back();
        for (int row = 0; row < source->childCount(); ++row) {
            const BookmarkNode *child = source->child(row);
            BookmarkNode *childCopy = copy->appendChild(copyOfNode(*child));
            if (child->childCount() > 0)
                pending.emplace_back(child, childCopy);
        }
    }
}

std::unique_ptr<BookmarkNode> copySubtree(const BookmarkNode &node)
{
    std::unique_ptr<BookmarkNode> copy = copyOfNode(node);
    appendCopiesOfChildren(node, *copy);
    return copy;
}

} // namespace vellumite
