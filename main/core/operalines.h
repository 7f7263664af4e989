#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace vellumite {

// The line-level rules of an Opera hotlist entry ("block"), shared by everything that rewrites the
// stored entry of a node imported from a hotlist.

// The indentation of the key lines of an entry this program writes afresh.
inline constexpr QStringView HotlistKeyIndent = u"        ";

// The keys this program reads and writes; compared case-sensitively with the start of a trimmed line.
inline constexpr QStringView HotlistNameKey = u"NAME=";
inline constexpr QStringView HotlistUrlKey = u"URL=";
inline constexpr QStringView HotlistDescriptionKey = u"DESCRIPTION=";

namespace operalines_detail {
inline char16_t unitOf(QChar c)
{
    return c.unicode();
}
inline char16_t unitOf(char c)
{
    return static_cast<unsigned char>(c);
}

template<typename View, typename F> void forEachLine(View text, F &&f)
{
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = unitOf(text[i]);
        if (c != u'\r' && c != u'\n')
            continue;
        f(text.sliced(start, i - start));
        if (c == u'\r' && i + 1 < size && unitOf(text[i + 1]) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        f(text.sliced(start));
}
} // namespace operalines_detail

// Calls f(line) for each line of `text`, split at CR LF, CR or LF; a line break at the very end makes
// no extra empty line. The views point into `text`.
template<typename F> void forEachHotlistLine(QStringView text, F &&f)
{
    operalines_detail::forEachLine(text, f);
}
// The same over 8-bit text, before it is decoded.
template<typename F> void forEachHotlistLine(QByteArrayView text, F &&f)
{
    operalines_detail::forEachLine(text, f);
}

// The lines of forEachHotlistLine as strings.
QStringList splitHotlistLines(QStringView block);

// Every line followed by CR LF, the last one included.
QString joinHotlistLines(const QStringList &lines);

// The line without the spaces and control characters at both ends, as the hotlist reader compares it.
QStringView trimmedHotlistLine(QStringView line);

// A value as it may stand on one key line. The hotlist keeps a line break inside a value as two
// U+0002 characters; writing it raw would end the key line and turn the rest of the value into lines
// of their own (a comment line "URL=..." would become a key). CR LF, a lone CR and a lone LF each
// become one pair.
QString encodeHotlistValue(QStringView value);
// The reverse: each U+0002 pair becomes CR LF, the line break of the records.
QString decodeHotlistValue(QStringView value);

// Replaces every line whose trimmed text begins with `key` (case-sensitive, "NAME=" for instance)
// by indent + key + the encoded value. Returns how many lines were replaced.
int rewriteHotlistKeyLines(QStringList &lines, QStringView key, QStringView indent, QStringView value);

} // namespace vellumite
