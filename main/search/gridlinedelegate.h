#pragma once

#include <QStyledItemDelegate>

namespace vellumite {

// Draws each cell as usual with a line along its bottom edge, so that the rows of a list read as the
// horizontal lines of a grid; shows each cell's tool tip as plain text cut to what a screen shows.
class GridLineDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;
};

} // namespace vellumite
