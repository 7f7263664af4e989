#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace vellumite {

// The 48-bit hash a current Firefox keeps beside every address to find it: the hash of the scheme in
// the upper 16 bits, the hash of the first 1500 bytes below. Its index is how a place is found by url.
qint64 placesUrlHash(QByteArrayView url);

// Where an address points, split as the places database stores it: the prefix ("scheme://", or
// "scheme:" for an address without a host), the host with its port, and the host without it. All in
// lower case; empty parts when the address has none.
struct PlacesUrlParts
{
    QString prefix;
    QString hostAndPort;
    QString host;
};
PlacesUrlParts splitPlacesUrl(QStringView url);

// The host reversed with a final "." ("moc.elpmaxe." for example.com), "." without a host: the key by
// which Firefox groups the places of one site.
QString reversedHost(QStringView host);

} // namespace vellumite
