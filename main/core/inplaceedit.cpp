#include "main/core/inplaceedit.h"

#include "main/core/bookmarksort.h"
#include "main/core/linebreaks.h"
#include "main/core/operalines.h"

namespace vellumite {

namespace {

// The indentation of the key lines an in-place rename writes.
constexpr QStringView RenameIndent = u"         ";

void rewriteOperaKey(TBookmark &record, QStringView key, const QString &value)
{
    // Whatever the node's origin: a block an export stored in it must not keep the old name or link.
    if (record.OperaBlock.isEmpty())
        return;
    QStringList lines = splitHotlistLines(record.OperaBlock);
    rewriteHotlistKeyLines(lines, key, RenameIndent, value);
    record.OperaBlock = joinHotlistLines(lines);
}

bool setCellText(TBookmark &record, int column, const QString &text)
{
    if (text.isEmpty())
        return false;
    switch (column) {
    case ColumnDescription:
        rewriteOperaKey(record, u"NAME=", text);
        record.setName(text);
        return true;
    case ColumnLink:
        if (record.IsCategory)
            return false;
        rewriteOperaKey(record, u"URL=", text);
        record.Link = text;
        return true;
    default:
        return false;
    }
}

} // namespace

bool VTNewText(TBookmark &record, int column, const QString &newText)
{
    return setCellText(record, column, replaceLineBreaks(newText, u" "));
}

void applyStoredCaption(BookmarkNode &node, const QString &caption)
{
    setCellText(node.record, ColumnDescription, caption);
}

} // namespace vellumite
