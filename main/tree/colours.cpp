#include "main/tree/colours.h"

#include "controls/RzCommon.h"

#include <QPalette>

namespace vellumite {

namespace {

constexpr Colour SystemColourFlag = 0xFF000000;

} // namespace

QColor toQColor(Colour colour, const QPalette &palette)
{
    if ((colour & SystemColourFlag) == 0)
        return rgbColour(colour);
    if ((colour & SystemColourFlag) == SystemColourFlag) {
        const Colour index = colour & ~SystemColourFlag;
        if (index <= 0xFF)
            return paletteSystemColor(static_cast<int>(index), palette);
    }
    return {};
}

} // namespace vellumite
