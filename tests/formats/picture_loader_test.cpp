// Bitmaps and GIFs as Open decodes them, straight through decodePicture.

#include "formats/picture_loader.h"

#include "support/bmp_writer.h"
#include "support/gif_writer.h"
#include "support/ico_writer.h"
#include "support/le_bytes.h"
#include "support/picture_fuzz_seeds.h"
#include "support/resident_memory.h"

#include "support/fuzz_corpus.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <QtTest>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr QRgb kIndexZero = qRgb(10, 200, 30);

QImage indexed(int w, int h, int colours)
{
    QImage image(w, h, QImage::Format_Indexed8);
    QList<QRgb> table;
    table << kIndexZero;
    for (int i = 1; i < colours; ++i)
        table << qRgb((i * 53) & 0xFF, (i * 97) & 0xFF, 255 - i);
    image.setColorTable(table);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, uint((x + 2 * y) % colours));
    return image;
}

// A writer-made file whose pixel data is replaced by the given RLE stream.
QByteArray withStream(const QImage &image, int bitCount, const QByteArray &stream)
{
    BmpWriterOptions o;
    o.bitCount = bitCount;
    o.compression = bitCount == 8 ? BmpCompression::Rle8 : BmpCompression::Rle4;
    QByteArray file = writeBmp(image, o);
    const qsizetype pixels = quint8(file[10]) | quint8(file[11]) << 8;
    file.truncate(pixels);
    file += stream;
    putLe32(file, bmpfield::kFileSize, quint32(file.size()));
    return file;
}

// Leaves freed heap blocks full of a byte pattern, so that an image buffer a
// decoder does not clear shows it.
void dirtyHeap(unsigned char pattern)
{
    std::vector<void *> blocks;
    for (int i = 0; i < 2000; ++i) {
        const size_t size = 64 + size_t(i % 64) * 128;
        void *p = std::malloc(size);
        std::memset(p, pattern, size);
        blocks.push_back(p);
    }
    for (void *p : blocks)
        std::free(p);
}

} // namespace

class PictureLoaderTest : public QObject
{
    Q_OBJECT
private slots:
    void rleSkippedPixelsArePaletteZero_data();
    void rleSkippedPixelsArePaletteZero();
    void bitmapDepths_data();
    void bitmapDepths();
    void bitmapHeaderVariants();
    void rleDamageIsRefused();
    void declaredSizeWaitsForTheData_data();
    void declaredSizeWaitsForTheData();
    void gifTruncationSweep();
    void filesOpenAsTheirBytesSay_data();
    void filesOpenAsTheirBytesSay();
    void fuzzSeedsAreCurrent();
};

void PictureLoaderTest::rleSkippedPixelsArePaletteZero_data()
{
    QTest::addColumn<int>("bitCount");
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QList<QPoint>>("written"); // (x, row from the bottom), in order
    QTest::addColumn<QList<int>>("indexes");

    // Bottom row: four pixels, then an early end of line. Next row: a delta
    // of (5, 1) then three pixels and end of line. Row 3: three literal
    // pixels, then end of bitmap with four rows never written.
    QTest::newRow("rle8") << 8
                          << QByteArray("\x04\x01\x00\x00"
                                        "\x00\x02\x05\x01"
                                        "\x03\x02\x00\x00"
                                        "\x00\x03\x01\x02\x03\x00"
                                        "\x00\x01",
                                        20)
                          << QList<QPoint>{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {5, 2},
                                           {6, 2}, {7, 2}, {0, 3}, {1, 3}, {2, 3}}
                          << QList<int>{1, 1, 1, 1, 2, 2, 2, 1, 2, 3};
    QTest::newRow("rle4") << 4
                          << QByteArray("\x04\x12\x00\x00"
                                        "\x00\x02\x05\x01"
                                        "\x03\x34\x00\x00"
                                        "\x00\x03\x56\x70"
                                        "\x00\x01",
                                        18)
                          << QList<QPoint>{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {5, 2},
                                           {6, 2}, {7, 2}, {0, 3}, {1, 3}, {2, 3}}
                          << QList<int>{1, 2, 1, 2, 3, 4, 3, 5, 6, 7};
}

void PictureLoaderTest::rleSkippedPixelsArePaletteZero()
{
    QFETCH(int, bitCount);
    QFETCH(QByteArray, stream);
    QFETCH(QList<QPoint>, written);
    QFETCH(QList<int>, indexes);
    const QImage source = indexed(16, 8, bitCount == 8 ? 256 : 16);
    const QByteArray file = withStream(source, bitCount, stream);

    QImage expected(16, 8, QImage::Format_ARGB32);
    expected.fill(kIndexZero);
    for (qsizetype i = 0; i < written.size(); ++i)
        expected.setPixel(written[i].x(), 7 - written[i].y(), source.color(indexes[i]));

    for (unsigned char pattern : {0xA5, 0x5A, 0xFF, 0x01}) {
        dirtyHeap(pattern);
        const std::optional<QImage> image = decodePicture(file);
        QVERIFY(image);
        QCOMPARE(*image, expected);
    }
}

void PictureLoaderTest::bitmapDepths_data()
{
    QTest::addColumn<int>("bitCount");
    QTest::addColumn<bool>("topDown");
    for (int bpp : {1, 4, 8, 24, 32}) {
        QTest::addRow("%d bpp", bpp) << bpp << false;
        QTest::addRow("%d bpp top-down", bpp) << bpp << true;
    }
}

void PictureLoaderTest::bitmapDepths()
{
    QFETCH(int, bitCount);
    QFETCH(bool, topDown);
    // Odd width, so that every depth pads its rows.
    QImage source = bitCount <= 8 ? indexed(7, 5, 1 << qMin(bitCount, 4)) : QImage(7, 5, QImage::Format_RGB32);
    if (bitCount > 8)
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                source.setPixel(x, y, qRgb(x * 36, y * 60, 255 - x * y));
    BmpWriterOptions o;
    o.bitCount = bitCount;
    o.topDown = topDown;
    const std::optional<QImage> image = decodePicture(writeBmp(source, o));
    QVERIFY(image);
    QCOMPARE(*image, source.convertToFormat(QImage::Format_ARGB32));
}

void PictureLoaderTest::bitmapHeaderVariants()
{
    QImage source(3, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            source.setPixel(x, y, qRgb(40 * x, 100 * y, 7));
    const QImage expected = source.convertToFormat(QImage::Format_ARGB32);
    BmpWriterOptions o;
    o.bitCount = 32;
    const QByteArray plain = writeBmp(source, o);
    const QByteArray pixels = plain.mid(54);

    // A gap between the headers and the pixels: the file header's offset counts.
    QByteArray gap = plain.left(54) + QByteArray(10, '\x77') + pixels;
    putLe32(gap, bmpfield::kPixelOffset, 64);
    QCOMPARE(decodePicture(gap), std::optional<QImage>(expected));

    // A colour count on a true-colour bitmap names an optional palette that
    // need not be there when the file header places the pixels.
    QByteArray unusedTable = plain;
    putLe32(unusedTable, bmpfield::kClrUsed, 255);
    QCOMPARE(decodePicture(unusedTable), std::optional<QImage>(expected));
}

void PictureLoaderTest::rleDamageIsRefused()
{
    // Every prefix lacks the end-of-bitmap mark; every single-byte change of
    // the stream either still decodes or is refused, and never writes outside.
    BmpWriterOptions o;
    o.bitCount = 4;
    o.compression = BmpCompression::Rle4;
    const QByteArray file = writeBmp(indexed(9, 6, 16), o);
    for (qsizetype cut = 0; cut < file.size(); ++cut)
        QVERIFY2(!decodePicture(file.left(cut)), qPrintable(QString::number(cut)));
    const qsizetype pixels = quint8(file[10]);
    for (qsizetype at = pixels; at < file.size(); ++at)
        for (int value : {0, 1, 2, 0x7F, 0xFF}) {
            QByteArray damaged = file;
            damaged[at] = char(value);
            const std::optional<QImage> image = decodePicture(damaged);
            QVERIFY(!image || image->size() == QSize(9, 6));
        }
}

// A file that declares a large picture its data cannot make is refused
// before the picture is allocated: such files cost their bytes, not the size
// they claim (about 64 MiB each here).
void PictureLoaderTest::declaredSizeWaitsForTheData_data()
{
    QTest::addColumn<QByteArray>("bytes");
    auto large = [](QByteArray file, int width, int height) {
        putLe32(file, bmpfield::kWidth, quint32(width));
        putLe32(file, bmpfield::kHeight, quint32(height));
        return file;
    };
    // Runs then data that ends without the end-of-bitmap mark.
    const QByteArray unended = QByteArray("\x04\x01\x00\x00\x04\x02", 6);
    QTest::newRow("rle8 without its end") << large(withStream(indexed(4, 2, 16), 8, unended), 16384, 1024);
    QTest::newRow("rle4 without its end") << large(withStream(indexed(4, 2, 16), 4, unended), 1024, 16384);
    QTest::newRow("rle8 run past the row")
        << large(withStream(indexed(4, 2, 16), 8, QByteArray("\xFF\x01\xFF\x01\x00\x01", 6)), 300, 16384);
    // A whole GIF's frame made 4096 x 4096: its few dozen bytes of LZW data
    // cannot hold that many pixels.
    QByteArray gif = writeGif(indexed(6, 4, 8));
    for (const int at : {6, 8, 13 + 768 + 5, 13 + 768 + 7})
        putLe16(gif, at, 4096);
    QTest::newRow("gif frame its data cannot fill") << gif;
}

void PictureLoaderTest::declaredSizeWaitsForTheData()
{
    QFETCH(QByteArray, bytes);
    const long grewKiB = peakResidentGrowthKiB([&] { QVERIFY(!decodePicture(bytes)); });
    if (grewKiB < 0)
        QSKIP("peak resident size not readable");
    QVERIFY2(grewKiB < 8 * 1024, qPrintable(QString::number(grewKiB)));
}

void PictureLoaderTest::gifTruncationSweep()
{
    // Only the trailer may be missing (a case of filesOpenAsTheirBytesSay):
    // any shorter prefix cuts into the image.
    const QByteArray gif = writeGif(indexed(6, 4, 8));
    QVERIFY(decodePicture(gif));
    for (qsizetype cut = 0; cut < gif.size() - 1; ++cut)
        QVERIFY2(!decodePicture(gif.left(cut)), qPrintable(QString::number(cut)));
}

// Files as other readers show them, opened through the path Open takes, by
// name: what decides is the bytes. A null picture means refused.
void PictureLoaderTest::filesOpenAsTheirBytesSay_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QImage>("expected");
    QImage rgb(3, 2, QImage::Format_RGB32);
    QImage argb(4, 2, QImage::Format_ARGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            rgb.setPixel(x % 3, y, qRgb(40 * x, 100 * y, 7));
            argb.setPixel(x, y, qRgba(50 * x, 90 * y, 200, (x + 4 * y) * 36)); // alpha 0 at the first
        }
    const QImage opaque = argb.convertToFormat(QImage::Format_RGB32).convertToFormat(QImage::Format_ARGB32);
    const QImage rgbOut = rgb.convertToFormat(QImage::Format_ARGB32);
    const std::array<quint32, 4> withAlpha{0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    auto bmp = [](const QImage &image, int bitCount, quint32 headerSize,
                  std::optional<std::array<quint32, 4>> masks = {}) {
        BmpWriterOptions o;
        o.bitCount = bitCount;
        o.headerSize = headerSize;
        o.bitfields = masks;
        return writeBmp(image, o);
    };
    // Info headers of no known kind are refused; every known kind opens.
    for (quint32 size : {13u, 65u, 99u, 200u})
        QTest::addRow("info header %u", size) << "odd.bmp" << bmp(rgb, 24, size) << QImage();
    for (quint32 size : {16u, 39u, 41u, 52u, 56u, 64u, 108u, 124u})
        QTest::addRow("info header %u", size) << "known.bmp" << bmp(rgb, 24, size) << rgbOut;
    QTest::newRow("OS/2 header with Huffman code 3") << "os2.bmp" << bmp(rgb, 32, 64, withAlpha) << QImage();
    // A declared alpha mask is honoured; without one, or with every alpha byte
    // zero, a bitmap is opaque.
    QTest::newRow("V5 alpha mask") << "alpha.bmp" << bmp(argb, 32, 124, withAlpha) << argb;
    QTest::newRow("V4 alpha mask") << "alpha.bmp" << bmp(argb, 32, 108, withAlpha) << argb;
    QTest::newRow("V5 without alpha mask")
        << "plain.bmp" << bmp(argb, 32, 124, std::array<quint32, 4>{0xFF0000, 0xFF00, 0xFF, 0}) << opaque;
    QByteArray zeroAlpha = bmp(opaque, 32, 124, withAlpha);
    for (qsizetype at = 14 + 124 + 3; at < zeroAlpha.size(); at += 4)
        zeroAlpha[at] = 0;
    QTest::newRow("V5 alpha mask over zero bytes") << "zero.bmp" << zeroAlpha << opaque;
    QTest::newRow("BI_RGB 32 bpp") << "plain.bmp" << bmp(argb, 32, 40) << opaque;
    QTest::newRow("BI_RGB 32 bpp in a V5 header") << "plain.bmp" << bmp(argb, 32, 124) << opaque;
    // A GIF whose image is whole opens without its trailer.
    const QImage gifImage = indexed(6, 4, 8).convertToFormat(QImage::Format_ARGB32);
    QTest::newRow("GIF without trailer") << "old.gif" << writeGif(indexed(6, 4, 8), false) << gifImage;
    // PNG bytes are a picture, whatever the name says.
    IcoWriterEntry png;
    png.image = argb;
    png.png = true;
    for (const char *name : {"favicon.ico", "picture.png", "picture.bmp"})
        QTest::addRow("PNG named %s", name) << name << icoEntryPayload(png) << argb;
    QTest::newRow("PNG cut short") << "favicon.ico" << icoEntryPayload(png).chopped(20) << QImage();
}

void PictureLoaderTest::filesOpenAsTheirBytesSay()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QImage, expected);
    QTemporaryDir dir;
    QFile file(dir.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    const std::optional<QImage> picture = loadPicture(file.fileName());
    QCOMPARE(picture.has_value(), !expected.isNull());
    if (picture)
        QCOMPARE(*picture, expected);
}

void PictureLoaderTest::fuzzSeedsAreCurrent()
{
    // The fuzzer's seeds are made here, so the corpus never holds bytes of
    // unknown origin. TESSAREL_UPDATE_FUZZ_SEEDS=1 rewrites them.
    const QString source = qEnvironmentVariable("TESSAREL_SOURCE_DIR");
    if (source.isEmpty())
        QSKIP("TESSAREL_SOURCE_DIR not set (run through ctest)");
    for (const auto &[name, data] : pictureFuzzSeeds())
        QVERIFY2(decodePicture(data).has_value(), qPrintable(name));
    const QString stale = staleFuzzSeeds(QStringLiteral("picture_loader"), pictureFuzzSeeds());
    QVERIFY2(stale.isEmpty(), qPrintable(stale));
}

QTEST_MAIN(PictureLoaderTest)
#include "picture_loader_test.moc"
