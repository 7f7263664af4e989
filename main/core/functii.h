#pragma once

#include "main/core/bookmarktree.h"

#include <QByteArray>
#include <QString>

// Small stateless routines shared by the main window, its dialogs and the browser-store exchange.
// None touches a widget, so each may run on any thread.
namespace vellumite {

// The Index-th field of Text split at Delimiter, fields counted from 1. Two adjacent delimiters enclose
// an empty field, the text after the last delimiter is the last field; Index 0 or past the last field
// gives an empty string.
QString GetDelimitedField(const QString &text, QChar delimiter, int index);

// A copy of an 8-bit file name with the control characters 0..31 and " * . / : < > ? \ | replaced by
// `replacement`; the length never changes and bytes from 128 up are kept.
QByteArray ReplaceFileNameChars(const QByteArray &text, char replacement);

// The 8-bit text strictly between the quotes of the Index-th pair of double quotes, pairs counted from 1;
// empty when there is no such pair (an unclosed pair ends the search).
QByteArray GetQuotedField(const QByteArray &text, int index);

// Exact, case-sensitive substring test of UTF-16 code units; an empty Sub is never contained.
bool WideContains(const QString &text, const QString &sub);

// The status-bar counters of a bookmark tree.
struct TreeCounts
{
    // Categories without the root category "Bookmarks"; never negative.
    qsizetype categories = 0;
    qsizetype links = 0;

    friend bool operator==(const TreeCounts &, const TreeCounts &) = default;
};

// The counting half of UpdateTreeCounts: every node in tree order, collapsed branches included.
TreeCounts countTree(const BookmarkTree &tree);
// "Categories: N" and "Links: N", the texts of the status bar's panels 2 and 3.
QString categoriesText(const TreeCounts &counts);
QString linksText(const TreeCounts &counts);

// The product version of this program, as the build stamps it.
QString programProductVersion();

} // namespace vellumite
