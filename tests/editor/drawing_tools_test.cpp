// The drawing tools driven by real pointer events on the grid.

#include "platform/label.h"
#include "platform/shape.h"
#include "platform/tool_pictures.h"
#include "support/editor_fixture.h"
#include "support/pointer.h"

#include <QAction>
#include <QLabel>
#include <QtTest>

using namespace pointer;

class DrawingToolsTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<EditorFixture> f;
    const ColourValue black = colour::kBlack;
    ColourValue white = 0;

    QString readoutAt(double tx, double ty)
    {
        move(f->grid(), twips(tx, ty));
        return f->window->lblCordenadas->text();
    }

private slots:
    void init()
    {
        f = std::make_unique<EditorFixture>();
        white = colour::resolve(colour::kWindowBackground);
    }
    void cleanup() { f.reset(); }

    void readoutShowsTwoCharactersOfEachCell()
    {
        QCOMPARE(readoutAt(0, 0), QStringLiteral("X: 00  Y: 00"));
        QCOMPARE(readoutAt(4799, 4799), QStringLiteral("X: 31  Y: 31"));
        QCOMPARE(readoutAt(-100, 760), QStringLiteral("X: 00  Y: 05"));
        QCOMPARE(readoutAt(-200, 1800), QStringLiteral("X: -1  Y: 12"));
        QCOMPARE(readoutAt(15000, 0), QStringLiteral("X: 00  Y: 00"));
        QCOMPARE(f->window->PointerCol, 100);
        // Ties round to even before the division: 149.5 -> 150 is cell 1, 148.5 -> 148 is cell 0.
        QCOMPARE(readoutAt(149.5, 148.5), QStringLiteral("X: 01  Y: 00"));
    }

    void lineClickPaintsOneCell()
    {
        f->window->picModeSel_Click(1);
        press(f->grid(), cell(7, 9));
        release(f->grid(), cell(7, 9));
        QCOMPARE(f->pixel(7, 9), black);
        QCOMPARE(f->count(black), 1);
        QCOMPARE(f->gridCell(7, 9), black);
        QVERIFY(!f->window->shLine->isVisible());
    }

    void diagonalLineIncludesBothEnds()
    {
        f->window->picModeSel_Click(1);
        drag(f->grid(), cell(0, 0), cell(31, 31));
        for (int i = 0; i < 32; ++i)
            QCOMPARE(f->pixel(i, i), black);
        QCOMPARE(f->count(black), 32);
        const Shape *line = f->window->shLine;
        QCOMPARE(line->x1() + line->y1() + line->x2() + line->y2(), 0);
    }

    void rectangleCornersInAnyOrder()
    {
        f->window->picModeSel_Click(2);
        drag(f->grid(), cell(5, 5), cell(2, 8));
        QImage first = f->window->ikonSurface().image();
        f->window->mnuLimpar_Click();
        drag(f->grid(), cell(2, 5), cell(5, 8));
        QCOMPARE(f->window->ikonSurface().image(), first);
        // A 4 x 4 outline: 12 pixels, the inside untouched.
        QCOMPARE(f->count(black), 12);
        QCOMPARE(f->pixel(3, 6), white);
        QCOMPARE(f->pixel(5, 8), black);
        QVERIFY(!f->window->shRect->isVisible());
        QCOMPARE(f->window->shRect->width(), 0);
    }

    void filledRectangleWithinOneCell()
    {
        f->window->picModeSel_Click(3);
        press(f->grid(), QPointF(40.5, 40.5));
        move(f->grid(), QPointF(48.5, 47.5), Qt::LeftButton);
        release(f->grid(), QPointF(48.5, 47.5));
        QCOMPARE(f->count(black), 1);
        QCOMPARE(f->pixel(4, 4), black);
        f->window->picModeSel_Click(3);
        drag(f->grid(), cell(10, 10), cell(12, 11));
        QCOMPARE(f->count(black), 1 + 6);
    }

    void pencilPaintsCellsWithoutInterpolation()
    {
        press(f->grid(), cell(1, 1));
        move(f->grid(), cell(5, 1), Qt::LeftButton);
        release(f->grid(), cell(5, 1));
        QCOMPARE(f->pixel(1, 1), black);
        QCOMPARE(f->pixel(5, 1), black);
        QCOMPARE(f->count(black), 2); // the cells between are skipped
    }

    void pencilConstraintWithModifiers_data()
    {
        QTest::addColumn<int>("modifier");
        QTest::newRow("shift") << int(Qt::ShiftModifier);
        QTest::newRow("ctrl") << int(Qt::ControlModifier);
        QTest::newRow("alt") << int(Qt::AltModifier);
    }
    void pencilConstraintWithModifiers()
    {
        QFETCH(int, modifier);
        const auto mods = Qt::KeyboardModifiers(modifier);
        // Press at twips (1575, 1575): cell (10, 10).
        press(f->grid(), twips(1575, 1575), Qt::LeftButton, {}, mods);
        // More vertical than horizontal: the press column stays.
        move(f->grid(), twips(1575 + 300, 1575 + 600), Qt::LeftButton, mods);
        QCOMPARE(f->pixel(10, 14), black);
        // More horizontal: the press row stays.
        move(f->grid(), twips(1575 + 900, 1575 + 300), Qt::LeftButton, mods);
        QCOMPARE(f->pixel(16, 10), black);
        // Exactly diagonal: a tie keeps the column.
        move(f->grid(), twips(1575 + 450, 1575 + 450), Qt::LeftButton, mods);
        QCOMPARE(f->pixel(10, 13), black);
        release(f->grid(), twips(1575 + 450, 1575 + 450));
        QCOMPARE(f->count(black), 4);
        QCOMPARE(f->pixel(13, 13), white);
    }

    void rightButtonWithLeftHeldDrawsRight()
    {
        const ColourValue red = colour::rgb(255, 0, 0);
        f->window->RightColor->setBackColor(red);
        press(f->grid(), cell(3, 3), Qt::LeftButton);
        press(f->grid(), cell(4, 3), Qt::RightButton, Qt::LeftButton);
        QCOMPARE(f->pixel(4, 3), red);
        move(f->grid(), cell(6, 3), Qt::LeftButton | Qt::RightButton);
        QCOMPARE(f->pixel(6, 3), red);
        // Only the left button held: left colour.
        move(f->grid(), cell(8, 3), Qt::LeftButton);
        QCOMPARE(f->pixel(8, 3), black);
        // Middle button press counts as "any other": right colour.
        press(f->grid(), cell(9, 9), Qt::MiddleButton);
        QCOMPARE(f->pixel(9, 9), red);
    }

    void fillInsideAndOnOutline()
    {
        const ColourValue red = colour::rgb(255, 0, 0);
        f->window->picModeSel_Click(2);
        drag(f->grid(), cell(2, 2), cell(8, 8));
        f->window->LeftColor->setBackColor(red);
        f->window->picModeSel_Click(7);
        press(f->grid(), cell(5, 5));
        release(f->grid(), cell(5, 5));
        QCOMPARE(f->count(red), 5 * 5);
        QCOMPARE(f->pixel(2, 2), black);
        QCOMPARE(f->pixel(0, 0), white);
        QCOMPARE(f->gridCell(5, 5), red);

        const ColourValue blue = colour::rgb(0, 0, 255);
        f->window->LeftColor->setBackColor(blue);
        press(f->grid(), cell(2, 5));
        release(f->grid(), cell(2, 5));
        QCOMPARE(f->count(blue), 24); // the outline, not the inside
        QCOMPARE(f->count(red), 25);

        // Press on one colour and release on another: nothing changes.
        const QImage before = f->window->ikonSurface().image();
        f->window->LeftColor->setBackColor(colour::rgb(0, 255, 0));
        press(f->grid(), cell(0, 0));
        release(f->grid(), cell(5, 5));
        QCOMPARE(f->window->ikonSurface().image(), before);
    }

    void circleAndDiscFromRubberBand()
    {
        f->window->picModeSel_Click(4);
        // Press at the centre of cell (15, 15), drag 3 cells to the right.
        press(f->grid(), twips(2325, 2325));
        move(f->grid(), twips(2325 + 450, 2325), Qt::LeftButton);
        QVERIFY(f->window->shCircle->isVisible());
        QCOMPARE(f->window->shCircle->width(), 900);
        QCOMPARE(f->window->shCircle->left(), 2325 - 450);
        release(f->grid(), twips(2325 + 450, 2325));
        // Radius 3 outline: the four extreme points, and not the centre.
        for (auto [x, y] : {std::pair{18, 15}, {12, 15}, {15, 18}, {15, 12}})
            QCOMPARE(f->pixel(x, y), black);
        QCOMPARE(f->pixel(15, 15), white);
        QCOMPARE(f->window->shCircle->width(), 0);

        f->window->mnuLimpar_Click();
        f->window->picModeSel_Click(5);
        press(f->grid(), twips(2325, 2325));
        move(f->grid(), twips(2325, 2325 + 300), Qt::LeftButton);
        release(f->grid(), twips(2325, 2325 + 300));
        QCOMPARE(f->pixel(15, 15), black);
        QCOMPARE(f->pixel(15, 17), black);
        QCOMPARE(f->pixel(15, 18), white);
        QCOMPARE(f->pixel(16, 17), black);
        QCOMPARE(f->pixel(17, 17), white);
        QCOMPARE(f->count(black), 21); // rows of 3, 5, 5, 5, 3
    }

    void captureEnablesCopyAndModeChangeResets()
    {
        f->window->picModeSel_Click(8);
        QVERIFY(!f->window->mnuCopiar->isEnabled());
        drag(f->grid(), cell(2, 2), cell(6, 5));
        QVERIFY(f->window->shCapture->isVisible());
        QVERIFY(f->window->mnuCopiar->isEnabled());
        QVERIFY(f->window->mnuCortar->isEnabled());
        QCOMPARE(f->window->shCapture->left(), 2 * 150 + 75);
        f->window->mnuColar->setEnabled(true);
        // A click on another mode button: all three off, the selection hidden.
        QTest::mouseClick(f->window->picModeSel[0], Qt::LeftButton);
        QCOMPARE(f->window->DrawMode, 0);
        QVERIFY(!f->window->mnuCopiar->isEnabled());
        QVERIFY(!f->window->mnuCortar->isEnabled());
        QVERIFY(!f->window->mnuColar->isEnabled());
        QVERIFY(!f->window->shCapture->isVisible());
        QCOMPARE(f->window->picMode->picture(), f->window->picModeSel[0]->picture());
    }

    // A scaled screen gets mode pictures drawn at its resolution, the same
    // 32 points wide, with detail finer than a point (not blown up).
    void modePicturesAreDrawnForScaledScreens()
    {
        for (int mode = 0; mode < 9; ++mode) {
            const QImage sharp = pictures::tool(mode, 2);
            QCOMPARE(sharp.size(), QSize(64, 64));
            QCOMPARE(sharp.deviceIndependentSize(), QSizeF(32, 32));
            const QImage blownUp = pictures::tool(mode, 1).scaled(64, 64);
            QVERIFY2(sharp.convertToFormat(QImage::Format_RGB32) != blownUp.convertToFormat(QImage::Format_RGB32),
                     qPrintable(QString::number(mode)));
        }
    }

    void farAwayPointerIsIgnored()
    {
        const QImage before = f->window->ikonSurface().image();
        for (int mode : {0, 1, 2, 4, 7, 8}) {
            f->window->picModeSel_Click(mode);
            press(f->grid(), QPointF(3000, 3000));
            move(f->grid(), QPointF(3000, 3000), Qt::LeftButton);
            move(f->grid(), QPointF(-3000, 2500), Qt::LeftButton);
            release(f->grid(), QPointF(3000, 3000));
        }
        QCOMPARE(f->window->ikonSurface().image(), before);
        // Just inside the 16-bit range a drag still works and is clipped.
        f->window->picModeSel_Click(1);
        press(f->grid(), cell(0, 0));
        move(f->grid(), QPointF(2100, 0), Qt::LeftButton);
        release(f->grid(), QPointF(2100, 0));
        QCOMPARE(f->pixel(31, 0), black);
    }

    void releaseOutOfRangeStillEndsTheRubberBand()
    {
        frmGeral &w = *f->window;
        const QImage before = w.ikonSurface().image();
        const struct
        {
            int mode;
            Shape *band;
        } cases[] = {{1, w.shLine}, {3, w.shRect}, {4, w.shCircle}};
        for (const auto &c : cases) {
            w.picModeSel_Click(c.mode);
            press(f->grid(), cell(2, 2));
            move(f->grid(), cell(6, 7), Qt::LeftButton);
            QVERIFY(c.band->isVisible());
            release(f->grid(), QPointF(3000, 50)); // 45000 twips: beyond 16 bits
            QVERIFY2(!c.band->isVisible(), qPrintable(c.band->objectName()));
            QCOMPARE(QRect(c.band->left(), c.band->top(), c.band->width(), c.band->height()).size(), QSize(0, 0));
            QCOMPARE(QPoint(c.band->x2(), c.band->y2()), QPoint(0, 0));
        }
        QCOMPARE(w.ikonSurface().image(), before);
    }

    void onlyTheLeftButtonSelectsAMode()
    {
        frmGeral &w = *f->window;
        for (Qt::MouseButton b : {Qt::RightButton, Qt::MiddleButton}) {
            QTest::mouseClick(w.picModeSel[3], b);
            QCOMPARE(w.DrawMode, 0);
        }
        QTest::mouseClick(w.picModeSel[3], Qt::LeftButton);
        QCOMPARE(w.DrawMode, 3);
    }
};

QTEST_MAIN(DrawingToolsTest)
#include "drawing_tools_test.moc"
