#include "main/core/bookmarkrecord.h"

#include "main/core/colournames.h"
#include "main/core/textcodec.h"

#include <cstring>
#include <limits>

namespace vellumite {

namespace {

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

qsizetype utf8LengthOfUnit(char16_t unit)
{
    return unit < 0x80 ? 1 : (unit < 0x800 ? 2 : 3);
}

// UTF-8 of every code unit on its own; lone and paired surrogates alike take three bytes.
void writeUtf8PerUnit(ByteWriter &out, QStringView text, qsizetype encodedLength)
{
    auto *p = reinterpret_cast<unsigned char *>(out.extend(encodedLength));
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            *p++ = static_cast<unsigned char>(u);
        } else if (u < 0x800) {
            *p++ = static_cast<unsigned char>(0xC0 | (u >> 6));
            *p++ = static_cast<unsigned char>(0x80 | (u & 0x3F));
        } else {
            *p++ = static_cast<unsigned char>(0xE0 | (u >> 12));
            *p++ = static_cast<unsigned char>(0x80 | ((u >> 6) & 0x3F));
            *p++ = static_cast<unsigned char>(0x80 | (u & 0x3F));
        }
    }
}

// Short 8-bit text of bytes known to be ASCII.
void writeShortAscii(ByteWriter &out, const char *text, qsizetype length)
{
    char *p = out.extend(2 + length);
    p[0] = static_cast<char>(ValueTag::ShortString);
    p[1] = static_cast<char>(length);
    std::memcpy(p + 2, text, static_cast<size_t>(length));
}

// The colour as writeStringValue would write its text: always short ASCII, so no string is built.
void writeColourValue(ByteWriter &out, Colour colour)
{
    for (const ColourName &row : colourNames()) {
        if (row.value == colour) {
            writeShortAscii(out, row.name.data(), row.name.size());
            return;
        }
    }
    static constexpr char digits[] = "0123456789ABCDEF";
    char text[9];
    text[0] = '$';
    for (int i = 0; i < 8; ++i)
        text[1 + i] = digits[(colour >> (28 - 4 * i)) & 0xF];
    writeShortAscii(out, text, sizeof text);
}

// The reverse of writeUtf8PerUnit: one code unit per sequence of one, two or three bytes. A sequence
// that is malformed or cut short makes the whole text empty.
QString fromUtf8PerUnit(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    auto *units = reinterpret_cast<char16_t *>(text.data());
    qsizetype count = 0;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    auto isTrail = [](unsigned char b) { return (b & 0xC0) == 0x80; };
    while (p < end) {
        const unsigned char lead = *p++;
        if (lead < 0x80) {
            units[count++] = lead;
        } else if (lead >= 0xC0 && lead < 0xE0) {
            if (end - p < 1 || !isTrail(p[0]))
                return QString();
            units[count++] = static_cast<char16_t>(((lead & 0x1F) << 6) | (p[0] & 0x3F));
            p += 1;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            if (end - p < 2 || !isTrail(p[0]) || !isTrail(p[1]))
                return QString();
            units[count++]
                = static_cast<char16_t>(((lead & 0x0F) << 12) | ((p[0] & 0x3F) << 6) | (p[1] & 0x3F));
            p += 2;
        } else {
            return QString();
        }
    }
    text.truncate(count);
    return text;
}

// The length that precedes a string's payload; negative lengths are not values.
bool readLength(ByteReader &in, quint8 tag, qint64 &length, QString *error)
{
    if (tag == ValueTag::ShortString) {
        quint8 shortLength = 0;
        if (!in.readU8(shortLength))
            return fail(error, StreamReadErrorMessage);
        length = shortLength;
        return true;
    }
    qint32 longLength = 0;
    if (!in.readI32(longLength))
        return fail(error, StreamReadErrorMessage);
    if (longLength < 0)
        return fail(error, InvalidPropertyValueMessage);
    length = longLength;
    return true;
}

} // namespace

QString notValidIntegerMessage(const QString &text)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

void writeStringValue(ByteWriter &out, QStringView text)
{
    const qsizetype units = text.size();
    qsizetype utf8Length = 0;
    for (QChar c : text)
        utf8Length += utf8LengthOfUnit(c.unicode());

    if (utf8Length >= 2 * units) {
        out.writeU8(ValueTag::WideString);
        out.write<qint32>(static_cast<qint32>(units));
        out.writeUtf16LE(text);
    } else if (utf8Length == units) {
        // Pure ASCII. Decided by the characters alone: the 8-bit tags must hold the same bytes whatever
        // code page the reader of the file uses.
        if (units <= 255) {
            out.writeU8(ValueTag::ShortString);
            out.writeU8(static_cast<quint8>(units));
        } else {
            out.writeU8(ValueTag::LongString);
            out.write<qint32>(static_cast<qint32>(units));
        }
        writeUtf8PerUnit(out, text, utf8Length);
    } else {
        out.writeU8(ValueTag::Utf8String);
        out.write<qint32>(static_cast<qint32>(utf8Length));
        writeUtf8PerUnit(out, text, utf8Length);
    }
}

void writeBooleanValue(ByteWriter &out, bool value)
{
    out.writeU8(value ? ValueTag::True : ValueTag::False);
}

void writeIntegerValue(ByteWriter &out, qint32 value)
{
    if (value >= std::numeric_limits<qint8>::min() && value <= std::numeric_limits<qint8>::max()) {
        out.writeU8(ValueTag::Int8);
        out.write<qint8>(static_cast<qint8>(value));
    } else if (value >= std::numeric_limits<qint16>::min() && value <= std::numeric_limits<qint16>::max()) {
        out.writeU8(ValueTag::Int16);
        out.write<qint16>(static_cast<qint16>(value));
    } else {
        out.writeU8(ValueTag::Int32);
        out.write<qint32>(value);
    }
}

bool readStringValue(ByteReader &in, QString &text, QString *error)
{
    quint8 tag = 0;
    if (!in.readU8(tag))
        return fail(error, StreamReadErrorMessage);
    if (tag != ValueTag::ShortString && tag != ValueTag::LongString && tag != ValueTag::WideString
        && tag != ValueTag::Utf8String)
        return fail(error, InvalidPropertyValueMessage);

    qint64 length = 0;
    if (!readLength(in, tag, length, error))
        return false;
    const qint64 byteCount = tag == ValueTag::WideString ? 2 * length : length;
    QByteArrayView payload;
    if (!in.readBytes(byteCount, payload))
        return fail(error, StreamReadErrorMessage);

    switch (tag) {
    case ValueTag::WideString:
        text = fromUtf16LE(payload);
        break;
    case ValueTag::Utf8String:
        text = fromUtf8PerUnit(payload);
        break;
    default:
        // 8-bit text written by the Windows program: its code page.
        text = fromWindows1252(payload);
        break;
    }
    return true;
}

bool readBooleanValue(ByteReader &in, bool &value, QString *error)
{
    quint8 tag = 0;
    if (!in.readU8(tag))
        return fail(error, StreamReadErrorMessage);
    value = tag == ValueTag::True;
    return true;
}

bool readIntegerValue(ByteReader &in, qint32 &value, QString *error)
{
    quint8 tag = 0;
    if (!in.readU8(tag))
        return fail(error, StreamReadErrorMessage);
    bool ok = false;
    switch (tag) {
    case ValueTag::Int8: {
        qint8 v = 0;
        ok = in.readI8(v);
        value = v;
        break;
    }
    case ValueTag::Int16: {
        qint16 v = 0;
        ok = in.readI16(v);
        value = v;
        break;
    }
    case ValueTag::Int32:
        ok = in.readI32(value);
        break;
    default:
        return fail(error, InvalidPropertyValueMessage);
    }
    return ok || fail(error, StreamReadErrorMessage);
}

void VTSaveNode(ByteWriter &out, const TBookmark &record)
{
    writeStringValue(out, record.CategoryName);
    writeStringValue(out, record.Description);
    writeStringValue(out, record.Link);
    writeStringValue(out, record.Comment);
    writeStringValue(out, record.OperaBlock);
    writeBooleanValue(out, record.Editable);
    writeBooleanValue(out, record.IsCategory);
    writeIntegerValue(out, record.ImageIndex);
    writeIntegerValue(out, record.ImportSource);
    writeIntegerValue(out, record.LinkState);
    writeColourValue(out, record.PriorityColor);
}

void VTSaveNode(QByteArray &out, const TBookmark &record)
{
    ByteWriter writer(out);
    VTSaveNode(writer, record);
}

bool VTLoadNode(ByteReader &in, TBookmark &record, QString *error)
{
    for (QString *field :
         { &record.CategoryName, &record.Description, &record.Link, &record.Comment, &record.OperaBlock }) {
        if (!readStringValue(in, *field, error))
            return false;
    }
    if (!readBooleanValue(in, record.Editable, error) || !readBooleanValue(in, record.IsCategory, error))
        return false;
    if (!readIntegerValue(in, record.ImageIndex, error) || !readIntegerValue(in, record.ImportSource, error)
        || !readIntegerValue(in, record.LinkState, error))
        return false;

    QString colourText;
    if (!readStringValue(in, colourText, error))
        return false;
    const std::optional<Colour> colour = colourFromText(colourText);
    if (!colour)
        return fail(error, notValidIntegerMessage(colourText));
    record.PriorityColor = *colour;
    return true;
}

} // namespace vellumite
