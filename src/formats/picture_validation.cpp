#include "formats/picture_validation.h"

#include "formats/dib_decoder.h"
#include "formats/rle_stream.h"

#include <QtGlobal>

namespace {

quint32 le16(const QByteArray &d, qint64 at) { return quint32(quint8(d[at])) | quint32(quint8(d[at + 1])) << 8; }
quint32 le32(const QByteArray &d, qint64 at) { return le16(d, at) | le16(d, at + 2) << 16; }

// Every run stays inside the bitmap and the stream ends properly.
bool rleStaysInside(const QByteArray &d, qint64 pos, qint64 width, qint64 height, bool fourBit)
{
    const auto *p = reinterpret_cast<const uchar *>(d.constData());
    return rle::walk(
        p + pos, d.size() - pos, fourBit,
        [&](qint64 x, qint64 y, qint64 count, int, const uchar *) { return x + count <= width && y < height; },
        [&](qint64 x, qint64 y) { return x <= width && y <= height; });
}

} // namespace

bool isWholeBitmap(const QByteArray &d, int maxSide)
{
    const qint64 size = d.size();
    if (size < 26 || d[0] != 'B' || d[1] != 'M')
        return false;
    const qint64 pixelOffset = le32(d, 10);
    const qint64 headerSize = le32(d, 14);
    const dib::HeaderKind kind = dib::headerKind(headerSize);
    qint64 width = 0, height = 0;
    quint32 bitCount = 0, compression = 0, coloursUsed = 0;
    qint64 entryBytes = 4;
    if (kind == dib::HeaderKind::Core) {
        width = le16(d, 18);
        height = le16(d, 20); // unsigned: core bitmaps are always bottom-up
        bitCount = le16(d, 24);
        entryBytes = 3;
    } else if (kind != dib::HeaderKind::Unknown && 14 + headerSize <= size) {
        // A short OS/2 header leaves out its later fields: they read as zero.
        const QByteArray header = d.mid(14, headerSize).leftJustified(40, '\0', true);
        width = qint32(le32(header, 4));
        height = qint32(le32(header, 8));
        bitCount = le16(header, 14);
        compression = le32(header, 16);
        coloursUsed = le32(header, 32);
        if (kind == dib::HeaderKind::Os2 && compression >= 3)
            return false; // OS/2's Huffman 1D and RLE24
    } else {
        return false;
    }
    if (width <= 0 || height == 0 || width > maxSide || qAbs(height) > maxSide)
        return false;
    switch (bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
    }
    // Compression 0 is plain, 1 and 2 are RLE8/RLE4, 3 bit fields.
    if (compression > 3 || (compression == 1 && bitCount != 8) || (compression == 2 && bitCount != 4) ||
        (compression == 3 && bitCount != 16 && bitCount != 32))
        return false;
    qint64 tableEntries = 0;
    if (bitCount <= 8) {
        const qint64 full = qint64(1) << bitCount;
        if (coloursUsed > full)
            return false;
        tableEntries = coloursUsed ? coloursUsed : full;
    } else if (coloursUsed > 256) {
        return false;
    }
    qint64 tableEnd = 14 + headerSize + tableEntries * entryBytes;
    if (compression == 3 && headerSize == 40)
        tableEnd += 12; // the three masks follow the header
    if (tableEnd > size || pixelOffset < 14 + headerSize || pixelOffset > size)
        return false;
    if (compression == 1 || compression == 2)
        return height > 0 && rleStaysInside(d, pixelOffset, width, height, compression == 2);
    const qint64 rowBytes = ((width * bitCount + 31) / 32) * 4;
    return pixelOffset + rowBytes * qAbs(height) <= size;
}

bool isWholeGif(const QByteArray &d, int maxSide)
{
    const qint64 size = d.size();
    if (size < 13 || !(d.startsWith("GIF87a") || d.startsWith("GIF89a")))
        return false;
    const qint64 screenWidth = le16(d, 6), screenHeight = le16(d, 8);
    if (screenWidth == 0 || screenHeight == 0 || screenWidth > maxSide || screenHeight > maxSide)
        return false;
    auto tableBytes = [](quint8 flags) { return (flags & 0x80) ? 3 * (qint64(2) << (flags & 7)) : 0; };
    qint64 pos = 13 + tableBytes(quint8(d[10]));
    // Sub-blocks, each a length byte and that many bytes, up to a zero length.
    auto skipSubBlocks = [&]() {
        while (pos < size) {
            const qint64 length = quint8(d[pos++]);
            if (length == 0)
                return true;
            pos += length;
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
        const qint64 left = le16(d, pos), top = le16(d, pos + 2);
        const qint64 width = le16(d, pos + 4), height = le16(d, pos + 6);
        if (width == 0 || height == 0 || left + width > screenWidth || top + height > screenHeight)
            return false;
        pos += 9 + tableBytes(quint8(d[pos + 8]));
        if (pos >= size)
            return false;
        // The LZW minimum code size: the colour depth in bits, 2 to 8.
        const int codeSize = quint8(d[pos++]);
        if (codeSize < 2 || codeSize > 8 || !skipSubBlocks())
            return false;
        sawImage = true;
    }
    // Old writers end the file right after a whole image, without the trailer.
    return sawImage;
}

bool isWholeMetafile(const QByteArray &d)
{
    const qint64 size = d.size();
    qint64 pos = 0;
    if (size >= 4 && le32(d, 0) == 0x9AC6CDD7u)
        pos = 22; // placeable header
    if (pos + 18 > size || le16(d, pos + 2) != 9)
        return false;
    pos += 18;
    while (pos + 6 <= size) {
        const qint64 words = le32(d, pos);
        const quint32 function = le16(d, pos + 4);
        if (words < 3 || pos + words * 2 > size)
            return false;
        if (function == 0)
            return true; // the end record
        pos += words * 2;
    }
    return false;
}
