#pragma once

#include "main/core/bookmarktree.h"

#include <QAbstractItemModel>

namespace vellumite {

// The item model over the main window's node tree. Its row order is the physical order of the nodes,
// which the tree keeps sorted by the header's sort column, so "tree order" is what the user sees.
class BookmarkModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    explicit BookmarkModel(BookmarkTree &tree, QObject *parent = nullptr);

    BookmarkTree &tree() const { return m_tree; }

    BookmarkNode *nodeFromIndex(const QModelIndex &index) const;
    QModelIndex indexFromNode(const BookmarkNode *node, int column = 0) const;

    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }
    void setSortState(int column, Qt::SortOrder order);

    // After the tree was replaced wholesale (a load): one sort per folder, then one reset.
    void reloadSorted();
    // Keeps one folder sorted after its children or their texts changed.
    void resortFolder(BookmarkNode *folder);

    // Inserts a node under `parent` at the place the sort order gives it; returns the inserted node.
    BookmarkNode *insertNode(BookmarkNode *parent, std::unique_ptr<BookmarkNode> node);
    // Removes one node with its descendants.
    void removeNode(BookmarkNode *node);
    // Tells the views that a node's record changed.
    void recordChanged(BookmarkNode *node);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Cell text of the tree: column 0 the name or title, column 1 a bookmark's link, column 2 nothing.
    static QString VTGetText(const TBookmark &record, int column);

private:
    BookmarkNode *folderOf(const QModelIndex &parent) const;

    BookmarkTree &m_tree;
    int m_sortColumn = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

} // namespace vellumite
