#include "main/search/gridlinedelegate.h"

#include "main/tree/celltooltip.h"

#include <QHelpEvent>
#include <QPainter>

namespace vellumite {

void GridLineDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    painter->save();
    painter->setPen(option.palette.color(QPalette::Button));
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
    painter->restore();
}

bool GridLineDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view,
                                 const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (!event || !view || event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    return showCellToolTip(event, view, index, index.data(Qt::ToolTipRole).toString());
}

} // namespace vellumite
