#pragma once
// A view of one metafile record's parameters. Every accessor is bounds-checked
// against the record's own length, so a record too short for what a handler
// reads yields "missing" instead of reading the next record or past the data.

#include <QtGlobal>
#include <cstdint>
#include <optional>

namespace wmf {

inline std::uint16_t readU16(const uchar *p) { return std::uint16_t(p[0] | (p[1] << 8)); }
inline std::uint32_t readU32(const uchar *p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16)
        | (std::uint32_t(p[3]) << 24);
}

class Record
{
public:
    Record(std::uint16_t function, const uchar *params, qsizetype paramWords)
        : m_function(function), m_params(params), m_words(paramWords)
    {
    }

    std::uint16_t function() const { return m_function; }
    qsizetype words() const { return m_words; }
    bool has(qsizetype words) const { return words >= 0 && words <= m_words; }

    // Parameter words by index; callers check has() first for the fixed part.
    qint16 s16(qsizetype i) const { return qint16(readU16(m_params + 2 * i)); }
    std::uint16_t u16(qsizetype i) const { return readU16(m_params + 2 * i); }
    // Two little-endian words forming a 32-bit value (COLORREF, raster op).
    std::uint32_t u32(qsizetype i) const { return readU32(m_params + 2 * i); }

    const uchar *bytesAt(qsizetype word) const { return m_params + 2 * word; }
    qsizetype bytesFrom(qsizetype word) const { return word <= m_words ? 2 * (m_words - word) : 0; }

private:
    std::uint16_t m_function;
    const uchar *m_params;
    qsizetype m_words;
};

} // namespace wmf
