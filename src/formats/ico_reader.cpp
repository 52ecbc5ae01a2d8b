#include "formats/ico_reader.h"

#include "formats/byte_view.h"

#include <QtEndian>
#include <bit>
#include <cstring>

namespace {

// Icons are small; anything larger is a corrupt size field, and rejecting it
// up front keeps a hostile file from making us allocate gigabytes.
constexpr int kMaxSide = 1024;
// Directory entries may all point at the same payload, so the per-entry cap
// alone does not bound memory. Sixteen 1024x1024 images is far beyond any real
// icon file.
constexpr qint64 kMaxTotalPixels = 16LL * kMaxSide * kMaxSide;

constexpr int kDirHeaderSize = 6;
constexpr int kDirEntrySize = 16;
constexpr int kInfoHeaderSize = 40;
constexpr quint32 kBiRgb = 0;
constexpr quint32 kBiBitfields = 3;

// One colour channel described by a BI_BITFIELDS mask, scaled to 0..255.
class Channel
{
public:
    Channel() = default;
    explicit Channel(quint32 mask)
    {
        if (mask == 0)
            return;
        m_shift = std::countr_zero(mask);
        m_mask = mask;
        m_bits = std::bit_width(mask >> m_shift);
    }

    bool present() const { return m_mask != 0; }
    int value(quint32 pixel) const
    {
        if (m_mask == 0)
            return 0;
        const quint64 v = (pixel & m_mask) >> m_shift;
        if (m_bits >= 8)
            return int(v >> (m_bits - 8));
        const quint64 max = (quint64(1) << m_bits) - 1;
        return int((v * 255 + max / 2) / max);
    }

private:
    quint32 m_mask = 0;
    int m_shift = 0;
    int m_bits = 0;
};

struct PixelBudget
{
    qint64 left = kMaxTotalPixels;
    bool take(int width, int height)
    {
        const qint64 pixels = qint64(width) * height;
        if (pixels > left)
            return false;
        left -= pixels;
        return true;
    }
};

qint64 rowStride(int width, int bitCount)
{
    return (qint64(width) * bitCount + 31) / 32 * 4;
}

bool isPng(ByteView v)
{
    static const uchar signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return v.has(0, 8) && std::memcmp(v.at(0), signature, 8) == 0;
}

// PNG bits per pixel from the IHDR colour type and depth; 0 for a pair the
// format does not allow.
int pngBitCount(int colourType, int depth)
{
    switch (colourType) {
    case 0: // grey
        return (depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16) ? depth : 0;
    case 3: // palette
        return (depth == 1 || depth == 2 || depth == 4 || depth == 8) ? depth : 0;
    case 2: // RGB
        return (depth == 8 || depth == 16) ? depth * 3 : 0;
    case 4: // grey + alpha
        return (depth == 8 || depth == 16) ? depth * 2 : 0;
    case 6: // RGBA
        return (depth == 8 || depth == 16) ? depth * 4 : 0;
    default:
        return 0;
    }
}

std::optional<IcoEntry> decodePng(ByteView v, PixelBudget &budget)
{
    // Signature, then the IHDR chunk: length 13, "IHDR", width, height,
    // depth, colour type, ... The size is checked before libpng ever sees
    // the data, so a huge declared image is never allocated.
    if (!v.has(8, 4 + 4 + 13) || v.u32be(8) != 13 || std::memcmp(v.at(12), "IHDR", 4) != 0)
        return std::nullopt;
    const quint32 width = v.u32be(16);
    const quint32 height = v.u32be(20);
    if (width == 0 || height == 0 || width > quint32(kMaxSide) || height > quint32(kMaxSide))
        return std::nullopt;
    const int bitCount = pngBitCount(v.u8(25), v.u8(24));
    if (bitCount == 0 || !budget.take(int(width), int(height)))
        return std::nullopt;

    const QImage decoded = QImage::fromData(QByteArrayView(v.at(0), v.size()), "PNG");
    if (decoded.isNull() || decoded.width() != int(width) || decoded.height() != int(height))
        return std::nullopt;

    IcoEntry entry;
    entry.width = int(width);
    entry.height = int(height);
    entry.bitCount = bitCount;
    entry.png = true;
    entry.image = decoded.convertToFormat(QImage::Format_ARGB32);
    if (entry.image.isNull())
        return std::nullopt;
    return entry;
}

std::optional<IcoEntry> decodeDib(ByteView v, PixelBudget &budget)
{
    if (!v.has(0, kInfoHeaderSize))
        return std::nullopt;
    const quint32 headerSize = v.u32(0);
    // Only BITMAPINFOHEADER and its later extensions; the old 12-byte core
    // header never appears in icons written by anything we care about.
    if (headerSize < quint32(kInfoHeaderSize) || !v.has(0, headerSize))
        return std::nullopt;

    const qint32 width = v.i32(4);
    const qint32 doubleHeight = v.i32(8);
    const int bitCount = v.u16(14);
    const quint32 compression = v.u32(16);
    const quint32 clrUsed = v.u32(32);

    // The height covers the XOR image and the AND mask stacked together, so
    // it must be even; negative (top-down) heights do not occur in icons.
    if (width <= 0 || width > kMaxSide || doubleHeight <= 0 || doubleHeight % 2 != 0)
        return std::nullopt;
    const int height = doubleHeight / 2;
    if (height > kMaxSide)
        return std::nullopt;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24
        && bitCount != 32)
        return std::nullopt;
    const bool bitfields = compression == kBiBitfields;
    if (compression != kBiRgb && !(bitfields && (bitCount == 16 || bitCount == 32)))
        return std::nullopt;

    qint64 pos = headerSize;

    Channel red, green, blue, alpha;
    if (bitfields) {
        // A plain 40-byte header keeps its three masks right after it; the
        // longer headers carry them (and, from 56 bytes on, alpha) inside.
        qint64 maskAt = 40;
        if (headerSize == quint32(kInfoHeaderSize)) {
            if (!v.has(pos, 12))
                return std::nullopt;
            maskAt = pos;
            pos += 12;
        } else if (headerSize < 52) {
            return std::nullopt;
        }
        red = Channel(v.u32(maskAt));
        green = Channel(v.u32(maskAt + 4));
        blue = Channel(v.u32(maskAt + 8));
        if (headerSize >= 56)
            alpha = Channel(v.u32(52));
    } else if (bitCount == 16) {
        red = Channel(0x7C00);
        green = Channel(0x03E0);
        blue = Channel(0x001F);
    }

    std::vector<QRgb> palette;
    if (bitCount <= 8) {
        // A count above 2^bpp can only be a corrupt field (no pixel can index
        // past it), so the table is taken as 2^bpp long.
        const quint32 maxColours = 1u << bitCount;
        const quint32 colours = (clrUsed == 0 || clrUsed > maxColours) ? maxColours : clrUsed;
        if (!v.has(pos, qint64(colours) * 4))
            return std::nullopt;
        palette.reserve(colours);
        for (quint32 i = 0; i < colours; ++i) {
            const qint64 at = pos + qint64(i) * 4;
            palette.push_back(qRgb(v.u8(at + 2), v.u8(at + 1), v.u8(at)));
        }
        pos += qint64(colours) * 4;
    } else {
        // Higher depths may carry an optional colour table for palette
        // devices; we only need to step over it.
        const qint64 tableSize = qint64(clrUsed) * 4;
        if (!v.has(pos, tableSize))
            return std::nullopt;
        pos += tableSize;
    }

    const qint64 xorStride = rowStride(width, bitCount);
    const qint64 xorSize = xorStride * height;
    if (!v.has(pos, xorSize))
        return std::nullopt;
    const qint64 xorAt = pos;
    pos += xorSize;

    const qint64 maskStride = rowStride(width, 1);
    const qint64 maskSize = maskStride * height;
    // A 32-bit entry can stand without its AND mask (its alpha says it all),
    // and some writers drop it; any other depth needs it.
    const bool hasMask = v.has(pos, maskSize);
    if (!hasMask && bitCount != 32)
        return std::nullopt;
    const qint64 maskAt = pos;

    if (!budget.take(width, height))
        return std::nullopt;
    QImage image(width, height, QImage::Format_ARGB32);
    if (image.isNull())
        return std::nullopt;

    bool anyAlpha = false;
    for (int row = 0; row < height; ++row) {
        const uchar *src = v.at(xorAt + row * xorStride);
        auto *dst = reinterpret_cast<QRgb *>(image.scanLine(height - 1 - row));
        for (int x = 0; x < width; ++x) {
            QRgb px = 0;
            switch (bitCount) {
            case 1:
            case 4:
            case 8: {
                const int perByte = 8 / bitCount;
                const int shift = 8 - bitCount * (x % perByte + 1);
                const quint32 index = (src[x / perByte] >> shift) & ((1u << bitCount) - 1);
                // A stray index past a short table shows as its first colour:
                // that keeps an otherwise fine icon readable instead of
                // refusing the whole file for one unused palette slot.
                px = palette[index < palette.size() ? index : 0];
                break;
            }
            case 16: {
                const quint32 raw = qFromLittleEndian<quint16>(src + x * 2);
                px = qRgb(red.value(raw), green.value(raw), blue.value(raw));
                break;
            }
            case 24:
                px = qRgb(src[x * 3 + 2], src[x * 3 + 1], src[x * 3]);
                break;
            case 32: {
                const quint32 raw = qFromLittleEndian<quint32>(src + x * 4);
                if (bitfields) {
                    const int a = alpha.present() ? alpha.value(raw) : 0;
                    px = qRgba(red.value(raw), green.value(raw), blue.value(raw), a);
                } else {
                    px = raw; // BGRA in memory is 0xAARRGGBB read little-endian
                }
                anyAlpha = anyAlpha || qAlpha(px) != 0;
                break;
            }
            }
            dst[x] = px;
        }
    }

    // A 32-bit entry with any alpha is drawn by its alpha alone, as the
    // platform does; one whose alpha is all zero predates alpha icons and
    // relies on the mask like the lower depths.
    const bool useAlpha = bitCount == 32 && anyAlpha;
    if (!useAlpha) {
        for (int row = 0; row < height; ++row) {
            const uchar *mask = hasMask ? v.at(maskAt + row * maskStride) : nullptr;
            auto *dst = reinterpret_cast<QRgb *>(image.scanLine(height - 1 - row));
            for (int x = 0; x < width; ++x) {
                const bool transparent = mask && (mask[x / 8] & (0x80 >> (x % 8)));
                dst[x] = (dst[x] & 0x00FFFFFF) | (transparent ? 0u : 0xFF000000u);
            }
        }
    }

    IcoEntry entry;
    entry.width = width;
    entry.height = height;
    entry.bitCount = bitCount;
    entry.image = std::move(image);
    return entry;
}

std::optional<IcoEntry> decodePayload(ByteView payload, PixelBudget &budget)
{
    return isPng(payload) ? decodePng(payload, budget) : decodeDib(payload, budget);
}

} // namespace

std::optional<IcoEntry> decodeIconImage(QByteArrayView payload)
{
    PixelBudget budget;
    return decodePayload(ByteView(reinterpret_cast<const uchar *>(payload.data()), payload.size()), budget);
}

std::optional<std::vector<IcoEntry>> readIcoEntries(const QByteArray &data)
{
    const ByteView file(reinterpret_cast<const uchar *>(data.constData()), data.size());
    if (!file.has(0, kDirHeaderSize))
        return std::nullopt;
    const quint16 reserved = file.u16(0);
    const quint16 type = file.u16(2); // 1 icon, 2 cursor: laid out alike
    const quint16 count = file.u16(4);
    if (reserved != 0 || (type != 1 && type != 2) || count == 0)
        return std::nullopt;
    const qint64 directoryEnd = kDirHeaderSize + qint64(count) * kDirEntrySize;
    if (!file.has(0, directoryEnd))
        return std::nullopt;

    PixelBudget budget;
    std::vector<IcoEntry> entries;
    entries.reserve(count);
    for (int i = 0; i < count; ++i) {
        const qint64 dir = kDirHeaderSize + qint64(i) * kDirEntrySize;
        const quint32 size = file.u32(dir + 8);
        const quint32 offset = file.u32(dir + 12);
        // Image data overlapping the directory can only be a corrupt offset.
        if (size == 0 || offset < directoryEnd || !file.has(offset, size))
            return std::nullopt;
        std::optional<IcoEntry> entry = decodePayload(file.sub(offset, size), budget);
        if (!entry)
            return std::nullopt;
        entries.push_back(std::move(*entry));
    }
    return entries;
}

int chooseOpenEntry(const std::vector<IcoEntry> &entries)
{
    if (entries.empty())
        return -1;

    int best32 = -1;
    for (int i = 0; i < int(entries.size()); ++i) {
        const IcoEntry &e = entries[i];
        if (e.width == 32 && e.height == 32 && (best32 < 0 || e.bitCount > entries[best32].bitCount))
            best32 = i;
    }
    if (best32 >= 0)
        return best32;

    int bestSmall = -1;
    qint64 bestArea = 0;
    for (int i = 0; i < int(entries.size()); ++i) {
        const IcoEntry &e = entries[i];
        const qint64 area = qint64(e.width) * e.height;
        if (e.width < 32 && e.height < 32 && (bestSmall < 0 || area > bestArea)) {
            bestSmall = i;
            bestArea = area;
        }
    }
    return bestSmall >= 0 ? bestSmall : 0;
}
