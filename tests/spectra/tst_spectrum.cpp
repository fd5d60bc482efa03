#include "spectra/spectrum.h"
#include "spectra/spectrumspan.h"

#include <QtTest>

Q_DECLARE_METATYPE(QVector<QPointF>)

namespace {

Spectrum spectrumOf(const QVector<QPointF> &points, double dE = 0.0)
{
    Spectrum spectrum;
    for (const QPointF &p : points)
        spectrum.append(p.x(), p.y());
    spectrum.shiftOn = dE != 0.0;
    spectrum.dE = dE;
    return spectrum;
}

} // namespace

class TestSpectrum : public QObject
{
    Q_OBJECT

private slots:
    void valueAt_data();
    void valueAt();
    void crossingEnergy_data();
    void crossingEnergy();
    void clearForgetsTheExtremes();
};

void TestSpectrum::valueAt_data()
{
    QTest::addColumn<QVector<QPointF>>("points");
    QTest::addColumn<double>("dE");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("expected");

    const QVector<QPointF> bent{{1, 10}, {2, 30}, {4, 10}};
    QTest::newRow("no points") << QVector<QPointF>() << 0.0 << 5.0 << 0.0;
    QTest::newRow("one point") << QVector<QPointF>{{3, 7}} << 0.0 << 100.0 << 7.0;
    QTest::newRow("below first: first two extended") << bent << 0.0 << 0.0 << -10.0;
    QTest::newRow("at first") << bent << 0.0 << 1.0 << 10.0;
    QTest::newRow("between") << bent << 0.0 << 3.0 << 20.0;
    QTest::newRow("on an inner point") << bent << 0.0 << 2.0 << 30.0;
    QTest::newRow("at last") << bent << 0.0 << 4.0 << 10.0;
    QTest::newRow("above last: last two extended") << bent << 0.0 << 6.0 << -10.0;
    QTest::newRow("shift read into x") << bent << 10.0 << -7.0 << 20.0;
    QTest::newRow("equal energies at the start: mean")
        << QVector<QPointF>{{1, 10}, {1, 20}, {3, 40}} << 0.0 << 0.0 << 15.0;
    QTest::newRow("equal energies at the end: mean")
        << QVector<QPointF>{{1, 10}, {3, 20}, {3, 40}} << 0.0 << 5.0 << 30.0;
    QTest::newRow("inner tie: the pair above it")
        << QVector<QPointF>{{1, 0}, {2, 10}, {2, 30}, {3, 40}} << 0.0 << 2.0 << 30.0;
    QTest::newRow("inner tie: the pair below it")
        << QVector<QPointF>{{1, 0}, {2, 10}, {2, 30}, {3, 40}} << 0.0 << 1.5 << 5.0;
}

void TestSpectrum::valueAt()
{
    QFETCH(QVector<QPointF>, points);
    QFETCH(double, dE);
    QFETCH(double, x);
    QFETCH(double, expected);
    const double result = spectrumOf(points, dE).valueAt(x);
    QVERIFY2(qAbs(result - expected) <= 1e-12,
             qPrintable(
                 QStringLiteral("valueAt(%1) = %2, expected %3").arg(x).arg(result).arg(expected)));
}

void TestSpectrum::crossingEnergy_data()
{
    QTest::addColumn<QVector<QPointF>>("points");
    QTest::addColumn<double>("dE");
    QTest::addColumn<double>("fraction");
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("expected");

    const QVector<QPointF> rising{{0, 0}, {1, 0.5}, {2, 1}};
    const QVector<QPointF> falling{{0, 1}, {1, 0.5}, {2, 0}};
    const QVector<QPointF> twice{{0, 0}, {1, 1}, {2, 0}, {3, 1}};
    QTest::newRow("no points") << QVector<QPointF>() << 0.0 << 0.5 << 0 << 0.0;
    QTest::newRow("one point: its energy, shifted")
        << QVector<QPointF>{{7000, 1}} << 5.0 << 0.5 << 0 << 6995.0;
    QTest::newRow("rising, level on a point") << rising << 0.0 << 0.5 << 0 << 1.0;
    QTest::newRow("rising, between points") << rising << 0.0 << 0.25 << 0 << 0.5;
    QTest::newRow("falling, level on a point") << falling << 0.0 << 0.5 << 1 << 1.0;
    QTest::newRow("falling data has no rising crossing") << falling << 0.0 << 0.5 << 0 << 0.0;
    QTest::newRow("rising data has no falling crossing: first energy")
        << rising << 3.0 << 0.5 << 1 << -3.0;
    QTest::newRow("first of two crossings") << twice << 0.0 << 0.5 << 0 << 0.5;
    QTest::newRow("either kind takes the falling one first")
        << QVector<QPointF>{{0, 1}, {1, 0}, {2, 1}} << 0.0 << 0.5 << 2 << 0.5;
    QTest::newRow("flat pair on the level: mean energy")
        << QVector<QPointF>{{1, 0.5}, {2, 0.5}, {3, 1}} << 0.0 << 0.0 << 2 << 1.5;
    QTest::newRow("shifted crossing") << rising << 100.0 << 0.25 << 0 << -99.5;
}

void TestSpectrum::crossingEnergy()
{
    QFETCH(QVector<QPointF>, points);
    QFETCH(double, dE);
    QFETCH(double, fraction);
    QFETCH(int, kind);
    QFETCH(double, expected);
    const Spectrum spectrum = spectrumOf(points, dE);
    const double result = spectrum.crossingEnergy(fraction, kind);
    QVERIFY2(qAbs(result - expected) <= 1e-12,
             qPrintable(QStringLiteral("crossingEnergy(%1, %2) = %3, expected %4")
                            .arg(fraction)
                            .arg(kind)
                            .arg(result)
                            .arg(expected)));

    // The same points seen in place, every third value of a buffer, give the same energy.
    QVector<double> energies;
    QVector<double> values;
    for (int i = 0; i < spectrum.size(); ++i) {
        energies.append(spectrum.xAt(i));
        values << spectrum.yAt(i) << -1e9 << 1e9;
    }
    const SpectrumSpan span(
        energies.constData(), values.constData(), points.size(), 3, spectrum.minY, spectrum.maxY);
    QVERIFY(span.crossingEnergy(fraction, kind) == result);
}

// Regression: a cleared spectrum kept the indices of its old extremes, so that a refill
// whose values never beat the reset range (not-a-number values) pointed past its points.
void TestSpectrum::clearForgetsTheExtremes()
{
    Spectrum spectrum = spectrumOf({{1, 5}, {2, 1}, {3, 9}, {4, 2}});
    QCOMPARE(spectrum.minYIndex, 1);
    QCOMPARE(spectrum.maxYIndex, 2);
    spectrum.clear();
    QCOMPARE(spectrum.minYIndex, 0);
    QCOMPARE(spectrum.maxYIndex, 0);
    spectrum.append(1, qQNaN());
    QVERIFY2(spectrum.minYIndex < spectrum.size() && spectrum.maxYIndex < spectrum.size(),
             qPrintable(QStringLiteral("indices %1, %2 for %3 points")
                            .arg(spectrum.minYIndex)
                            .arg(spectrum.maxYIndex)
                            .arg(spectrum.size())));
}

QTEST_MAIN(TestSpectrum)
#include "tst_spectrum.moc"
