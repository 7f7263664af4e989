#include "feedback/feedbackmail.h"

#include <QRegularExpression>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace vellumite::feedback {

QByteArray EncodeMailtoValue(const QString &value)
{
    static const QRegularExpression lineBreak(u"\r\n|\r|\n"_s);
    QString text = value;
    text.replace(lineBreak, u"\r\n"_s);
    return QUrl::toPercentEncoding(text);
}

QString FeedbackMailAddress(const QString &reason, const QString &comments)
{
    const QString body = reason + u"  *****  Comments : "_s + comments;
    return u"mailto:"_s + FeedbackAddress + u"?subject="_s
        + QString::fromLatin1(EncodeMailtoValue(u"Uninstall VellumitePE"_s)) + u"&body="_s
        + QString::fromLatin1(EncodeMailtoValue(body));
}

} // namespace vellumite::feedback
