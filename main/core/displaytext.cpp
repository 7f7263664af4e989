#include "main/core/displaytext.h"

#include <algorithm>

namespace vellumite {

namespace {

bool isBidiControl(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069) || u == 0x200E || u == 0x200F
        || u == 0x061C;
}

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r';
}

} // namespace

QString withVisibleBidiControls(const QString &text)
{
    if (std::none_of(text.cbegin(), text.cend(), isBidiControl))
        return text;
    QString shown;
    shown.reserve(text.size() + 16);
    for (const QChar c : text) {
        if (isBidiControl(c))
            shown += u"<U+" + QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0') + u'>';
        else
            shown += c;
    }
    return shown;
}

QString shortenedForToolTip(const QString &text)
{
    constexpr QChar Ellipsis(0x2026);
    QString shown;
    int line = 1;
    qsizetype column = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (isLineBreak(c)) {
            // A pair of different break characters is one break.
            qsizetype last = i;
            if (i + 1 < text.size() && isLineBreak(text[i + 1]) && text[i + 1] != c)
                ++last;
            if (line == ToolTipMaxLines) {
                if (last + 1 < text.size())
                    shown += Ellipsis;
                return shown;
            }
            shown += QStringView(text).sliced(i, last - i + 1);
            i = last;
            ++line;
            column = 0;
            continue;
        }
        // A character of two code units is never split across lines.
        if (column >= ToolTipLineLength && !c.isLowSurrogate()) {
            if (line == ToolTipMaxLines) {
                shown += Ellipsis;
                return shown;
            }
            shown += u'\n';
            ++line;
            column = 0;
        }
        shown += c;
        ++column;
    }
    return shown;
}

} // namespace vellumite
