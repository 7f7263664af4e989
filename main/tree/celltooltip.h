#pragma once

#include <QString>

class QAbstractItemView;
class QHelpEvent;
class QModelIndex;

namespace vellumite {

// The tool tips of the cells of the bookmark tree and of the search list.

// A hint as tooltip markup that shows exactly its text, cut to what a screen shows: nothing in it is
// taken for markup, and each line break (LF CR, CR LF, a lone CR or LF) starts a new line.
QString hintAsToolTip(const QString &hint);

// Answers a tool-tip event on `index` with `hint`; an empty hint hides the tip. True when shown.
bool showCellToolTip(QHelpEvent *event, QAbstractItemView *view, const QModelIndex &index,
                     const QString &hint);

} // namespace vellumite
