#include "platform/urltester.h"

#include <QStringBuilder>

namespace vellumite {

QByteArray withHttpPrefix(const QByteArray &url)
{
    // Only A to Z are lowered: the test must not depend on the locale.
    if (url.toLower().contains("http"))
        return url;
    return QByteArrayLiteral("http://") + url;
}

bool isRequestableUrl(const QByteArray &requestUrl)
{
    const QByteArray lower = requestUrl.toLower();
    if (!lower.startsWith("http://") && !lower.startsWith("https://"))
        return false;
    for (const char c : requestUrl) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            return false;
    }
    return true;
}

} // namespace vellumite
