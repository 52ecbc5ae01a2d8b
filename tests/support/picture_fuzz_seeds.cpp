#include "support/picture_fuzz_seeds.h"

#include "support/bmp_writer.h"
#include "support/gif_writer.h"
#include "support/ico_writer.h"
#include "support/seed_pictures.h"

#include <QImage>

namespace {

QImage rgbPattern(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 40, y * 40, 200));
    return image;
}

QByteArray bmp(const QImage &image, int bitCount, BmpCompression compression = BmpCompression::None,
               bool topDown = false)
{
    BmpWriterOptions o;
    o.bitCount = bitCount;
    o.compression = compression;
    o.topDown = topDown;
    return writeBmp(image, o);
}

} // namespace

QList<std::pair<QString, QByteArray>> pictureFuzzSeeds()
{
    QList<std::pair<QString, QByteArray>> seeds;
    seeds.append({QStringLiteral("mono.bmp"), bmp(seed::indexed(5, 3, 2), 1)});
    seeds.append(
        {QStringLiteral("16colour-top-down.bmp"), bmp(seed::indexed(6, 4, 16), 4, BmpCompression::None, true)});
    seeds.append({QStringLiteral("256colour.bmp"), bmp(seed::indexed(4, 4, 256), 8)});
    seeds.append({QStringLiteral("rgb.bmp"), bmp(rgbPattern(3, 3), 24)});
    seeds.append({QStringLiteral("rgba.bmp"), bmp(rgbPattern(3, 2), 32)});
    seeds.append({QStringLiteral("runs8.rle"), bmp(seed::indexed(12, 4, 256), 8, BmpCompression::Rle8)});
    seeds.append({QStringLiteral("runs4.rle"), bmp(seed::indexed(12, 4, 16), 4, BmpCompression::Rle4)});
    seeds.append({QStringLiteral("picture.gif"), writeGif(rgbPattern(5, 4))});
    seeds.append({QStringLiteral("no-trailer.gif"), writeGif(rgbPattern(4, 3), false)});
    BmpWriterOptions v5;
    v5.bitCount = 32;
    v5.headerSize = 124;
    v5.bitfields = std::array<quint32, 4>{0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    QImage translucent = rgbPattern(3, 2).convertToFormat(QImage::Format_ARGB32);
    translucent.setPixel(1, 1, qRgba(10, 20, 30, 0));
    translucent.setPixel(2, 0, qRgba(10, 20, 30, 128));
    seeds.append({QStringLiteral("alpha-v5.bmp"), writeBmp(translucent, v5)});
    IcoWriterEntry png;
    png.image = translucent;
    png.png = true;
    seeds.append({QStringLiteral("picture.png"), icoEntryPayload(png)});
    return seeds;
}
