// The whole-icon transforms and their edge cases.

#include "platform/picture_surface.h"
#include "transforms/image_transforms.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

constexpr ColourValue kWhite = 0xFFFFFF;
constexpr ColourValue kRed = 0x0000FF;

PictureSurface icon() { return PictureSurface(QSize(32, 32), PictureSurface::Scale::Pixels, kWhite); }

PictureSurface noise()
{
    PictureSurface s = icon();
    QRandomGenerator rng(42);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            s.pset(x, y, rng.bounded(0x1000000));
    return s;
}

QList<QPoint> coloured(const PictureSurface &s)
{
    QList<QPoint> out;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (s.point(x, y) != kWhite)
                out << QPoint(x, y);
    return out;
}

} // namespace

class ImageTransformsTest : public QObject
{
    Q_OBJECT
private slots:
    void singlePixelsLandWhereExpected()
    {
        PictureSurface s = icon();
        s.pset(5, 0, kRed);
        transforms::rotate13(s);
        QCOMPARE(coloured(s), QList<QPoint>{QPoint(0, 5)});
        s = icon();
        s.pset(7, 7, kRed);
        transforms::rotate13(s);
        QCOMPARE(coloured(s), QList<QPoint>{QPoint(7, 7)});
        s = icon();
        s.pset(0, 10, kRed);
        transforms::rotateHorizontal(s);
        QCOMPARE(coloured(s), QList<QPoint>{QPoint(31, 10)});
        s = icon();
        s.pset(10, 0, kRed);
        transforms::rotateVertical(s);
        QCOMPARE(coloured(s), QList<QPoint>{QPoint(10, 31)});
    }

    void eachMirrorTwiceIsTheIdentity()
    {
        for (auto op : {transforms::rotate13, transforms::rotateHorizontal, transforms::rotateVertical}) {
            PictureSurface s = noise();
            const QImage before = s.image();
            op(s);
            QVERIFY(s.image() != before);
            op(s);
            QCOMPARE(s.image(), before);
        }
    }

    void mirrorsReadTheImageAsItWas()
    {
        // A transposition done in place without a copy would smear the upper
        // triangle over the lower one.
        PictureSurface s = noise();
        PictureSurface expected = icon();
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                expected.pset(x, y, s.point(y, x));
        transforms::rotate13(s);
        QCOMPARE(s.image(), expected.image());
    }

    void cleanFillsEveryPixel()
    {
        PictureSurface s = noise();
        transforms::clean(s, kRed);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                QCOMPARE(s.point(x, y), kRed);
    }

    void largerPictureHasOnlyItsTopLeftTransformed()
    {
        PictureSurface s(QSize(48, 48), PictureSurface::Scale::Pixels, kWhite);
        s.pset(40, 40, kRed);
        s.pset(0, 3, kRed);
        transforms::rotateHorizontal(s);
        QCOMPARE(s.point(40, 40), kRed);
        QCOMPARE(s.point(31, 3), kRed);
        QCOMPARE(s.point(0, 3), kWhite);
    }
};

QTEST_MAIN(ImageTransformsTest)
#include "image_transforms_test.moc"
