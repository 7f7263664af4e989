// Drag and drop in the bookmark tree: nodes moved within it, links dropped from other programs.

#include "main/core/nodeselection.h"
#include "main/core/treeclipboard.h"
#include "main/tree/bookmarkdelegate.h"
#include "main/tree/bookmarkmodel.h"
#include "main/tree/bookmarktreeview.h"
#include "main/tree/colours.h"
#include "main/tree/treepainting.h"

#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTimerEvent>
#include <algorithm>

namespace vellumite {

namespace {

// The token of a drag within the program: "<process id> <tree id>".
const QString TreeDragMimeType = QStringLiteral("application/x-vellumite-tree-drag");

// The upper and lower quarters of a row mean above and below it.
DropMode modeInRow(const QRect &row, int y)
{
    const int band = std::max(2, row.height() / 4);
    if (y < row.top() + band)
        return DropMode::Above;
    if (y > row.bottom() - band)
        return DropMode::Below;
    return DropMode::On;
}

} // namespace

std::unique_ptr<QMimeData> BookmarkTreeView::beginNodeDrag()
{
    const std::vector<BookmarkNode *> selected = selectedNodes();
    // The root never moves, nor anything with it: a drag that holds the root is refused in the tree.
    std::vector<BookmarkNode *> nodes = topmostNodes(selected);
    std::erase(nodes, m_model->tree().firstNode());
    m_dragged.clear();
    for (BookmarkNode *node : nodes)
        m_dragged.emplace_back(m_model->indexFromNode(node));
    // Another program is given what a copy places on the clipboard.
    const std::vector<BookmarkNode *> copied = nodesToCopy(m_model->tree(), selected);
    std::unique_ptr<QMimeData> dragData = copied.empty()
        ? std::make_unique<QMimeData>()
        : makeTreeMimeData(std::vector<const BookmarkNode *>(copied.begin(), copied.end()));
    dragData->setData(TreeDragMimeType, m_dragToken);
    return dragData;
}

bool BookmarkTreeView::isOwnDrag(const QMimeData *offered) const
{
    return offered && offered->hasFormat(TreeDragMimeType) && offered->data(TreeDragMimeType) == m_dragToken;
}

std::vector<BookmarkNode *> BookmarkTreeView::draggedNodes() const
{
    std::vector<BookmarkNode *> nodes;
    for (const QPersistentModelIndex &index : m_dragged) {
        if (BookmarkNode *node = m_model->nodeFromIndex(index))
            nodes.push_back(node);
    }
    return nodes;
}

BookmarkNode *BookmarkTreeView::dropTargetAt(const QPoint &position, DropMode *mode) const
{
    const QModelIndex index = indexAt(position);
    BookmarkNode *target = m_model->nodeFromIndex(index);
    *mode = target ? modeInRow(visualRect(index), position.y()) : DropMode::Nowhere;
    return target;
}

bool BookmarkTreeView::VTDragOver(const QMimeData *offered, BookmarkNode *target, DropMode mode) const
{
    if (!offered)
        return false;
    if (isOwnDrag(offered))
        return InternalDropDecision(m_model->tree(), draggedNodes(), target, mode).accepted();
    return acceptsExternalDrop(m_model->tree(), target);
}

bool BookmarkTreeView::VTDragDrop(const QMimeData *offered, BookmarkNode *target, DropMode mode)
{
    if (!offered)
        return false;
    if (!isOwnDrag(offered)) {
        if (!acceptsExternalDrop(m_model->tree(), target))
            return false;
        emit linkDropped(target, readDroppedLink(*offered));
        return true;
    }
    // The decision is taken again here: the tree may have changed while the drag went on.
    const InternalDropDecision decision(m_model->tree(), draggedNodes(), target, mode);
    if (!decision.accepted())
        return false;
    // The drag has ended, and the selection is about to become the moved nodes: neither is carried
    // through the move, where the model would follow each of their rows. Nothing is told of the
    // selection going; the whole view is repainted instead.
    m_dragged.clear();
    selectionModel()->reset();
    viewport()->update();
    std::vector<BookmarkNode *> moved = m_model->moveNodes(decision.moves());
    std::vector<BookmarkNode *> destinations;
    for (const NodeMove &move : decision.moves()) {
        if (std::find(destinations.begin(), destinations.end(), move.destination()) == destinations.end())
            destinations.push_back(move.destination());
    }
    // The moved nodes stay selected, each run of neighbouring rows as one range, and in sight: a
    // selection hidden in a collapsed category would be what the next command acts on, unseen.
    for (BookmarkNode *destination : destinations)
        expand(m_model->indexFromNode(destination));
    sortInTreeOrder(moved);
    const int lastColumn = m_model->columnCount() - 1;
    QItemSelection selection;
    for (size_t i = 0; i < moved.size();) {
        size_t j = i;
        while (j + 1 < moved.size() && moved[j + 1]->parent() == moved[i]->parent()
               && moved[j + 1]->row() == moved[j]->row() + 1)
            ++j;
        selection.append(QItemSelectionRange(m_model->indexFromNode(moved[i]),
                                             m_model->indexFromNode(moved[j], lastColumn)));
        i = j + 1;
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!moved.empty())
        selectionModel()->setCurrentIndex(m_model->indexFromNode(moved.front()),
                                          QItemSelectionModel::NoUpdate);
    return true;
}

// Qt's own drag would remove the moved rows once a drop reports a move, in this tree or in another
// program; here the drop itself has moved them already, so the outcome of the drag is never acted on.
// A drag that carries no node (the root alone) runs all the same, refused everywhere, so that the press
// and move never turn into a selection swept over the rows.
void BookmarkTreeView::startDrag(Qt::DropActions)
{
    auto *drag = new QDrag(this);
    drag->setMimeData(beginNodeDrag().release());
    setDragPixmap(*drag);
    drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
    m_dragged.clear();
}

// The row the drag started from follows the pointer, held where it was pressed.
void BookmarkTreeView::setDragPixmap(QDrag &drag) const
{
    const QModelIndex pressed = indexAt(m_pressPosition);
    if (!pressed.isValid())
        return;
    QRect row;
    for (int column = 0; column < m_model->columnCount(); ++column)
        row |= visualRect(pressed.siblingAtColumn(column));
    row &= viewport()->rect();
    if (row.isEmpty())
        return;
    drag.setPixmap(viewport()->grab(row));
    drag.setHotSpot(m_pressPosition - row.topLeft());
}

void BookmarkTreeView::dragEnterEvent(QDragEnterEvent *event)
{
    // Accepted whatever it holds, so that each move over a row is judged on its own.
    event->acceptProposedAction();
}

int BookmarkTreeView::dragScrollStep(int y, int height)
{
    const auto rowsAt = [](int depth) {
        // One row at the inner side of the band, the most at the edge itself and beyond it.
        return 1 + std::min(depth, DragScrollBand - 1) * (DragScrollMaximumRows - 1) / (DragScrollBand - 1);
    };
    if (height < 3 * DragScrollBand) {
        // Too low for two bands and a middle: only the outer thirds scroll.
        const int band = height / 3;
        if (y < band)
            return -1;
        if (y >= height - band)
            return 1;
        return 0;
    }
    if (y < DragScrollBand)
        return -rowsAt(DragScrollBand - 1 - y);
    if (y >= height - DragScrollBand)
        return rowsAt(y - (height - DragScrollBand));
    return 0;
}

bool BookmarkTreeView::followDrag(const QPoint &position, const QMimeData *offered)
{
    m_dragPosition = position;
    m_dragData = offered;
    DropMode mode = DropMode::Nowhere;
    BookmarkNode *target = dropTargetAt(position, &mode);
    const QModelIndex index = m_model->indexFromNode(target);
    if (index != m_hoverIndex) {
        m_hoverIndex = index;
        m_expandTimer.start(autoExpandDelay(), this);
    }
    if (dragScrollStep(position.y(), viewport()->height()) == 0)
        m_dragScrollTimer.stop();
    else if (!m_dragScrollTimer.isActive())
        m_dragScrollTimer.start(DragScrollIntervalMs, this);

    const bool accepted = VTDragOver(offered, target, mode);
    const QRect viewRect = viewport()->rect();
    m_dropMark = accepted ? visualRect(index).adjusted(0, 0, 0, -1) : QRect();
    m_dropMark.setLeft(0);
    m_dropMark.setRight(viewRect.right());
    m_dropMarkMode = accepted ? mode : DropMode::Nowhere;
    viewport()->update();
    return accepted;
}

void BookmarkTreeView::dragMoveEvent(QDragMoveEvent *event)
{
    if (!followDrag(event->position().toPoint(), event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(isOwnDrag(event->mimeData()) ? Qt::MoveAction : Qt::CopyAction);
    event->accept();
}

// A pointer held still sends no more moves: each step scrolls on and judges the row now under it.
void BookmarkTreeView::scrollWithDrag()
{
    const int step = dragScrollStep(m_dragPosition.y(), viewport()->height());
    QScrollBar *bar = verticalScrollBar();
    const int before = bar->value();
    if (step != 0)
        bar->setValue(before
                      + step * (verticalScrollMode() == ScrollPerPixel ? BookmarkDelegate::RowHeight : 1));
    if (step == 0 || bar->value() == before) {
        m_dragScrollTimer.stop();
        return;
    }
    followDrag(m_dragPosition, m_dragData);
}

void BookmarkTreeView::endDragHover()
{
    m_expandTimer.stop();
    m_dragScrollTimer.stop();
    m_dragData = nullptr;
    m_hoverIndex = QPersistentModelIndex();
    m_dropMarkMode = DropMode::Nowhere;
    viewport()->update();
}

void BookmarkTreeView::dragLeaveEvent(QDragLeaveEvent *event)
{
    endDragHover();
    event->accept();
}

void BookmarkTreeView::dropEvent(QDropEvent *event)
{
    endDragHover();
    DropMode mode = DropMode::Nowhere;
    BookmarkNode *target = dropTargetAt(event->position().toPoint(), &mode);
    const bool own = isOwnDrag(event->mimeData());
    if (!VTDragDrop(event->mimeData(), target, mode)) {
        event->ignore();
        return;
    }
    event->setDropAction(own ? Qt::MoveAction : Qt::CopyAction);
    event->accept();
}

void BookmarkTreeView::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_dragScrollTimer.timerId()) {
        scrollWithDrag();
        return;
    }
    if (event->timerId() != m_expandTimer.timerId()) {
        QTreeView::timerEvent(event);
        return;
    }
    m_expandTimer.stop();
    if (m_hoverIndex.isValid() && model()->hasChildren(m_hoverIndex))
        expand(m_hoverIndex);
}

void BookmarkTreeView::paintEvent(QPaintEvent *event)
{
    QTreeView::paintEvent(event);
    if (m_dropMarkMode == DropMode::Nowhere || m_dropMark.isNull())
        return;
    QPainter painter(viewport());
    switch (m_dropMarkMode) {
    case DropMode::On:
        painter.setPen(rgbColour(TreeColours::DropTargetBorder));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(m_dropMark);
        break;
    case DropMode::Above:
        painter.fillRect(QRect(m_dropMark.left(), m_dropMark.top(), m_dropMark.width(), 2),
                         rgbColour(TreeColours::DropMark));
        break;
    case DropMode::Below:
        painter.fillRect(QRect(m_dropMark.left(), m_dropMark.bottom() - 1, m_dropMark.width(), 2),
                         rgbColour(TreeColours::DropMark));
        break;
    case DropMode::Nowhere:
        break;
    }
}

} // namespace vellumite
