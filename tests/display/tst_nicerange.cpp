#include "display/nicerange.h"

#include <QtTest>

#include <cmath>
#include <limits>

// Round grid steps for plot axes.
class TestNiceRange : public QObject
{
    Q_OBJECT

private slots:
    void cases_data();
    void cases();
    void noGridForEmptyRanges_data();
    void noGridForEmptyRanges();
    void gridLineCountStaysSmall();
    void gridValues_data();
    void gridValues();
};

void TestNiceRange::cases_data()
{
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("lo");
    QTest::addColumn<double>("hi");

    QTest::newRow("0..7") << 0.0 << 7.0 << 1.0 << 0.0 << 7.0;
    QTest::newRow("0..23") << 0.0 << 23.0 << 2.0 << 0.0 << 22.0;
    QTest::newRow("0.5..3.7") << 0.5 << 3.7 << 0.5 << 0.5 << 3.5;
    QTest::newRow("energies 7000..7500") << 7000.0 << 7500.0 << 100.0 << 7000.0 << 7500.0;
    QTest::newRow("span of exactly 10") << 0.0 << 10.0 << 2.0 << 0.0 << 10.0;
    QTest::newRow("span of exactly 1000") << 0.0 << 1000.0 << 200.0 << 0.0 << 1000.0;
    QTest::newRow("span 95") << 3.0 << 98.0 << 20.0 << 20.0 << 80.0;
    QTest::newRow("normalised 0..1.5") << 0.0 << 1.5 << 0.2 << 0.0 << 1.4;
    QTest::newRow("normalised -0.1..1.2") << -0.1 << 1.2 << 0.2 << 0.0 << 1.2;
    // Spans below 1 that are not a power of ten.
    QTest::newRow("0..0.9") << 0.0 << 0.9 << 0.2 << 0.0 << 0.8;
    QTest::newRow("0..0.5") << 0.0 << 0.5 << 0.1 << 0.0 << 0.5;
    QTest::newRow("0..0.3") << 0.0 << 0.3 << 0.05 << 0.0 << 0.3;
    QTest::newRow("0.2..0.45") << 0.2 << 0.45 << 0.02 << 0.2 << 0.44;
    QTest::newRow("0..0.07") << 0.0 << 0.07 << 0.01 << 0.0 << 0.07;
    QTest::newRow("span of exactly 0.1") << 0.0 << 0.1 << 0.02 << 0.0 << 0.1;
    QTest::newRow("negative values -0.8..-0.1") << -0.8 << -0.1 << 0.1 << -0.8 << -0.1;
    QTest::newRow("ends in either order") << 7.0 << 0.0 << 1.0 << 0.0 << 7.0;
}

void TestNiceRange::cases()
{
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(double, step);
    QFETCH(double, lo);
    QFETCH(double, hi);

    const NiceRange range = niceRange(a, b);
    const double tolerance = 1e-9 * qMax(1.0, qAbs(step));
    const QString message = QStringLiteral("niceRange(%1, %2) = step %3, lo %4, hi %5; expected "
                                           "%6, %7, %8")
                                .arg(a)
                                .arg(b)
                                .arg(range.step)
                                .arg(range.lo)
                                .arg(range.hi)
                                .arg(step)
                                .arg(lo)
                                .arg(hi);
    QVERIFY2(qAbs(range.step - step) < tolerance, qPrintable(message));
    QVERIFY2(qAbs(range.lo - lo) < tolerance, qPrintable(message));
    QVERIFY2(qAbs(range.hi - hi) < tolerance, qPrintable(message));
}

void TestNiceRange::noGridForEmptyRanges_data()
{
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("zero span") << 3.0 << 3.0;
    QTest::newRow("not a number") << std::nan("") << 1.0;
    QTest::newRow("infinite end") << 0.0 << inf;
    QTest::newRow("span too large for a double") << -1e308 << 1e308;
}

void TestNiceRange::noGridForEmptyRanges()
{
    QFETCH(double, a);
    QFETCH(double, b);
    const NiceRange range = niceRange(a, b);
    // A positive step with lo above hi: a grid loop ends at once.
    QVERIFY(range.step > 0);
    QVERIFY(range.lo > range.hi);
}

void TestNiceRange::gridLineCountStaysSmall()
{
    // Whatever the span, the grid has a few lines (between 2 and 50), never a step of 0.
    for (double span = 1e-6; span < 1e7; span *= 1.37) {
        const NiceRange range = niceRange(0.0, span);
        const double lines = (range.hi - range.lo) / range.step + 1;
        QVERIFY2(
            range.step > 0 && lines >= 2 && lines <= 50,
            qPrintable(
                QStringLiteral("span %1: step %2, %3 lines").arg(span).arg(range.step).arg(lines)));
    }
}

using Values = QVector<double>;

void TestNiceRange::gridValues_data()
{
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<Values>("expected");

    QTest::newRow("0..7") << 0.0 << 7.0 << Values{0, 1, 2, 3, 4, 5, 6, 7};
    // 0.1 + 10 x 0.02 comes out just above hi in floating point and still counts.
    QTest::newRow("last line despite rounding")
        << 0.1 << 0.3 << Values{0.1, 0.12, 0.14, 0.16, 0.18, 0.2, 0.22, 0.24, 0.26, 0.28, 0.3};
    QTest::newRow("ends in either order")
        << 23.0 << 0.0 << Values{0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22};
    QTest::newRow("zero span") << 3.0 << 3.0 << Values{};
    QTest::newRow("not a number") << std::nan("") << 1.0 << Values{};
}

void TestNiceRange::gridValues()
{
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(Values, expected);

    const Values values = niceGridValues(a, b);
    QString text;
    for (double v : values)
        text += QString::number(v, 'g', 17) + QLatin1Char(' ');
    const QString message = QStringLiteral("niceGridValues(%1, %2) = %3").arg(a).arg(b).arg(text);
    QVERIFY2(values.size() == expected.size(), qPrintable(message));
    for (int i = 0; i < values.size(); ++i)
        QVERIFY2(qAbs(values.at(i) - expected.at(i)) < 1e-9, qPrintable(message));
}

QTEST_GUILESS_MAIN(TestNiceRange)
#include "tst_nicerange.moc"
