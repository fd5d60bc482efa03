#include "display/chcoord.h"

#include <QtTest>

#include <cmath>

// Mapping between widget pixels and real coordinates.
class TestChCoord : public QObject
{
    Q_OBJECT

private slots:
    void mapping_data();
    void mapping();
    void margins_data();
    void margins();
    void degenerateRangesStayFinite();
    void toPixel_data();
    void toPixel();
};

void TestChCoord::mapping_data()
{
    QTest::addColumn<QRectF>("screen"); // x0, y0, x1 - x0, y1 - y0
    QTest::addColumn<QRectF>("real");
    QTest::addColumn<QPointF>("realPoint");
    QTest::addColumn<QPointF>("screenPoint");

    QTest::newRow("image view, plain")
        << QRectF(0, 0, 200, 100) << QRectF(0, 0, 100, 50) << QPointF(25, 10) << QPointF(50, 20);
    QTest::newRow("image view, zoomed and moved")
        << QRectF(0, 0, 200, 100) << QRectF(10, 20, 20, 10) << QPointF(15, 25) << QPointF(50, 50);
    QTest::newRow("plot, y upwards") << QRectF(0, 100, 200, -100) << QRectF(7000, 0, 500, 2)
                                     << QPointF(7250, 0.5) << QPointF(100, 75);
    QTest::newRow("real x backwards")
        << QRectF(0, 0, 100, 100) << QRectF(10, 0, -10, 1) << QPointF(2, 0.5) << QPointF(80, 50);
}

void TestChCoord::mapping()
{
    QFETCH(QRectF, screen);
    QFETCH(QRectF, real);
    QFETCH(QPointF, realPoint);
    QFETCH(QPointF, screenPoint);

    ChCoord coord;
    coord.setScreenRect(
        screen.x(), screen.y(), screen.x() + screen.width(), screen.y() + screen.height());
    coord.setRealRect(real.x(), real.y(), real.x() + real.width(), real.y() + real.height());
    const double tolerance = 1e-9;
    QVERIFY(qAbs(coord.realToScreenX(realPoint.x()) - screenPoint.x()) < tolerance);
    QVERIFY(qAbs(coord.realToScreenY(realPoint.y()) - screenPoint.y()) < tolerance);
    QVERIFY(qAbs(coord.screenToRealX(screenPoint.x()) - realPoint.x()) < tolerance);
    QVERIFY(qAbs(coord.screenToRealY(screenPoint.y()) - realPoint.y()) < tolerance);
    // Distances scale without the offset.
    const double dx = coord.realToScreenX(realPoint.x() + 3) - coord.realToScreenX(realPoint.x());
    QVERIFY(qAbs(coord.realToScreenDX(3) - dx) < tolerance);
    const double dy = coord.realToScreenY(realPoint.y() + 3) - coord.realToScreenY(realPoint.y());
    QVERIFY(qAbs(coord.realToScreenDY(3) - dy) < tolerance);
}

void TestChCoord::margins_data()
{
    QTest::addColumn<QRectF>("screen"); // x0, y0, x1 - x0, y1 - y0
    QTest::addColumn<QRectF>("plot");

    // 10 % left, 5 % right, 10 % at the y0 side, 5 % at the y1 side, in whole pixels.
    QTest::newRow("y downwards 200 x 100") << QRectF(0, 0, 200, 100) << QRectF(20, 10, 170, 85);
    QTest::newRow("y upwards 200 x 100") << QRectF(0, 100, 200, -100) << QRectF(20, 90, 170, -85);
    QTest::newRow("odd sizes are cut to whole pixels")
        << QRectF(0, 305, 437, -305) << QRectF(43, 275, 373, -260);
}

void TestChCoord::margins()
{
    QFETCH(QRectF, screen);
    QFETCH(QRectF, plot);

    ChCoord coord;
    coord.setScreenRect(
        screen.x(), screen.y(), screen.x() + screen.width(), screen.y() + screen.height());
    QCOMPARE(coord.plotX0(), screen.x());
    coord.applyMargins();
    QCOMPARE(coord.plotX0(), plot.x());
    QCOMPARE(coord.plotY0(), plot.y());
    QCOMPARE(coord.plotX1(), plot.x() + plot.width());
    QCOMPARE(coord.plotY1(), plot.y() + plot.height());
    QCOMPARE(coord.screenX0(), screen.x());
    QCOMPARE(coord.screenY1(), screen.y() + screen.height());
}

void TestChCoord::degenerateRangesStayFinite()
{
    // A flat profile (equal value limits) or a widget of no size must not produce
    // coordinates that are not numbers.
    ChCoord coord;
    coord.setScreenRect(0, 100, 200, 0);
    coord.setRealRect(0, 5, 10, 5);
    QVERIFY(std::isfinite(coord.realToScreenY(5)));
    QVERIFY(std::isfinite(coord.realToScreenY(7)));
    QCOMPARE(coord.realToScreenY(7), 100.0);
    coord.setScreenRect(0, 0, 0, 0);
    QVERIFY(std::isfinite(coord.screenToRealX(3)));
}

void TestChCoord::toPixel_data()
{
    QTest::addColumn<double>("v");
    QTest::addColumn<int>("expected");
    QTest::newRow("cut toward zero, positive") << 3.9 << 3;
    QTest::newRow("cut toward zero, negative") << -3.9 << -3;
    QTest::newRow("not a number") << std::nan("") << 0;
    QTest::newRow("huge") << 1e300 << 10000000;
    QTest::newRow("huge negative") << -1e300 << -10000000;
}

void TestChCoord::toPixel()
{
    QFETCH(double, v);
    QFETCH(int, expected);
    QCOMPARE(ChCoord::toPixel(v), expected);
}

QTEST_GUILESS_MAIN(TestChCoord)
#include "tst_chcoord.moc"
