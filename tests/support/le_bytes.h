#pragma once
// Little-endian byte helpers for the test file writers, and for tests that
// patch single fields of a file to break it on purpose.

#include <QByteArray>
#include <QtGlobal>

inline void appendLe16(QByteArray &out, quint16 v)
{
    out.append(char(v & 0xFF));
    out.append(char(v >> 8));
}

inline void appendLe32(QByteArray &out, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
}

inline void putLe16(QByteArray &out, qsizetype offset, quint16 v)
{
    out[offset] = char(v & 0xFF);
    out[offset + 1] = char(v >> 8);
}

inline void putLe32(QByteArray &out, qsizetype offset, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        out[offset + i] = char((v >> (8 * i)) & 0xFF);
}

inline quint16 getLe16(const QByteArray &in, qsizetype offset)
{
    return quint16(uchar(in[offset]) | uchar(in[offset + 1]) << 8);
}

inline quint32 getLe32(const QByteArray &in, qsizetype offset)
{
    return quint32(getLe16(in, offset)) | quint32(getLe16(in, offset + 2)) << 16;
}
