#include "display/colorbar.h"
#include "display/colorscale.h"
#include "display/imgdispa.h"
#include "displaytesting.h"
#include "input/tiffdata.h"

#include <QSignalSpy>
#include <QtTest>

#include <cmath>
#include <memory>

using DisplayTesting::describe;
using DisplayTesting::greyColour;
using DisplayTesting::hotColour;
using DisplayTesting::moveMouse;

// The colour bar: its painted bar, limit dragging, and an image coloured through it. The bar
// widget is 20 x 600 pixels, the size of its bar image, so a widget row is a bar row.
class TestColorBar : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void gradientThroughTheBar_data();
    void gradientThroughTheBar();
    void pressMidwayStartsNoDrag();
    void movesWithoutButtonAreNotUpdates();
    void barRows_data();
    void barRows();
    void limitLines();
    void labels();
    void colorOfH_data();
    void colorOfH();

private:
    // Drags a limit from one widget row to another.
    void drag(int fromY, int toY);
    QImage grabBar() { return mBar->grab().toImage(); }

    std::unique_ptr<ColorBar> mBar;
};

namespace {

// Colour of scale fraction x in the given format with the given limits, written out from the
// definition of the scale.
QColor expectedColour(bool hot, double lower, double upper, double x)
{
    double t = (x - lower) / (upper - lower);
    if (std::isnan(t))
        t = 0;
    t = qBound(0.0, t, 1.0);
    return hot ? hotColour(qMin(766, int(t * 766))) : greyColour(qMin(255, int(t * 256)));
}

bool isLabelPixel(const QColor &c)
{
    // The label colour (0, 255, 192) blended into the bar.
    return c.green() > c.blue() && c.blue() > c.red();
}

} // namespace

void TestColorBar::init()
{
    mBar = std::make_unique<ColorBar>();
    mBar->resize(ColorBar::barWidth, ColorBar::barHeight);
    ColorScale::setCurrent(mBar->scale());
}

void TestColorBar::cleanup()
{
    mBar.reset();
    QCOMPARE(ColorScale::current(), nullptr);
}

void TestColorBar::drag(int fromY, int toY)
{
    QTest::mousePress(mBar.get(), Qt::LeftButton, Qt::NoModifier, QPoint(10, fromY));
    moveMouse(mBar.get(), QPoint(10, (fromY + toY) / 2), Qt::LeftButton);
    moveMouse(mBar.get(), QPoint(10, toY), Qt::LeftButton);
    QTest::mouseRelease(mBar.get(), Qt::LeftButton, Qt::NoModifier, QPoint(10, toY));
}

void TestColorBar::gradientThroughTheBar_data()
{
    QTest::addColumn<bool>("hot");
    QTest::addColumn<QVector<QPoint>>("drags"); // (from row, to row) on the bar
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::addColumn<QColor>("atColumn0");
    QTest::addColumn<QColor>("atColumn127");
    QTest::addColumn<QColor>("atColumn128");
    QTest::addColumn<QColor>("atColumn255");

    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    for (bool hot : {false, true}) {
        const QString name = hot ? QStringLiteral("hot, ") : QStringLiteral("grey, ");
        QTest::newRow(qPrintable(name + "full scale"))
            << hot << QVector<QPoint>() << 0.0 << 1.0 << black
            << (hot ? hotColour(381) : greyColour(127)) << (hot ? hotColour(384) : greyColour(128))
            << white;
        // Upper limit down to a quarter, then the lower limit up past it to the top.
        QTest::newRow(qPrintable(name + "limits dragged past each other reverse the scale"))
            << hot << QVector<QPoint>{{0, 450}, {599, 0}} << 1.0 << 0.25 << white
            << (hot ? hotColour(512) : greyColour(171)) << (hot ? hotColour(508) : greyColour(169))
            << black;
        // Both limits dragged to the middle: everything at or below it is the first entry,
        // everything above the last.
        QTest::newRow(qPrintable(name + "coinciding limits split at the limit"))
            << hot << QVector<QPoint>{{599, 300}, {0, 300}} << 0.5 << 0.5 << black << black << white
            << white;
    }
}

void TestColorBar::gradientThroughTheBar()
{
    QFETCH(bool, hot);
    QFETCH(QVector<QPoint>, drags);
    QFETCH(double, lower);
    QFETCH(double, upper);
    QFETCH(QColor, atColumn0);
    QFETCH(QColor, atColumn127);
    QFETCH(QColor, atColumn128);
    QFETCH(QColor, atColumn255);

    if (hot)
        mBar->setFormat(QImage::Format_RGB888);

    // A 256 x 4 image whose value is its column, shown one to one.
    TiffData data;
    data.width = 256;
    data.height = 4;
    data.sampleKind = TiffData::ImgRows;
    data.samples16.resize(256 * 4);
    for (int i = 0; i < data.samples16.size(); ++i)
        data.samples16[i] = quint16(i % 256);
    data.minValue = 0;
    data.maxValue = 255;
    data.colorBar = mBar->scale();
    ImgDispA disp;
    disp.resize(256, 4);
    disp.setImageData(&data);

    // The owner regenerates its image whenever the bar is dragged.
    QSignalSpy updating(mBar.get(), &ColorBar::cBarUpdating);
    QSignalSpy updated(mBar.get(), &ColorBar::cBarUpdated);
    connect(mBar.get(), &ColorBar::cBarUpdating, &disp, [&] { data.makeDisplayImage(); });
    for (const QPoint &d : drags)
        drag(d.x(), d.y());
    QCOMPARE(updating.count(), 2 * drags.size());
    QCOMPARE(updated.count(), drags.size());
    QVERIFY2(qAbs(mBar->lowerLimit() - lower) < 1e-9 && qAbs(mBar->upperLimit() - upper) < 1e-9,
             qPrintable(
                 QStringLiteral("limits %1, %2").arg(mBar->lowerLimit()).arg(mBar->upperLimit())));

    const QImage picture = disp.grab().toImage();
    QCOMPARE(picture.size(), QSize(256, 4));
    for (int x = 0; x < 256; ++x) {
        const QColor actual(picture.pixel(x, 2));
        const QColor expected = expectedColour(hot, lower, upper, x / 255.0);
        QVERIFY2(actual == expected,
                 qPrintable(QStringLiteral("column %1: %2, expected %3")
                                .arg(x)
                                .arg(describe(actual), describe(expected))));
    }
    QCOMPARE(QColor(picture.pixel(0, 0)), atColumn0);
    QCOMPARE(QColor(picture.pixel(127, 0)), atColumn127);
    QCOMPARE(QColor(picture.pixel(128, 0)), atColumn128);
    QCOMPARE(QColor(picture.pixel(255, 0)), atColumn255);

    // The bar itself is reversed or split the same way: its bottom row shows fraction 0,
    // its row 149 shows fraction 0.75.
    const QImage bar = grabBar();
    QCOMPARE(QColor(bar.pixel(0, 599)), expectedColour(hot, lower, upper, 0.0));
    QCOMPARE(QColor(bar.pixel(0, 149)), expectedColour(hot, lower, upper, 450 / 600.0));
}

void TestColorBar::pressMidwayStartsNoDrag()
{
    QSignalSpy updating(mBar.get(), &ColorBar::cBarUpdating);
    QSignalSpy updated(mBar.get(), &ColorBar::cBarUpdated);
    QTest::mousePress(mBar.get(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 300));
    QVERIFY(!mBar->dragging());
    moveMouse(mBar.get(), QPoint(10, 100), Qt::LeftButton);
    QCOMPARE(updating.count(), 1);
    QTest::mouseRelease(mBar.get(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 100));
    QCOMPARE(updated.count(), 1);
    QCOMPARE(mBar->lowerLimit(), 0.0);
    QCOMPARE(mBar->upperLimit(), 1.0);
}

void TestColorBar::movesWithoutButtonAreNotUpdates()
{
    QSignalSpy updating(mBar.get(), &ColorBar::cBarUpdating);
    moveMouse(mBar.get(), QPoint(10, 20));
    moveMouse(mBar.get(), QPoint(10, 500));
    QCOMPARE(updating.count(), 0);

    // A drag may go beyond the widget: the limit is not clamped.
    drag(10, -60);
    QVERIFY(!mBar->dragging());
    QVERIFY(qAbs(mBar->upperLimit() - 1.1) < 1e-9);
}

void TestColorBar::barRows_data()
{
    QTest::addColumn<bool>("hot");
    QTest::newRow("grey") << false;
    QTest::newRow("hot") << true;
}

void TestColorBar::barRows()
{
    QFETCH(bool, hot);
    if (hot)
        mBar->setFormat(QImage::Format_RGB888);
    const QImage bar = grabBar();
    // Row n shows the fraction (599 - n) / 600; rows away from the labels and the lines.
    for (int n = 100; n < 500; ++n) {
        const QColor expected = expectedColour(hot, 0, 1, (599 - n) / 600.0);
        for (int x = 0; x < ColorBar::barWidth; ++x) {
            const QColor actual(bar.pixel(x, n));
            QVERIFY2(actual == expected,
                     qPrintable(QStringLiteral("row %1, column %2: %3, expected %4")
                                    .arg(n)
                                    .arg(x)
                                    .arg(describe(actual), describe(expected))));
        }
    }
}

void TestColorBar::limitLines()
{
    const QColor lineColour(0, 192, 255);
    mBar->setLimits(0.25, 0.75);
    QImage bar = grabBar();
    for (int x = 0; x < ColorBar::barWidth; ++x) {
        QCOMPARE(QColor(bar.pixel(x, 150)), lineColour);
        QCOMPARE(QColor(bar.pixel(x, 450)), lineColour);
    }
    QVERIFY(QColor(bar.pixel(5, 300)) != lineColour);

    // The upper line follows a drag.
    drag(150, 240);
    bar = grabBar();
    QCOMPARE(QColor(bar.pixel(5, 240)), lineColour);
    QVERIFY(QColor(bar.pixel(5, 150)) != lineColour);
}

void TestColorBar::labels()
{
    auto labelRows = [](const QImage &bar) {
        QVector<int> rows;
        for (int y = 0; y < bar.height(); ++y) {
            for (int x = 0; x < bar.width(); ++x) {
                if (isLabelPixel(QColor(bar.pixel(x, y)))) {
                    rows << y;
                    break;
                }
            }
        }
        return rows;
    };

    mBar->setValueRange(-3.5, 12345);
    QVector<int> rows = labelRows(grabBar());
    // The maximum near the top, the minimum near the bottom, nothing between.
    QVERIFY(!rows.isEmpty());
    QVERIFY(std::any_of(rows.cbegin(), rows.cend(), [](int y) { return y < 100; }));
    QVERIFY(std::any_of(rows.cbegin(), rows.cend(), [](int y) { return y > 500; }));
    QVERIFY(std::none_of(rows.cbegin(), rows.cend(), [](int y) { return y >= 100 && y <= 500; }));

    // While a limit is dragged its value is shown in the middle.
    QTest::mousePress(mBar.get(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 590));
    moveMouse(mBar.get(), QPoint(10, 580), Qt::LeftButton);
    QVERIFY(mBar->dragging());
    rows = labelRows(grabBar());
    QVERIFY(std::any_of(rows.cbegin(), rows.cend(), [](int y) { return y > 250 && y < 350; }));
    QTest::mouseRelease(mBar.get(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 580));
    rows = labelRows(grabBar());
    QVERIFY(std::none_of(rows.cbegin(), rows.cend(), [](int y) { return y > 250 && y < 350; }));
}

void TestColorBar::colorOfH_data()
{
    QTest::addColumn<bool>("hot");
    QTest::addColumn<int>("h");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("grey, bottom") << false << 0 << greyColour(0);
    QTest::newRow("grey, middle") << false << 300 << greyColour(128);
    QTest::newRow("grey, top") << false << 600 << greyColour(255);
    QTest::newRow("grey, below the widget") << false << -10 << greyColour(0);
    QTest::newRow("grey, above the widget") << false << 1000 << greyColour(255);
    QTest::newRow("hot, a quarter") << true << 150 << hotColour(191);
    QTest::newRow("hot, top") << true << 600 << hotColour(766);
}

void TestColorBar::colorOfH()
{
    QFETCH(bool, hot);
    QFETCH(int, h);
    QFETCH(QColor, expected);
    if (hot)
        mBar->setFormat(QImage::Format_RGB888);
    QCOMPARE(mBar->colorOfH(h), expected);
}

QTEST_MAIN(TestColorBar)
#include "tst_colorbar.moc"
