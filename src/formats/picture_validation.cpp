#include "formats/picture_validation.h"

#include "formats/byte_view.h"

#include <QtGlobal>

namespace {

// The most pixels an LZW stream of this many bytes can hold: codes take at
// least codeSize + 1 bits, and each stands for at most one pixel more than
// the one before it (the table's strings grow by one a code), never more
// than the 4096 a full table can hold. Data short of its image's pixels is
// a cut stream, refused before Qt allocates the image.
qint64 maxLzwPixels(qint64 bytes, int codeSize)
{
    constexpr qint64 kLongest = 4096;
    const qint64 codes = bytes * 8 / (codeSize + 1);
    if (codes <= kLongest)
        return codes * (codes + 1) / 2;
    return kLongest * (kLongest + 1) / 2 + (codes - kLongest) * kLongest;
}

} // namespace

bool isWholeGif(const QByteArray &d, int maxSide)
{
    const ByteView v(d);
    const qint64 size = d.size();
    if (size < 13 || !(d.startsWith("GIF87a") || d.startsWith("GIF89a")))
        return false;
    const qint64 screenWidth = v.u16(6), screenHeight = v.u16(8);
    if (screenWidth == 0 || screenHeight == 0 || screenWidth > maxSide || screenHeight > maxSide)
        return false;
    auto tableBytes = [](quint8 flags) { return (flags & 0x80) ? 3 * (qint64(2) << (flags & 7)) : 0; };
    qint64 pos = 13 + tableBytes(v.u8(10));
    // Sub-blocks, each a length byte and that many bytes, up to a zero length.
    qint64 dataBytes = 0;
    auto skipSubBlocks = [&]() {
        dataBytes = 0;
        while (pos < size) {
            const qint64 length = v.u8(pos++);
            if (length == 0)
                return true;
            pos += length;
            dataBytes += length;
        }
        return false;
    };
    bool sawImage = false;
    while (pos < size) {
        const char introducer = d[pos++];
        if (introducer == ';')
            return sawImage;
        if (introducer == '!') { // extension: a label, then sub-blocks
            if (++pos > size || !skipSubBlocks())
                return false;
            continue;
        }
        if (introducer != ',' || pos + 9 > size)
            return false;
        const qint64 left = v.u16(pos), top = v.u16(pos + 2);
        const qint64 width = v.u16(pos + 4), height = v.u16(pos + 6);
        if (width == 0 || height == 0 || left + width > screenWidth || top + height > screenHeight)
            return false;
        pos += 9 + tableBytes(v.u8(pos + 8));
        if (pos >= size)
            return false;
        // The LZW minimum code size: the colour depth in bits, 2 to 8.
        const int codeSize = v.u8(pos++);
        if (codeSize < 2 || codeSize > 8 || !skipSubBlocks() || maxLzwPixels(dataBytes, codeSize) < width * height)
            return false;
        sawImage = true;
    }
    // Old writers end the file right after a whole image, without the trailer.
    return sawImage;
}

bool isWholeMetafile(const QByteArray &d)
{
    const ByteView v(d);
    const qint64 size = d.size();
    qint64 pos = 0;
    if (size >= 4 && v.u32(0) == 0x9AC6CDD7u)
        pos = 22; // placeable header
    if (pos + 18 > size || v.u16(pos + 2) != 9)
        return false;
    pos += 18;
    while (pos + 6 <= size) {
        const qint64 words = v.u32(pos);
        const quint32 function = v.u16(pos + 4);
        if (words < 3 || pos + words * 2 > size)
            return false;
        if (function == 0)
            return true; // the end record
        pos += words * 2;
    }
    return false;
}
