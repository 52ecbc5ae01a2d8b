#include "formats/ico_reader.h"

#include "support/ico_fuzz_seeds.h"
#include "support/ico_writer.h"
#include "support/le_bytes.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QtTest>
#include <functional>

namespace {

// Colours every depth can store exactly (16-bit keeps five bits a channel:
// 0x84 is 16/31 of full scale).
const QList<QRgb> kColours = {qRgb(255, 0, 0), qRgb(0, 255, 0),        qRgb(0, 0, 255),   qRgb(255, 255, 255),
                              qRgb(0, 0, 0),   qRgb(0x84, 0x84, 0x84), qRgb(255, 0, 255), qRgb(0, 0x84, 255)};

int colourAt(int x, int y, int colours) { return (x * 3 + y * 5) % colours; }
bool maskedAt(int x, int y) { return (x + 2 * y) % 3 == 0; }

// An Indexed8 image using the first `colours` of kColours in a fixed pattern.
QImage indexedImage(int w, int h, int colours)
{
    QImage image(w, h, QImage::Format_Indexed8);
    image.setColorTable(kColours.mid(0, colours));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, uint(colourAt(x, y, colours)));
    return image;
}

std::vector<bool> patternMask(int w, int h)
{
    std::vector<bool> mask(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            mask[size_t(y) * w + x] = maskedAt(x, y);
    return mask;
}

IcoWriterEntry dibEntry(const QImage &image, int bitCount)
{
    IcoWriterEntry e;
    e.image = image;
    e.bitCount = bitCount;
    return e;
}

// A plain entry of the given depth and size with the pattern mask; used where
// only the structure matters.
IcoWriterEntry patternEntry(int bitCount, int w = 13, int h = 7)
{
    const int colours = bitCount == 1 ? 2 : 8;
    QImage image = indexedImage(w, h, colours);
    if (bitCount > 8)
        image = image.convertToFormat(QImage::Format_ARGB32);
    IcoWriterEntry e = dibEntry(image, bitCount);
    e.transparent = patternMask(w, h);
    if (bitCount == 32)
        e.zeroAlpha = true;
    return e;
}

IcoWriterEntry pngEntry(const QImage &image)
{
    IcoWriterEntry e;
    e.image = image;
    e.png = true;
    return e;
}

QRgb opaque(QRgb c) { return c | 0xFF000000u; }
QRgb clear(QRgb c) { return c & 0x00FFFFFFu; }

QString hex(QRgb c) { return QStringLiteral("%1").arg(c, 8, 16, QLatin1Char('0')); }

// Compares every pixel and names the first that differs.
void comparePixels(const QImage &actual, const std::function<QRgb(int, int)> &expected)
{
    QCOMPARE(actual.format(), QImage::Format_ARGB32);
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            const QRgb got = actual.pixel(x, y);
            const QRgb want = expected(x, y);
            if (got != want)
                QFAIL(qPrintable(
                    QStringLiteral("pixel (%1,%2) is %3, expected %4").arg(x).arg(y).arg(hex(got), hex(want))));
        }
    }
}

IcoEntry readSingle(const QByteArray &file)
{
    const auto entries = readIcoEntries(file);
    if (!entries || entries->size() != 1)
        return {};
    return entries->front();
}

IcoEntry fakeEntry(int w, int h, int bitCount)
{
    IcoEntry e;
    e.width = w;
    e.height = h;
    e.bitCount = bitCount;
    return e;
}

QByteArray pngBytes(const QImage &image)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return out;
}

} // namespace

class IcoReaderTest : public QObject
{
    Q_OBJECT

private slots:
    // Decoding valid files.
    void handAssembledFile();
    void maskedPixels_data();
    void maskedPixels();
    void thirtyTwoBitAlphaWinsOverMask();
    void thirtyTwoBitWithoutAlpha();
    void bitfieldEntries();
    void pngEntries();
    void sizeByteZeroMeans256();
    void colourTableCount_data();
    void colourTableCount();
    void indexPastShortPalette();
    void cursorReadsLikeIcon();
    void entriesInDirectoryOrder();
    void writerAgreesWithQtReader();
    void fuzzSeedsRead();

    void chooseOpenEntry_data();
    void chooseOpenEntry();

    // Broken files.
    void corruptFilesRejected_data();
    void corruptFilesRejected();
    void truncatedFilesRejected();
    void truncatedPayloadSweep_data();
    void truncatedPayloadSweep();
    void byteMutationsStaySane();
    void sharedPayloadBudget();
};

void IcoReaderTest::handAssembledFile()
{
    // Laid out by hand rather than with the writer, so a mistake the writer
    // and reader share (row order, padding, BGR order, mask bit order) shows.
    QByteArray f;
    appendLe16(f, 0);
    appendLe16(f, 1);
    appendLe16(f, 1);
    f.append(char(2)).append(char(2)).append(char(0)).append(char(0));
    appendLe16(f, 1);
    appendLe16(f, 24);
    appendLe32(f, 40 + 16 + 8);
    appendLe32(f, 22);
    // BITMAPINFOHEADER: 2 x (2*2), 24 bpp.
    appendLe32(f, 40);
    appendLe32(f, 2);
    appendLe32(f, 4);
    appendLe16(f, 1);
    appendLe16(f, 24);
    for (int i = 0; i < 6; ++i)
        appendLe32(f, 0);
    // XOR rows, bottom row first: (0,1) blue, (1,1) green; then (0,0) red, (1,0) white.
    f.append(QByteArray::fromHex("ff0000"
                                 "00ff00"
                                 "0000"));
    f.append(QByteArray::fromHex("0000ff"
                                 "ffffff"
                                 "0000"));
    // AND rows, bottom first: (1,1) transparent; top row opaque.
    f.append(QByteArray::fromHex("40000000"));
    f.append(QByteArray::fromHex("00000000"));

    const auto entries = readIcoEntries(f);
    QVERIFY(entries);
    QCOMPARE(entries->size(), size_t(1));
    const IcoEntry &e = entries->front();
    QCOMPARE(e.width, 2);
    QCOMPARE(e.height, 2);
    QCOMPARE(e.bitCount, 24);
    QVERIFY(!e.png);
    QCOMPARE(e.image.size(), QSize(2, 2));
    QCOMPARE(e.image.pixel(0, 0), 0xFFFF0000u);
    QCOMPARE(e.image.pixel(1, 0), 0xFFFFFFFFu);
    QCOMPARE(e.image.pixel(0, 1), 0xFF0000FFu);
    QCOMPARE(e.image.pixel(1, 1), 0x0000FF00u); // masked, keeps its XOR colour
}

void IcoReaderTest::maskedPixels_data()
{
    QTest::addColumn<int>("bitCount");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    // Odd widths exercise row padding; 37 crosses a 32-pixel mask word.
    for (int bpp : {1, 4, 8, 16, 24, 32}) {
        QTest::addRow("%d-bit 13x7", bpp) << bpp << 13 << 7;
        QTest::addRow("%d-bit 37x3", bpp) << bpp << 37 << 3;
        QTest::addRow("%d-bit 1x1", bpp) << bpp << 1 << 1;
    }
}

void IcoReaderTest::maskedPixels()
{
    QFETCH(int, bitCount);
    QFETCH(int, width);
    QFETCH(int, height);
    const int colours = bitCount == 1 ? 2 : kColours.size();

    const IcoEntry e = readSingle(writeIco({patternEntry(bitCount, width, height)}));
    QCOMPARE(e.width, width);
    QCOMPARE(e.height, height);
    QCOMPARE(e.bitCount, bitCount);
    QVERIFY(!e.png);
    comparePixels(e.image, [&](int x, int y) {
        const QRgb c = kColours[colourAt(x, y, colours)];
        return maskedAt(x, y) ? clear(c) : opaque(c);
    });
}

void IcoReaderTest::thirtyTwoBitAlphaWinsOverMask()
{
    QImage image(3, 2, QImage::Format_ARGB32);
    const QRgb pixels[2][3] = {{qRgba(10, 20, 30, 255), qRgba(40, 50, 60, 128), qRgba(70, 80, 90, 0)},
                               {qRgba(1, 2, 3, 1), qRgba(200, 100, 50, 255), qRgba(9, 8, 7, 254)}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            image.setPixel(x, y, pixels[y][x]);
    IcoWriterEntry entry = dibEntry(image, 32);
    // The mask disagrees with the alpha everywhere; alpha must win.
    entry.transparent = {true, false, false, true, false, false};

    const IcoEntry e = readSingle(writeIco({entry}));
    QCOMPARE(e.bitCount, 32);
    comparePixels(e.image, [&](int x, int y) { return pixels[y][x]; });
}

void IcoReaderTest::thirtyTwoBitWithoutAlpha()
{
    // All alpha zero: an old-style entry, the mask decides.
    IcoWriterEntry entry = patternEntry(32, 5, 4);
    const IcoEntry masked = readSingle(writeIco({entry}));
    comparePixels(masked.image, [&](int x, int y) {
        const QRgb c = kColours[colourAt(x, y, kColours.size())];
        return maskedAt(x, y) ? clear(c) : opaque(c);
    });

    // ...and with no mask at all it is fully opaque.
    entry.omitMask = true;
    const IcoEntry bare = readSingle(writeIco({entry}));
    comparePixels(bare.image, [&](int x, int y) { return opaque(kColours[colourAt(x, y, kColours.size())]); });

    // A 32-bit entry that does have alpha needs no mask either.
    IcoWriterEntry withAlpha = patternEntry(32, 5, 4);
    withAlpha.zeroAlpha = false;
    withAlpha.image = indexedImage(5, 4, 8).convertToFormat(QImage::Format_ARGB32);
    withAlpha.image.setPixel(0, 0, qRgba(1, 2, 3, 77));
    withAlpha.omitMask = true;
    const IcoEntry alpha = readSingle(writeIco({withAlpha}));
    QCOMPARE(alpha.image.pixel(0, 0), qRgba(1, 2, 3, 77));
    QCOMPARE(alpha.image.pixel(1, 0), opaque(kColours[colourAt(1, 0, 8)]));
}

void IcoReaderTest::bitfieldEntries()
{
    QImage image = indexedImage(6, 3, kColours.size()).convertToFormat(QImage::Format_ARGB32);

    // 16-bit 5-6-5: green has six bits, so use values that survive both.
    QImage wide(4, 1, QImage::Format_ARGB32);
    const QRgb wideColours[4] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(0x84, 0x82, 0x84)};
    for (int x = 0; x < 4; ++x)
        wide.setPixel(x, 0, wideColours[x]);
    IcoWriterEntry rgb565 = dibEntry(wide, 16);
    rgb565.bitfields = true;
    rgb565.masks = {0xF800, 0x07E0, 0x001F};
    rgb565.transparent = {false, true, false, false};
    const IcoEntry e565 = readSingle(writeIco({rgb565}));
    QCOMPARE(e565.bitCount, 16);
    comparePixels(e565.image, [&](int x, int) { return x == 1 ? clear(wideColours[x]) : opaque(wideColours[x]); });

    // 32-bit with red and blue swapped against the usual order: a reader that
    // ignored the masks would swap them back.
    IcoWriterEntry swapped = dibEntry(image, 32);
    swapped.bitfields = true;
    swapped.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
    swapped.transparent = patternMask(6, 3);
    const IcoEntry e32 = readSingle(writeIco({swapped}));
    QCOMPARE(e32.bitCount, 32);
    comparePixels(e32.image, [&](int x, int y) {
        const QRgb c = kColours[colourAt(x, y, kColours.size())];
        return maskedAt(x, y) ? clear(c) : opaque(c);
    });
}

void IcoReaderTest::pngEntries()
{
    QImage argb(5, 3, QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            argb.setPixel(x, y, qRgba(x * 50, y * 100, 7, (x * 60 + y * 5) & 0xFF));
    const auto entries = readIcoEntries(writeIco({pngEntry(argb), pngEntry(indexedImage(4, 4, 8))}));
    QVERIFY(entries);
    QCOMPARE(entries->size(), size_t(2));

    const IcoEntry &rgba = (*entries)[0];
    QVERIFY(rgba.png);
    QCOMPARE(rgba.width, 5);
    QCOMPARE(rgba.height, 3);
    QCOMPARE(rgba.bitCount, 32);
    comparePixels(rgba.image, [&](int x, int y) { return argb.pixel(x, y); });

    const IcoEntry &palette = (*entries)[1];
    QVERIFY(palette.png);
    QCOMPARE(palette.bitCount, 8); // depth 8, one channel
    comparePixels(palette.image, [&](int x, int y) { return opaque(kColours[colourAt(x, y, 8)]); });
}

void IcoReaderTest::sizeByteZeroMeans256()
{
    QImage big(256, 256, QImage::Format_ARGB32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            big.setPixel(x, y, qRgba(x, y, 3, 255));
    IcoFile file = writeIcoFile({dibEntry(big, 32), pngEntry(big)});
    QCOMPARE(file.bytes.at(icofield::dirEntry(0) + icofield::kDirWidth), '\0');
    QCOMPARE(file.bytes.at(icofield::dirEntry(1) + icofield::kDirHeight), '\0');

    auto entries = readIcoEntries(file.bytes);
    QVERIFY(entries);
    for (const IcoEntry &e : *entries) {
        QCOMPARE(e.width, 256);
        QCOMPARE(e.height, 256);
        QCOMPARE(e.image.size(), QSize(256, 256));
        QCOMPARE(e.image.pixel(255, 0), qRgba(255, 0, 3, 255));
        QCOMPARE(e.image.pixel(7, 255), qRgba(7, 255, 3, 255));
    }

    // The image's own size counts, not the directory bytes.
    file.bytes[icofield::dirEntry(0) + icofield::kDirWidth] = char(16);
    entries = readIcoEntries(file.bytes);
    QVERIFY(entries);
    QCOMPARE(entries->front().width, 256);
}

void IcoReaderTest::colourTableCount_data()
{
    QTest::addColumn<int>("bitCount");
    QTest::addColumn<int>("usedColours");    // distinct indexes in the pixels
    QTest::addColumn<int>("paletteEntries"); // quads physically in the file
    QTest::addColumn<quint32>("clrUsed");

    QTest::newRow("1-bit, 0 means 2") << 1 << 2 << 2 << 0u;
    QTest::newRow("4-bit, 0 means 16") << 4 << 8 << 16 << 0u;
    QTest::newRow("8-bit, 0 means 256") << 8 << 8 << 256 << 0u;
    QTest::newRow("4-bit, short table") << 4 << 3 << 3 << 3u;
    QTest::newRow("8-bit, short table") << 8 << 5 << 5 << 5u;
    QTest::newRow("1-bit, count over 2") << 1 << 2 << 2 << 3u;
    QTest::newRow("4-bit, count over 16") << 4 << 8 << 16 << 40u;
    QTest::newRow("8-bit, count 257") << 8 << 8 << 256 << 257u;
    QTest::newRow("8-bit, count 0xffffffff") << 8 << 8 << 256 << 0xFFFFFFFFu;
}

void IcoReaderTest::colourTableCount()
{
    QFETCH(int, bitCount);
    QFETCH(int, usedColours);
    QFETCH(int, paletteEntries);
    QFETCH(quint32, clrUsed);

    IcoWriterEntry entry = dibEntry(indexedImage(9, 5, usedColours), bitCount);
    entry.paletteEntries = paletteEntries;
    entry.clrUsed = clrUsed;
    entry.transparent = patternMask(9, 5);

    const IcoEntry e = readSingle(writeIco({entry}));
    QCOMPARE(e.bitCount, bitCount);
    comparePixels(e.image, [&](int x, int y) {
        const QRgb c = kColours[colourAt(x, y, usedColours)];
        return maskedAt(x, y) ? clear(c) : opaque(c);
    });
}

void IcoReaderTest::indexPastShortPalette()
{
    // Two colours in the table, but the pixels use indexes up to 7: those
    // past the table show the first colour.
    IcoWriterEntry entry = dibEntry(indexedImage(8, 2, 8), 4);
    entry.paletteEntries = 2;
    entry.clrUsed = 2;
    entry.transparent.assign(16, false);

    const IcoEntry e = readSingle(writeIco({entry}));
    comparePixels(e.image, [&](int x, int y) {
        const int index = colourAt(x, y, 8);
        return opaque(kColours[index < 2 ? index : 0]);
    });
}

void IcoReaderTest::cursorReadsLikeIcon()
{
    std::vector<IcoWriterEntry> entries = {patternEntry(1, 32, 32), patternEntry(24, 16, 16)};
    entries[0].hotspotX = 31;
    entries[0].hotspotY = 5;
    const QByteArray cur = writeIco(entries, IcoKind::Cursor);
    QCOMPARE(cur.at(icofield::kType), '\2');

    const auto fromCursor = readIcoEntries(cur);
    const auto fromIcon = readIcoEntries(writeIco(entries, IcoKind::Icon));
    QVERIFY(fromCursor);
    QVERIFY(fromIcon);
    QCOMPARE(fromCursor->size(), size_t(2));
    for (size_t i = 0; i < 2; ++i) {
        QCOMPARE((*fromCursor)[i].bitCount, (*fromIcon)[i].bitCount);
        QCOMPARE((*fromCursor)[i].image, (*fromIcon)[i].image);
    }
    QCOMPARE((*fromCursor)[0].bitCount, 1);
    QCOMPARE((*fromCursor)[1].width, 16);
}

void IcoReaderTest::entriesInDirectoryOrder()
{
    const auto entries = readIcoEntries(writeIco({patternEntry(8, 48, 48), patternEntry(1, 16, 16),
                                                  pngEntry(indexedImage(20, 10, 8)), patternEntry(24, 32, 32)}));
    QVERIFY(entries);
    QCOMPARE(entries->size(), size_t(4));
    const int expected[4][4] = {{48, 48, 8, 0}, {16, 16, 1, 0}, {20, 10, 8, 1}, {32, 32, 24, 0}};
    for (int i = 0; i < 4; ++i) {
        const IcoEntry &e = (*entries)[size_t(i)];
        QCOMPARE(e.width, expected[i][0]);
        QCOMPARE(e.height, expected[i][1]);
        QCOMPARE(e.bitCount, expected[i][2]);
        QCOMPARE(e.png, bool(expected[i][3]));
        QCOMPARE(e.image.size(), QSize(e.width, e.height));
    }
}

void IcoReaderTest::writerAgreesWithQtReader()
{
    // Qt's own reader is an independent check on the test writer's layout.
    // It applies the mask only up to 8 bpp, so deeper entries compare colour.
    if (!QImageReader::supportedImageFormats().contains("ico"))
        QSKIP("Qt's ico image plugin is not installed");
    for (int bpp : {1, 4, 8, 24}) {
        const QByteArray file = writeIco({patternEntry(bpp, 13, 7)});
        QBuffer buffer;
        buffer.setData(file);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "ico");
        const QImage qt = reader.read().convertToFormat(QImage::Format_ARGB32);
        QVERIFY2(!qt.isNull(), qPrintable(reader.errorString()));
        const IcoEntry ours = readSingle(file);
        QCOMPARE(qt.size(), ours.image.size());
        for (int y = 0; y < qt.height(); ++y) {
            for (int x = 0; x < qt.width(); ++x) {
                const QRgb a = qt.pixel(x, y);
                const QRgb b = ours.image.pixel(x, y);
                if (bpp <= 8)
                    QCOMPARE(qAlpha(a), qAlpha(b));
                if (bpp > 8 || qAlpha(b) != 0)
                    QCOMPARE(a & 0xFFFFFF, b & 0xFFFFFF);
            }
        }
    }
}

void IcoReaderTest::fuzzSeedsRead()
{
    // The fuzzer's seeds must be valid files, or it starts without coverage
    // of the decoders.
    const QString outDir = qEnvironmentVariable("TESSAREL_WRITE_ICO_SEEDS");
    const auto seeds = icoFuzzSeeds();
    QVERIFY(seeds.size() >= 5);
    for (const auto &[name, bytes] : seeds) {
        const auto entries = readIcoEntries(bytes);
        QVERIFY2(entries && !entries->empty(), qPrintable(name));
        if (!outDir.isEmpty()) {
            QVERIFY(QDir().mkpath(outDir));
            QFile f(QDir(outDir).filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write(bytes), bytes.size());
        }
    }
}

void IcoReaderTest::chooseOpenEntry_data()
{
    QTest::addColumn<QList<QSize>>("sizes");
    QTest::addColumn<QList<int>>("bitCounts");
    QTest::addColumn<int>("expected");

    QTest::newRow("empty") << QList<QSize>{} << QList<int>{} << -1;
    QTest::newRow("32x32 with most colours")
        << QList<QSize>{{16, 16}, {32, 32}, {32, 32}, {48, 48}, {32, 32}} << QList<int>{32, 4, 8, 32, 8} << 2;
    QTest::newRow("32x32 tie takes first") << QList<QSize>{{48, 48}, {32, 32}, {32, 32}} << QList<int>{32, 24, 24} << 1;
    QTest::newRow("32x32 beats larger small ones") << QList<QSize>{{24, 24}, {32, 32}} << QList<int>{32, 1} << 1;
    QTest::newRow("16 and 24 only: 24") << QList<QSize>{{16, 16}, {24, 24}} << QList<int>{8, 8} << 1;
    QTest::newRow("small by area") << QList<QSize>{{31, 16}, {24, 24}, {16, 16}} << QList<int>{8, 8, 8} << 1;
    QTest::newRow("small tie takes first") << QList<QSize>{{48, 48}, {24, 24}, {24, 24}} << QList<int>{8, 4, 8} << 1;
    QTest::newRow("32 wide is not small") << QList<QSize>{{32, 16}, {16, 16}} << QList<int>{8, 8} << 1;
    QTest::newRow("48 and 64 only: first") << QList<QSize>{{48, 48}, {64, 64}} << QList<int>{8, 32} << 0;
    QTest::newRow("64 and 48 only: first") << QList<QSize>{{64, 64}, {48, 48}} << QList<int>{8, 32} << 0;
    QTest::newRow("tall narrow is not small") << QList<QSize>{{48, 48}, {16, 40}} << QList<int>{8, 8} << 0;
}

void IcoReaderTest::chooseOpenEntry()
{
    QFETCH(QList<QSize>, sizes);
    QFETCH(QList<int>, bitCounts);
    QFETCH(int, expected);
    std::vector<IcoEntry> entries;
    for (int i = 0; i < sizes.size(); ++i)
        entries.push_back(fakeEntry(sizes[i].width(), sizes[i].height(), bitCounts[i]));
    QCOMPARE(::chooseOpenEntry(entries), expected);
}

void IcoReaderTest::corruptFilesRejected_data()
{
    QTest::addColumn<QByteArray>("file");

    using namespace icofield;
    const IcoFile base = writeIcoFile({patternEntry(8)});
    const qsizetype dib = base.payloadOffsets[0];
    const qsizetype dir = dirEntry(0);
    auto patched32 = [&](qsizetype at, quint32 v) {
        QByteArray f = base.bytes;
        putLe32(f, at, v);
        return f;
    };
    auto patched16 = [&](qsizetype at, quint16 v) {
        QByteArray f = base.bytes;
        putLe16(f, at, v);
        return f;
    };
    auto withEntry = [](IcoWriterEntry e) { return writeIco({e}); };

    // File header and directory.
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("five bytes") << base.bytes.left(5);
    QTest::newRow("header only") << base.bytes.left(6);
    QTest::newRow("directory cut short") << base.bytes.left(6 + 15);
    QTest::newRow("reserved not zero") << patched16(kReserved, 1);
    QTest::newRow("type 0") << patched16(kType, 0);
    QTest::newRow("type 3") << patched16(kType, 3);
    QTest::newRow("no entries") << patched16(kCount, 0);
    QTest::newRow("65535 entries") << patched16(kCount, 65535);
    QTest::newRow("two entries, one written") << patched16(kCount, 2);
    QTest::newRow("offset past end") << patched32(dir + kDirImageOffset, quint32(base.bytes.size()));
    QTest::newRow("offset 0xffffffff") << patched32(dir + kDirImageOffset, 0xFFFFFFFFu);
    QTest::newRow("offset inside directory") << patched32(dir + kDirImageOffset, 6);
    QTest::newRow("size past end") << patched32(dir + kDirBytesInRes, quint32(base.bytes.size() - dib + 1));
    QTest::newRow("size 0xffffffff") << patched32(dir + kDirBytesInRes, 0xFFFFFFFFu);
    QTest::newRow("size 0") << patched32(dir + kDirBytesInRes, 0);
    QTest::newRow("size cuts the pixels") << patched32(dir + kDirBytesInRes, kInfoHeaderSize + 8 * 4 + 10);

    // BITMAPINFOHEADER fields.
    QTest::newRow("core header size") << patched32(dib + kBiSize, 12);
    QTest::newRow("header size 0") << patched32(dib + kBiSize, 0);
    QTest::newRow("header size past payload") << patched32(dib + kBiSize, 0xFFFFFFF0u);
    QTest::newRow("width 0") << patched32(dib + kBiWidth, 0);
    QTest::newRow("width negative") << patched32(dib + kBiWidth, quint32(-13));
    QTest::newRow("width 1025") << patched32(dib + kBiWidth, 1025);
    QTest::newRow("width 0x7fffffff") << patched32(dib + kBiWidth, 0x7FFFFFFFu);
    QTest::newRow("width 0x80000000") << patched32(dib + kBiWidth, 0x80000000u);
    QTest::newRow("height 0") << patched32(dib + kBiHeight, 0);
    QTest::newRow("height negative") << patched32(dib + kBiHeight, quint32(-14));
    QTest::newRow("height odd") << patched32(dib + kBiHeight, 13);
    QTest::newRow("height 2x1025") << patched32(dib + kBiHeight, 2050);
    QTest::newRow("height 0x7ffffffe") << patched32(dib + kBiHeight, 0x7FFFFFFEu);
    QTest::newRow("width grows past data") << patched32(dib + kBiWidth, 200);
    QTest::newRow("bit count 0") << patched16(dib + kBiBitCount, 0);
    QTest::newRow("bit count 2") << patched16(dib + kBiBitCount, 2);
    QTest::newRow("bit count 64") << patched16(dib + kBiBitCount, 64);
    QTest::newRow("bit count 0xffff") << patched16(dib + kBiBitCount, 0xFFFF);
    QTest::newRow("RLE8 compression") << patched32(dib + kBiCompression, 1);
    QTest::newRow("JPEG compression") << patched32(dib + kBiCompression, 4);
    QTest::newRow("compression 0xffffffff") << patched32(dib + kBiCompression, 0xFFFFFFFFu);
    QTest::newRow("bitfields on 8-bit") << patched32(dib + kBiCompression, 3);

    // Colour tables and masks.
    {
        IcoWriterEntry e = patternEntry(24);
        e.clrUsed = 100000; // an "optional" table far larger than the file
        QTest::newRow("24-bit table of 100000") << withEntry(e);
        e.clrUsed = 0xFFFFFFFFu;
        QTest::newRow("24-bit table of 0xffffffff") << withEntry(e);
    }
    {
        const IcoFile f = writeIcoFile({patternEntry(8)});
        QByteArray cut = f.bytes.left(f.payloadOffsets[0] + kInfoHeaderSize + 4 * 5);
        putLe32(cut, dir + kDirBytesInRes, kInfoHeaderSize + 4 * 5);
        QTest::newRow("palette cut short") << cut;
    }
    for (int bpp : {1, 4, 8, 16, 24}) {
        IcoWriterEntry e = patternEntry(bpp);
        e.omitMask = true;
        QTest::addRow("%d-bit without mask", bpp) << withEntry(e);
    }
    {
        IcoFile f = writeIcoFile({patternEntry(1, 40, 3)});
        f.bytes.chop(1); // the AND mask's last byte
        putLe32(f.bytes, dir + kDirBytesInRes, quint32(f.bytes.size() - f.payloadOffsets[0]));
        QTest::newRow("1-bit mask one byte short") << f.bytes;
    }
    {
        IcoWriterEntry e = patternEntry(24, 2, 2);
        e.bitfields = true;
        QTest::newRow("bitfields on 24-bit") << withEntry(e);
        IcoWriterEntry header = patternEntry(16, 1, 1);
        QByteArray payload = icoEntryPayload(header).left(kInfoHeaderSize);
        putLe32(payload, kBiCompression, 3);
        header.payload = payload;
        QTest::newRow("bitfields, no room for masks") << withEntry(header);
    }

    // PNG payloads.
    const QByteArray png = pngBytes(indexedImage(8, 8, 8).convertToFormat(QImage::Format_ARGB32));
    auto pngFile = [](const QByteArray &payload) {
        IcoWriterEntry e;
        e.image = QImage(1, 1, QImage::Format_ARGB32);
        e.payload = payload;
        return writeIco({e});
    };
    auto pngPatched = [&](int at, quint32 bigEndian) {
        QByteArray p = png;
        for (int i = 0; i < 4; ++i)
            p[at + i] = char((bigEndian >> (24 - 8 * i)) & 0xFF);
        return p;
    };
    QTest::newRow("png signature only") << pngFile(png.left(8));
    QTest::newRow("png IHDR cut") << pngFile(png.left(20));
    QTest::newRow("png garbage after IHDR") << pngFile(png.left(33) + QByteArray(64, '\x5a'));
    QTest::newRow("png without IDAT") << pngFile(png.left(33));
    QTest::newRow("png chunk not IHDR") << pngFile(pngPatched(12, 0x49444154)); // "IDAT"
    QTest::newRow("png width 0") << pngFile(pngPatched(16, 0));
    QTest::newRow("png width 2000") << pngFile(pngPatched(16, 2000));
    QTest::newRow("png height 0x7fffffff") << pngFile(pngPatched(20, 0x7FFFFFFF));
    QTest::newRow("png width changed, CRC stale") << pngFile(pngPatched(16, 9));
    {
        QByteArray p = png;
        p[25] = char(5); // no such colour type
        QTest::newRow("png colour type 5") << pngFile(p);
        p = png;
        p[24] = char(3); // RGBA allows depth 8 or 16 only
        QTest::newRow("png RGBA depth 3") << pngFile(p);
    }

    // One bad entry spoils the file.
    {
        IcoFile f = writeIcoFile({patternEntry(4), patternEntry(24)});
        putLe32(f.bytes, f.payloadOffsets[1] + kBiHeight, 7);
        QTest::newRow("second entry broken") << f.bytes;
    }
}

void IcoReaderTest::corruptFilesRejected()
{
    QFETCH(QByteArray, file);
    QVERIFY(!readIcoEntries(file).has_value());
}

void IcoReaderTest::truncatedFilesRejected()
{
    // Every entry's data is declared in the directory, so any cut of a file
    // whose last entry runs to the end must be refused, at header boundaries
    // and everywhere in between.
    const QByteArray file =
        writeIco({patternEntry(1), patternEntry(8, 20, 20), patternEntry(32), pngEntry(indexedImage(6, 6, 8))});
    QVERIFY(readIcoEntries(file));
    for (qsizetype n = 0; n < file.size(); ++n) {
        if (readIcoEntries(file.left(n)))
            QFAIL(qPrintable(QStringLiteral("a %1-byte prefix was accepted").arg(n)));
    }
}

void IcoReaderTest::truncatedPayloadSweep_data()
{
    QTest::addColumn<int>("bitCount");
    QTest::addColumn<bool>("bitfields");
    for (int bpp : {1, 4, 8, 16, 24, 32})
        QTest::addRow("%d-bit", bpp) << bpp << false;
    QTest::newRow("16-bit bitfields") << 16 << true;
    QTest::newRow("32-bit bitfields") << 32 << true;
}

void IcoReaderTest::truncatedPayloadSweep()
{
    // Cut the entry's data at every length with the directory adjusted to
    // match, so each cut lands inside the DIB parser rather than being caught
    // by the directory check.
    QFETCH(int, bitCount);
    QFETCH(bool, bitfields);
    IcoWriterEntry entry = patternEntry(bitCount, 9, 4);
    entry.bitfields = bitfields;
    if (bitfields)
        entry.masks = {0xF800, 0x07E0, 0x001F};
    const IcoFile full = writeIcoFile({entry});
    const qsizetype start = full.payloadOffsets[0];
    const qsizetype payloadSize = full.bytes.size() - start;
    const qsizetype maskSize = 4 * 4; // 9 pixels pad to one 32-bit word per row
    QVERIFY(readIcoEntries(full.bytes));

    for (qsizetype n = 0; n < payloadSize; ++n) {
        QByteArray cut = full.bytes.left(start + n);
        putLe32(cut, icofield::dirEntry(0) + icofield::kDirBytesInRes, quint32(n));
        const auto entries = readIcoEntries(cut);
        // Only a 32-bit entry may lose its mask, and then it reads as opaque.
        const bool acceptable = bitCount == 32 && n >= payloadSize - maskSize;
        if (entries.has_value() != acceptable)
            QFAIL(qPrintable(QStringLiteral("payload cut to %1 of %2 bytes: %3")
                                 .arg(n)
                                 .arg(payloadSize)
                                 .arg(entries ? "accepted" : "refused")));
        if (entries) {
            QCOMPARE(entries->front().image.size(), QSize(9, 4));
            QCOMPARE(qAlpha(entries->front().image.pixel(0, 0)), 255);
        }
    }
}

void IcoReaderTest::byteMutationsStaySane()
{
    // Overwrite each byte of a mixed file with a few values; whatever is
    // accepted must still be self-consistent. Run under the sanitizers this
    // also checks that no read leaves the buffer.
    const QByteArray file = writeIco({patternEntry(1, 5, 3), patternEntry(4, 5, 3), patternEntry(16, 3, 2),
                                      patternEntry(32, 3, 2), pngEntry(indexedImage(3, 3, 8))});
    int accepted = 0;
    for (qsizetype i = 0; i < file.size(); ++i) {
        for (uchar value : {uchar(0x00), uchar(0xFF), uchar(file.at(i) ^ 0x80), uchar(file.at(i) + 1)}) {
            QByteArray mutated = file;
            mutated[i] = char(value);
            const auto entries = readIcoEntries(mutated);
            if (!entries)
                continue;
            ++accepted;
            QVERIFY(!entries->empty());
            for (const IcoEntry &e : *entries) {
                QVERIFY(e.width >= 1 && e.width <= 1024 && e.height >= 1 && e.height <= 1024);
                QCOMPARE(e.image.size(), QSize(e.width, e.height));
                QCOMPARE(e.image.format(), QImage::Format_ARGB32);
            }
        }
    }
    // Most bytes are pixels, so most mutations still read.
    QVERIFY(accepted > 0);
}

void IcoReaderTest::sharedPayloadBudget()
{
    // Directory entries may share one payload; the total decoded size is
    // capped so a small file cannot expand into gigabytes.
    IcoWriterEntry big = patternEntry(1, 1024, 1024);
    std::vector<IcoWriterEntry> sixteen(16, big);
    for (size_t i = 1; i < sixteen.size(); ++i)
        sixteen[i].payload = QByteArray(1, 'x'); // placeholder, pointed at entry 0 below
    IcoFile file = writeIcoFile(sixteen);
    const quint32 size = quint32(file.payloadOffsets[1] - file.payloadOffsets[0]);
    for (int i = 1; i < 16; ++i) {
        putLe32(file.bytes, icofield::dirEntry(i) + icofield::kDirBytesInRes, size);
        putLe32(file.bytes, icofield::dirEntry(i) + icofield::kDirImageOffset, quint32(file.payloadOffsets[0]));
    }
    const auto atLimit = readIcoEntries(file.bytes);
    QVERIFY(atLimit);
    QCOMPARE(atLimit->size(), size_t(16));
    QCOMPARE(atLimit->back().image.size(), QSize(1024, 1024));

    // One more entry over the same data goes past the cap. The directory grows
    // by 16 bytes, so every offset moves up.
    QByteArray more = file.bytes.left(6 + 16 * 16);
    more.append(file.bytes.mid(icofield::dirEntry(1), 16));
    more.append(file.bytes.mid(6 + 16 * 16));
    putLe16(more, icofield::kCount, 17);
    for (int i = 0; i < 17; ++i) {
        const qsizetype at = icofield::dirEntry(i) + icofield::kDirImageOffset;
        putLe32(more, at, quint32(file.payloadOffsets[0] + 16));
    }
    QVERIFY(!readIcoEntries(more));
}

QTEST_GUILESS_MAIN(IcoReaderTest)
#include "ico_reader_test.moc"
