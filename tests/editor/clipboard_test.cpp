// Region capture, Copy/Cut/Paste, the clipboard probe and Clear Clipboard, on
// the real system clipboard of the platform.

#include "platform/bevel_panel.h"
#include "platform/shape.h"
#include "support/editor_fixture.h"
#include "support/pointer.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QtTest>

using namespace pointer;

class ClipboardTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<EditorFixture> f;
    ColourValue white = 0, background = 0;
    const ColourValue red = colour::rgb(255, 0, 0);
    const ColourValue blue = colour::rgb(0, 0, 255);

    // Capture mode and a drag from one twip position to another.
    void select(double x1, double y1, double x2, double y2)
    {
        f->window->picModeSel_Click(8);
        press(f->grid(), twips(x1, y1));
        move(f->grid(), twips(x2, y2), Qt::LeftButton);
        release(f->grid(), twips(x2, y2));
    }

    void clickCell(int c, int r)
    {
        press(f->grid(), cell(c, r));
        release(f->grid(), cell(c, r));
    }

    // The probe runs when the pointer crosses the window's own background.
    void pointerOverBackground()
    {
        QWidget *client = f->window->centralWidget();
        move(client, QPointF(client->width() - 2, client->height() - 2));
    }

    void putImageOnClipboard(QRgb c, QSize size = QSize(40, 40))
    {
        QImage img(size, QImage::Format_RGB32);
        img.fill(c);
        QGuiApplication::clipboard()->setImage(img);
    }

private slots:
    void init()
    {
        QGuiApplication::clipboard()->clear();
        f = std::make_unique<EditorFixture>();
        white = colour::kWhite;
        background = colour::resolve(colour::kWindowBackground);
    }
    void cleanup() { f.reset(); }

    void oneCellCopyAndCut()
    {
        f->window->ikonSurface().pset(4, 6, red);
        select(4 * 150 + 20, 6 * 150 + 20, 4 * 150 + 100, 6 * 150 + 120);
        QVERIFY(f->window->mnuCopiar->isEnabled());
        f->window->mnuCortar->trigger();
        QCOMPARE(f->window->SelLeft, 4);
        QCOMPARE(f->window->SelRight, 4);
        QCOMPARE(f->window->SelTop, 6);
        QCOMPARE(f->window->SelBottom, 6);
        QCOMPARE(f->pixel(4, 6), white);
        QCOMPARE(f->count(white), background == white ? 1024 : 1);
        QCOMPARE(f->window->captureSurface().point(0, 0), red);
        QVERIFY(f->window->mnuColar->isEnabled());
        QVERIFY(!f->window->mnuCopiar->isEnabled());
        QVERIFY(!f->window->mnuCortar->isEnabled());
        QVERIFY(!f->window->shCapture->isVisible());
    }

    void rightEdgeOnABoundaryTakesTheNextCell()
    {
        select(300, 300, 600, 450);
        QCOMPARE(f->window->shCapture->left() + f->window->shCapture->width(), 600);
        f->window->mnuCopiar->trigger();
        QCOMPARE(f->window->SelLeft, 2);
        QCOMPARE(f->window->SelRight, 4);
        QCOMPARE(f->window->SelBottom, 3);
    }

    void backwardsSelectionHasPositiveSize()
    {
        select(1200, 1200, 300, 450);
        QCOMPARE(f->window->shCapture->left(), 300);
        QCOMPARE(f->window->shCapture->width(), 900);
        f->window->mnuCopiar->trigger();
        QCOMPARE(f->window->SelLeft, 2);
        QCOMPARE(f->window->SelRight, 8);
    }

    void pasteStampsOnEveryClick()
    {
        PictureSurface &ikon = f->window->ikonSurface();
        ikon.filledBox(1, 1, 2, 2, red); // a 2 x 2 red block
        ikon.pset(2, 2, blue);
        select(1 * 150 + 75, 1 * 150 + 75, 2 * 150 + 75, 2 * 150 + 75);
        f->window->mnuCopiar->trigger();
        f->window->mnuColar->trigger();
        QCOMPARE(f->window->DrawMode, 9);
        QCOMPARE(f->window->picMode->picture(), f->window->imgColar);
        QCOMPARE(f->count(red), 3); // nothing placed before a click
        clickCell(10, 10);
        QCOMPARE(f->pixel(10, 10), red);
        QCOMPARE(f->pixel(11, 11), blue);
        QCOMPARE(f->pixel(12, 12), background);
        clickCell(20, 0);
        QCOMPARE(f->pixel(21, 1), blue);
        QCOMPARE(f->count(red), 9);
        QCOMPARE(f->window->DrawMode, 9);
        // Near the edge the block is cropped.
        clickCell(31, 31);
        QCOMPARE(f->pixel(31, 31), red);
        QCOMPARE(f->gridCell(21, 1), blue);
    }

    void beforeAnyCopyTheBlockIsOnePixel()
    {
        // The probe offers Paste; then another program empties the clipboard.
        putImageOnClipboard(qRgb(255, 0, 0));
        pointerOverBackground();
        QGuiApplication::clipboard()->clear();
        f->window->mnuColar->trigger();
        QCOMPARE(f->count(red), 0);
        clickCell(5, 5);
        QCOMPARE(f->count(red), 1);
        QCOMPARE(f->pixel(5, 5), red);
    }

    void probeOffersPasteAndPasteReplacesTheIcon()
    {
        QVERIFY(!f->window->mnuClear->isVisible());
        pointerOverBackground();
        QVERIFY(!f->window->mnuColar->isEnabled()); // nothing on the clipboard
        putImageOnClipboard(qRgb(0, 0, 255), QSize(40, 20));
        pointerOverBackground();
        QVERIFY(f->window->mnuColar->isEnabled());
        QVERIFY(f->window->mnuClear->isVisible());
        QCOMPARE(f->window->captureSurface().point(0, 0), blue);
        f->window->mnuColar->trigger();
        QCOMPARE(f->count(blue), 32 * 20);
        QCOMPARE(f->pixel(0, 25), background);
        QCOMPARE(f->gridCell(31, 19), blue);
        QVERIFY(!f->window->mnuColar->isEnabled());
        QCOMPARE(f->window->DrawMode, 9);
    }

    void pasteWithoutAProbedPictureLeavesABlankIcon()
    {
        f->window->ikonSurface().pset(3, 3, red);
        select(0, 0, 100, 100);
        f->window->mnuCopiar->trigger(); // offers Paste
        putImageOnClipboard(qRgb(0, 0, 255));
        f->window->mnuColar->trigger();
        QCOMPARE(f->count(background), 1024);
    }

    void copyPutsTheProbedPictureOnTheClipboard()
    {
        putImageOnClipboard(qRgb(0, 255, 0), QSize(8, 8));
        pointerOverBackground();
        QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
        select(0, 0, 300, 300);
        f->window->mnuCopiar->trigger();
        const QImage back = QGuiApplication::clipboard()->image();
        QCOMPARE(back.size(), QSize(8, 8));
        QCOMPARE(back.pixel(0, 0) & 0xFFFFFF, qRgb(0, 255, 0) & 0xFFFFFF);
        // Without a probed picture the clipboard is left alone.
        f->window->mnuClear->trigger();
        QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
        select(0, 0, 300, 300);
        f->window->mnuCopiar->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
    }

    void clearClipboardThenProbe()
    {
        putImageOnClipboard(qRgb(0, 0, 255));
        pointerOverBackground();
        f->window->mnuClear->trigger();
        QVERIFY(!f->window->mnuColar->isEnabled());
        QVERIFY(!f->window->mnuClear->isVisible());
        QVERIFY(!f->window->captureSurface().hasPicture());
        QCOMPARE(f->window->captureSurface().point(0, 0), colour::resolve(colour::kButtonFace));
        pointerOverBackground();
        QVERIFY(!f->window->mnuColar->isEnabled());
        // The next Copy offers Paste again.
        select(0, 0, 100, 100);
        f->window->mnuCopiar->trigger();
        QVERIFY(f->window->mnuColar->isEnabled());
    }

    void probeRunsOverTheWindowBackgroundOnly()
    {
        frmGeral &w = *f->window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.tmrLogo_Timer();
        putImageOnClipboard(qRgb(0, 0, 255));
        pointerOverBackground();
        w.mnuColar->trigger(); // takes the picture and withdraws Paste
        QVERIFY(!w.mnuColar->isEnabled());
        for (QWidget *over : {static_cast<QWidget *>(w.pnlMaster), static_cast<QWidget *>(w.pic3DColor),
                              static_cast<QWidget *>(w.pnlBarra)}) {
            move(over, QPointF(2, 2));
            QVERIFY2(!w.mnuColar->isEnabled(), qPrintable(over->objectName()));
        }
        pointerOverBackground();
        QVERIFY(w.mnuColar->isEnabled());
    }

    // Ctrl+X/C/V are the Edit menu's unless the text box holds a selection
    // the user is editing; sent to whatever has the keyboard focus.
    void editKeysReachTheMenu()
    {
        frmGeral &w = *f->window;
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.tmrLogo_Timer();
        auto key = [](int k) { QTest::keyClick(static_cast<QWidget *>(nullptr), Qt::Key(k), Qt::ControlModifier); };
        auto selectAndKey = [&](int k) {
            select(150, 150, 450, 450); // cells 1..3
            QVERIFY(w.mnuCopiar->isEnabled());
            key(k);
        };
        f->window->ikonSurface().filledBox(0, 0, 31, 31, red);
        for (int round = 0; round < 2; ++round) {
            selectAndKey(Qt::Key_C);
            QVERIFY2(!w.mnuCopiar->isEnabled(), "Ctrl+C did not copy");
            QCOMPARE(QPoint(w.SelRight, w.SelBottom), QPoint(3, 3));
            selectAndKey(Qt::Key_X);
            QCOMPARE(f->pixel(2, 2), white); // Ctrl+X cut
            key(Qt::Key_V);
            QCOMPARE(w.DrawMode, 9);
            // Second round: after the text box was clicked and so has the focus.
            w.mnuOpTxt->trigger();
            f->doubles.dialog->queueCancel();
            QTest::mouseClick(w.txtAlpha, Qt::LeftButton);
            QVERIFY(w.txtAlpha->hasFocus());
            f->window->ikonSurface().filledBox(0, 0, 31, 31, red);
        }
        QCOMPARE(w.txtAlpha->text(), QStringLiteral("Text Click-me"));
        // With text selected in the box the keys edit it.
        w.txtAlpha->selectAll();
        select(150, 150, 450, 450);
        key(Qt::Key_C);
        QVERIFY(w.mnuCopiar->isEnabled());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Text Click-me"));
    }
};

QTEST_MAIN(ClipboardTest)
#include "clipboard_test.moc"
