#include "support/dib_pixels.h"

#include "support/le_bytes.h"

#include <bit>

namespace {

// A 0..255 channel scaled into the bits of `mask`, rounded to nearest.
quint32 packChannel(int value, quint32 mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const quint64 max = mask >> shift;
    return quint32((quint64(value) * max + 127) / 255) << shift;
}

quint32 packMasked(QRgb c, const DibMasks &masks)
{
    return packChannel(qRed(c), masks[0]) | packChannel(qGreen(c), masks[1]) | packChannel(qBlue(c), masks[2]);
}

} // namespace

QByteArray packDibPixels(const QImage &image, int bitCount, bool bottomUp, const DibMasks &masks, bool useMasks32)
{
    const int width = image.width();
    const int height = image.height();
    const int stride = (width * bitCount + 31) / 32 * 4;
    QByteArray out;
    for (int i = 0; i < height; ++i) {
        const int y = bottomUp ? height - 1 - i : i;
        QByteArray row(stride, '\0');
        for (int x = 0; x < width; ++x) {
            switch (bitCount) {
            case 1:
            case 4:
            case 8: {
                const int perByte = 8 / bitCount;
                const int shift = 8 - bitCount * (x % perByte + 1);
                const int index = image.pixelIndex(x, y) & ((1 << bitCount) - 1);
                row[x / perByte] = char(uchar(row[x / perByte]) | (index << shift));
                break;
            }
            case 16: {
                const quint32 v = packMasked(image.pixel(x, y), masks);
                row[x * 2] = char(v & 0xFF);
                row[x * 2 + 1] = char((v >> 8) & 0xFF);
                break;
            }
            case 24: {
                const QRgb c = image.pixel(x, y);
                row[x * 3] = char(qBlue(c));
                row[x * 3 + 1] = char(qGreen(c));
                row[x * 3 + 2] = char(qRed(c));
                break;
            }
            case 32: {
                const QRgb c = image.pixel(x, y);
                const quint32 v = useMasks32 ? packMasked(c, masks) : quint32(c);
                for (int b = 0; b < 4; ++b)
                    row[x * 4 + b] = char((v >> (8 * b)) & 0xFF);
                break;
            }
            }
        }
        out.append(row);
    }
    return out;
}

QByteArray packDibMask(const std::vector<bool> &transparent, int width, int height)
{
    const int stride = (width + 31) / 32 * 4;
    QByteArray out;
    for (int i = 0; i < height; ++i) {
        const int y = height - 1 - i;
        QByteArray row(stride, '\0');
        for (int x = 0; x < width; ++x) {
            if (transparent[size_t(y) * width + x])
                row[x / 8] = char(uchar(row[x / 8]) | (0x80 >> (x % 8)));
        }
        out.append(row);
    }
    return out;
}

QByteArray packDibPalette(const QList<QRgb> &colours, int entries)
{
    QByteArray out;
    for (int i = 0; i < entries; ++i) {
        const QRgb c = i < colours.size() ? colours[i] : qRgb(0, 0, 0);
        out.append(char(qBlue(c)));
        out.append(char(qGreen(c)));
        out.append(char(qRed(c)));
        out.append('\0');
    }
    return out;
}
