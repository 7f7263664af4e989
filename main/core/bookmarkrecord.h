#pragma once

#include "main/core/bookmark.h"
#include "main/core/bytereader.h"
#include "main/core/bytewriter.h"

#include <QByteArray>
#include <QString>

namespace vellumite {

// A node's record in the bookmark file and on the clipboard: eleven tagged values, the five strings,
// the two Booleans, the three integers and the priority colour (as text), in the field order of
// TBookmark.

// Tag bytes of the values.
namespace ValueTag {
enum : quint8 {
    Int8 = 0x02,
    Int16 = 0x03,
    Int32 = 0x04,
    ShortString = 0x06, // u8 length, 8-bit text
    False = 0x08,
    True = 0x09,
    LongString = 0x0C, // i32 length, 8-bit text
    WideString = 0x12, // i32 count, UTF-16LE code units
    Utf8String = 0x14, // i32 length, UTF-8 bytes
};
} // namespace ValueTag

inline const QString InvalidPropertyValueMessage = QStringLiteral("Invalid property value");
inline const QString StreamReadErrorMessage = QStringLiteral("Stream read error");
// The failure of a colour text that is neither a colour name nor an integer.
QString notValidIntegerMessage(const QString &text);

// Strings take the most compact of the tags: UTF-16 when UTF-8 would not be shorter (the empty string
// too), 8-bit text for a pure-ASCII string, UTF-8 otherwise. UTF-8 is written one code unit at a time,
// so each half of a surrogate pair becomes a three-byte sequence of its own.
void writeStringValue(ByteWriter &out, QStringView text);
void writeBooleanValue(ByteWriter &out, bool value);
// The smallest of the 8-, 16- and 32-bit forms that holds the value.
void writeIntegerValue(ByteWriter &out, qint32 value);

// Readers of one value each. On failure they return false and set *error (when given) to the
// message; the position is then unspecified.
bool readStringValue(ByteReader &in, QString &text, QString *error);
// Tag 0x09 is true, every other byte false; neither has a payload.
bool readBooleanValue(ByteReader &in, bool &value, QString *error);
bool readIntegerValue(ByteReader &in, qint32 &value, QString *error);

// Appends the record's eleven values.
void VTSaveNode(ByteWriter &out, const TBookmark &record);
void VTSaveNode(QByteArray &out, const TBookmark &record);
// Reads the eleven values into `record`, field by field: on failure the fields read before it keep
// their new values. The reader is left just after the last value read.
bool VTLoadNode(ByteReader &in, TBookmark &record, QString *error);

} // namespace vellumite
