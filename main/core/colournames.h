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
// The reverse: a name without regard to (ASCII) letter case, else an integer by integerFromText.
std::optional<Colour> colourFromText(const QString &text);

// Integer text as stored values use it: leading blanks, an optional sign, then decimal digits, or
// hexadecimal digits after "$", "x", "X", "0x" or "0X"; nothing may follow. Decimal values must fit a
// signed 32-bit integer; hexadecimal ones may use all 32 bits ("$FFFFFFFF" is -1). Anything else,
// overflow included, is not a valid integer.
std::optional<qint32> integerFromText(QStringView text);

} // namespace vellumite
