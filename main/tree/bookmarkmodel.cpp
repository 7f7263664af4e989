#include "main/tree/bookmarkmodel.h"

#include "main/core/bookmarksort.h"
#include "main/core/inplaceedit.h"
#include "main/core/nodeselection.h"
#include "main/tree/colours.h"

#include <QBrush>
#include <QPalette>
#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace vellumite {

namespace {

// The "State" column is centred, the others are left-aligned.
int cellAlignment(int column)
{
    return column == ColumnState ? int(Qt::AlignCenter) : int(Qt::AlignLeft | Qt::AlignVCenter);
}

} // namespace

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

std::vector<BookmarkNode *> BookmarkModel::nodesOf(const QModelIndexList &indexes) const
{
    std::vector<BookmarkNode *> nodes;
    nodes.reserve(static_cast<size_t>(indexes.size()));
    for (const QModelIndex &index : indexes)
        nodes.push_back(nodeFromIndex(index));
    return nodes;
}

void BookmarkModel::movePersistentIndexes(const QModelIndexList &before,
                                          const std::vector<BookmarkNode *> &nodes)
{
    for (qsizetype i = 0; i < before.size(); ++i) {
        BookmarkNode *node = nodes[static_cast<size_t>(i)];
        changePersistentIndex(before[i],
                              node ? createIndex(node->row(), before[i].column(), node) : QModelIndex());
    }
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
    reorderFolder(*folder, [this](BookmarkNode &f) { sortChildren(f, m_sortColumn, m_sortOrder); });
}

void BookmarkModel::reorderFolder(BookmarkNode &folder, const std::function<void(BookmarkNode &)> &reorder)
{
    const QModelIndexList before = persistentIndexList();
    // Only persistent indexes of this folder's direct children move.
    std::vector<std::pair<QModelIndex, BookmarkNode *>> moved;
    for (const QModelIndex &index : before) {
        BookmarkNode *node = nodeFromIndex(index);
        if (node && node->parent() == &folder)
            moved.emplace_back(index, node);
    }
    const QModelIndex parentIndex = indexFromNode(&folder);
    emit layoutAboutToBeChanged({ QPersistentModelIndex(parentIndex) }, VerticalSortHint);
    reorder(folder);
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

namespace {

// Nodes grouped by their parent, the groups in the order of their first node, each group in the order
// given.
std::vector<std::vector<BookmarkNode *>> groupByParent(const std::vector<BookmarkNode *> &nodes)
{
    std::vector<std::vector<BookmarkNode *>> groups;
    std::unordered_map<const BookmarkNode *, size_t> groupOf;
    for (BookmarkNode *node : nodes) {
        const auto [it, added] = groupOf.try_emplace(node->parent(), groups.size());
        if (added)
            groups.emplace_back();
        groups[it->second].push_back(node);
    }
    return groups;
}

} // namespace

int BookmarkModel::gatherAtEnd(BookmarkNode &folder, const std::vector<BookmarkNode *> &children)
{
    const int count = static_cast<int>(children.size());
    const int first = folder.childCount() - count;
    if (children.front()->row() == first && children.back()->row() == folder.childCount() - 1)
        return first; // in tree order and adjacent, already the last rows
    const std::unordered_set<const BookmarkNode *> chosen(children.begin(), children.end());
    reorderFolder(folder, [&chosen](BookmarkNode &f) {
        std::vector<std::unique_ptr<BookmarkNode>> all = f.takeAllChildren();
        std::stable_partition(all.begin(), all.end(),
                              [&chosen](const auto &node) { return !chosen.contains(node.get()); });
        f.reorderChildren(std::move(all));
    });
    return first;
}

// Scattered rows are first gathered at the end of their folder in one layout change, so each folder
// sees a single removal or move however the selection is spread: per-row removals would each walk every
// persistent index and row of the view. Nodes from many folders go in one layout change.
void BookmarkModel::removeNodes(const std::vector<BookmarkNode *> &nodes)
{
    std::vector<BookmarkNode *> topmost = topmostNodes(nodes);
    std::erase_if(topmost, [](const BookmarkNode *node) { return !node->parent(); });
    const std::vector<std::vector<BookmarkNode *>> groups = groupByParent(topmost);
    if (groups.size() > MaxSeparateChanges) {
        removeInOneLayoutChange(topmost, groups);
        return;
    }
    for (const std::vector<BookmarkNode *> &siblings : groups) {
        BookmarkNode &folder = *siblings.front()->parent();
        const int count = static_cast<int>(siblings.size());
        const int first = folder.childCount() - count;
        const bool adjacent = siblings.back()->row() - siblings.front()->row() == count - 1;
        const int from = adjacent ? siblings.front()->row() : gatherAtEnd(folder, siblings);
        Q_ASSERT(adjacent || from == first);
        beginRemoveRows(indexFromNode(&folder), from, from + count - 1);
        folder.removeChildren(from, count);
        endRemoveRows();
    }
}

// Each removal from a folder makes the model and every view walk all persistent indexes (one for each
// expanded folder, selected row and more), so removing from thousands of folders one by one is quadratic.
void BookmarkModel::removeInOneLayoutChange(const std::vector<BookmarkNode *> &topmost,
                                            const std::vector<std::vector<BookmarkNode *>> &groups)
{
    // Runs of adjacent rows, told in tree order while every node is still in place.
    for (size_t first = 0; first < topmost.size();) {
        size_t last = first;
        while (last + 1 < topmost.size() && topmost[last + 1]->parent() == topmost[first]->parent()
               && topmost[last + 1]->row() == topmost[last]->row() + 1)
            ++last;
        emit rowsAboutToBeRemovedInLayout(*topmost[first]->parent(), topmost[first]->row(),
                                          topmost[last]->row());
        first = last + 1;
    }

    emit layoutAboutToBeChanged({}, NoLayoutChangeHint);
    const std::unordered_set<const BookmarkNode *> going(topmost.begin(), topmost.end());
    const auto staying = [&going](BookmarkNode *node) {
        for (const BookmarkNode *n = node; n; n = n->parent()) {
            if (going.contains(n))
                return false;
        }
        return true;
    };
    const QModelIndexList before = persistentIndexList();
    std::vector<BookmarkNode *> nodes = nodesOf(before);
    for (BookmarkNode *&node : nodes) {
        if (node && !staying(node))
            node = nullptr;
    }
    // Freed once the views have let go of their indexes.
    std::vector<std::unique_ptr<BookmarkNode>> removed;
    removed.reserve(topmost.size());
    for (const std::vector<BookmarkNode *> &siblings : groups) {
        BookmarkNode &folder = *siblings.front()->parent();
        std::vector<std::unique_ptr<BookmarkNode>> kept;
        kept.reserve(static_cast<size_t>(folder.childCount()) - siblings.size());
        for (auto &node : folder.takeAllChildren())
            (going.contains(node.get()) ? removed : kept).push_back(std::move(node));
        folder.reorderChildren(std::move(kept));
    }
    movePersistentIndexes(before, nodes);
    emit layoutChanged({}, NoLayoutChangeHint);
    removed.clear();
    emit rowsRemovedInLayout();
}

void BookmarkModel::appendNodes(BookmarkNode *parent, std::vector<std::unique_ptr<BookmarkNode>> nodes)
{
    if (!parent)
        parent = &m_tree.topLevel();
    if (nodes.empty())
        return;
    // The nodes come in the order they had when they were copied; inside they follow the current sort.
    for (auto &node : nodes)
        sortSubtree(*node, m_sortColumn, m_sortOrder);
    const int first = parent->childCount();
    beginInsertRows(indexFromNode(parent), first, first + static_cast<int>(nodes.size()) - 1);
    parent->appendChildren(std::move(nodes));
    endInsertRows();
    resortFolder(parent);
}

void BookmarkModel::appendToFolders(std::vector<FolderInsertion> insertions)
{
    std::erase_if(insertions, [](const FolderInsertion &insertion) { return insertion.nodes.empty(); });
    if (insertions.size() > MaxSeparateChanges) {
        appendInOneLayoutChange(std::move(insertions));
        return;
    }
    for (FolderInsertion &insertion : insertions)
        appendNodes(insertion.parent, std::move(insertion.nodes));
}

// Each folder's insertion and sort would make the views walk every persistent index again.
void BookmarkModel::appendInOneLayoutChange(std::vector<FolderInsertion> insertions)
{
    emit layoutAboutToBeChanged({}, NoLayoutChangeHint);
    const QModelIndexList before = persistentIndexList();
    const std::vector<BookmarkNode *> nodes = nodesOf(before);
    for (FolderInsertion &insertion : insertions) {
        BookmarkNode &parent = insertion.parent ? *insertion.parent : m_tree.topLevel();
        for (auto &node : insertion.nodes)
            sortSubtree(*node, m_sortColumn, m_sortOrder);
        parent.appendChildren(std::move(insertion.nodes));
        sortChildren(parent, m_sortColumn, m_sortOrder);
    }
    movePersistentIndexes(before, nodes);
    emit layoutChanged({}, NoLayoutChangeHint);
    emit rowsInsertedInLayout();
}

std::vector<BookmarkNode *> BookmarkModel::moveNodes(const std::vector<BookmarkNode *> &nodes,
                                                     BookmarkNode *parent)
{
    if (!parent)
        parent = &m_tree.topLevel();
    // A node cannot move into itself or below itself; one selected inside it still can.
    std::vector<BookmarkNode *> movable = nodes;
    std::erase_if(movable, [parent](const BookmarkNode *node) {
        return !node || !node->parent() || node->isAncestorOrSelf(parent);
    });
    const std::vector<BookmarkNode *> moving = topmostNodes(movable);
    const std::vector<std::vector<BookmarkNode *>> groups = groupByParent(moving);
    if (groups.size() > MaxSeparateChanges) {
        std::vector<NodeMove> moves;
        moves.reserve(moving.size());
        for (BookmarkNode *node : moving)
            moves.push_back({ node, parent, AttachMode::LastChild });
        moveInOneLayoutChange(moves);
        return moving;
    }
    const QModelIndex destination = indexFromNode(parent);
    for (const std::vector<BookmarkNode *> &siblings : groups) {
        BookmarkNode &source = *siblings.front()->parent();
        if (&source == parent) {
            // Already there: last, like every pasted node, before the sort puts them in place.
            gatherAtEnd(source, siblings);
            continue;
        }
        const int count = static_cast<int>(siblings.size());
        const bool adjacent = siblings.back()->row() - siblings.front()->row() == count - 1;
        const int first = adjacent ? siblings.front()->row() : gatherAtEnd(source, siblings);
        beginMoveRows(indexFromNode(&source), first, first + count - 1, destination, parent->childCount());
        parent->appendChildren(source.takeChildren(first, count));
        endMoveRows();
    }
    resortFolder(parent);
    return moving;
}

std::vector<BookmarkNode *> BookmarkModel::moveNodes(const std::vector<NodeMove> &moves)
{
    if (moves.empty() || std::any_of(moves.begin(), moves.end(), [](const NodeMove &m) { return !m.target; }))
        return {};
    // Nodes that all go last into one folder are a plain move to that folder.
    BookmarkNode *folder = moves.front().target;
    if (std::all_of(moves.begin(), moves.end(), [folder](const NodeMove &move) {
            return move.mode == AttachMode::LastChild && move.target == folder;
        })) {
        std::vector<BookmarkNode *> nodes;
        nodes.reserve(moves.size());
        for (const NodeMove &move : moves)
            nodes.push_back(move.node);
        return moveNodes(nodes, folder);
    }

    std::vector<BookmarkNode *> candidates;
    candidates.reserve(moves.size());
    for (const NodeMove &move : moves) {
        if (move.node && move.node->parent() && !move.node->isAncestorOrSelf(move.destination()))
            candidates.push_back(move.node);
    }
    const std::vector<BookmarkNode *> topmost = topmostNodes(candidates);
    const std::unordered_set<const BookmarkNode *> moving(topmost.begin(), topmost.end());
    // A folder that moves itself takes what is put into it along; were it to move below one of those
    // nodes, the nodes would end inside themselves.
    const auto insideAMovingNode = [&moving](const BookmarkNode *destination) {
        for (const BookmarkNode *n = destination; n; n = n->parent()) {
            if (moving.contains(n))
                return true;
        }
        return false;
    };
    std::vector<NodeMove> kept;
    std::unordered_set<const BookmarkNode *> seen;
    for (const NodeMove &move : moves) {
        if (moving.contains(move.node) && !insideAMovingNode(move.destination())
            && seen.insert(move.node).second)
            kept.push_back(move);
    }
    if (kept.empty())
        return {};
    moveInOneLayoutChange(kept);
    std::vector<BookmarkNode *> moved;
    moved.reserve(kept.size());
    for (const NodeMove &move : kept)
        moved.push_back(move.node);
    return moved;
}

// Every source folder gives up its moving children and every destination folder is rebuilt and sorted,
// all in one layout change: moving folder by folder would make the views walk every persistent index
// and row again for each of them.
void BookmarkModel::moveInOneLayoutChange(const std::vector<NodeMove> &moves)
{
    std::unordered_map<const BookmarkNode *, std::unique_ptr<BookmarkNode>> taken;
    std::vector<BookmarkNode *> nodes;
    nodes.reserve(moves.size());
    std::vector<BookmarkNode *> destinations;
    std::unordered_map<const BookmarkNode *, std::vector<NodeMove>> movesInto;
    for (const NodeMove &move : moves) {
        nodes.push_back(move.node);
        taken.emplace(move.node, nullptr);
        std::vector<NodeMove> &into = movesInto[move.destination()];
        if (into.empty())
            destinations.push_back(move.destination());
        into.push_back(move);
    }

    emit layoutAboutToBeChanged({}, NoLayoutChangeHint);
    const QModelIndexList before = persistentIndexList();
    const std::vector<BookmarkNode *> persistentNodes = nodesOf(before);
    for (const std::vector<BookmarkNode *> &siblings : groupByParent(nodes)) {
        BookmarkNode &source = *siblings.front()->parent();
        std::vector<std::unique_ptr<BookmarkNode>> staying;
        staying.reserve(static_cast<size_t>(source.childCount()) - siblings.size());
        for (auto &node : source.takeAllChildren()) {
            if (const auto it = taken.find(node.get()); it != taken.end())
                it->second = std::move(node);
            else
                staying.push_back(std::move(node));
        }
        source.reorderChildren(std::move(staying));
    }
    for (BookmarkNode *folder : destinations) {
        std::vector<BookmarkNode *> staying;
        staying.reserve(static_cast<size_t>(folder->childCount()));
        for (int row = 0; row < folder->childCount(); ++row)
            staying.push_back(folder->child(row));
        std::vector<std::unique_ptr<BookmarkNode>> stayingNodes = folder->takeAllChildren();
        std::vector<std::unique_ptr<BookmarkNode>> children;
        children.reserve(stayingNodes.size() + movesInto[folder].size());
        // The staying children keep their order, so they are taken one after the other.
        auto nextStaying = stayingNodes.begin();
        for (BookmarkNode *child : childrenAfterMoves(staying, movesInto[folder])) {
            if (const auto it = taken.find(child); it != taken.end())
                children.push_back(std::move(it->second));
            else
                children.push_back(std::move(*nextStaying++));
        }
        folder->reorderChildren(std::move(children));
        sortChildren(*folder, m_sortColumn, m_sortOrder);
    }
    movePersistentIndexes(before, persistentNodes);
    emit layoutChanged({}, NoLayoutChangeHint);
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

int BookmarkModel::VTGetImageIndexEx(const TBookmark &record, int column)
{
    return column == ColumnDescription ? record.ImageIndex : -1;
}

int BookmarkModel::VTAfterCellPaint(const TBookmark &record, int column)
{
    return column == ColumnState && !record.IsCategory ? record.LinkState : -1;
}

std::optional<Colour> BookmarkModel::VTPaintText(const TBookmark &record, int column, bool treeFocused,
                                                 bool selected)
{
    switch (column) {
    case ColumnDescription:
        return record.PriorityColor;
    case ColumnLink:
        return treeFocused && selected ? FocusedLinkTextColour : LinkTextColour;
    default:
        return std::nullopt;
    }
}

QString BookmarkModel::VTGetHint(const TBookmark &record, int column)
{
    switch (column) {
    case ColumnDescription:
        // Line feed before carriage return, twice: the comment stands one empty line below the name.
        return record.Comment.isEmpty() ? record.name() : record.name() + u"\n\r\n\r" + record.Comment;
    case ColumnLink:
        return record.Link;
    default:
        return {};
    }
}

bool BookmarkModel::VTEditing(const TBookmark &record, int column)
{
    switch (column) {
    case ColumnDescription:
        return record.Editable;
    case ColumnLink:
        return record.Editable && !record.IsCategory;
    default:
        return false;
    }
}

QVariant BookmarkModel::data(const QModelIndex &index, int role) const
{
    const BookmarkNode *node = nodeFromIndex(index);
    if (!node)
        return {};
    const TBookmark &record = node->record;
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return VTGetText(record, column);
    case Qt::ToolTipRole:
        return VTGetHint(record, column);
    case Qt::ForegroundRole:
        if (const std::optional<Colour> colour = VTPaintText(record, column, false, false)) {
            if (const QColor c = toQColor(*colour, QPalette()); c.isValid())
                return QBrush(c);
        }
        return {};
    case Qt::TextAlignmentRole:
        return cellAlignment(column);
    case ImageIndexRole:
        return VTGetImageIndexEx(record, column);
    case StateImageRole:
        return VTAfterCellPaint(record, column);
    default:
        return {};
    }
}

Qt::ItemFlags BookmarkModel::flags(const QModelIndex &index) const
{
    const BookmarkNode *node = nodeFromIndex(index);
    if (!node)
        return Qt::NoItemFlags;
    // Every row can start a drag, the root too: a press and move on a row is a drag, never a selection
    // swept over the rows; the drop decides what may move where.
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    if (VTEditing(node->record, index.column()))
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool BookmarkModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    BookmarkNode *node = nodeFromIndex(index);
    if (!node || role != Qt::EditRole || !VTEditing(node->record, index.column()))
        return false;
    if (!VTNewText(node->record, index.column(), value.toString()))
        return false;
    recordChanged(node);
    // Only a change of the sort column can move the node; the comparison reads nothing else.
    if (index.column() == m_sortColumn)
        resortFolder(node->parent());
    return true;
}

QVariant BookmarkModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::ToolTipRole)
        return section == ColumnState ? QVariant(QStringLiteral("Alive or dead link")) : QVariant();
    if (role == Qt::TextAlignmentRole)
        return cellAlignment(section);
    if (role != Qt::DisplayRole)
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
    const std::vector<BookmarkNode *> nodes = nodesOf(before);
    sortSubtree(m_tree.topLevel(), column, order);
    movePersistentIndexes(before, nodes);
    emit layoutChanged({}, VerticalSortHint);
}

} // namespace vellumite
