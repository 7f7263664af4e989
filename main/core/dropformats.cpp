#include "main/core/dropformats.h"

#include <QMimeData>
#include <QStringList>
#include <QtEndian>
#include <algorithm>

namespace vellumite {

namespace {

// The part before the first NUL.
QByteArrayView upToNul(QByteArrayView data)
{
    const qsizetype nul = data.indexOf('\0');
    return nul < 0 ? data : data.first(nul);
}

QString decodeUtf16(QByteArrayView data)
{
    bool bigEndian = false;
    if (data.size() >= 2 && uchar(data[0]) == 0xFE && uchar(data[1]) == 0xFF) {
        bigEndian = true;
        data = data.sliced(2);
    } else if (data.size() >= 2 && uchar(data[0]) == 0xFF && uchar(data[1]) == 0xFE) {
        data = data.sliced(2);
    }
    const qsizetype units = data.size() / 2; // a dangling odd byte is no character
    QString text;
    text.reserve(units);
    for (qsizetype i = 0; i < units; ++i) {
        const uchar *p = reinterpret_cast<const uchar *>(data.data()) + 2 * i;
        const char16_t unit = bigEndian ? qFromBigEndian<quint16>(p) : qFromLittleEndian<quint16>(p);
        if (unit == 0)
            break;
        text.append(QChar(unit));
    }
    return text;
}

QString decodeUtf8(QByteArrayView data)
{
    if (data.startsWith("\xEF\xBB\xBF"))
        data = data.sliced(3);
    return QString::fromUtf8(upToNul(data));
}

QStringList linesOf(const QString &text)
{
    QString unified = text;
    unified.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    unified.replace(u'\r', u'\n');
    return unified.split(u'\n');
}

// The first line is the link, the second the title; whatever follows is not ours.
DroppedLink linkAndTitle(const QString &text)
{
    const QStringList lines = linesOf(text);
    return { lines.value(0).trimmed(), lines.value(1).trimmed() };
}

QString firstLine(const QString &text)
{
    return linesOf(text).value(0).trimmed();
}

constexpr qsizetype DescriptorCountSize = 4;
constexpr qsizetype FileNameOffset = DescriptorCountSize + 72;
constexpr qsizetype FileNameSize = 260;

} // namespace

DroppedLink readMozUrl(QByteArrayView data)
{
    return linkAndTitle(decodeUtf16(data));
}

DroppedLink readNetscapeUrl(QByteArrayView data)
{
    return linkAndTitle(decodeUtf8(data));
}

QString readUriList(QByteArrayView data)
{
    for (const QString &line : linesOf(decodeUtf8(data))) {
        const QString uri = line.trimmed();
        if (!uri.isEmpty() && !uri.startsWith(u'#'))
            return uri;
    }
    return {};
}

QString readPlainText(QByteArrayView data)
{
    for (const QString &line : linesOf(decodeUtf8(data))) {
        if (const QString text = line.trimmed(); !text.isEmpty())
            return text;
    }
    return {};
}

QString readMozUrlDesc(QByteArrayView data)
{
    return firstLine(decodeUtf16(data));
}

QString readFileGroupDescriptorTitle(QByteArrayView data)
{
    if (data.size() <= FileNameOffset || qFromLittleEndian<quint32>(data.data()) == 0)
        return {};
    const QByteArrayView name
        = data.sliced(FileNameOffset, std::min(FileNameSize, data.size() - FileNameOffset));
    return firstLine(cutFileNameEnding(QString::fromLocal8Bit(upToNul(name))));
}

QString cutFileNameEnding(const QString &name)
{
    const qsizetype last
        = std::max({ name.lastIndexOf(u'.'), name.lastIndexOf(u'\\'), name.lastIndexOf(u':') });
    if (last >= 0 && name[last] == u'.')
        return name.first(last);
    return name;
}

DroppedLink readDroppedLink(const QMimeData &data)
{
    auto offered = [&data](const QString &format) { return data.hasFormat(format); };
    DroppedLink found;
    if (offered(MozUrlMimeType))
        found = readMozUrl(data.data(MozUrlMimeType));
    if (found.link.isEmpty() && offered(NetscapeUrlMimeType))
        found = readNetscapeUrl(data.data(NetscapeUrlMimeType));
    if (found.link.isEmpty() && offered(UriListMimeType))
        found = { readUriList(data.data(UriListMimeType)), {} };
    for (const QString &format : { Utf8PlainTextMimeType, PlainTextMimeType }) {
        if (found.link.isEmpty() && offered(format))
            found = { readPlainText(data.data(format)), {} };
    }
    if (found.title.isEmpty() && offered(MozUrlDescMimeType))
        found.title = readMozUrlDesc(data.data(MozUrlDescMimeType));
    if (found.title.isEmpty() && offered(FileGroupDescriptorMimeType))
        found.title = readFileGroupDescriptorTitle(data.data(FileGroupDescriptorMimeType));
    return found;
}

} // namespace vellumite
