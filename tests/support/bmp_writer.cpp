#include "support/bmp_writer.h"

#include "support/dib_pixels.h"
#include "support/le_bytes.h"

#include <vector>

namespace {

constexpr int kMaxRun = 255;

std::vector<int> rowIndexes(const QImage &image, int y, int bitCount)
{
    std::vector<int> row(size_t(image.width()));
    for (int x = 0; x < image.width(); ++x)
        row[size_t(x)] = image.pixelIndex(x, y) & ((1 << bitCount) - 1);
    return row;
}

// Length of the run of equal values starting at `at`, capped at kMaxRun.
int runLength(const std::vector<int> &row, size_t at)
{
    size_t end = at + 1;
    while (end < row.size() && row[end] == row[at] && end - at < size_t(kMaxRun))
        ++end;
    return int(end - at);
}

// Shared RLE layout: encoded runs for repeats of three or more, absolute
// mode for mixed stretches of three or more (shorter ones go out as runs,
// because counts 0-2 are escape codes), end-of-line after each row.
QByteArray encodeRle(const QImage &image, int bitCount)
{
    QByteArray out;
    for (int y = image.height() - 1; y >= 0; --y) {
        const std::vector<int> row = rowIndexes(image, y, bitCount);
        size_t x = 0;
        while (x < row.size()) {
            const int run = runLength(row, x);
            if (run >= 3) {
                out.append(char(run));
                out.append(char(bitCount == 8 ? row[x] : (row[x] << 4) | row[x]));
                x += size_t(run);
                continue;
            }
            // Gather a literal stretch up to the next run of three.
            size_t end = x;
            while (end < row.size() && end - x < size_t(kMaxRun) && runLength(row, end) < 3)
                ++end;
            const int literal = int(end - x);
            if (literal < 3) {
                for (size_t i = x; i < end; ++i) {
                    out.append(char(1));
                    out.append(char(bitCount == 8 ? row[i] : row[i] << 4));
                }
            } else {
                out.append(char(0));
                out.append(char(literal));
                QByteArray data;
                if (bitCount == 8) {
                    for (size_t i = x; i < end; ++i)
                        data.append(char(row[i]));
                } else {
                    for (size_t i = x; i < end; i += 2) {
                        const int hi = row[i];
                        const int lo = i + 1 < end ? row[i + 1] : 0;
                        data.append(char((hi << 4) | lo));
                    }
                }
                if (data.size() % 2)
                    data.append('\0'); // absolute runs end on a 16-bit boundary
                out.append(data);
            }
            x = end;
        }
        out.append('\0');
        out.append('\0'); // end of line
    }
    out.append('\0');
    out.append('\1'); // end of bitmap
    return out;
}

} // namespace

QByteArray encodeRle8(const QImage &indexed) { return encodeRle(indexed, 8); }

QByteArray encodeRle4(const QImage &indexed) { return encodeRle(indexed, 4); }

QByteArray writeBmp(const QImage &image, const BmpWriterOptions &options)
{
    const int bpp = options.bitCount;
    const bool indexed = bpp <= 8;
    const int paletteEntries = indexed ? int(image.colorTable().size()) : 0;
    const quint32 clrUsed = options.clrUsed.value_or(quint32(paletteEntries));

    QByteArray pixels;
    quint32 compression = 0;
    switch (options.compression) {
    case BmpCompression::None:
        if (options.bitfields) {
            const auto &m = *options.bitfields;
            const bool byteChannels = m[0] == 0xFF0000 && m[1] == 0xFF00 && m[2] == 0xFF;
            pixels = packDibPixels(image, bpp, !options.topDown, {m[0], m[1], m[2]}, bpp == 32 && !byteChannels);
            compression = 3;
        } else {
            pixels = packDibPixels(image, bpp, !options.topDown);
        }
        break;
    case BmpCompression::Rle8:
        pixels = encodeRle8(image);
        compression = 1;
        break;
    case BmpCompression::Rle4:
        pixels = encodeRle4(image);
        compression = 2;
        break;
    }
    QByteArray palette = packDibPalette(image.colorTable(), paletteEntries);
    if (options.headerSize == 12) {
        // Core header: entries lose their fourth byte.
        QByteArray triples;
        for (qsizetype i = 0; i + 4 <= palette.size(); i += 4)
            triples.append(palette.mid(i, 3));
        palette = triples;
    }
    QByteArray extra; // header bytes past the first 40, then masks after a 40-byte header
    if (options.bitfields) {
        for (int i = 0; i < (options.headerSize == 40 ? 3 : 4); ++i)
            appendLe32(extra, (*options.bitfields)[size_t(i)]);
    }
    if (options.headerSize != 40) {
        extra = extra.left(qMax(0, int(options.headerSize) - 40));
        extra.append(QByteArray(qMax(0, int(options.headerSize) - 40 - int(extra.size())), '\0'));
    }
    const bool core = options.headerSize == 12;
    const quint32 pixelOffset = 14 + (core ? 12 : 40) + quint32(extra.size() + palette.size());

    QByteArray out;
    out.append("BM");
    appendLe32(out, pixelOffset + quint32(pixels.size()));
    appendLe32(out, 0);
    appendLe32(out, pixelOffset);
    appendLe32(out, options.headerSize);
    if (core) {
        appendLe16(out, quint16(image.width()));
        appendLe16(out, quint16(image.height()));
        appendLe16(out, 1);
        appendLe16(out, quint16(bpp));
        out.append(palette);
        out.append(pixels);
        return out;
    }
    appendLe32(out, quint32(image.width()));
    appendLe32(out, quint32(options.topDown ? -image.height() : image.height()));
    appendLe16(out, 1);
    appendLe16(out, quint16(bpp));
    appendLe32(out, compression);
    appendLe32(out, quint32(pixels.size()));
    appendLe32(out, 2835); // 72 dpi
    appendLe32(out, 2835);
    appendLe32(out, clrUsed);
    appendLe32(out, 0);
    out.append(extra);
    out.append(palette);
    out.append(pixels);
    return out;
}
