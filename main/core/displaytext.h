#pragma once

#include <QString>

namespace vellumite {

// How the windows show a stored text where showing it as it stands would mislead or not fit; the
// stored text itself is never changed.

// `text` with every bidirectional control (U+202A to U+202E, U+2066 to U+2069, U+200E, U+200F,
// U+061C) written out as its code, such as "<U+202E>". Left in, these characters reorder what
// follows them, so that the link "abc\u202Egnp.exe" reads as "abcexe.png". Angle brackets are rare in
// a link, and a marker typed into one as text hides nothing.
QString withVisibleBidiControls(const QString &text);

// A tool tip's text cut to what a screen shows: a line longer than ToolTipLineLength characters
// goes on in the next line, and after ToolTipMaxLines lines the rest is left out and an ellipsis
// ends the text. Line breaks are LF, CR, CR LF and LF CR (the form of the tree's hints). The tip then
// stays within an 800 x 600 screen.
inline constexpr qsizetype ToolTipLineLength = 80;
inline constexpr int ToolTipMaxLines = 25;
QString shortenedForToolTip(const QString &text);

} // namespace vellumite
