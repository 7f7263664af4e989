#include "platform/messageservice.h"

namespace vellumite {

QString errorDisplayText(const QString &text)
{
    if (!text.isEmpty() && text.back() > u'.')
        return text + u'.';
    return text;
}

namespace {

// "/home/…", "~/…", "C:\…", "\\server\…": a path as the program's messages show one.
bool isAbsolutePath(QStringView text)
{
    if (text.startsWith(u'/') || text.startsWith(u"~/") || text.startsWith(u"\\\\"))
        return true;
    return text.size() >= 3 && text[0].isLetter() && text[1] == u':' && (text[2] == u'\\' || text[2] == u'/');
}

} // namespace

ShortenedMessage shortenQuotedPaths(const QString &text,
                                    const std::function<QString(const QString &)> &shorten)
{
    ShortenedMessage shown;
    qsizetype done = 0;
    for (;;) {
        const qsizetype open = text.indexOf(u'"', done);
        const qsizetype close = open < 0 ? -1 : text.indexOf(u'"', open + 1);
        if (close < 0)
            break;
        const QString quoted = text.sliced(open + 1, close - open - 1);
        QString path = quoted;
        if (isAbsolutePath(quoted)) {
            path = shorten(quoted);
            shown.shortened = shown.shortened || path != quoted;
        }
        shown.text += QStringView(text).sliced(done, open + 1 - done) + path + u'"';
        done = close + 1;
    }
    shown.text += QStringView(text).sliced(done);
    return shown;
}

} // namespace vellumite
