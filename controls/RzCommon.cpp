#include "controls/RzCommon.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

namespace vellumite {

namespace {

SystemColorLookup &installedLookup()
{
    static SystemColorLookup lookup;
    return lookup;
}

struct PaletteEntry
{
    int index;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The desktop's system-colour indices and the palette entry that plays their part here; the one table
// of them, for the controls and the tree alike.
constexpr PaletteEntry PaletteEntries[] = {
    { 0, QPalette::Active, QPalette::Button }, // scroll bar
    { 1, QPalette::Active, QPalette::Window }, // desktop background
    { 2, QPalette::Active, QPalette::Highlight }, // active caption
    { 3, QPalette::Inactive, QPalette::Highlight }, // inactive caption
    { 4, QPalette::Active, QPalette::Window }, // menu
    { 5, QPalette::Active, QPalette::Base }, // window
    { 6, QPalette::Active, QPalette::Shadow }, // window frame
    { 7, QPalette::Active, QPalette::WindowText }, // menu text
    { 8, QPalette::Active, QPalette::Text }, // window text
    { 9, QPalette::Active, QPalette::HighlightedText }, // caption text
    { 10, QPalette::Active, QPalette::Window }, // active border
    { 11, QPalette::Inactive, QPalette::Window }, // inactive border
    { 12, QPalette::Active, QPalette::Dark }, // application work space
    { 13, QPalette::Active, QPalette::Highlight }, // highlight
    { 14, QPalette::Active, QPalette::HighlightedText }, // highlighted text
    { 15, QPalette::Active, QPalette::Button }, // button face
    { 16, QPalette::Active, QPalette::Dark }, // button shadow
    { 17, QPalette::Disabled, QPalette::Text }, // grey text
    { 18, QPalette::Active, QPalette::ButtonText }, // button text
    { 19, QPalette::Inactive, QPalette::HighlightedText }, // inactive caption text
    { 20, QPalette::Active, QPalette::Light }, // button highlight
    { 21, QPalette::Active, QPalette::Shadow }, // 3-D dark shadow
    { 22, QPalette::Active, QPalette::Midlight }, // 3-D light
    { 23, QPalette::Active, QPalette::ToolTipText }, // info text
    { 24, QPalette::Active, QPalette::ToolTipBase }, // info background
    { 26, QPalette::Active, QPalette::Link }, // hot light
    { 27, QPalette::Active, QPalette::Highlight }, // gradient active caption
    { 28, QPalette::Inactive, QPalette::Highlight }, // gradient inactive caption
    { 29, QPalette::Active, QPalette::Highlight }, // menu highlight
    { 30, QPalette::Active, QPalette::Window }, // menu bar
};

// The controls paint an unknown index as the window's background.
QColor paletteColor(int index)
{
    const QPalette palette = QGuiApplication::palette();
    const QColor color = paletteSystemColor(index, palette);
    return color.isValid() ? color : palette.color(QPalette::Window);
}

void fillEdges(QPainter &canvas, int left, int top, int right, int bottom, const QColor &color)
{
    if (right > left && bottom > top)
        canvas.fillRect(fromEdges(left, top, right, bottom), color);
}

void setPixel(QPainter &canvas, int x, int y, const QColor &color)
{
    canvas.fillRect(QRect(x, y, 1, 1), color);
}

struct EdgeColors
{
    TColor outerUpperLeft;
    TColor outerLowerRight;
    TColor innerUpperLeft;
    TColor innerLowerRight;
};

constexpr EdgeColors RaisedEdge { cl3DLight, clBtnText, clBtnHighlight, clBtnShadow };
constexpr EdgeColors LoweredEdge { clBtnShadow, clBtnHighlight, clBtnText, cl3DLight };
constexpr EdgeColors PushUpEdge { clBtnHighlight, cl3DDkShadow, cl3DLight, clBtnShadow };
constexpr EdgeColors PushDownEdge { clBtnText, clBtnText, clBtnShadow, clBtnShadow };

QRect paintTwoPassEdges(QPainter &canvas, QRect bounds, const EdgeColors &colors, TSides sides)
{
    const QRect inner
        = PaintFrameEdgesN(canvas, bounds, colors.outerUpperLeft, colors.outerLowerRight, 1, sides);
    return PaintFrameEdgesN(canvas, inner, colors.innerUpperLeft, colors.innerLowerRight, 1, sides);
}

// A groove sinks the inner line and raises the outer one; a bump the other way round.
QRect paintGrooveOrBump(QPainter &canvas, QRect bounds, TColor upperLeft, TColor lowerRight, TSides sides)
{
    const QColor ul = toQColor(upperLeft);
    const QColor lr = toQColor(lowerRight);
    const int left = bounds.left();
    const int top = bounds.top();
    const int right = rightOf(bounds);
    const int bottom = bottomOf(bounds);

    // Corners where a painted side meets an unpainted one get the colour that continues the painted
    // side's two lines.
    if (sides & sdRight)
        setPixel(canvas, right - 1, top, lr);
    if ((sides & sdTop) && !(sides & sdRight))
        setPixel(canvas, right - 1, top, ul);
    if (sides & sdBottom)
        setPixel(canvas, left, bottom - 1, lr);
    if ((sides & sdLeft) && !(sides & sdBottom))
        setPixel(canvas, left, bottom - 1, ul);
    if ((sides & sdTop) && !(sides & sdLeft))
        setPixel(canvas, left, top + 1, lr);
    if ((sides & sdLeft) && !(sides & sdTop))
        setPixel(canvas, left + 1, top, lr);
    if ((sides & sdBottom) && !(sides & sdRight))
        setPixel(canvas, right - 1, bottom - 2, ul);
    if ((sides & sdRight) && !(sides & sdBottom))
        setPixel(canvas, right - 2, bottom - 1, ul);

    QRect r = fromEdges(left + 1, top + 1, right, bottom);
    PaintFrameEdges(canvas, r, lowerRight, lowerRight, sides);
    r.translate(-1, -1);
    PaintFrameEdges(canvas, r, upperLeft, upperLeft, sides);

    return fromEdges(left + ((sides & sdLeft) ? 2 : 0), top + ((sides & sdTop) ? 2 : 0),
                     right - ((sides & sdRight) ? 2 : 0), bottom - ((sides & sdBottom) ? 2 : 0));
}

} // namespace

QColor paletteSystemColor(int index, const QPalette &palette)
{
    for (const PaletteEntry &entry : PaletteEntries) {
        if (entry.index == index)
            return palette.color(entry.group, entry.role);
    }
    return {};
}

void setSystemColorLookup(SystemColorLookup lookup)
{
    installedLookup() = std::move(lookup);
}

QColor systemColor(int index)
{
    const SystemColorLookup &lookup = installedLookup();
    QColor color = lookup ? lookup(index) : paletteColor(index);
    color.setAlpha(255);
    return color;
}

QColor toQColor(TColor color)
{
    if (color & clSystemColor)
        return systemColor(static_cast<int>(color & 0xFF));
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

TColor ColorToRGB(TColor color)
{
    const QColor c = toQColor(color);
    return static_cast<TColor>(c.red()) | (static_cast<TColor>(c.green()) << 8)
        | (static_cast<TColor>(c.blue()) << 16);
}

QRect PaintFrameEdges(QPainter &canvas, QRect bounds, TColor upperLeft, TColor lowerRight, TSides sides)
{
    const int left = bounds.left();
    const int top = bounds.top();
    const int right = rightOf(bounds);
    const int bottom = bottomOf(bounds);

    const QColor ul = toQColor(upperLeft);
    if (sides & sdLeft)
        fillEdges(canvas, left, top, left + 1, bottom, ul);
    if (sides & sdTop)
        fillEdges(canvas, left, top, right, top + 1, ul);

    const QColor lr = toQColor(lowerRight);
    if (sides & sdRight)
        fillEdges(canvas, right - 1, top, right, bottom, lr);
    if (sides & sdBottom)
        fillEdges(canvas, left, bottom - 1, right, bottom, lr);

    return fromEdges(left + ((sides & sdLeft) ? 1 : 0), top + ((sides & sdTop) ? 1 : 0),
                     right - ((sides & sdRight) ? 1 : 0), bottom - ((sides & sdBottom) ? 1 : 0));
}

QRect PaintFrameEdgesN(QPainter &canvas, QRect bounds, TColor upperLeft, TColor lowerRight, int count,
                       TSides sides)
{
    for (int i = 0; i < count; ++i)
        bounds = PaintFrameEdges(canvas, bounds, upperLeft, lowerRight, sides);
    return bounds;
}

QRect Paint3DFrameEdges(QPainter &canvas, QRect bounds, EdgeDepth depth, TSides sides)
{
    return paintTwoPassEdges(canvas, bounds, depth == EdgeDepth::Sunken ? LoweredEdge : RaisedEdge, sides);
}

QRect PaintPushFrameEdges(QPainter &canvas, QRect bounds, EdgeDepth depth, TSides sides)
{
    return paintTwoPassEdges(canvas, bounds, depth == EdgeDepth::Sunken ? PushDownEdge : PushUpEdge, sides);
}

QRect PaintFrameStyleEdges(QPainter &canvas, QRect bounds, TFrameStyle style, TSides sides)
{
    switch (style) {
    case fsNone:
        return bounds;
    case fsFlat:
        return PaintFrameEdges(canvas, bounds, clWindowFrame, clWindowFrame, sides);
    case fsStatus:
        return PaintFrameEdges(canvas, bounds, clBtnShadow, clBtnHighlight, sides);
    case fsPopup:
        return PaintFrameEdges(canvas, bounds, clBtnHighlight, clBtnShadow, sides);
    case fsLowered:
        return Paint3DFrameEdges(canvas, bounds, EdgeDepth::Sunken, sides);
    case fsRaised:
        return Paint3DFrameEdges(canvas, bounds, EdgeDepth::Raised, sides);
    case fsButtonDown:
        return PaintPushFrameEdges(canvas, bounds, EdgeDepth::Sunken, sides);
    case fsButtonUp:
        return PaintPushFrameEdges(canvas, bounds, EdgeDepth::Raised, sides);
    case fsGroove:
        return paintGrooveOrBump(canvas, bounds, clBtnShadow, clBtnHighlight, sides);
    case fsBump:
        return paintGrooveOrBump(canvas, bounds, clBtnHighlight, clBtnShadow, sides);
    }
    return bounds;
}

QRect PaintFrameAllEdges(QPainter &canvas, QRect bounds, TFrameStyle style)
{
    return PaintFrameStyleEdges(canvas, bounds, style, sdAllSides);
}

} // namespace vellumite
