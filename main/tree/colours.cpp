#include "main/tree/colours.h"

#include <QPalette>

namespace vellumite {

namespace {

constexpr Colour SystemColourFlag = 0xFF000000;

struct SystemColour
{
    quint8 index;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The system-colour indices a stored colour may name, and the palette entry that plays their part here.
constexpr SystemColour SystemColours[] = {
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
    { 16, QPalette::Active, QPalette::Mid }, // button shadow
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

} // namespace

QColor toQColor(Colour colour, const QPalette &palette)
{
    if ((colour & SystemColourFlag) == 0)
        return rgbColour(colour);
    if ((colour & SystemColourFlag) == SystemColourFlag) {
        const Colour index = colour & ~SystemColourFlag;
        for (const SystemColour &system : SystemColours) {
            if (system.index == index)
                return palette.color(system.group, system.role);
        }
    }
    return {};
}

} // namespace vellumite
