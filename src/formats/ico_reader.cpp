#include "formats/ico_reader.h"

#include "formats/byte_view.h"
#include "formats/dib_decoder.h"

#include <cstring>

namespace {

constexpr int kMaxSide = kMaxIconSide;
constexpr qint64 kMaxTotalPixels = kMaxIconFilePixels;

constexpr int kDirHeaderSize = 6;
constexpr int kDirEntrySize = 16;

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
    default: return 0;
    }
}

std::optional<IcoEntry> decodePng(ByteView v, PixelBudget &budget)
{
    const std::optional<PngHeader> header = readPngHeader(v);
    if (!header)
        return std::nullopt;
    const quint32 width = header->width;
    const quint32 height = header->height;
    if (width == 0 || height == 0 || width > quint32(kMaxSide) || height > quint32(kMaxSide))
        return std::nullopt;
    const int bitCount = pngBitCount(header->colourType, header->depth);
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
    std::optional<dib::Decoded> decoded = dib::decodeIcon(v, kMaxSide, budget.left);
    if (!decoded || !budget.take(decoded->image.width(), decoded->image.height()))
        return std::nullopt;
    IcoEntry entry;
    entry.width = decoded->image.width();
    entry.height = decoded->image.height();
    entry.bitCount = decoded->bitCount;
    entry.image = std::move(decoded->image);
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
    return decodePayload(ByteView(payload), budget);
}

std::optional<std::vector<IcoEntry>> readIcoEntries(const QByteArray &data)
{
    const ByteView file(data);
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

std::optional<PngHeader> readPngHeader(ByteView png)
{
    // Signature, then the IHDR chunk: length 13, "IHDR", width, height,
    // depth, colour type, ...
    if (!png.has(8, 4 + 4 + 13) || png.u32be(8) != 13 || std::memcmp(png.at(12), "IHDR", 4) != 0)
        return std::nullopt;
    return PngHeader{png.u32be(16), png.u32be(20), png.u8(24), png.u8(25)};
}
