// The BMP writer feeds other tests their inputs, so its files are checked
// against Qt's own BMP reader, an implementation independent of ours.

#include "support/bmp_writer.h"
#include "support/le_bytes.h"

#include <QtEndian>
#include <QtTest>

namespace {

QImage indexedImage(int w, int h, int colours, int runLength)
{
    QImage image(w, h, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < colours; ++i)
        table.append(qRgb((i * 97) & 0xFF, (i * 41 + 10) & 0xFF, (255 - i * 13) & 0xFF));
    image.setColorTable(table);
    // Runs of `runLength` equal pixels, broken up by a scatter of singles,
    // so RLE output mixes encoded runs and absolute stretches.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int run = (x / runLength + y) % colours;
            const bool single = (x * 7 + y * 3) % 11 == 0;
            image.setPixel(x, y, uint(single ? (run + 1 + x) % colours : run));
        }
    return image;
}

QImage rgbImage(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, (x * y) & 0xFF));
    return image;
}

quint32 le32(const QByteArray &b, int at) { return qFromLittleEndian<quint32>(b.constData() + at); }

void compareRgb(const QImage &decoded, const QImage &source)
{
    QVERIFY(!decoded.isNull());
    QCOMPARE(decoded.size(), source.size());
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x) {
            const QRgb got = decoded.pixel(x, y) & 0xFFFFFF;
            const QRgb want = source.pixel(x, y) & 0xFFFFFF;
            if (got != want)
                QFAIL(qPrintable(
                    QStringLiteral("pixel (%1,%2): %3 vs %4").arg(x).arg(y).arg(got, 6, 16).arg(want, 6, 16)));
        }
}

} // namespace

class BmpWriterTest : public QObject
{
    Q_OBJECT

private slots:
    void decodesLikeSource_data();
    void decodesLikeSource();
    void rleCompressesAndTerminates();
    void headerFields();
};

void BmpWriterTest::decodesLikeSource_data()
{
    QTest::addColumn<int>("bitCount");
    QTest::addColumn<int>("compression");
    QTest::addColumn<bool>("topDown");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("runLength");

    for (bool topDown : {false, true}) {
        const char *order = topDown ? "top-down" : "bottom-up";
        for (int bpp : {1, 4, 8, 24, 32}) {
            QTest::addRow("%d-bit %s", bpp, order) << bpp << int(BmpCompression::None) << topDown << 13 << 3;
            QTest::addRow("%d-bit %s 1 wide", bpp, order) << bpp << int(BmpCompression::None) << topDown << 1 << 1;
        }
    }
    // Widths over 255 force runs and absolute stretches to be split.
    for (int width : {1, 2, 3, 7, 300}) {
        for (int run : {1, 4, 400}) {
            QTest::addRow("RLE8 w%d run%d", width, run) << 8 << int(BmpCompression::Rle8) << false << width << run;
            QTest::addRow("RLE4 w%d run%d", width, run) << 4 << int(BmpCompression::Rle4) << false << width << run;
        }
    }
}

void BmpWriterTest::decodesLikeSource()
{
    QFETCH(int, bitCount);
    QFETCH(int, compression);
    QFETCH(bool, topDown);
    QFETCH(int, width);
    QFETCH(int, runLength);
    const int colours = bitCount == 1 ? 2 : bitCount == 4 ? 16 : 200;
    const QImage source = bitCount <= 8 ? indexedImage(width, 5, colours, runLength) : rgbImage(width, 5);

    BmpWriterOptions options;
    options.bitCount = bitCount;
    options.compression = BmpCompression(compression);
    options.topDown = topDown;
    const QByteArray bmp = writeBmp(source, options);
    QCOMPARE(qint32(le32(bmp, bmpfield::kHeight)), topDown ? -5 : 5);
    compareRgb(QImage::fromData(bmp, "BMP"), source);
}

void BmpWriterTest::rleCompressesAndTerminates()
{
    const QImage flat = indexedImage(64, 16, 16, 64);
    for (auto [compression, bpp] : {std::pair{BmpCompression::Rle8, 8}, std::pair{BmpCompression::Rle4, 4}}) {
        BmpWriterOptions options;
        options.bitCount = bpp;
        const QByteArray raw = writeBmp(flat, options);
        options.compression = compression;
        const QByteArray rle = writeBmp(flat, options);
        QVERIFY(rle.size() < raw.size());
        QCOMPARE(le32(rle, bmpfield::kCompression), compression == BmpCompression::Rle8 ? 1u : 2u);
        QVERIFY(rle.endsWith(QByteArray::fromHex("0001")));
        compareRgb(QImage::fromData(rle, "BMP"), flat);
    }
}

void BmpWriterTest::headerFields()
{
    const QImage image = indexedImage(10, 4, 16, 2);
    BmpWriterOptions options;
    options.bitCount = 4;
    options.clrUsed = 7;
    const QByteArray bmp = writeBmp(image, options);
    QVERIFY(bmp.startsWith("BM"));
    QCOMPARE(le32(bmp, bmpfield::kFileSize), quint32(bmp.size()));
    QCOMPARE(le32(bmp, bmpfield::kPixelOffset), quint32(14 + 40 + 16 * 4));
    QCOMPARE(le32(bmp, bmpfield::kWidth), 10u);
    QCOMPARE(qFromLittleEndian<quint16>(bmp.constData() + bmpfield::kBitCount), quint16(4));
    QCOMPARE(le32(bmp, bmpfield::kClrUsed), 7u);
    // Palette quads are BGR0.
    const QRgb first = image.colorTable().at(0);
    QCOMPARE(uchar(bmp.at(bmpfield::kPalette)), uchar(qBlue(first)));
    QCOMPARE(uchar(bmp.at(bmpfield::kPalette + 2)), uchar(qRed(first)));
    QCOMPARE(bmp.size(), 14 + 40 + 16 * 4 + 4 * 8); // 10 pixels at 4 bpp: 5 bytes, padded to 8
}

QTEST_GUILESS_MAIN(BmpWriterTest)
#include "bmp_writer_test.moc"
