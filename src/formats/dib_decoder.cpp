#include "formats/dib_decoder.h"

#include "formats/rle_stream.h"
#include "formats/wmf_record.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

namespace dib {

namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;
constexpr qint64 kCoreHeaderBytes = 12;
constexpr qint64 kInfoHeaderBytes = 40;
constexpr qint64 kAlphaMaskHeaderBytes = 56;
constexpr qint64 kMaxPaddedHeader = 64;

struct Channel
{
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit Channel(std::uint32_t m = 0) : mask(m)
    {
        if (mask == 0)
            return;
        shift = std::countr_zero(mask);
        max = mask >> shift;
    }
    int value(std::uint32_t pixel) const
    {
        if (max == 0)
            return 0;
        const std::uint64_t v = (pixel & mask) >> shift;
        return int(qMin<std::uint64_t>(255, v * 255 / max));
    }
};

using Palette = std::array<QRgb, 256>;

// Plays an RLE8/RLE4 stream into a bottom-up image already filled with
// palette entry 0. Runs are clipped to the bitmap; within a row x only grows
// and rows only go up, so no pixel is visited twice and the work stays in
// proportion to the image and the stream. False when the stream ends without
// its end-of-bitmap mark.
bool playRle(const uchar *p, qint64 n, bool fourBit, const Palette &palette, QImage &image)
{
    const qint64 width = image.width(), height = image.height();
    return rle::walk(
        p, n, fourBit,
        [&](qint64 x, qint64 y, qint64 count, int value, const uchar *literal) {
            if (y < height) {
                auto *line = reinterpret_cast<QRgb *>(image.scanLine(int(height - 1 - y)));
                for (qint64 i = 0, end = qMin(count, width - x); i < end; ++i)
                    line[x + i] = palette[size_t(rle::index(fourBit, int(i), value, literal))];
            }
            return true;
        },
        [](qint64, qint64) { return true; });
}

// `pixelsAt` is where the pixel rows start, counted from the DIB header; a
// bitmap file says so, an embedded DIB has them right after the colour table.
// `fileRules` adds what only bitmap files have: RLE and the alpha mask.
std::optional<Decoded> decodeDib(const uchar *data, qsizetype size, std::optional<qint64> pixelsAt,
                                 bool paletteIndices, bool fileRules)
{
    using wmf::readU16;
    using wmf::readU32;
    if (!data || size < 4)
        return std::nullopt;
    const qint64 headerBytes = readU32(data);
    const HeaderKind kind = headerKind(headerBytes);
    if (kind == HeaderKind::Unknown || headerBytes > size)
        return std::nullopt;
    // The fields up to the masks, zero where a short OS/2 header ends.
    std::array<uchar, kMaxPaddedHeader> header{};
    std::copy_n(data, qMin<qint64>(headerBytes, kMaxPaddedHeader), header.begin());
    qint64 width = 0;
    qint64 height = 0;
    int bpp = 0;
    std::uint32_t compression = kBiRgb;
    qint64 colours = 0;
    int paletteEntryBytes = 4;
    if (headerBytes == kCoreHeaderBytes) {
        if (size < kCoreHeaderBytes)
            return std::nullopt;
        width = readU16(data + 4);
        height = readU16(data + 6);
        bpp = readU16(data + 10);
        paletteEntryBytes = 3;
        if (bpp <= 8)
            colours = qint64(1) << bpp;
    } else {
        width = qint32(readU32(header.data() + 4));
        height = qint32(readU32(header.data() + 8));
        bpp = readU16(header.data() + 14);
        compression = readU32(header.data() + 16);
        if (kind == HeaderKind::Os2 && compression >= kBiBitfields)
            return std::nullopt; // Huffman 1D and RLE24: not decoded
        const qint64 used = readU32(header.data() + 32);
        if (bpp <= 8) {
            if (used > (qint64(1) << bpp))
                return std::nullopt;
            colours = used ? used : qint64(1) << bpp;
        } else if (!pixelsAt) {
            // Optional optimisation palette before the bits; skipped, but it
            // must fit. A file header says where the bits are, so there it
            // need not be present at all.
            colours = used;
        }
    }

    const bool bottomUp = height > 0;
    height = qAbs(height);
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide || width * height > kMaxPixels)
        return std::nullopt;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return std::nullopt;
    const bool rle = fileRules && ((compression == kBiRle8 && bpp == 8) || (compression == kBiRle4 && bpp == 4));
    if (compression != kBiRgb && !rle && !(compression == kBiBitfields && (bpp == 16 || bpp == 32)))
        return std::nullopt;
    if (rle && !bottomUp)
        return std::nullopt; // the format has no top-down RLE
    if (paletteIndices && bpp <= 8)
        return std::nullopt;

    qint64 offset = headerBytes;
    Channel red, green, blue, alpha;
    if (compression == kBiBitfields) {
        // A plain info header is followed by the three masks; later headers
        // hold them, and from 56 bytes on an alpha mask too, which a bitmap
        // file at 32 bpp honours.
        const qint64 masksAt = kInfoHeaderBytes;
        if (headerBytes == kInfoHeaderBytes)
            offset += 12;
        if (masksAt + 12 > size || offset > size)
            return std::nullopt;
        red = Channel(readU32(data + masksAt));
        green = Channel(readU32(data + masksAt + 4));
        blue = Channel(readU32(data + masksAt + 8));
        if (fileRules && bpp == 32 && headerBytes >= kAlphaMaskHeaderBytes)
            alpha = Channel(readU32(data + masksAt + 12));
    } else if (bpp == 16) {
        red = Channel(0x7C00);
        green = Channel(0x03E0);
        blue = Channel(0x001F);
    } else if (bpp == 32) {
        red = Channel(0x00FF0000);
        green = Channel(0x0000FF00);
        blue = Channel(0x000000FF);
    }

    const qint64 entryBytes = paletteIndices ? 2 : paletteEntryBytes;
    const qint64 paletteAt = offset;
    offset += colours * entryBytes;
    if (offset > size)
        return std::nullopt;
    if (pixelsAt) {
        if (*pixelsAt < headerBytes || *pixelsAt > size)
            return std::nullopt;
        offset = *pixelsAt;
    }
    const qint64 stride = ((width * bpp + 31) / 32) * 4;
    if (!rle && stride * height > size - offset)
        return std::nullopt;

    Palette palette;
    palette.fill(qRgb(0, 0, 0));
    if (bpp <= 8) {
        for (qint64 i = 0; i < colours; ++i) {
            const uchar *e = data + paletteAt + i * paletteEntryBytes;
            palette[size_t(i)] = qRgb(e[2], e[1], e[0]);
        }
    }

    QImage image(int(width), int(height), QImage::Format_ARGB32);
    if (image.isNull())
        return std::nullopt;
    const uchar *bits = data + offset;
    bool anyAlpha = false;
    if (rle) {
        image.fill(palette[0]);
        if (!playRle(bits, size - offset, compression == kBiRle4, palette, image))
            return std::nullopt;
        return Decoded{image, true};
    }
    for (qint64 row = 0; row < height; ++row) {
        const uchar *src = bits + row * stride;
        auto *dst = reinterpret_cast<QRgb *>(image.scanLine(int(bottomUp ? height - 1 - row : row)));
        for (qint64 x = 0; x < width; ++x) {
            QRgb c;
            switch (bpp) {
            case 1: c = palette[(src[x >> 3] >> (7 - (x & 7))) & 1]; break;
            case 4: c = palette[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F]; break;
            case 8: c = palette[src[x]]; break;
            case 16: {
                const std::uint32_t px = readU16(src + 2 * x);
                c = qRgb(red.value(px), green.value(px), blue.value(px));
                break;
            }
            case 24: c = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]); break;
            default: {
                // The fourth byte is reserved in BI_RGB DIBs, so 32 bpp is
                // opaque unless an alpha mask says otherwise.
                const std::uint32_t px = readU32(src + 4 * x);
                c = qRgba(red.value(px), green.value(px), blue.value(px), alpha.max ? alpha.value(px) : 255);
                anyAlpha = anyAlpha || qAlpha(c) != 0;
                break;
            }
            }
            dst[x] = c;
        }
    }
    // An alpha mask over bytes left all zero is no alpha at all.
    if (alpha.max && !anyAlpha)
        for (qint64 row = 0; row < height; ++row) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(int(row)));
            for (qint64 x = 0; x < width; ++x)
                line[x] |= 0xFF000000u;
        }
    return Decoded{image, bottomUp};
}

} // namespace

HeaderKind headerKind(qint64 size)
{
    switch (size) {
    case 12: return HeaderKind::Core;
    case 40: case 52: case 56: case 108: case 124: return HeaderKind::Windows;
    default: return size >= 16 && size <= 64 ? HeaderKind::Os2 : HeaderKind::Unknown;
    }
}

std::optional<Decoded> decode(const uchar *data, qsizetype size, bool paletteIndices)
{
    return decodeDib(data, size, std::nullopt, paletteIndices, false);
}

std::optional<Decoded> decodeFile(const uchar *data, qsizetype size)
{
    constexpr qint64 kFileHeaderBytes = 14;
    if (!data || size < kFileHeaderBytes || data[0] != 'B' || data[1] != 'M')
        return std::nullopt;
    const qint64 pixelsAt = qint64(wmf::readU32(data + 10)) - kFileHeaderBytes;
    return decodeDib(data + kFileHeaderBytes, size - kFileHeaderBytes, pixelsAt, false, true);
}

} // namespace dib
