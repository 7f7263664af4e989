#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace vellumite {

// 8-bit text as Windows writes it: the Windows-1252 code page. The five bytes that code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the code points of the same number, so nothing read
// is ever dropped.
QString fromWindows1252(QByteArrayView bytes);

// 8-bit text of a browser store: UTF-8 when the bytes are well-formed UTF-8 (4-byte sequences
// included), else Windows-1252, so that text written by an older program is read, never dropped.
QString fromUtf8OrWindows1252(QByteArrayView bytes);

// The system's 8-bit code page, used for paths, settings values, shell and HTTP; UTF-8 on Linux.
QByteArray toAnsi(const QString &text);
QString fromAnsi(QByteArrayView bytes);

// UTF-16 little-endian code units; an odd last byte is ignored. No byte-order mark is read.
QString fromUtf16LE(QByteArrayView bytes);

// True when every code unit is below U+0080 (an empty string is pure ASCII).
bool isPureAscii(QStringView text);

} // namespace vellumite
