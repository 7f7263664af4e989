#include "main/tree/treepainting.h"

#include <QBrush>
#include <QPainter>

namespace vellumite {

void fillDotted(QPainter &painter, const QRect &rect, const QColor &colour)
{
    painter.fillRect(rect, QBrush(colour, Qt::Dense4Pattern));
}

} // namespace vellumite
