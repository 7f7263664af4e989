#include "main/tree/celltooltip.h"

#include "main/core/displaytext.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

namespace vellumite {

QString hintAsToolTip(const QString &fullHint)
{
    // A title or link of a hundred thousand characters would make a tip far wider than any screen.
    const QString hint = shortenedForToolTip(fullHint);
    QString markup = QStringLiteral("<p style=\"white-space:pre\">");
    markup.reserve(markup.size() + hint.size() + hint.size() / 4);
    for (qsizetype i = 0; i < hint.size(); ++i) {
        const QChar c = hint[i];
        if (c == u'\n' || c == u'\r') {
            const QChar other = c == u'\n' ? QChar(u'\r') : QChar(u'\n');
            if (i + 1 < hint.size() && hint[i + 1] == other)
                ++i;
            markup += u"<br>";
        } else if (c == u'<') {
            markup += u"&lt;";
        } else if (c == u'>') {
            markup += u"&gt;";
        } else if (c == u'&') {
            markup += u"&amp;";
        } else {
            markup += c;
        }
    }
    markup += u"</p>";
    return markup;
}

bool showCellToolTip(QHelpEvent *event, QAbstractItemView *view, const QModelIndex &index,
                     const QString &hint)
{
    if (hint.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
        return false;
    }
    QToolTip::showText(event->globalPos(), hintAsToolTip(hint), view, view->visualRect(index));
    return true;
}

} // namespace vellumite
