// The tool window: panel commands, the colour palette's press and click, the
// unload that hands colours back and stores the position, and the image shift.

#include "formats/executable_resources.h"
#include "platform/label.h"
#include "platform/picture_box.h"
#include "platform/twips.h"
#include "platform/window_placement.h"
#include "support/editor_fixture.h"
#include "support/exe_writer.h"
#include "support/ico_writer.h"
#include "toolwindow/fra_cores.h"
#include "toolwindow/fra_diminui.h"
#include "toolwindow/fra_localiza.h"
#include "toolwindow/fra_move.h"
#include "toolwindow/frm_tool_bar.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

class FrmToolBarTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<EditorFixture> f;
    const ColourValue red = colour::rgb(255, 0, 0);
    const ColourValue green = colour::rgb(0, 255, 0);

    frmToolBar *tool() const { return f->window->toolBar(); }
    PictureBox *box(int i) const { return tool()->coloursFrame()->Color[size_t(i)]; }
    QStringList visiblePanels() const
    {
        QStringList names;
        for (QGroupBox *p : tool()->findChildren<QGroupBox *>(Qt::FindDirectChildrenOnly))
            if (p->isVisibleTo(tool()))
                names << p->objectName();
        return names;
    }

private slots:
    void init()
    {
        f = std::make_unique<EditorFixture>();
        QVERIFY(f->showPastStartup());
    }
    void cleanup() { f.reset(); }

    void panelCommandsShowOnePanelAtItsSize()
    {
        frmToolBar *t = tool();
        QVERIFY(!t->isVisible()); // loaded hidden by the main window's first size event
        QVERIFY(t->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(t->windowType(), Qt::Tool);
        QVERIFY(!t->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!t->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(t->parentWidget(), f->window.get());
        QCOMPARE(t->windowTitle(), QStringLiteral("Vorn Tessarel "));
        f->window->mnuCorFixa->trigger();
        QCOMPARE(visiblePanels(), QStringList(QStringLiteral("fraCores")));
        f->window->mnuMove->trigger();
        QCOMPARE(tool(), t); // still the one tool window
        QVERIFY(t->isVisible());
        QCOMPARE(visiblePanels(), QStringList(QStringLiteral("fraMove")));
        const QSize outer = t->outerSizeTwips();
        QVERIFY2(qAbs(outer.width() - 2490) < 15 && qAbs(outer.height() - 3250) < 15,
                 qPrintable(QStringLiteral("%1 x %2").arg(outer.width()).arg(outer.height())));
        QCOMPARE(t->minimumSize(), t->maximumSize()); // the user cannot resize it
    }

    // A press picks into the panel's swatch; only the click that follows hands
    // the swatches to the main window. The middle button never clicks.
    void pressPicksAndClickHandsOver()
    {
        frmGeral &w = *f->window;
        w.mnuCorFixa->trigger();
        const ColourValue mainLeft = w.LeftColor->backColor();
        QTest::mousePress(box(17), Qt::RightButton);
        QCOMPARE(tool()->coloursFrame()->RightColor->backColor(), red);
        QVERIFY(w.RightColor->backColor() != red);
        QTest::mouseRelease(box(17), Qt::RightButton);
        QCOMPARE(w.RightColor->backColor(), red);
        QCOMPARE(w.LeftColor->backColor(), tool()->coloursFrame()->LeftColor->backColor());
        QVERIFY(w.LeftColor->backColor() != mainLeft); // the swatch's own start colour came over
        QTest::mouseClick(box(20), Qt::MiddleButton);
        QCOMPARE(tool()->coloursFrame()->RightColor->backColor(), fraCores::presetColour(20));
        QCOMPARE(w.RightColor->backColor(), red);
        // A user box: the colour dialog chooses its colour, which goes left.
        f->doubles.dialog->queue([this](CommonDialog &d) {
            d.Color = green;
            return true;
        });
        QTest::mouseClick(box(47), Qt::LeftButton);
        QCOMPARE(f->doubles.dialog->shown.back().kind, QStringLiteral("color"));
        QCOMPARE(box(47)->backColor(), green);
        QCOMPARE(w.LeftColor->backColor(), green);
        QCOMPARE(w.RightColor->backColor(), fraCores::presetColour(20));
        // Cancelled: the box keeps its colour; a right click first took it right.
        f->doubles.dialog->queueCancel();
        QTest::mouseClick(box(33), Qt::RightButton);
        QCOMPARE(box(33)->backColor(), colour::kWhite);
        QCOMPARE(w.RightColor->backColor(), colour::kWhite);
        QCOMPARE(w.LeftColor->backColor(), colour::kWhite);
    }

    void unloadHandsBackColoursAndStoresThePosition()
    {
        frmGeral &w = *f->window;
        w.mnuCorFixa->trigger();
        QTest::mousePress(box(22), Qt::LeftButton); // pressed, never clicked
        tool()->move(82, 40);
        tool()->close();
        QCOMPARE(w.LeftColor->backColor(), fraCores::presetColour(22));
        QTRY_VERIFY(!w.sideWindows().existing(QStringLiteral("frmToolBar")));
        auto &store = *w.platform().settingsStore;
        QCOMPARE(store.ReadTextValue(WindowPlacement::kPositionKey, QStringLiteral("Left")), QStringLiteral("1230"));
        QCOMPARE(store.ReadTextValue(WindowPlacement::kPositionKey, QStringLiteral("Top")), QStringLiteral("600"));
        // The next reference loads a new window at the stored position.
        w.mnuMove->trigger();
        QCOMPARE(tool()->pos(), QPoint(82, 40));
        QCOMPARE(tool()->coloursFrame()->LeftColor->backColor(), colour::kMenuText);
    }

    void shiftButtonsMoveTheIcon()
    {
        frmGeral &w = *f->window;
        w.mnuMove->trigger();
        PictureSurface &ikon = w.ikonSurface();
        ikon.filledBox(0, 0, 31, 31, colour::rgb(0, 0, 255));
        ikon.pset(31, 5, colour::kBlack);
        ikon.pset(1, 1, red);
        auto click = [&](int i) { QTest::mouseClick(tool()->moveFrame()->cmdShift[size_t(i)], Qt::LeftButton); };
        for (QToolButton *b : tool()->moveFrame()->cmdShift) { // each face shows its arrow
            const QImage face = b->grab().toImage();
            QCOMPARE(face.pixelColor(face.rect().center()), QColor(0, 0, 128));
        }
        click(0);
        QCOMPARE(f->count(colour::kBlack), 0);
        QCOMPARE(f->pixel(2, 1), red);
        for (int y = 0; y < 32; ++y)
            QCOMPARE(f->pixel(0, y), colour::kWhite);
        QCOMPARE(f->gridCell(2, 1), red);
        click(4); // up and left
        QCOMPARE(f->pixel(1, 0), red);
        for (int i = 0; i < 32; ++i) {
            QCOMPARE(f->pixel(31, i), colour::kWhite);
            QCOMPARE(f->pixel(i, 31), colour::kWhite);
        }
        for (int i = 0; i < 32; ++i)
            click(3);
        QCOMPARE(f->count(colour::kWhite), 1024);
    }

    // Resize draws the file's small icon at (1, 1), Transfer puts it on the
    // reduced canvas, Return clears back to the normal layout; in that order.
    void reduceCycle()
    {
        frmGeral &w = *f->window;
        QTemporaryDir dir;
        QImage art(16, 16, QImage::Format_ARGB32);
        art.fill(qRgb(200, 0, 0));
        art.setPixel(0, 0, qRgb(0, 0, 160));
        art.setPixel(5, 5, qRgba(0, 0, 0, 0)); // transparent: the white box shows
        const QString path = dir.filePath(QStringLiteral("small.ico"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        IcoWriterEntry entry;
        entry.image = art;
        file.write(writeIco({entry}));
        file.close();
        w.platform().commonDialog->FileName = path;
        w.mnuReduzir->trigger();
        fraDiminui *panel = tool()->reduceFrame();
        QCOMPARE(panel->cmdDiminuir->text(), QStringLiteral("Resize"));
        QTest::mouseClick(panel->cmdDiminuir, Qt::LeftButton);
        QCOMPARE(panel->cmdDiminuir->text(), QStringLiteral("Transfer"));
        const PictureSurface &small = panel->pequenoSurface();
        QCOMPARE(small.point(1, 1), colour::rgb(0, 0, 160));
        QCOMPARE(small.point(2, 2), colour::rgb(200, 0, 0));
        QCOMPARE(small.point(6, 6), colour::kWhite);
        QCOMPARE(small.point(0, 0), colour::kWhite);
        QTest::mouseClick(panel->cmdDiminuir, Qt::LeftButton);
        QCOMPARE(panel->cmdDiminuir->text(), QStringLiteral("Return, Clean!"));
        QCOMPARE(w.grid->size(), QSize(twips::toPixels(2715), twips::toPixels(2700)));
        QCOMPARE(w.Ikon->size(), QSize(twips::toPixels(340), twips::toPixels(340)));
        QCOMPARE(w.lblNumero2->y(), w.grid->y() + w.grid->height());
        QCOMPARE(w.lblNumero2->width(), w.grid->width());
        QCOMPARE(f->pixel(1, 1), colour::rgb(0, 0, 160));
        QCOMPARE(f->gridCell(2, 2), colour::rgb(200, 0, 0));
        QTest::mouseClick(panel->cmdDiminuir, Qt::LeftButton);
        QCOMPARE(panel->cmdDiminuir->text(), QStringLiteral("Resize"));
        QCOMPARE(w.grid->size(), QSize(twips::toPixels(4815), twips::toPixels(4832)));
        QCOMPARE(f->count(colour::kWhite), 1024);
        QCOMPARE(f->gridCell(31, 31), colour::kWhite);
        // With no file named, Resize draws nothing and the cycle goes on.
        w.platform().commonDialog->FileName.clear();
        QTest::mouseClick(panel->cmdDiminuir, Qt::LeftButton);
        QCOMPARE(panel->cmdDiminuir->text(), QStringLiteral("Transfer"));
        QCOMPARE(small.point(1, 1), colour::kWhite);
        // At 12 twips per pixel the icon still goes to (1, 1).
        QCOMPARE(fraDiminui::drawPosition(32, 32, 12, 12), QPoint(1, 1));
    }

    // After a whole Resize, Transfer, Return cycle the grid shows bars over
    // every cell exactly when the Grad menu says they are drawn.
    void barsMatchTheirCaptionAfterTheReduceCycle()
    {
        frmGeral &w = *f->window;
        w.mnuReduzir->trigger();
        fraDiminui *panel = tool()->reduceFrame();
        for (bool bars : {true, false}) {
            if ((w.mnuGrade->text() == QStringLiteral("Without Bars")) != bars)
                w.mnuGrade->trigger();
            for (int step = 0; step < 3; ++step)
                QTest::mouseClick(panel->cmdDiminuir, Qt::LeftButton);
            QCOMPARE(panel->cmdDiminuir->text(), QStringLiteral("Resize"));
            const QImage grid = w.gridSurface().image();
            for (int i = 0; i < 32; ++i) {
                QCOMPARE(grid.pixel(10 * i, 315) == qRgb(0, 0, 0), bars);
                QCOMPARE(grid.pixel(315, 10 * i) == qRgb(0, 0, 0), bars);
            }
        }
    }

    // Three icons stepped through to both ends; a second library resets to
    // icon 1; a file that holds none is refused and the icons stay.
    void browserStepsThroughALibrary()
    {
        frmGeral &w = *f->window;
        QTemporaryDir dir;
        auto icon = [](QRgb c, bool holeAt00 = false) {
            IcoWriterEntry e;
            e.image = QImage(32, 32, QImage::Format_ARGB32);
            e.image.fill(c);
            if (holeAt00)
                e.image.setPixel(0, 0, qRgba(0, 0, 0, 0));
            return ExeIconGroup{QString(), 0, {e}};
        };
        auto save = [&](const QString &name, const QByteArray &bytes) {
            QFile file(dir.filePath(name));
            if (file.open(QIODevice::WriteOnly))
                file.write(bytes);
            return file.fileName();
        };
        std::vector<ExeIconGroup> groups{icon(qRgb(255, 0, 0), true), icon(qRgb(0, 255, 0)), icon(qRgb(0, 0, 255))};
        groups[0].id = 1, groups[1].id = 2, groups[2].id = 3;
        const QString three = save(QStringLiteral("three.dll"), writePe(groups).bytes);
        w.lblMsg->setCaption(QStringLiteral("/some/file.bmp")); // Properties available
        w.mnuReduzir->setEnabled(true);
        w.mnuSearch->trigger();
        fraLocaliza *b = tool()->searchFrame();
        QVERIFY(!b->cmdBack->isEnabled() && !b->cmdNext->isEnabled() && !b->lblArquivo->isVisible());
        f->doubles.toolDialog->queueFile(three);
        QTest::mouseClick(b->cmdOpen, Qt::LeftButton);
        QCOMPARE(f->doubles.toolDialog->shown.back().filter,
                 QStringLiteral("Executable (*.exe)|*.EXE|D. L. Libraries (*.dll)|*.DLL|Icon Libraries (*.icl)|*.ICL"));
        QCOMPARE(b->iconCount(), 3);
        QCOMPARE(w.lblMsg->text(), QStringLiteral("File: three.dll    Total: 3"));
        QCOMPARE(b->lblArquivo->text(), QStringLiteral("1"));
        QVERIFY(b->cmdNext->isEnabled() && !b->cmdBack->isEnabled());
        QVERIFY(!w.mnuReduzir->isEnabled());
        QVERIFY(!w.mnuPropriedade->isEnabled());
        QCOMPARE(f->pixel(0, 0), colour::rgb(0xC0, 0xC0, 0xC0)); // transparent arrives silver
        QCOMPARE(f->gridCell(5, 5), colour::rgb(255, 0, 0));
        // and silver is what Save then writes transparent; an icon without a hole has none.
        const QString saveAs = dir.filePath(QStringLiteral("saved.ico"));
        QCOMPARE(f->offeredTransparentColour(saveAs), std::optional(qRgb(0xC0, 0xC0, 0xC0)));
        QTest::mouseClick(b->cmdNext, Qt::LeftButton);
        QCOMPARE(f->offeredTransparentColour(saveAs), std::nullopt);
        QTest::mouseClick(b->cmdNext, Qt::LeftButton);
        QCOMPARE(b->lblArquivo->text(), QStringLiteral("3"));
        QVERIFY(!b->cmdNext->isEnabled() && b->cmdBack->isEnabled());
        QCOMPARE(f->gridCell(5, 5), colour::rgb(0, 0, 255));
        QCOMPARE(tool()->currentIconIndex, 2);
        QTest::mouseClick(b->cmdBack, Qt::LeftButton);
        QTest::mouseClick(b->cmdBack, Qt::LeftButton);
        QCOMPARE(b->lblArquivo->text(), QStringLiteral("1"));
        QVERIFY(!b->cmdBack->isEnabled() && b->cmdNext->isEnabled());
        QCOMPARE(f->pixel(5, 5), colour::rgb(255, 0, 0));
        // A second library while icon 3 is shown: back to icon 1 of the new one.
        QTest::mouseClick(b->cmdNext, Qt::LeftButton);
        QTest::mouseClick(b->cmdNext, Qt::LeftButton);
        std::vector<ExeIconGroup> one{icon(qRgb(9, 9, 9))};
        one[0].name = QStringLiteral("ONLY");
        f->doubles.toolDialog->queueFile(save(QStringLiteral("one.icl"), writeNe(one).bytes));
        QTest::mouseClick(b->cmdOpen, Qt::LeftButton);
        QCOMPARE(b->iconCount(), 1);
        QCOMPARE(b->lblArquivo->text(), QStringLiteral("1"));
        QCOMPARE(w.lblMsg->text(), QStringLiteral("File: one.icl    Total: 1"));
        QCOMPARE(f->pixel(5, 5), colour::rgb(9, 9, 9));
        // Not a library: the message, and the icons stay.
        const QString bogus = save(QStringLiteral("bogus.exe"), QByteArray("MZ not really a program"));
        f->doubles.toolDialog->queueFile(bogus);
        QTest::mouseClick(b->cmdOpen, Qt::LeftButton);
        QCOMPARE(f->doubles.messages->shown.back().text, QStringLiteral("  This  File  is  not  Valid!  "));
        QCOMPARE(f->doubles.messages->shown.back().title, QStringLiteral("Inform the User!"));
        QCOMPARE(b->iconCount(), 1);
        // The same file again: nothing at all, not even the message.
        const size_t messages = f->doubles.messages->shown.size();
        f->doubles.toolDialog->queueFile(bogus);
        QTest::mouseClick(b->cmdOpen, Qt::LeftButton);
        QCOMPARE(f->doubles.messages->shown.size(), messages);
    }

    // The icon number shows every digit, up to the last icon of the largest library.
    void browserNumberShowsEveryDigit()
    {
        QTemporaryDir dir;
        std::vector<ExeIconGroup> groups;
        for (int i = 0; i < 12; ++i) {
            IcoWriterEntry e;
            e.image = QImage(32, 32, QImage::Format_ARGB32);
            e.image.fill(qRgb(20 * i, 0, 0));
            groups.push_back(ExeIconGroup{QString(), quint16(i + 1), {e}});
        }
        QFile file(dir.filePath(QStringLiteral("twelve.dll")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(writePe(groups).bytes) > 0);
        file.close();
        f->window->mnuSearch->trigger();
        fraLocaliza *b = tool()->searchFrame();
        f->doubles.toolDialog->queueFile(file.fileName());
        QTest::mouseClick(b->cmdOpen, Qt::LeftButton);
        for (int i = 1; i < 12; ++i)
            QTest::mouseClick(b->cmdNext, Qt::LeftButton);
        QCOMPARE(b->lblArquivo->text(), QStringLiteral("12"));
        const QFontMetrics metrics = b->lblArquivo->fontMetrics();
        for (const QString &number :
             {QStringLiteral("12"), QString::number(iconres::kMaxIcons), QStringLiteral("9999")})
            QVERIFY2(metrics.horizontalAdvance(number) <= b->lblArquivo->contentsRect().width(), qPrintable(number));
        QVERIFY(b->rect().contains(b->lblArquivo->geometry()));
    }
};

QTEST_MAIN(FrmToolBarTest)
#include "frm_tool_bar_test.moc"
