#pragma once

#include "main/core/bookmark.h"

class QColor;
class QPainter;
class QRect;

namespace vellumite {

// The colours of the bookmark tree.
namespace TreeColours {
inline constexpr Colour Background = 0x00FFFFFF;
inline constexpr Colour Font = PriorityLow;
// The tree paints its selection in these colours whether or not it has the focus; only the link
// column's text tells a focused selection from an unfocused one.
inline constexpr Colour Selection = 0x00FEEFDA;
inline constexpr Colour SelectionBorder = 0x00F9C680;
inline constexpr Colour TreeLines = 0x00E3EBEE;
// While something is dragged over the tree.
inline constexpr Colour DropMark = 0x00AB6403;
inline constexpr Colour DropTarget = 0x00FBB453;
inline constexpr Colour DropTargetBorder = 0x00FCC478;
} // namespace TreeColours

// Fills `rect` with every other pixel in `colour`, on a pattern fixed to the painter's origin, so dotted
// lines drawn by different cells meet without a seam.
void fillDotted(QPainter &painter, const QRect &rect, const QColor &colour);

} // namespace vellumite
