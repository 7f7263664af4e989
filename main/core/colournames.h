#pragma once

#include "main/core/bookmark.h"

#include <QLatin1StringView>
#include <QString>
#include <QStringView>
#include <optional>
#include <span>

namespace vellumite {

struct ColourName
{
    Colour value;
    QLatin1StringView name;
};

// The named colours, in the order in which a value is looked up (the first row with a value wins).
std::span<const ColourName> colourNames();

// A colour as stored text: its name when the table has it, else "$" and eight upper-case hex digits.
QString colourToText(Colour colour);
// The reverse: a name without regard to (ASCII) letter case, else an integer (parseInteger, "0x" allowed).
std::optional<Colour> colourFromText(const QString &text);

} // namespace vellumite
