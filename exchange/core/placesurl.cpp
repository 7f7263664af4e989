#include "exchange/core/placesurl.h"

#include <QStringList>
#include <algorithm>

namespace vellumite {

namespace {

quint32 hashBytes(QByteArrayView bytes)
{
    constexpr quint32 goldenRatio = 0x9E3779B9U;
    quint32 hash = 0;
    for (const char c : bytes) {
        hash = ((hash << 5) | (hash >> 27)) ^ static_cast<quint8>(c);
        hash *= goldenRatio;
    }
    return hash;
}

bool isSchemeCharacter(QChar c, bool first)
{
    if (c.unicode() >= 0x80)
        return false;
    if (c.isLetter())
        return true;
    return !first && (c.isDigit() || c == u'+' || c == u'-' || c == u'.');
}

// The length of a valid scheme before the first ':', or -1.
qsizetype schemeLength(QStringView url)
{
    const qsizetype colon = url.indexOf(u':');
    if (colon <= 0)
        return -1;
    for (qsizetype i = 0; i < colon; ++i) {
        if (!isSchemeCharacter(url[i], i == 0))
            return -1;
    }
    return colon;
}

} // namespace

qint64 placesUrlHash(QByteArrayView url)
{
    constexpr qsizetype hashedLength = 1500;
    constexpr qsizetype schemeSearchLength = 50;
    const quint32 body = hashBytes(url.first(std::min(url.size(), hashedLength)));
    const qsizetype colon = url.first(std::min(url.size(), schemeSearchLength)).indexOf(':');
    if (colon < 0)
        return body;
    const quint64 scheme = hashBytes(url.first(colon)) & 0xFFFFU;
    return static_cast<qint64>((scheme << 32) + body);
}

PlacesUrlParts splitPlacesUrl(QStringView url)
{
    PlacesUrlParts parts;
    const qsizetype scheme = schemeLength(url);
    if (scheme < 0)
        return parts;
    const QStringView afterScheme = url.mid(scheme + 1);
    if (!afterScheme.startsWith(u"//")) {
        parts.prefix = url.first(scheme + 1).toString().toLower();
        return parts;
    }
    parts.prefix = url.first(scheme + 3).toString().toLower();
    QStringView authority = afterScheme.mid(2);
    const auto end = std::find_if(authority.begin(), authority.end(),
                                  [](QChar c) { return c == u'/' || c == u'?' || c == u'#' || c == u'\\'; });
    authority = authority.first(end - authority.begin());
    if (const qsizetype at = authority.lastIndexOf(u'@'); at >= 0)
        authority = authority.mid(at + 1);
    parts.hostAndPort = authority.toString().toLower();
    // A port follows the last ':' outside the brackets of an IPv6 address.
    const qsizetype bracket = authority.lastIndexOf(u']');
    const qsizetype colon = authority.lastIndexOf(u':');
    parts.host = (colon > bracket ? authority.first(colon) : authority).toString().toLower();
    return parts;
}

QString reversedHost(QStringView host)
{
    // Reversed by code points, so a character beyond the Basic Multilingual Plane stays whole.
    QList<uint> points = host.toUcs4();
    std::reverse(points.begin(), points.end());
    return QString::fromUcs4(reinterpret_cast<const char32_t *>(points.constData()), points.size()) + u'.';
}

} // namespace vellumite
