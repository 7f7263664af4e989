#include "main/tree/sortglyphheaderview.h"

#include <QStyleOptionHeader>

namespace vellumite {

SortGlyphHeaderView::SortGlyphHeaderView(Qt::Orientation orientation, QWidget *parent)
    : QHeaderView(orientation, parent)
{ }

void SortGlyphHeaderView::initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const
{
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    if (option->sortIndicator == QStyleOptionHeader::SortDown)
        option->sortIndicator = QStyleOptionHeader::SortUp;
    else if (option->sortIndicator == QStyleOptionHeader::SortUp)
        option->sortIndicator = QStyleOptionHeader::SortDown;
}

} // namespace vellumite
