#include "main/tree/bookmarkdelegate.h"

#include "main/core/bookmarksort.h"
#include "main/core/displaytext.h"
#include "main/dialogs/storedtextfield.h"
#include "main/tree/bookmarkmodel.h"
#include "main/tree/celltooltip.h"
#include "main/tree/colours.h"
#include "main/tree/imagelist.h"
#include "main/tree/treepainting.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QPainter>

namespace vellumite {

namespace {

const TBookmark *recordOf(const QModelIndex &index)
{
    const auto *model = qobject_cast<const BookmarkModel *>(index.model());
    const BookmarkNode *node = model ? model->nodeFromIndex(index) : nullptr;
    return node ? &node->record : nullptr;
}

// The selection is one bordered band across the row: top and bottom on every cell, the sides on the
// first and last cell.
void paintSelection(QPainter &painter, const QStyleOptionViewItem &option)
{
    const QRect r = option.rect;
    painter.fillRect(r, rgbColour(TreeColours::Selection));
    painter.setPen(rgbColour(TreeColours::SelectionBorder));
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    using Position = QStyleOptionViewItem::ViewItemPosition;
    const Position position = option.viewItemPosition;
    if (position == Position::Beginning || position == Position::OnlyOne)
        painter.drawLine(r.topLeft(), r.bottomLeft());
    if (position == Position::End || position == Position::OnlyOne)
        painter.drawLine(r.topRight(), r.bottomRight());
}

void paintGridLines(QPainter &painter, const QStyleOptionViewItem &option)
{
    const QRect r = option.rect;
    const QColor colour = option.palette.color(QPalette::Button);
    fillDotted(painter, QRect(r.left(), r.bottom(), r.width(), 1), colour);
    fillDotted(painter, QRect(r.right(), r.top(), 1, r.height()), colour);
}

} // namespace

BookmarkDelegate::BookmarkDelegate(const ImageList &images, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_images(images)
{ }

QPoint BookmarkDelegate::centredIconPosition(const QRect &cell, int size)
{
    // QRect::right() is the last pixel inside; the centring counts from the first pixel beyond.
    return { cell.left() + (cell.width() - size) / 2, cell.top() + (cell.height() - size) / 2 };
}

void BookmarkDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    // A link is shown as it would open: no control character may reorder what it reads.
    if (index.column() == ColumnLink)
        option->text = withVisibleBidiControls(option->text);
    const int image = index.data(BookmarkModel::ImageIndexRole).toInt();
    if (m_images.isValidIndex(image)) {
        option->icon = m_images.icon(image);
        option->features |= QStyleOptionViewItem::HasDecoration;
        option->decorationSize = QSize(m_images.width(), m_images.height());
    }
}

void BookmarkDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const bool selected = opt.state.testFlag(QStyle::State_Selected);
    const bool treeFocused = opt.widget && opt.widget->hasFocus();

    painter->save();
    if (selected)
        paintSelection(*painter, opt);
    paintGridLines(*painter, opt);
    painter->restore();

    if (const TBookmark *record = recordOf(index)) {
        if (const std::optional<Colour> colour
            = BookmarkModel::VTPaintText(*record, index.column(), treeFocused, selected)) {
            if (const QColor c = toQColor(*colour, opt.palette); c.isValid()) {
                opt.palette.setColor(QPalette::Text, c);
                opt.palette.setColor(QPalette::HighlightedText, c);
            }
        }
    }
    // The selection is painted above; the tree shows no focus rectangle and no hover.
    opt.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_MouseOver);
    const QStyle *style = opt.widget ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    const int stateImage = index.data(BookmarkModel::StateImageRole).toInt();
    if (stateImage >= 0) {
        const QPoint at = centredIconPosition(option.rect, m_images.width());
        m_images.draw(*painter, at.x(), at.y(), stateImage);
    }
}

QSize BookmarkDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    return { QStyledItemDelegate::sizeHint(option, index).width(), RowHeight };
}

QWidget *BookmarkDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                        const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto *line = qobject_cast<QLineEdit *>(editor))
        keepWholeText(*line);
    return editor;
}

bool BookmarkDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view,
                                 const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (!event || !view || event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString hint = index.data(Qt::ToolTipRole).toString();
    return showCellToolTip(event, view, index,
                           index.column() == ColumnLink ? withVisibleBidiControls(hint) : hint);
}

} // namespace vellumite
