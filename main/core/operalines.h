#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace vellumite {

// The line-level rules of an Opera hotlist entry ("block"), shared by everything that rewrites the
// stored entry of a node imported from a hotlist.

// Splits at CR LF, CR or LF; a line break at the very end makes no extra empty line.
QStringList splitHotlistLines(QStringView block);

// Every line followed by CR LF, the last one included.
QString joinHotlistLines(const QStringList &lines);

// The line without the spaces and control characters at both ends, as the hotlist reader compares it.
QStringView trimmedHotlistLine(QStringView line);

// A value as it may stand on one key line. The hotlist keeps a line break inside a value as two
// U+0002 characters; writing it raw would end the key line and turn the rest of the value into lines
// of their own (a comment line "URL=..." would become a key). CR LF, a lone CR and a lone LF each
// become one pair.
QString encodeHotlistValue(QStringView value);
// The reverse: each U+0002 pair becomes CR LF, the line break of the records.
QString decodeHotlistValue(QStringView value);

// Replaces every line whose trimmed text begins with `key` (case-sensitive, "NAME=" for instance)
// by indent + key + the encoded value. Returns how many lines were replaced.
int rewriteHotlistKeyLines(QStringList &lines, QStringView key, QStringView indent, QStringView value);

} // namespace vellumite
