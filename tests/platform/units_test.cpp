// Twips and colour values: the conversions every window relies on.

#include "platform/colour_value.h"
#include "platform/twips.h"

#include <QGuiApplication>
#include <QPalette>
#include <QtTest>

class UnitsTest : public QObject
{
    Q_OBJECT
private slots:
    void cellOfAPosition_data()
    {
        QTest::addColumn<double>("twipsPos");
        QTest::addColumn<int>("cell");
        QTest::newRow("origin") << 0.0 << 0;
        QTest::newRow("149") << 149.0 << 0;
        QTest::newRow("149.5 ties up to 150") << 149.5 << 1;
        QTest::newRow("148.5 ties down to 148") << 148.5 << 0;
        QTest::newRow("150") << 150.0 << 1;
        QTest::newRow("4799") << 4799.0 << 31;
        QTest::newRow("-149 truncates to 0") << -149.0 << 0;
        QTest::newRow("-150") << -150.0 << -1;
        QTest::newRow("-299") << -299.0 << -1;
        QTest::newRow("-300") << -300.0 << -2;
        QTest::newRow("32767") << 32767.0 << 218;
    }
    void cellOfAPosition()
    {
        QFETCH(double, twipsPos);
        QFETCH(int, cell);
        const auto c = twips::toCell(twipsPos);
        QVERIFY(c.has_value());
        QCOMPARE(*c, cell);
    }

    void outsideSixteenBitsHasNoCell()
    {
        QVERIFY(!twips::toCell(32767.6).has_value());
        QVERIFY(!twips::toCell(-32768.6).has_value());
        QVERIFY(twips::toCell(-32768.4).has_value());
        QVERIFY(!twips::toCell(std::numeric_limits<double>::infinity()).has_value());
        QVERIFY(!twips::toCell(std::numeric_limits<double>::quiet_NaN()).has_value());
        QVERIFY(!twips::toWhole16(45000).has_value());
    }

    void pixelsRoundHalfToEven()
    {
        QCOMPARE(twips::toPixels(4815), 321);
        QCOMPARE(twips::toPixels(4832), 322); // 322.13
        QCOMPARE(twips::toPixels(22.5), 2);   // 1.5 -> 2
        QCOMPARE(twips::toPixels(37.5), 2);   // 2.5 -> 2
        QCOMPARE(twips::toPixels(-22.5), -2);
    }

    void plainColoursKeepRedInTheLowByte()
    {
        const ColourValue v = colour::rgb(0x12, 0x34, 0x56);
        QCOMPARE(v, ColourValue(0x563412));
        QCOMPARE(colour::toRgb(v), qRgb(0x12, 0x34, 0x56));
        QCOMPARE(colour::fromRgb(qRgb(0x12, 0x34, 0x56)), v);
        QCOMPARE(colour::fromQColor(QColor(255, 0, 0)), ColourValue(0xFF));
    }

    void systemColoursFollowThePalette()
    {
        QPalette pal = QGuiApplication::palette();
        pal.setColor(QPalette::Base, QColor(1, 2, 3));
        pal.setColor(QPalette::Button, QColor(4, 5, 6));
        QGuiApplication::setPalette(pal);
        QCOMPARE(colour::resolve(colour::kWindowBackground), colour::rgb(1, 2, 3));
        QCOMPARE(colour::resolve(colour::kButtonFace), colour::rgb(4, 5, 6));
        QVERIFY(colour::isSystem(colour::kWindowBackground));
        QVERIFY(!colour::isSystem(colour::kWhite));
        QVERIFY(!colour::isSystem(colour::kOutside));
        QGuiApplication::setPalette(QPalette());
    }
};

QTEST_MAIN(UnitsTest)
#include "units_test.moc"
