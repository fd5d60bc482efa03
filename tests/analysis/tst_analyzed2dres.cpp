#include "analysis/analyzed2dres.h"
#include "display/colorscale.h"

#include <QSignalSpy>
#include <QtTest>

// A result map as far as the display uses it: values, range, active scale and image.
class TestAnalyzed2DRes : public QObject
{
    Q_OBJECT

private slots:
    void setDataClipsAtTheBorder();
    void activeScale();
    void imageInTheMapsOwnFormat_data();
    void imageInTheMapsOwnFormat();
    void clearForgetsEverything();
    void imageNotValidWhenNoneIsBuilt();
};

void TestAnalyzed2DRes::setDataClipsAtTheBorder()
{
    Analyzed2DRes map(QStringLiteral("a2d esm"));
    map.reset(4, 3);
    QVERIFY(map.hasData());
    // A 3 x 3 block centred on the corner (0, 0) writes only the four cells inside.
    map.setData(0, 0, 1, 1, 5.0);
    map.setData(3, 2, 0, 0, -1.0);
    // A block wholly outside only widens the range.
    map.setData(10, 10, 1, 1, 9.0);
    QCOMPARE(map.min(), -1.0);
    QCOMPARE(map.max(), 9.0);

    ColorScale scale;
    ColorScale::setCurrent(&scale);
    map.genImg();
    const QImage *image = map.img();
    QVERIFY(image);
    QCOMPARE(image->size(), QSize(4, 3));
    // Scale -1..9: 5 is 0.6 of the way (grey 153), 0 is 0.1 (grey 25), -1 is black.
    QCOMPARE(qGray(image->pixel(0, 0)), 153);
    QCOMPARE(qGray(image->pixel(1, 1)), 153);
    QCOMPARE(qGray(image->pixel(2, 0)), 25);
    QCOMPARE(qGray(image->pixel(3, 2)), 0);
    ColorScale::setCurrent(nullptr);
}

void TestAnalyzed2DRes::activeScale()
{
    ColorScale bar;
    ColorScale::setCurrent(&bar);
    Analyzed2DRes map(QStringLiteral("LCF Ref 1"));
    map.reset(2, 2);
    map.setData(0, 0, 0, 0, 3.0);
    map.setData(1, 1, 0, 0, 7.0);
    QCOMPARE(map.scaleMin(), 3.0);
    QCOMPARE(map.scaleMax(), 7.0);

    map.selectProcImg(true);
    QCOMPARE(map.scaleMin(), 0.0);
    QCOMPARE(map.scaleMax(), 1.0);

    map.setScale(-2.0, 12.0);
    QCOMPARE(map.scaleMin(), 0.0);
    map.setFixedScale(true);
    QCOMPARE(map.scaleMin(), -2.0);
    QCOMPARE(map.scaleMax(), 12.0);
    // The colour bar takes the active scale.
    QCOMPARE(bar.valueMin(), -2.0);
    QCOMPARE(bar.valueMax(), 12.0);
    ColorScale::setCurrent(nullptr);
}

void TestAnalyzed2DRes::imageInTheMapsOwnFormat_data()
{
    QTest::addColumn<int>("barFormat");
    QTest::addColumn<int>("mapFormat");
    QTest::newRow("grey map, grey bar")
        << int(QImage::Format_Grayscale8) << int(QImage::Format_Grayscale8);
    // Regression: a colour bar wrote three bytes a pixel into a one-byte-a-pixel buffer.
    QTest::newRow("grey map, colour bar")
        << int(QImage::Format_RGB888) << int(QImage::Format_Grayscale8);
    QTest::newRow("colour map, grey bar")
        << int(QImage::Format_Grayscale8) << int(QImage::Format_RGB888);
}

void TestAnalyzed2DRes::imageInTheMapsOwnFormat()
{
    QFETCH(int, barFormat);
    QFETCH(int, mapFormat);
    ColorScale bar;
    bar.setFormat(QImage::Format(barFormat));
    bar.setLimits(0.0, 0.5);
    ColorScale::setCurrent(&bar);

    Analyzed2DRes map(QStringLiteral("a2d DMut"));
    map.setFormat(QImage::Format(mapFormat));
    map.reset(33, 7);
    for (int x = 0; x < 33; ++x)
        map.setData(x, 3, 0, 3, x);
    map.genImg();
    QVERIFY(map.imageValid());
    const QImage *image = map.img();
    QCOMPARE(image->format(), QImage::Format(mapFormat));
    QCOMPARE(image->size(), QSize(33, 7));
    // The bar's limits apply: from the middle of the range on, the top colour.
    QCOMPARE(QColor(image->pixel(0, 6)), QColor(0, 0, 0));
    QCOMPARE(QColor(image->pixel(16, 0)), QColor(255, 255, 255));
    QCOMPARE(QColor(image->pixel(32, 6)), QColor(255, 255, 255));
    ColorScale::setCurrent(nullptr);
}

void TestAnalyzed2DRes::clearForgetsEverything()
{
    Analyzed2DRes map(QStringLiteral("a2d esm"));
    map.reset(3, 3);
    map.setData(1, 1, 1, 1, 4.0);
    map.genImg();
    QVERIFY(map.img());
    map.clear();
    QVERIFY(!map.hasData());
    QVERIFY(!map.imageValid());
    QCOMPARE(map.img(), nullptr);
    QCOMPARE(map.min(), 1e300);
    QCOMPARE(map.max(), -1e300);
    QCOMPARE(map.width(), 0);
    // Nothing to draw, nothing written.
    map.setData(0, 0, 1, 1, 2.0);
    map.genImg();
    QCOMPARE(map.img(), nullptr);
}

// Regression: an image that could not be built left the flag of the previous one set.
void TestAnalyzed2DRes::imageNotValidWhenNoneIsBuilt()
{
    Analyzed2DRes map(QStringLiteral("a2d DMut"));
    map.reset(4, 2);
    map.genImg();
    QVERIFY(map.imageValid());
    map.setFormat(QImage::Format_ARGB32);
    map.genImg();
    QCOMPARE(map.img(), nullptr);
    QVERIFY(!map.imageValid());
}

QTEST_GUILESS_MAIN(TestAnalyzed2DRes)
#include "tst_analyzed2dres.moc"
