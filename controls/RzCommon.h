#pragma once

#include <QColor>
#include <QFlags>
#include <QRect>
#include <QtGlobal>
#include <functional>

class QPainter;

class QPalette;

namespace vellumite {

// Colours are 0x00BBGGRR; a system colour is 0xFF000000 plus the system-colour index and is turned
// into RGB only when it is drawn.
using TColor = quint32;

inline constexpr TColor clSystemColor = 0xFF000000;
inline constexpr TColor clWindow = clSystemColor | 5;
inline constexpr TColor clWindowFrame = clSystemColor | 6;
inline constexpr TColor clBtnFace = clSystemColor | 15;
inline constexpr TColor clBtnShadow = clSystemColor | 16;
inline constexpr TColor clBtnText = clSystemColor | 18;
inline constexpr TColor clBtnHighlight = clSystemColor | 20;
inline constexpr TColor cl3DDkShadow = clSystemColor | 21;
inline constexpr TColor cl3DLight = clSystemColor | 22;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clWhite = 0xFFFFFF;

// The palette's colour for a system-colour index; an invalid colour for an index it has none for.
QColor paletteSystemColor(int index, const QPalette &palette);

// Where system colours come from. The default follows the application's palette; tests install a
// fixed table so that rendered pixels do not depend on the desktop's theme.
using SystemColorLookup = std::function<QColor(int index)>;
void setSystemColorLookup(SystemColorLookup lookup);
QColor systemColor(int index);

// The colour as drawn: system colours resolved, always opaque.
QColor toQColor(TColor color);
// The colour as drawn, again as 0x00BBGGRR.
TColor ColorToRGB(TColor color);

// The sides of a frame; a mask of 15 paints all four.
enum FrameSide : quint8 { sdLeft = 1, sdTop = 2, sdRight = 4, sdBottom = 8 };
Q_DECLARE_FLAGS(TSides, FrameSide)
Q_DECLARE_OPERATORS_FOR_FLAGS(TSides)
inline constexpr TSides sdAllSides = TSides::fromInt(15);

enum TFrameStyle : quint8 {
    fsNone,
    fsFlat,
    fsGroove,
    fsBump,
    fsLowered,
    fsButtonDown,
    fsRaised,
    fsButtonUp,
    fsStatus,
    fsPopup
};

// The frame routines count the right and bottom edges exclusive, as the drawing API they follow does.
inline int rightOf(const QRect &r)
{
    return r.left() + r.width();
}

inline int bottomOf(const QRect &r)
{
    return r.top() + r.height();
}

inline QRect fromEdges(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// Which row of a two-pass edge table to paint: raised / up, or lowered / down.
enum class EdgeDepth : quint8 { Raised, Sunken };

// Stores a changed value; false when the value was already held, so setters can skip their update.
template<typename T> bool assignIfChanged(T &field, const T &value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

constexpr int MinInt(int a, int b)
{
    return a < b ? a : b;
}

// Every frame painter takes the bounds by value and returns the rectangle left inside the frame.
QRect PaintFrameEdges(QPainter &canvas, QRect bounds, TColor upperLeft, TColor lowerRight, TSides sides);
QRect PaintFrameEdgesN(QPainter &canvas, QRect bounds, TColor upperLeft, TColor lowerRight, int count,
                       TSides sides);
QRect Paint3DFrameEdges(QPainter &canvas, QRect bounds, EdgeDepth depth, TSides sides);
QRect PaintPushFrameEdges(QPainter &canvas, QRect bounds, EdgeDepth depth, TSides sides);
QRect PaintFrameStyleEdges(QPainter &canvas, QRect bounds, TFrameStyle style, TSides sides);
QRect PaintFrameAllEdges(QPainter &canvas, QRect bounds, TFrameStyle style);

} // namespace vellumite
