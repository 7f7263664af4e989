#include "exchange/core/operaentry.h"

#include "main/core/operalines.h"

namespace vellumite {

QString RebuildOperaBlock(const QString &block, const QString &name, const QString &comment,
                          const QString &link)
{
    QStringList lines = splitHotlistLines(block);
    rewriteHotlistKeyLines(lines, HotlistNameKey, HotlistKeyIndent, name);
    rewriteHotlistKeyLines(lines, HotlistUrlKey, HotlistKeyIndent, link);
    if (rewriteHotlistKeyLines(lines, HotlistDescriptionKey, HotlistKeyIndent, comment) == 0)
        lines.append(HotlistKeyIndent + HotlistDescriptionKey + encodeHotlistValue(comment));
    return joinHotlistLines(lines);
}

} // namespace vellumite
