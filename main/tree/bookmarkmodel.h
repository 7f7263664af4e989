#pragma once

#include "main/core/bookmarktree.h"
#include "main/core/dropdecision.h"

#include <QAbstractItemModel>
#include <functional>
#include <optional>

namespace vellumite {

// The item model over the main window's node tree. Its row order is the physical order of the nodes,
// which the tree keeps sorted by the header's sort column, so "tree order" is what the user sees.
class BookmarkModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    enum Role {
        // Icon index of a cell in the main window's image list, -1 for none.
        ImageIndexRole = Qt::UserRole + 1,
        // Icon index drawn centred over a cell after it is painted (the link state), -1 for none.
        StateImageRole,
    };

    // The text colour of the link column; a selected row of the focused tree shows its link in black.
    static constexpr Colour LinkTextColour = 0x00454545;
    static constexpr Colour FocusedLinkTextColour = 0x00000000;

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
    // Removes nodes with their descendants, one removal per folder, so a large selection costs no more
    // than a few rows; nodes from many folders go in one layout change (see rowsAboutToBeRemovedInLayout).
    // A node inside another one given goes with that one.
    void removeNodes(const std::vector<BookmarkNode *> &nodes);
    // Appends nodes as the last children of `parent` in one insertion, then sorts them into place.
    void appendNodes(BookmarkNode *parent, std::vector<std::unique_ptr<BookmarkNode>> nodes);
    // New nodes for several folders (an import's merge), each appended and sorted into place as
    // appendNodes() does; into many folders in one layout change.
    struct FolderInsertion
    {
        BookmarkNode *parent = nullptr;
        std::vector<std::unique_ptr<BookmarkNode>> nodes;
    };
    void appendToFolders(std::vector<FolderInsertion> insertions);
    // Moves nodes with their descendants to the end of `parent`, one move per run of adjacent rows, then
    // sorts them into place. A node that is `parent` or one of its ancestors cannot move there and stays
    // (nodes given inside it still move); a node inside another one that moves goes with it. Returns the
    // nodes moved.
    std::vector<BookmarkNode *> moveNodes(const std::vector<BookmarkNode *> &nodes, BookmarkNode *parent);
    // Moves nodes with their descendants as a drop does: each is put where its move says, one after the
    // other in the order given, and then every folder they went to is sorted once. A move that would put
    // a node into itself or below a node that moves is left out; a node inside another one that moves
    // goes with it. Returns the nodes moved.
    std::vector<BookmarkNode *> moveNodes(const std::vector<NodeMove> &moves);
    // Tells the views that a node's record changed.
    void recordChanged(BookmarkNode *node);

signals:
    // A removal from many folders reaches the views as one layout change. For those that hold nodes, it
    // is told before, as each run of adjacent rows that goes, in tree order, every node still in place;
    // and after, once the nodes are freed.
    void rowsAboutToBeRemovedInLayout(const BookmarkNode &parent, int first, int last);
    void rowsRemovedInLayout();
    // Nodes were added to many folders in one layout change.
    void rowsInsertedInLayout();

public:
    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // An accepted in-place edit: changes the record and keeps its folder sorted.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // The answers the tree gives for one cell of a record.
    // Text: column 0 the name or title, column 1 a bookmark's link, column 2 nothing.
    static QString VTGetText(const TBookmark &record, int column);
    // Image: column 0 the record's icon, the other columns none (-1).
    static int VTGetImageIndexEx(const TBookmark &record, int column);
    // Icon of the "State" column: a bookmark's link state; categories and other columns none (-1).
    static int VTAfterCellPaint(const TBookmark &record, int column);
    // Text colour; no value leaves the tree's font colour.
    static std::optional<Colour> VTPaintText(const TBookmark &record, int column, bool treeFocused,
                                             bool selected);
    // Hint, plain text: the name (and the comment below it) in column 0, the link in column 1.
    static QString VTGetHint(const TBookmark &record, int column);
    // Whether a cell may be edited in place: never the root, a category's link or the state column.
    static bool VTEditing(const TBookmark &record, int column);

private:
    BookmarkNode *folderOf(const QModelIndex &parent) const;
    // Reorders one folder's children in one layout change, keeping the persistent indexes on their nodes.
    void reorderFolder(BookmarkNode &folder, const std::function<void(BookmarkNode &)> &reorder);
    // Puts the given children (in tree order) last in their folder, the others keeping their order;
    // returns the row of the first of them.
    int gatherAtEnd(BookmarkNode &folder, const std::vector<BookmarkNode *> &children);
    // Beyond this many folders a move or a removal is one layout change instead of one per folder.
    static constexpr size_t MaxSeparateChanges = 4;
    void removeInOneLayoutChange(const std::vector<BookmarkNode *> &topmost,
                                 const std::vector<std::vector<BookmarkNode *>> &groups);
    // The moves, already checked and reduced to the topmost nodes, in one layout change.
    void moveInOneLayoutChange(const std::vector<NodeMove> &moves);
    void appendInOneLayoutChange(std::vector<FolderInsertion> insertions);
    // Around a layout change: the nodes of the persistent indexes before it, then each index moved to
    // its node's row after it (an index whose node is null, or gone, becomes invalid).
    std::vector<BookmarkNode *> nodesOf(const QModelIndexList &indexes) const;
    void movePersistentIndexes(const QModelIndexList &before, const std::vector<BookmarkNode *> &nodes);

    BookmarkTree &m_tree;
    int m_sortColumn = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

} // namespace vellumite
