#pragma once

#include <QList>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace vellumite {

// The screens as the window system reports them: every screen's available area (its geometry without
// panels and docks), the primary's first.
struct ScreenLayout
{
    QList<QRect> availableAreas;
};

// Where a top-level window opens: `bounds` holds the outer corner of its frame (where the window manager
// puts the title bar) and the size of its client area, as the settings store them; `minimumSize` is the
// smallest client size it may take there, its own minimum given up where the screen is smaller.
struct WindowFit
{
    QRect bounds;
    QSize minimumSize;

    friend bool operator==(const WindowFit &, const WindowFit &) = default;
};

// Where the main window opens for the bounds it stored, so that it can always be reached. The window
// is taken at the size it will have, with its `frame` around it: never below `minimumSize` unless the
// screen is smaller, never larger than the screen's available area. The stored bounds stand on the
// screen that holds the largest part of the framed window when
//   - more than half of the framed window lies on that screen's available area, and
//   - a point of its top edge, where the title bar is, lies on some screen's available area;
// a window larger than that area is then cut to it, and where it is cut it starts at the area's edge
// (as wide as the area, it fits nowhere else); the rest of the position is kept. Otherwise the window
// keeps its size, cut to the primary screen's available area, and is centred there. With no screen
// known the stored bounds stand.
WindowFit fitWindowOnScreens(const QRect &stored, QSize minimumSize, const QMargins &frame,
                             const ScreenLayout &screens);

// Where a dialog opens that wants the place `wanted` (outer corner and client size): on the screen that
// holds the middle of its framed window (else the one that holds most of it, else the primary), cut to
// that screen's available area and moved as little as needed to lie wholly on it.
WindowFit keepWindowOnScreen(const QRect &wanted, QSize minimumSize, const QMargins &frame,
                             const ScreenLayout &screens);

// The outer corner that centres a framed window of `size` on `area`: Round(area / 2 - size / 2), the
// halves taken as real numbers and a tie rounded to the even neighbour.
QPoint centredCorner(const QRect &area, QSize size);

} // namespace vellumite
