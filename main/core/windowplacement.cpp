#include "main/core/windowplacement.h"

namespace vellumite {

namespace {

// In 64 bits: a window of 32767 x 32767 has an area near the 32-bit limit, and twice it is beyond.
qint64 area(const QRect &rect)
{
    return rect.isEmpty() ? 0 : qint64(rect.width()) * rect.height();
}

bool topEdgeReachable(const QRect &window, const QList<QRect> &areas)
{
    const QRect topEdge(window.topLeft(), QSize(window.width(), 1));
    for (const QRect &available : areas) {
        if (topEdge.intersects(available))
            return true;
    }
    return false;
}

QRect cutTo(const QRect &window, const QRect &available)
{
    QRect cut = window;
    if (window.width() > available.width()) {
        cut.setLeft(available.left());
        cut.setWidth(available.width());
    }
    if (window.height() > available.height()) {
        cut.setTop(available.top());
        cut.setHeight(available.height());
    }
    return cut;
}

} // namespace

QRect fitWindowOnScreens(const QRect &stored, QSize minimumSize, const QRect &fallback,
                         const QList<QRect> &availableAreas)
{
    if (availableAreas.isEmpty())
        return stored;
    const QSize shown = stored.size().expandedTo(minimumSize);
    qint64 bestOverlap = 0;
    QRect best;
    for (const QRect &available : availableAreas) {
        const QRect window(stored.topLeft(), shown.boundedTo(available.size()));
        const qint64 overlap = area(window.intersected(available));
        if (2 * overlap > area(window) && overlap > bestOverlap && topEdgeReachable(window, availableAreas)) {
            bestOverlap = overlap;
            best = cutTo(stored, available);
        }
    }
    return bestOverlap > 0 ? best : fallback;
}

} // namespace vellumite
