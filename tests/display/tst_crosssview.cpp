#include "display/crosssview.h"
#include "displaytesting.h"

#include <QPainter>
#include <QtTest>

using DisplayTesting::turnWheel;

// The cross-section profiles: the curve, its orientation, the marker and the offset. The
// view is 101 x 51 pixels so that the ends of the ranges land on the edge pixels.
class TestCrossSView : public QObject
{
    Q_OBJECT

private slots:
    void horizontalProfile();
    void verticalProfile();
    void offsetShiftsTheCurveButNotTheMarker();
    void flatProfileIsDrawnWithoutTrouble();
    void emptyProfileDrawsNothing();
    void wheelDoesNothing();
    void denseProfileCoversTheSamePixels_data();
    void denseProfileCoversTheSamePixels();
};

namespace {

const QColor markerColour(192, 192, 0);

bool isCurve(const QImage &picture, int x, int y)
{
    return QColor(picture.pixel(x, y)) == QColor(Qt::black);
}

// A falling line: position 0..100 (in steps of 10) with value 100 - position.
Spectrum fallingLine()
{
    Spectrum profile;
    for (int i = 0; i <= 100; i += 10)
        profile.append(i, 100 - i);
    return profile;
}

} // namespace

void TestCrossSView::horizontalProfile()
{
    CrossSView view;
    view.resize(100, 50);
    view.setOrientation(CrossSView::Horizontal);
    view.setProfile(fallingLine());
    view.setMarker(30);
    const QImage picture = view.grab().toImage();

    // Screen y runs upwards from the bottom edge: position p with value v lands at
    // (p, 50 - v / 2).
    QVERIFY(isCurve(picture, 0, 0));
    QVERIFY(isCurve(picture, 50, 25));
    QVERIFY(isCurve(picture, 90, 45));
    QVERIFY(!isCurve(picture, 50, 45));
    // The marker is a vertical line at position 30 over the whole height.
    QCOMPARE(QColor(picture.pixel(30, 2)), markerColour);
    QCOMPARE(QColor(picture.pixel(30, 48)), markerColour);
    QVERIFY(QColor(picture.pixel(60, 48)) != markerColour);
}

void TestCrossSView::verticalProfile()
{
    CrossSView view;
    view.resize(50, 100);
    view.setOrientation(CrossSView::Vertical);
    view.setProfile(fallingLine());
    view.setMarker(80);
    const QImage picture = view.grab().toImage();

    // Value across, position upwards: position p with value v lands at (v / 2, 100 - p).
    QVERIFY(isCurve(picture, 45, 90));
    QVERIFY(isCurve(picture, 25, 50));
    QVERIFY(isCurve(picture, 5, 10));
    QVERIFY(!isCurve(picture, 5, 50));
    // The marker is a horizontal line at position 80 over the whole width.
    QCOMPARE(QColor(picture.pixel(3, 20)), markerColour);
    QCOMPARE(QColor(picture.pixel(47, 20)), markerColour);
}

void TestCrossSView::offsetShiftsTheCurveButNotTheMarker()
{
    CrossSView view;
    view.resize(100, 50);
    view.setProfile(fallingLine());
    view.setMarker(50);
    const QImage plain = view.grab().toImage();
    QCOMPARE(QColor(plain.pixel(50, 10)), markerColour);

    // Positions and their range are both read less the offset, so the curve stays where it
    // was; the marker is drawn at its raw position and moves by the offset.
    view.setOffset(true, 20);
    const QImage shifted = view.grab().toImage();
    QCOMPARE(QColor(shifted.pixel(70, 10)), markerColour);
    QVERIFY(QColor(shifted.pixel(50, 10)) != markerColour);
    // Away from both marker columns the curve pixels are the same.
    for (int x : {0, 10, 20, 30, 40, 60, 80, 90}) {
        const int y = 50 - (100 - x) / 2;
        QVERIFY(isCurve(plain, x, y));
        QVERIFY(isCurve(shifted, x, y));
    }
}

void TestCrossSView::flatProfileIsDrawnWithoutTrouble()
{
    // Regression: a flat profile (equal value limits) gave coordinates that were not numbers.
    CrossSView view;
    view.resize(101, 51);
    Spectrum profile;
    for (int i = 0; i < 10; ++i)
        profile.append(i, 7.0);
    view.setProfile(profile);
    view.setMarker(3);
    const QImage picture = view.grab().toImage();
    QCOMPARE(QColor(picture.pixel(33, 20)), markerColour);
}

void TestCrossSView::emptyProfileDrawsNothing()
{
    CrossSView view;
    view.resize(40, 40);
    view.setProfile(Spectrum());
    view.setMarker(10);
    const QImage picture = view.grab().toImage();
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x)
            QCOMPARE(QColor(picture.pixel(x, y)), QColor(Qt::white));
    }
}

void TestCrossSView::wheelDoesNothing()
{
    CrossSView view;
    QVERIFY(!view.zoomEnabled());
    QSignalSpy wheel(&view, &DispA::wheelMoved0);
    turnWheel(&view, QPoint(5, 5), 120);
    QCOMPARE(wheel.count(), 1);
}

QTEST_MAIN(TestCrossSView)
#include "tst_crosssview.moc"

void TestCrossSView::denseProfileCoversTheSamePixels_data()
{
    QTest::addColumn<int>("orientation");
    QTest::newRow("horizontal") << int(CrossSView::Horizontal);
    QTest::newRow("vertical") << int(CrossSView::Vertical);
}

void TestCrossSView::denseProfileCoversTheSamePixels()
{
    // Thousands of noisy points on a view 80 pixels long: the picture is the one that every
    // point joined by one polyline gives.
    QFETCH(int, orientation);
    const bool horizontal = orientation == CrossSView::Horizontal;
    Spectrum profile;
    for (int i = 0; i < 3000; ++i)
        profile.append(i, (i * 7919) % 1000 + (i % 50 == 0 ? 4000 : 0));
    CrossSView view;
    view.resize(horizontal ? QSize(80, 60) : QSize(60, 80));
    view.setOrientation(CrossSView::Orientation(orientation));
    view.setProfile(profile);
    view.setMarker(-100);
    const QImage picture = view.grab().toImage();

    QImage expected(view.size(), picture.format());
    expected.fill(Qt::white);
    QPainter painter(&expected);
    ChCoord coord;
    coord.setScreenRect(0, view.height(), view.width(), 0);
    if (horizontal)
        coord.setRealRect(profile.minX, profile.minY, profile.maxX, profile.maxY);
    else
        coord.setRealRect(profile.minY, profile.minX, profile.maxY, profile.maxX);
    QPolygon line;
    for (const QPointF &point : profile.points) {
        const double x = horizontal ? point.x() : point.y();
        const double y = horizontal ? point.y() : point.x();
        line << QPoint(ChCoord::toPixel(coord.realToScreenX(x)),
                       ChCoord::toPixel(coord.realToScreenY(y)));
    }
    painter.drawPolyline(line);
    painter.end();
    const QRect inside = picture.rect().adjusted(1, 1, -1, -1);
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x)
            QVERIFY2(picture.pixel(x, y) == expected.pixel(x, y),
                     qPrintable(QString("pixel (%1, %2)").arg(x).arg(y)));
    }
}
