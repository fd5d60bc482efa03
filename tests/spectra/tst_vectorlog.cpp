#include "spectra/vectorlog.h"

#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>

using Values = QVector<double>;
Q_DECLARE_METATYPE(Values)

// The vectorised logarithm that every absorption value goes through.
class TestVectorLog : public QObject
{
    Q_OBJECT

private slots:
    void sameAloneAndAmongMany_data();
    void sameAloneAndAmongMany();
};

void TestVectorLog::sameAloneAndAmongMany_data()
{
    QTest::addColumn<Values>("values");
    QTest::newRow("one") << Values{1.5};
    QTest::newRow("three, a tail of two lanes") << Values{0.25, 2.0, 3.0e5};
    QTest::newRow("eleven, vectors and a tail") << Values{
        1.0, 1.0001, 0.9999, 2.718281828459045, 10.0, 1e-300, 1e300, 7.0, 0.5, 3.3, 65535.0};
    // 0, negative and non-finite ratios occur for empty or negative sums.
    QTest::newRow("special values")
        << Values{0.0, -2.0, std::numeric_limits<double>::infinity(), std::nan(""), 4.9e-324};
}

void TestVectorLog::sameAloneAndAmongMany()
{
    QFETCH(Values, values);
    Values logs(values.size());
    vectorLog(values.constData(), logs.data(), values.size());
    for (int i = 0; i < values.size(); ++i) {
        double alone;
        vectorLog(&values[i], &alone, 1);
        // Bit for bit, so that a block has the same spectrum alone or in a row.
        QVERIFY(std::memcmp(&alone, &logs[i], sizeof alone) == 0);
        const double exact = std::log(values[i]);
        const double ulps = 4 * std::numeric_limits<double>::epsilon() * qMax(1.0, qAbs(exact));
        QVERIFY(std::isfinite(exact) ? qAbs(logs[i] - exact) <= ulps
                                     : std::isnan(logs[i]) == std::isnan(exact)
                                           && std::isinf(logs[i]) == std::isinf(exact));
    }
}

QTEST_MAIN(TestVectorLog)
#include "tst_vectorlog.moc"
