#include "platform/urltester.h"

#include <QByteArrayView>
#include <algorithm>

namespace vellumite {

namespace {

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isControl(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

// The lower-cased scheme of a link ("mailto" of "mailto:qa@host"), or nothing. In "host:8080/path" the
// colon is followed by a port, so that link has no scheme.
std::optional<QByteArray> schemeOf(const QByteArray &link)
{
    const qsizetype colon = link.indexOf(':');
    if (colon <= 0 || !isAsciiLetter(link.front()))
        return std::nullopt;
    for (qsizetype i = 1; i < colon; ++i) {
        const char c = link.at(i);
        if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != '+' && c != '-' && c != '.')
            return std::nullopt;
    }
    qsizetype end = colon + 1;
    while (end < link.size() && isAsciiDigit(link.at(end)))
        ++end;
    const bool port = end > colon + 1 && (end == link.size() || QByteArrayView("/?#").contains(link.at(end)));
    if (port)
        return std::nullopt;
    return link.left(colon).toLower();
}

// Where the host (with its login and port) of an http or https address ends.
qsizetype authorityEnd(const QByteArray &url)
{
    const qsizetype start = url.indexOf("://") + 3;
    qsizetype end = start;
    while (end < url.size() && !QByteArrayView("/?#").contains(url.at(end)))
        ++end;
    return end;
}

// What a browser percent-encodes before it sends a path, and a query: control characters, blanks and
// bytes beyond ASCII everywhere, and a few signs that are not allowed raw.
bool encodedInPath(unsigned char byte)
{
    return byte <= 0x20 || byte >= 0x7F || QByteArrayView("\"<>`{}^").contains(char(byte));
}
bool encodedInQuery(unsigned char byte)
{
    return byte <= 0x20 || byte >= 0x7F || QByteArrayView("\"<>'").contains(char(byte));
}

void appendEncoded(QByteArray &out, QByteArrayView part, bool (*encoded)(unsigned char))
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    for (const char c : part) {
        const auto byte = static_cast<unsigned char>(c);
        if (encoded(byte)) {
            out.append('%');
            out.append(Hex[byte >> 4]);
            out.append(Hex[byte & 0xF]);
        } else {
            out.append(c);
        }
    }
}

bool hasWebScheme(const QByteArray &url)
{
    const QByteArray lower = url.left(8).toLower();
    return lower.startsWith("http://") || lower.startsWith("https://");
}

} // namespace

std::optional<QByteArray> requestAddress(const QByteArray &link)
{
    QByteArray url = link.trimmed();
    if (const std::optional<QByteArray> scheme = schemeOf(url)) {
        if (*scheme != "http" && *scheme != "https")
            return std::nullopt;
    } else if (!url.toLower().contains("http")) {
        // toLower() lowers A to Z only: the test does not depend on the locale. A link that holds
        // "http" without a scheme is requested as it stands, and so never.
        url.prepend("http://");
    }
    if (!isRequestableUrl(url))
        return std::nullopt;

    const qsizetype hostEnd = authorityEnd(url);
    const QByteArrayView rest = QByteArrayView(url).sliced(hostEnd);
    const qsizetype fragment = rest.indexOf('#');
    const QByteArrayView sent = fragment < 0 ? rest : rest.first(fragment);
    const qsizetype query = sent.indexOf('?');
    QByteArray request = url.left(hostEnd);
    request.reserve(url.size() + 16);
    appendEncoded(request, query < 0 ? sent : sent.first(query), encodedInPath);
    if (query >= 0)
        appendEncoded(request, sent.sliced(query), encodedInQuery);
    return request;
}

bool isRequestableUrl(const QByteArray &url)
{
    return hasWebScheme(url) && std::none_of(url.begin(), url.end(), isControl);
}

bool hasLogin(const QByteArray &url)
{
    const qsizetype start = url.indexOf("://") + 3;
    return start >= 3 && QByteArrayView(url).sliced(start, authorityEnd(url) - start).contains('@');
}

} // namespace vellumite
