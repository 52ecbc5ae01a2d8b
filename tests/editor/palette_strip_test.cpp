// The default palette strip: its line colours, where it stops, and picking
// colours back from it.

#include "editor/palette_strip.h"
#include "platform/twips.h"
#include "support/editor_fixture.h"
#include "support/pointer.h"

#include <QtTest>

class PaletteStripTest : public QObject
{
    Q_OBJECT
private slots:
    void lineColours_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("r");
        QTest::addColumn<int>("g");
        QTest::addColumn<int>("b");
        QTest::newRow("0") << 0 << 0 << 0 << 0;
        QTest::newRow("51") << 51 << 255 << 0 << 0;
        QTest::newRow("52") << 52 << 255 << 5 << 0;
        QTest::newRow("102") << 102 << 255 << 255 << 0;
        QTest::newRow("103 repeats yellow") << 103 << 255 << 255 << 0;
        QTest::newRow("104") << 104 << 250 << 255 << 0;
        QTest::newRow("155") << 155 << 0 << 255 << 5;
        QTest::newRow("206 repeats cyan") << 206 << 0 << 255 << 255;
        QTest::newRow("207") << 207 << 0 << 250 << 255;
        QTest::newRow("258 repeats blue") << 258 << 0 << 0 << 255;
        QTest::newRow("259") << 259 << 5 << 0 << 255;
        QTest::newRow("310") << 310 << 255 << 5 << 255;
        QTest::newRow("360 white") << 360 << 255 << 255 << 255;
    }
    void lineColours()
    {
        QFETCH(int, line);
        QFETCH(int, r);
        QFETCH(int, g);
        QFETCH(int, b);
        const auto s = palette::spectrum(10000, 15);
        QCOMPARE(int(s.lines.size()), 361);
        QVERIFY(s.reachedWhite);
        QCOMPARE(s.whiteX, 360 * 15);
        QCOMPARE(s.lines[size_t(line)], colour::rgb(r, g, b));
        // The neighbours around each turn repeat or step by 5 only.
        if (line > 0) {
            const ColourValue p = s.lines[size_t(line - 1)], c = s.lines[size_t(line)];
            QVERIFY(std::abs(colour::red(p) - colour::red(c)) <= 5);
            QVERIFY(std::abs(colour::green(p) - colour::green(c)) <= 5);
            QVERIFY(std::abs(colour::blue(p) - colour::blue(c)) <= 5);
        }
    }

    void narrowStripStopsBeforeWhiteAndStays()
    {
        EditorFixture f;
        frmGeral &w = *f.window;
        const QRect designed = w.picDefaltColor->geometry();
        w.tmrLogo_Timer();
        QCOMPARE(w.picDefaltColor->geometry(), designed);
        const QImage strip = w.stripSurface().image();
        const int last = strip.width() - 1;
        const QRgb lastLine = strip.pixel(last, 5);
        QCOMPARE(qRed(lastLine), 255);
        QCOMPARE(qBlue(lastLine), 255);
        QVERIFY(qGreen(lastLine) < 255); // light magenta, not yet white
        // Every pixel column is the spectrum's line of that index.
        const auto s = palette::spectrum(100000, 15);
        for (int x = 0; x <= last; ++x)
            QCOMPARE(colour::fromRgb(strip.pixel(x, 0)), s.lines[size_t(x)]);
    }

    void wideStripEndsWhiteShrinksAndCentres()
    {
        EditorFixture f;
        frmGeral &w = *f.window;
        w.resize(1000, 700);
        w.picDefaltColor->resize(420, w.picDefaltColor->height());
        w.GradiendColor();
        QCOMPARE(colour::fromRgb(w.stripSurface().image().pixel(360, 5)), colour::kWhite);
        QCOMPARE(w.picDefaltColor->width(), 360); // ends at the white line
        const int mainInner = w.centralWidget()->width() * 15;
        QCOMPARE(w.picDefaltColor->x(), twips::toPixels((mainInner - 5400) / 2));
    }

    void pickingReadsTheLineColours()
    {
        EditorFixture f;
        frmGeral &w = *f.window;
        w.tmrLogo_Timer();
        const auto s = palette::spectrum(100000, 15);
        for (int x : {0, 51, 103, 206, 300}) {
            pointer::press(w.picDefaltColor, QPointF(x + 0.2, 3), Qt::LeftButton);
            QCOMPARE(w.LeftColor->backColor(), s.lines[size_t(x)]);
        }
        pointer::press(w.picDefaltColor, QPointF(155.2, 3), Qt::RightButton);
        QCOMPARE(w.RightColor->backColor(), s.lines[155]);
    }
};

QTEST_MAIN(PaletteStripTest)
#include "palette_strip_test.moc"
