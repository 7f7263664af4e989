// Reads arbitrary bytes as an Internet shortcut file, and checks that a shortcut written for the link
// read (and for the input taken as a link) reads back to that link.
#include "exchange/core/favoritesfolder.h"

#include <cstdio>
#include <cstdlib>

using namespace vellumite;

namespace {

void expectRoundTrip(const QString &link)
{
    // What the writer keeps: line breaks percent-encoded. What the reader takes of it: the INI reader
    // drops the ASCII blanks around the value and a pair of quotes around it, then the link ends before
    // a double quote.
    QString encoded = link;
    encoded.replace(u'\r', QStringLiteral("%0D")).replace(u'\n', QStringLiteral("%0A"));
    QByteArray bytes = encoded.toUtf8().trimmed();
    if (bytes.size() >= 2 && (bytes.front() == '\'' || bytes.front() == '"') && bytes.back() == bytes.front())
        bytes = bytes.sliced(1, bytes.size() - 2);
    if (const qsizetype quote = bytes.indexOf('"'); quote >= 0)
        bytes.truncate(quote);
    bytes = bytes.trimmed();
    const QByteArray read = internetShortcutLink(internetShortcutText(link)).toUtf8().trimmed();
    if (read != bytes) {
        std::fprintf(stderr, "a written shortcut does not read back to its link: %s / %s\n",
                     read.toHex().constData(), bytes.toHex().constData());
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString link = internetShortcutLink(input);
    expectRoundTrip(link);
    expectRoundTrip(QString::fromUtf8(input));
    (void)favoritesFileName(QString::fromUtf8(input));
    return 0;
}
