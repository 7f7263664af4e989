// Reads arbitrary bytes as an Internet shortcut file, and checks that a shortcut written for the link
// read (and for the input taken as a link) reads back to that link.
#include "exchange/core/favoritesfolder.h"

#include <cstdio>
#include <cstdlib>

using namespace vellumite;

namespace {

void expectRoundTrip(const QString &link)
{
    // What the writer keeps: line breaks percent-encoded, the text before a double quote.
    QString expected = link.left(link.indexOf(u'"') < 0 ? link.size() : link.indexOf(u'"'));
    expected.replace(u'\r', QStringLiteral("%0D")).replace(u'\n', QStringLiteral("%0A"));
    // The INI reader drops the ASCII blanks around a value and a pair of quotes around it.
    QByteArray bytes = expected.toUtf8().trimmed();
    if (bytes.size() >= 2 && bytes.front() == '\'' && bytes.back() == '\'')
        bytes = bytes.sliced(1, bytes.size() - 2);
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
