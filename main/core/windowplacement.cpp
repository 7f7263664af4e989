#include "main/core/windowplacement.h"

#include <algorithm>

namespace vellumite {

namespace {

// In 64 bits: a window of 32767 x 32767 has an area near the 32-bit limit, and twice it is beyond.
qint64 area(const QRect &rect)
{
    return rect.isEmpty() ? 0 : qint64(rect.width()) * rect.height();
}

QSize frameSize(const QMargins &frame)
{
    return { frame.left() + frame.right(), frame.top() + frame.bottom() };
}

// The window with its frame, for its outer corner and client size, never below its minimum.
QRect framed(const QRect &bounds, QSize minimumSize, const QMargins &frame)
{
    return { bounds.topLeft(), bounds.size().expandedTo(minimumSize) + frameSize(frame) };
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

// A framed window on `available`: cut to it where it is larger, starting at its edge there; the client
// size and the minimum follow from the frame.
WindowFit placeOn(const QRect &window, const QRect &available, QSize minimumSize, const QMargins &frame)
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
    const QSize room = (available.size() - frameSize(frame)).expandedTo(QSize(1, 1));
    const QSize client = (cut.size() - frameSize(frame)).expandedTo(QSize(1, 1));
    return { QRect(cut.topLeft(), client), minimumSize.boundedTo(room) };
}

// Round(a / 2 - b / 2) in integers: the difference is (a - b) / 2 exactly.
int centredOrigin(int screen, int window)
{
    const int difference = screen - window;
    const int floorHalf = difference >= 0 ? difference / 2 : -((1 - difference) / 2);
    if (difference % 2 == 0)
        return floorHalf;
    return floorHalf % 2 == 0 ? floorHalf : floorHalf + 1;
}

} // namespace

QPoint centredCorner(const QRect &area, QSize size)
{
    return area.topLeft()
        + QPoint(centredOrigin(area.width(), size.width()), centredOrigin(area.height(), size.height()));
}

WindowFit fitWindowOnScreens(const QRect &stored, QSize minimumSize, const QMargins &frame,
                             const ScreenLayout &screens)
{
    const QList<QRect> &areas = screens.availableAreas;
    if (areas.isEmpty())
        return { stored, minimumSize };
    const QRect window = framed(stored, minimumSize, frame);
    qint64 bestOverlap = 0;
    WindowFit best;
    for (const QRect &available : areas) {
        const QRect shown(window.topLeft(), window.size().boundedTo(available.size()));
        const qint64 overlap = area(shown.intersected(available));
        if (2 * overlap > area(shown) && overlap > bestOverlap && topEdgeReachable(shown, areas)) {
            bestOverlap = overlap;
            best = placeOn(window, available, minimumSize, frame);
        }
    }
    if (bestOverlap > 0)
        return best;
    // Only the position falls back: the size the window asked for stays where it fits.
    const QRect &primary = areas.first();
    const QSize size = window.size().boundedTo(primary.size());
    return placeOn(QRect(centredCorner(primary, size), size), primary, minimumSize, frame);
}

WindowFit keepWindowOnScreen(const QRect &wanted, QSize minimumSize, const QMargins &frame,
                             const ScreenLayout &screens)
{
    const QList<QRect> &areas = screens.availableAreas;
    if (areas.isEmpty())
        return { wanted, minimumSize };
    const QRect window = framed(wanted, minimumSize, frame);
    const QRect *chosen = nullptr;
    for (const QRect &available : areas) {
        if (available.contains(window.center())) {
            chosen = &available;
            break;
        }
    }
    qint64 bestOverlap = 0;
    for (const QRect &available : areas) {
        if (!chosen && area(window.intersected(available)) > bestOverlap) {
            bestOverlap = area(window.intersected(available));
            chosen = &available;
        }
    }
    const QRect &available = chosen ? *chosen : areas.first();
    QRect inside(window.topLeft(), window.size().boundedTo(available.size()));
    // The top and left edges win: there are the title bar and the window's first controls.
    inside.moveRight(std::min(inside.right(), available.right()));
    inside.moveBottom(std::min(inside.bottom(), available.bottom()));
    inside.moveLeft(std::max(inside.left(), available.left()));
    inside.moveTop(std::max(inside.top(), available.top()));
    return placeOn(QRect(inside.topLeft(), window.size()), available, minimumSize, frame);
}

} // namespace vellumite
