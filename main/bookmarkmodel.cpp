#include "main/bookmarkmodel.h"

#include "main/core/bookmarksort.h"

namespace vellumite {

BookmarkModel::BookmarkModel(BookmarkTree &tree, QObject *parent)
    : QAbstractItemModel(parent)
    , m_tree(tree)
{ }

BookmarkNode *BookmarkModel::nodeFromIndex(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    return static_cast<BookmarkNode *>(index.internalPointer());
}

QModelIndex BookmarkModel::indexFromNode(const BookmarkNode *node, int column) const
{
    if (!node || node == &m_tree.topLevel())
        return {};
    return createIndex(node->row(), column, const_cast<BookmarkNode *>(node));
}

BookmarkNode *BookmarkModel::folderOf(const QModelIndex &parent) const
{
    BookmarkNode *node = nodeFromIndex(parent);
    return node ? node : &m_tree.topLevel();
}

void BookmarkModel::setSortState(int column, Qt::SortOrder order)
{
    m_sortColumn = column;
    m_sortOrder = order;
}

void BookmarkModel::reloadSorted()
{
    beginResetModel();
    sortSubtree(m_tree.topLevel(), m_sortColumn, m_sortOrder);
    endResetModel();
}

void BookmarkModel::resortFolder(BookmarkNode *folder)
{
    if (!folder || folder->childCount() < 2)
        return;
    const QModelIndexList before = persistentIndexList();
    // Only persistent indexes of this folder's direct children move.
    std::vector<std::pair<QModelIndex, BookmarkNode *>> moved;
    for (const QModelIndex &index : before) {
        BookmarkNode *node = nodeFromIndex(index);
        if (node && node->parent() == folder)
            moved.emplace_back(index, node);
    }
    const QModelIndex parentIndex = indexFromNode(folder);
    emit layoutAboutToBeChanged({ QPersistentModelIndex(parentIndex) }, VerticalSortHint);
    sortChildren(*folder, m_sortColumn, m_sortOrder);
    for (const auto &[index, node] : moved)
        changePersistentIndex(index, createIndex(node->row(), index.column(), node));
    emit layoutChanged({ QPersistentModelIndex(parentIndex) }, VerticalSortHint);
}

BookmarkNode *BookmarkModel::insertNode(BookmarkNode *parent, std::unique_ptr<BookmarkNode> node)
{
    if (!parent)
        parent = &m_tree.topLevel();
    // The new node goes after the last sibling it does not sort before, as a stable sort would put it.
    const int sign = m_sortOrder == Qt::AscendingOrder ? 1 : -1;
    int row = parent->childCount();
    while (row > 0 && sign * VTCompareNodes(node->record, parent->child(row - 1)->record, m_sortColumn) < 0)
        --row;
    beginInsertRows(indexFromNode(parent), row, row);
    BookmarkNode *inserted = parent->insertChild(row, std::move(node));
    endInsertRows();
    return inserted;
}

void BookmarkModel::removeNode(BookmarkNode *node)
{
    if (!node || !node->parent())
        return;
    BookmarkNode *parent = node->parent();
    const int row = node->row();
    beginRemoveRows(indexFromNode(parent), row, row);
    parent->removeChildren(row, 1);
    endRemoveRows();
}

void BookmarkModel::recordChanged(BookmarkNode *node)
{
    if (!node)
        return;
    emit dataChanged(indexFromNode(node, 0), indexFromNode(node, columnCount() - 1));
}

QModelIndex BookmarkModel::index(int row, int column, const QModelIndex &parent) const
{
    const BookmarkNode *folder = folderOf(parent);
    if (row < 0 || column < 0 || column >= columnCount() || row >= folder->childCount())
        return {};
    return createIndex(row, column, folder->child(row));
}

QModelIndex BookmarkModel::parent(const QModelIndex &child) const
{
    const BookmarkNode *node = nodeFromIndex(child);
    if (!node)
        return {};
    return indexFromNode(node->parent());
}

int BookmarkModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return folderOf(parent)->childCount();
}

int BookmarkModel::columnCount(const QModelIndex &) const
{
    return 3;
}

QString BookmarkModel::VTGetText(const TBookmark &record, int column)
{
    switch (column) {
    case ColumnDescription:
        return record.IsCategory ? record.CategoryName : record.Description;
    case ColumnLink:
        return record.IsCategory ? QString() : record.Link;
    default:
        return {};
    }
}

QVariant BookmarkModel::data(const QModelIndex &index, int role) const
{
    const BookmarkNode *node = nodeFromIndex(index);
    if (!node)
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return VTGetText(node->record, index.column());
    return {};
}

QVariant BookmarkModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case ColumnDescription:
        return QStringLiteral("Description");
    case ColumnLink:
        return QStringLiteral("Link");
    case ColumnState:
        return QStringLiteral("State");
    default:
        return {};
    }
}

void BookmarkModel::sort(int column, Qt::SortOrder order)
{
    setSortState(column, order);
    emit layoutAboutToBeChanged({}, VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<BookmarkNode *> nodes;
    nodes.reserve(static_cast<size_t>(before.size()));
    for (const QModelIndex &index : before)
        nodes.push_back(nodeFromIndex(index));
    sortSubtree(m_tree.topLevel(), column, order);
    for (qsizetype i = 0; i < before.size(); ++i) {
        BookmarkNode *node = nodes[static_cast<size_t>(i)];
        changePersistentIndex(before[i],
                              node ? createIndex(node->row(), before[i].column(), node) : QModelIndex());
    }
    emit layoutChanged({}, VerticalSortHint);
}

} // namespace vellumite
