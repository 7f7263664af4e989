#pragma once

#include <QByteArray>
#include <QStringView>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace vellumite {

// Appends little-endian values to a QByteArray through a raw pointer, growing the array geometrically
// and trimming it to the bytes written when done. Saving a large tree is mostly many tiny appends, and
// this keeps each of them to a few instructions.
class ByteWriter
{
public:
    explicit ByteWriter(QByteArray &out)
        : m_out(out)
        , m_size(out.size())
    { }
    ~ByteWriter() { m_out.truncate(m_size); }
    ByteWriter(const ByteWriter &) = delete;
    ByteWriter &operator=(const ByteWriter &) = delete;

    qsizetype size() const { return m_size; }

    // Room for `count` more bytes, to be filled by the caller at once.
    char *extend(qsizetype count)
    {
        if (m_size + count > m_out.size())
            m_out.resize(std::max(2 * m_out.size(), m_size + count + 256));
        char *p = m_out.data() + m_size;
        m_size += count;
        return p;
    }

    void writeU8(quint8 value) { *extend(1) = static_cast<char>(value); }
    template<typename T> void write(T value) { qToLittleEndian<T>(value, extend(sizeof(T))); }
    // UTF-16 little-endian code units, no terminator.
    void writeUtf16LE(QStringView text)
    {
        if (text.isEmpty())
            return; // a null view has no data pointer to copy from
        char *p = extend(2 * text.size());
        if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
            std::memcpy(p, text.utf16(), static_cast<size_t>(2 * text.size()));
        } else {
            for (qsizetype i = 0; i < text.size(); ++i)
                qToLittleEndian<char16_t>(text[i].unicode(), p + 2 * i);
        }
    }
    // Overwrites a value written before, at byte offset `position`.
    template<typename T> void writeAt(qsizetype position, T value)
    {
        qToLittleEndian<T>(value, m_out.data() + position);
    }

private:
    QByteArray &m_out;
    qsizetype m_size;
};

} // namespace vellumite
