#include "main/core/linebreaks.h"

namespace vellumite {

QString replaceLineBreaks(QStringView text, QStringView replacement)
{
    QString result;
    result.reserve(text.size());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') {
            result += c;
            continue;
        }
        if (c == u'\r' && i + 1 < size && text[i + 1] == u'\n')
            ++i;
        result += replacement;
    }
    return result;
}

} // namespace vellumite
