#pragma once

#include <QStringView>
#include <QtGlobal>
#include <optional>

namespace vellumite {

// Reads a signed 32-bit integer the way the program's stored texts expect: leading blanks, an optional
// sign, then decimal digits, or hexadecimal digits after "$", "x" or "X". Hexadecimal text is a 32-bit
// pattern ($FFFFFFFF is -1); decimal text must fit the signed range. Anything else, trailing characters
// included, is no number.
std::optional<qint32> parseInteger(QStringView text);

} // namespace vellumite
