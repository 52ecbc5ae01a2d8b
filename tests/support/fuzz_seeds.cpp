#include "support/fuzz_seeds.h"

#include "formats/wmf_records.h"
#include "support/bmp_writer.h"
#include "support/exe_writer.h"
#include "support/gif_writer.h"
#include "support/ico_writer.h"
#include "support/le_bytes.h"
#include "support/seed_pictures.h"
#include "support/wmf_writer.h"

#include <QImage>

#include <functional>

namespace {

using Seeds = QList<FuzzSeed>;

using seed::entry;
using seed::indexed;

QImage argb(int w, int h, bool translucent)
{
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgba(x * 40, y * 40, 200, translucent && (x + y) % 3 == 0 ? (x * 60) & 0xFF : 255));
    return image;
}

// Each whole seed is followed by copies cut at a few lengths and with one
// header byte and one late byte flipped, the breakage readers meet most.
void addWithDamage(Seeds &seeds, const QString &name, const QByteArray &bytes)
{
    seeds.append({name, bytes, true});
    const qsizetype n = bytes.size();
    for (const qsizetype cut : {n / 2, n - 1}) {
        if (cut > 0 && cut < n)
            seeds.append({name + QStringLiteral(".cut%1").arg(cut), bytes.left(cut), false});
    }
    for (const qsizetype at : {qsizetype(6), n * 3 / 4}) {
        if (at < n) {
            QByteArray flipped = bytes;
            flipped[at] = char(flipped[at] ^ 0xA5);
            seeds.append({name + QStringLiteral(".flip%1").arg(at), flipped, false});
        }
    }
}

// --- bitmaps -------------------------------------------------------------------

QByteArray bmp(const QImage &image, int bpp, quint32 header, BmpCompression compression = BmpCompression::None,
               bool topDown = false)
{
    BmpWriterOptions o;
    o.bitCount = bpp;
    o.headerSize = header;
    o.compression = compression;
    o.topDown = topDown;
    return writeBmp(image, o);
}

Seeds bitmaps()
{
    Seeds seeds;
    // Core (12), Windows (40, 52, 56, 108, 124) and OS/2 2.x (64) headers at every depth they hold.
    for (const quint32 header : {12u, 40u, 52u, 56u, 64u, 108u, 124u}) {
        for (const int bpp : {1, 4, 8, 16, 24, 32}) {
            if (header == 12 && (bpp == 16 || bpp == 32))
                continue;
            // A core header has no colour count: its table is always full.
            const QImage image = bpp <= 8 ? indexed(7, 5, 1 << (header == 12 ? bpp : qMin(bpp, 4))) : argb(7, 5, false);
            addWithDamage(seeds, QStringLiteral("h%1-%2bpp.bmp").arg(header).arg(bpp), bmp(image, bpp, header));
        }
    }
    for (const int bpp : {1, 4, 8, 24, 32})
        addWithDamage(
            seeds, QStringLiteral("top-down-%1bpp.bmp").arg(bpp),
            bmp(bpp <= 8 ? indexed(6, 4, 2 << (bpp / 4)) : argb(6, 4, false), bpp, 40, BmpCompression::None, true));
    for (const quint32 header : {40u, 64u, 124u}) {
        addWithDamage(seeds, QStringLiteral("rle8-h%1.bmp").arg(header),
                      bmp(indexed(13, 5, 200), 8, header, BmpCompression::Rle8));
        addWithDamage(seeds, QStringLiteral("rle4-h%1.bmp").arg(header),
                      bmp(indexed(13, 5, 16), 4, header, BmpCompression::Rle4));
    }
    // Bit fields: 5-6-5 and 5-5-5 at 16 bpp, byte channels and 10-10-10 at 32,
    // after a plain header and inside the later ones (with alpha from 56 bytes).
    const std::array<quint32, 4> fields[] = {{0xF800, 0x07E0, 0x001F, 0},
                                             {0x7C00, 0x03E0, 0x001F, 0x8000},
                                             {0xFF0000, 0xFF00, 0xFF, 0xFF000000},
                                             {0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000}};
    int i = 0;
    for (const auto &masks : fields) {
        const int bpp = masks[0] > 0xFFFF ? 32 : 16;
        for (const quint32 header : {40u, 56u, 124u}) {
            BmpWriterOptions o;
            o.bitCount = bpp;
            o.headerSize = header;
            o.bitfields = masks;
            addWithDamage(seeds, QStringLiteral("fields%1-h%2.bmp").arg(i).arg(header), writeBmp(argb(5, 3, true), o));
        }
        ++i;
    }
    // A short colour table, and the fields damage that only some readers refuse.
    BmpWriterOptions shortTable;
    shortTable.bitCount = 8;
    shortTable.clrUsed = 5;
    addWithDamage(seeds, QStringLiteral("short-table.bmp"), writeBmp(indexed(4, 4, 5), shortTable));
    QByteArray rleTopDown = bmp(indexed(8, 4, 16), 4, 40, BmpCompression::Rle4, true);
    seeds.append({QStringLiteral("rle-top-down.bmp"), rleTopDown, false});
    QByteArray farPixels = bmp(indexed(4, 4, 4), 8, 40);
    putLe32(farPixels, bmpfield::kPixelOffset, 0x7FFF0000);
    seeds.append({QStringLiteral("far-pixels.bmp"), farPixels, false});
    QByteArray tooManyColours = bmp(argb(3, 3, false), 24, 40);
    putLe32(tooManyColours, bmpfield::kClrUsed, 257);
    seeds.append({QStringLiteral("too-many-colours.bmp"), tooManyColours, false});
    return seeds;
}

// --- icons ---------------------------------------------------------------------

IcoWriterEntry iconEntry(int bpp, int side)
{
    if (bpp <= 8)
        return entry(indexed(side, side, 1 << qMin(bpp, 4)), bpp);
    return entry(argb(side, side, true), bpp);
}

Seeds icons()
{
    Seeds seeds;
    for (const int bpp : {1, 4, 8, 16, 24, 32})
        addWithDamage(seeds, QStringLiteral("%1bpp.ico").arg(bpp), writeIco({iconEntry(bpp, 5)}));
    IcoWriterEntry zeroAlpha = iconEntry(32, 4);
    zeroAlpha.zeroAlpha = true;
    IcoWriterEntry noMask = iconEntry(32, 4);
    noMask.omitMask = true;
    IcoWriterEntry fields565 = iconEntry(16, 3);
    fields565.bitfields = true;
    fields565.masks = {0xF800, 0x07E0, 0x001F};
    IcoWriterEntry fields32 = iconEntry(32, 3);
    fields32.bitfields = true;
    fields32.masks = {0xFF0000, 0xFF00, 0xFF};
    IcoWriterEntry shortTable = iconEntry(8, 4);
    shortTable.paletteEntries = 3;
    shortTable.clrUsed = 3;
    IcoWriterEntry png = iconEntry(32, 6);
    png.png = true;
    addWithDamage(seeds, QStringLiteral("alpha-kinds.ico"), writeIco({zeroAlpha, noMask}));
    addWithDamage(seeds, QStringLiteral("bitfields.ico"), writeIco({fields565, fields32}));
    addWithDamage(seeds, QStringLiteral("short-table.ico"), writeIco({shortTable}));
    addWithDamage(seeds, QStringLiteral("png.ico"), writeIco({png}));
    // Sizes stay small: each seed's bytes are paid on every run of its mutants.
    addWithDamage(seeds, QStringLiteral("sizes.ico"),
                  writeIco({iconEntry(4, 8), iconEntry(8, 16), iconEntry(32, 12), png, iconEntry(1, 16)}));
    IcoWriterEntry cursor = iconEntry(1, 8);
    cursor.hotspotX = 3;
    cursor.hotspotY = 5;
    addWithDamage(seeds, QStringLiteral("pointer.cur"), writeIco({cursor, iconEntry(32, 8)}, IcoKind::Cursor));
    return seeds;
}

// --- GIF and PNG ---------------------------------------------------------------

Seeds gifsAndPngs()
{
    Seeds seeds;
    QImage grey(9, 4, QImage::Format_Grayscale8);
    grey.fill(90);
    const QImage images[] = {argb(5, 4, false), indexed(16, 16, 200).convertToFormat(QImage::Format_RGB32),
                             QImage(indexed(3, 7, 2)).convertToFormat(QImage::Format_RGB32)};
    int i = 0;
    for (const QImage &image : images) {
        addWithDamage(seeds, QStringLiteral("picture%1.gif").arg(i), writeGif(image));
        seeds.append({QStringLiteral("no-trailer%1.gif").arg(i), writeGif(image, false), true});
        ++i;
    }
    const QImage pngs[] = {argb(5, 4, true), argb(5, 4, false).convertToFormat(QImage::Format_RGB32), indexed(6, 3, 4),
                           grey, QImage(indexed(8, 2, 2)).convertToFormat(QImage::Format_Mono)};
    i = 0;
    for (const QImage &image : pngs) {
        IcoWriterEntry e;
        e.image = image;
        e.png = true;
        addWithDamage(seeds, QStringLiteral("picture%1.png").arg(i++), icoEntryPayload(e));
    }
    return seeds;
}

// --- metafiles -----------------------------------------------------------------

using namespace wmf;

QImage sample(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    const QRgb colours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, colours[(x + 3 * y) % 4]);
    return image;
}

QPolygon star() { return QPolygon({QPoint(20, 2), QPoint(31, 36), QPoint(2, 15), QPoint(38, 15), QPoint(9, 36)}); }

void penAndBrush(WmfWriter &w, int penStyle, int brushStyle, int hatch = 0)
{
    w.createPen(penStyle, penStyle == PsInsideFrame ? 3 : 0, 0xFFFF0000)
        .createBrush(brushStyle, 0xFF0000FF, hatch)
        .selectObject(0)
        .selectObject(1);
}

// One metafile per group of records, each drawn on a placeable and on a plain header.
Seeds metafiles()
{
    const std::pair<const char *, std::function<void(WmfWriter &)>> bodies[] = {
        {"figures",
         [](WmfWriter &w) {
             penAndBrush(w, PsSolid, BsSolid);
             w.rectangle(1, 1, 10, 10).roundRect(4, 4, 28, 28, 6, 6).ellipse(2, 2, 30, 20);
             w.arc(0, 0, 20, 20, QPoint(20, 10), QPoint(10, 0)).pie(0, 0, 20, 20, QPoint(20, 10), QPoint(10, 0));
             w.chord(0, 0, 20, 20, QPoint(20, 10), QPoint(10, 0)).moveTo(0, 0).lineTo(30, 30);
             w.setPixel(3, 3, 0xFF00FF00);
         }},
        {"polygons",
         [](WmfWriter &w) {
             penAndBrush(w, PsDash, BsHatched, HsCross);
             w.polygon(star()).setPolyFillMode(Winding).polygon(star()).polyline(star());
             w.polyPolygon({star(), QPolygon({QPoint(0, 0), QPoint(5, 0), QPoint(5, 5)})});
         }},
        {"pens",
         [](WmfWriter &w) {
             int inset = 0;
             for (const int style :
                  {int(PsSolid), int(PsDash), int(PsDot), int(PsDashDot), int(PsDashDotDot), int(PsNull),
                   int(PsInsideFrame), PsEndCapSquare | PsJoinBevel, PsEndCapFlat | PsJoinMiter | PsDashDotDot}) {
                 w.createPen(style, style > PsInsideFrame ? 4 : 0, 0xFF800000).selectObject(0);
                 w.rectangle(inset, inset, 30 - inset, 20).lineTo(30, inset).deleteObject(0);
                 ++inset;
             }
         }},
        {"brushes",
         [](WmfWriter &w) {
             for (const int hatch : {HsHorizontal, HsVertical, HsFDiagonal, HsBDiagonal, HsCross, HsDiagCross})
                 w.createBrush(BsHatched, 0xFF008000, hatch).selectObject(0).ellipse(hatch, 0, 30, 30).deleteObject(0);
             w.createBrush(BsNull, 0, 0).selectObject(0).rectangle(0, 0, 9, 9).deleteObject(0);
             w.createPatternBrush(WmfWriter::dib(sample(8, 8), 24)).selectObject(0).patBlt(0, 0, 16, 16, 0x00F00021);
             w.createPatternBrush(WmfWriter::dib(sample(8, 8), 1)).selectObject(0).rectangle(0, 0, 20, 20);
             // Objects that only take a slot; the header counts those too.
             w.record(CreatePatternBrush, {0, 0, 0, 0}).record(CreateRegion, {0, 0, 0, 0, 0, 0}).createPalette();
             w.setObjectCount(6);
         }},
        {"raster-ops",
         [](WmfWriter &w) {
             penAndBrush(w, PsSolid, BsSolid);
             for (int rop = R2Black; rop <= R2White; ++rop)
                 w.setRop2(rop).rectangle(rop, rop, rop + 12, rop + 12);
             for (const std::uint32_t rop :
                  {0x00000042u, 0x00FF0062u, 0x00550009u, 0x005A0049u, 0x00F00021u, 0x00AA0029u, 0x00A000C9u})
                 w.patBlt(2, 2, 20, 20, rop);
         }},
        {"blits",
         [](WmfWriter &w) {
             int column = 0;
             for (const int bpp : {1, 4, 8, 16, 24, 32})
                 w.stretchDib(column++ * 4, 0, 8, 6, WmfWriter::dib(sample(4, 3), bpp), QRect(0, 0, 4, 3));
             w.dibBitBlt(8, 8, 4, 3, WmfWriter::dib(sample(4, 3), 8, true), QPoint(1, 1), WmfWriter::kSrcInvert);
             w.dibStretchBlt(0, 8, -4, 3, WmfWriter::dib(sample(4, 3), 32), QRect(0, 0, 4, 3));
             for (const std::uint32_t rop :
                  {0x00EE0086u, 0x008800C6u, 0x00330008u, 0x00440328u, 0x001100A6u, 0x00BB0226u, 0x00660046u})
                 w.dibStretchBlt(1, 1, 6, 6, WmfWriter::dib(sample(3, 3), 24), QRect(0, 0, 3, 3), rop);
             // Without a bitmap, as PATBLT; and palette indexes, which cannot be shown.
             w.record(DibBitBlt, {0x0042, 0x0000, 0, 0, 0, 5, 5, 1, 1});
             w.record(DibStretchBlt, {0x0042, 0x0000, 3, 3, 0, 0, 0, 5, 5, 1, 1});
             w.record(StretchDib, QList<int>{0x0020, 0x00CC, 1, 3, 4, 0, 0, 6, 8, 0, 0},
                      WmfWriter::dib(sample(4, 3), 24));
         }},
        {"text",
         [](WmfWriter &w) {
             w.createFont(-10, "DejaVu Sans").selectObject(0).createFont(12, "Nothing Such", 700, 450).selectObject(1);
             w.setBkMode(Opaque).setBkColor(0xFF00FF00).setTextColor(0xFFFF0000);
             for (const int align : {0, int(TaRight), int(TaCenter), int(TaBottom), int(TaBaseline), int(TaUpdateCp)})
                 w.setTextAlign(align).textOut(2, 12, "Hi\xE9");
             w.extTextOut(1, 9, EtoOpaque | EtoClipped, QRect(0, 0, 9, 9), "ab", {4, 4});
             w.extTextOut(1, 20, 0, std::nullopt, "odd");
             w.setBkMode(Transparent).textOut(0, 0, "");
         }},
        {"state",
         [](WmfWriter &w) {
             penAndBrush(w, PsSolid, BsSolid);
             for (int mode = MmText; mode <= MmAnisotropic; ++mode)
                 w.setMapMode(mode).rectangle(0, 0, 9 * mode, 9);
             w.setMapMode(MmAnisotropic).setWindowOrg(-2, -2).setWindowExt(10, 10).setViewportExt(20, 20);
             w.setViewportOrg(1, 1).record(OffsetWindowOrg, {1, 1}).record(OffsetViewportOrg, {-1, 2});
             w.record(ScaleWindowExt, {1, 2, 3, 2}).record(ScaleViewportExt, {2, 1, 2, 3});
             w.saveDc().intersectClipRect(0, 0, 8, 8).excludeClipRect(2, 2, 4, 4).record(OffsetClipRgn, {1, 1});
             w.rectangle(0, 0, 9, 9).record(SelectClipRegion, {0}).saveDc().restoreDc(-1).restoreDc(1);
             w.record(SetRelAbs, {1}).record(SetStretchBltMode, {3}).record(Escape, {15, 0});
             w.selectObject(7).deleteObject(7).rectangle(1, 1, 5, 5);
         }},
    };
    Seeds seeds;
    for (const auto &[name, body] : bodies) {
        WmfWriter placeable = WmfWriter::placeable(0, 0, 40, 40, 96);
        body(placeable);
        addWithDamage(seeds, QStringLiteral("%1-placeable.wmf").arg(QLatin1String(name)), placeable.data());
        WmfWriter plain = WmfWriter::plain();
        plain.setWindowExt(40, 40);
        body(plain);
        addWithDamage(seeds, QStringLiteral("%1-plain.wmf").arg(QLatin1String(name)), plain.data());
    }
    WmfWriter unended = WmfWriter::placeable(-10, -10, 30, 20, 1440);
    unended.corruptChecksum().omitEof().rectangle(0, 0, 5, 5);
    seeds.append({QStringLiteral("unended.wmf"), unended.data(), false}); // Open wants the end record
    WmfWriter tooFewSlots = WmfWriter::plain();
    tooFewSlots.setWindowExt(9, 9).setObjectCount(1);
    penAndBrush(tooFewSlots, PsSolid, BsSolid);
    tooFewSlots.rectangle(0, 0, 5, 5);
    seeds.append({QStringLiteral("too-few-slots.wmf"), tooFewSlots.data(), true});
    return seeds;
}

// --- executables ---------------------------------------------------------------

Seeds libraries()
{
    IcoWriterEntry png = iconEntry(32, 8);
    png.png = true;
    std::vector<ExeIconGroup> groups;
    groups.push_back({QStringLiteral("MAIN"), 0, {iconEntry(4, 16), iconEntry(8, 8)}});
    groups.push_back({QString(), 7, {iconEntry(32, 8), iconEntry(1, 16)}});
    groups.push_back({QString(), 9, {iconEntry(24, 12), iconEntry(16, 8)}});
    std::vector<ExeIconGroup> withPng = groups;
    withPng.push_back({QStringLiteral("PNG"), 0, {png}});
    Seeds seeds;
    addWithDamage(seeds, QStringLiteral("pe32.dll"), writePe(withPng).bytes);
    addWithDamage(seeds, QStringLiteral("pe32plus.dll"), writePe(withPng, true).bytes);
    addWithDamage(seeds, QStringLiteral("library.icl"), writeNe(groups).bytes);
    addWithDamage(seeds, QStringLiteral("unshifted.icl"), writeNe({groups[1]}, 0).bytes);
    return seeds;
}

} // namespace

QStringList fuzzSeedTargets()
{
    return {QStringLiteral("bitmap_info"),    QStringLiteral("ico_reader"),     QStringLiteral("ico_writer"),
            QStringLiteral("icon_resources"), QStringLiteral("picture_loader"), QStringLiteral("wmf_renderer")};
}

QList<FuzzSeed> fuzzSeedsFor(const QString &target)
{
    if (target == QLatin1String("bitmap_info"))
        return bitmaps();
    if (target == QLatin1String("ico_reader") || target == QLatin1String("ico_writer"))
        return icons();
    if (target == QLatin1String("icon_resources"))
        return libraries() + icons();
    if (target == QLatin1String("picture_loader"))
        return bitmaps() + icons() + gifsAndPngs() + metafiles();
    if (target == QLatin1String("wmf_renderer"))
        return metafiles();
    return {};
}
