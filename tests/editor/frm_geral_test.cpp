// The main window: canvas repaint, bars, transforms through the menu, window
// states, keys, closing, colour strip, drops and the file label.

#include "platform/bevel_panel.h"
#include "platform/label.h"
#include "platform/picture_surface.h"
#include "support/editor_fixture.h"
#include "support/pointer.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPaintEvent>
#include <QTimer>
#include <QtTest>

using namespace pointer;

class FrmGeralTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<EditorFixture> f;

    QImage gridImage() const { return f->window->gridSurface().image(); }

private slots:
    void init() { f = std::make_unique<EditorFixture>(); }
    void cleanup() { f.reset(); }

    void startsWithBarsPencilAndDisabledMenus()
    {
        frmGeral &w = *f->window;
        QCOMPARE(w.mnuGrade->text(), QStringLiteral("Without Bars"));
        QCOMPARE(w.DrawMode, 0);
        QCOMPARE(w.LeftColor->backColor(), colour::kBlack);
        QCOMPARE(w.RightColor->backColor(), colour::kWindowBackground);
        QVERIFY(!w.mnuOpen->menuAction()->isEnabled());
        QVERIFY(!w.mnuGradeOption->menuAction()->isEnabled());
        QVERIFY(w.mnuAbout->menuAction()->isEnabled());
        QVERIFY(!w.mnuClear->isVisible());
        QVERIFY(!w.mnuReduzir->isEnabled());
        QCOMPARE(w.mnuFechar->shortcut(), QKeySequence(Qt::Key_F12));
        QCOMPARE(w.mnuOpenAs->text(), QStringLiteral("O&pen/Copy/Move"));
        QCOMPARE(w.mnucshp->text(), QStringLiteral("    Vorn HP"));
        // Named controls are found by name, as other windows address them.
        QVERIFY(w.findChild<QWidget *>(QStringLiteral("grid")));
        QCOMPARE(w.findChildren<QWidget *>(QStringLiteral("picModeSel")).size(), 9);
        // Designed layout: grid at 360, 375 twips in pnlMaster, 4815 x 4832.
        QCOMPARE(w.grid->geometry(), QRect(24, 25, 321, 322));
        QCOMPARE(w.picModeSel[8]->geometry().top(), 232);
        QCOMPARE(w.picModeSel[7]->geometry().top(), 264);
        QCOMPARE(w.LeftColor->toolTip(), QStringLiteral("Left Button Color"));
    }

    // Every framed picture box, in every window that has them, shows its whole
    // surface (or back colour) inside a frame on its outermost pixels; every
    // bevelled panel's lower and right edge lies on its last row and column.
    void framesLieOnTheOutermostPixels()
    {
        QVERIFY(f->showPastStartup());
        frmGeral &w = *f->window;
        for (QAction *command : {w.mnuGradiende, w.mnuScroolColor, w.mnuProcCor, w.mnuCorFixa})
            command->trigger();
        QList<QWidget *> windows{&w};
        for (const char *name : {"frmDesenho", "ColorPalette", "frmVeCor1", "frmToolBar"})
            windows << w.sideWindows().existing(QString::fromLatin1(name));
        int boxes = 0, panels = 0;
        for (QWidget *top : windows) {
            QVERIFY(top);
            for (PictureBox *box : top->findChildren<PictureBox *>()) {
                const int b = box->borderWidth();
                if (b == 0 || !box->isVisible())
                    continue;
                ++boxes;
                const QImage shot = box->grab().toImage();
                const QString where = top->objectName() + QLatin1Char('.') + box->objectName();
                const QImage surface = box->surface() ? box->surface()->image() : QImage();
                for (int y = b; y < shot.height() - b; ++y)
                    for (int x = b; x < shot.width() - b; ++x) {
                        const QRgb want =
                            surface.isNull() ? colour::toQColor(box->backColor()).rgb() : surface.pixel(x - b, y - b);
                        QVERIFY2((shot.pixel(x, y) | 0xFF000000u) == (want | 0xFF000000u),
                                 qPrintable(QStringLiteral("%1 client pixel %2, %3").arg(where).arg(x).arg(y)));
                    }
                const QRgb lit = box->palette().color(QPalette::Light).rgb();
                for (int i = 0; i < shot.height(); ++i)
                    QVERIFY2(shot.pixel(shot.width() - 1, i) == lit, qPrintable(where + QStringLiteral(" right edge")));
                for (int i = 0; i < shot.width(); ++i)
                    QVERIFY2(shot.pixel(i, shot.height() - 1) == lit,
                             qPrintable(where + QStringLiteral(" lower edge")));
            }
            for (BevelPanel *panel : top->findChildren<BevelPanel *>()) {
                if (panel->bevelWidth() == 0 || !panel->isVisible())
                    continue;
                ++panels;
                const QImage shot = panel->grab().toImage();
                const QRgb edge =
                    panel->palette().color(panel->bevelStyle() == 1 ? QPalette::Light : QPalette::Dark).rgb();
                const QString where = panel->objectName();
                QVERIFY2(shot.pixel(shot.width() - 1, shot.height() / 2) == edge,
                         qPrintable(where + QStringLiteral(" right edge")));
                QVERIFY2(shot.pixel(shot.width() / 2, shot.height() - 1) == edge,
                         qPrintable(where + QStringLiteral(" lower edge")));
            }
        }
        QVERIFY(boxes >= 10 && panels >= 4); // the walk reached the boxes named above
    }

    void barsLieOnCellBordersAndToggleTwice()
    {
        const QImage img = gridImage();
        const QRgb black = qRgb(0, 0, 0);
        for (int i = 0; i < 32; ++i) {
            QCOMPARE(img.pixel(10 * i, 5), black);
            QCOMPARE(img.pixel(5, 10 * i), black);
        }
        QCOMPARE(img.pixel(319, 0), black);
        QVERIFY(img.pixel(320, 5) != black); // no line at 4800 twips
        QVERIFY(img.pixel(5, 320) != black);

        f->window->mnuGrade->trigger();
        QCOMPARE(f->window->mnuGrade->text(), QStringLiteral("With Bars"));
        const QImage bare = gridImage();
        QVERIFY(bare.pixel(10, 5) != black);
        f->window->mnuGrade->trigger();
        QCOMPARE(gridImage(), img);
        // Off again: the grid is clear and every cell repainted from Ikon.
        f->window->ikonSurface().pset(3, 4, colour::rgb(0, 128, 0));
        f->window->mnuGrade->trigger();
        QCOMPARE(f->gridCell(3, 4), colour::rgb(0, 128, 0));
        QVERIFY(gridImage().pixel(30, 45) != black);
    }

    void refreshRepaintsExactlyTheChangedCell()
    {
        f->window->RefreshGrid();
        const QImage before = gridImage();
        f->window->ikonSurface().pset(7, 3, colour::rgb(200, 10, 10));
        f->window->gridSurface().takeDirty();
        f->window->RefreshGrid();
        const QImage after = gridImage();
        QRect changed;
        for (int y = 0; y < after.height(); ++y)
            for (int x = 0; x < after.width(); ++x)
                if (before.pixel(x, y) != after.pixel(x, y))
                    changed |= QRect(x, y, 1, 1);
        // The inset box of cell (7, 3): pixels 72..78 by 32..38.
        QCOMPARE(changed, QRect(QPoint(72, 32), QPoint(78, 38)));
        for (int y = changed.top(); y <= changed.bottom(); ++y)
            for (int x = changed.left(); x <= changed.right(); ++x)
                QCOMPARE(after.pixel(x, y), qRgb(200, 10, 10));
        // One background pixel on each side keeps the bars apart from the box.
        QCOMPARE(after.pixel(70, 35), qRgb(0, 0, 0));
        QCOMPARE(after.pixel(71, 35), before.pixel(71, 35));
        QCOMPARE(after.pixel(79, 35), before.pixel(79, 35));
    }

    void paintCellOutsideSixteenBitsIsIgnored()
    {
        QVERIFY(f->window->PaintCell(150 * 31, 0, colour::kBlack));
        QVERIFY(!f->window->PaintCell(32700, 0, colour::kBlack));
        QVERIFY(f->window->PaintCell(32550, 0, colour::kBlack)); // clipped, harmless
    }

    void transformsThroughTheMenu()
    {
        frmGeral &w = *f->window;
        PictureSurface &ikon = w.ikonSurface();
        const QString title = w.windowTitle();
        const ColourValue red = colour::rgb(255, 0, 0);
        ikon.pset(5, 0, red);
        ikon.pset(7, 7, red);
        w.mnuRotate13->trigger();
        QCOMPARE(f->pixel(0, 5), red);
        QCOMPARE(f->pixel(7, 7), red);
        QCOMPARE(f->gridCell(0, 5), red);
        QCOMPARE(f->count(red), 2);
        w.mnuLimpar->trigger();
        QCOMPARE(f->count(colour::resolve(colour::kWindowBackground)), 1024);
        w.RightColor->setBackColor(red);
        w.mnuLimpar->trigger();
        QCOMPARE(f->count(red), 1024);
        QCOMPARE(f->gridCell(31, 31), red);
        QCOMPARE(w.LeftColor->backColor(), colour::kBlack);
        QCOMPARE(w.windowTitle(), title);
    }

    void windowStatesAndSideWindows()
    {
        frmGeral &w = *f->window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QWidget *tool = w.sideWindows().get(QStringLiteral("frmToolBar"));
        tool->show();
        w.setWindowState(Qt::WindowMaximized);
        QCOMPARE(w.windowTitle(), QStringLiteral("Vorn Tessarel - Version: 2.10 - Vorn Quorvane Vezadazar"));
        QVERIFY(w.lblAviso->isVisible());
        QVERIFY(tool->isVisible());
        w.setWindowState(Qt::WindowNoState);
        QCOMPARE(w.windowTitle(), QStringLiteral("Tessarel 2.1.0"));
        QVERIFY(!tool->isVisible());
        // An open colour window is hidden with it; windows never opened are not loaded for this.
        w.mnuScroolColor->trigger();
        QWidget *palette = w.sideWindows().existing(QStringLiteral("ColorPalette"));
        QVERIFY(palette && palette->isVisible());
        w.setWindowState(Qt::WindowMaximized);
        w.setWindowState(Qt::WindowNoState);
        QVERIFY(!palette->isVisible());
        QVERIFY(!w.sideWindows().existing(QStringLiteral("frmDesenho")));
        // The registry hands out one instance per name.
        QCOMPARE(w.sideWindows().get(QStringLiteral("frmToolBar")), tool);
    }

    // Whatever state the window manager left a side window in, the command
    // that shows it brings it back normal and visible.
    void commandsBringMinimisedSideWindowsBack()
    {
        frmGeral &w = *f->window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const std::pair<QAction *, const char *> commands[] = {{w.mnuMove, "frmToolBar"},
                                                               {w.mnuScroolColor, "ColorPalette"},
                                                               {w.mnuGradiende, "frmDesenho"},
                                                               {w.mnuVersao, "frmAbout"},
                                                               {w.mnuOpenAs, "frmCopy"}};
        for (const auto &[command, name] : commands) {
            command->trigger();
            QWidget *side = w.sideWindows().existing(QString::fromLatin1(name));
            QVERIFY2(side && side->isVisible(), name);
            for (const Qt::WindowState left : {Qt::WindowMinimized, Qt::WindowMaximized}) {
                side->setWindowState(left);
                command->trigger();
                QVERIFY2(side->windowState() == Qt::WindowNoState && side->isVisible(), name);
            }
        }
    }

    void functionKeysMinimiseAndMaximise()
    {
        frmGeral &w = *f->window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::keyClick(&w, Qt::Key_F3);
        QVERIFY(w.windowState() & Qt::WindowMaximized);
        QTest::keyClick(&w, Qt::Key_F2);
        QVERIFY(w.windowState() & Qt::WindowMinimized);
        QCOMPARE(w.windowTitle(), QStringLiteral("Tessarel 2.1.0"));
    }

    void minimisedWhileMaximisedCountsAsMinimised()
    {
        frmGeral &w = *f->window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QWidget *tool = w.sideWindows().get(QStringLiteral("frmToolBar"));
        w.setWindowState(Qt::WindowMaximized);
        tool->show();
        // What the title bar's minimise button gives a maximised window.
        w.setWindowState(Qt::WindowMinimized | Qt::WindowMaximized);
        QCOMPARE(w.windowTitle(), QStringLiteral("Tessarel 2.1.0"));
        QVERIFY(!tool->isVisible());
    }

    void pencilShowsTheIconPixelAtOnce()
    {
        frmGeral &w = *f->window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.tmrLogo_Timer(); // the start-up panel covers the icon
        struct PaintWatch : QObject
        {
            QRegion painted;
            bool eventFilter(QObject *, QEvent *e) override
            {
                if (e->type() == QEvent::Paint)
                    painted += static_cast<QPaintEvent *>(e)->region();
                return false;
            }
        } watch;
        w.Ikon->installEventFilter(&watch);
        const int border = w.Ikon->borderWidth();
        press(f->grid(), cell(4, 6));
        release(f->grid(), cell(4, 6));
        QTRY_VERIFY(watch.painted.contains(QPoint(border + 4, border + 6)));
        QTest::qWait(20);
        watch.painted = QRegion();
        press(f->grid(), cell(9, 2));
        release(f->grid(), cell(9, 2));
        QTRY_VERIFY(watch.painted.contains(QPoint(border + 9, border + 2)));
        // Only the changed pixels, not the whole box.
        QVERIFY(!watch.painted.contains(QPoint(border + 20, border + 20)));
        QCOMPARE(colour::fromRgb(w.Ikon->grab().toImage().pixel(border + 9, border + 2)), colour::kBlack);
    }

    void closeRequestsAreRefused()
    {
        frmGeral &w = *f->window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QVERIFY(!(w.windowFlags() & Qt::WindowCloseButtonHint));
    }

    void exitEndsTheEventLoop()
    {
        frmGeral &w = *f->window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.sideWindows().get(QStringLiteral("frmToolBar"));
        w.enableMenus(); // the File menu is off until the start-up panel goes
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTimer::singleShot(0, &w, [&w] { QTest::keyClick(&w, Qt::Key_F12); });
        // Should the key do nothing, this ends the loop with a different code.
        QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!w.sideWindows().existing(QStringLiteral("frmToolBar")));
    }

    void colourStripPicksWhatIsDrawn()
    {
        frmGeral &w = *f->window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const ColourValue teal = colour::rgb(0, 128, 128);
        const ColourValue olive = colour::rgb(128, 128, 0);
        w.stripSurface().filledBox(0, 0, 1500, 225, teal);
        w.stripSurface().filledBox(1515, 0, 5220, 225, olive);
        QWidget *strip = w.picDefaltColor;
        move(strip, QPointF(10, 5));
        QVERIFY(w.picVeCor->isVisible());
        QVERIFY(!w.lblCordenadas->isVisible());
        QCOMPARE(w.picVeCor->backColor(), teal);
        press(strip, QPointF(10, 5), Qt::LeftButton);
        QCOMPARE(w.LeftColor->backColor(), teal);
        QCOMPARE(w.RightColor->backColor(), colour::kWindowBackground);
        press(strip, QPointF(200, 5), Qt::RightButton);
        QCOMPARE(w.RightColor->backColor(), olive);
        QCOMPARE(w.LeftColor->backColor(), teal);
        press(strip, QPointF(10, 5), Qt::MiddleButton);
        QCOMPARE(w.LeftColor->backColor(), teal);
        QCOMPARE(w.RightColor->backColor(), olive);
        // Over the grid the swatch goes and the read-out returns.
        move(f->grid(), cell(1, 1));
        QVERIFY(!w.picVeCor->isVisible());
    }

    void pointerOverBackgroundHidesReadouts()
    {
        frmGeral &w = *f->window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        move(f->grid(), cell(1, 1));
        QVERIFY(w.lblCordenadas->isVisible());
        // Over the grid's own panel and the colour bar the read-outs stay.
        move(w.pnlMaster, QPointF(3, w.pnlMaster->height() - 3));
        QVERIFY(w.lblCordenadas->isVisible());
        move(w.picDefaltColor, QPointF(10, 5));
        QVERIFY(w.picVeCor->isVisible());
        move(w.pic3DColor, QPointF(2, 2));
        QVERIFY(w.picVeCor->isVisible());
        move(w.pnlBarra, QPointF(700, 20));
        QVERIFY(!w.lblCordenadas->isVisible());
        QVERIFY(!w.picVeCor->isVisible());
        QCOMPARE(w.pnlBarra->cursor().hotSpot(), QPoint(5, 0));
        QCOMPARE(w.pnlBarra->cursor().pixmap().size(), QSize(32, 32));
        QCOMPARE(w.grid->cursor().shape(), Qt::CrossCursor);
    }

    void draggedPanelDropsOnBackground()
    {
        frmGeral &w = *f->window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.tmrLogo_Timer(); // the start-up panel would take the drop
        BevelPanel *panel = w.pic3DMode;
        panel->setDragMode(1);
        press(panel, QPointF(5, 5));
        // Release over an empty part of pnlBarra at pixel (600, 100).
        const QPointF drop = panel->mapFrom(w.pnlBarra, QPoint(600, 100));
        release(panel, drop);
        QCOMPARE(panel->pos(), QPoint(600, 100));
        // The panel keeps its own arrow, not the background's hand.
        QVERIFY(panel->testAttribute(Qt::WA_SetCursor));
        QCOMPARE(panel->cursor().shape(), Qt::ArrowCursor);
        // Dropped on a control of the bar that is not a panel: nothing moves.
        press(panel, QPointF(5, 5));
        release(panel, panel->mapFromGlobal(w.picCap->mapToGlobal(QPoint(3, 3))));
        QCOMPARE(panel->pos(), QPoint(600, 100));
        // Dropped onto itself: it stays.
        press(panel, QPointF(5, 5));
        release(panel, QPointF(10, 10));
        QCOMPARE(panel->pos(), QPoint(600, 100));
        // Drag mode 0: a press does not drag.
        panel->setDragMode(0);
        press(panel, QPointF(5, 5));
        release(panel, panel->mapFrom(w.pnlBarra, QPoint(700, 300)));
        QCOMPARE(panel->pos(), QPoint(600, 100));
    }

    void fileLabelDrivesProperties()
    {
        frmGeral &w = *f->window;
        QVERIFY(!w.mnuPropriedade->isEnabled());
        w.lblMsg->setCaption(QStringLiteral("/tmp/a.ico"));
        QVERIFY(w.mnuPropriedade->isEnabled());
        w.lblMsg->setCaption(QString());
        QVERIFY(!w.mnuPropriedade->isEnabled());
    }
};

QTEST_MAIN(FrmGeralTest)
#include "frm_geral_test.moc"
