// The live swatch: the pixel a colour becomes in each kind of true-colour
// display, and the painted swatch where no display server fills it.

#include "platform/live_swatch.h"

#include <QtTest>

class LiveSwatchTest : public QObject
{
    Q_OBJECT
private slots:
    void pixelsForEveryChannelLayout()
    {
        struct Case
        {
            const char *display;
            LiveSwatch::PixelLayout layout;
            QColor colour;
            quint32 pixel;
        };
        const Case cases[] = {
            {"24-bit RGB", {0xFF0000, 0xFF00, 0xFF, 0}, QColor(200, 30, 77), 0xC81E4D},
            {"32-bit, alpha opaque", {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, QColor(200, 30, 77), 0xFFC81E4D},
            {"24-bit BGR", {0xFF, 0xFF00, 0xFF0000, 0}, QColor(200, 30, 77), 0x4D1EC8},
            {"16-bit 565", {0xF800, 0x7E0, 0x1F, 0}, QColor(200, 30, 77), (24u << 11) | (7u << 5) | 9u},
            {"16-bit white", {0xF800, 0x7E0, 0x1F, 0}, QColor(255, 255, 255), 0xFFFF},
            {"30-bit", {0x3FF00000, 0xFFC00, 0x3FF, 0}, QColor(255, 0, 128), (1023u << 20) | 514u},
        };
        for (const Case &c : cases)
            QVERIFY2(LiveSwatch::pixelOf(c.layout, c.colour) == c.pixel, c.display);
    }

    void paintsItselfWhereNoServerFillsIt()
    {
        if (QGuiApplication::platformName() == QLatin1String("xcb"))
            QSKIP("the X server fills it there; the picker's end-to-end test reads it off the screen");
        QWidget top;
        top.resize(40, 30);
        LiveSwatch swatch(&top);
        swatch.setGeometry(5, 5, 20, 10);
        top.show();
        QVERIFY(QTest::qWaitForWindowExposed(&top));
        QVERIFY(!swatch.filledByServer());
        swatch.setColour(QColor(12, 200, 34));
        const QImage shown = top.grab().toImage();
        QCOMPARE(shown.pixelColor(5, 5), QColor(12, 200, 34));
        QCOMPARE(shown.pixelColor(24, 14), QColor(12, 200, 34));
        QVERIFY(shown.pixelColor(25, 15) != QColor(12, 200, 34));
    }
};

QTEST_MAIN(LiveSwatchTest)
#include "live_swatch_test.moc"
