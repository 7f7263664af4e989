#include "exchange/core/placesguid.h"

#include <QRandomGenerator>
#include <array>

namespace vellumite {

QByteArray makePlacesGuid(QRandomGenerator &random)
{
    std::array<quint32, 3> words {};
    random.fillRange(words.data(), static_cast<qsizetype>(words.size()));
    QByteArray bytes(reinterpret_cast<const char *>(words.data()), 9);
    return bytes.toBase64(QByteArray::Base64UrlEncoding);
}

} // namespace vellumite
