#include "formats/icon_resources.h"

#include "support/exe_writer.h"
#include "support/ico_writer.h"
#include "support/le_bytes.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

namespace {

// Colours every depth stores exactly.
constexpr QRgb kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF, kBlack = 0xFF000000,
               kMagenta = 0xFFFF00FF, kYellow = 0xFFFFFF00;

// A side x side image of one colour. With `masked`, the pixels where
// (x / 2 + y / 2) % 3 == 0 are masked: whole 2 x 2 blocks, so halving or
// doubling the size gives a mask that does not depend on the sampling phase.
IcoWriterEntry solid(int side, QRgb colour, int bitCount = 4, bool masked = false)
{
    IcoWriterEntry e;
    e.bitCount = bitCount;
    QImage image(side, side, QImage::Format_Indexed8);
    image.setColorTable({colour, kBlack});
    image.fill(0);
    e.image = bitCount <= 8 ? image : image.convertToFormat(QImage::Format_ARGB32);
    e.transparent.assign(size_t(side) * side, false);
    if (masked)
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                e.transparent[size_t(y) * side + x] = (x / 2 + y / 2) % 3 == 0;
    if (bitCount == 32)
        e.zeroAlpha = true; // leave transparency to the mask, as old 32-bit icons do
    return e;
}

IcoWriterEntry png(int side, QRgb colour)
{
    IcoWriterEntry e;
    e.png = true;
    e.image = QImage(side, side, QImage::Format_ARGB32);
    e.image.fill(colour);
    return e;
}

ExeIconGroup group(const QString &name, quint16 id, std::vector<IcoWriterEntry> images)
{
    return {name, id, std::move(images)};
}

enum class Format { Pe32, Pe32Plus, Ne };

ExeFile write(Format f, const std::vector<ExeIconGroup> &groups)
{
    return f == Format::Ne ? writeNe(groups) : writePe(groups, f == Format::Pe32Plus);
}

// Three groups of a 16 x 16 and a 32 x 32 image; RT_ICON ids 1..6 in order.
ExeFile threeGroups(Format f)
{
    return write(f,
                 {group("ALPHA", 0, {solid(16, kWhite), solid(32, kRed)}),
                  group({}, 1, {solid(16, kWhite), solid(32, kGreen)}),
                  group({}, 2, {solid(16, kWhite), solid(32, kBlue)})});
}

int countOf(const QByteArray &bytes)
{
    const auto icons = readIconLibrary(bytes);
    return icons ? int(icons->size()) : -1;
}

// PE: the data entry under a name entry, through its language directory.
qsizetype peDataEntry(const ExeFile &f, qsizetype nameEntry)
{
    const qsizetype lang = f.resources + (getLe32(f.bytes, nameEntry + 4) & 0x7FFFFFFF);
    return f.resources + getLe32(f.bytes, lang + 20);
}

qsizetype peLanguageDir(const ExeFile &f, qsizetype nameEntry)
{
    return f.resources + (getLe32(f.bytes, nameEntry + 4) & 0x7FFFFFFF);
}

} // namespace

Q_DECLARE_METATYPE(std::vector<IcoWriterEntry>)

class IconResourcesTest : public QObject
{
    Q_OBJECT

private slots:
    void groupOrderMatchesWrestool_data();
    void groupOrderMatchesWrestool();
    void chosenImage_data();
    void chosenImage();
    void masksOnSilver();
    void iconFileIsOneIcon();
    void smallIcon();
    void brokenLibraries();
    void truncatedAtEveryLength_data();
    void truncatedAtEveryLength();
    void fuzzSeedsRead();
};

void IconResourcesTest::groupOrderMatchesWrestool_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QStringList>("names"); // as the groups are listed
    QTest::addColumn<QList<QRgb>>("colours");
    // Given as 7 red, ZETA green, 2 blue, ALPHA magenta, BETA yellow.
    const QList<QRgb> sorted = {kMagenta, kYellow, kGreen, kBlue, kRed};
    QTest::newRow("PE32") << int(Format::Pe32) << QStringList{"ALPHA", "BETA", "ZETA", "2", "7"} << sorted;
    QTest::newRow("PE32+") << int(Format::Pe32Plus) << QStringList{"ALPHA", "BETA", "ZETA", "2", "7"} << sorted;
    QTest::newRow("NE") << int(Format::Ne) << QStringList{"7", "ZETA", "2", "ALPHA", "BETA"}
                        << QList<QRgb>{kRed, kGreen, kBlue, kMagenta, kYellow};
}

void IconResourcesTest::groupOrderMatchesWrestool()
{
    QFETCH(int, format);
    QFETCH(QStringList, names);
    QFETCH(QList<QRgb>, colours);
    const ExeFile file =
        write(Format(format),
              {group({}, 7, {solid(32, kRed)}), group("ZETA", 0, {solid(32, kGreen)}), group({}, 2, {solid(32, kBlue)}),
               group("ALPHA", 0, {solid(32, kMagenta)}), group("BETA", 0, {solid(32, kYellow)})});
    const auto icons = readIconLibrary(file.bytes);
    QVERIFY(icons);
    QCOMPARE(int(icons->size()), colours.size());
    for (int i = 0; i < colours.size(); ++i) {
        QCOMPARE(icons->at(size_t(i)).size(), QSize(32, 32));
        QCOMPARE(icons->at(size_t(i)).format(), QImage::Format_ARGB32);
        QCOMPARE(icons->at(size_t(i)).pixel(9, 9), colours[i]);
    }

    // An independent reader must list the same groups in the same order.
    const QString wrestool = QStandardPaths::findExecutable("wrestool");
    if (wrestool.isEmpty())
        QFAIL("wrestool not found (icoutils; scripts/install-deps.sh installs it)");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("icons.dll");
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    QCOMPARE(out.write(file.bytes), file.bytes.size());
    out.close();
    QProcess p;
    p.start(wrestool, {"--list", "--type=14", path});
    QVERIFY(p.waitForFinished(30000));
    const QString listing = QString::fromLocal8Bit(p.readAllStandardOutput());
    QCOMPARE(p.exitCode(), 0);
    QStringList listed;
    static const QRegularExpression name(QStringLiteral("--name='?([^' ]+)'?"));
    for (const QString &line : listing.split('\n', Qt::SkipEmptyParts)) {
        const auto m = name.match(line);
        QVERIFY2(m.hasMatch(), qPrintable(line));
        listed << m.captured(1);
    }
    QCOMPARE(listed, names);

    // And put together the same icon from each group: the image we draw from
    // the group is the one we draw from the icon file wrestool extracts.
    for (int i = 0; i < listed.size(); ++i) {
        p.start(wrestool, {"--extract", "--type=14", "--name=" + listed[i], path});
        QVERIFY(p.waitForFinished(30000));
        const auto extracted = readIconLibrary(p.readAllStandardOutput());
        QVERIFY2(extracted, qPrintable(listed[i]));
        QCOMPARE(extracted->front(), icons->at(size_t(i)));
    }
}

void IconResourcesTest::chosenImage_data()
{
    QTest::addColumn<std::vector<IcoWriterEntry>>("images");
    QTest::addColumn<QRgb>("expected");
    QTest::newRow("exact size, deepest") << std::vector<IcoWriterEntry>{
        solid(32, kRed, 4), solid(32, kGreen, 32), solid(32, kBlue, 8), solid(48, kWhite, 32),
        solid(16, kBlack, 32)} << kGreen;
    QTest::newRow("PNG image among DIBs")
        << std::vector<IcoWriterEntry>{solid(32, kRed, 8), png(32, kGreen), solid(16, kBlue, 32)} << kGreen;
    QTest::newRow("nearest size") << std::vector<IcoWriterEntry>{solid(16, kRed), solid(24, kBlue), solid(64, kGreen)}
                                  << kBlue;
    QTest::newRow("equally near: the larger")
        << std::vector<IcoWriterEntry>{solid(16, kRed), solid(48, kGreen)} << kGreen;
    QTest::newRow("only a small one") << std::vector<IcoWriterEntry>{solid(16, kRed, 1)} << kRed;
}

void IconResourcesTest::chosenImage()
{
    QFETCH(std::vector<IcoWriterEntry>, images);
    QFETCH(QRgb, expected);
    // The same group in every container, and as an icon file.
    const ExeIconGroup g = group("G", 0, images);
    const QByteArray files[] = {writePe({g}).bytes, writePe({g}, true).bytes, writeNe({g}).bytes, writeIco(images)};
    for (const QByteArray &bytes : files) {
        const auto icons = readIconLibrary(bytes);
        QVERIFY(icons);
        QCOMPARE(icons->size(), size_t(1));
        const QImage &icon = icons->front();
        QCOMPARE(icon.size(), QSize(32, 32));
        QCOMPARE(icon.pixel(0, 0), expected);
        QCOMPARE(icon.pixel(31, 31), expected);
    }
}

void IconResourcesTest::masksOnSilver()
{
    // A masked 4-bit 32 x 32 image, a masked 16 x 16 one that must be scaled
    // up with its mask, and a PNG with partial alpha.
    QImage half(32, 32, QImage::Format_ARGB32);
    half.fill(qRgba(0, 0, 0, 128));
    IcoWriterEntry halfPng;
    halfPng.png = true;
    halfPng.image = half;
    const ExeFile file = writeNe(
        {group({}, 1, {solid(32, kRed, 4, true)}), group({}, 2, {solid(16, kBlue, 8, true)}), group({}, 3, {halfPng})});
    const auto icons = readIconLibrary(file.bytes);
    QVERIFY(icons);
    QCOMPARE(icons->size(), size_t(3));

    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const bool masked32 = (x / 2 + y / 2) % 3 == 0;
            const bool masked16 = (x / 4 + y / 4) % 3 == 0;
            QCOMPARE(qAlpha(icons->at(0).pixel(x, y)), masked32 ? 0 : 255);
            QCOMPARE(onSilver(icons->at(0)).pixel(x, y), masked32 ? 0xFFC0C0C0 : kRed);
            QCOMPARE(onSilver(icons->at(1)).pixel(x, y), masked16 ? 0xFFC0C0C0 : kBlue);
        }
    }
    // Black at alpha 128 over silver: 192 * 127 / 255, rounded.
    QCOMPARE(onSilver(icons->at(2)).pixel(4, 4), qRgb(96, 96, 96));
    QCOMPARE(onSilver(icons->at(2)).format(), QImage::Format_RGB32);
}

void IconResourcesTest::iconFileIsOneIcon()
{
    const std::vector<IcoWriterEntry> images = {solid(16, kRed, 32), solid(32, kGreen, 4), solid(32, kBlue, 8)};
    const QByteArray ico = writeIco(images);
    const auto icons = readIconLibrary(ico);
    QVERIFY(icons);
    QCOMPARE(icons->size(), size_t(1));
    QCOMPARE(icons->front().pixel(3, 3), kBlue);
    const auto small = smallIconOf(ico);
    QVERIFY(small);
    QCOMPARE(small->size(), QSize(16, 16));
    QCOMPARE(small->pixel(3, 3), kRed);

    // One unreadable entry makes an icon file unreadable, as everywhere else.
    IcoFile broken = writeIcoFile(images);
    putLe32(broken.bytes, icofield::dirEntry(0) + icofield::kDirImageOffset, 0xFFFFFF00);
    QVERIFY(!readIconLibrary(broken.bytes));
    QVERIFY(!smallIconOf(broken.bytes));
}

void IconResourcesTest::smallIcon()
{
    // Only the first group counts: the second has a 16 x 16 image of another
    // colour.
    const ExeIconGroup other = group({}, 9, {solid(16, kWhite, 8)});
    const ExeFile withSmall =
        writePe({group({}, 1, {solid(32, kRed), solid(16, kGreen, 4), solid(16, kBlue, 8)}), other});
    auto small = smallIconOf(withSmall.bytes);
    QVERIFY(small);
    QCOMPARE(small->size(), QSize(16, 16));
    QCOMPARE(small->pixel(8, 8), kBlue);

    // No 16 x 16 image: the 32 x 32 choice, scaled down with its mask.
    const ExeFile without =
        writeNe({group({}, 1, {solid(48, kWhite, 32), solid(32, kYellow, 8, true), solid(32, kRed, 4)}), other});
    small = smallIconOf(without.bytes);
    QVERIFY(small);
    QCOMPARE(small->size(), QSize(16, 16));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            QCOMPARE(small->pixel(x, y), (x + y) % 3 == 0 ? kYellow & 0x00FFFFFF : kYellow);

    // Refused like the library itself: a first group naming a missing image.
    ExeFile broken = withSmall;
    putLe16(broken.bytes, broken.groupData[0] + 6 + 12, 99);
    putLe16(broken.bytes, broken.groupData[0] + 6 + 14 + 12, 99);
    putLe16(broken.bytes, broken.groupData[0] + 6 + 28 + 12, 99);
    QVERIFY(!smallIconOf(broken.bytes));
    QVERIFY(!smallIconOf(QByteArray("MZ just text")));
}

void IconResourcesTest::brokenLibraries()
{
    // Each damaged file is refused, or read as far as its first unreadable
    // group; under the sanitizers this also proves no read leaves the buffer.
    struct Case
    {
        const char *name;
        Format format;
        std::function<void(ExeFile &)> damage;
        int expected; // icons read, -1 for "not valid"
    };
    using F = Format;
    auto lang = [](ExeFile &f, int group) { return peLanguageDir(f, f.groupEntries[size_t(group)]); };
    auto groupData = [](ExeFile &f, int group) { return peDataEntry(f, f.groupEntries[size_t(group)]); };
    auto iconData = [](ExeFile &f, int icon) { return peDataEntry(f, f.iconEntries[size_t(icon)]); };
    const qsizetype kCoff = 0x44;
    const Case cases[] = {
        {"header offset past the end", F::Pe32, [](ExeFile &f) { putLe32(f.bytes, 0x3C, quint32(f.bytes.size())); },
         -1},
        {"header offset 0xFFFFFFFF", F::Pe32, [](ExeFile &f) { putLe32(f.bytes, 0x3C, 0xFFFFFFFF); }, -1},
        {"signature neither PE nor NE", F::Pe32, [](ExeFile &f) { f.bytes[0x40] = 'L'; }, -1},
        {"unknown optional header", F::Pe32, [](ExeFile &f) { putLe16(f.bytes, f.optionalHeader, 0x107); }, -1},
        {"optional header past the end", F::Pe32, [=](ExeFile &f) { putLe16(f.bytes, kCoff + 16, 0xFFFF); }, -1},
        {"no resource directory entry", F::Pe32, [](ExeFile &f) { putLe32(f.bytes, f.optionalHeader + 92, 2); }, -1},
        {"no resource directory entry, PE32+", F::Pe32Plus,
         [](ExeFile &f) { putLe32(f.bytes, f.optionalHeader + 108, 0); }, -1},
        {"resources outside every section", F::Pe32,
         [](ExeFile &f) { putLe32(f.bytes, f.optionalHeader + 96 + 16, 0x90000); }, -1},
        {"65535 sections", F::Pe32, [=](ExeFile &f) { putLe16(f.bytes, kCoff + 2, 0xFFFF); }, -1},
        {"section data past the end", F::Pe32Plus,
         [](ExeFile &f) { putLe32(f.bytes, f.sectionTable + 20, 0x7FFFFF00); }, -1},
        {"section claims more than the file holds", F::Pe32,
         [](ExeFile &f) { putLe32(f.bytes, f.sectionTable + 16, 0x7FFFFF00); }, 3},
        {"root of millions of entries", F::Pe32, [](ExeFile &f) { putLe32(f.bytes, f.resources + 12, 0xFFFFFFFF); },
         -1},
        {"65535 groups the file cannot hold", F::Pe32, [](ExeFile &f) { putLe16(f.bytes, f.groupType + 14, 0xFFFF); },
         -1},
        {"group type is data, not a directory", F::Pe32, [](ExeFile &f) { putLe32(f.bytes, f.resources + 28, 0); }, -1},
        {"group type loops to the root", F::Pe32, [](ExeFile &f) { putLe32(f.bytes, f.resources + 28, 0x80000000); },
         -1},
        {"language level loops to itself", F::Pe32,
         [=](ExeFile &f) {
             const qsizetype l = lang(f, 0);
             putLe32(f.bytes, l + 20, 0x80000000 | quint32(l - f.resources));
         },
         -1},
        {"last group loops to the root", F::Pe32Plus,
         [](ExeFile &f) { putLe32(f.bytes, f.groupEntries[2] + 4, 0x80000000); }, 2},
        {"subdirectory past the end", F::Pe32, [](ExeFile &f) { putLe32(f.bytes, f.groupEntries[0] + 4, 0x8FFFFFFF); },
         -1},
        {"group data past the end", F::Pe32, [=](ExeFile &f) { putLe32(f.bytes, groupData(f, 0), 0xFFFFFFF0); }, -1},
        {"middle group data past the end", F::Pe32,
         [=](ExeFile &f) { putLe32(f.bytes, groupData(f, 1) + 4, 0x10000000); }, 1},
        {"zero-sized group", F::Pe32, [=](ExeFile &f) { putLe32(f.bytes, groupData(f, 0) + 4, 0); }, -1},
        {"group of 65535 images", F::Pe32, [](ExeFile &f) { putLe16(f.bytes, f.groupData[0] + 4, 0xFFFF); }, -1},
        {"last group of no images", F::Pe32, [](ExeFile &f) { putLe16(f.bytes, f.groupData[2] + 4, 0); }, 2},
        {"cursor group", F::Pe32, [](ExeFile &f) { putLe16(f.bytes, f.groupData[0] + 2, 2); }, -1},
        {"group naming a missing image", F::Pe32,
         [](ExeFile &f) { putLe16(f.bytes, f.groupData[1] + 6 + 14 + 12, 999); }, 1},
        {"first group naming a missing image, PE32+", F::Pe32Plus,
         [](ExeFile &f) { putLe16(f.bytes, f.groupData[0] + 6 + 14 + 12, 7); }, -1},
        {"zero-sized image", F::Pe32, [=](ExeFile &f) { putLe32(f.bytes, iconData(f, 1) + 4, 0); }, -1},
        {"image data past the end", F::Pe32, [=](ExeFile &f) { putLe32(f.bytes, iconData(f, 5), 0xFFFFFFF0); }, 2},
        {"image of width 0", F::Pe32, [](ExeFile &f) { putLe32(f.bytes, f.iconData[1] + icofield::kBiWidth, 0); }, -1},
        {"broken image that is not drawn", F::Pe32, [=](ExeFile &f) { putLe32(f.bytes, iconData(f, 0) + 4, 0); }, 3},
        {"NE shift 31", F::Ne, [](ExeFile &f) { putLe16(f.bytes, f.resources, 31); }, -1},
        {"NE shift 12 puts every resource past the end", F::Ne, [](ExeFile &f) { putLe16(f.bytes, f.resources, 12); },
         -1},
        {"NE resource table past the end", F::Ne, [](ExeFile &f) { putLe16(f.bytes, 0x40 + 0x24, 0xFFF0); }, -1},
        {"NE without a resource table", F::Ne,
         [](ExeFile &f) { putLe16(f.bytes, 0x40 + 0x24, getLe16(f.bytes, 0x40 + 0x26)); }, -1},
        {"NE 65535 groups the file cannot hold", F::Ne, [](ExeFile &f) { putLe16(f.bytes, f.groupType + 2, 0xFFFF); },
         -1},
        {"NE 65535 images the file cannot hold", F::Ne, [](ExeFile &f) { putLe16(f.bytes, f.iconType + 2, 0xFFFF); },
         -1},
        {"NE group past the end", F::Ne, [](ExeFile &f) { putLe16(f.bytes, f.groupEntries[0], 0xFFFF); }, -1},
        {"NE middle group longer than the file", F::Ne,
         [](ExeFile &f) { putLe16(f.bytes, f.groupEntries[1] + 2, 0xFFFF); }, 1},
        {"NE last group of length 0", F::Ne, [](ExeFile &f) { putLe16(f.bytes, f.groupEntries[2] + 2, 0); }, 2},
        {"NE image named by a string", F::Ne, [](ExeFile &f) { putLe16(f.bytes, f.iconEntries[1] + 6, 0x0002); }, -1},
        {"NE type list without its end", F::Ne,
         [](ExeFile &f) {
             const qsizetype end = f.groupType + 8 + 3 * 12;
             putLe16(f.bytes, end, 0x8001);
         },
         3},
    };
    QVERIFY(std::size(cases) >= 30);
    for (const Case &c : cases) {
        ExeFile file = threeGroups(c.format);
        QCOMPARE(countOf(file.bytes), 3);
        c.damage(file);
        const auto icons = readIconLibrary(file.bytes);
        const int got = icons ? int(icons->size()) : -1;
        if (got != c.expected)
            QFAIL(qPrintable(QStringLiteral("%1: %2 icons, expected %3").arg(c.name).arg(got).arg(c.expected)));
        if (icons)
            for (const QImage &icon : *icons)
                QCOMPARE(icon.size(), QSize(32, 32));
        if (const auto small = smallIconOf(file.bytes))
            QCOMPARE(small->size(), QSize(16, 16));
    }
    for (const QByteArray &junk : {QByteArray(), QByteArray("MZ"), QByteArray("plain text, no executable"),
                                   QByteArray("\0\0\1\0\1\0", 6) /* icon file of one missing entry */})
        QCOMPARE(countOf(junk), -1);
    QCOMPARE(countOf(writePe({}).bytes), -1); // resources, but no icon groups
}

void IconResourcesTest::truncatedAtEveryLength_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("PE32") << int(Format::Pe32);
    QTest::newRow("PE32+") << int(Format::Pe32Plus);
    QTest::newRow("NE") << int(Format::Ne);
}

void IconResourcesTest::truncatedAtEveryLength()
{
    // The last bytes of the file belong to the last group read, so every cut
    // before them loses at least that group; a cut in the trailing padding
    // loses nothing.
    QFETCH(int, format);
    const ExeFile file = threeGroups(Format(format));
    for (qsizetype n = 0; n < file.bytes.size(); ++n) {
        const int got = countOf(file.bytes.left(n));
        const bool ok = n < file.dataEnd ? got < 3 : got == 3;
        if (!ok)
            QFAIL(qPrintable(QStringLiteral("cut to %1 of %2 bytes: %3 icons").arg(n).arg(file.bytes.size()).arg(got)));
    }
}

void IconResourcesTest::fuzzSeedsRead()
{
    // Seeds for fuzz/icon_resources_fuzz.cpp, written out when
    // TESSAREL_WRITE_ICON_RESOURCE_SEEDS names a folder. Each must read, or
    // the fuzzer starts without reaching the decoders.
    const std::vector<ExeIconGroup> groups = {group("MAIN", 0, {solid(16, kRed, 4), solid(32, kBlue, 8, true)}),
                                              group({}, 5, {png(24, kGreen)})};
    const std::pair<const char *, QByteArray> seeds[] = {
        {"pe32.dll", writePe(groups).bytes},
        {"pe32plus.dll", writePe(groups, true).bytes},
        {"library.icl", writeNe(groups).bytes},
        {"named_ne.exe", writeNe({group("APP", 0, {solid(32, kYellow, 1, true)})}, 9).bytes},
        {"single.ico", writeIco({solid(16, kWhite, 32), solid(32, kMagenta, 24)})},
    };
    const QString outDir = qEnvironmentVariable("TESSAREL_WRITE_ICON_RESOURCE_SEEDS");
    for (const auto &[name, bytes] : seeds) {
        QVERIFY2(readIconLibrary(bytes), name);
        if (!outDir.isEmpty()) {
            QVERIFY(QDir().mkpath(outDir));
            QFile f(QDir(outDir).filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write(bytes), bytes.size());
        }
    }
}

QTEST_GUILESS_MAIN(IconResourcesTest)
#include "icon_resources_test.moc"
