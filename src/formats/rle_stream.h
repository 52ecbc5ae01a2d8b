#pragma once
// The RLE8/RLE4 pixel stream of a bitmap file: its codes, runs and deltas,
// walked apart from what is drawn with them.

#include <QtGlobal>

namespace rle {

// Plays the stream from its first byte. For each run of pixels
// `span(x, y, count, value, literal)` is called before x moves on: a repeated
// run has literal == nullptr and its value (one index, or two for RLE4); a
// literal run points at its packed indexes, already known to lie inside the
// data. After a delta moves the position, `jump(x, y)`. y counts rows from the
// bottom. Either callback returns false to stop. True only when the stream
// reaches its end-of-bitmap mark.
template <typename Span, typename Jump> bool walk(const uchar *p, qint64 n, bool fourBit, Span &&span, Jump &&jump)
{
    qint64 x = 0, y = 0, pos = 0;
    while (pos + 2 <= n) {
        const int count = p[pos], value = p[pos + 1];
        pos += 2;
        if (count > 0) {
            if (!span(x, y, qint64(count), value, static_cast<const uchar *>(nullptr)))
                return false;
            x += count;
            continue;
        }
        switch (value) {
        case 0: // end of line
            x = 0;
            ++y;
            break;
        case 1: // end of bitmap
            return true;
        case 2: // move right and up
            if (pos + 2 > n)
                return false;
            x += p[pos];
            y += p[pos + 1];
            pos += 2;
            if (!jump(x, y))
                return false;
            break;
        default: { // literal pixels, padded to a whole word
            qint64 bytes = fourBit ? (value + 1) / 2 : value;
            bytes += bytes & 1;
            if (pos + bytes > n || !span(x, y, qint64(value), 0, p + pos))
                return false;
            x += value;
            pos += bytes;
            break;
        }
        }
    }
    return false; // the data ended before the end-of-bitmap mark
}

// The palette index of pixel i of a run: RLE8 has one per byte, RLE4 two,
// high nibble first.
inline int index(bool fourBit, int i, int value, const uchar *literal)
{
    if (!fourBit)
        return literal ? literal[i] : value;
    const int packed = literal ? literal[i / 2] : value;
    return (i & 1) ? packed & 0x0F : packed >> 4;
}

} // namespace rle
