#pragma once
// The one little-endian reader of every format: a bounds-checked view over
// part of a file held in memory. The readers call has() before every
// accessor; the accessors themselves do not check, so one range test covers a
// whole structure.

#include <QByteArrayView>
#include <QtEndian>
#include <QtGlobal>

class ByteView
{
public:
    ByteView(const uchar *data, qint64 size)
        : m_data(data)
        , m_size(size)
    {
    }
    explicit ByteView(QByteArrayView bytes)
        : ByteView(reinterpret_cast<const uchar *>(bytes.data()), bytes.size())
    {
    }

    qint64 size() const { return m_size; }
    bool has(qint64 offset, qint64 length) const
    {
        return offset >= 0 && length >= 0 && offset <= m_size && length <= m_size - offset;
    }
    ByteView sub(qint64 offset, qint64 length) const { return ByteView(m_data + offset, length); }
    // What follows offset; nothing when the view ends before it.
    ByteView from(qint64 offset) const { return offset < m_size ? sub(offset, m_size - offset) : sub(m_size, 0); }
    const uchar *at(qint64 offset) const { return m_data + offset; }
    quint8 u8(qint64 offset) const { return m_data[offset]; }
    quint16 u16(qint64 offset) const { return qFromLittleEndian<quint16>(m_data + offset); }
    qint16 i16(qint64 offset) const { return qFromLittleEndian<qint16>(m_data + offset); }
    quint32 u32(qint64 offset) const { return qFromLittleEndian<quint32>(m_data + offset); }
    qint32 i32(qint64 offset) const { return qFromLittleEndian<qint32>(m_data + offset); }
    quint32 u32be(qint64 offset) const { return qFromBigEndian<quint32>(m_data + offset); }

private:
    const uchar *m_data;
    qint64 m_size;
};
