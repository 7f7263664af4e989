#pragma once

#include <QString>
#include <QStringView>

namespace vellumite {

// Replaces every line break (CR LF, a lone CR or a lone LF) by `replacement`.
QString replaceLineBreaks(QStringView text, QStringView replacement);

// Text edits hand back LF line breaks; the records keep CR LF.
inline QString withCrLfLineBreaks(QStringView text)
{
    return replaceLineBreaks(text, u"\r\n");
}
// The reverse, for showing a stored text in a text edit.
inline QString withLfLineBreaks(QStringView text)
{
    return replaceLineBreaks(text, u"\n");
}

} // namespace vellumite
