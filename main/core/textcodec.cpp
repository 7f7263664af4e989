#include "main/core/textcodec.h"

#include <QStringDecoder>
#include <QtEndian>
#include <algorithm>
#include <array>

namespace vellumite {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F.
constexpr std::array<char16_t, 32> Windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 0x98
};

bool isAsciiBytes(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char b) { return static_cast<unsigned char>(b) < 0x80; });
}

} // namespace

QString fromWindows1252(QByteArrayView bytes)
{
    QString text = QString::fromLatin1(bytes);
    if (std::none_of(bytes.begin(), bytes.end(),
                     [](char b) { return (static_cast<unsigned char>(b) & 0xE0) == 0x80; }))
        return text;
    for (QChar &c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x80 && u < 0xA0)
            c = QChar(Windows1252High[u - 0x80]);
    }
    return text;
}

QString fromUtf8OrWindows1252(QByteArrayView bytes)
{
    if (isAsciiBytes(bytes))
        return QString::fromLatin1(bytes);
    // A value is text, not a file: a leading U+FEFF is a character of it.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    return decoder.hasError() ? fromWindows1252(bytes) : text;
}

QByteArray toAnsi(const QString &text)
{
    return text.toUtf8();
}

QString fromAnsi(QByteArrayView bytes)
{
    return QString::fromUtf8(bytes);
}

QString fromUtf16LE(QByteArrayView bytes)
{
    QString text(bytes.size() / 2, Qt::Uninitialized);
    char16_t *units = reinterpret_cast<char16_t *>(text.data());
    for (qsizetype i = 0; i < text.size(); ++i)
        units[i] = qFromLittleEndian<char16_t>(bytes.data() + 2 * i);
    return text;
}

bool isPureAscii(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

} // namespace vellumite
