// The colour windows through the main menu: the RGB colour dialog's sliders
// and number boxes, the desktop picker's search from start to hand-over, and
// the composer's gradients.

#include "colour/band_gradient.h"
#include "colour/color_palette.h"
#include "colour/colour_arithmetic.h"
#include "colour/frm_desenho.h"
#include "colour/frm_ve_cor1.h"
#include "colour/frm_ve_cor2.h"
#include "platform/label.h"
#include "support/editor_fixture.h"
#include "support/pointer.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QtTest>

class ColourWindowsTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<EditorFixture> f;

    template <typename W> W *open(QAction *command, const char *name)
    {
        command->trigger();
        auto *w = qobject_cast<W *>(f->window->sideWindows().existing(QString::fromLatin1(name)));
        return w && QTest::qWaitForWindowExposed(w) ? w : nullptr;
    }
    static QList<int> sliders(const ColorPalette *p)
    {
        return {p->RGBValue[1]->value(), p->RGBValue[2]->value(), p->RGBValue[3]->value()};
    }
    static ColourValue at(const PictureBox *box, int x, int y) { return box->surface()->point(x, y); }

private slots:
    void init()
    {
        f = std::make_unique<EditorFixture>();
        QVERIFY(f->showPastStartup());
    }
    void cleanup() { f.reset(); }

    void numberBoxesFilterClampAndRewrite()
    {
        auto *p = open<ColorPalette>(f->window->mnuScroolColor, "ColorPalette");
        QVERIFY(p && p->isVisible());
        QLineEdit *red = p->RGBNumber[1];
        red->setFocus();
        red->selectAll();
        // Letters and punctuation never arrive; digits do; "300" is capped.
        QTest::keyClicks(red, "3a-0.0");
        QCOMPARE(red->text(), QStringLiteral("255"));
        QCOMPARE(sliders(p), (QList<int>{255, 0, 0}));
        // Backspace works; an emptied box sets its slider to 0 and is rewritten.
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(red, Qt::Key_Backspace);
        QCOMPARE(sliders(p), (QList<int>{0, 0, 0}));
        QCOMPARE(red->text(), QStringLiteral("0"));
        // With the slider at 0 already, an emptied box stays empty.
        QTest::keyClick(red, Qt::Key_Backspace);
        QCOMPARE(red->text(), QString());
        // Leading zeros vanish once the slider moves.
        QTest::keyClicks(red, "007");
        QCOMPARE(p->RGBValue[1]->value(), 7);
        QCOMPARE(red->text(), QStringLiteral("7"));
        // A pasted non-number gives the box its slider's value back.
        QGuiApplication::clipboard()->setText(QStringLiteral("9x"));
        red->selectAll();
        QTest::keyClick(red, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(red->text(), QStringLiteral("7"));
        QCOMPARE(p->RGBValue[1]->value(), 7);
        // A number far too long for any integer is still just "over 255".
        red->selectAll();
        QGuiApplication::clipboard()->setText(QStringLiteral("00000000000000000000000000000000000001"));
        QTest::keyClick(red, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(p->RGBValue[1]->value(), 1);
        red->selectAll();
        QGuiApplication::clipboard()->setText(QStringLiteral("99999999999999999999999999999999999999"));
        QTest::keyClick(red, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(red->text(), QStringLiteral("255"));
    }

    void hexValueSwatchClickAndSelect()
    {
        auto *p = open<ColorPalette>(f->window->mnuScroolColor, "ColorPalette");
        const ColourValue rightBefore = f->right();
        p->RGBValue[1]->setValue(10);
        p->RGBValue[2]->setValue(20);
        p->RGBValue[3]->setValue(30);
        QCOMPARE(p->txtValue->text(), QStringLiteral("1E140A"));
        QTest::mouseClick(p->RedValue, Qt::LeftButton);
        QCOMPARE(sliders(p), (QList<int>{10, 0, 0}));
        QCOMPARE(p->txtValue->text(), QStringLiteral("00000A"));
        QCOMPARE(p->RGBNumber[2]->text(), QStringLiteral("0"));
        QTest::mouseClick(p->cmdSelect, Qt::LeftButton);
        QCOMPARE(f->left(), colour::rgb(10, 0, 0));
        QCOMPARE(f->right(), rightBefore);
    }

    void pickedColourSplitsWithTruncationAndSign()
    {
        struct Case
        {
            qint32 picked;
            int r, g, b;
        };
        const Case cases[] = {{16777215, 255, 255, 255}, {0x0A141E, 0x1E, 0x14, 0x0A}, {-1, 0, 0, 0}, {-65537, 0, 0, 0},
                              {-256, 0, 0, 0},           {16777216, 0, 0, 256}};
        for (const Case &c : cases) {
            const auto s = colourmath::splitPicked(c.picked);
            QCOMPARE((QList<int>{s.red, s.green, s.blue}), (QList<int>{c.r, c.g, c.b}));
        }
    }

    void searchRunsReadySearchingChosenReady()
    {
        // A pixel of a known colour on the canvas, to be found on the frozen desktop.
        const ColourValue mark = colour::rgb(12, 200, 34);
        f->window->LeftColor->setBackColor(mark);
        pointer::press(f->grid(), pointer::cell(0, 0));
        pointer::release(f->grid(), pointer::cell(0, 0));
        f->window->LeftColor->setBackColor(colour::kWhite);

        auto *picker = open<frmVeCor1>(f->window->mnuProcCor, "frmVeCor1");
        QVERIFY(picker && picker->Btn_select->isEnabled() && !picker->cmdLevaCor->isVisible());
        QTest::mouseClick(picker->Btn_select, Qt::LeftButton);
        auto *surface = qobject_cast<frmVeCor2 *>(f->window->sideWindows().existing(QStringLiteral("frmVeCor2")));
        QVERIFY(surface && surface->isVisible());
        QCOMPARE(surface->geometry(), QGuiApplication::primaryScreen()->geometry());
        QVERIFY(!picker->Btn_select->isEnabled());

        // The live read-out over the grid cell, then outside the still image.
        const QPoint cellOnScreen = f->grid()->mapToGlobal(pointer::cell(0, 0).toPoint());
        pointer::move(surface->Picture1, surface->Picture1->mapFromGlobal(cellOnScreen));
        QCOMPARE(picker->Lbl_long->text(), QString::number(mark));
        QCOMPARE(picker->Lbl_green->text(), QStringLiteral("200"));
        pointer::move(surface->Picture1, QPointF(-3, 5));
        QCOMPARE(picker->Lbl_long->text(), QStringLiteral("-1"));
        QCOMPARE((QStringList{picker->Lbl_red->text(), picker->Lbl_green->text(), picker->Lbl_blue->text()}),
                 (QStringList{"0", "0", "0"}));
        QCOMPARE(picker->Picture1->backColor(), colour::kBlack);

        // A press picks; the surface and its image go; nothing reaches the editor yet.
        pointer::press(surface->Picture1, surface->Picture1->mapFromGlobal(cellOnScreen), Qt::RightButton);
        QVERIFY(picker->cmdLevaCor->isVisible());
        QCOMPARE(picker->cmdLevaCor->text(), QStringLiteral("Click - Me!"));
        QTRY_VERIFY(!f->window->sideWindows().existing(QStringLiteral("frmVeCor2")));
        QVERIFY(!picker->Btn_select->isEnabled());
        QCOMPARE(f->left(), colour::kWhite);

        QTest::mouseClick(picker->cmdLevaCor, Qt::LeftButton);
        QCOMPARE(f->left(), mark);
        QVERIFY(picker->Btn_select->isEnabled() && !picker->cmdLevaCor->isVisible());

        // Closing the picker mid-search takes the surface with it.
        QTest::mouseClick(picker->Btn_select, Qt::LeftButton);
        QVERIFY(f->window->sideWindows().existing(QStringLiteral("frmVeCor2")));
        picker->close();
        QTRY_VERIFY(!f->window->sideWindows().existing(QStringLiteral("frmVeCor2")));
        QTRY_VERIFY(!f->window->sideWindows().existing(QStringLiteral("frmVeCor1")));
    }

    // On a scaled screen the still image holds more pixels than the surface
    // has points: the picker reads the pixel under the pointer, not the one
    // at the pointer's coordinates in points.
    void scaledStillImageIsReadUnderThePointer_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("1.5") << 1.5;
        QTest::newRow("2") << 2.0;
    }
    void scaledStillImageIsReadUnderThePointer()
    {
        QFETCH(qreal, ratio);
        QImage still(qRound(64 * ratio), qRound(48 * ratio), QImage::Format_RGB32);
        for (int y = 0; y < still.height(); ++y)
            for (int x = 0; x < still.width(); ++x)
                still.setPixel(x, y, qRgb(x, y, 77));
        still.setDevicePixelRatio(ratio);
        frmVeCor2 surface(f->window.get());
        surface.cover(still);
        QSignalSpy read(&surface, &frmVeCor2::Picture1_MouseMove);
        for (const QPointF at : {QPointF(0, 0), QPointF(10, 7), QPointF(62 / 3.0, 91 / 3.0), QPointF(63.5, 47.5)}) {
            pointer::move(surface.Picture1, at);
            const QPoint under(int(at.x() * ratio), int(at.y() * ratio));
            QCOMPARE(read.takeLast().at(0).value<ColourValue>(), colour::fromRgb(still.pixel(under)));
        }
        pointer::move(surface.Picture1, QPointF(64, 10)); // just past the image
        QCOMPARE(read.takeLast().at(0).value<ColourValue>(), colour::kOutside);
    }

    void bandsDarkenByFourAndStopAtBlack()
    {
        // 32 pixels of 15 twips under a 540-twip box: 9-twip bands, 63 of them
        // reaching past the bottom edge.
        PictureSurface s({32, 32}, PictureSurface::Scale::Twips, colour::kWhite);
        const auto column = [&s] {
            QList<ColourValue> rows;
            for (int y = 0; y < 32; ++y)
                rows << s.point(0, y * 15);
            return rows;
        };
        mdlTool::PaintBandGradient(s, {540, 540}, 255, 10, 0, true);
        QList<ColourValue> down = column();
        QCOMPARE(down.first(), colour::rgb(255, 10, 0));
        // Band 52 (from 468 twips) is the last to touch the bottom row.
        QCOMPARE(down.last(), colour::rgb(255 - 4 * 52, 0, 0));
        for (int y = 1; y < 32; ++y)
            QVERIFY(colour::red(down[y]) <= colour::red(down[y - 1]) && colour::green(down[y]) <= 10);
        // Upwards from the bottom: the same bands mirrored, darkest at the top.
        mdlTool::PaintBandGradient(s, {540, 540}, 255, 10, 0, false);
        const QList<ColourValue> up = column();
        QCOMPARE(up.last(), colour::rgb(255 - 4 * 9, 0, 0));
        for (int y = 1; y < 32; ++y)
            QVERIFY(colour::red(up[y]) >= colour::red(up[y - 1]));
    }

    void composerPaintsStripsAndAppliesTheBackground()
    {
        auto *c = open<frmDesenho>(f->window->mnuGradiende, "frmDesenho");
        QVERIFY(c && c->isVisible());
        // Opening paints the design-time state: blue strip and preview, brightest at the top.
        // (The strips' 2-twip bands share pixel rows; the last band drawn on a row shows.)
        const ColourValue stripTop = at(c->Picture3, 0, 0);
        QVERIFY(stripTop == colour::rgb(0, 0, colour::blue(stripTop)) && colour::blue(stripTop) > 230);
        QVERIFY(colour::blue(at(c->Picture3, 0, 60)) < colour::blue(stripTop));
        QCOMPARE(at(c->Ikon, 0, 0), colour::rgb(0, 0, 255));
        c->Slider1->setValue(255);
        const QImage blueStrip = c->Picture3->surface()->image();
        c->Slider3->setValue(0);
        QCOMPARE(c->Label5->text(), QStringLiteral("255, 0, 0"));
        QCOMPARE(c->Label3->text(), QStringLiteral("0"));
        const QImage redStrip = c->Picture1->surface()->image();
        c->Slider2->setValue(100);
        QCOMPARE(c->Picture1->surface()->image(), redStrip); // untouched by green
        QCOMPARE(at(c->Picture2, 0, 0), colour::rgb(0, 100 - 12, 0));
        QVERIFY(blueStrip != c->Picture3->surface()->image());
        // Clearing "Top" puts the brightest band at the bottom of every picture.
        QTest::mouseClick(c->Check1, Qt::LeftButton);
        QVERIFY(!c->Check1->isChecked());
        QVERIFY(colour::red(at(c->Ikon, 0, 31 * 15)) > colour::red(at(c->Ikon, 0, 0)));
        QVERIFY(colour::red(at(c->Picture1, 0, 0)) < 255);
        // "Background": the preview becomes all 1,024 icon pixels and the grid follows.
        QTest::mouseClick(c->Check1, Qt::LeftButton);
        QTest::mouseClick(c->cmdSelect, Qt::LeftButton);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const ColourValue expected = at(c->Ikon, x * 15, y * 15);
                QCOMPARE(f->pixel(x, y), expected);
                QCOMPARE(f->gridCell(x, y), expected);
            }
        QCOMPARE(f->pixel(0, 0), colour::rgb(255, 100, 0));
        QVERIFY(c->isVisible()); // stays open for the next gradient
    }
};

QTEST_MAIN(ColourWindowsTest)
#include "colour_windows_test.moc"
