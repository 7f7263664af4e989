#pragma once

#include <QString>

namespace vellumite {

// How the windows show a stored text where showing it as it stands would mislead or not fit; the
// stored text itself is never changed.

// A tool tip's text cut to what a screen shows: a line longer than ToolTipLineLength characters
// goes on in the next line, and after ToolTipMaxLines lines the rest is left out and an ellipsis
// ends the text. Line breaks are LF, CR, CR LF and LF CR (the form of the tree's hints).
inline constexpr qsizetype ToolTipLineLength = 120;
inline constexpr int ToolTipMaxLines = 30;
QString shortenedForToolTip(const QString &text);

} // namespace vellumite
