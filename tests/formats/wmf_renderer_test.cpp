#include "formats/wmf_renderer.h"

#include "support/wmf_writer.h"

#include "support/fuzz_corpus.h"
#include "support/resident_memory.h"
#include <QDir>
#include <QFile>
#include <QFontDatabase>

#include <QtTest>

#include <functional>

namespace {

constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kGreen = qRgb(0, 255, 0);
constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kYellow = qRgb(255, 255, 0);
constexpr QRgb kMagenta = qRgb(255, 0, 255);
constexpr QRgb kCyan = qRgb(0, 255, 255);
constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kNone = 0;

// GDI values used by the tests.
enum : int {
    PsSolid = 0,
    PsNull = 5,
    BsSolid = 0,
    BsNull = 1,
    BsHatched = 2,
    HsCross = 4,
    Transparent = 1,
    Opaque = 2,
    Alternate = 1,
    Winding = 2,
    MmText = 1,
    MmIsotropic = 7,
    MmAnisotropic = 8,
    TaBaseline = 24,
    EtoOpaque = 2,
    EtoClipped = 4,
};

// A plain file whose first window extent makes a w x h image.
WmfWriter canvas(int w, int h)
{
    WmfWriter wmf = WmfWriter::plain();
    wmf.setWindowExt(w, h);
    return wmf;
}

// Selects a solid pen and brush of the given colours (null when 0 alpha).
void usePenAndBrush(WmfWriter &wmf, std::optional<QRgb> pen, std::optional<QRgb> brush)
{
    if (pen)
        wmf.createPen(PsSolid, 0, *pen);
    else
        wmf.createPen(PsNull, 0, 0);
    if (brush)
        wmf.createBrush(BsSolid, *brush);
    else
        wmf.createBrush(BsNull, 0);
}

QImage render(const QByteArray &data)
{
    const std::optional<QImage> image = renderWmf(data);
    if (!image)
        return {};
    return *image;
}

// An image the size of `image` where `box` holds `colour` and the rest is transparent.
QImage expectedBox(const QImage &image, const QRect &box, QRgb colour)
{
    QImage expected(image.size(), QImage::Format_ARGB32);
    expected.fill(Qt::transparent);
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            expected.setPixel(x, y, colour);
    return expected;
}

// Lists the first few differing pixels, so a failure says where.
QString differences(const QImage &actual, const QImage &expected)
{
    if (actual.size() != expected.size())
        return QStringLiteral("size %1x%2 vs %3x%4")
            .arg(actual.width())
            .arg(actual.height())
            .arg(expected.width())
            .arg(expected.height());
    QStringList out;
    for (int y = 0; y < actual.height() && out.size() < 8; ++y)
        for (int x = 0; x < actual.width() && out.size() < 8; ++x)
            if (actual.pixel(x, y) != expected.pixel(x, y))
                out << QStringLiteral("(%1,%2) %3 != %4")
                           .arg(x)
                           .arg(y)
                           .arg(actual.pixel(x, y), 8, 16, QChar('0'))
                           .arg(expected.pixel(x, y), 8, 16, QChar('0'));
    return out.join(QStringLiteral("; "));
}

#define COMPARE_IMAGES(actual, expected) QCOMPARE(differences(actual, expected), QString())

QRect opaqueBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

int countColour(const QImage &image, QRgb colour, const QRect &area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

// Five-pointed star drawn in one stroke, so its centre is wound twice.
QPolygon star() { return QPolygon({QPoint(20, 2), QPoint(31, 36), QPoint(2, 15), QPoint(38, 15), QPoint(9, 36)}); }

QImage sampleBitmap(int bpp)
{
    // Components are 0 or 255 so that every depth stores them exactly.
    const QList<QRgb> colours = bpp == 1 ? QList<QRgb>{kRed, kBlue}
                                         : QList<QRgb>{kRed, kGreen, kBlue, kYellow, kMagenta, kCyan, kWhite, kBlack};
    QImage image(4, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            image.setPixel(x, y, colours[(x + 3 * y) % colours.size()]);
    return image;
}

enum class Outcome { Invalid, StopsThere, SkipsRecord };

} // namespace

Q_DECLARE_METATYPE(Outcome)

class WmfRendererTest : public QObject
{
    Q_OBJECT

private slots:
    // --- natural size ---------------------------------------------------------
    void naturalSize_data();
    void naturalSize();
    void undrawnPixelsAreTransparent();

    // --- figures ----------------------------------------------------------------
    void rectangleLandsOnExactPixels_data();
    void rectangleLandsOnExactPixels();
    void widePenIsCentredOnTheEdge();
    void ellipseFitsItsBox();
    void roundRectKeepsCornersOpen();
    void polygonFillRules_data();
    void polygonFillRules();
    void polyPolygonFillRules_data();
    void polyPolygonFillRules();
    void linesLeaveOutTheirLastPixel();
    void pieChordAndArc();
    void setPixelSetsOnePixel();
    void hatchedBrushFollowsBackgroundMode();

    // --- bitmaps ----------------------------------------------------------------
    void dibBlitsExactPixels_data();
    void dibBlitsExactPixels();
    void dibStretchAndMirror();
    void dibSourceRectangleCountsFromBottom();
    void patternBrushTilesFromDeviceOrigin();
    void patBltFillsWithBrush();

    // --- state ------------------------------------------------------------------
    void mapping_data();
    void mapping();
    void placeableMapsBoundingBoxToImage();
    void saveDcRestoresState();
    void restoreDcToAbsoluteLevel();
    void objectTableReusesLowestFreeSlot();
    void objectTableFullSkipsCreation();
    void declaredObjectCountCostsNothing();
    void rasterOperations();
    void clipRectangles();
    void giantCoordinatesStayBounded();
    void recordCapRefusesTheFile();
    void paintedAreaCapRefusesTheFile();
    void heldPatternBitmapsAreBounded();

    // --- text -------------------------------------------------------------------
    void textIsDrawnInTextColour();
    void extTextOutOpaqueRectAndClipping();

    // --- damaged files ----------------------------------------------------------
    void corruptFiles_data();
    void corruptFiles();
    void truncationSweep_data();
    void truncationSweep();

    // --- fuzz seeds -------------------------------------------------------------
    void fuzzSeedsAreCurrent();
};

// --- natural size -------------------------------------------------------------

void WmfRendererTest::naturalSize_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QSize>("size");

    QTest::newRow("placeable inch square") << WmfWriter::placeable(0, 0, 1440, 1440, 1440).data() << QSize(96, 96);
    QTest::newRow("placeable 576 dpi") << WmfWriter::placeable(0, 0, 720, 360, 576).data() << QSize(120, 60);
    QTest::newRow("placeable offset box") << WmfWriter::placeable(100, 200, 1540, 1640, 1440).data() << QSize(96, 96);
    QTest::newRow("placeable reversed box") << WmfWriter::placeable(1440, 1440, 0, 0, 1440).data() << QSize(96, 96);
    QTest::newRow("placeable rounds to nearest") << WmfWriter::placeable(0, 0, 100, 50, 1000).data() << QSize(10, 5);
    QTest::newRow("placeable bad checksum")
        << WmfWriter::placeable(0, 0, 1440, 720, 1440).corruptChecksum().data() << QSize(96, 48);
    QTest::newRow("plain window ext") << canvas(40, 30).data() << QSize(40, 30);
    QTest::newRow("plain negative ext") << canvas(-40, -30).data() << QSize(40, 30);
    QTest::newRow("plain ext after other records") << WmfWriter::plain()
                                                          .setWindowOrg(5, 5)
                                                          .setMapMode(MmAnisotropic)
                                                          .setWindowExt(12, 7)
                                                          .setWindowExt(99, 99)
                                                          .data()
                                                   << QSize(12, 7);
    QTest::newRow("plain largest") << canvas(4096, 1).data() << QSize(4096, 1);
}

void WmfRendererTest::naturalSize()
{
    QFETCH(QByteArray, data);
    QFETCH(QSize, size);
    const std::optional<QImage> image = renderWmf(data);
    QVERIFY(image);
    QCOMPARE(image->size(), size);
    QCOMPARE(image->format(), QImage::Format_ARGB32);
}

void WmfRendererTest::undrawnPixelsAreTransparent()
{
    WmfWriter wmf = canvas(20, 10);
    usePenAndBrush(wmf, kRed, kBlue);
    wmf.rectangle(30, 30, 40, 40); // entirely outside
    const QImage image = render(wmf.data());
    QCOMPARE(image.size(), QSize(20, 10));
    QCOMPARE(opaqueBounds(image), QRect());
    QCOMPARE(image.pixel(0, 0), kNone);
}

// --- figures --------------------------------------------------------------------

void WmfRendererTest::rectangleLandsOnExactPixels_data()
{
    QTest::addColumn<bool>("pen");
    QTest::addColumn<bool>("brush");
    QTest::newRow("pen and brush") << true << true;
    QTest::newRow("null pen") << false << true;
    QTest::newRow("null brush") << true << false;
}

void WmfRendererTest::rectangleLandsOnExactPixels()
{
    QFETCH(bool, pen);
    QFETCH(bool, brush);
    WmfWriter wmf = canvas(16, 12);
    usePenAndBrush(wmf, pen ? std::optional(kRed) : std::nullopt, brush ? std::optional(kBlue) : std::nullopt);
    wmf.selectObject(0).selectObject(1).rectangle(2, 3, 10, 8);
    const QImage image = render(wmf.data());

    // GDI's figure covers x 2..9, y 3..7; without a pen the fill stops one short.
    QImage expected = expectedBox(image, QRect(), kNone);
    for (int y = 3; y <= 7; ++y) {
        for (int x = 2; x <= 9; ++x) {
            const bool edge = x == 2 || x == 9 || y == 3 || y == 7;
            if (pen && edge)
                expected.setPixel(x, y, kRed);
            else if (brush && (pen || (x <= 8 && y <= 6)))
                expected.setPixel(x, y, kBlue);
        }
    }
    COMPARE_IMAGES(image, expected);
}

void WmfRendererTest::widePenIsCentredOnTheEdge()
{
    WmfWriter wmf = canvas(16, 16);
    wmf.createPen(PsSolid, 3, kRed).createBrush(BsNull, 0).selectObject(0).selectObject(1).rectangle(4, 4, 12, 12);
    const QImage image = render(wmf.data());
    // The edge pixels are columns 4 and 11; a 3-pixel pen covers one either side.
    for (int x : {3, 4, 5, 10, 11, 12})
        QCOMPARE(image.pixel(x, 8), kRed);
    for (int x : {2, 6, 9, 13})
        QCOMPARE(image.pixel(x, 8), kNone);
}

void WmfRendererTest::ellipseFitsItsBox()
{
    WmfWriter wmf = canvas(17, 13);
    usePenAndBrush(wmf, kRed, kBlue);
    wmf.selectObject(0).selectObject(1).ellipse(2, 2, 15, 11);
    const QImage image = render(wmf.data());
    QCOMPARE(opaqueBounds(image), QRect(QPoint(2, 2), QPoint(14, 10)));
    for (QPoint edge : {QPoint(2, 6), QPoint(14, 6), QPoint(8, 2), QPoint(8, 10)})
        QCOMPARE(image.pixel(edge), kRed);
    QCOMPARE(image.pixel(8, 6), kBlue);
    for (QPoint corner : {QPoint(2, 2), QPoint(14, 2), QPoint(2, 10), QPoint(14, 10)})
        QCOMPARE(image.pixel(corner), kNone);
}

void WmfRendererTest::roundRectKeepsCornersOpen()
{
    WmfWriter wmf = canvas(24, 24);
    usePenAndBrush(wmf, kRed, kBlue);
    wmf.selectObject(0).selectObject(1).roundRect(2, 2, 22, 22, 10, 10);
    const QImage image = render(wmf.data());
    QCOMPARE(opaqueBounds(image), QRect(QPoint(2, 2), QPoint(21, 21)));
    QCOMPARE(image.pixel(2, 2), kNone);
    QCOMPARE(image.pixel(21, 21), kNone);
    QCOMPARE(image.pixel(12, 2), kRed); // straight part of the top edge
    QCOMPARE(image.pixel(2, 12), kRed);
    QCOMPARE(image.pixel(12, 12), kBlue);
}

void WmfRendererTest::polygonFillRules_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QRgb>("centre");
    QTest::newRow("alternate leaves the centre") << int(Alternate) << kNone;
    QTest::newRow("winding fills the centre") << int(Winding) << kBlue;
}

void WmfRendererTest::polygonFillRules()
{
    QFETCH(int, mode);
    QFETCH(QRgb, centre);
    WmfWriter wmf = canvas(40, 40);
    usePenAndBrush(wmf, std::nullopt, kBlue);
    wmf.selectObject(0).selectObject(1).setPolyFillMode(mode).polygon(star());
    const QImage image = render(wmf.data());
    QCOMPARE(image.pixel(20, 22), centre);
    QCOMPARE(image.pixel(20, 8), kBlue); // top point
    QCOMPARE(image.pixel(6, 16), kBlue); // left point
    QCOMPARE(image.pixel(2, 2), kNone);
}

void WmfRendererTest::polyPolygonFillRules_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QRgb>("hole");
    QTest::newRow("alternate cuts a hole") << int(Alternate) << kNone;
    QTest::newRow("winding fills the hole") << int(Winding) << kGreen;
}

void WmfRendererTest::polyPolygonFillRules()
{
    QFETCH(int, mode);
    QFETCH(QRgb, hole);
    WmfWriter wmf = canvas(24, 24);
    usePenAndBrush(wmf, std::nullopt, kGreen);
    const QPolygon outer({QPoint(2, 2), QPoint(22, 2), QPoint(22, 22), QPoint(2, 22)});
    const QPolygon inner({QPoint(8, 8), QPoint(16, 8), QPoint(16, 16), QPoint(8, 16)});
    wmf.selectObject(0).selectObject(1).setPolyFillMode(mode).polyPolygon({outer, inner});
    const QImage image = render(wmf.data());
    QCOMPARE(image.pixel(12, 12), hole);
    QCOMPARE(image.pixel(4, 4), kGreen);
    // Vertices are pixel corners: the fill covers 2..21.
    QCOMPARE(opaqueBounds(image), QRect(QPoint(2, 2), QPoint(21, 21)));
}

void WmfRendererTest::linesLeaveOutTheirLastPixel()
{
    WmfWriter wmf = canvas(20, 20);
    wmf.createPen(PsSolid, 0, kRed).selectObject(0);
    wmf.moveTo(2, 5).lineTo(10, 5).lineTo(10, 12);
    wmf.polyline(QPolygon({QPoint(2, 15), QPoint(8, 15), QPoint(8, 19)}));
    const QImage image = render(wmf.data());

    QImage expected = expectedBox(image, QRect(QPoint(2, 5), QPoint(9, 5)), kRed);
    for (int y = 5; y <= 11; ++y)
        expected.setPixel(10, y, kRed);
    for (int x = 2; x <= 7; ++x)
        expected.setPixel(x, 15, kRed);
    for (int y = 15; y <= 18; ++y)
        expected.setPixel(8, y, kRed);
    COMPARE_IMAGES(image, expected);
}

void WmfRendererTest::pieChordAndArc()
{
    // A circle in box 0..21 centred on pixel 10; radials to the right and the
    // top give its top-right quarter, drawn counter-clockwise.
    auto draw = [](auto shape) {
        WmfWriter wmf = canvas(21, 21);
        usePenAndBrush(wmf, kRed, kBlue);
        wmf.selectObject(0).selectObject(1);
        (wmf.*shape)(0, 0, 21, 21, QPoint(21, 10), QPoint(10, 0));
        return render(wmf.data());
    };
    const QImage pie = draw(&WmfWriter::pie);
    QCOMPARE(pie.pixel(17, 4), kBlue); // beyond the chord
    QCOMPARE(pie.pixel(14, 8), kBlue); // inside the pie, short of the chord
    QCOMPARE(pie.pixel(6, 6), kNone);
    QCOMPARE(pie.pixel(14, 14), kNone);
    QCOMPARE(pie.pixel(15, 10), kRed); // radius along the centre row
    QVERIFY(opaqueBounds(pie).left() >= 10);
    QVERIFY(opaqueBounds(pie).bottom() <= 11);

    const QImage chord = draw(&WmfWriter::chord);
    QCOMPARE(chord.pixel(17, 4), kBlue);
    QCOMPARE(chord.pixel(14, 8), kNone);
    QCOMPARE(chord.pixel(6, 6), kNone);

    const QImage arc = draw(&WmfWriter::arc);
    QCOMPARE(countColour(arc, kBlue, arc.rect()), 0);
    QVERIFY(countColour(arc, kRed, QRect(10, 0, 11, 11)) > 10);
    QCOMPARE(countColour(arc, kRed, QRect(0, 0, 9, 21)), 0);
    QCOMPARE(countColour(arc, kRed, QRect(0, 12, 21, 9)), 0);
}

void WmfRendererTest::setPixelSetsOnePixel()
{
    WmfWriter wmf = canvas(8, 8);
    wmf.setWindowOrg(10, 10).setPixel(13, 14, qRgb(12, 34, 56));
    const QImage image = render(wmf.data());
    COMPARE_IMAGES(image, expectedBox(image, QRect(3, 4, 1, 1), qRgb(12, 34, 56)));
}

void WmfRendererTest::hatchedBrushFollowsBackgroundMode()
{
    auto draw = [](int bkMode) {
        WmfWriter wmf = canvas(16, 16);
        wmf.createPen(PsNull, 0, 0).createBrush(BsHatched, kRed, HsCross).selectObject(0).selectObject(1);
        wmf.setBkColor(kGreen).setBkMode(bkMode).rectangle(0, 0, 17, 17);
        return render(wmf.data());
    };
    const QRect area(0, 0, 16, 16);
    const QImage opaque = draw(Opaque);
    const int red = countColour(opaque, kRed, area);
    QVERIFY(red > 16 && red < 128);
    QCOMPARE(red + countColour(opaque, kGreen, area), 256);

    const QImage transparent = draw(Transparent);
    QCOMPARE(countColour(transparent, kRed, area), red);
    QCOMPARE(countColour(transparent, kNone, area), 256 - red);
}

// --- bitmaps ----------------------------------------------------------------------

void WmfRendererTest::dibBlitsExactPixels_data()
{
    QTest::addColumn<int>("bpp");
    QTest::addColumn<bool>("topDown");
    QTest::addColumn<int>("function");
    for (int bpp : {1, 4, 8, 16, 24, 32}) {
        for (bool topDown : {false, true}) {
            for (int function : {0x0F43, 0x0B41, 0x0940}) {
                const QByteArray name = QByteArray::number(bpp) + " bpp " + (topDown ? "top-down " : "bottom-up ")
                    + QByteArray::number(function, 16);
                QTest::newRow(name.constData()) << bpp << topDown << function;
            }
        }
    }
}

void WmfRendererTest::dibBlitsExactPixels()
{
    QFETCH(int, bpp);
    QFETCH(bool, topDown);
    QFETCH(int, function);
    const QImage bitmap = sampleBitmap(bpp);
    const QByteArray dib = WmfWriter::dib(bitmap, bpp, topDown);
    QVERIFY(!dib.isEmpty());
    WmfWriter wmf = canvas(12, 12);
    if (function == 0x0F43)
        wmf.stretchDib(5, 6, 4, 3, dib, QRect(0, 0, 4, 3));
    else if (function == 0x0B41)
        wmf.dibStretchBlt(5, 6, 4, 3, dib, QRect(0, 0, 4, 3));
    else
        wmf.dibBitBlt(5, 6, 4, 3, dib);
    const QImage image = render(wmf.data());

    QImage expected = expectedBox(image, QRect(), kNone);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            expected.setPixel(5 + x, 6 + y, bitmap.pixel(x, y));
    COMPARE_IMAGES(image, expected);
}

void WmfRendererTest::dibStretchAndMirror()
{
    QImage bitmap(2, 2, QImage::Format_RGB32);
    bitmap.setPixel(0, 0, kRed);
    bitmap.setPixel(1, 0, kGreen);
    bitmap.setPixel(0, 1, kBlue);
    bitmap.setPixel(1, 1, kYellow);
    const QByteArray dib = WmfWriter::dib(bitmap, 24);

    WmfWriter doubled = canvas(8, 8);
    doubled.stretchDib(2, 2, 4, 4, dib, QRect(0, 0, 2, 2));
    QImage image = render(doubled.data());
    QImage expected = expectedBox(image, QRect(2, 2, 2, 2), kRed);
    for (QPoint p : {QPoint(4, 2), QPoint(5, 2), QPoint(4, 3), QPoint(5, 3)})
        expected.setPixel(p, kGreen);
    for (QPoint p : {QPoint(2, 4), QPoint(3, 4), QPoint(2, 5), QPoint(3, 5)})
        expected.setPixel(p, kBlue);
    for (QPoint p : {QPoint(4, 4), QPoint(5, 4), QPoint(4, 5), QPoint(5, 5)})
        expected.setPixel(p, kYellow);
    COMPARE_IMAGES(image, expected);

    // A negative destination width mirrors the bitmap into x 2..3.
    WmfWriter mirrored = canvas(8, 8);
    mirrored.stretchDib(4, 2, -2, 2, dib, QRect(0, 0, 2, 2));
    image = render(mirrored.data());
    expected = expectedBox(image, QRect(), kNone);
    expected.setPixel(2, 2, kGreen);
    expected.setPixel(3, 2, kRed);
    expected.setPixel(2, 3, kYellow);
    expected.setPixel(3, 3, kBlue);
    COMPARE_IMAGES(image, expected);
}

void WmfRendererTest::dibSourceRectangleCountsFromBottom()
{
    // Of a bottom-up 1x4 bitmap, source y 0 height 2 is its lower half.
    QImage bitmap(1, 4, QImage::Format_RGB32);
    const QRgb rows[] = {kRed, kGreen, kBlue, kYellow};
    for (int y = 0; y < 4; ++y)
        bitmap.setPixel(0, y, rows[y]);
    WmfWriter wmf = canvas(4, 4);
    wmf.stretchDib(1, 1, 1, 2, WmfWriter::dib(bitmap, 24), QRect(0, 0, 1, 2));
    const QImage image = render(wmf.data());
    QImage expected = expectedBox(image, QRect(1, 1, 1, 1), kBlue);
    expected.setPixel(1, 2, kYellow);
    COMPARE_IMAGES(image, expected);
}

void WmfRendererTest::patternBrushTilesFromDeviceOrigin()
{
    QImage tile(2, 2, QImage::Format_RGB32);
    tile.setPixel(0, 0, kRed);
    tile.setPixel(1, 1, kRed);
    tile.setPixel(1, 0, kBlue);
    tile.setPixel(0, 1, kBlue);
    WmfWriter wmf = canvas(8, 8);
    wmf.createPen(PsNull, 0, 0).createPatternBrush(WmfWriter::dib(tile, 8)).selectObject(0).selectObject(1);
    wmf.rectangle(1, 1, 7, 7);
    const QImage image = render(wmf.data());
    QImage expected = expectedBox(image, QRect(), kNone);
    for (int y = 1; y <= 5; ++y)
        for (int x = 1; x <= 5; ++x)
            expected.setPixel(x, y, (x + y) % 2 ? kBlue : kRed);
    COMPARE_IMAGES(image, expected);
}

void WmfRendererTest::patBltFillsWithBrush()
{
    WmfWriter wmf = canvas(10, 10);
    wmf.createBrush(BsSolid, kGreen).selectObject(0).patBlt(1, 2, 3, 4, WmfWriter::kPatCopy);
    wmf.patBlt(6, 6, 2, 2, WmfWriter::kBlackness);
    const QImage image = render(wmf.data());
    QImage expected = expectedBox(image, QRect(1, 2, 3, 4), kGreen);
    for (int y = 6; y < 8; ++y)
        for (int x = 6; x < 8; ++x)
            expected.setPixel(x, y, kBlack);
    COMPARE_IMAGES(image, expected);
}

// --- state --------------------------------------------------------------------------

void WmfRendererTest::mapping_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QRect>("box");

    // Each file draws a solid red rectangle; box is where it must land.
    auto file = [](const std::function<void(WmfWriter &)> &setup, QRect logical) {
        WmfWriter wmf = canvas(20, 20);
        usePenAndBrush(wmf, kRed, kRed);
        wmf.selectObject(0).selectObject(1);
        setup(wmf);
        wmf.rectangle(logical.left(), logical.top(), logical.right() + 1, logical.bottom() + 1);
        return wmf.data();
    };
    QTest::newRow("identity") << file([](WmfWriter &) {}, QRect(3, 4, 5, 6)) << QRect(3, 4, 5, 6);
    QTest::newRow("window org") << file([](WmfWriter &w) { w.setWindowOrg(5, 5); }, QRect(6, 6, 4, 4))
                                << QRect(1, 1, 4, 4);
    QTest::newRow("viewport org") << file([](WmfWriter &w) { w.setViewportOrg(3, 1); }, QRect(0, 0, 4, 4))
                                  << QRect(3, 1, 4, 4);
    QTest::newRow("anisotropic doubles") << file(
        [](WmfWriter &w) { w.setMapMode(MmAnisotropic).setWindowExt(10, 10).setViewportExt(20, 20); },
        QRect(1, 1, 3, 3)) << QRect(2, 2, 6, 6);
    QTest::newRow("anisotropic x only") << file([](WmfWriter &w) { w.setWindowExt(10, 20).setViewportExt(20, 20); },
                                                QRect(1, 1, 3, 3))
                                        << QRect(2, 1, 6, 3);
    QTest::newRow("isotropic keeps aspect") << file(
        [](WmfWriter &w) { w.setMapMode(MmIsotropic).setWindowExt(10, 20).setViewportExt(20, 20); }, QRect(0, 0, 4, 4))
                                            << QRect(0, 0, 4, 4);
    QTest::newRow("text ignores extents") << file(
        [](WmfWriter &w) { w.setMapMode(MmText).setWindowExt(10, 10).setViewportExt(20, 20); }, QRect(1, 1, 3, 3))
                                          << QRect(1, 1, 3, 3);
    QTest::newRow("y axis up") << file([](WmfWriter &w) { w.setWindowExt(20, -20).setWindowOrg(0, 20); },
                                       QRect(2, 14, 4, 4))
                               << QRect(2, 2, 4, 4);
}

void WmfRendererTest::mapping()
{
    QFETCH(QByteArray, data);
    QFETCH(QRect, box);
    const QImage image = render(data);
    COMPARE_IMAGES(image, expectedBox(image, box, kRed));
}

void WmfRendererTest::placeableMapsBoundingBoxToImage()
{
    for (int origin : {0, 1000, -3000}) {
        WmfWriter wmf = WmfWriter::placeable(origin, origin, origin + 1440, origin + 1440, 1440);
        usePenAndBrush(wmf, kRed, kRed);
        wmf.selectObject(0).selectObject(1).rectangle(origin, origin, origin + 720, origin + 360);
        const QImage image = render(wmf.data());
        COMPARE_IMAGES(image, expectedBox(image, QRect(0, 0, 48, 24), kRed));
    }
}

void WmfRendererTest::saveDcRestoresState()
{
    WmfWriter wmf = canvas(24, 12);
    usePenAndBrush(wmf, kRed, kBlue);     // 0, 1
    usePenAndBrush(wmf, kGreen, kYellow); // 2, 3
    wmf.selectObject(0).selectObject(1).saveDc();
    wmf.selectObject(2).selectObject(3).setWindowOrg(-10, 0);
    wmf.restoreDc(-1).rectangle(2, 2, 8, 8);
    const QImage image = render(wmf.data());
    QCOMPARE(opaqueBounds(image), QRect(QPoint(2, 2), QPoint(7, 7)));
    QCOMPARE(image.pixel(2, 2), kRed);
    QCOMPARE(image.pixel(4, 4), kBlue);
}

void WmfRendererTest::restoreDcToAbsoluteLevel()
{
    WmfWriter wmf = canvas(12, 12);
    usePenAndBrush(wmf, kRed, kRed);              // 0, 1
    usePenAndBrush(wmf, kBlue, kBlue);            // 2, 3
    usePenAndBrush(wmf, kGreen, kGreen);          // 4, 5
    wmf.selectObject(0).selectObject(1).saveDc(); // level 1: red
    wmf.selectObject(2).selectObject(3).saveDc(); // level 2: blue
    wmf.selectObject(4).selectObject(5).saveDc(); // level 3: green
    wmf.restoreDc(1).rectangle(0, 0, 4, 4);       // back to red, levels gone
    wmf.restoreDc(-1).rectangle(5, 5, 9, 9);      // nothing saved: still red
    const QImage image = render(wmf.data());
    QCOMPARE(image.pixel(1, 1), kRed);
    QCOMPARE(image.pixel(6, 6), kRed);
}

void WmfRendererTest::objectTableReusesLowestFreeSlot()
{
    WmfWriter wmf = canvas(12, 4);
    wmf.createPen(PsNull, 0, 0).createBrush(BsSolid, kRed).createBrush(BsSolid, kBlue).createPalette();
    wmf.deleteObject(1).createBrush(BsSolid, kGreen); // takes slot 1 again
    wmf.selectObject(0).selectObject(1).rectangle(0, 0, 4, 4);
    wmf.selectObject(2).rectangle(4, 0, 8, 4);
    wmf.selectObject(3).rectangle(8, 0, 12, 4); // a palette: the blue brush stays
    const QImage image = render(wmf.data());
    QCOMPARE(image.pixel(1, 1), kGreen);
    QCOMPARE(image.pixel(5, 1), kBlue);
    QCOMPARE(image.pixel(9, 1), kBlue);
}

void WmfRendererTest::declaredObjectCountCostsNothing()
{
    // The header's object count is a limit, not storage to set up: the most
    // it can say (about 3 MiB of empty slots) costs nothing until objects exist.
    auto file = [](int count) {
        WmfWriter wmf = canvas(12, 4);
        wmf.setObjectCount(count).createBrush(BsSolid, kRed).selectObject(0).rectangle(0, 0, 4, 4);
        return wmf.data();
    };
    QCOMPARE(render(file(1)).pixel(1, 1), kRed); // the painter's first use sets up more than this measures
    QImage image;
    const long grewKiB = peakResidentGrowthKiB([&] { image = render(file(65535)); });
    if (grewKiB < 0)
        QSKIP("peak resident size not readable");
    QCOMPARE(image.pixel(1, 1), kRed);
    QVERIFY2(grewKiB < 1024, qPrintable(QString::number(grewKiB)));
}

void WmfRendererTest::objectTableFullSkipsCreation()
{
    WmfWriter wmf = canvas(12, 4);
    wmf.setObjectCount(2).createPen(PsNull, 0, 0).createBrush(BsSolid, kRed);
    wmf.createBrush(BsSolid, kBlue); // no room
    wmf.selectObject(0).selectObject(1).rectangle(0, 0, 4, 4);
    wmf.selectObject(2).rectangle(4, 0, 8, 4); // out of range: red stays
    wmf.deleteObject(1).createBrush(BsSolid, kGreen).selectObject(1).rectangle(8, 0, 12, 4);
    const QImage image = render(wmf.data());
    QCOMPARE(image.pixel(1, 1), kRed);
    QCOMPARE(image.pixel(5, 1), kRed);
    QCOMPARE(image.pixel(9, 1), kGreen);
}

void WmfRendererTest::rasterOperations()
{
    // A blue square at 0..7, then a red one at 4..11 drawn under each ROP2.
    auto draw = [](int rop2) {
        WmfWriter wmf = canvas(16, 8);
        usePenAndBrush(wmf, kBlue, kBlue);
        usePenAndBrush(wmf, kRed, kRed);
        wmf.selectObject(0).selectObject(1).rectangle(0, 0, 8, 8);
        wmf.selectObject(2).selectObject(3).setRop2(rop2).rectangle(4, 0, 12, 8);
        return render(wmf.data());
    };
    struct Case
    {
        int rop2;
        QRgb overBlue;  // at (5, 3)
        QRgb overEmpty; // at (9, 3): undrawn pixels read as black
    };
    const Case cases[] = {
        {13, kRed, kRed},     // R2_COPYPEN
        {11, kBlue, kNone},   // R2_NOP
        {7, kMagenta, kRed},  // R2_XORPEN
        {6, kYellow, kWhite}, // R2_NOT
        {1, kBlack, kBlack},  // R2_BLACK
        {16, kWhite, kWhite}, // R2_WHITE
        {9, kBlack, kBlack},  // R2_MASKPEN
        {15, kMagenta, kRed}, // R2_MERGEPEN
        {4, kCyan, kCyan},    // R2_NOTCOPYPEN
    };
    for (const Case &c : cases) {
        const QImage image = draw(c.rop2);
        QVERIFY2(image.pixel(5, 3) == c.overBlue, qPrintable(QString::number(c.rop2)));
        QVERIFY2(image.pixel(9, 3) == c.overEmpty, qPrintable(QString::number(c.rop2)));
        QCOMPARE(image.pixel(1, 3), kBlue);
        QCOMPARE(image.pixel(14, 3), kNone);
    }
}

void WmfRendererTest::clipRectangles()
{
    WmfWriter wmf = canvas(12, 12);
    usePenAndBrush(wmf, kRed, kRed);
    usePenAndBrush(wmf, kBlue, kBlue);
    wmf.selectObject(0).selectObject(1).saveDc();
    wmf.intersectClipRect(2, 2, 10, 10).excludeClipRect(4, 4, 6, 6).rectangle(0, 0, 12, 12);
    wmf.restoreDc(-1).selectObject(2).selectObject(3).rectangle(0, 10, 12, 12); // clip lifted again
    const QImage image = render(wmf.data());
    QImage expected = expectedBox(image, QRect(2, 2, 8, 8), kRed);
    for (int y = 4; y < 6; ++y)
        for (int x = 4; x < 6; ++x)
            expected.setPixel(x, y, kNone);
    for (int y = 10; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            expected.setPixel(x, y, kBlue);
    COMPARE_IMAGES(image, expected);
}

void WmfRendererTest::giantCoordinatesStayBounded()
{
    WmfWriter wmf = canvas(16, 16);
    usePenAndBrush(wmf, kRed, kRed);
    wmf.selectObject(0).selectObject(1);
    wmf.setMapMode(MmAnisotropic).setWindowExt(1, 1).setViewportExt(32767, 32767);
    wmf.rectangle(-32768, -32768, 32767, 32767);
    wmf.polygon(QPolygon({QPoint(-32768, -32768), QPoint(32767, -32768), QPoint(0, 32767)}));
    wmf.ellipse(-32768, -32768, 32767, 32767);
    QImage image = render(wmf.data());
    COMPARE_IMAGES(image, expectedBox(image, image.rect(), kRed));

    WmfWriter widePen = canvas(16, 16);
    widePen.createPen(PsSolid, 32767, kGreen).selectObject(0).moveTo(-32768, 0).lineTo(32767, 20);
    image = render(widePen.data());
    COMPARE_IMAGES(image, expectedBox(image, image.rect(), kGreen));
}

void WmfRendererTest::recordCapRefusesTheFile()
{
    // Window ext, pen, brush, two selects and the rectangle are six records.
    auto draw = [](int fillers) {
        WmfWriter wmf = canvas(4, 4);
        usePenAndBrush(wmf, kRed, kRed);
        wmf.selectObject(0).selectObject(1);
        for (int i = 0; i < fillers; ++i)
            wmf.setBkMode(Opaque);
        wmf.rectangle(0, 0, 4, 4);
        return renderWmf(wmf.data());
    };
    const std::optional<QImage> atTheCap = draw(100000 - 6);
    QVERIFY(atTheCap);
    QCOMPARE(atTheCap->pixel(1, 1), kRed);
    QVERIFY(!draw(100000 - 5));
}

void WmfRendererTest::paintedAreaCapRefusesTheFile()
{
    // Each fill covers all 4096 x 4096 pixels; well before the hundredth the
    // budget of painted pixels is spent.
    WmfWriter wmf = canvas(4096, 4096);
    usePenAndBrush(wmf, std::nullopt, kRed);
    wmf.selectObject(0).selectObject(1);
    for (int i = 0; i < 99; ++i)
        wmf.rectangle(0, 0, 4097, 4097);
    QVERIFY(!renderWmf(wmf.data()));
}

void WmfRendererTest::heldPatternBitmapsAreBounded()
{
    // A 2048 x 2048 pattern is 16 MiB decoded, from half a megabyte of file.
    QImage square(2048, 2048, QImage::Format_RGB32);
    square.fill(kGreen);
    const QByteArray pattern = WmfWriter::dib(square, 1);
    auto draw = [&](int kept, bool deleteEach, bool saveEach) {
        WmfWriter wmf = canvas(8, 8);
        wmf.createPen(PsNull, 0, 0).selectObject(0);
        for (int i = 0; i < kept; ++i) {
            wmf.createPatternBrush(pattern);
            if (saveEach)
                wmf.selectObject(1).saveDc();
            if (deleteEach)
                wmf.deleteObject(1);
        }
        return renderWmf(wmf.data());
    };
    QVERIFY(draw(4, false, false));
    QVERIFY(!draw(5, false, false));
    // Deleted patterns give their room back, unless a saved state still holds them.
    QVERIFY(draw(12, true, false));
    QVERIFY(!draw(12, true, true));
}

// --- text -----------------------------------------------------------------------

void WmfRendererTest::textIsDrawnInTextColour()
{
    if (QFontDatabase::families().isEmpty())
        QSKIP("no fonts installed");
    auto draw = [](int align) {
        WmfWriter wmf = canvas(80, 50);
        wmf.createFont(-16, "DejaVu Sans").selectObject(0).setBkMode(Transparent).setTextColor(kBlue);
        wmf.setTextAlign(align).textOut(10, 20, "Hxy");
        return render(wmf.data());
    };
    const QImage top = draw(0);
    const QRect topInk = opaqueBounds(top);
    QVERIFY(countColour(top, kBlue, top.rect()) > 20);
    QCOMPARE(countColour(top, kBlue, top.rect()), countColour(top, kBlue, topInk));
    // Top alignment hangs the text below the reference point; 16 px high.
    QVERIFY(topInk.left() >= 10 && topInk.left() <= 12);
    QVERIFY(topInk.top() >= 20 && topInk.top() <= 24);
    QVERIFY(topInk.bottom() <= 20 + 20);

    // Baseline alignment puts the capital's foot on the reference line.
    const QImage baseline = draw(TaBaseline);
    const QRect baselineInk = opaqueBounds(baseline);
    QVERIFY(baselineInk.top() < 20 && baselineInk.top() >= 20 - 16);
    QVERIFY(countColour(baseline, kBlue, QRect(10, 10, 6, 10)) > 0);
}

void WmfRendererTest::extTextOutOpaqueRectAndClipping()
{
    WmfWriter opaque = canvas(20, 20);
    opaque.setBkColor(kGreen).extTextOut(0, 0, EtoOpaque, QRect(3, 4, 6, 5), "");
    QImage image = render(opaque.data());
    COMPARE_IMAGES(image, expectedBox(image, QRect(3, 4, 6, 5), kGreen));

    if (QFontDatabase::families().isEmpty())
        QSKIP("no fonts installed");
    WmfWriter clipped = canvas(60, 30);
    clipped.createFont(-24, "DejaVu Sans").selectObject(0).setBkMode(Transparent).setTextColor(kRed);
    clipped.extTextOut(2, 2, EtoClipped, QRect(4, 4, 10, 10), "WWWW", {20, 20, 20, 20});
    image = render(clipped.data());
    QVERIFY(countColour(image, kRed, image.rect()) > 0);
    QVERIFY(QRect(4, 4, 10, 10).contains(opaqueBounds(image)));
}

// --- damaged files ----------------------------------------------------------------

void WmfRendererTest::corruptFiles_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<Outcome>("outcome");

    const QByteArray placeable = WmfWriter::placeable(0, 0, 1440, 1440, 1440).data();
    const QByteArray plain = canvas(16, 16).data();
    auto patched = [](QByteArray d, int at, quint16 value) {
        d[at] = char(value & 0xFF);
        d[at + 1] = char(value >> 8);
        return d;
    };

    QTest::newRow("empty") << QByteArray() << Outcome::Invalid;
    QTest::newRow("three bytes") << QByteArray("\xD7\xCD\xC6", 3) << Outcome::Invalid;
    QTest::newRow("not a metafile") << QByteArray("hello, this is no metafile at all") << Outcome::Invalid;
    QTest::newRow("placeable key only") << placeable.left(4) << Outcome::Invalid;
    QTest::newRow("placeable header only") << placeable.left(22) << Outcome::Invalid;
    QTest::newRow("placeable cut in standard header") << placeable.left(30) << Outcome::Invalid;
    QTest::newRow("plain header cut") << plain.left(10) << Outcome::Invalid;
    QTest::newRow("plain header without records") << plain.left(18) << Outcome::Invalid;
    QTest::newRow("bad type") << patched(plain, 0, 3) << Outcome::Invalid;
    QTest::newRow("bad header size") << patched(plain, 2, 10) << Outcome::Invalid;
    QTest::newRow("bad version") << patched(plain, 4, 0x0200) << Outcome::Invalid;
    QTest::newRow("placeable bad standard header") << patched(placeable, 22, 0) << Outcome::Invalid;
    QTest::newRow("placeable zero inch") << WmfWriter::placeable(0, 0, 1440, 1440, 0).data() << Outcome::Invalid;
    QTest::newRow("placeable empty box") << WmfWriter::placeable(0, 0, 0, 1440, 1440).data() << Outcome::Invalid;
    QTest::newRow("placeable absurd size") << WmfWriter::placeable(-32768, 0, 32767, 10, 1).data() << Outcome::Invalid;
    QTest::newRow("placeable just too big") << WmfWriter::placeable(0, 0, 4097, 10, 96).data() << Outcome::Invalid;
    QTest::newRow("plain no window ext") << WmfWriter::plain().setWindowOrg(1, 1).rectangle(0, 0, 5, 5).data()
                                         << Outcome::Invalid;
    QTest::newRow("plain zero window ext") << canvas(0, 16).data() << Outcome::Invalid;
    QTest::newRow("plain huge window ext") << canvas(5000, 10).data() << Outcome::Invalid;
    QTest::newRow("plain window ext record short")
        << WmfWriter::plain().record(0x020C, {16}).data() << Outcome::Invalid;
    QTest::newRow("plain window ext after broken record")
        << WmfWriter::plain().rawRecord(0, 0x0201, {}).setWindowExt(16, 16).data() << Outcome::Invalid;

    // The rest have a valid header and draw a red square at 0..2 before the
    // damage and a blue one at 8..11 after it.
    auto framed = [](const std::function<void(WmfWriter &)> &damage) {
        WmfWriter wmf = canvas(16, 16);
        wmf.createBrush(BsSolid, kRed).createBrush(BsSolid, kBlue).createPen(PsNull, 0, 0);
        wmf.selectObject(0).selectObject(2).rectangle(0, 0, 4, 4);
        damage(wmf);
        wmf.selectObject(1).rectangle(8, 8, 12, 12);
        return wmf.data();
    };
    auto stops = [&](const char *name, const std::function<void(WmfWriter &)> &damage) {
        QTest::newRow(name) << framed(damage) << Outcome::StopsThere;
    };
    auto skips = [&](const char *name, const std::function<void(WmfWriter &)> &damage) {
        QTest::newRow(name) << framed(damage) << Outcome::SkipsRecord;
    };
    auto stretchDib = [](WmfWriter &w, const QByteArray &dib) { w.stretchDib(0, 0, 16, 16, dib, QRect(0, 0, 2, 2)); };

    stops("record size 0", [](WmfWriter &w) { w.rawRecord(0, 0x041B, QByteArray(8, '\1')); });
    stops("record size 1", [](WmfWriter &w) { w.rawRecord(1, 0x041B, QByteArray(8, '\1')); });
    stops("record size 2", [](WmfWriter &w) { w.rawRecord(2, 0x041B, QByteArray(8, '\1')); });
    stops("record size past end", [](WmfWriter &w) { w.rawRecord(1000, 0x041B, QByteArray(8, '\1')); });
    stops("record size max", [](WmfWriter &w) { w.rawRecord(0xFFFFFFFF, 0x041B, QByteArray(8, '\1')); });
    stops("eof in the middle", [](WmfWriter &w) { w.record(0x0000, {}); });

    skips("no eof record", [](WmfWriter &w) { w.omitEof(); });
    skips("unknown function", [](WmfWriter &w) { w.record(0x7777, {1, 2, 3}); });
    skips("select index out of range", [](WmfWriter &w) { w.selectObject(40).selectObject(-1); });
    skips("select deleted slot", [](WmfWriter &w) { w.createPen(PsSolid, 5, kGreen).deleteObject(3).selectObject(3); });
    skips("delete index out of range", [](WmfWriter &w) { w.deleteObject(999).deleteObject(-1); });
    skips("select without index", [](WmfWriter &w) { w.record(0x012D, {}); });
    skips("create pen short", [](WmfWriter &w) { w.record(0x02FA, {0, 1}).selectObject(3); });
    skips("create font short", [](WmfWriter &w) { w.record(0x02FB, {-12, 0}).selectObject(3); });
    skips("rectangle short", [](WmfWriter &w) { w.record(0x041B, {1, 2}); });
    skips("lineto without params", [](WmfWriter &w) { w.record(0x0213, {}); });
    skips("polygon count past record end", [](WmfWriter &w) { w.record(0x0324, {100, 1, 1, 5, 5}); });
    skips("polygon negative count", [](WmfWriter &w) { w.record(0x0324, {-3, 1, 1, 5, 5, 1, 5}); });
    skips("polygon without count", [](WmfWriter &w) { w.record(0x0324, {}); });
    skips("polyline count past record end", [](WmfWriter &w) { w.record(0x0325, {32767, 1, 1}); });
    skips("polypolygon huge polygon count", [](WmfWriter &w) { w.record(0x0538, {65535, 3, 1, 1, 5, 5, 1, 5}); });
    skips("polypolygon points past end", [](WmfWriter &w) { w.record(0x0538, {2, 3, 60000, 1, 1, 5, 5, 1, 5}); });
    skips("arc with empty box", [](WmfWriter &w) { w.arc(5, 5, 5, 5, QPoint(1, 1), QPoint(1, 1)); });
    skips("textout length past end", [](WmfWriter &w) { w.record(0x0521, {200, 0x4141, 1, 1}); });
    skips("textout negative length", [](WmfWriter &w) { w.record(0x0521, {-2, 0x4141, 1, 1}); });
    skips("exttextout string past end", [](WmfWriter &w) { w.record(0x0A32, {13, 0, 300, 0, 0x4141}); });
    skips("exttextout rect missing", [](WmfWriter &w) { w.record(0x0A32, {13, 0, 2, EtoClipped, 0x4141}); });
    skips("exttextout short dx", [](WmfWriter &w) { w.record(0x0A32, {13, 0, 4, 0, 0x4141, 0x4141, 5}); });
    skips("restoredc beyond saves", [](WmfWriter &w) { w.restoreDc(-5).restoreDc(7).restoreDc(0); });
    skips("zero window ext", [](WmfWriter &w) { w.setWindowExt(0, 0).setViewportExt(0, 5); });
    skips("scale ext by zero", [](WmfWriter &w) { w.record(0x0410, {0, 1, 0, 1}).record(0x0410, {1, 0, 1, 0}); });
    skips("unknown map mode", [](WmfWriter &w) { w.setMapMode(99).setRop2(0).setRop2(17).setPolyFillMode(9); });
    skips("dib huge dimensions",
          [&](WmfWriter &w) { stretchDib(w, WmfWriter::dibHeader(100000, 100000, 24) + "abcd"); });
    skips("dib max height", [&](WmfWriter &w) { stretchDib(w, WmfWriter::dibHeader(1, INT32_MIN, 24) + "abcd"); });
    skips("dib palette past end",
          [&](WmfWriter &w) { stretchDib(w, WmfWriter::dibHeader(2, 2, 8, 0, 256) + "abcdefgh"); });
    skips("dib colour count too big",
          [&](WmfWriter &w) { stretchDib(w, WmfWriter::dibHeader(2, 2, 1, 0, 0xFFFFFFFF)); });
    skips("dib pixels past end", [&](WmfWriter &w) { stretchDib(w, WmfWriter::dibHeader(64, 64, 24) + "abcdefgh"); });
    skips("dib header size past end", [&](WmfWriter &w) { stretchDib(w, QByteArray("\xFF\xFF\xFF\x7F", 4)); });
    skips("dib header truncated", [&](WmfWriter &w) { stretchDib(w, WmfWriter::dibHeader(2, 2, 24).left(20)); });
    skips("dib unsupported depth",
          [&](WmfWriter &w) { stretchDib(w, WmfWriter::dibHeader(2, 2, 7) + QByteArray(64, 'x')); });
    skips("dib compressed",
          [&](WmfWriter &w) { stretchDib(w, WmfWriter::dibHeader(2, 2, 8, 1) + QByteArray(64, 'x')); });
    skips("dib zero height",
          [&](WmfWriter &w) { stretchDib(w, WmfWriter::dibHeader(2, 0, 24) + QByteArray(64, 'x')); });
    skips("dib negative width",
          [&](WmfWriter &w) { stretchDib(w, WmfWriter::dibHeader(-2, 2, 24) + QByteArray(64, 'x')); });
    skips("dib missing", [&](WmfWriter &w) { stretchDib(w, QByteArray()); });
    skips("dib source outside bitmap", [](WmfWriter &w) {
        w.stretchDib(0, 0, 2, 2, WmfWriter::dib(sampleBitmap(24), 24), QRect(-30000, 20000, 30000, 30000));
    });
    skips("stretchdib params short", [](WmfWriter &w) { w.record(0x0F43, {0x20, 0xCC, 0, 1}); });
    skips("pattern brush broken dib", [](WmfWriter &w) { w.createPatternBrush("xx").selectObject(3); });
}

void WmfRendererTest::corruptFiles()
{
    QFETCH(QByteArray, data);
    QFETCH(Outcome, outcome);
    const std::optional<QImage> image = renderWmf(data);
    if (outcome == Outcome::Invalid) {
        QVERIFY(!image);
        return;
    }
    QVERIFY(image);
    QCOMPARE(image->size(), QSize(16, 16));
    QCOMPARE(image->pixel(1, 1), kRed);
    QCOMPARE(image->pixel(9, 9), outcome == Outcome::SkipsRecord ? kBlue : kNone);
}

void WmfRendererTest::truncationSweep_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("firstValidLength");

    auto body = [](WmfWriter &wmf) {
        usePenAndBrush(wmf, kRed, kBlue);
        wmf.createFont(-12, "DejaVu Sans").selectObject(0).selectObject(1).selectObject(2);
        wmf.rectangle(1, 1, 10, 10).ellipse(2, 2, 30, 20).polygon(star());
        wmf.polyPolygon({star(), QPolygon({QPoint(0, 0), QPoint(5, 0), QPoint(5, 5)})});
        wmf.pie(0, 0, 20, 20, QPoint(20, 10), QPoint(10, 0)).moveTo(0, 0).lineTo(30, 30);
        wmf.stretchDib(3, 3, 4, 3, WmfWriter::dib(sampleBitmap(8), 8), QRect(0, 0, 4, 3));
        wmf.extTextOut(2, 2, EtoOpaque, QRect(0, 0, 20, 10), "Hello", {6, 6, 6, 6, 6}).textOut(4, 20, "abc");
        wmf.saveDc().intersectClipRect(2, 2, 30, 30).restoreDc(-1).setPixel(1, 1, kGreen);
    };
    WmfWriter placeable = WmfWriter::placeable(0, 0, 40, 40, 96);
    body(placeable);
    QTest::newRow("placeable") << placeable.data() << 22 + 18;
    WmfWriter plain = canvas(40, 40);
    body(plain);
    QTest::newRow("plain") << plain.data() << 18 + 10;
}

void WmfRendererTest::truncationSweep()
{
    QFETCH(QByteArray, data);
    QFETCH(int, firstValidLength);
    const QImage full = render(data);
    QVERIFY(!full.isNull());
    for (qsizetype length = 0; length <= data.size(); ++length) {
        const std::optional<QImage> image = renderWmf(data.left(length));
        QVERIFY2(bool(image) == (length >= firstValidLength), qPrintable(QString::number(length)));
    }
}

// --- fuzz seeds -------------------------------------------------------------------

namespace {

// The seed corpus for fuzz/wmf_renderer_fuzz.cpp, one small file per feature area.
QList<std::pair<QString, QByteArray>> fuzzSeeds()
{
    QList<std::pair<QString, QByteArray>> seeds;
    WmfWriter shapes = WmfWriter::placeable(0, 0, 32, 32, 96);
    usePenAndBrush(shapes, kRed, kBlue);
    shapes.selectObject(0).selectObject(1).rectangle(1, 1, 10, 10).ellipse(2, 2, 30, 20);
    shapes.roundRect(4, 4, 28, 28, 6, 6).pie(0, 0, 20, 20, QPoint(20, 10), QPoint(10, 0));
    shapes.chord(0, 0, 20, 20, QPoint(20, 10), QPoint(10, 0)).arc(0, 0, 20, 20, QPoint(20, 10), QPoint(10, 0));
    seeds.append({QStringLiteral("shapes.wmf"), shapes.data()});

    WmfWriter polys = canvas(40, 40);
    usePenAndBrush(polys, kGreen, kYellow);
    polys.selectObject(0).selectObject(1).setPolyFillMode(Winding).polygon(star()).polyline(star());
    polys.polyPolygon({star(), QPolygon({QPoint(0, 0), QPoint(5, 0), QPoint(5, 5)})});
    polys.moveTo(0, 0).lineTo(39, 39).setPixel(3, 3, kRed);
    seeds.append({QStringLiteral("polygons.wmf"), polys.data()});

    WmfWriter bitmaps = canvas(16, 16);
    bitmaps.stretchDib(0, 0, 8, 6, WmfWriter::dib(sampleBitmap(4), 4), QRect(0, 0, 4, 3));
    bitmaps.dibBitBlt(8, 8, 4, 3, WmfWriter::dib(sampleBitmap(1), 1, true));
    bitmaps.dibStretchBlt(0, 8, 4, 3, WmfWriter::dib(sampleBitmap(32), 32), QRect(0, 0, 4, 3), WmfWriter::kSrcInvert);
    bitmaps.createPatternBrush(WmfWriter::dib(sampleBitmap(24), 24))
        .selectObject(0)
        .patBlt(0, 0, 16, 16, WmfWriter::kPatCopy);
    seeds.append({QStringLiteral("bitmaps.wmf"), bitmaps.data()});

    WmfWriter state = canvas(20, 20);
    usePenAndBrush(state, kRed, kBlue);
    state.createFont(-10, "DejaVu Sans").selectObject(0).selectObject(1).selectObject(2);
    state.setMapMode(MmAnisotropic).setWindowOrg(-2, -2).setWindowExt(10, 10).setViewportExt(20, 20);
    state.saveDc().intersectClipRect(0, 0, 8, 8).excludeClipRect(2, 2, 4, 4).setRop2(7).rectangle(0, 0, 9, 9);
    state.restoreDc(-1).setBkMode(Opaque).setBkColor(kGreen).setTextColor(kRed).setTextAlign(TaBaseline);
    state.textOut(1, 8, "Hi").extTextOut(1, 9, EtoOpaque | EtoClipped, QRect(0, 0, 9, 9), "ab", {4, 4});
    state.deleteObject(0).createBrush(BsHatched, kRed, HsCross).selectObject(0).rectangle(0, 0, 20, 20);
    seeds.append({QStringLiteral("state.wmf"), state.data()});
    return seeds;
}

} // namespace

void WmfRendererTest::fuzzSeedsAreCurrent()
{
    // Seeds are made here so the corpus never holds bytes of unknown origin.
    // TESSAREL_UPDATE_FUZZ_SEEDS=1 rewrites them after a change.
    const QString source = qEnvironmentVariable("TESSAREL_SOURCE_DIR");
    if (source.isEmpty())
        QSKIP("TESSAREL_SOURCE_DIR not set (run through ctest)");
    for (const auto &[name, data] : fuzzSeeds())
        QVERIFY2(renderWmf(data).has_value(), qPrintable(name));
    const QString stale = staleFuzzSeeds(QStringLiteral("wmf_renderer"), fuzzSeeds());
    QVERIFY2(stale.isEmpty(), qPrintable(stale));
}

QTEST_MAIN(WmfRendererTest)
#include "wmf_renderer_test.moc"
