#include "formats/dib_decoder.h"

#include "formats/rle_stream.h"

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
constexpr qint64 kFileHeaderBytes = 14;
constexpr qint64 kInfoHeaderBytes = 40;
constexpr qint64 kMaskHeaderBytes = 52;
constexpr qint64 kAlphaMaskHeaderBytes = 56;

enum class Source { Metafile, File, Icon };

// One colour channel described by a mask, scaled to 0..255. Icon entries
// have always taken the nearest level (and a wider channel's top eight
// bits); bitmaps and metafiles scale down. Both stay, so that no picture
// changes colour.
class Channel
{
public:
    Channel() = default;
    Channel(std::uint32_t mask, Source source)
        : m_mask(mask)
        , m_nearest(source == Source::Icon)
    {
        if (mask == 0)
            return;
        m_shift = std::countr_zero(mask);
        m_bits = std::bit_width(mask >> m_shift);
        m_max = m_nearest ? (std::uint64_t(1) << m_bits) - 1 : mask >> m_shift;
    }
    bool present() const { return m_mask != 0; }
    int value(std::uint32_t pixel) const
    {
        if (m_mask == 0)
            return 0;
        const std::uint64_t v = (pixel & m_mask) >> m_shift;
        if (!m_nearest)
            return int(qMin<std::uint64_t>(255, v * 255 / m_max));
        if (m_bits >= 8)
            return int(v >> (m_bits - 8));
        return int((v * 255 + m_max / 2) / m_max);
    }

private:
    std::uint32_t m_mask = 0;
    bool m_nearest = false;
    int m_shift = 0;
    int m_bits = 0;
    std::uint64_t m_max = 0;
};

using Palette = std::array<QRgb, 256>;

struct Header
{
    qint64 bytes = 0;
    HeaderKind kind = HeaderKind::Unknown;
    qint64 width = 0;
    qint64 height = 0;
    int bitCount = 0;
    std::uint32_t compression = kBiRgb;
    qint64 coloursUsed = 0;
};

// Icons hold an info header of 40 bytes or more and read it as the Windows
// one whatever its size; elsewhere the size says which header it is.
std::optional<Header> readHeader(ByteView v, Source source)
{
    if (!v.has(0, 4))
        return std::nullopt;
    Header h;
    h.bytes = v.u32(0);
    if (source == Source::Icon)
        h.kind = h.bytes >= kInfoHeaderBytes ? HeaderKind::Windows : HeaderKind::Unknown;
    else
        h.kind = headerKind(h.bytes);
    if (h.kind == HeaderKind::Unknown || !v.has(0, h.bytes))
        return std::nullopt;
    if (h.kind == HeaderKind::Core) {
        h.width = v.u16(4);
        h.height = v.u16(6); // unsigned: core bitmaps are always bottom-up
        h.bitCount = v.u16(10);
        return h;
    }
    const InfoFields f = infoFields(v.sub(0, h.bytes));
    h.width = f.width;
    h.height = f.height;
    h.bitCount = quint16(f.bitCount);
    h.compression = std::uint32_t(f.compression);
    h.coloursUsed = f.coloursUsed;
    if (h.kind == HeaderKind::Os2 && h.compression >= kBiBitfields)
        return std::nullopt; // Huffman 1D and RLE24: not decoded
    return h;
}

// Plays an RLE8/RLE4 stream into a bottom-up image already filled with
// palette entry 0. Within a row x only grows and rows only go up, so no pixel
// is visited twice and the work stays in proportion to the image and the
// stream. False when a run or a delta leaves the bitmap or the stream ends
// without its end-of-bitmap mark.
bool playRle(ByteView stream, bool fourBit, const Palette &palette, QImage &image)
{
    const qint64 width = image.width(), height = image.height();
    return rle::walk(
        stream.at(0), stream.size(), fourBit,
        [&](qint64 x, qint64 y, qint64 count, int value, const uchar *literal) {
            if (x + count > width || y >= height)
                return false;
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(int(height - 1 - y)));
            for (qint64 i = 0; i < count; ++i)
                line[x + i] = palette[size_t(rle::index(fourBit, int(i), value, literal))];
            return true;
        },
        [&](qint64 x, qint64 y) { return x <= width && y <= height; });
}

// Whether an RLE8/RLE4 stream stays inside a width x height bitmap and
// reaches its end-of-bitmap mark: checked before the bitmap is allocated, so
// a broken stream behind a large declared size costs no more than its bytes.
bool rleFits(ByteView stream, bool fourBit, qint64 width, qint64 height)
{
    return rle::walk(
        stream.at(0), stream.size(), fourBit,
        [&](qint64 x, qint64 y, qint64 count, int, const uchar *) { return x + count <= width && y < height; },
        [&](qint64 x, qint64 y) { return x <= width && y <= height; });
}

// Where an icon's AND mask marks a pixel it is transparent (keeping its XOR
// colour); without a mask every pixel is opaque.
void applyMask(QImage &image, const uchar *mask, qint64 maskStride)
{
    const int width = image.width(), height = image.height();
    for (int row = 0; row < height; ++row) {
        const uchar *bits = mask ? mask + row * maskStride : nullptr;
        auto *dst = reinterpret_cast<QRgb *>(image.scanLine(height - 1 - row));
        for (int x = 0; x < width; ++x) {
            const bool transparent = bits && (bits[x / 8] & (0x80 >> (x % 8)));
            dst[x] = (dst[x] & 0x00FFFFFF) | (transparent ? 0u : 0xFF000000u);
        }
    }
}

struct Rules
{
    Source source = Source::Metafile;
    qint64 maxSide = kMaxSide;
    qint64 maxPixels = kMaxPixels;
    // Where the pixel rows start, counted from the DIB header: a bitmap file
    // says so; elsewhere they follow the colour table.
    std::optional<qint64> pixelsAt;
    bool paletteIndices = false;
};

std::optional<Decoded> decodeDib(ByteView v, const Rules &rules)
{
    const Source source = rules.source;
    const bool icon = source == Source::Icon;
    const bool file = source == Source::File;
    const std::optional<Header> header = readHeader(v, source);
    if (!header)
        return std::nullopt;
    const Header &h = *header;
    const int bpp = h.bitCount;
    const std::uint32_t compression = h.compression;
    const qint64 width = h.width;
    qint64 height = qAbs(h.height);
    bool bottomUp = h.height > 0;
    if (icon) {
        // The XOR image and the AND mask stacked together: an even height,
        // never top-down.
        if (!bottomUp || height % 2 != 0)
            return std::nullopt;
        height /= 2;
    }
    if (width <= 0 || height <= 0 || width > rules.maxSide || height > rules.maxSide || width > kMaxSide
        || height > kMaxSide || width * height > rules.maxPixels || width * height > kMaxPixels)
        return std::nullopt;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return std::nullopt;
    const bool rle = file && ((compression == kBiRle8 && bpp == 8) || (compression == kBiRle4 && bpp == 4));
    if (compression != kBiRgb && !rle && !(compression == kBiBitfields && (bpp == 16 || bpp == 32)))
        return std::nullopt;
    if (rle && !bottomUp)
        return std::nullopt; // the format has no top-down RLE
    if (rules.paletteIndices && bpp <= 8)
        return std::nullopt;

    qint64 colours = 0;
    if (bpp <= 8) {
        const qint64 full = qint64(1) << bpp;
        if (h.coloursUsed > full && !icon)
            return std::nullopt;
        colours = h.coloursUsed == 0 || h.coloursUsed > full ? full : h.coloursUsed;
    } else if (file) {
        // A file header says where the bits are, so the optional palette for
        // palette devices need not be there at all.
        if (h.coloursUsed > 256)
            return std::nullopt;
    } else {
        // Optional palette before the bits: skipped, but it must fit.
        colours = h.coloursUsed;
    }

    qint64 offset = h.bytes;
    Channel red, green, blue, alpha;
    if (compression == kBiBitfields) {
        // A plain info header is followed by the three masks; later headers
        // hold them, and from 56 bytes on an alpha mask too, which a bitmap
        // file or an icon at 32 bpp honours.
        if (h.bytes == kInfoHeaderBytes)
            offset += 12;
        else if (h.bytes < kMaskHeaderBytes)
            return std::nullopt;
        if (!v.has(0, offset))
            return std::nullopt;
        red = Channel(v.u32(kInfoHeaderBytes), source);
        green = Channel(v.u32(kInfoHeaderBytes + 4), source);
        blue = Channel(v.u32(kInfoHeaderBytes + 8), source);
        if (source != Source::Metafile && bpp == 32 && h.bytes >= kAlphaMaskHeaderBytes)
            alpha = Channel(v.u32(kMaskHeaderBytes), source);
    } else if (bpp == 16) {
        red = Channel(0x7C00, source);
        green = Channel(0x03E0, source);
        blue = Channel(0x001F, source);
    } else if (bpp == 32) {
        red = Channel(0x00FF0000, source);
        green = Channel(0x0000FF00, source);
        blue = Channel(0x000000FF, source);
        // Reserved in a bitmap; an icon's alpha.
        if (icon)
            alpha = Channel(0xFF000000, source);
    }

    const qint64 paletteEntryBytes = h.kind == HeaderKind::Core ? 3 : 4;
    const qint64 entryBytes = rules.paletteIndices ? 2 : paletteEntryBytes;
    const qint64 paletteAt = offset;
    offset += colours * entryBytes;
    if (offset > v.size())
        return std::nullopt;
    if (rules.pixelsAt) {
        if (*rules.pixelsAt < h.bytes || *rules.pixelsAt > v.size())
            return std::nullopt;
        offset = *rules.pixelsAt;
    }
    const qint64 stride = ((width * bpp + 31) / 32) * 4;
    if (!rle && stride * height > v.size() - offset)
        return std::nullopt;
    // An icon's AND mask follows its XOR image. A 32 bpp entry can stand
    // without it (its alpha says it all), and some writers drop it.
    const qint64 maskAt = offset + stride * height;
    const qint64 maskStride = ((width + 31) / 32) * 4;
    const bool hasMask = icon && v.has(maskAt, maskStride * height);
    if (icon && !hasMask && bpp != 32)
        return std::nullopt;

    Palette palette;
    palette.fill(qRgb(0, 0, 0));
    if (bpp <= 8) {
        for (qint64 i = 0; i < colours; ++i) {
            const uchar *e = v.at(paletteAt + i * paletteEntryBytes);
            palette[size_t(i)] = qRgb(e[2], e[1], e[0]);
        }
        // An index past a short table: black in a bitmap, the first colour
        // in an icon.
        if (icon)
            std::fill(palette.begin() + colours, palette.end(), palette[0]);
    }

    if (rle && !rleFits(v.from(offset), compression == kBiRle4, width, height))
        return std::nullopt;
    QImage image(int(width), int(height), QImage::Format_ARGB32);
    if (image.isNull())
        return std::nullopt;
    if (rle) {
        image.fill(palette[0]);
        if (!playRle(v.from(offset), compression == kBiRle4, palette, image))
            return std::nullopt;
        return Decoded{image, true, bpp};
    }
    // Without a mask of its own, a bitmap's fourth byte is reserved (opaque)
    // and an icon's is zero until proven otherwise.
    const int noAlpha = icon ? 0 : 255;
    bool anyAlpha = false;
    for (qint64 row = 0; row < height; ++row) {
        const ByteView src = v.sub(offset + row * stride, stride);
        auto *dst = reinterpret_cast<QRgb *>(image.scanLine(int(bottomUp ? height - 1 - row : row)));
        for (qint64 x = 0; x < width; ++x) {
            QRgb c;
            switch (bpp) {
            case 1: c = palette[(src.u8(x >> 3) >> (7 - (x & 7))) & 1]; break;
            case 4: c = palette[(src.u8(x >> 1) >> ((x & 1) ? 0 : 4)) & 0x0F]; break;
            case 8: c = palette[src.u8(x)]; break;
            case 16: {
                const std::uint32_t px = src.u16(2 * x);
                c = qRgb(red.value(px), green.value(px), blue.value(px));
                break;
            }
            case 24: c = qRgb(src.u8(3 * x + 2), src.u8(3 * x + 1), src.u8(3 * x)); break;
            default: {
                const std::uint32_t px = src.u32(4 * x);
                c = qRgba(red.value(px), green.value(px), blue.value(px), alpha.present() ? alpha.value(px) : noAlpha);
                anyAlpha = anyAlpha || qAlpha(c) != 0;
                break;
            }
            }
            dst[x] = c;
        }
    }
    if (icon) {
        // A 32 bpp entry with any alpha is drawn by its alpha alone, as the
        // platform does; one whose alpha is all zero predates alpha icons.
        if (!(bpp == 32 && anyAlpha))
            applyMask(image, hasMask ? v.at(maskAt) : nullptr, maskStride);
    } else if (alpha.present() && !anyAlpha) {
        // An alpha mask over bytes left all zero is no alpha at all.
        applyMask(image, nullptr, 0);
    }
    return Decoded{image, bottomUp, bpp};
}

} // namespace

HeaderKind headerKind(qint64 size)
{
    switch (size) {
    case 12: return HeaderKind::Core;
    case 40:
    case 52:
    case 56:
    case 108:
    case 124: return HeaderKind::Windows;
    default: return size >= 16 && size <= 64 ? HeaderKind::Os2 : HeaderKind::Unknown;
    }
}

InfoFields infoFields(ByteView header)
{
    std::array<uchar, kInfoHeaderBytes> padded{};
    std::copy_n(header.at(0), qMin<qint64>(header.size(), kInfoHeaderBytes), padded.begin());
    const ByteView f(padded.data(), kInfoHeaderBytes);
    return InfoFields{f.i32(4), f.i32(8), f.i16(12), f.i16(14), f.i32(16), f.i32(20), f.u32(32)};
}

std::optional<Decoded> decode(ByteView dib, bool paletteIndices)
{
    Rules rules;
    rules.paletteIndices = paletteIndices;
    return decodeDib(dib, rules);
}

std::optional<Decoded> decodeFile(ByteView file, int maxSide)
{
    if (!file.has(0, kFileHeaderBytes) || file.u8(0) != 'B' || file.u8(1) != 'M')
        return std::nullopt;
    Rules rules;
    rules.source = Source::File;
    rules.maxSide = maxSide;
    rules.pixelsAt = qint64(file.u32(10)) - kFileHeaderBytes;
    return decodeDib(file.from(kFileHeaderBytes), rules);
}

std::optional<Decoded> decodeIcon(ByteView payload, int maxSide, qint64 maxPixels)
{
    Rules rules;
    rules.source = Source::Icon;
    rules.maxSide = maxSide;
    rules.maxPixels = maxPixels;
    return decodeDib(payload, rules);
}

} // namespace dib
