#pragma once

#include "main/core/bookmark.h"

#include <QColor>

class QPalette;

namespace vellumite {

// A stored colour (0x00BBGGRR, or 0xFF000000 plus a system-colour index) as the colour to paint with.
// System colours come from `palette`; an unknown system colour or "none" gives an invalid QColor.
QColor toQColor(Colour colour, const QPalette &palette);
// The same for colours that are never system colours.
inline QColor rgbColour(Colour colour)
{
    return QColor::fromRgb(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

} // namespace vellumite
