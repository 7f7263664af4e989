#pragma once

#include <QList>
#include <QRect>
#include <QSize>

namespace vellumite {

// The screens as the window system reports them.
struct ScreenLayout
{
    // The primary screen's size, from which the default placement is taken.
    QSize primarySize;
    // Every screen's available area (its geometry without panels and docks), the primary's first.
    QList<QRect> availableAreas;
};

// Where a window opens for the bounds it stored, so that it can always be reached. The window is taken
// at the size it will have: never below `minimumSize`, never larger than the screen's available area.
// The stored bounds stand on the screen that holds the largest part of the window when
//   - more than half of the window's area lies on that screen's available area, and
//   - a point of the window's top edge, where the title bar is, lies on some screen's available area;
// a size larger than that area is then cut to it, and where it is cut the window starts at the area's
// edge (as wide as the area, it fits nowhere else); the rest of the position is kept. Otherwise
// `fallback` is taken as it is. With no screen known the stored bounds stand.
QRect fitWindowOnScreens(const QRect &stored, QSize minimumSize, const QRect &fallback,
                         const QList<QRect> &availableAreas);

} // namespace vellumite
