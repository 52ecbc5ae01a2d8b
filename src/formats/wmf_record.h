#pragma once
// A view of one metafile record's parameters. Every accessor is bounds-checked
// against the record's own length, so a record too short for what a handler
// reads yields "missing" instead of reading the next record or past the data.

#include "formats/byte_view.h"

#include <QtGlobal>
#include <cstdint>
#include <optional>

namespace wmf {

class Record
{
public:
    Record(std::uint16_t function, const uchar *params, qsizetype paramWords)
        : m_function(function)
        , m_params(params, 2 * paramWords)
        , m_words(paramWords)
    {
    }

    std::uint16_t function() const { return m_function; }
    qsizetype words() const { return m_words; }
    bool has(qsizetype words) const { return words >= 0 && words <= m_words; }

    // Parameter words by index; callers check has() first for the fixed part.
    qint16 s16(qsizetype i) const { return m_params.i16(2 * i); }
    std::uint16_t u16(qsizetype i) const { return m_params.u16(2 * i); }
    // Two little-endian words forming a 32-bit value (COLORREF, raster op).
    std::uint32_t u32(qsizetype i) const { return m_params.u32(2 * i); }

    const uchar *bytesAt(qsizetype word) const { return m_params.at(2 * word); }
    qsizetype bytesFrom(qsizetype word) const { return word <= m_words ? 2 * (m_words - word) : 0; }

private:
    std::uint16_t m_function;
    ByteView m_params;
    qsizetype m_words;
};

} // namespace wmf
