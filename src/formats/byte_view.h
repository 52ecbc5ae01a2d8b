#pragma once
// A bounds-checked little-endian view over part of a file held in memory.
// The readers call has() before every accessor; the accessors themselves do
// not check, so one range test covers a whole structure.

#include <QtEndian>
#include <QtGlobal>

class ByteView
{
public:
    ByteView(const uchar *data, qint64 size) : m_data(data), m_size(size) { }

    qint64 size() const { return m_size; }
    bool has(qint64 offset, qint64 length) const
    {
        return offset >= 0 && length >= 0 && offset <= m_size && length <= m_size - offset;
    }
    ByteView sub(qint64 offset, qint64 length) const { return ByteView(m_data + offset, length); }
    const uchar *at(qint64 offset) const { return m_data + offset; }
    quint8 u8(qint64 offset) const { return m_data[offset]; }
    quint16 u16(qint64 offset) const { return qFromLittleEndian<quint16>(m_data + offset); }
    quint32 u32(qint64 offset) const { return qFromLittleEndian<quint32>(m_data + offset); }
    qint32 i32(qint64 offset) const { return qFromLittleEndian<qint32>(m_data + offset); }
    quint32 u32be(qint64 offset) const { return qFromBigEndian<quint32>(m_data + offset); }

private:
    const uchar *m_data;
    qint64 m_size;
};
