#pragma once

#include <QStringView>
#include <QtGlobal>
#include <optional>

namespace vellumite {

// Which prefixes mark hexadecimal digits besides "$", "x" and "X".
enum class HexPrefix {
    DollarOrX,
    // "0x" and "0X" as well, as colour values are written.
    AlsoZeroX,
};

// The one reader of signed 32-bit integers in stored texts: leading blanks, an optional sign, then
// decimal digits, or hexadecimal digits after a hexadecimal prefix. Hexadecimal text is a 32-bit pattern
// ($FFFFFFFF is -1); decimal text must fit the signed range. Anything else, trailing characters
// included, is no number.
std::optional<qint32> parseInteger(QStringView text, HexPrefix prefixes = HexPrefix::DollarOrX);

} // namespace vellumite
