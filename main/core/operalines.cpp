#include "main/core/operalines.h"

#include "main/core/linebreaks.h"

namespace vellumite {

namespace {

constexpr QStringView CrLf = u"\r\n";
constexpr QStringView EncodedLineBreak = u"\u0002\u0002";

bool isBlankOrControl(QChar c)
{
    return c.unicode() <= 0x20;
}

} // namespace

QStringList splitHotlistLines(QStringView block)
{
    QStringList lines;
    forEachHotlistLine(block, [&lines](QStringView line) { lines.append(line.toString()); });
    return lines;
}

QString joinHotlistLines(const QStringList &lines)
{
    qsizetype length = 0;
    for (const QString &line : lines)
        length += line.size() + CrLf.size();
    QString text;
    text.reserve(length);
    for (const QString &line : lines) {
        text += line;
        text += CrLf;
    }
    return text;
}

QStringView trimmedHotlistLine(QStringView line)
{
    qsizetype first = 0;
    qsizetype last = line.size();
    while (first < last && isBlankOrControl(line[first]))
        ++first;
    while (last > first && isBlankOrControl(line[last - 1]))
        --last;
    return line.sliced(first, last - first);
}

QString encodeHotlistValue(QStringView value)
{
    return replaceLineBreaks(value, EncodedLineBreak);
}

QString decodeHotlistValue(QStringView value)
{
    QString decoded = value.toString();
    decoded.replace(EncodedLineBreak.toString(), CrLf.toString());
    return decoded;
}

int rewriteHotlistKeyLines(QStringList &lines, QStringView key, QStringView indent, QStringView value)
{
    int replaced = 0;
    QString keyLine;
    for (QString &line : lines) {
        if (!trimmedHotlistLine(line).startsWith(key))
            continue;
        if (keyLine.isNull())
            keyLine = indent + key + encodeHotlistValue(value);
        line = keyLine;
        ++replaced;
    }
    return replaced;
}

} // namespace vellumite
