#pragma once

#include <QByteArrayView>
#include <QtEndian>

namespace vellumite {

// A bounded little-endian cursor over bytes in memory. Every read checks the bytes left first and
// fails without moving when they do not suffice, so a length read from untrusted data is never
// trusted before it has been compared with what is really there.
class ByteReader
{
public:
    explicit ByteReader(QByteArrayView data, qsizetype position = 0)
        : m_data(data)
        , m_pos(position)
    { }

    QByteArrayView data() const { return m_data; }
    qsizetype size() const { return m_data.size(); }
    qsizetype position() const { return m_pos; }
    qsizetype bytesLeft() const { return m_data.size() - m_pos; }
    bool atEnd() const { return m_pos >= m_data.size(); }

    // Moves to `position`, which must lie within the data (its end included).
    bool seek(qsizetype position)
    {
        if (position < 0 || position > m_data.size())
            return false;
        m_pos = position;
        return true;
    }
    bool skip(qint64 count) { return count >= 0 && count <= bytesLeft() && seek(m_pos + count); }

    bool readU8(quint8 &value) { return readLittleEndian(value); }
    bool readI8(qint8 &value) { return readLittleEndian(value); }
    bool readI16(qint16 &value) { return readLittleEndian(value); }
    bool readU16(quint16 &value) { return readLittleEndian(value); }
    bool readI32(qint32 &value) { return readLittleEndian(value); }
    bool readU32(quint32 &value) { return readLittleEndian(value); }

    // A view of the next `count` bytes, valid as long as the data is.
    bool readBytes(qint64 count, QByteArrayView &bytes)
    {
        if (count < 0 || count > bytesLeft())
            return false;
        bytes = m_data.sliced(m_pos, static_cast<qsizetype>(count));
        m_pos += static_cast<qsizetype>(count);
        return true;
    }

private:
    template<typename T> bool readLittleEndian(T &value)
    {
        if (bytesLeft() < static_cast<qsizetype>(sizeof(T)))
            return false;
        value = qFromLittleEndian<T>(m_data.data() + m_pos);
        m_pos += static_cast<qsizetype>(sizeof(T));
        return true;
    }

    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

} // namespace vellumite
