#include "display/colorscale.h"
#include "displaytesting.h"

#include <QtTest>

#include <cmath>

// Turning a scale fraction into pixel bytes and colours.
class TestColorScale : public QObject
{
    Q_OBJECT

private slots:
    void colourBytes_data();
    void colourBytes();
    void otherFormatWritesNothing();
    void colourOfValue();
    void currentIsForgottenWithTheScale();
};

void TestColorScale::colourBytes_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::addColumn<double>("x");
    QTest::addColumn<QColor>("expected");

    const int hot = int(QImage::Format_RGB888);
    const int grey = int(QImage::Format_Grayscale8);
    using DisplayTesting::greyColour;
    using DisplayTesting::hotColour;
    const double nan = std::nan("");

    QTest::newRow("hot: minimum is black") << hot << 0.0 << 1.0 << 0.0 << hotColour(0);
    QTest::newRow("hot: maximum is white") << hot << 0.0 << 1.0 << 1.0 << hotColour(766);
    QTest::newRow("hot: middle") << hot << 0.0 << 1.0 << 0.5 << hotColour(383);
    QTest::newRow("hot: below clamps") << hot << 0.0 << 1.0 << -3.0 << hotColour(0);
    QTest::newRow("hot: above clamps") << hot << 0.0 << 1.0 << 7.0 << hotColour(766);
    QTest::newRow("hot: narrowed limits") << hot << 0.25 << 0.75 << 0.5 << hotColour(383);
    QTest::newRow("hot: reversed limits") << hot << 1.0 << 0.0 << 0.0 << hotColour(766);
    QTest::newRow("grey: minimum") << grey << 0.0 << 1.0 << 0.0 << greyColour(0);
    QTest::newRow("grey: maximum") << grey << 0.0 << 1.0 << 1.0 << greyColour(255);
    QTest::newRow("grey: just below the top") << grey << 0.0 << 1.0 << 0.999 << greyColour(255);
    QTest::newRow("grey: middle") << grey << 0.0 << 1.0 << 0.5 << greyColour(128);
    QTest::newRow("grey: below clamps") << grey << 0.0 << 1.0 << -1.0 << greyColour(0);
    QTest::newRow("grey: above clamps") << grey << 0.0 << 1.0 << 2.0 << greyColour(255);
    QTest::newRow("grey: reversed, bottom") << grey << 1.0 << 0.0 << 0.0 << greyColour(255);
    QTest::newRow("grey: reversed, top") << grey << 1.0 << 0.0 << 1.0 << greyColour(0);
    QTest::newRow("grey: limits 0.2..0.6 at 0.4") << grey << 0.2 << 0.6 << 0.4 << greyColour(128);
    QTest::newRow("grey: coinciding, below") << grey << 0.5 << 0.5 << 0.3 << greyColour(0);
    QTest::newRow("grey: coinciding, at") << grey << 0.5 << 0.5 << 0.5 << greyColour(0);
    QTest::newRow("grey: coinciding, above") << grey << 0.5 << 0.5 << 0.51 << greyColour(255);
    QTest::newRow("hot: coinciding, at") << hot << 0.5 << 0.5 << 0.5 << hotColour(0);
    QTest::newRow("hot: coinciding, above") << hot << 0.5 << 0.5 << 0.6 << hotColour(766);
    QTest::newRow("grey: not a number") << grey << 0.0 << 1.0 << nan << greyColour(0);
    QTest::newRow("hot: not a number") << hot << 0.0 << 1.0 << nan << hotColour(0);
}

void TestColorScale::colourBytes()
{
    QFETCH(int, format);
    QFETCH(double, lower);
    QFETCH(double, upper);
    QFETCH(double, x);
    QFETCH(QColor, expected);

    ColorScale scale;
    scale.setFormat(QImage::Format(format));
    scale.setLimits(lower, upper);
    uchar bytes[4] = {7, 7, 7, 7};
    const uchar *end = scale.colourBytes(x, bytes);
    const int written = int(end - bytes);
    QColor actual;
    if (format == int(QImage::Format_RGB888)) {
        QCOMPARE(written, 3);
        actual = QColor(bytes[0], bytes[1], bytes[2]);
    } else {
        QCOMPARE(written, 1);
        actual = QColor(bytes[0], bytes[0], bytes[0]);
    }
    QCOMPARE(int(bytes[written]), 7);
    QVERIFY2(
        actual == expected,
        qPrintable(QStringLiteral("x %1 with limits %2..%3: %4, expected %5")
                       .arg(x)
                       .arg(lower)
                       .arg(upper)
                       .arg(DisplayTesting::describe(actual), DisplayTesting::describe(expected))));
    QCOMPARE(scale.colourOfValue(x), expected);
}

void TestColorScale::otherFormatWritesNothing()
{
    ColorScale scale;
    scale.setFormat(QImage::Format_ARGB32);
    uchar bytes[3] = {7, 7, 7};
    QCOMPARE(scale.colourBytes(0.5, bytes), bytes);
    QCOMPARE(int(bytes[0]), 7);
    QCOMPARE(scale.colourOfValue(1.0), QColor(Qt::black));
    QCOMPARE(scale.bytesPerPixel(), 0);
}

void TestColorScale::colourOfValue()
{
    ColorScale scale;
    QCOMPARE(scale.format(), QImage::Format_Grayscale8);
    QCOMPARE(scale.colourOfValue(1.0), QColor(255, 255, 255));
    scale.setFormat(QImage::Format_RGB888);
    QCOMPARE(scale.colourOfValue(0.25), DisplayTesting::hotColour(191));
}

void TestColorScale::currentIsForgottenWithTheScale()
{
    // Regression: the program-wide pointer dangled after its scale was destroyed.
    auto *scale = new ColorScale;
    ColorScale::setCurrent(scale);
    QCOMPARE(ColorScale::current(), scale);
    delete scale;
    QCOMPARE(ColorScale::current(), nullptr);
}

QTEST_GUILESS_MAIN(TestColorScale)
#include "tst_colorscale.moc"
