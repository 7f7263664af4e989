#pragma once

#include "main/core/dropdecision.h"
#include "main/core/dropformats.h"
#include "main/tree/sortglyphheaderview.h"

#include <QBasicTimer>
#include <QHeaderView>
#include <QPersistentModelIndex>
#include <QTreeView>
#include <QUuid>
#include <memory>
#include <vector>

class QDrag;

namespace vellumite {

class BookmarkModel;
class BookmarkNode;
class ImageList;

// The header of the bookmark tree: "Description" and "Link" sort on a click and can be dragged; the
// "State" column takes no clicks and no drags but can be resized between its limits.
class BookmarkHeaderView : public SortGlyphHeaderView
{
    Q_OBJECT

public:
    static constexpr int StateMinimumWidth = 45;
    static constexpr int StateMaximumWidth = 150;

    explicit BookmarkHeaderView(QWidget *parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    // True over the "State" header itself, false over the grips at its edges that resize columns.
    bool isOverFixedSection(const QPoint &position) const;
    void keepWidthLimits(int section, int newSize);

    // A press that the header did not see: its release is not the header's either.
    bool m_pressIgnored = false;
};

// The main window's bookmark tree `VT`: the tree of categories and bookmarks in three columns, kept
// sorted by the model, with several selected rows, in-place editing of names and links, and the two
// keys the tree handles itself.
class BookmarkTreeView : public QTreeView
{
    Q_OBJECT

public:
    BookmarkTreeView(BookmarkModel *model, const ImageList &images, QWidget *parent = nullptr);

    BookmarkModel *bookmarkModel() const { return m_model; }
    BookmarkHeaderView *bookmarkHeader() const { return m_header; }

    // The node that holds the keyboard focus, or null.
    BookmarkNode *focusedNode() const;
    // The selected nodes, in no particular order, and their number.
    std::vector<BookmarkNode *> selectedNodes() const;
    int selectedCount() const;
    bool isEditing() const { return state() == EditingState; }
    // Commits and closes an open in-place editor, so that what was typed is in the tree.
    void commitOpenEditor()
    {
        if (QWidget *editor = isEditing() ? indexWidget(currentIndex()) : nullptr) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }

    // The bookmark file keeps each node's expansion and selection in its state flags: copy the view's
    // into the nodes before a save, and back into the view after a load (the model already reset).
    // Only the expanded and selected flags change; a leaf keeps its expanded flag, which no view shows.
    void storeViewStateInNodes();
    void restoreViewStateFromNodes();

    // Opens every folder of the tree, or of the subtree below a node, and nothing else. QTreeView's own
    // expandAll() and its expansion on "*" record every row as open, the bookmarks too: each becomes a
    // persistent index that every later move, sort or removal has to carry.
    void expandAll();
    void expandSubtree(const QModelIndex &index);

    // Scrolls the first selected node in tree order into the vertical centre, leaving the horizontal
    // position alone. Nothing happens when no node is selected.
    void scrollToFirstSelected();

    // Nodes scrolled into view from out of sight are centred.
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;

    using QTreeView::edit;

    // The data of a drag of the selected nodes: what a copy of them places on the clipboard, and a token
    // naming this process and this tree, so that the drop recognises its own drag. Remembers the
    // dragged nodes for that drop (none when the root category is selected: it never moves).
    std::unique_ptr<QMimeData> beginNodeDrag();
    // Whether the offered data comes from a drag of this very tree.
    bool isOwnDrag(const QMimeData *offered) const;

    // The drop target under a point of the viewport and where the point is on its row.
    BookmarkNode *dropTargetAt(const QPoint &position, DropMode *mode) const;
    // Whether a drop of `data` at `target` in `mode` is accepted.
    bool VTDragOver(const QMimeData *offered, BookmarkNode *target, DropMode mode) const;
    // Carries out an accepted drop; false when it was refused after all.
    bool VTDragDrop(const QMimeData *offered, BookmarkNode *target, DropMode mode);

    // A drag held near the top or the bottom edge scrolls the tree, a step every DragScrollIntervalMs:
    // the rows of one step for a pointer at `y` in a viewport `height` high, negative upwards, more the
    // nearer the pointer is to the edge, none outside the bands along the edges.
    static constexpr int DragScrollBand = 20;
    static constexpr int DragScrollIntervalMs = 50;
    static constexpr int DragScrollMaximumRows = 6;
    static int dragScrollStep(int y, int height);

signals:
    // A link dropped from another program onto a category.
    void linkDropped(BookmarkNode *category, const DroppedLink &link);
    // Enter: open the focused bookmark, as a double click does.
    void openRequested();
    // Delete with at least one node selected, whatever the modifiers.
    void deleteRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void drawBranches(QPainter *painter, const QRect &rect, const QModelIndex &index) const override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    std::vector<BookmarkNode *> draggedNodes() const;
    void setDragPixmap(QDrag &drag) const;
    // Follows a drag at a point of the viewport: the row it hovers over, the drop mark and the scrolling
    // at the edges. Returns whether a drop there is accepted.
    bool followDrag(const QPoint &position, const QMimeData *offered);
    void scrollWithDrag();
    void endDragHover();
    bool VTKeyPress(const QKeyEvent &event);
    bool VTKeyDown(const QKeyEvent &event);
    void configure();

    BookmarkModel *m_model;
    BookmarkHeaderView *m_header;
    // The last press hit the cell that held the focus already, without Ctrl or Shift.
    bool m_pressOnFocusedCell = false;
    QPoint m_pressPosition;

    // Tells this tree's drags from those of another tree or another running copy of the program.
    const QByteArray m_dragToken;
    std::vector<QPersistentModelIndex> m_dragged;
    // The row a drag hovers over, opened when the drag stays there, and the mark drawn for the drop.
    QPersistentModelIndex m_hoverIndex;
    QBasicTimer m_expandTimer;
    // While a drag is over the viewport: where it is and what it offers (owned by the drag, which
    // outlives its events here), so that a step of scrolling can judge the row that comes under it.
    QBasicTimer m_dragScrollTimer;
    QPoint m_dragPosition;
    const QMimeData *m_dragData = nullptr;
    QRect m_dropMark;
    DropMode m_dropMarkMode = DropMode::Nowhere;
};

} // namespace vellumite
