#include "analysis/analyzed2dres.h"
#include "display/colorscale.h"

#include <QSignalSpy>
#include <QtTest>

#include <cmath>
#include <limits>

using Values = QVector<double>;
using Levels = QVector<quint16>;
Q_DECLARE_METATYPE(Values)
Q_DECLARE_METATYPE(Levels)

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

// A map of 3 x 3 blocks of half-width bin, block values in row order.
void fillBlocks(Analyzed2DRes &map, int bin, const Values &blocks)
{
    const int side = 3 * (2 * bin + 1);
    map.reset(AreaWalk(side, side, bin, bin, 0, 0, side, side));
    for (int i = 0; i < 9; ++i)
        map.setData(
            (i % 3) * (2 * bin + 1) + bin, (i / 3) * (2 * bin + 1) + bin, bin, bin, blocks[i]);
}

} // namespace

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
    void deglitch_data();
    void deglitch();
    void export16Bit_data();
    void export16Bit();
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
    // A column of cells without a value, drawn in the no-fit colour.
    QTest::addColumn<bool>("undefined");
    QTest::newRow("grey map, grey bar")
        << int(QImage::Format_Grayscale8) << int(QImage::Format_Grayscale8) << false;
    // Regression: a colour bar wrote three bytes a pixel into a one-byte-a-pixel buffer.
    QTest::newRow("grey map, colour bar")
        << int(QImage::Format_RGB888) << int(QImage::Format_Grayscale8) << false;
    QTest::newRow("colour map, grey bar")
        << int(QImage::Format_Grayscale8) << int(QImage::Format_RGB888) << false;
    // Regression: cells without a fit were drawn as the bottom of the scale, like a real 0.
    QTest::newRow("grey map with cells without a fit")
        << int(QImage::Format_Grayscale8) << int(QImage::Format_Grayscale8) << true;
    QTest::newRow("colour map with cells without a fit")
        << int(QImage::Format_RGB888) << int(QImage::Format_RGB888) << true;
}

void TestAnalyzed2DRes::imageInTheMapsOwnFormat()
{
    QFETCH(int, barFormat);
    QFETCH(int, mapFormat);
    QFETCH(bool, undefined);
    ColorScale bar;
    bar.setFormat(QImage::Format(barFormat));
    bar.setLimits(0.0, 0.5);
    ColorScale::setCurrent(&bar);

    Analyzed2DRes map(QStringLiteral("a2d DMut"));
    map.setFormat(QImage::Format(mapFormat));
    map.reset(33, 7);
    for (int x = 0; x < 33; ++x)
        map.setData(x, 3, 0, 3, undefined && x == 5 ? notANumber : x);
    map.genImg();
    QVERIFY(map.imageValid());
    const QImage *image = map.img();
    QCOMPARE(image->format(), undefined ? QImage::Format_RGB888 : QImage::Format(mapFormat));
    QCOMPARE(QColor(image->pixel(5, 2)) == Analyzed2DRes::noFitColour(), undefined);
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

    // Regression: taking over the processed values before any deglitch wrote zeros over the
    // map.
    map.reset(3, 3);
    map.setData(1, 1, 1, 1, 4.0);
    map.copyProc2Data();
    QCOMPARE(map.value(2, 2), 4.0);
    QCOMPARE(map.max(), 4.0);
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

void TestAnalyzed2DRes::deglitch_data()
{
    QTest::addColumn<bool>("byLimit");
    QTest::addColumn<int>("bin");
    QTest::addColumn<Values>("blocks");
    QTest::addColumn<Values>("expected");
    QTest::addColumn<bool>("processedShownFirst");

    const Values ones(9, 1.0);
    // Neighbour measures: 18 at the centre, 0 elsewhere; mean 2, so the centre is a glitch.
    const Values centreGlitch{1, 1, 1, 1, 10, 1, 1, 1, 1};
    QTest::newRow("one glitch block") << false << 0 << centreGlitch << ones << false;
    // The processed values are made at their first use: shown before any deglitch, they are
    // zeros, and the deglitch then fills them.
    QTest::newRow("one glitch block, processed shown before")
        << false << 0 << centreGlitch << ones << true;
    QTest::newRow("one glitch block, bin 1") << false << 1 << centreGlitch << ones << false;
    // Only the left and right neighbours measure the top middle block; its mean takes the
    // three neighbours inside the map.
    QTest::newRow("glitch at the border")
        << false << 0 << Values{1, 10, 1, 1, 1, 1, 1, 1, 1} << ones << false;
    // The side blocks have a vertical pair only (measure 10 against a mean of 25 / 9) and
    // take their neighbours' mean; the centre's measure 5 stays under the limit.
    QTest::newRow("vertical neighbours only") << false << 0 << Values{0, 0, 0, 0, 5, 0, 10, 10, 10}
                                              << Values{0, 0, 0, 5, 5, 5, 10, 10, 10} << false;

    QTest::newRow("limit: one glitch block")
        << true << 0 << Values{1, 1, 1, 1, 1000, 1, 1, 1, 1} << ones << false;
    QTest::newRow("limit: one glitch block, bin 1")
        << true << 1 << Values{1, 1, 1, 1, 1000, 1, 1, 1, 1} << ones << false;
    // Mean of the in-limit blocks 1.75; the corner takes its three neighbours inside the map.
    QTest::newRow("limit: neighbours outside the map")
        << true << 0 << Values{1000, 2, 1, 3, 4, 1, 1, 1, 1} << Values{3, 2, 1, 3, 4, 1, 1, 1, 1}
        << false;
    QTest::newRow("limit: no neighbour within the limit")
        << true << 0 << Values{1000, 1000, 1, 1000, 1000, 1, 1, 1, 1}
        << Values{0, 1, 1, 1, 1, 1, 1, 1, 1} << false;
}

void TestAnalyzed2DRes::deglitch()
{
    QFETCH(bool, byLimit);
    QFETCH(int, bin);
    QFETCH(Values, blocks);
    QFETCH(Values, expected);
    QFETCH(bool, processedShownFirst);

    Analyzed2DRes map(QStringLiteral("a2d DMut"));
    fillBlocks(map, bin, blocks);
    if (processedShownFirst) {
        map.selectProcImg(true);
        QVERIFY(map.imageValid());
        QCOMPARE(map.procValue(1, 1), 0.0);
    }
    if (byLimit)
        map.deglitch2(40);
    else
        map.deglitch();

    double lo = 1e300;
    double hi = -1e300;
    const int side = 2 * bin + 1;
    for (int y = 0; y < 3 * side; ++y) {
        for (int x = 0; x < 3 * side; ++x) {
            const double want = expected[(y / side) * 3 + x / side];
            QVERIFY2(map.procValue(x, y) == want,
                     qPrintable(QStringLiteral("cell (%1, %2) = %3, expected %4")
                                    .arg(x)
                                    .arg(y)
                                    .arg(map.procValue(x, y))
                                    .arg(want)));
            QCOMPARE(map.value(x, y), blocks[(y / side) * 3 + x / side]);
            lo = qMin(lo, want);
            hi = qMax(hi, want);
        }
    }
    QCOMPARE(map.procMin(), lo);
    QCOMPARE(map.procMax(), hi);

    map.copyProc2Data();
    QCOMPARE(map.value(side, side), expected[4]);
    QCOMPARE(map.max(), hi);
}

void TestAnalyzed2DRes::export16Bit_data()
{
    QTest::addColumn<Values>("cells");
    QTest::addColumn<bool>("fixedScale");
    QTest::addColumn<double>("lo");
    QTest::addColumn<double>("hi");
    QTest::addColumn<int>("walkWidth");
    QTest::addColumn<bool>("asAnalyzed");
    QTest::addColumn<Levels>("expected");

    // A 3 x 2 map, cells in row order.
    const Values ramp{0, 5, 10, 2.5, 7.5, 10};
    QTest::newRow("range of the values") << ramp << false << 0.0 << 0.0 << 3 << false
                                         << Levels{0, 32767, 65535, 16383, 49151, 65535};
    QTest::newRow("fixed scale clamps")
        << ramp << true << 2.5 << 7.5 << 3 << false << Levels{0, 32767, 65535, 0, 65535, 65535};
    QTest::newRow("empty range") << Values(6, 4.0) << false << 0.0 << 0.0 << 3 << false
                                 << Levels(6, 0);
    // Regression: one infinite cell set the range, and NaN went through an undefined
    // conversion.
    QTest::newRow("NaN and infinite cells")
        << Values{notANumber, infinity, -infinity, 0, 10, 5} << false << 0.0 << 0.0 << 3 << false
        << Levels{0, 65535, 0, 0, 65535, 32767};
    QTest::newRow("scale not finite")
        << ramp << true << 0.0 << infinity << 3 << false << Levels(6, 0);
    QTest::newRow("walk order") << ramp << false << 0.0 << 0.0 << 3 << true
                                << Levels{0, 32767, 65535, 16383, 49151, 65535};
    // Regression: centres past the map were read and written out of bounds.
    QTest::newRow("walk reaching past the map")
        << ramp << false << 0.0 << 0.0 << 5 << true
        << Levels{0, 32767, 65535, 0, 0, 16383, 49151, 65535, 0, 0};
}

void TestAnalyzed2DRes::export16Bit()
{
    QFETCH(Values, cells);
    QFETCH(bool, fixedScale);
    QFETCH(double, lo);
    QFETCH(double, hi);
    QFETCH(int, walkWidth);
    QFETCH(bool, asAnalyzed);
    QFETCH(Levels, expected);

    Analyzed2DRes map(QStringLiteral("LCF Ref 2"));
    QVERIFY(map.tiffDataForSave(false, 0, 1, asAnalyzed).isEmpty());
    map.reset(AreaWalk(3, 2, 0, 0, 0, 0, walkWidth, 2));
    for (int i = 0; i < cells.size(); ++i)
        map.setData(i % 3, i / 3, 0, 0, cells[i]);
    QCOMPARE(map.tiffDataForSave(fixedScale, lo, hi, asAnalyzed), expected);
    if (asAnalyzed)
        QCOMPARE(map.savedCount(), expected.size());

    // The image draws the same extremes: the bottom and the top of the bar.
    ColorScale bar;
    ColorScale::setCurrent(&bar);
    map.setScale(lo, hi);
    map.setFixedScale(fixedScale);
    for (int i = 0; i < cells.size() && !asAnalyzed; ++i) {
        const int grey = qGray(map.img()->pixel(i % 3, i / 3));
        if (std::isnan(cells[i]))
            QCOMPARE(QColor(map.img()->pixel(i % 3, i / 3)), Analyzed2DRes::noFitColour());
        else if (expected[i] == 0)
            QCOMPARE(grey, 0);
        else if (expected[i] == 65535)
            QCOMPARE(grey, 255);
    }
    ColorScale::setCurrent(nullptr);
}

QTEST_GUILESS_MAIN(TestAnalyzed2DRes)
#include "tst_analyzed2dres.moc"
