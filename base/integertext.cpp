#include "base/integertext.h"

namespace vellumite {

std::optional<qint32> parseInteger(QStringView text, HexPrefix prefixes)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    bool hex = false;
    if (prefixes == HexPrefix::AlsoZeroX && i + 1 < text.size() && text[i] == u'0'
        && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        hex = true;
        i += 2;
    } else if (i < text.size() && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
        hex = true;
        ++i;
    }
    if (i == text.size())
        return std::nullopt;

    const quint64 limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    quint64 value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (hex && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (hex && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0)
            return std::nullopt;
        value = value * (hex ? 16 : 10) + static_cast<quint64>(digit);
        if (value > limit)
            return std::nullopt;
    }
    const auto pattern = static_cast<quint32>(value);
    return static_cast<qint32>(negative ? 0u - pattern : pattern);
}

} // namespace vellumite
