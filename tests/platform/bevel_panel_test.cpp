// The bevelled panel: how each style and width draws, and panel dragging.

#include "platform/bevel_panel.h"
#include "support/pointer.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

QImage render(BevelPanel &p)
{
    QImage img(p.size(), QImage::Format_RGB32);
    p.render(&img);
    return img;
}

} // namespace

class BevelPanelTest : public QObject
{
    Q_OBJECT
private slots:
    void stylesAndWidthsDrawDifferently()
    {
        QWidget top;
        BevelPanel p(&top, QStringLiteral("pnl"));
        p.resize(40, 40);
        const QRgb light = p.palette().color(QPalette::Light).rgb();
        const QRgb dark = p.palette().color(QPalette::Dark).rgb();
        p.setBevelStyle(2);
        p.setBevelWidth(2);
        QImage raised = render(p);
        QCOMPARE(raised.pixel(1, 20), light); // lit from the top-left
        QCOMPARE(raised.pixel(38, 20), dark);
        QVERIFY(raised.pixel(2, 20) != light); // two pixels wide
        p.setBevelStyle(1);
        QImage inset = render(p);
        QCOMPARE(inset.pixel(1, 20), dark);
        QCOMPARE(inset.pixel(38, 20), light);
        p.setBevelWidth(4);
        QCOMPARE(render(p).pixel(3, 20), dark);
        // The fall-back and initial codes keep the raised look.
        p.setBevelStyle(2);
        const QImage raisedWide = render(p);
        for (int code : {3, 4}) {
            p.setBevelStyle(code);
            QCOMPARE(render(p), raisedWide);
        }
    }

    // A caption too wide for the panel keeps its first words and loses the
    // end of the name; one that fits is shown whole.
    void longCaptionKeepsItsLeadingWords()
    {
        QWidget top;
        BevelPanel p(&top, QStringLiteral("fraTexto"));
        p.resize(153, 49);
        const int room = p.width() - 2 * (p.bevelWidth() + 2);
        const QString name = QStringLiteral("Nimbus Sans Narrow Extra Condensed Bold Oblique Display");
        for (const QString &font : {name, QStringLiteral("Mono")}) {
            p.setCaption(QStringLiteral("Font: ") + font);
            const QString shown = p.shownCaption();
            QVERIFY2(p.fontMetrics().horizontalAdvance(shown) <= room, qPrintable(shown));
            QVERIFY2(shown.startsWith(QStringLiteral("Font: ")) && shown.size() > 7, qPrintable(shown));
            QCOMPARE(shown == p.caption(), font.size() < 10);
        }
    }

    void movesInTwipsAndRaisesPointerMoves()
    {
        QWidget top;
        BevelPanel p(&top, QStringLiteral("pnl"));
        p.move(1500, 300);
        QCOMPARE(p.pos(), QPoint(100, 20));
        QSignalSpy moves(&p, &BevelPanel::pointerMove);
        pointer::move(&p, QPointF(10, 2), Qt::LeftButton);
        QCOMPARE(moves.size(), 1);
        QCOMPARE(moves.at(0).at(0).toInt(), 1);
        QCOMPARE(moves.at(0).at(2).toDouble(), 150.0);
        QCOMPARE(moves.at(0).at(3).toDouble(), 30.0);
    }

    void dragDropsOnThePanelUnderThePointer()
    {
        QWidget top;
        top.resize(400, 300);
        BevelPanel back(&top, QStringLiteral("back"));
        back.setGeometry(0, 0, 400, 300);
        BevelPanel dragged(&back, QStringLiteral("dragged"));
        dragged.setGeometry(10, 10, 50, 50);
        top.show();
        QVERIFY(QTest::qWaitForWindowExposed(&top));
        QSignalSpy drops(&back, &BevelPanel::dragDrop);
        dragged.setDragMode(1);
        pointer::press(&dragged, QPointF(5, 5));
        pointer::release(&dragged, dragged.mapFrom(&back, QPoint(200, 100)));
        QCOMPARE(drops.size(), 1);
        QCOMPARE(drops.at(0).at(0).value<QWidget *>(), &dragged);
        QCOMPARE(drops.at(0).at(1).toDouble(), 3000.0);
        QCOMPARE(drops.at(0).at(2).toDouble(), 1500.0);
        // The panel itself does not move: the drop target decides.
        QCOMPARE(dragged.pos(), QPoint(10, 10));
    }
};

QTEST_MAIN(BevelPanelTest)
#include "bevel_panel_test.moc"
