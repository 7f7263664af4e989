#include "main/tree/bookmarktreeview.h"

#include "main/core/bookmarksort.h"
#include "main/tree/bookmarkdelegate.h"
#include "main/tree/bookmarkmodel.h"
#include "main/tree/colours.h"
#include "main/tree/treepainting.h"
#include "main/window/windowfont.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSet>
#include <QStyleOption>
#include <unordered_set>

namespace vellumite {

namespace {

constexpr int DefaultColumnWidth = 270;
constexpr int Indent = 18;
// A drag that hovers over a collapsed category opens it after this time.
constexpr int AutoExpandDelayMs = 1000;

} // namespace

BookmarkHeaderView::BookmarkHeaderView(QWidget *parent)
    : SortGlyphHeaderView(Qt::Horizontal, parent)
{
    setFont(windowFont());
    setHighlightSections(false);
    setStretchLastSection(false);
    connect(this, &QHeaderView::sectionResized, this,
            [this](int section, int, int newSize) { keepWidthLimits(section, newSize); });
}

bool BookmarkHeaderView::isOverFixedSection(const QPoint &position) const
{
    const int at = orientation() == Qt::Horizontal ? position.x() : position.y();
    if (logicalIndexAt(at) != ColumnState)
        return false;
    const int start = sectionViewportPosition(ColumnState);
    const int end = start + sectionSize(ColumnState);
    const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
    return at >= start + grip && at <= end - grip;
}

void BookmarkHeaderView::mousePressEvent(QMouseEvent *event)
{
    // Neither a click nor a drag may start on the "State" header; its edges still resize.
    if (isOverFixedSection(event->position().toPoint())) {
        m_pressIgnored = true;
        event->accept();
        return;
    }
    m_pressIgnored = false;
    QHeaderView::mousePressEvent(event);
}

void BookmarkHeaderView::mouseReleaseEvent(QMouseEvent *event)
{
    if (std::exchange(m_pressIgnored, false)) {
        event->accept();
        return;
    }
    QHeaderView::mouseReleaseEvent(event);
}

void BookmarkHeaderView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (isOverFixedSection(event->position().toPoint())) {
        m_pressIgnored = true;
        event->accept();
        return;
    }
    QHeaderView::mouseDoubleClickEvent(event);
}

void BookmarkHeaderView::keepWidthLimits(int section, int newSize)
{
    if (section != ColumnState)
        return;
    const int bounded = std::clamp(newSize, StateMinimumWidth, StateMaximumWidth);
    if (bounded != newSize)
        resizeSection(section, bounded);
}

BookmarkTreeView::BookmarkTreeView(BookmarkModel *model, const ImageList &images, QWidget *parent)
    : QTreeView(parent)
    , m_model(model)
    , m_header(new BookmarkHeaderView(this))
    , m_dragToken(QByteArray::number(QCoreApplication::applicationPid()) + ' '
                  + QUuid::createUuid().toByteArray(QUuid::WithoutBraces))
{
    setHeader(m_header);
    setModel(model);
    setItemDelegate(new BookmarkDelegate(images, this));
    configure();
}

void BookmarkTreeView::configure()
{
    setFont(windowFont());
    QPalette colours = palette();
    colours.setColor(QPalette::Base, rgbColour(TreeColours::Background));
    colours.setColor(QPalette::Text, rgbColour(TreeColours::Font));
    setPalette(colours);

    // Every row has the same height, so scrolling and expanding never measure rows.
    setUniformRowHeights(true);
    setIndentation(Indent);
    setRootIsDecorated(true);
    setAnimated(true);
    setExpandsOnDoubleClick(true);
    setSelectionMode(ExtendedSelection);
    setSelectionBehavior(SelectRows);
    // The row's focus frame would be drawn by the view itself; the tree shows none.
    setAllColumnsShowFocus(false);
    // An edit starts with F2 or a click on the focused cell of a selected row, never on a double click
    // (that opens the bookmark or toggles the category) or on typing.
    setEditTriggers(EditKeyPressed | SelectedClicked);
    setAutoScroll(true);
    setAutoExpandDelay(AutoExpandDelayMs);
    // Drags start from the tree by themselves; the drop handlers decide and draw the drop mark.
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(DragDrop);
    setDropIndicatorShown(false);

    // Set after the view took the header: taking it resets clicks and the sort glyph. The model sorts, so
    // the view's own sorting stays off.
    m_header->setSectionsClickable(true);
    m_header->setSectionsMovable(true);
    m_header->setFirstSectionMovable(true);
    m_header->setSortIndicatorShown(true);
    m_header->setSortIndicator(ColumnDescription, Qt::AscendingOrder);
    m_header->resizeSection(ColumnDescription, DefaultColumnWidth);
    m_header->resizeSection(ColumnLink, DefaultColumnWidth);
    m_header->resizeSection(ColumnState, BookmarkHeaderView::StateMinimumWidth);
}

BookmarkNode *BookmarkTreeView::focusedNode() const
{
    return m_model->nodeFromIndex(currentIndex());
}

// Read from the selection's ranges: asking row by row whether each is selected would compare every row
// with every range, which a scattered selection of thousands of rows makes take seconds.
std::vector<BookmarkNode *> BookmarkTreeView::selectedNodes() const
{
    std::vector<BookmarkNode *> nodes;
    std::unordered_set<const BookmarkNode *> seen;
    const QItemSelection selection = selectionModel()->selection();
    for (const QItemSelectionRange &range : selection) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            BookmarkNode *node = m_model->nodeFromIndex(m_model->index(row, 0, range.parent()));
            if (node && seen.insert(node).second)
                nodes.push_back(node);
        }
    }
    return nodes;
}

int BookmarkTreeView::selectedCount() const
{
    return static_cast<int>(selectedNodes().size());
}

void BookmarkTreeView::storeViewStateInNodes()
{
    m_model->tree().forEach([this](BookmarkNode &node) {
        node.setState(NodeState::Selected, false);
        if (node.childCount() > 0)
            node.setState(NodeState::Expanded, isExpanded(m_model->indexFromNode(&node)));
    });
    const QItemSelection selection = selectionModel()->selection();
    for (const QItemSelectionRange &range : selection) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            if (BookmarkNode *node = m_model->nodeFromIndex(m_model->index(row, 0, range.parent())))
                node->setState(NodeState::Selected, true);
        }
    }
}

void BookmarkTreeView::restoreViewStateFromNodes()
{
    // While a full layout is pending, expanding a node only records it; the layout then runs once.
    scheduleDelayedItemsLayout();
    const int lastColumn = m_model->columnCount() - 1;
    QItemSelection selection;
    // Neighbouring selected rows become one range. The ranges follow the rows top to bottom, so the
    // view finds each one near the one before when it repaints them.
    auto restoreChildren = [&](BookmarkNode &folder) {
        const QModelIndex parent = m_model->indexFromNode(&folder);
        int runStart = -1;
        for (int row = 0; row <= folder.childCount(); ++row) {
            BookmarkNode *child = row < folder.childCount() ? folder.child(row) : nullptr;
            const bool selected = child && child->hasState(NodeState::Selected);
            if (selected && runStart < 0)
                runStart = row;
            if (!selected && runStart >= 0) {
                selection.append(QItemSelectionRange(m_model->index(runStart, 0, parent),
                                                     m_model->index(row - 1, lastColumn, parent)));
                runStart = -1;
            }
            if (child && child->childCount() > 0 && child->hasState(NodeState::Expanded))
                expand(m_model->indexFromNode(child));
        }
    };
    BookmarkTree &tree = m_model->tree();
    restoreChildren(tree.topLevel());
    tree.forEach([&](BookmarkNode &node) {
        if (node.childCount() > 0)
            restoreChildren(node);
    });
    // The ranges span whole rows already; asking for rows again would merge them pairwise.
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void BookmarkTreeView::expandAll()
{
    expandSubtree({});
}

void BookmarkTreeView::expandSubtree(const QModelIndex &index)
{
    BookmarkNode *top = index.isValid() ? m_model->nodeFromIndex(index) : &m_model->tree().topLevel();
    if (!top)
        return;
    // While a full layout is pending, expanding a node only records it; the layout then runs once.
    scheduleDelayedItemsLayout();
    if (index.isValid() && top->childCount() > 0)
        expand(index);
    for (BookmarkNode *node = top->firstChild(); node; node = node->nextInTreeOrder(top)) {
        if (node->childCount() > 0)
            expand(m_model->indexFromNode(node));
    }
}

void BookmarkTreeView::scrollToFirstSelected()
{
    const QItemSelection selection = selectionModel()->selection();
    if (selection.isEmpty())
        return;
    QSet<const BookmarkNode *> selected;
    for (const QItemSelectionRange &range : selection) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            selected.insert(m_model->nodeFromIndex(m_model->index(row, 0, range.parent())));
    }
    const BookmarkTree &tree = m_model->tree();
    for (BookmarkNode *node = tree.firstNode(); node; node = node->nextInTreeOrder(&tree.topLevel())) {
        if (selected.contains(node)) {
            const int horizontal = horizontalScrollBar()->value();
            scrollTo(m_model->indexFromNode(node), PositionAtCenter);
            horizontalScrollBar()->setValue(horizontal);
            return;
        }
    }
}

void BookmarkTreeView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    if (hint == EnsureVisible && index.isValid()) {
        const QRect rect = visualRect(index);
        if (!rect.isValid() || rect.top() < 0 || rect.bottom() > viewport()->height() - 1)
            hint = PositionAtCenter;
    }
    QTreeView::scrollTo(index, hint);
}

bool BookmarkTreeView::VTKeyPress(const QKeyEvent &event)
{
    // Enter and Shift+Enter type a carriage return; with Ctrl or Alt the key means something else.
    if (event.key() != Qt::Key_Return && event.key() != Qt::Key_Enter)
        return false;
    if (event.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))
        return false;
    emit openRequested();
    return true;
}

bool BookmarkTreeView::VTKeyDown(const QKeyEvent &event)
{
    if (event.key() != Qt::Key_Delete || selectedCount() == 0)
        return false;
    emit deleteRequested();
    return true;
}

void BookmarkTreeView::keyPressEvent(QKeyEvent *event)
{
    // The in-place editor lets its Enter through to the view once it has taken it as "accept the edit";
    // that key must not also open the bookmark.
    if (isEditing() && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        event->accept();
        return;
    }
    if (VTKeyDown(*event) || VTKeyPress(*event)) {
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Asterisk && currentIndex().isValid() && !isEditing()) {
        expandSubtree(currentIndex().siblingAtColumn(0));
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void BookmarkTreeView::mousePressEvent(QMouseEvent *event)
{
    m_pressPosition = event->position().toPoint();
    const QModelIndex at = indexAt(m_pressPosition);
    m_pressOnFocusedCell = at.isValid() && at == currentIndex()
        && !(event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier));
    QTreeView::mousePressEvent(event);
}

bool BookmarkTreeView::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    // A click edits only the cell that had the focus before it, not any selected one.
    if (trigger == SelectedClicked && !m_pressOnFocusedCell)
        return false;
    return QTreeView::edit(index, trigger, event);
}

// The link column of a selected row changes its colour with the focus.
void BookmarkTreeView::focusInEvent(QFocusEvent *event)
{
    QTreeView::focusInEvent(event);
    viewport()->update();
}

void BookmarkTreeView::focusOutEvent(QFocusEvent *event)
{
    QTreeView::focusOutEvent(event);
    viewport()->update();
}

void BookmarkTreeView::drawBranches(QPainter *painter, const QRect &rect, const QModelIndex &index) const
{
    // The selection band starts at the icon; the indentation keeps the tree's background.
    painter->fillRect(rect, palette().base());
    const BookmarkNode *node = m_model->nodeFromIndex(index);
    if (!node || !node->parent())
        return;
    const BookmarkNode *top = &m_model->tree().topLevel();
    int level = 0;
    for (const BookmarkNode *n = node->parent(); n && n != top; n = n->parent())
        ++level;
    const bool rightToLeft = isRightToLeft();
    auto cell = [&](int l) {
        const int x = rightToLeft ? rect.right() + 1 - (l + 1) * Indent : rect.left() + l * Indent;
        return QRect(x, rect.top(), Indent, rect.height());
    };
    const QColor lines = rgbColour(TreeColours::TreeLines);
    const int middle = rect.top() + rect.height() / 2;

    // The node's own line: from its parent's line (or from its middle for the very first node) down to
    // its middle, on down when a sibling follows, and across to its icon.
    const QRect own = cell(level);
    const int x = own.left() + Indent / 2;
    const bool siblingFollows = node->row() + 1 < node->parent()->childCount();
    const int lineTop = level == 0 && node->row() == 0 ? middle : rect.top();
    const int lineBottom = siblingFollows ? rect.bottom() : middle;
    fillDotted(*painter, QRect(x, lineTop, 1, lineBottom - lineTop + 1), lines);
    if (rightToLeft)
        fillDotted(*painter, QRect(own.left(), middle, x - own.left() + 1, 1), lines);
    else
        fillDotted(*painter, QRect(x, middle, own.right() - x + 1, 1), lines);

    // The lines of the ancestors that have siblings further down pass by.
    int l = level - 1;
    for (const BookmarkNode *a = node->parent(); a && a != top; a = a->parent(), --l) {
        if (a->row() + 1 < a->parent()->childCount())
            fillDotted(*painter, QRect(cell(l).left() + Indent / 2, rect.top(), 1, rect.height()), lines);
    }

    if (node->childCount() > 0) {
        QStyleOption button;
        button.initFrom(this);
        button.rect = own;
        button.state = QStyle::State_Enabled | QStyle::State_Children;
        if (isExpanded(index))
            button.state |= QStyle::State_Open;
        painter->fillRect(QRect(x - 5, middle - 5, 11, 11), palette().base());
        style()->drawPrimitive(QStyle::PE_IndicatorBranch, &button, painter, this);
    }
    // The row's grid line runs on below the indentation.
    fillDotted(*painter, QRect(rect.left(), rect.bottom(), rect.width(), 1),
               palette().color(QPalette::Button));
}

} // namespace vellumite
