// The picture surface: layers, primitives, clipping and the flood fill.

#include "platform/picture_surface.h"

#include <QtTest>

namespace {

constexpr ColourValue kWhite = 0xFFFFFF;
constexpr ColourValue kBlack = 0;
constexpr ColourValue kRed = 0x0000FF;
constexpr ColourValue kBlue = 0xFF0000;

PictureSurface icon() { return PictureSurface(QSize(32, 32), PictureSurface::Scale::Pixels, kWhite); }

int countOf(const PictureSurface &s, ColourValue c)
{
    int n = 0;
    for (int y = 0; y < s.pixelSize().height(); ++y)
        for (int x = 0; x < s.pixelSize().width(); ++x)
            n += s.point(x, y) == c;
    return n;
}

} // namespace

class PictureSurfaceTest : public QObject
{
    Q_OBJECT
private slots:
    void readsPlainColoursAndOutside()
    {
        PictureSurface s(QSize(4, 4), PictureSurface::Scale::Pixels, 0x80000005);
        QVERIFY(s.point(0, 0) >= 0);
        QVERIFY(!colour::isSystem(s.point(0, 0)));
        QCOMPARE(s.point(-1, 0), colour::kOutside);
        QCOMPARE(s.point(4, 0), colour::kOutside);
        QCOMPARE(s.point(0, 4), colour::kOutside);
        s.pset(3, 3, kRed);
        QCOMPARE(s.point(3, 3), kRed);
        s.pset(9, 9, kRed); // clipped, no effect
        QCOMPARE(countOf(s, kRed), 1);
    }

    void lineLeavesOutItsLastPoint()
    {
        PictureSurface s = icon();
        s.line(0, 0, 5, 0, kBlack);
        QCOMPARE(countOf(s, kBlack), 5);
        QCOMPARE(s.point(5, 0), kWhite);
        s.line(10, 10, 10, 10, kBlack); // zero length: nothing
        QCOMPARE(countOf(s, kBlack), 5);
        s.line(0, 31, 31, 0, kRed);
        QCOMPARE(countOf(s, kRed), 31);
        QCOMPARE(s.point(0, 31), kRed);
        // Far-away ends are clipped, not fatal.
        s.line(-40000, 5, 40000, 5, kBlue);
        QCOMPARE(s.point(0, 5), kBlue);
        QCOMPARE(s.point(31, 5), kBlue);
    }

    void boxesIncludeBothCorners()
    {
        PictureSurface s = icon();
        s.box(4, 4, 1, 1, kBlack); // corners in any order
        QCOMPARE(countOf(s, kBlack), 12);
        QCOMPARE(s.point(2, 2), kWhite);
        s.fillStyle = PictureSurface::Solid;
        s.fillColor = kRed;
        s.box(10, 10, 13, 13, kBlack);
        QCOMPARE(countOf(s, kRed), 4);
        s.filledBox(20, 20, 20, 20, kBlue);
        QCOMPARE(countOf(s, kBlue), 1);
        s.filledBox(30, 30, 40, 40, kBlue); // clipped to 2 x 2
        QCOMPARE(countOf(s, kBlue), 5);
    }

    void circlesOutlineAndFill()
    {
        PictureSurface s = icon();
        s.circle(10, 10, 0.2, kBlack);
        QCOMPARE(countOf(s, kBlack), 1); // a dot
        s = icon();
        s.circle(16, 16, 5, kBlack);
        QCOMPARE(s.point(21, 16), kBlack);
        QCOMPARE(s.point(16, 11), kBlack);
        QCOMPARE(s.point(16, 16), kWhite);
        const int outline = countOf(s, kBlack);
        s.fillStyle = PictureSurface::Solid;
        s.fillColor = kRed;
        s.circle(16, 16, 5, kBlack);
        QCOMPARE(countOf(s, kBlack), outline); // the fill stays inside the outline
        QCOMPARE(s.point(16, 16), kRed);
        QCOMPARE(s.point(22, 16), kWhite);
        // A circle far larger than the picture is clipped and returns.
        s.circle(0, 0, 1e9, kBlue);
    }

    void layersResetToTheBasePicture()
    {
        PictureSurface s = icon();
        QImage base(8, 8, QImage::Format_RGB32);
        base.fill(qRgb(0, 0, 255));
        s.setPicture(base);
        QCOMPARE(s.point(7, 7), kBlue);
        QCOMPARE(s.point(8, 8), kWhite); // background beyond the picture
        s.pset(20, 20, kBlack);
        s.cls();
        QCOMPARE(s.point(20, 20), kWhite);
        QCOMPARE(s.point(0, 0), kBlue);
        s.pset(20, 20, kBlack);
        s.flatten();
        s.cls();
        QCOMPARE(s.point(20, 20), kBlack);
        s.clearPicture();
        QCOMPARE(s.point(0, 0), kWhite);
        QVERIFY(!s.hasPicture());
    }

    void blockCopyIsClipped()
    {
        PictureSurface s = icon();
        QImage src(10, 10, QImage::Format_RGB32);
        src.fill(qRgb(255, 0, 0));
        src.setPixel(0, 0, qRgb(0, 0, 0));
        s.paintPicture(src, 28, 28, 0, 0, 10, 10);
        QCOMPARE(countOf(s, kRed), 15);
        QCOMPARE(s.point(28, 28), kBlack);
        s.paintPicture(src, -5, -5, 0, 0, 10, 10);
        QCOMPARE(s.point(0, 0), kRed);
        QCOMPARE(s.point(4, 4), kRed);
        QCOMPARE(s.point(5, 5), kWhite);
        s.paintPicture(src, 0, 0, 8, 8, 5, 5); // source block partly outside
        QCOMPARE(s.point(1, 1), kRed);
        QCOMPARE(s.point(2, 2), kRed); // untouched from the previous copy
        s.paintPicture(QImage(), 0, 0, 0, 0, 5, 5);
    }

    void floodFillIsFourConnectedAndNeedsTheTarget()
    {
        PictureSurface s = icon();
        // A diagonal wall: 4-connected filling does not pass it.
        for (int i = 0; i < 32; ++i)
            s.pset(i, 31 - i, kBlack);
        s.fillColor = kRed;
        s.floodFill(0, 0, kWhite);
        QCOMPARE(countOf(s, kRed), 31 * 32 / 2);
        QCOMPARE(s.point(31, 31), kWhite);
        // The start pixel is not of the target colour: nothing happens.
        s.fillColor = kBlue;
        s.floodFill(31, 31, kBlack);
        QCOMPARE(countOf(s, kBlue), 0);
        // Target equal to the fill colour: nothing to do.
        s.fillColor = kRed;
        s.floodFill(0, 0, kRed);
        QCOMPARE(countOf(s, kRed), 31 * 32 / 2);
        s.floodFill(-1, 0, kWhite);
        s.floodFill(0, 0, colour::kOutside);
    }

    void twipsScaleConvertsCoordinates()
    {
        PictureSurface s(QSize(321, 322), PictureSurface::Scale::Twips, kWhite);
        s.pset(150, 150, kBlack);
        QCOMPARE(s.point(150, 150), kBlack);
        QCOMPARE(s.image().pixel(10, 10), qRgb(0, 0, 0));
        s.line(0, 300, 4799, 300, kBlack);
        QCOMPARE(s.image().pixel(319, 20), qRgb(0, 0, 0));
        QCOMPARE(s.image().pixel(320, 20), qRgb(255, 255, 255));
    }

    void dirtyCoversWhatChanged()
    {
        PictureSurface s = icon();
        s.takeDirty();
        s.pset(3, 4, kBlack);
        s.pset(6, 9, kBlack);
        QCOMPARE(s.takeDirty(), QRect(QPoint(3, 4), QPoint(6, 9)));
        QVERIFY(s.takeDirty().isEmpty());
        s.pset(-3, 4, kBlack);
        QVERIFY(s.takeDirty().isEmpty());
    }

    void textIsDrawnWithoutSmoothing()
    {
        PictureSurface s = icon();
        s.font = QFont(QStringLiteral("DejaVu Sans"));
        s.font.setPixelSize(20);
        s.foreColor = kBlack;
        s.currentX = 2;
        s.currentY = 2;
        s.print(QStringLiteral("W"));
        int black = 0, other = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const ColourValue c = s.point(x, y);
                black += c == kBlack;
                other += c != kBlack && c != kWhite;
            }
        QVERIFY(black > 10);
        QCOMPARE(other, 0);
        QVERIFY(s.textWidth(QStringLiteral("WW")) > s.textWidth(QStringLiteral("W")));
        QVERIFY(s.textHeight(QStringLiteral("W")) > 10);
    }
};

QTEST_MAIN(PictureSurfaceTest)
#include "picture_surface_test.moc"
