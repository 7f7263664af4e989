#include "exchange/core/operaentry.h"

#include "main/core/operalines.h"

namespace vellumite {

namespace {
// The indentation of the key lines of a freshly written entry.
constexpr QStringView KeyIndent = u"        ";
} // namespace

QString RebuildOperaBlock(const QString &block, const QString &name, const QString &comment,
                          const QString &link)
{
    QStringList lines = splitHotlistLines(block);
    rewriteHotlistKeyLines(lines, u"NAME=", KeyIndent, name);
    rewriteHotlistKeyLines(lines, u"URL=", KeyIndent, link);
    constexpr QStringView descriptionKey = u"DESCRIPTION=";
    if (rewriteHotlistKeyLines(lines, descriptionKey, KeyIndent, comment) == 0)
        lines.append(KeyIndent + descriptionKey + encodeHotlistValue(comment));
    return joinHotlistLines(lines);
}

} // namespace vellumite
