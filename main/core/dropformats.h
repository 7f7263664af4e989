#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QMimeData;

namespace vellumite {

// The formats a browser or a file manager offers for a dragged link, in the order they are read.
inline const QString MozUrlMimeType = QStringLiteral("text/x-moz-url"); // UTF-16: link LF title
inline const QString NetscapeUrlMimeType = QStringLiteral("_NETSCAPE_URL"); // link LF title
inline const QString UriListMimeType = QStringLiteral("text/uri-list"); // CR LF lines, # comments
inline const QString PlainTextMimeType = QStringLiteral("text/plain");
inline const QString Utf8PlainTextMimeType = QStringLiteral("text/plain;charset=utf-8");
inline const QString MozUrlDescMimeType = QStringLiteral("text/x-moz-url-desc"); // UTF-16 title
// A Windows file group descriptor, as programs under a Windows layer offer it: the dragged link as an
// Internet shortcut file whose name is the page title.
inline const QString FileGroupDescriptorMimeType
    = QStringLiteral("application/x-qt-windows-mime;value=\"FileGroupDescriptor\"");

// What a drop from another program brought; either may be empty. Neither ever holds a line break.
struct DroppedLink
{
    QString link;
    QString title;

    friend bool operator==(const DroppedLink &, const DroppedLink &) = default;
};

// Readers of one format each. Every read stays inside the data and ends at the first NUL; only the
// first line of multi-line text counts. A byte-order mark is honoured, UTF-16 without one is taken as
// little-endian (what browsers send), 8-bit text is UTF-8.
DroppedLink readMozUrl(QByteArrayView data);
DroppedLink readNetscapeUrl(QByteArrayView data);
// The first line that is not a comment.
QString readUriList(QByteArrayView data);
// The first line that is not blank, trimmed.
QString readPlainText(QByteArrayView data);
QString readMozUrlDesc(QByteArrayView data);
// The first descriptor's file name (at most 260 bytes, up to its NUL) with its ending cut; empty when
// the data holds no descriptor.
QString readFileGroupDescriptorTitle(QByteArrayView data);

// A page title that arrives as a file name ("Example Domain.url"): when the last of ".", "\" and ":" is
// a ".", everything from it on is cut.
QString cutFileNameEnding(const QString &name);

// The link from the first format that gives one, in the order above, and its title: from the same
// format, else from the title formats.
DroppedLink readDroppedLink(const QMimeData &data);

} // namespace vellumite
