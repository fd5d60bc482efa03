#include "display/colorscale.h"
#include "display/colortables.h"
#include "display/samplecolouring.h"

#include <QtTest>

#include <limits>
#include <vector>

// Colouring 16-bit samples through a scale: every one of the 65536 values takes the bytes the
// scale gives its fraction, whichever way the colouring was set up.
class TestSampleColouring : public QObject
{
    Q_OBJECT

private slots:
    void everyValueAsTheScale_data();
    void everyValueAsTheScale();
    void anyLengthAndStart();
};

void TestSampleColouring::everyValueAsTheScale_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<double>("lo");
    QTest::addColumn<double>("hi");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::addColumn<bool>("byLine");

    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const int format : {int(QImage::Format_Grayscale8), int(QImage::Format_RGB888)}) {
        const QByteArray name = format == int(QImage::Format_RGB888) ? "hot " : "grey ";
        const auto row
            = [&](const char *what) -> QTestData & { return QTest::newRow(name + what); };
        row("whole range") << format << 0.0 << 65535.0 << 0.0 << 1.0 << true;
        // Steps a fraction of a value apart, many of them on whole values.
        row("narrow range, limits inside") << format << 20000.0 << 20255.0 << 0.1 << 0.9 << true;
        row("counts of a flat beam") << format << 7412.0 << 8390.0 << 0.25 << 0.7 << true;
        row("reversed limits") << format << 100.0 << 4000.0 << 0.8 << 0.2 << true;
        row("reversed range") << format << 9000.0 << 1000.0 << 0.0 << 1.0 << true;
        row("limits beyond the bar") << format << 0.0 << 1000.0 << -0.5 << 1.5 << true;
        row("steps beyond the values") << format << 70000.0 << 90000.0 << 0.0 << 1.0 << true;
        row("three values over the table") << format << 10.0 << 12.0 << 0.0 << 1.0 << true;
        row("value range of no width") << format << 500.0 << 500.0 << 0.0 << 1.0 << false;
        row("limits together") << format << 0.0 << 1000.0 << 0.5 << 0.5 << false;
        row("limits not numbers") << format << 0.0 << 1000.0 << nan << nan << false;
    }
}

void TestSampleColouring::everyValueAsTheScale()
{
    QFETCH(int, format);
    QFETCH(double, lo);
    QFETCH(double, hi);
    QFETCH(double, lower);
    QFETCH(double, upper);
    QFETCH(bool, byLine);

    ColorScale scale;
    scale.setFormat(QImage::Format(format));
    scale.setLimits(lower, upper);
    const SampleColouring colouring(scale, lo, hi);
    QCOMPARE(colouring.usesLine(), byLine);

    std::vector<quint16> values(65536);
    for (int v = 0; v < 65536; ++v)
        values[size_t(v)] = quint16(v);
    const int bytes = scale.bytesPerPixel();
    std::vector<uchar> pixels(values.size() * size_t(bytes));
    colouring.colour(values.data(), qsizetype(values.size()), pixels.data());
    for (int v = 0; v < 65536; ++v) {
        uchar expected[3] = {};
        scale.colourBytes((double(v) - lo) / (hi - lo), expected);
        if (memcmp(expected, pixels.data() + size_t(v) * size_t(bytes), size_t(bytes)) != 0)
            QFAIL(qPrintable(QString("value %1 coloured wrongly").arg(v)));
    }
    QVERIFY(memcmp(colouring.zeroColour(), pixels.data(), size_t(bytes)) == 0);
}

// Rows of any length, starting anywhere: the vector loops' ends and their remainders, for
// grey and colour pixels made straight from the samples and for a colouring with exceptions.
void TestSampleColouring::anyLengthAndStart()
{
    struct Case
    {
        QImage::Format format;
        double lo, hi, lower;
        bool exceptions;
    };
    for (const Case &c : {Case{QImage::Format_Grayscale8, 20000.0, 20255.0, 0.1, false},
                          Case{QImage::Format_RGB888, 20000.0, 20255.0, 0.1, false},
                          Case{QImage::Format_RGB888, 0.0, 65535.0, 0.0, true}}) {
        ColorScale scale;
        scale.setFormat(c.format);
        scale.setLimits(c.lower, 1.0 - c.lower);
        const SampleColouring colouring(scale, c.lo, c.hi);
        QCOMPARE(colouring.exceptionCount() > 0, c.exceptions);
        const int bytes = colouring.bytesPerPixel();
        std::vector<quint16> values(200);
        for (size_t k = 0; k < values.size(); ++k)
            values[k] = quint16(c.lo + double(37 * k % 256) / 255.0 * (c.hi - c.lo));
        for (const int start : {0, 1, 31}) {
            for (const int count : {0, 1, 31, 32, 33, 64, 95, 150}) {
                std::vector<uchar> pixels(size_t(bytes) * size_t(count + 1), 0xab);
                colouring.colour(values.data() + start, count, pixels.data());
                for (int k = 0; k < count; ++k) {
                    uchar expected[3];
                    const double v = values[size_t(start + k)];
                    scale.colourBytes((v - c.lo) / (c.hi - c.lo), expected);
                    QVERIFY(memcmp(expected, pixels.data() + bytes * k, size_t(bytes)) == 0);
                }
                // Nothing written past the row.
                QCOMPARE(pixels[size_t(bytes) * size_t(count)], uchar(0xab));
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestSampleColouring)
#include "tst_samplecolouring.moc"
