// The icon file writer against readers nobody here wrote: Qt's ICO reader
// and icotool (-l lists the directory, -x extracts every image) must read the
// entries it writes with the pixels expected, and ours must agree.

#include "formats/icon_file.h"

#include "support/ico_writer.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QRgb kWhite = qRgb(255, 255, 255), kRed = qRgb(255, 0, 0), kBlue = qRgb(0, 0, 255), kGreen = qRgb(0, 128, 0);

// 8 x 8 blocks of four colours, so every size maps blocks onto whole pixels;
// the top-left block is a one-pixel red/white checker, which the smaller
// sizes must average (red stays red where white is transparent).
QRgb blockColour(int bx, int by) { return QList<QRgb>{kWhite, kRed, kBlue, kGreen}[(bx + 3 * by) % 4]; }
QImage picture()
{
    QImage img(32, 32, QImage::Format_ARGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            img.setPixel(x, y, x < 8 && y < 8 ? ((x + y) % 2 ? kRed : kWhite) : blockColour(x / 8, y / 8));
    return img;
}

// Alpha-0 pixels compare equal whatever colour a reader leaves in them.
QImage normalised(const QImage &image)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            if (qAlpha(out.pixel(x, y)) == 0)
                out.setPixel(x, y, 0);
    return out;
}

// What a new entry of side `s` must hold: the blocks exactly; in the checker
// block, pixels copied for larger sizes, for 16 the mean of each 2 x 2.
bool newEntryPixelOk(const QImage &image, int s, int x, int y, bool transparent)
{
    const QRgb got = image.pixel(x, y);
    const auto want = [&](QRgb c) { return transparent && c == kWhite ? 0u : c; };
    if (s > 32 || x * 4 >= s || y * 4 >= s) {
        static const QImage drawn = picture();
        return got == want(drawn.pixel(x * 32 / s, y * 32 / s));
    }
    if (s == 16)
        return got == (transparent ? qRgba(255, 0, 0, 128) : qRgb(255, 128, 128));
    // 24: partly covered pixels, red throughout where white is transparent.
    return transparent ? (qAlpha(got) > 0 && qAlpha(got) < 255 && (got & 0xFFFFFF) == (kRed & 0xFFFFFF))
                       : qAlpha(got) == 255 && qRed(got) == 255 && qGreen(got) == qBlue(got);
}

IcoWriterEntry indexedEntry(int bits, const QList<QRgb> &palette, int side = 32)
{
    IcoWriterEntry e;
    e.image = QImage(side, side, QImage::Format_Indexed8);
    e.image.setColorTable(palette);
    e.image.fill(0);
    e.bitCount = bits;
    return e;
}
IcoWriterEntry trueColourEntry(int side, int bits = 32, bool png = false)
{
    IcoWriterEntry e;
    e.image = QImage(side, side, QImage::Format_ARGB32);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            e.image.setPixel(x, y, qRgb(x * 7 % 256, y * 11 % 256, 90));
    e.bitCount = bits;
    e.png = png;
    return e;
}

using Existing = std::vector<IcoWriterEntry>;

} // namespace

Q_DECLARE_METATYPE(Existing)

class IconFileTest : public QObject
{
    Q_OBJECT
private slots:
    void writtenFilesReadBackEverywhere_data()
    {
        QTest::addColumn<Existing>("existing"); // no entries: a new file
        QTest::addColumn<bool>("asHeld");       // sizes left as the file holds them
        QTest::addColumn<QList<int>>("sizes");
        QTest::addColumn<bool>("transparent"); // white written transparent
        QTest::addColumn<QString>("holds");    // what the file holds afterwards
        QTest::addColumn<int>("untouched");    // entries kept byte for byte

        const QList<int> all(kIconSizes.begin(), kIconSizes.end());
        // A transparent pixel is black under the mask, so only a palette with black holds one.
        const QList<QRgb> noBlack = {kWhite, kRed, kBlue, kGreen};
        const QList<QRgb> fits = QList<QRgb>{qRgb(0, 0, 0)} + noBlack;
        QTest::newRow("new, the picture alone")
            << Existing{} << false << QList<int>{} << false << QStringLiteral("32 x 32 (32-bit)") << 0;
        QTest::newRow("new, every size, transparent")
            << Existing{} << false << all << true
            << QStringLiteral("16 x 16 (32-bit), 24 x 24 (32-bit), 32 x 32 (32-bit), 48 x 48 (32-bit), "
                              "64 x 64 (32-bit), 128 x 128 (32-bit), 256 x 256 (PNG)")
            << 0;
        QTest::newRow("8-bit kept when the pixels fit its palette")
            << Existing{trueColourEntry(16, 24), indexedEntry(8, fits)} << false << QList<int>{16} << true
            << QStringLiteral("16 x 16 (24-bit), 32 x 32 (8-bit)") << 1;
        QTest::newRow("4-bit kept, opaque") << Existing{indexedEntry(4, noBlack)} << true << QList<int>{} << false
                                            << QStringLiteral("32 x 32 (4-bit)") << 0;
        QTest::newRow("8-bit promoted by a colour outside its palette (green)")
            << Existing{trueColourEntry(16, 24), indexedEntry(8, {qRgb(0, 0, 0), kWhite, kRed, kBlue})} << false
            << QList<int>{16} << false << QStringLiteral("16 x 16 (24-bit), 32 x 32 (32-bit)") << 1;
        QTest::newRow("4-bit without black promoted by transparency")
            << Existing{indexedEntry(4, noBlack)} << true << QList<int>{} << true << QStringLiteral("32 x 32 (32-bit)")
            << 0;
        QTest::newRow("unticked go, ticked come, the rest stay in order")
            << Existing{trueColourEntry(48), trueColourEntry(32), indexedEntry(8, fits, 16), trueColourEntry(20)}
            << false << QList<int>{24, 48, 256} << true
            << QStringLiteral("48 x 48 (32-bit), 32 x 32 (32-bit), 20 x 20 (32-bit), 24 x 24 (32-bit), "
                              "256 x 256 (PNG)")
            << 2;
        QTest::newRow("a 16 x 16 icon is replaced at its size") << Existing{trueColourEntry(16)} << true << QList<int>{}
                                                                << false << QStringLiteral("16 x 16 (32-bit)") << 0;
        QTest::newRow("a 256 PNG stays PNG, the picture in its corner")
            << Existing{trueColourEntry(256, 32, true)} << false << QList<int>{256} << true
            << QStringLiteral("256 x 256 (PNG)") << 0;
    }
    void writtenFilesReadBackEverywhere()
    {
        QFETCH(Existing, existing);
        QFETCH(bool, asHeld);
        QFETCH(QList<int>, sizes);
        QFETCH(bool, transparent);
        QFETCH(QString, holds);
        QFETCH(int, untouched);

        const QImage drawn = picture();
        const IcoFile before = existing.empty() ? IcoFile{} : writeIcoFile(existing);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("saved.ico"));
        if (!before.bytes.isEmpty()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(before.bytes) == before.bytes.size());
        }
        IconSaveOptions options{transparent ? std::optional(kWhite) : std::nullopt, std::nullopt};
        if (!asHeld)
            options.sizes = std::vector<int>(sizes.begin(), sizes.end());
        QString error;
        QVERIFY2(saveIconOrPng(drawn, path, options, &error), qPrintable(error));

        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        const auto entries = readIcoEntries(bytes);
        QVERIFY(entries);
        QCOMPARE(describeIconEntries(*entries), holds);

        // What each entry must show: an old entry kept is its old bytes; the
        // replaced one the picture at its size (over the old image's corner);
        // a new one the picture at that size.
        const auto oldEntries = readIcoEntries(before.bytes);
        const int shown = oldEntries ? chooseOpenEntry(*oldEntries) : -1;
        const QImage saved = withTransparent(drawn, options.transparent);
        std::vector<QImage> expected;
        int kept = 0;
        for (size_t i = 0; i < entries->size(); ++i) {
            const QByteArray payload = bytes.mid(qFromLittleEndian<quint32>(bytes.constData() + 6 + 16 * i + 12),
                                                 qFromLittleEndian<quint32>(bytes.constData() + 6 + 16 * i + 8));
            const IcoEntry &e = (*entries)[i];
            bool old = false;
            for (size_t j = 0; oldEntries && j < oldEntries->size(); ++j)
                old = old || (int(j) != shown && payload == icoEntryPayload(existing[j]));
            kept += old;
            if (old) {
                expected.emplace_back();
                continue;
            }
            if (e.width == (oldEntries ? (*oldEntries)[size_t(shown)].width : 32)) { // the replaced one
                QImage image = oldEntries ? normalised((*oldEntries)[size_t(shown)].image) : saved;
                QPainter p(&image);
                p.setCompositionMode(QPainter::CompositionMode_Source);
                p.drawImage(0, 0, saved);
                p.end();
                expected.push_back(normalised(image));
                QCOMPARE(normalised(e.image), expected.back());
            } else {
                expected.push_back(normalised(e.image));
                for (int y = 0; y < e.height; ++y)
                    for (int x = 0; x < e.width; ++x)
                        if (!newEntryPixelOk(expected.back(), e.width, x, y, transparent))
                            QFAIL(qPrintable(QStringLiteral("%1 x %1 at %2,%3").arg(e.width).arg(x).arg(y)));
            }
        }
        QCOMPARE(kept, untouched);

        // Qt's reader: every image we wrote, the same pixels.
        QBuffer buffer;
        buffer.setData(bytes);
        QImageReader reader(&buffer, "ICO");
        QCOMPARE(reader.imageCount(), int(entries->size()));
        for (size_t i = 0; i < entries->size(); ++i) {
            QVERIFY(reader.jumpToImage(int(i)));
            const QImage back = reader.read();
            if (!expected[i].isNull())
                QCOMPARE(normalised(back), expected[i]);
        }

        const QString icotool = QStandardPaths::findExecutable(QStringLiteral("icotool"));
        if (icotool.isEmpty())
            QSKIP("icotool is not installed");
        QProcess list;
        list.start(icotool, {QStringLiteral("-l"), path});
        QVERIFY(list.waitForFinished());
        QCOMPARE(list.exitCode(), 0);
        const QStringList lines = QString::fromLatin1(list.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), qsizetype(entries->size()));
        for (size_t i = 0; i < entries->size(); ++i) {
            const IcoEntry &e = (*entries)[i];
            QVERIFY2(lines[qsizetype(i)].contains(QStringLiteral("--width=%1 --height=%2").arg(e.width).arg(e.height)),
                     qPrintable(lines[qsizetype(i)]));
            if (!e.png)
                QVERIFY(lines[qsizetype(i)].contains(QStringLiteral("--bit-depth=%1").arg(e.bitCount)));
            if (expected[i].isNull())
                continue;
            const QString out = dir.filePath(QStringLiteral("x%1.png").arg(i));
            QProcess extract;
            extract.start(
                icotool,
                {QStringLiteral("-x"), QStringLiteral("-i"), QString::number(i + 1), QStringLiteral("-o"), out, path});
            QVERIFY(extract.waitForFinished());
            QCOMPARE(extract.exitCode(), 0);
            QCOMPARE(normalised(QImage(out)), expected[i]);
        }
    }

    // Entries that do not match the file's bytes, or a shown entry it does
    // not have, are refused rather than half-updated: Save then writes anew.
    void mismatchedEntriesAreRefused()
    {
        const QByteArray good = writeIco({trueColourEntry(32)});
        const auto entries = readIcoEntries(good);
        QVERIFY(entries);
        const ExistingIcon whole{good, *entries, 0}, noEntry{good, *entries, 1},
            cut{good.left(good.size() - 1), *entries, 0},
            twice{writeIco({trueColourEntry(32), trueColourEntry(32)}), *entries, 0};
        QVERIFY(buildIconFile(&whole, picture(), std::nullopt));
        for (const ExistingIcon *bad : {&noEntry, &cut, &twice})
            QVERIFY(!buildIconFile(bad, picture(), std::nullopt));
    }
};

QTEST_GUILESS_MAIN(IconFileTest)
#include "icon_file_test.moc"
