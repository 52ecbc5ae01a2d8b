// The text tool: choosing the font and printing the text into the icon.

#include "platform/bevel_panel.h"
#include "platform/shape.h"
#include "support/editor_fixture.h"
#include "support/pointer.h"

#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QtTest>

using namespace pointer;

class TextToolTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<EditorFixture> f;

    void chooseFont(const QString &name, double size, bool bold, bool italic, ColourValue colour)
    {
        f->doubles.dialog->queue([=](CommonDialog &d) {
            d.FontName = name;
            d.FontSize = size;
            d.FontBold = bold;
            d.FontItalic = italic;
            d.Color = colour;
            return true;
        });
        QTest::mouseClick(f->window->txtAlpha, Qt::LeftButton);
    }

    void printAt(int col, int row, Qt::MouseButton b = Qt::LeftButton)
    {
        f->window->picModeSel_Click(6);
        press(f->grid(), cell(col, row), b);
        release(f->grid(), cell(col, row), b);
    }

    // The editor shown and active, start-up panel gone, text panel open.
    bool showWithTextPanel()
    {
        frmGeral &w = *f->window;
        w.show();
        w.tmrLogo_Timer();
        w.mnuOpTxt->trigger();
        w.activateWindow();
        return QTest::qWaitForWindowActive(&w);
    }

    int countOtherThan(ColourValue c) const { return 1024 - f->count(c); }

private slots:
    void init() { f = std::make_unique<EditorFixture>(); }
    void cleanup() { f.reset(); }

    void fontDialogIsAskedWithItsFlagsAndFont()
    {
        f->doubles.dialog->Flags = 2;
        f->doubles.dialog->queueCancel();
        const QFont boxFont = f->window->txtAlpha->font();
        const QFont iconFont = f->window->ikonSurface().font;
        QTest::mouseClick(f->window->txtAlpha, Qt::LeftButton);
        QCOMPARE(f->doubles.dialog->shown.size(), size_t(1));
        QCOMPARE(f->doubles.dialog->shown[0].kind, QStringLiteral("font"));
        QCOMPARE(f->doubles.dialog->shown[0].flags, 259);
        QCOMPARE(f->doubles.dialog->shown[0].fontName, QStringLiteral("Ms Sans Serif"));
        // Cancelled: nothing changes.
        QCOMPARE(f->window->fraTexto->caption(), QStringLiteral("TEXT"));
        QCOMPARE(f->window->txtAlpha->font(), boxFont);
        QCOMPARE(f->window->ikonSurface().font, iconFont);
    }

    void chosenFontReachesTheBoxAndTheIcon()
    {
        const double boxSize = f->window->txtAlpha->font().pointSizeF();
        chooseFont(QStringLiteral("DejaVu Serif"), 20, true, true, colour::rgb(0, 0, 255));
        QCOMPARE(f->window->fraTexto->caption(), QStringLiteral("Font: DejaVu Serif"));
        const QFont box = f->window->txtAlpha->font();
        QCOMPARE(box.family(), QStringLiteral("DejaVu Serif"));
        QVERIFY(box.bold());
        QVERIFY(box.italic());
        QCOMPARE(box.pointSizeF(), boxSize); // the box keeps its size
        QCOMPARE(f->window->txtAlpha->palette().color(QPalette::Text), QColor(0, 0, 255));
        const QFont icon = f->window->ikonSurface().font;
        QCOMPARE(icon.family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(icon.pointSizeF(), 20.0);
        QVERIFY(icon.bold());
        QVERIFY(icon.italic());
    }

    void printIsCentredOnTheCellAndClippedAtTheEdge()
    {
        chooseFont(QStringLiteral("DejaVu Sans"), 14, true, false, 0);
        f->window->txtAlpha->setText(QStringLiteral("H"));
        const ColourValue bg = colour::resolve(colour::kWindowBackground);
        printAt(16, 16);
        const int whole = countOtherThan(bg);
        QVERIFY(whole > 10);
        // Glyph pixels only: black and nothing in between.
        QCOMPARE(f->count(colour::kBlack) + f->count(bg), 1024);
        // Centred: about as much ink left and right of column 16.
        int left = 0, right = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if (f->pixel(x, y) == colour::kBlack)
                    (x < 16 ? left : right) += 1;
        QVERIFY(std::abs(left - right) <= whole / 3);
        f->window->mnuLimpar->trigger();
        printAt(0, 0);
        const int clipped = countOtherThan(f->right() == colour::kWindowBackground ? bg : f->right());
        QVERIFY(clipped > 0);
        QVERIFY(clipped < whole);
        QCOMPARE(f->gridCell(0, 0), f->pixel(0, 0));
    }

    void rightButtonPrintsInTheRightColour()
    {
        chooseFont(QStringLiteral("DejaVu Sans"), 14, true, false, colour::rgb(0, 255, 0));
        const ColourValue red = colour::rgb(255, 0, 0);
        f->window->RightColor->setBackColor(red);
        f->window->txtAlpha->setText(QStringLiteral("X"));
        printAt(16, 16, Qt::RightButton);
        QVERIFY(f->count(red) > 5);
        QCOMPARE(f->count(colour::rgb(0, 255, 0)), 0);
        // An empty text prints nothing.
        f->window->mnuLimpar->trigger();
        f->window->txtAlpha->setText(QString());
        printAt(16, 16);
        QCOMPARE(f->count(red), 1024);
    }

    void keyboardFocusSelectsTextMode()
    {
        frmGeral &w = *f->window;
        QVERIFY(showWithTextPanel());
        w.txtAlpha->clearFocus(); // focus starts elsewhere
        w.picModeSel_Click(8);
        press(f->grid(), cell(1, 1));
        move(f->grid(), cell(4, 4), Qt::LeftButton);
        release(f->grid(), cell(4, 4));
        QVERIFY(w.shCapture->isVisible());
        w.mnuColar->setEnabled(true);
        w.txtAlpha->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(w.DrawMode, 6);
        QVERIFY(!w.mnuCortar->isEnabled());
        QVERIFY(!w.mnuCopiar->isEnabled());
        QVERIFY(!w.mnuColar->isEnabled());
        QVERIFY(!w.shCapture->isVisible());
        QCOMPARE(w.txtAlpha->cursor().shape(), Qt::IBeamCursor);
    }

    void focusComingBackLeavesTheModeAlone()
    {
        frmGeral &w = *f->window;
        QVERIFY(showWithTextPanel());
        f->doubles.dialog->queueCancel();
        QTest::mouseClick(w.txtAlpha, Qt::LeftButton);
        QCOMPARE(w.DrawMode, 6);
        QTest::mouseClick(w.picModeSel[8], Qt::LeftButton);
        QCOMPARE(w.DrawMode, 8);
        QVERIFY(w.txtAlpha->hasFocus()); // the mode buttons take no focus
        // A menu opens and closes: focus comes back to the box.
        w.mnuEdit->popup(w.mapToGlobal(QPoint(10, 10)));
        QTRY_VERIFY(w.mnuEdit->isVisible());
        w.mnuEdit->close();
        QTRY_VERIFY(w.txtAlpha->hasFocus());
        QCOMPARE(w.DrawMode, 8);
        // Another window takes the activation and gives it back.
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTRY_VERIFY(w.txtAlpha->hasFocus());
        QCOMPARE(w.DrawMode, 8);
        // A click into the box is the user choosing it, focused or not.
        f->doubles.dialog->queueCancel();
        QTest::mouseClick(w.txtAlpha, Qt::LeftButton);
        QCOMPARE(w.DrawMode, 6);
    }

    // Cut, Copy and Paste keys the Edit menu cannot take are the box's own.
    void editKeysTheMenuCannotRunEditTheBox()
    {
        frmGeral &w = *f->window;
        QVERIFY(showWithTextPanel());
        f->doubles.dialog->queueCancel();
        QTest::mouseClick(w.txtAlpha, Qt::LeftButton); // text mode: Cut, Copy and Paste off
        QVERIFY(!w.mnuColar->isEnabled());
        QGuiApplication::clipboard()->setText(QStringLiteral("!"));
        w.txtAlpha->end(false);
        QTest::keyClick(w.txtAlpha, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w.txtAlpha->text(), QStringLiteral("Text Click-me!"));
        QCOMPARE(w.DrawMode, 6);
    }
};

QTEST_MAIN(TextToolTest)
#include "text_tool_test.moc"
